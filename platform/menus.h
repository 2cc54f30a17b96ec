#pragma once
// Menus: a main menu of items, each with its own sub-items.
#include <string>
#include <vector>

#include "component.h"
#include "messages.h"
#include "types.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner) : TComponent(owner) {}

    // "&" marks the access key; "-" makes a separator line.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);
    bool IsLine() const { return caption_ == "-"; }
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut s);

    TMenuItem* Parent() const { return parent_; }
    const std::vector<TMenuItem*>& Items() const { return items_; }
    void Add(TMenuItem* item);

    TNotifyEvent OnClick;
    // Runs OnClick, as choosing the item does; a disabled item cannot be chosen.
    void Click();
    // The item and every menu above it are enabled.
    bool EnabledInTree() const;

private:
    std::string caption_;
    bool checked_ = false, enabled_ = true;
    TShortCut shortCut_ = 0;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
};

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* owner) : TComponent(owner), root_(this) {}
    // The menu bar's items.
    TMenuItem& Items() { return root_; }
    const TMenuItem& Items() const { return root_; }
    // Chooses the item whose shortcut this is, if it and its menus are enabled.
    bool IsShortCut(TShortCut s);

private:
    TMenuItem root_;
};

// Makes a menu item owned by owner, named, with its caption, as the last of parent's items.
TMenuItem* NewMenuItem(TComponent* owner, TMenuItem& parent, const std::string& name, const std::string& caption);
