#include "menus.h"

void TMenuItem::SetCaption(const std::string& c)
{
    if (caption_ == c)
        return;
    caption_ = c;
    Changed(TChange::Text);
}

void TMenuItem::SetChecked(bool v)
{
    if (checked_ == v)
        return;
    checked_ = v;
    Changed(TChange::Checked);
}

void TMenuItem::SetEnabled(bool v)
{
    if (enabled_ == v)
        return;
    enabled_ = v;
    Changed(TChange::Enabled);
}

void TMenuItem::SetShortCut(TShortCut s)
{
    if (shortCut_ == s)
        return;
    shortCut_ = s;
    Changed(TChange::ShortCut);
}

void TMenuItem::Add(TMenuItem* item)
{
    item->parent_ = this;
    items_.push_back(item);
}

bool TMenuItem::EnabledInTree() const
{
    for (const TMenuItem* m = this; m; m = m->parent_)
        if (!m->enabled_)
            return false;
    return true;
}

void TMenuItem::Click()
{
    if (!EnabledInTree() || IsLine())
        return;
    if (OnClick)
        OnClick(this);
}

static TMenuItem* FindShortCut(TMenuItem& item, TShortCut s)
{
    for (TMenuItem* child : item.Items()) {
        if (child->ShortCut() == s && !child->IsLine())
            return child;
        if (TMenuItem* found = FindShortCut(*child, s))
            return found;
    }
    return nullptr;
}

bool TMainMenu::IsShortCut(TShortCut s)
{
    if (s == 0)
        return false;
    TMenuItem* item = FindShortCut(root_, s);
    if (!item || !item->EnabledInTree())
        return false;
    item->Click();
    return true;
}

TMenuItem* NewMenuItem(TComponent* owner, TMenuItem& parent, const std::string& name, const std::string& caption)
{
    auto* item = new TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    parent.Add(item);
    return item;
}
