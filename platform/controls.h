#pragma once
// Components and controls. Each control keeps its own properties; a realisation, when one
// is attached, mirrors them onto a toolkit widget through the control's peer and reports the
// user's input back. Without a realisation everything still runs, which is how most tests
// drive the program.
#include <memory>
#include <string>
#include <vector>

#include "classes.h"
#include "graphics.h"
#include "messages.h"
#include "peer.h"
#include "types.h"

class TWinControl;
class TForm;

// Something owned by another component and destroyed with it.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    const std::vector<TComponent*>& Components() const { return components_; }

    // The toolkit side of this component, if a realisation has attached one.
    TPeer* Peer() const { return peer_.get(); }
    void SetPeer(std::unique_ptr<TPeer> peer) { peer_ = std::move(peer); }
    void Changed(TChange what) { if (peer_) peer_->Changed(what); }

private:
    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_;
    std::unique_ptr<TPeer> peer_;
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TCursor { crDefault, crHandPoint };

class TFont {
public:
    explicit TFont(TComponent* owner) : owner_(owner) {}
    std::string Name = "ＭＳ Ｐゴシック";
    int Height = 12;  // pixels
    bool Bold = false, Italic = false, Underline = false;
    TColor Color = clWindowText;
    TColor GetColor() const { return Color; }
    void SetColor(TColor c);
    void Assign(const TFont& other);

private:
    TComponent* owner_;
};

using TWndMethod = std::function<void(TMessage& Message)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return TRect{left_, top_, left_ + width_, top_ + height_}; }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& h);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    TColor Color() const { return color_; }
    void SetColor(TColor c);

    // Every message for the control passes through WindowProc, which a program may replace;
    // the control's own handling is WndProc.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& message);
    std::intptr_t Perform(unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    // Runs OnClick as a user's click would (for most controls: nothing else).
    virtual void Click();

    // Set by DragAcceptFiles: the realisation delivers drops on this control as WM_DROPFILES.
    bool AcceptsDroppedFiles() const { return acceptsDrops_; }
    void SetAcceptsDroppedFiles(bool v);

    TForm* ParentForm() const;
    // Every owner and parent up to the form is enabled.
    bool EnabledInTree() const;

protected:
    virtual void Resized() {}
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
    friend class TWinControl;
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool enabled_ = true, visible_ = true, showHint_ = false, acceptsDrops_ = false;
    std::string hint_;
    TCursor cursor_ = TCursor::crDefault;
    TFont font_;
    TColor color_ = clBtnFace;
};

// A control that holds others and lays out the aligned ones.
class TWinControl : public TControl {
public:
    using TControl::TControl;
    ~TWinControl() override;
    const std::vector<TControl*>& Controls() const { return controls_; }
    // Places the aligned children: top ones stacked from the top in the order of their Top,
    // bottom ones from the bottom, the client one in what is left.
    void Realign();
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int v) { tabOrder_ = v; }

protected:
    void Resized() override { Realign(); }

private:
    friend class TControl;
    std::vector<TControl*> controls_;
    bool tabStop_ = true;
    int tabOrder_ = 0;
    bool realigning_ = false;
};

class TGraphicControl : public TControl {
public:
    using TControl::TControl;
};

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

// A control the program paints itself. Its canvas draws into pixels the control keeps, so
// what was drawn stays until drawn over; OnPaint runs whenever it needs painting (first
// shown, resized).
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* owner);
    ~TPaintBox() override;
    TCanvas& Canvas() { SizeSurface(); return canvas_; }
    const TPixelSurface& Surface() const { SizeSurface(); return surface_; }
    TNotifyEvent OnPaint;
    void SetBounds(int left, int top, int width, int height) override;
    void Invalidate();
    bool PaintPending() const { return invalid_; }
    // Runs OnPaint for the invalid part; the message pump calls it.
    void Paint();
    // The part drawn since the realisation last looked; it takes it and clears it.
    TRect TakeDirtyRect();

private:
    // The pixels follow the control's size when next used, not at every size change: a new
    // page's width and then its height cost one reallocation, not two.
    void SizeSurface() const;
    mutable TPixelSurface surface_;
    TCanvas canvas_;
    bool invalid_ = true;
    TRect dirty_{};
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

// Makes a control of type T owned by owner, named, with its parent set.
template <typename T>
T* NewControl(TComponent* owner, TWinControl* parent, const std::string& name)
{
    T* c = new T(owner);
    c->SetName(name);
    if (parent)
        c->SetParent(parent);
    return c;
}
