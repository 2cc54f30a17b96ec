// The options dialog and the about box on real Qt widgets: typing, clicking, placement and
// the modal loop as they happen on screen.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

#include "qt_widgets.h"
#include "viewer.h"

// Fontconfig keeps what it parsed from its configuration files for the life of the process;
// the leak checker of sanitizer builds must not count that against us.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

// The Qt realisation, except that opening a page is recorded instead of starting a browser.
class TRecordingQt : public TQtRealisation {
public:
    bool ShellOpen(TForm*, const std::string& target) override
    {
        Opened.push_back(target);
        return true;
    }
    std::vector<std::string> Opened;
};

template <typename W>
W* Widget(const TComponent& c)
{
    W* w = qobject_cast<W*>(WidgetOf(c));
    EXPECT_NE(w, nullptr) << c.Name();
    return w;
}

QPoint Centre(const QWidget* w) { return w->rect().center(); }

// Replaces an edit box's text as a user does: select everything, type over it.
void TypeOver(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QColor TextColour(const QLabel* label) { return label->palette().color(label->foregroundRole()); }

// The dialog's window is centred on the main window's, both measured on screen with their
// frames, halves truncated toward zero.
void ExpectCentredOn(const QWidget* dialog, const QWidget* main)
{
    const QRect d = dialog->frameGeometry(), m = main->frameGeometry();
    EXPECT_EQ(d.left(), m.left() + (m.width() - d.width()) / 2) << "main " << m.left() << "," << m.top() << " "
                                                                  << m.width() << "x" << m.height();
    EXPECT_EQ(d.top(), m.top() + (m.height() - d.height()) / 2) << "dialog " << d.width() << "x" << d.height();
}

}  // namespace

class QtDialogs : public ViewerTest {
protected:
    void SetUp() override
    {
        // Unattended: no display is needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        ViewerTest::SetUp();
        auto qt = std::make_unique<TRecordingQt>();
        qt_ = qt.get();
        // A message box would wait for a user who never comes.
        qt_->ExceptionHook = [this](const std::string& message) { exceptions_.push_back(message); };
        Application->SetRealisation(std::move(qt));
        Application->SetClock(std::make_unique<TRealClock>());
    }

    // Starts the program and lets the windows settle: the frames are measured once shown.
    void StartOnScreen()
    {
        Start();
        QTest::qWait(50);
        Application->ProcessMessages();
        ASSERT_NE(WidgetOf(Main()), nullptr);
        ASSERT_TRUE(WidgetOf(Main())->isVisible());
    }

    // Runs the script once the dialog is up in its modal loop, after choosing the menu item
    // that opens it. A dialog the script leaves open is closed, so a failing script cannot
    // hang. With keepAwake a steady tick wakes the loop, standing in for the user's next
    // mouse move; the test of the loop itself goes without.
    void WhileModal(TMenuItem* item, TForm* dialog, const std::function<void(QWidget* window)>& script,
                    bool keepAwake = true)
    {
        bool ran = false;
        // Its destruction cancels whatever is still scheduled for this call.
        QObject guard;
        QTimer awake(&guard);
        if (keepAwake)
            awake.start(20);
        QElapsedTimer waited;
        waited.start();
        std::function<void()> poll = [&] {
            QWidget* window = WidgetOf(*dialog);
            if (!dialog->Modal() || !window || !window->isVisible()) {
                if (waited.elapsed() < 5000)
                    QTimer::singleShot(10, &guard, poll);
                return;
            }
            ran = true;
            script(window);
            if (dialog->Modal() && dialog->ModalResult() == mrNone)
                dialog->Close();
        };
        QTimer::singleShot(0, &guard, poll);
        // The menu's own action, as choosing the item with the mouse triggers it.
        QAction* action = ActionOf(*item);
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_TRUE(ran) << "the dialog never became modal";
        EXPECT_FALSE(dialog->Showing());
        EXPECT_FALSE(WidgetOf(*dialog)->isVisible());
    }

    TRecordingQt* qt_ = nullptr;
    std::vector<std::string> exceptions_;
};

TEST_F(QtDialogs, OptionsDialogTakesTypedTextAndClicks)
{
    StartOnScreen();
    WhileModal(Main().mnuVisibleOption, frmConfig, [&](QWidget* window) {
        TfrmConfig& d = *frmConfig;
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8("設定"));
        EXPECT_EQ(window->size(), QSize(249, 167));

        QLineEdit* edit = Widget<QLineEdit>(*d.edtSlideTime);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "10");

        // The up arrow: the box follows and the main window's timer takes it at once.
        QWidget* updown = WidgetOf(*d.updSlideTime);
        ASSERT_NE(updown, nullptr);
        QToolButton* up = nullptr;
        for (QToolButton* b : updown->findChildren<QToolButton*>())
            if (b->arrowType() == Qt::UpArrow)
                up = b;
        ASSERT_NE(up, nullptr);
        QTest::mouseClick(up, Qt::LeftButton, {}, Centre(up));
        EXPECT_EQ(edit->text(), "11");
        EXPECT_EQ(Main().timMain->Interval(), 11000);

        QCheckBox* check = Widget<QCheckBox>(*d.chkWindowPosition);
        ASSERT_NE(check, nullptr);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        EXPECT_TRUE(d.chkWindowPosition->Checked());
        EXPECT_TRUE(check->isChecked());

        // Not a number: the exception dialog names the text and the dialog stays.
        QPushButton* ok = Widget<QPushButton>(*d.btrnOk);
        ASSERT_NE(ok, nullptr);
        TypeOver(edit, "abc");
        EXPECT_EQ(d.edtSlideTime->Text(), "abc");
        QTest::mouseClick(ok, Qt::LeftButton, {}, Centre(ok));
        EXPECT_EQ(exceptions_, std::vector<std::string>{"'abc' は整数ではありません"});
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(Main().WndPosCng);

        TypeOver(edit, "90");
        QTest::mouseClick(ok, Qt::LeftButton, {}, Centre(ok));
        EXPECT_NE(d.ModalResult(), mrNone);
    });
    EXPECT_EQ(Main().SlideTime, 90000);
    EXPECT_EQ(Main().updSlideTime->Position(), 60);
    QLineEdit* toolBarEdit = Widget<QLineEdit>(*Main().edtSlideTime);
    ASSERT_NE(toolBarEdit, nullptr);
    EXPECT_EQ(toolBarEdit->text(), "90");
    EXPECT_EQ(Main().timMain->Interval(), 11000);
    EXPECT_EQ(exceptions_.size(), 1u);

    // The caption's close box is Cancel.
    WhileModal(Main().mnuVisibleOption, frmConfig, [&](QWidget* window) {
        QLineEdit* edit = Widget<QLineEdit>(*frmConfig->edtSlideTime);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "90");
        TypeOver(edit, "5");
        window->close();
    });
    EXPECT_EQ(Main().SlideTime, 90000);
    EXPECT_EQ(toolBarEdit->text(), "90");
}

TEST_F(QtDialogs, AboutBoxLinkAndOkButton)
{
    StartOnScreen();
    WhileModal(Main().mnuHelpAbout, frmVersion, [&](QWidget* window) {
        TfrmVersion& d = *frmVersion;
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_EQ(window->size(), QSize(291, 136));

        QLabel* link = Widget<QLabel>(*d.lblURL);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->text().toStdString(), std::string(SupportPageUrl) + "/");
        EXPECT_EQ(TextColour(link), QColor(0, 0, 255));
        QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(TextColour(link), QColor(255, 0, 0));
        EXPECT_TRUE(qt_->Opened.empty());
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(TextColour(link), QColor(0, 0, 255));
        EXPECT_EQ(qt_->Opened, std::vector<std::string>{SupportPageUrl});
        EXPECT_TRUE(window->isVisible());

        QPushButton* ok = Widget<QPushButton>(*d.btnOk);
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton, {}, Centre(ok));
        EXPECT_NE(d.ModalResult(), mrNone);
    });
    EXPECT_TRUE(exceptions_.empty());
}

TEST_F(QtDialogs, DialogsAreCentredOnTheMainWindowFromTheirFirstShowing)
{
    StartOnScreen();
    QWidget* main = WidgetOf(Main());
    for (const QPoint& at : {QPoint(100, 100), QPoint(300, 40)}) {
        SCOPED_TRACE(std::to_string(at.x()) + "," + std::to_string(at.y()));
        Main().SetBounds(at.x(), at.y(), Main().Width(), Main().Height());
        WhileModal(Main().mnuVisibleOption, frmConfig, [&](QWidget* window) { ExpectCentredOn(window, main); });
        WhileModal(Main().mnuHelpAbout, frmVersion, [&](QWidget* window) { ExpectCentredOn(window, main); });
    }
}

TEST_F(QtDialogs, ClosingADialogEndsItsModalLoopWithoutWaitingForInput)
{
    StartOnScreen();
    QElapsedTimer sinceOk;
    QObject guard;
    // Stands in for input that would otherwise never come, so that a stalled loop ends.
    QTimer::singleShot(3000, &guard, [] {});
    WhileModal(
        Main().mnuHelpAbout, frmVersion,
        [&](QWidget*) {
            QPushButton* ok = Widget<QPushButton>(*frmVersion->btnOk);
            ASSERT_NE(ok, nullptr);
            QTest::mouseClick(ok, Qt::LeftButton, {}, Centre(ok));
            sinceOk.start();
            EXPECT_NE(frmVersion->ModalResult(), mrNone);
        },
        false);
    ASSERT_TRUE(sinceOk.isValid());
    EXPECT_LT(sinceOk.elapsed(), 1000);
}
