#include "stdctrls.h"

#include <algorithm>

#include "resources.h"

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

