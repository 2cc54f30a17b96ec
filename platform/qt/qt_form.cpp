// Forms on screen: the top-level window with its menu bar and client area, the sizes and
// moves the user makes, the close box, modality and the menu's actions.
#include "qt_form.h"

#include <algorithm>
#include <vector>

#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>
#include <QWindow>

#include "qt_convert.h"
#include "qt_menus.h"
#include "qt_x11.h"

namespace {

// How far apart the window system's reports of one change of its own may lie.
constexpr qint64 BurstMs = 500;
// How often, and for how many rounds at most, a window is checked for the size it was given.
constexpr int SettleMs = 50;
constexpr int SettleTicks = 200;
// How often a shown window is looked at for its frame while the window manager has not
// framed it yet.
constexpr int FrameRetryMs = 20;
constexpr int FrameTries = 100;

QSize FrameSize(const QMargins& m)
{
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}

Qt::WindowFlags FlagsOf(const TForm& form)
{
    const TBorderIcons& icons = form.BorderIcons;
    Qt::WindowFlags f = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (form.BorderStyle == TBorderStyle::bsDialog) {
        f |= Qt::Dialog | Qt::WindowCloseButtonHint;
        if (icons.SystemMenu)
            f |= Qt::WindowSystemMenuHint;
        return f;
    }
    f |= Qt::Window;
    if (icons.SystemMenu)
        f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (icons.Minimize)
        f |= Qt::WindowMinimizeButtonHint;
    if (icons.Maximize)
        f |= Qt::WindowMaximizeButtonHint;
    return f;
}

void CollectButtons(TComponent& owner, std::vector<TButton*>& buttons)
{
    for (TComponent* c : owner.Components()) {
        if (auto* b = dynamic_cast<TButton*>(c))
            buttons.push_back(b);
        CollectButtons(*c, buttons);
    }
}

// The button Enter (the focused one, else the default one) or Escape (the cancel one) clicks.
TButton* DialogButton(TForm& form, bool cancel, QWidget* focus)
{
    std::vector<TButton*> buttons;
    CollectButtons(form, buttons);
    auto usable = [](TButton* b) {
        TQtPeer* peer = QtPeerOf(*b);
        return b->EnabledInTree() && peer && peer->Widget() && peer->Widget()->isVisible();
    };
    if (!cancel && focus)
        for (TButton* b : buttons)
            if (usable(b) && QtPeerOf(*b)->Widget() == focus)
                return b;
    for (TButton* b : buttons)
        if (usable(b) && (cancel ? b->Cancel : b->Default))
            return b;
    return nullptr;
}

}  // namespace

// --- TFormWindow --------------------------------------------------------------------------

TFormWindow::TFormWindow(TFormPeer& peer) : TLinkedWidget(peer), Client(new QWidget(this))
{
    setWindowFlags(Qt::Window);
}

int TFormWindow::MenuBarHeight(int width) const
{
    if (!MenuBar)
        return 0;
    const int h = MenuBar->heightForWidth(std::max(width, 1));
    return h > 0 ? h : MenuBar->sizeHint().height();
}

int TFormWindow::LayoutParts()
{
    const int bar = MenuBarHeight(width());
    if (MenuBar)
        MenuBar->setGeometry(0, 0, width(), bar);
    Client->setGeometry(0, bar, width(), std::max(height() - bar, 0));
    return bar;
}

void TFormWindow::resizeEvent(QResizeEvent*)
{
    if (TFormPeer* peer = Model())
        peer->WindowResized();
    else
        LayoutParts();
}

void TFormWindow::moveEvent(QMoveEvent*)
{
    if (TFormPeer* peer = Model())
        peer->WindowMoved();
}

void TFormWindow::closeEvent(QCloseEvent* event)
{
    TFormPeer* peer = Model();
    if (!peer) {
        event->accept();
        return;
    }
    // The form decides: its OnClose may refuse, and the main form's close ends the program.
    event->ignore();
    peer->CloseRequested();
}

void TFormWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !windowState().testFlag(Qt::WindowMaximized))
        return;
    // A window without a maximise box cannot be maximised; a window manager that does it
    // anyway gets the window back at its previous rectangle.
    if (TFormPeer* peer = Model(); peer && !peer->Form().BorderIcons.Maximize)
        QTimer::singleShot(0, this, [this] {
            if (TFormPeer* peer = Model())
                peer->UndoMaximise();
        });
}

void TFormPeer::UndoMaximise()
{
    if (!window_)
        return;
    // The window manager may have left the state by itself (a size request of ours ends it)
    // but not the maximised size.
    if (window_->isMaximized())
        window_->setWindowState(window_->windowState() & ~Qt::WindowMaximized);
    // The maximised size may have reached the model before the state, as part of the burst
    // now under way, or may still be on its way.
    const bool inBurst = burst_.isValid() && burst_.elapsed() <= BurstMs;
    const QRect back = inBurst ? normal_ : QRect(form_.Left(), form_.Top(), form_.Width(), form_.Height());
    RestoreRect(back);
    QTimer::singleShot(BurstMs, Guard(), [this, back] { RestoreRect(back); });
}

void TFormPeer::RestoreRect(const QRect& rect)
{
    if (!window_ || !rect.isValid())
        return;
    if (rect != QRect(form_.Left(), form_.Top(), form_.Width(), form_.Height())) {
        TForm& form = form_;
        if (!TakeUserGeometry([&] { form.SetBounds(rect.x(), rect.y(), rect.width(), rect.height()); }))
            return;
    }
    PushGeometry();
    SettleSize();
}

void TFormWindow::showEvent(QShowEvent*)
{
    if (TFormPeer* peer = Model())
        peer->WindowShown();
}

// --- TFormPeer ----------------------------------------------------------------------------

TFormPeer::TFormPeer(TForm& form, std::shared_ptr<TFrameCache> frames)
    : TControlPeer(form, new TFormWindow(*this)), form_(form), frames_(std::move(frames))
{
    window_ = static_cast<TFormWindow*>(widget_.data());
    window_->setWindowFlags(FlagsOf(form));
    window_->Client->setAutoFillBackground(true);
    AddPart(window_->Client, true);
    if (form.Menu) {
        window_->MenuBar = new QMenuBar(window_);
        window_->MenuBar->setNativeMenuBar(false);
        BuildMenuItems(form.Menu->Items(), window_->MenuBar);
    }
    frames_->Join(this);
    AdoptFrame();
    if (!adoptedFrame_.isValid()) {
        // Until the window manager has framed a window, the menu bar is the one part of the
        // frame known for sure; the rest arrives with the first show.
        const int bar = window_->MenuBarHeight(std::max(form_.ClientWidth(), 1));
        form.SetFrameMetrics(0, 0, bar);
    }
}

TFormPeer::~TFormPeer()
{
    frames_->Leave(this);
}

QWidget* TFormPeer::Container() const
{
    return window_ ? window_->Client : nullptr;
}

QWidget* TFormPeer::Face() const
{
    return Container();
}

QMenuBar* TFormPeer::MenuBar() const
{
    return window_ ? window_->MenuBar : nullptr;
}

QPoint TFormPeer::ControlPoint(QWidget*, QPoint p) const
{
    return p;
}

void TFormPeer::Sync(TChange what)
{
    if (!window_)
        return;
    switch (what) {
    case TChange::Bounds: PushGeometry(); break;
    case TChange::Visible:
        AskFrame();
        ShowWindow(form_.Visible());
        break;
    case TChange::Enabled: window_->setEnabled(form_.Enabled()); break;
    case TChange::Text:
        window_->setWindowTitle(QStr(form_.Caption()));
        // What a minimised window shows is its caption too.
        window_->setWindowIconText(QStr(form_.Caption()));
        break;
    case TChange::Icon:
        window_->setWindowIcon(form_.Icon.Empty() ? QIcon() : QIcon(QPixmap::fromImage(TransparentImage(form_.Icon))));
        break;
    case TChange::Stacking: break;  // SetTopMost does the work and answers
    default: TControlPeer::Sync(what);
    }
}

void TFormPeer::PushGeometry()
{
    // While the model takes the user's change, its answer is pushed once afterwards.
    if (!window_ || userGeometry_ > 0)
        return;
    ++pushing_;
    const int clientWidth = std::max(form_.ClientWidth(), 0);
    const int clientHeight = std::max(form_.ClientHeight(), 0);
    const QSize size(clientWidth, clientHeight + window_->MenuBarHeight(clientWidth));
    const QPoint pos(form_.Left(), form_.Top());
    bool changed = false;
    if (form_.BorderStyle == TBorderStyle::bsDialog) {
        if (window_->minimumSize() != size || window_->maximumSize() != size || window_->size() != size) {
            window_->setFixedSize(size);
            changed = true;
        }
    } else if (window_->size() != size) {
        window_->resize(size);
        changed = true;
    }
    if (extents_) {
        // The model's position is the frame's corner; the window is placed by its client
        // area, which the window manager puts exactly there (static gravity).
        const QPoint client = pos + QPoint(extents_->left(), extents_->top());
        if (window_->geometry().topLeft() != client) {
            window_->setGeometry(QRect(client, window_->size()));
            changed = true;
        }
    } else if (window_->frameGeometry().topLeft() != pos) {
        window_->move(pos);
        changed = true;
    }
    if (changed && window_->isVisible())
        pushed_.Pushed(size, pos);
    window_->LayoutParts();
    --pushing_;
}

bool TFormPeer::TakeUserGeometry(const std::function<void()>& change)
{
    // A maximise arrives as a burst of moves and resizes before its state: the rectangle
    // before the burst is the one to go back to.
    if (!burst_.isValid() || burst_.elapsed() > BurstMs)
        normal_ = QRect(form_.Left(), form_.Top(), form_.Width(), form_.Height());
    burst_.start();
    const QSize reported = window_->size();
    ++userGeometry_;
    if (!Input(change))
        return false;
    --userGeometry_;
    // The program may refuse the change (an OnResize that pins the width): the window
    // follows the model.
    PushGeometry();
    if (window_ && window_->size() != reported)
        SettleSize();
    return true;
}

void TFormPeer::SettleSize()
{
    // A window manager ignores size requests while it is busy with the window (the user's
    // drag of an edge, a maximise) and says nothing afterwards: once it lets go, the window
    // must get the size the model answered, or it keeps the user's with the layout of
    // another. Qt believes the request went through, so the server is asked directly.
    if (!settle_) {
        settle_ = new QTimer(Guard());
        settle_->setInterval(SettleMs);
        QObject::connect(settle_, &QTimer::timeout, Guard(), [this] {
            if (!window_ || !window_->isVisible() || ++settleTicks_ > SettleTicks) {
                settle_->stop();
                return;
            }
            if (X11::ButtonsDown())
                return;
            const std::optional<QSize> server = X11::ServerSize(window_);
            if (!server || *server == window_->size()) {
                settle_->stop();
                return;
            }
            X11::RequestSize(window_, window_->size());
        });
    }
    settleTicks_ = 0;
    settle_->start();
}

void TFormPeer::WindowResized()
{
    if (!window_)
        return;
    const int bar = window_->LayoutParts();
    if (pushing_ > 0 || userGeometry_ > 0 || !window_->isVisible())
        return;
    const QSize size = window_->size();
    if (pushed_.Confirms(size))
        return;
    const int clientWidth = size.width(), clientHeight = size.height() - bar;
    if (clientWidth == form_.ClientWidth() && clientHeight == form_.ClientHeight())
        return;
    TForm& form = form_;
    TakeUserGeometry([&] { form.UserResized(clientWidth, clientHeight); });
}

void TFormPeer::WindowMoved()
{
    if (!window_ || pushing_ > 0 || userGeometry_ > 0 || !window_->isVisible())
        return;
    // While the window manager takes a new window on it places it, by its own rules where
    // they override the program's, sometimes more than once: no move of the user's. The
    // window goes back where the model has it.
    if (extents_ && !frameReported_)
        return;
    if (extents_ && framedAt_.isValid() && framedAt_.elapsed() < BurstMs) {
        PushGeometry();
        return;
    }
    const QPoint pos = extents_ ? window_->geometry().topLeft() - QPoint(extents_->left(), extents_->top())
                                : window_->frameGeometry().topLeft();
    if (pushed_.Confirms(pos))
        return;
    if (pos.x() == form_.Left() && pos.y() == form_.Top())
        return;
    TForm& form = form_;
    TakeUserGeometry([&] { form.UserMoved(pos.x(), pos.y()); });
}

void TFormPeer::CloseRequested()
{
    TForm& form = form_;
    Input([&] { form.Perform(WM_CLOSE); });
}

void TFormPeer::WindowShown()
{
    // The frame is known only once the window is on screen, and the window manager may
    // take a moment: measure after the show has been handled.
    if (!frameReported_)
        QTimer::singleShot(0, Guard(), [this] { ReportFrame(); });
}

void TFormPeer::ReportFrame()
{
    if (frameReported_ || !window_ || !window_->isVisible())
        return;
    QSize frameSize;
    if (X11::WindowManagerRunning()) {
        // Qt learns the frame late and not always right; the window manager's word counts,
        // once it has taken the window on (and placed it, by its own rules where they
        // override the program's).
        extents_ = X11::Managed(window_) ? X11::FrameExtents(window_) : std::nullopt;
        if (!extents_) {
            // Not framed yet: ask again in a moment.
            if (++frameTries_ < FrameTries)
                QTimer::singleShot(FrameRetryMs, Guard(), [this] { ReportFrame(); });
            return;
        }
        frameSize = FrameSize(*extents_);
    } else {
        frameSize = window_->frameGeometry().size() - window_->geometry().size();
    }
    frameReported_ = true;
    framedAt_.start();
    const int frameWidth = frameSize.width();
    const int frameHeight = frameSize.height();
    const int bar = window_->MenuBarHeight(window_->width());
    TForm& form = form_;
    if (!TakeUserGeometry([&] { form.SetFrameMetrics(frameWidth, frameHeight, bar); }))
        return;
    // The cache outlives this peer should the adopting forms' handlers destroy this form.
    const std::shared_ptr<TFrameCache> frames = frames_;
    frames->Measured(*this, form_.BorderStyle == TBorderStyle::bsDialog, QSize(frameWidth, frameHeight));
}

void TFormPeer::AskFrame()
{
    if (frameAsked_ || !window_ || !X11::WindowManagerRunning())
        return;
    frameAsked_ = true;
    // The window manager tells the frame it will draw before the window is shown, so the
    // program places and centres the window by its true outer size from the start. Asked
    // once the size hints are in place, as the frame depends on them (a fixed-size dialog
    // gets no resize handles).
    extents_ = X11::AskFrameExtents(window_);
    if (!extents_)
        return;
    adoptedFrame_ = FrameSize(*extents_);
    const int bar = window_->MenuBarHeight(std::max(form_.ClientWidth(), 1));
    TForm& form = form_;
    const QSize frame = adoptedFrame_;
    Input([&] { form.SetFrameMetrics(frame.width(), frame.height(), bar); });
}

void TFormPeer::AdoptFrame()
{
    if (frameReported_ || extents_ || !window_ || window_->isVisible())
        return;
    const QSize frame = frames_->Expected(form_.BorderStyle == TBorderStyle::bsDialog);
    if (!frame.isValid() || frame == adoptedFrame_)
        return;
    adoptedFrame_ = frame;
    const int bar = window_->MenuBarHeight(std::max(form_.ClientWidth(), 1));
    TForm& form = form_;
    Input([&] { form.SetFrameMetrics(frame.width(), frame.height(), bar); });
}

void TFormPeer::SetModality(Qt::WindowModality modality)
{
    if (window_->windowModality() == modality)
        return;
    // Modality takes effect when the window is shown.
    const bool shown = window_->isVisible();
    ++pushing_;
    if (shown)
        window_->hide();
    window_->setWindowModality(modality);
    if (modality != Qt::NonModal && Application && Application->MainForm() && Application->MainForm() != &form_) {
        TFormPeer* main = FormPeerOf(*Application->MainForm());
        if (main && main->Window() && main->Window()->windowHandle()) {
            window_->winId();
            if (QWindow* handle = window_->windowHandle())
                handle->setTransientParent(main->Window()->windowHandle());
        }
    }
    if (shown)
        window_->show();
    --pushing_;
}

void TFormPeer::ShowWindow(bool visible)
{
    if (visible) {
        if (form_.Modal())
            SetModality(Qt::ApplicationModal);
        PushGeometry();
        window_->show();
        window_->activateWindow();
    } else {
        const bool wasModal = window_->windowModality() != Qt::NonModal;
        window_->hide();
        SetModality(Qt::NonModal);
        // The keys go back to the main window when a dialog closes, also where no window
        // manager hands the focus back.
        if (wasModal && Application && Application->MainForm() && Application->MainForm() != &form_)
            if (TFormPeer* main = FormPeerOf(*Application->MainForm()); main && main->Window())
                main->Window()->activateWindow();
    }
}

void TFormPeer::MakeModal()
{
    if (!window_)
        return;
    SetModality(Qt::ApplicationModal);
    if (window_->isVisible()) {
        window_->raise();
        window_->activateWindow();
    }
}

bool TFormPeer::SetTopMost(bool topMost)
{
    if (!window_)
        return false;
    Qt::WindowFlags flags = window_->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == topMost)
        return true;
    flags.setFlag(Qt::WindowStaysOnTopHint, topMost);
    QWindow* handle = window_->windowHandle();
    if (!handle) {
        // Nothing native yet: the flag goes with the window when it is made.
        window_->setWindowFlags(flags);
        return true;
    }
    // On the existing native window (the window manager's above state): a new flag through
    // the widget would take the window down and build it anew, moving and flickering.
    window_->overrideWindowFlags(flags);
    handle->setFlags(flags);
    return true;
}

bool TFormPeer::KeyDown(unsigned key, TShiftState shift, QWidget* focus)
{
    // The answer lives outside the handler: a shortcut whose handler raised has taken the key
    // all the same, and a key left untaken would travel on and be offered to the form again.
    TMessage message{WM_KEYDOWN, KeyWParam(key, shift), 0, 0};
    TForm& form = form_;
    if (!Input([&] { form.WindowProc(message); }))
        return true;
    if (message.Result != 0)
        return true;
    // Enter clicks the focused button or else the default one, Escape the cancel button.
    constexpr unsigned VK_RETURN = 13, VK_ESCAPE = 27;
    if ((key == VK_RETURN || key == VK_ESCAPE) && shift.NoModifier() && form.Enabled()) {
        if (TButton* button = DialogButton(form, key == VK_ESCAPE, focus)) {
            Input([&] { button->Click(); });
            return true;
        }
    }
    return false;
}

TFormPeer* FormPeerOf(const TForm& form)
{
    return dynamic_cast<TFormPeer*>(form.Peer());
}

TFormPeer* FormPeerOfWindow(QWidget* window)
{
    auto* w = dynamic_cast<TFormWindow*>(window);
    return w ? w->Model() : nullptr;
}

std::unique_ptr<TQtPeer> MakeFormPeer(TForm& form, std::shared_ptr<TFrameCache> frames)
{
    return std::make_unique<TFormPeer>(form, std::move(frames));
}
