// The main window on real Qt widgets: pages turned with the arrow keys and the mouse, a drop
// on the page view, and the page drawn 1:1.
#include <QApplication>
#include <QMimeData>
#include <QUrl>
#include <QtTest/QTest>

#include "qt_widgets.h"
#include "viewer.h"

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

// The Qt realisation with a folder chooser that answers at once.
class TAnsweringQt : public TQtRealisation {
public:
    bool BrowseForFolder(TForm*, const std::string&, std::string& path) override
    {
        path = Answer;
        return !path.empty();
    }
    std::string Answer;
};

class QtViewer : public ViewerTest {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        ViewerTest::SetUp();
        auto qt = std::make_unique<TAnsweringQt>();
        TAnsweringQt* chooser = qt.get();
        qt->ExceptionHook = [this](const std::string& message) { exceptions_.push_back(message); };
        Application->SetRealisation(std::move(qt));
        Application->SetClock(std::make_unique<TRealClock>());
        folder_ = MakeFolder("pages", {{"1.jpg", SmallJpeg(400, 300, 0xFF0000)},
                                       {"2.jpg", SmallJpeg(400, 300, 0x00FF00)},
                                       {"3.jpg", SmallJpeg(400, 300, 0x0000FF)}});
        Start();
        QTest::qWait(20);
        Application->ProcessMessages();
        chooser->Answer = folder_;
        Application->Deliver([] { frmMain->spbOpenFolderClick(frmMain->spbOpenFolder); });
        Settle();
        window_ = WidgetOf(Main());
        page_ = WidgetOf(*Main().pntMain);
        ASSERT_NE(window_, nullptr);
        ASSERT_NE(page_, nullptr);
    }

    // Lets Qt deliver what the test sent and the program's pump handle it.
    void Settle()
    {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            Application->ProcessMessages();
        }
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(window_, key, mods);
        Settle();
    }

    void Press(Qt::MouseButton button)
    {
        QTest::mousePress(page_, button, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseRelease(page_, button, Qt::NoModifier, QPoint(10, 10));
        Settle();
    }

    std::string folder_;
    QWidget* window_ = nullptr;
    QWidget* page_ = nullptr;
    std::vector<std::string> exceptions_;
};

TEST_F(QtViewer, ArrowKeysTurnPagesOnlyWhileTheirItemsAreEnabledAndWithoutModifiers)
{
    ASSERT_EQ(Main().PageNo, 1);
    Key(Qt::Key_Left);  // back is disabled on page 1
    EXPECT_EQ(Main().PageNo, 1);
    Key(Qt::Key_Right);
    EXPECT_EQ(Main().PageNo, 2);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Main().PageNo, 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(Main().PageNo, 3);
    EXPECT_FALSE(Main().mnuVisibleNext->Enabled());
    Key(Qt::Key_Left);
    EXPECT_EQ(Main().PageNo, 2);
    EXPECT_EQ(Main().stbMain->Panels(1)->Text(), "Page: 2 / 3");
    EXPECT_TRUE(exceptions_.empty());
}

TEST_F(QtViewer, LeftPressGoesForwardRightPressBackMiddleNothing)
{
    Press(Qt::LeftButton);
    EXPECT_EQ(Main().PageNo, 2);
    Press(Qt::MiddleButton);
    EXPECT_EQ(Main().PageNo, 2);
    Press(Qt::LeftButton);
    Press(Qt::LeftButton);  // on the last page: shows it again
    EXPECT_EQ(Main().PageNo, 3);
    Press(Qt::RightButton);
    EXPECT_EQ(Main().PageNo, 2);
    // While a slideshow plays the page takes no presses.
    Main().spbSlidePlay->Click();
    Press(Qt::LeftButton);
    EXPECT_EQ(Main().PageNo, 2);
}

TEST_F(QtViewer, ThePageIsDrawnOneToOne)
{
    Key(Qt::Key_Right);
    QTest::qWait(20);
    const QImage shot = page_->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(400, 300));
    const QColor c = shot.pixelColor(200, 150);
    EXPECT_LT(c.red(), 16);
    EXPECT_GT(c.green(), 240);
    EXPECT_LT(c.blue(), 16);
    const QColor mark = shot.pixelColor(2, 2);  // the page's dark corner mark, at the same place
    EXPECT_LT(mark.red() + mark.green() + mark.blue(), 96);
}

TEST_F(QtViewer, FilesDroppedOnThePageViewReplaceTheList)
{
    const std::string other = MakeFolder("other", {{"a.bmp", SmallBmp(50, 40)}, {"b.jpg", SmallJpeg(60, 30)}});
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page_, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page_, &drop);
    Settle();
    EXPECT_EQ(Main().PageCount, 2);
    EXPECT_EQ(Main().cmbFileList->Items().Get(0), other + "/a.bmp");
    EXPECT_EQ(Main().stbMain->Panels(0)->Text(), other + "/a.bmp");
    delete mime;
}
