#include "control.h"

#include <algorithm>

#include "messageloop.h"

void TFont::SetColor(TColor c)
{
    if (Color == c)
        return;
    Color = c;
    if (owner_)
        owner_->Changed(TChange::Font);
}

void TFont::Assign(const TFont& other)
{
    Name = other.Name;
    Height = other.Height;
    Bold = other.Bold;
    Italic = other.Italic;
    Underline = other.Underline;
    Color = other.Color;
    if (owner_)
        owner_->Changed(TChange::Font);
}

// --- TControl -----------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), font_(this)
{
    WindowProc = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl()
{
    if (TMessageLoop* loop = MessageLoop())
        loop->ForgetControl(this);
    if (parent_) {
        auto& v = parent_->controls_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent_ == parent)
        return;
    if (parent_) {
        auto& v = parent_->controls_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    parent_ = parent;
    if (parent_) {
        parent_->controls_.push_back(this);
        if (align_ != TAlign::alNone)
            parent_->Realign();
    }
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    const bool sized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed(TChange::Bounds);
    if (sized)
        Resized();
    if (parent_ && align_ != TAlign::alNone && sized)
        parent_->Realign();
}

void TControl::SetAlign(TAlign a)
{
    if (align_ == a)
        return;
    align_ = a;
    if (parent_)
        parent_->Realign();
}

void TControl::SetEnabled(bool v)
{
    if (enabled_ == v)
        return;
    enabled_ = v;
    Changed(TChange::Enabled);
}

void TControl::SetVisible(bool v)
{
    if (visible_ == v)
        return;
    visible_ = v;
    Changed(TChange::Visible);
    if (parent_ && align_ != TAlign::alNone)
        parent_->Realign();
}

void TControl::SetHint(const std::string& h)
{
    if (hint_ == h)
        return;
    hint_ = h;
    Changed(TChange::Hint);
}

void TControl::SetShowHint(bool v)
{
    if (showHint_ == v)
        return;
    showHint_ = v;
    Changed(TChange::Hint);
}

void TControl::SetCursor(TCursor c)
{
    if (cursor_ == c)
        return;
    cursor_ = c;
    Changed(TChange::Cursor);
}

void TControl::SetColor(TColor c)
{
    if (color_ == c)
        return;
    color_ = c;
    Changed(TChange::Color);
}

void TControl::SetAcceptsDroppedFiles(bool v)
{
    if (acceptsDrops_ == v)
        return;
    acceptsDrops_ = v;
    Changed(TChange::AcceptDrops);
}

std::intptr_t TControl::Perform(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    WindowProc(m);
    return m.Result;
}

static TShiftState ShiftFromMouseWParam(std::uintptr_t w)
{
    TShiftState s;
    s.Shift = (w & MK_SHIFT) != 0;
    s.Ctrl = (w & MK_CONTROL) != 0;
    s.Alt = (w & MK_ALT) != 0;
    return s;
}

void TControl::WndProc(TMessage& m)
{
    const int x = static_cast<std::int16_t>(m.LParam & 0xFFFF);
    const int y = static_cast<std::int16_t>((m.LParam >> 16) & 0xFFFF);
    const TShiftState shift = ShiftFromMouseWParam(m.WParam);
    switch (m.Msg) {
    case WM_LBUTTONDOWN: MouseDown(TMouseButton::mbLeft, shift, x, y); break;
    case WM_RBUTTONDOWN: MouseDown(TMouseButton::mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN: MouseDown(TMouseButton::mbMiddle, shift, x, y); break;
    case WM_LBUTTONUP: MouseUp(TMouseButton::mbLeft, shift, x, y); break;
    case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift, x, y); break;
    default: break;
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (enabled_ && OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (enabled_ && OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

bool TControl::EnabledInTree() const
{
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->enabled_)
            return false;
    return true;
}

// --- TWinControl --------------------------------------------------------------------------

TWinControl::~TWinControl()
{
    for (TControl* c : controls_)
        c->parent_ = nullptr;
}

void TWinControl::Realign()
{
    if (realigning_)
        return;
    realigning_ = true;
    std::vector<TControl*> tops, bottoms;
    TControl* client = nullptr;
    for (TControl* c : controls_) {
        if (!c->Visible())
            continue;
        switch (c->Align()) {
        case TAlign::alTop: tops.push_back(c); break;
        case TAlign::alBottom: bottoms.push_back(c); break;
        case TAlign::alClient: client = c; break;
        default: break;
        }
    }
    std::stable_sort(tops.begin(), tops.end(), [](TControl* a, TControl* b) { return a->Top() < b->Top(); });
    std::stable_sort(bottoms.begin(), bottoms.end(), [](TControl* a, TControl* b) { return a->Top() > b->Top(); });
    const int w = ClientWidth();
    int top = 0, bottom = ClientHeight();
    for (TControl* c : tops) {
        c->SetBounds(0, top, w, c->Height());
        top += c->Height();
    }
    for (TControl* c : bottoms) {
        bottom -= c->Height();
        c->SetBounds(0, bottom, w, c->Height());
    }
    if (client)
        client->SetBounds(0, top, w, std::max(bottom - top, 0));
    realigning_ = false;
}

