#pragma once
// Peers: each one owns the widget of one component, pushes the component's state to it and
// hands the user's input on to the component.
#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include "forms.h"

class QAction;
class QEvent;

class TQtPeer : public TPeer {
public:
    explicit TQtPeer(TComponent& component);
    ~TQtPeer() override;
    TQtPeer(const TQtPeer&) = delete;
    TQtPeer& operator=(const TQtPeer&) = delete;

    TComponent& Component() const { return component_; }
    // The widget that shows the component (null for components without one).
    QWidget* Widget() const { return widget_; }
    // Where the widgets of the component's child controls go.
    virtual QWidget* Container() const { return widget_; }
    virtual QAction* Action() const { return nullptr; }
    // A child control moved, was resized, appeared or vanished.
    virtual void ChildGeometryChanged() {}

    void Changed(TChange what) override;
    // Pushes the whole state, once the peer is in place.
    void SyncAll();

    // Runs model code for user input as the message loop runs a handler: an exception goes
    // to ShowException. False when the peer was destroyed meanwhile, so the caller must not
    // touch it any more.
    bool Input(const std::function<void()>& handler);

protected:
    virtual void Sync(TChange) {}
    // The context of signal connections: they end with the peer, not with the widget.
    QObject* Guard() const { return guard_.get(); }
    QPointer<QWidget> widget_;

private:
    TComponent& component_;
    std::shared_ptr<bool> alive_;
    std::unique_ptr<QObject> guard_;
};

inline TQtPeer* QtPeerOf(const TComponent& c) { return dynamic_cast<TQtPeer*>(c.Peer()); }

// The state every control shares (bounds, visibility, enabled, hint, font, colour, cursor)
// and the input every control's widgets may see: mouse buttons and dropped files.
class TControlPeer : public TQtPeer {
public:
    // Takes the widget and puts it into the parent control's container.
    TControlPeer(TControl& control, QWidget* widget);
    ~TControlPeer() override;
    TControl& Control() const { return control_; }
    // A widget deleted with its parent's takes no more changes.
    void Changed(TChange what) override
    {
        if (widget_)
            Sync(what);
    }

    // Mouse buttons (on the parts that forward them) and drags of files.
    bool FilterEvent(QWidget* part, QEvent* event);
    // Accepts drags on the widgets of this control and of the controls inside it while a
    // control from here up accepts dropped files.
    void RefreshDrops();

protected:
    void Sync(TChange what) override;
    virtual void PushBounds();
    // The widget that carries font, colour, cursor, hint and drops.
    virtual QWidget* Face() const { return widget_; }
    // Whether the model's Color paints the background (it does not for edits and buttons,
    // whose background is the system's).
    virtual bool UsesColor() const { return false; }
    // Listens to another widget of this control; mouse buttons on it go to the control.
    void AddPart(QWidget* part, bool forwardMouse);
    // A point on one of the control's widgets in the control's own coordinates.
    virtual QPoint ControlPoint(QWidget* part, QPoint p) const;
    void ApplyPalette();
    void NotifyParent();

private:
    class TFilter;
    TControl& control_;
    std::unique_ptr<TFilter> filter_;
    std::vector<QPointer<QWidget>> parts_;
    std::vector<QWidget*> mouseParts_;
};

// Takes a widget whose peer is gone: hides it now and deletes it once no input is being
// handled, since it may be the widget whose event is on the stack.
void Discard(QWidget* widget);
// Deletes the discarded widgets; does nothing inside an input handler.
void DeleteDiscarded();
// How deep the realisation is inside input handlers.
int InputDepth();
// How many inputs have been handed to the model so far.
unsigned long InputCount();
// Marks the time model code runs for an input.
class TInputScope {
public:
    TInputScope();
    ~TInputScope();
    TInputScope(const TInputScope&) = delete;
    TInputScope& operator=(const TInputScope&) = delete;
};

// A peer for the component: the form's window, a control's widget, a menu item's action, or a
// peer without a widget. The parent control's peer must already exist.
// Forms share the frame cache.
class TFrameCache;
std::unique_ptr<TQtPeer> MakePeer(TComponent& component, const std::shared_ptr<TFrameCache>& frames);
std::unique_ptr<TQtPeer> MakeFormPeer(TForm& form, std::shared_ptr<TFrameCache> frames);

// Chains the focus order of the controls inside by their TabOrder.
void ApplyTabOrder(TWinControl& control);
