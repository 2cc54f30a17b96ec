#pragma once
// A form's top-level window: an optional menu bar over the client area that holds the
// form's controls.
#include <functional>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QMargins>
#include <QPointer>
#include <QWidget>

#include "qt_backlink.h"
#include "qt_frames.h"
#include "qt_peers.h"
#include "qt_pushed.h"

class QMenuBar;
class QTimer;
class TFormPeer;

class TFormWindow : public TLinkedWidget<TFormPeer, QWidget> {
public:
    explicit TFormWindow(TFormPeer& peer);
    QWidget* Client = nullptr;
    QMenuBar* MenuBar = nullptr;
    // Places the menu bar and the client area; the menu bar's height for the window's width.
    int LayoutParts();
    int MenuBarHeight(int width) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
};

class TFormPeer : public TControlPeer {
public:
    TFormPeer(TForm& form, std::shared_ptr<TFrameCache> frames);
    ~TFormPeer() override;
    TForm& Form() const { return form_; }
    TFormWindow* Window() const { return window_; }
    QWidget* Container() const override;
    QMenuBar* MenuBar() const;

    // A key pressed in the window; true when the model took it.
    bool KeyDown(unsigned key, TShiftState shift, QWidget* focus);
    bool SetTopMost(bool topMost);
    void MakeModal();

    // From the window.
    void WindowResized();
    void WindowMoved();
    void CloseRequested();
    void WindowShown();
    // Takes the frame measured on another window while this one has not been shown, so that
    // the outer size the program places it by is right from its first showing.
    void AdoptFrame();
    // Takes the window out of a maximised state it must not have, back to where it was.
    void UndoMaximise();

protected:
    void Sync(TChange what) override;
    QWidget* Face() const override;
    bool UsesColor() const override { return true; }
    QPoint ControlPoint(QWidget* part, QPoint p) const override;

private:
    void PushGeometry();
    void ReportFrame();
    void AskFrame();
    void ShowWindow(bool visible);
    void SetModality(Qt::WindowModality modality);
    // Lets the model take a change the user (or the window system) made, then shows the
    // model's answer; false when the form went away meanwhile.
    bool TakeUserGeometry(const std::function<void()>& change);
    void SettleSize();
    void RestoreRect(const QRect& rect);

    TForm& form_;
    std::shared_ptr<TFrameCache> frames_;
    QPointer<TFormWindow> window_;
    int pushing_ = 0;         // inside our own move or resize
    int userGeometry_ = 0;    // the model is taking a move or resize the user made
    bool frameReported_ = false;  // measured on this window
    QSize adoptedFrame_;
    QRect normal_;  // the model's rectangle before the latest burst of changes by the window system
    QElapsedTimer burst_;
    QTimer* settle_ = nullptr;  // owned by the guard
    int settleTicks_ = 0;
    // The frame the window manager draws around the window, when one runs and has said.
    std::optional<QMargins> extents_;
    int frameTries_ = 0;
    bool frameAsked_ = false;
    QElapsedTimer framedAt_;
    TPushedGeometry pushed_;
};

TFormPeer* FormPeerOf(const TForm& form);
// The peer of the form whose window this is, if any.
TFormPeer* FormPeerOfWindow(QWidget* window);
