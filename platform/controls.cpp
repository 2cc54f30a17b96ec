#include "controls.h"

#include <algorithm>

#include "forms.h"
#include "resources.h"

// --- TComponent ---------------------------------------------------------------------------

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent()
{
    // Children first, newest first, so nothing refers to a destroyed owner.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        components_.pop_back();
        c->owner_ = nullptr;
        delete c;
    }
    peer_.reset();
    if (owner_) {
        auto& v = owner_->components_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
}

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
    if (Application)
        Application->ForgetControl(this);
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

TForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
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

// --- Simple controls ----------------------------------------------------------------------

void TSpeedButton::SetDown(bool v)
{
    if (down_ == v)
        return;
    down_ = v;
    Changed(TChange::Checked);
}

bool LoadBitmapResource(TBitmap& bitmap, const std::string& name)
{
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindResource(name, data, size))
        return false;
    bitmap.LoadFromMemory(data, size);
    return true;
}

void TSpeedButton::SetGlyph(const std::string& resourceName, int numGlyphs)
{
    LoadBitmapResource(glyph_, resourceName);
    numGlyphs_ = numGlyphs;
    Changed(TChange::Glyph);
}

void TSpeedButton::Click()
{
    if (!Enabled())
        return;
    if (groupIndex_ != 0) {
        if (!down_)
            SetDown(true);
        else if (allowAllUp_)
            SetDown(false);
    }
    TControl::Click();
}

void TEdit::SetText(const std::string& t)
{
    if (text_ == t)
        return;
    text_ = t;
    Changed(TChange::Text);
}

void TEdit::SetReadOnly(bool v)
{
    if (readOnly_ == v)
        return;
    readOnly_ = v;
    Changed(TChange::ReadOnly);
}

void TUpDown::SetMin(int v)
{
    min_ = v;
    SetPosition(position_);
    Changed(TChange::Position);
}

void TUpDown::SetMax(int v)
{
    max_ = v;
    SetPosition(position_);
    Changed(TChange::Position);
}

void TUpDown::SetPosition(int v)
{
    v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (position_ == v)
        return;
    position_ = v;
    Changed(TChange::Position);
}

void TUpDown::ArrowClick(TUDBtnType button)
{
    if (!Enabled())
        return;
    int next = position_ + (button == TUDBtnType::btNext ? 1 : -1);
    if (Wrap) {
        if (next > max_) next = min_;
        if (next < min_) next = max_;
    }
    SetPosition(next);
    if (OnClickArrow)
        OnClickArrow(this, button);
}

void TLabel::SetCaption(const std::string& c)
{
    if (caption_ == c)
        return;
    caption_ = c;
    Changed(TChange::Text);
}

int TNotifyingStrings::Add(const std::string& s)
{
    int i = list_.Add(s);
    owner_->Changed(TChange::Items);
    return i;
}

void TNotifyingStrings::Clear()
{
    list_.Clear();
    owner_->Changed(TChange::Items);
}

void TNotifyingStrings::AddStrings(const TStrings& strings)
{
    for (int i = 0; i < strings.Count(); ++i)
        list_.Add(strings.Get(i));
    owner_->Changed(TChange::Items);
}

void TComboBox::SetItemIndex(int i)
{
    if (i < -1 || i >= items_.Count())
        i = -1;
    if (itemIndex_ == i)
        return;
    itemIndex_ = i;
    Changed(TChange::ItemIndex);
}

std::string TComboBox::Text() const
{
    return itemIndex_ >= 0 ? items_.Get(itemIndex_) : std::string();
}

void TComboBox::Clear()
{
    itemIndex_ = -1;
    items_.Clear();
    Changed(TChange::ItemIndex);
}

void TComboBox::UserSelect(int i)
{
    if (!Enabled() || i < 0 || i >= items_.Count())
        return;
    SetItemIndex(i);
    Click();
}

void TStatusPanel::SetText(const std::string& t)
{
    if (text_ == t)
        return;
    text_ = t;
    bar_->Changed(TChange::Panels);
}

void TStatusPanel::SetWidth(int w)
{
    if (width_ == w)
        return;
    width_ = w;
    bar_->Changed(TChange::Panels);
}

TStatusPanel* TStatusBar::AddPanel()
{
    panels_.push_back(std::make_unique<TStatusPanel>(this));
    Changed(TChange::Panels);
    return panels_.back().get();
}

void TButton::SetCaption(const std::string& c)
{
    if (caption_ == c)
        return;
    caption_ = c;
    Changed(TChange::Text);
}

void TCheckBox::SetCaption(const std::string& c)
{
    if (caption_ == c)
        return;
    caption_ = c;
    Changed(TChange::Text);
}

void TCheckBox::SetChecked(bool v)
{
    if (checked_ == v)
        return;
    checked_ = v;
    Changed(TChange::Checked);
}

void TCheckBox::Click()
{
    if (!Enabled())
        return;
    SetChecked(!checked_);
    TControl::Click();
}

void TImage::LoadPicture(const std::string& resourceName)
{
    LoadBitmapResource(picture_, resourceName);
    Changed(TChange::Glyph);
}

// --- TPaintBox ----------------------------------------------------------------------------

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
    if (Application)
        Application->AddPaintBox(this);
}

TPaintBox::~TPaintBox()
{
    if (Application)
        Application->RemovePaintBox(this);
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
