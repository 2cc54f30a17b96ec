// The realisation: the Qt application under the model's message pump, peers for the
// components of each form, the keyboard's way to the forms, and the desktop services.
#include <algorithm>

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include "qt_convert.h"
#include "qt_folder.h"
#include "qt_form.h"
#include "qt_frames.h"
#include "qt_widgets.h"

namespace {

void EnsureApplication()
{
    if (!QApplication::instance()) {
        // One picture pixel is one screen pixel, whatever the screen's density.
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        qputenv("QT_SCALE_FACTOR", "1");
        static int argc = 1;
        static char name[] = "fovi";
        static char* argv[] = {name, nullptr};
        // Lives as long as the process: windows may outlive any one application object.
        new QApplication(argc, argv);
    }
    QApplication::setQuitOnLastWindowClosed(false);
    // Every text on screen is Japanese, Qt's own dialogs included, whatever the user's locale.
    static QPointer<QTranslator> translator;
    if (!translator) {
        translator = new QTranslator(qApp);
        if (translator->load(QStringLiteral("qt_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QApplication::installTranslator(translator);
    }
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(12);
    QApplication::setFont(font);
}

// The virtual-key code of a key, or 0 for keys the program never asks about.
unsigned VirtualKey(const QKeyEvent& e)
{
    const int k = e.key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return unsigned('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return unsigned('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return unsigned(112 + (k - Qt::Key_F1));
    const bool keypad = e.modifiers() & Qt::KeypadModifier;
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Pause: return 19;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Asterisk: return keypad ? 106 : 0;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Period: return 190;
    default: return 0;
    }
}

}  // namespace

// Keys go to the model's form before the widget with the focus, as menu shortcuts take
// precedence there; what the model leaves goes on to Qt (the menu bar's access keys).
class TQtRealisation::TKeyFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyRelease) {
            last_ = nullptr;
            return false;
        }
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        // A key the focused widget ignores travels on to its parents: the model sees it once.
        if (key == last_ && lastWidget_ && widget != lastWidget_ && widget->isAncestorOf(lastWidget_))
            return false;
        last_ = key;
        lastWidget_ = widget;
        if (QApplication::activePopupWidget())
            return false;
        TFormPeer* form = FormPeerOfWindow(widget->window());
        const unsigned vk = VirtualKey(*key);
        if (!form || vk == 0)
            return false;
        TShiftState shift;
        const Qt::KeyboardModifiers mods = key->modifiers();
        shift.Shift = mods & Qt::ShiftModifier;
        shift.Ctrl = mods & Qt::ControlModifier;
        shift.Alt = mods & Qt::AltModifier;
        if (!form->KeyDown(vk, shift, QApplication::focusWidget()))
            return false;
        key->accept();
        return true;
    }

private:
    const QKeyEvent* last_ = nullptr;
    QPointer<QWidget> lastWidget_;
};

TQtRealisation::TQtRealisation() : frames_(std::make_shared<TFrameCache>())
{
    EnsureApplication();
    keys_ = std::make_unique<TKeyFilter>();
    qApp->installEventFilter(keys_.get());
}

TQtRealisation::~TQtRealisation()
{
    DeleteDiscarded();
}

static void EnsurePeer(TComponent& c, const std::shared_ptr<TFrameCache>& frames)
{
    if (c.Peer())
        return;
    // A control's widget goes inside its parent's, whatever the order of ownership.
    if (auto* control = dynamic_cast<TControl*>(&c); control && control->Parent())
        EnsurePeer(*control->Parent(), frames);
    // A menu item's action belongs to its form's menu bar, which the form's peer builds.
    if (auto* item = dynamic_cast<TMenuItem*>(&c)) {
        const TMenuItem* root = item;
        while (root->Parent())
            root = root->Parent();
        if (auto* menu = dynamic_cast<TMainMenu*>(root->Owner()))
            if (auto* form = dynamic_cast<TForm*>(menu->Owner()); form && form->Menu == menu)
                EnsurePeer(*form, frames);
        if (c.Peer())
            return;
    }
    std::unique_ptr<TQtPeer> peer = MakePeer(c, frames);
    TQtPeer* raw = peer.get();
    c.SetPeer(std::move(peer));
    raw->SyncAll();
}

static void AttachTree(TComponent& c, const std::shared_ptr<TFrameCache>& frames)
{
    EnsurePeer(c, frames);
    const std::vector<TComponent*> owned = c.Components();
    for (TComponent* child : owned)
        AttachTree(*child, frames);
}

void TQtRealisation::Attach(TComponent& component)
{
    AttachTree(component, frames_);
    if (auto* control = dynamic_cast<TWinControl*>(&component))
        ApplyTabOrder(*control);
}

bool TQtRealisation::PumpEvents()
{
    const unsigned long before = InputCount();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (InputDepth() == 0) {
        // Outside every handler nothing of Qt's is on the stack: what was scheduled for
        // deletion can go, or it would keep the event loop from ever waiting.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DeleteDiscarded();
    }
    return InputCount() != before;
}

void TQtRealisation::WaitForEvents(int timeoutMs)
{
    if (timeoutMs == 0) {
        PumpEvents();
        return;
    }
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    if (timeoutMs > 0)
        wake.start(timeoutMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (InputDepth() == 0)
        DeleteDiscarded();
}

void TQtRealisation::ShowException(const std::string& message)
{
    if (ExceptionHook) {
        ExceptionHook(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStr(Application ? Application->Title() : std::string()), QStr(message),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

int TQtRealisation::DesktopWidth()
{
    int right = 0;
    for (const QScreen* s : QGuiApplication::screens())
        right = std::max(right, s->geometry().x() + s->geometry().width());
    return right;
}

int TQtRealisation::DesktopHeight()
{
    int bottom = 0;
    for (const QScreen* s : QGuiApplication::screens())
        bottom = std::max(bottom, s->geometry().y() + s->geometry().height());
    return bottom;
}

bool TQtRealisation::SetTopMost(TForm& form, bool topMost)
{
    TFormPeer* peer = FormPeerOf(form);
    return peer && peer->SetTopMost(topMost);
}

static QWidget* WindowOf(TForm* form)
{
    TFormPeer* peer = form ? FormPeerOf(*form) : nullptr;
    return peer ? peer->Window() : nullptr;
}

bool TQtRealisation::BrowseForFolder(TForm* owner, const std::string& title, std::string& path)
{
    QWidget* parent = WindowOf(owner);
    QString chosen;
    const bool ok = ChooseFolder(parent, QStr(title), chosen);
    // The keys belong to the owner again at once, also where no window manager hands the
    // focus back.
    if (parent)
        parent->activateWindow();
    if (!ok)
        return false;
    path = StdStr(chosen);
    return true;
}

bool TQtRealisation::ShellOpen(TForm*, const std::string& target)
{
    const QString t = QStr(target);
    const bool web = t.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                     t.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    return QDesktopServices::openUrl(web ? QUrl(t) : QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath()));
}

void TQtRealisation::ModalShown(TForm& form)
{
    if (TFormPeer* peer = FormPeerOf(form))
        peer->MakeModal();
}

std::unique_ptr<TRealisation> CreateQtRealisation()
{
    return std::make_unique<TQtRealisation>();
}

QWidget* WidgetOf(const TComponent& component)
{
    TQtPeer* peer = QtPeerOf(component);
    return peer ? peer->Widget() : nullptr;
}

QWidget* ClientOf(const TForm& form)
{
    TFormPeer* peer = FormPeerOf(form);
    return peer ? peer->Container() : nullptr;
}

QMenuBar* MenuBarOf(const TForm& form)
{
    TFormPeer* peer = FormPeerOf(form);
    return peer ? peer->MenuBar() : nullptr;
}

QAction* ActionOf(const TMenuItem& item)
{
    TQtPeer* peer = QtPeerOf(item);
    return peer ? peer->Action() : nullptr;
}
