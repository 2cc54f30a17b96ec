#pragma once
// The link between a component and the toolkit widget that shows it. The component owns its
// state; after each change it tells its peer what changed, and the peer reads the new state
// from the component and pushes it to the widget.
enum class TChange {
    Bounds,      // Left, Top, Width, Height (and for a form its client size)
    Enabled,
    Visible,
    Text,        // Caption or Text
    Hint,        // Hint and ShowHint
    Font,
    Color,
    Cursor,
    Items,       // a combo box's list
    ItemIndex,
    Checked,     // a check box's or menu item's check mark, a speed button's Down
    Glyph,       // a speed button's or image's picture
    Position,    // an up-down's Min, Max, Position
    Panels,      // a status bar's panel texts and widths
    ShortCut,
    Painted,     // a paint box's pixels changed (see TPaintBox::TakeDirtyRect)
    AcceptDrops,
    Stacking,    // a form's always-on-top state
    ReadOnly,
    Icon,
};

class TPeer {
public:
    virtual ~TPeer() = default;
    virtual void Changed(TChange what) = 0;
};
