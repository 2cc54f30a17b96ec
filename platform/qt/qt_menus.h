#pragma once
// The menu bar's items: one action (or, for an item with sub-items, one menu) per menu item.
class QWidget;
class TMenuItem;

// Builds the peers of the items under parent into container (a menu bar or a menu).
void BuildMenuItems(TMenuItem& parent, QWidget* container);
