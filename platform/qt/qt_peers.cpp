// What every peer shares: the widget's lifetime, input handed to the model, and the state
// and input common to all controls (bounds, colours, mouse buttons, dropped files).
#include <algorithm>
#include <string>
#include <vector>

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "dragdrop.h"
#include "qt_backlink.h"
#include "qt_convert.h"
#include "qt_peers.h"

namespace {

int inputDepth = 0;
unsigned long inputCount = 0;

std::vector<QPointer<QWidget>>& DiscardedWidgets()
{
    static std::vector<QPointer<QWidget>> widgets;
    return widgets;
}

// Mouse-button flags of WParam that the class library does not name.
constexpr std::uintptr_t MK_LBUTTON = 0x0001;
constexpr std::uintptr_t MK_RBUTTON = 0x0002;
constexpr std::uintptr_t MK_MBUTTON = 0x0010;

}  // namespace

TInputScope::TInputScope()
{
    ++inputDepth;
    ++inputCount;
}
TInputScope::~TInputScope() { --inputDepth; }
int InputDepth() { return inputDepth; }
unsigned long InputCount() { return inputCount; }

void Discard(QWidget* widget)
{
    if (!widget)
        return;
    widget->hide();
    DiscardedWidgets().emplace_back(widget);
    DeleteDiscarded();
}

void DeleteDiscarded()
{
    if (inputDepth > 0)
        return;
    std::vector<QPointer<QWidget>> widgets;
    widgets.swap(DiscardedWidgets());
    for (const QPointer<QWidget>& w : widgets)
        delete w.data();  // a parent deleted before its child takes the child along
}

// --- TQtPeer ------------------------------------------------------------------------------

TQtPeer::TQtPeer(TComponent& component)
    : component_(component), alive_(std::make_shared<bool>(true)), guard_(std::make_unique<QObject>())
{
}

TQtPeer::~TQtPeer()
{
    guard_.reset();
    if (auto* linked = dynamic_cast<TBackLinked*>(widget_.data()))
        linked->CutBackLink();
    Discard(widget_);
}

void TQtPeer::Changed(TChange what)
{
    Sync(what);
}

void TQtPeer::SyncAll()
{
    for (TChange what : {TChange::Bounds, TChange::Enabled, TChange::Text, TChange::Hint, TChange::Font,
                         TChange::Color, TChange::Cursor, TChange::Items, TChange::ItemIndex, TChange::Checked,
                         TChange::Glyph, TChange::Position, TChange::Panels, TChange::ShortCut, TChange::Painted,
                         TChange::AcceptDrops, TChange::ReadOnly, TChange::Icon, TChange::Visible})
        Sync(what);
}

bool TQtPeer::Input(const std::function<void()>& handler)
{
    std::weak_ptr<bool> alive = alive_;
    // After the program has ended nothing more reaches its objects.
    if (!Application || Application->Terminated())
        return true;
    {
        TInputScope scope;
        Application->Deliver(handler);
    }
    return !alive.expired();
}

// --- TControlPeer -------------------------------------------------------------------------

class TControlPeer::TFilter : public QObject {
public:
    explicit TFilter(TControlPeer* peer) : peer_(peer) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return watched->isWidgetType() && peer_->FilterEvent(static_cast<QWidget*>(watched), event);
    }

private:
    TControlPeer* peer_;
};

static QWidget* ContainerOfParent(const TControl& control)
{
    if (!control.Parent())
        return nullptr;
    TQtPeer* parent = QtPeerOf(*control.Parent());
    return parent ? parent->Container() : nullptr;
}

TControlPeer::TControlPeer(TControl& control, QWidget* widget)
    : TQtPeer(control), control_(control), filter_(std::make_unique<TFilter>(this))
{
    widget_ = widget;
    if (!dynamic_cast<TForm*>(&control)) {
        QWidget* parent = ContainerOfParent(control);
        widget->setParent(parent);
        // A control outside every form has nowhere to show; it must not become a window.
        if (!parent)
            widget->setAttribute(Qt::WA_DontShowOnScreen);
    }
    AddPart(widget, false);
}

TControlPeer::~TControlPeer()
{
    filter_.reset();
}

void TControlPeer::AddPart(QWidget* part, bool forwardMouse)
{
    part->installEventFilter(filter_.get());
    parts_.emplace_back(part);
    if (forwardMouse)
        mouseParts_.push_back(part);
}

QPoint TControlPeer::ControlPoint(QWidget* part, QPoint p) const
{
    return part == widget_ || !widget_ ? p : part->mapTo(widget_, p);
}

static std::vector<std::string> LocalFiles(const QMimeData* mime)
{
    std::vector<std::string> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths.push_back(StdStr(url.toLocalFile()));
    return paths;
}

static TControl* DropTarget(TControl* c)
{
    while (c && !c->AcceptsDroppedFiles())
        c = c->Parent();
    return c;
}

bool TControlPeer::FilterEvent(QWidget* part, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        if (std::find(mouseParts_.begin(), mouseParts_.end(), part) == mouseParts_.end())
            return false;
        auto* me = static_cast<QMouseEvent*>(event);
        const bool up = event->type() == QEvent::MouseButtonRelease;
        unsigned msg = 0;
        switch (me->button()) {
        case Qt::LeftButton: msg = up ? WM_LBUTTONUP : WM_LBUTTONDOWN; break;
        case Qt::RightButton: msg = up ? WM_RBUTTONUP : WM_RBUTTONDOWN; break;
        case Qt::MiddleButton: msg = up ? WM_MBUTTONUP : WM_MBUTTONDOWN; break;
        default: return false;
        }
        std::uintptr_t flags = 0;
        const Qt::MouseButtons buttons = me->buttons();
        if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
        if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
        if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
        const Qt::KeyboardModifiers mods = me->modifiers();
        if (mods & Qt::ShiftModifier) flags |= MK_SHIFT;
        if (mods & Qt::ControlModifier) flags |= MK_CONTROL;
        if (mods & Qt::AltModifier) flags |= MK_ALT;
        const QPoint p = ControlPoint(part, me->position().toPoint());
        TControl& control = control_;
        Input([&] { control.Perform(msg, flags, MakeLParam(p.x(), p.y())); });
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* de = static_cast<QDropEvent*>(event);
        if (DropTarget(&control_) && !LocalFiles(de->mimeData()).empty())
            de->acceptProposedAction();
        else
            de->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(event);
        TControl* target = DropTarget(&control_);
        std::vector<std::string> paths = LocalFiles(de->mimeData());
        if (!target || paths.empty() || !Application || Application->Terminated()) {
            de->ignore();
            return true;
        }
        de->acceptProposedAction();
        // Posted, as the desktop posts it: the program's handling (a folder scan, a modal
        // box) then runs from the message loop, not inside the drag-and-drop exchange.
        Application->PostMessage(target, WM_DROPFILES, NewDropHandle(std::move(paths)), 0);
        return true;
    }
    default:
        return false;
    }
}

void TControlPeer::RefreshDrops()
{
    const bool accept = DropTarget(&control_) != nullptr;
    for (const QPointer<QWidget>& part : parts_)
        if (part && !part->isWindow())
            part->setAcceptDrops(accept);
    if (QWidget* face = Face(); face && face != widget_)
        face->setAcceptDrops(accept);
    if (auto* win = dynamic_cast<TWinControl*>(&control_))
        for (TControl* child : win->Controls())
            if (auto* peer = dynamic_cast<TControlPeer*>(QtPeerOf(*child)))
                peer->RefreshDrops();
}

void TControlPeer::PushBounds()
{
    widget_->setGeometry(control_.Left(), control_.Top(), control_.Width(), control_.Height());
}

void TControlPeer::NotifyParent()
{
    if (control_.Parent())
        if (TQtPeer* parent = QtPeerOf(*control_.Parent()))
            parent->ChildGeometryChanged();
}

void TControlPeer::ApplyPalette()
{
    QWidget* face = Face();
    QPalette p = face->palette();
    const QColor text = QColorOf(control_.Font().Color);
    // The disabled look stays the system's.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            p.setColor(g, r, text);
    if (UsesColor())
        p.setColor(QPalette::Window, QColorOf(control_.Color()));
    face->setPalette(p);
    face->setAutoFillBackground(UsesColor());
}

void TControlPeer::Sync(TChange what)
{
    if (!widget_)
        return;
    switch (what) {
    case TChange::Bounds:
        PushBounds();
        NotifyParent();
        break;
    case TChange::Visible:
        widget_->setVisible(control_.Visible() && !widget_->testAttribute(Qt::WA_DontShowOnScreen));
        NotifyParent();
        break;
    case TChange::Enabled:
        widget_->setEnabled(control_.Enabled());
        break;
    case TChange::Hint:
        Face()->setToolTip(control_.ShowHint() ? ShortHint(control_.Hint()) : QString());
        break;
    case TChange::Font:
        Face()->setFont(QFontOf(control_.Font()));
        ApplyPalette();
        break;
    case TChange::Color:
        ApplyPalette();
        break;
    case TChange::Cursor:
        if (control_.Cursor() == TCursor::crHandPoint)
            Face()->setCursor(Qt::PointingHandCursor);
        else
            Face()->unsetCursor();
        break;
    case TChange::AcceptDrops:
        RefreshDrops();
        break;
    default:
        break;
    }
}
