#pragma once
// The simple controls: panels, buttons, labels, edits, lists, bars and images.
#include <memory>
#include <string>
#include <vector>

#include "classes.h"
#include "control.h"
#include "graphics.h"

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
    bool BevelOuterNone = true;
    std::string Caption;
};

enum class TBevelShape { bsBox, bsTopLine, bsBottomLine };
class TBevel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TBevelShape Shape = TBevelShape::bsTopLine;
};

class TSpeedButton : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    // A toggle in a group: clicking it latches it down; with AllowAllUp a second click
    // releases it.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    bool Down() const { return down_; }
    void SetDown(bool v);
    // Picture(s) side by side: the first for the enabled look, the second (with NumGlyphs 2)
    // for the disabled look. The bottom-left pixel's colour is transparent.
    TBitmap& Glyph() { return glyph_; }
    const TBitmap& Glyph() const { return glyph_; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetGlyph(const std::string& resourceName, int numGlyphs);
    void Click() override;

private:
    int groupIndex_ = 0;
    bool allowAllUp_ = false, down_ = false;
    TBitmap glyph_;
    int numGlyphs_ = 1;
};

class TEdit : public TWinControl {
public:
    using TWinControl::TWinControl;
    const std::string& Text() const { return text_; }
    void SetText(const std::string& t);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    // Text typed by the user.
    void UserEdited(const std::string& t) { text_ = t; }

private:
    std::string text_;
    bool readOnly_ = false;
};

enum class TUDBtnType { btNext, btPrev };
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* owner) : TWinControl(owner) {}
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetMin(int v);
    void SetMax(int v);
    // Kept within Min..Max.
    void SetPosition(int v);
    bool Wrap = false;
    std::function<void(TObject* Sender, TUDBtnType Button)> OnClickArrow;
    // The user pressed an arrow: moves the position one step (within the range) and runs
    // the click event.
    void ArrowClick(TUDBtnType button);

private:
    int min_ = 0, max_ = 100, position_ = 0;
};

class TLabel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);
    bool Transparent = false;
    bool AutoSize = true;

private:
    std::string caption_;
};

// A list of strings whose changes reach the owning control's peer.
class TNotifyingStrings : public TStrings {
public:
    explicit TNotifyingStrings(TComponent* owner) : owner_(owner) {}
    int Count() const override { return list_.Count(); }
    const std::string& Get(int index) const override { return list_.Get(index); }
    int Add(const std::string& s) override;
    void Clear() override;
    // Appends all of them with one notification.
    void AddStrings(const TStrings& strings);
    const std::vector<std::string>& Items() const { return list_.Items(); }

private:
    TComponent* owner_;
    TStringList list_;
};

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner) : TWinControl(owner), items_(this) {}
    TNotifyingStrings& Items() { return items_; }
    const TNotifyingStrings& Items() const { return items_; }
    int ItemIndex() const { return itemIndex_; }
    // Selecting from code never runs OnClick.
    void SetItemIndex(int i);
    std::string Text() const;
    // Empties the items, the shown text and the selection.
    void Clear();
    int ItemHeight = 12;
    bool DropDownList = true;
    // The user chose entry i: selects it and runs OnClick.
    void UserSelect(int i);

private:
    TNotifyingStrings items_;
    int itemIndex_ = -1;
};

class TStatusBar;
class TStatusPanel {
public:
    TStatusPanel(TStatusBar* bar) : bar_(bar) {}
    const std::string& Text() const { return text_; }
    void SetText(const std::string& t);
    int Width() const { return width_; }
    void SetWidth(int w);

private:
    TStatusBar* bar_;
    std::string text_;
    int width_ = 50;
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
    TStatusPanel* Panels(int i) { return panels_.at(static_cast<size_t>(i)).get(); }
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    TStatusPanel* AddPanel();
    bool SimplePanel = false;
    bool SizeGrip = true;

private:
    std::vector<std::unique_ptr<TStatusPanel>> panels_;
};

struct TControlScrollBar {
    int Size = 16;
    // The room the program allows for a scroll bar when it fits a window to its content.
    int ThumbSize = 22;
};

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
    TControlScrollBar HorzScrollBar, VertScrollBar;
    bool AutoScroll = true;
    bool SingleBorder = true;
};

class TButton : public TWinControl {
public:
    using TWinControl::TWinControl;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);
    bool Default = false, Cancel = false;

private:
    std::string caption_;
};

class TCheckBox : public TWinControl {
public:
    using TWinControl::TWinControl;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    // The user toggled it.
    void Click() override;

private:
    std::string caption_;
    bool checked_ = false;
};

class TGroupBox : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::string Caption;
};

class TImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TBitmap& Picture() { return picture_; }
    const TBitmap& Picture() const { return picture_; }
    void LoadPicture(const std::string& resourceName);

private:
    TBitmap picture_;
};

// Loads an embedded picture (a file of res/); false when there is none of that name.
bool LoadBitmapResource(TBitmap& bitmap, const std::string& name);
