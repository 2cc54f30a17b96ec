#pragma once
// The control base: a component with a place on its parent, the common properties, the
// message procedure and the alignment of children. Each control keeps its own properties; a
// realisation, when one is attached, mirrors them onto a toolkit widget through the control's
// peer and reports the user's input back. Without a realisation everything still runs, which
// is how most tests drive the program.
//
// Fields and setters: a property that the program changes while it runs has a setter, and the
// setter tells the peer (Changed) so that the screen follows. A property kept as a plain field
// (TPanel::Caption, TGroupBox::Caption, TLabel::AutoSize, TComboBox::ItemHeight, a form's
// BorderStyle and the like) is set while the form is built, before the realisation attaches
// its peers; the peer reads it when it makes its widget, and a later change does not reach the
// screen. A field that becomes changeable at run time becomes a setter.
#include <string>
#include <vector>

#include "component.h"
#include "graphics.h"
#include "messages.h"
#include "types.h"

class TWinControl;

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
