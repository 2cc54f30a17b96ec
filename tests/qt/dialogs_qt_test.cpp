// The options dialog and the about box on real Qt widgets: typing, clicking and the modal
// loop as they happen on screen.
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

    // Runs the script once the dialog is up in its modal loop, then chooses the menu item that
    // opens it. A dialog the script leaves open is closed, so a failing script cannot hang.
    void WhileModal(TMenuItem* item, TForm* dialog, const std::function<void(QWidget* window)>& script)
    {
        bool ran = false;
        // Ends the polling with this call, whatever happened.
        QObject guard;
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
            QTimer::singleShot(0, &guard, [] {});
        };
        QTimer::singleShot(0, &guard, poll);
        // The menu's own action, as choosing it with the mouse triggers it.
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
    Start();
    QWidget* mainWindow = WidgetOf(Main());
    ASSERT_NE(mainWindow, nullptr);
    ASSERT_TRUE(mainWindow->isVisible());

    WhileModal(Main().mnuVisibleOption, frmConfig, [&](QWidget* window) {
        TfrmConfig& d = *frmConfig;
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8("設定"));
        EXPECT_EQ(window->size(), QSize(249, 167));
        EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(d.Left(), d.Top()));

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
        EXPECT_EQ(Widget<QLineEdit>(*frmConfig->edtSlideTime)->text(), "90");
        TypeOver(Widget<QLineEdit>(*frmConfig->edtSlideTime), "5");
        window->close();
    });
    EXPECT_EQ(Main().SlideTime, 90000);
}

TEST_F(QtDialogs, AboutBoxLinkAndOkButton)
{
    Start();
    Main().SetBounds(100, 100, Main().Width(), 400);
    WhileModal(Main().mnuHelpAbout, frmVersion, [&](QWidget* window) {
        TfrmVersion& d = *frmVersion;
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_EQ(window->size(), QSize(291, 136));
        EXPECT_EQ(d.Left(), Main().Left() + (Main().Width() - d.Width()) / 2);
        EXPECT_EQ(d.Top(), Main().Top() + (Main().Height() - d.Height()) / 2);
        EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(d.Left(), d.Top()));

        QLabel* link = Widget<QLabel>(*d.lblURL);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->text().toStdString(), std::string(SupportPageUrl) + "/");
        EXPECT_EQ(link->palette().color(link->foregroundRole()), QColor(0, 0, 255));
        QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(link->palette().color(link->foregroundRole()), QColor(255, 0, 0));
        EXPECT_TRUE(qt_->Opened.empty());
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(link->palette().color(link->foregroundRole()), QColor(0, 0, 255));
        EXPECT_EQ(qt_->Opened, std::vector<std::string>{SupportPageUrl});
        EXPECT_TRUE(window->isVisible());

        QPushButton* ok = Widget<QPushButton>(*d.btnOk);
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton, {}, Centre(ok));
        EXPECT_NE(d.ModalResult(), mrNone);
    });
    EXPECT_TRUE(exceptions_.empty());
}
