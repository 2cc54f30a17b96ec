#include "paintbox.h"

#include <algorithm>

#include "messageloop.h"

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner), canvas_(surface_)
{
    canvas_.OnChange = [this](const TRect& r) {
        if (dirty_.Width() <= 0 || dirty_.Height() <= 0)
            dirty_ = r;
        else
            dirty_ = TRect{std::min(dirty_.Left, r.Left), std::min(dirty_.Top, r.Top),
                           std::max(dirty_.Right, r.Right), std::max(dirty_.Bottom, r.Bottom)};
        Changed(TChange::Painted);
    };
    RequireMessageLoop("a paint box").AddPaintBox(this);
}

TPaintBox::~TPaintBox()
{
    if (TMessageLoop* loop = MessageLoop())
        loop->RemovePaintBox(this);
}

void TPaintBox::SetBounds(int left, int top, int width, int height)
{
    const bool sized = std::max(width, 0) != Width() || std::max(height, 0) != Height();
    if (sized)
        dirty_ = TRect{0, 0, std::max(width, 0), std::max(height, 0)};
    TGraphicControl::SetBounds(left, top, width, height);
    if (sized)
        Invalidate();
}

void TPaintBox::SizeSurface() const
{
    // What lies outside the program's drawing shows the parent's background.
    surface_.Resize(Width(), Height(), ColorToPixel(Parent() ? Parent()->Color() : clBtnFace));
}

void TPaintBox::Invalidate()
{
    invalid_ = true;
}

void TPaintBox::Paint()
{
    if (!invalid_)
        return;
    invalid_ = false;
    if (OnPaint)
        OnPaint(this);
}

TRect TPaintBox::TakeDirtyRect()
{
    TRect r = dirty_;
    dirty_ = TRect{};
    return r;
}
