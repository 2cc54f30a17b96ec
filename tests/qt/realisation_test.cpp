// The Qt realisation on the offscreen platform: model changes reach the widgets, and the
// user's clicks, keys, drops, closes and resizes reach the model through its own paths.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

#include "dragdrop.h"
#include "exceptions.h"
#include "forms.h"
#include "qt_widgets.h"
#include "shell.h"
#include "support.h"

// Fontconfig keeps what it parsed from its configuration files for the life of the process;
// the leak checker of sanitizer builds must not count that against us.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

// A small window with the parts the viewer's main window is made of.
class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner)
    {
        SetCaption("Test");
        SetBounds(10, 10, 500, 400);
        BorderIcons.Maximize = false;

        Menu = new TMainMenu(this);
        TMenuItem* file = NewMenuItem(this, Menu->Items(), "File", "&File");
        Open = NewMenuItem(this, *file, "Open", "&Open");
        NewMenuItem(this, *file, "Line", "-");
        Fit = NewMenuItem(this, *file, "Fit", "&Fit");
        TMenuItem* view = NewMenuItem(this, Menu->Items(), "View", "&View");
        Next = NewMenuItem(this, *view, "Next", "&Next page");
        Next->SetShortCut(ShortCut(VK_RIGHT, {}));

        Bar = NewControl<TPanel>(this, this, "Bar");
        Bar->SetHeight(30);
        Bar->SetAlign(TAlign::alTop);
        Play = NewControl<TSpeedButton>(this, Bar, "Play");
        Play->SetBounds(2, 2, 25, 25);
        FitWidth = NewControl<TSpeedButton>(this, Bar, "FitWidth");
        FitWidth->SetBounds(30, 2, 25, 25);
        FitWidth->SetGroupIndex(1);
        Pages = NewControl<TComboBox>(this, Bar, "Pages");
        Pages->SetBounds(60, 4, 100, 22);

        Status = NewControl<TStatusBar>(this, this, "Status");
        Status->SetHeight(19);
        Status->SetAlign(TAlign::alBottom);
        Status->AddPanel()->SetText("Page: 0/0");
        Status->AddPanel();

        Box = NewControl<TScrollBox>(this, this, "Box");
        Box->SetAlign(TAlign::alClient);
        Paint = NewControl<TPaintBox>(this, Box, "Paint");
        Paint->SetBounds(0, 0, 200, 150);
    }
    TMenuItem *Open, *Fit, *Next;
    TPanel* Bar;
    TSpeedButton *Play, *FitWidth;
    TComboBox* Pages;
    TStatusBar* Status;
    TScrollBox* Box;
    TPaintBox* Paint;
};

class TTestDialog : public TForm {
public:
    explicit TTestDialog(TComponent* owner) : TForm(owner)
    {
        SetCaption("Dialog");
        BorderStyle = TBorderStyle::bsDialog;
        SetClientWidth(200);
        SetClientHeight(100);
        Ok = NewControl<TButton>(this, this, "Ok");
        Ok->SetCaption("OK");
        Ok->SetBounds(60, 60, 75, 25);
        Ok->Default = true;
        Ok->OnClick = [this](TObject*) { SetModalResult(mrOk); };
    }
    TButton* Ok;
};

class QtRealisation : public ::testing::Test {
protected:
    QtRealisation()
    {
        auto r = std::make_unique<TQtRealisation>();
        r->ExceptionHook = [this](const std::string& m) { exceptions.push_back(m); };
        Application->SetRealisation(std::move(r));
        Application->CreateForm(form);
        Application->CreateForm(dialog);
        form->Show();
        Pump();
    }
    static void Pump()
    {
        for (int i = 0; i < 3; ++i)
            Application->ProcessMessages();
    }
    QWidget* Window() const { return WidgetOf(*form); }
    template <typename W>
    W* Widget(const TComponent& c) const
    {
        auto* w = qobject_cast<W*>(WidgetOf(c));
        EXPECT_NE(w, nullptr);
        return w;
    }

    std::vector<std::string> exceptions;
    AppScope scope;
    TTestForm* form = nullptr;
    TTestDialog* dialog = nullptr;
};

TEST_F(QtRealisation, ModelStateReachesTheWidgets)
{
    QWidget* window = Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Test");
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    form->SetCaption("Folivo - 001.jpg");
    EXPECT_EQ(window->windowTitle(), "Folivo - 001.jpg");

    // The client area has the model's client size; the window adds its menu bar, which the
    // model learns once the window is up.
    QMenuBar* bar = MenuBarOf(*form);
    ASSERT_NE(bar, nullptr);
    const QRect frame = window->frameGeometry(), inner = window->geometry();
    EXPECT_EQ(form->FrameWidth(), frame.width() - inner.width());
    EXPECT_EQ(form->FrameHeight(), frame.height() - inner.height() + bar->height());
    EXPECT_EQ(QPoint(form->Left(), form->Top()), frame.topLeft());
    form->SetClientWidth(420);
    form->SetClientHeight(300);
    EXPECT_EQ(ClientOf(*form)->size(), QSize(420, 300));
    EXPECT_EQ(window->size(), QSize(420, 300 + bar->height()));
    // The model lays the bars out; the widgets follow.
    EXPECT_EQ(Widget<QWidget>(*form->Status)->geometry(), QRect(0, 300 - 19, 420, 19));
    EXPECT_EQ(Widget<QScrollArea>(*form->Box)->geometry(), QRect(0, 30, 420, 300 - 30 - 19));

    // Menus in model order, with access keys, separators and displayed shortcuts.
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), "&File");
    QMenu* file = bar->actions()[0]->menu();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->actions().size(), 3);
    EXPECT_TRUE(file->actions()[1]->isSeparator());
    EXPECT_TRUE(file->actions()[1]->text().isEmpty());
    EXPECT_EQ(ActionOf(*form->Next)->text(), "&Next page\tRight");
    EXPECT_TRUE(ActionOf(*form->Next)->shortcut().isEmpty());
    form->Open->SetEnabled(false);
    EXPECT_FALSE(ActionOf(*form->Open)->isEnabled());
    form->Fit->SetChecked(true);
    EXPECT_TRUE(ActionOf(*form->Fit)->isChecked());

    auto* play = Widget<QToolButton>(*form->Play);
    form->Play->SetEnabled(false);
    EXPECT_FALSE(play->isEnabled());
    form->Play->SetHint("Play the slide show");
    EXPECT_EQ(play->toolTip(), "");
    form->Play->SetShowHint(true);
    EXPECT_EQ(play->toolTip(), "Play the slide show");

    auto* pages = Widget<QComboBox>(*form->Pages);
    for (int i = 1; i <= 10000; ++i)
        form->Pages->Items().Add(std::to_string(i) + ".jpg");
    form->Pages->SetItemIndex(41);
    EXPECT_EQ(pages->count(), 10000);
    EXPECT_EQ(pages->currentText(), "42.jpg");
    form->Pages->Clear();
    EXPECT_EQ(pages->count(), 0);
    EXPECT_EQ(pages->currentIndex(), -1);

    form->Status->Panels(1)->SetText("1240 x 1754");
    QList<QLabel*> panels = Widget<QWidget>(*form->Status)->findChildren<QLabel*>();
    ASSERT_EQ(panels.size(), 2);
    EXPECT_EQ(panels[0]->text(), "Page: 0/0");
    EXPECT_EQ(panels[1]->text(), "1240 x 1754");
}

TEST_F(QtRealisation, ClicksAndChoicesReachTheHandlers)
{
    int plays = 0;
    form->Play->OnClick = [&](TObject*) { ++plays; };
    QTest::mouseClick(Widget<QToolButton>(*form->Play), Qt::LeftButton);
    EXPECT_EQ(plays, 1);

    // A grouped button latches down in the model; a second click leaves it down, whatever
    // Qt's own toggle would do.
    auto* fitWidth = Widget<QToolButton>(*form->FitWidth);
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(fitWidth, Qt::LeftButton);
        EXPECT_TRUE(form->FitWidth->Down());
        EXPECT_TRUE(fitWidth->isChecked());
    }
    form->FitWidth->SetDown(false);
    EXPECT_FALSE(fitWidth->isChecked());

    // The model keeps the check mark: an item whose handler does not check it stays clear.
    int opens = 0;
    form->Open->OnClick = [&](TObject*) { ++opens; };
    ActionOf(*form->Open)->trigger();
    ActionOf(*form->Fit)->trigger();
    EXPECT_EQ(opens, 1);
    EXPECT_FALSE(ActionOf(*form->Fit)->isChecked());

    // A user's choice runs OnClick; code that selects does not.
    int choices = 0;
    form->Pages->Items().Add("a.jpg");
    form->Pages->Items().Add("b.jpg");
    form->Pages->SetItemIndex(0);
    form->Pages->OnClick = [&](TObject*) { ++choices; };
    auto* pages = Widget<QComboBox>(*form->Pages);
    QTest::keyClick(pages, Qt::Key_Down);
    EXPECT_EQ(form->Pages->ItemIndex(), 1);
    EXPECT_EQ(choices, 1);

    // Mouse buttons on the paint box; the second press of a double click, which Qt reports
    // as the double click itself, is a press as well.
    std::vector<std::tuple<TMouseButton, bool, int, int>> presses, releases;
    form->Paint->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        presses.emplace_back(b, s.Shift, x, y);
    };
    form->Paint->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        releases.emplace_back(b, s.Shift, x, y);
    };
    QWidget* paint = WidgetOf(*form->Paint);
    QTest::mouseClick(paint, Qt::RightButton, Qt::ShiftModifier, QPoint(30, 40));
    QTest::mouseClick(paint, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseDClick(paint, Qt::LeftButton, {}, QPoint(5, 6));
    using P = std::tuple<TMouseButton, bool, int, int>;
    EXPECT_EQ(presses, (std::vector<P>{{TMouseButton::mbRight, true, 30, 40}, {TMouseButton::mbLeft, false, 5, 6},
                                       {TMouseButton::mbLeft, false, 5, 6}}));
    ASSERT_GE(releases.size(), 2u);
    EXPECT_EQ(releases[0], P(TMouseButton::mbRight, true, 30, 40));

    // A handler's exception is reported and goes no further.
    form->Play->OnClick = [](TObject*) { throw Exception("Cannot open the folder"); };
    QTest::mouseClick(Widget<QToolButton>(*form->Play), Qt::LeftButton);
    EXPECT_EQ(exceptions, std::vector<std::string>{"Cannot open the folder"});
}

TEST_F(QtRealisation, ADestroyedComponentTakesItsWidgetAlong)
{
    // Even from inside a click on a widget inside it: the tool bar goes, and with its
    // widget the button's, whose click is still being handled.
    QPointer<QWidget> bar = WidgetOf(*form->Bar);
    QPointer<QWidget> play = WidgetOf(*form->Play);
    form->Play->OnClick = [this](TObject*) {
        delete form->Bar;
        form->Bar = nullptr;
    };
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_EQ(form->Bar, nullptr);
    Pump();
    EXPECT_TRUE(bar.isNull());
    EXPECT_TRUE(play.isNull());
    form->Play->SetEnabled(false);

    QPointer<QWidget> window = Window();
    QPointer<QAction> next = ActionOf(*form->Next);
    delete form;
    form = nullptr;
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(next.isNull());
}

TEST_F(QtRealisation, KeysReachTheMenuShortcutsWhileEnabled)
{
    int nexts = 0;
    form->Next->OnClick = [&](TObject*) { ++nexts; };
    QWidget* focus = WidgetOf(*form->Paint);
    QTest::keyClick(focus, Qt::Key_Right);
    EXPECT_EQ(nexts, 1);
    QTest::keyClick(focus, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(nexts, 1);
    form->Next->SetEnabled(false);
    QTest::keyClick(focus, Qt::Key_Right);
    EXPECT_EQ(nexts, 1);
    form->Next->SetEnabled(true);
    QTest::keyClick(Window(), Qt::Key_Right);
    EXPECT_EQ(nexts, 2);
}

TEST_F(QtRealisation, TheCloseBoxAsksTheForm)
{
    int closes = 0;
    TCloseAction answer = TCloseAction::caNone;
    form->OnClose = [&](TObject*, TCloseAction& action) {
        ++closes;
        action = answer;
    };
    EXPECT_FALSE(Window()->close());
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_FALSE(Application->Terminated());

    // Alt+F4 takes the same way when no window manager has it first.
    answer = TCloseAction::caHide;
    QTest::keyClick(Window(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(closes, 2);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(QtRealisation, DroppedFilesReachTheScrollBoxOnly)
{
    std::vector<std::vector<std::string>> drops;
    form->Box->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_DROPFILES) {
            const auto h = static_cast<HDROP>(m.WParam);
            std::vector<std::string> paths(DragQueryFile(h, 0xFFFFFFFFu, nullptr));
            for (unsigned i = 0; i < paths.size(); ++i)
                DragQueryFile(h, i, &paths[i]);
            DragFinish(h);
            drops.push_back(paths);
        }
        form->Box->WndProc(m);
    };
    form->Box->SetAcceptsDroppedFiles(true);

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/pages/b 02.jpg"), QUrl("https://example.org/x.jpg"),
                  QUrl::fromLocalFile("/pages/a.jpg")});
    auto drop = [&](QWidget* target) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        Pump();
        return enter.isAccepted() && dropped.isAccepted();
    };
    QWidget* paint = WidgetOf(*form->Paint);
    EXPECT_TRUE(paint->acceptDrops());
    EXPECT_TRUE(drop(paint));
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0], (std::vector<std::string>{"/pages/b 02.jpg", "/pages/a.jpg"}));

    QWidget* bar = WidgetOf(*form->Bar);
    EXPECT_FALSE(bar->acceptDrops());
    EXPECT_FALSE(drop(bar));
    EXPECT_EQ(drops.size(), 1u);

    form->Box->SetAcceptsDroppedFiles(false);
    EXPECT_FALSE(paint->acceptDrops());
    EXPECT_FALSE(drop(paint));
    EXPECT_EQ(drops.size(), 1u);
}

TEST_F(QtRealisation, ThePaintBoxShowsWhatTheProgramDrew)
{
    form->Paint->OnPaint = [&](TObject*) {
        form->Paint->Canvas().Brush.Color = clBlue;
        form->Paint->Canvas().FillRect(TRect{0, 0, 200, 150});
    };
    form->Paint->Invalidate();
    Pump();
    QWidget* paint = WidgetOf(*form->Paint);
    EXPECT_EQ(paint->grab().toImage().pixel(100, 100), qRgb(0, 0, 255));

    // Drawing outside OnPaint shows as well.
    form->Paint->Canvas().Brush.Color = clRed;
    form->Paint->Canvas().FillRect(TRect{10, 20, 30, 40});
    const QImage shown = paint->grab().toImage();
    EXPECT_EQ(shown.pixel(15, 25), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(35, 25), qRgb(0, 0, 255));

    // The scroll box's content is as large as its children.
    form->Paint->SetBounds(0, 0, 900, 700);
    EXPECT_EQ(Widget<QScrollArea>(*form->Box)->widget()->size(), QSize(900, 700));
}

TEST_F(QtRealisation, AUserResizeFollowsTheModel)
{
    // The program keeps the window at least 370 wide.
    std::vector<int> widths;
    form->OnResize = [&](TObject*) {
        widths.push_back(form->ClientWidth());
        if (form->ClientWidth() < 370)
            form->SetClientWidth(370);
    };
    QWidget* window = Window();
    const int bar = MenuBarOf(*form)->height();

    window->windowHandle()->resize(600, 350 + bar);
    Pump();
    EXPECT_EQ(form->ClientWidth(), 600);
    EXPECT_EQ(form->ClientHeight(), 350);
    EXPECT_EQ(ClientOf(*form)->size(), QSize(600, 350));

    window->windowHandle()->resize(300, 320 + bar);
    Pump();
    EXPECT_EQ(form->ClientWidth(), 370);
    EXPECT_EQ(form->ClientHeight(), 320);
    EXPECT_EQ(window->size(), QSize(370, 320 + bar));
    EXPECT_EQ(ClientOf(*form)->size(), QSize(370, 320));
    EXPECT_EQ(widths, (std::vector<int>{600, 300, 370}));

    window->windowHandle()->setFramePosition(QPoint(50, 60));
    Pump();
    EXPECT_EQ(form->Left(), 50);
    EXPECT_EQ(form->Top(), 60);
}

TEST_F(QtRealisation, TheMessageLoopSleepsUntilTheNextTick)
{
    Application->SetClock(std::make_unique<TRealClock>());
    TTimer* timer = new TTimer(form);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) { ++ticks; };
    timer->SetInterval(40);
    const std::int64_t start = Application->Clock().Now();
    int rounds = 0;
    while (ticks == 0 && rounds < 1000) {
        Application->HandleMessage();
        ++rounds;
    }
    EXPECT_EQ(ticks, 1);
    EXPECT_GE(Application->Clock().Now() - start, 35);
    // Waiting, not spinning: a handful of rounds for a few stray window events at most.
    EXPECT_LT(rounds, 20);
}

TEST_F(QtRealisation, StayingOnTopKeepsTheWindowWhereItIs)
{
    QWidget* window = Window();
    const QRect before = window->frameGeometry();
    EXPECT_TRUE(SetWindowTopMost(*form, true));
    Pump();
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->frameGeometry(), before);
    EXPECT_TRUE(SetWindowTopMost(*form, false));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QPoint(form->Left(), form->Top()), before.topLeft());
}

TEST_F(QtRealisation, AModalDialogEndsAsSoonAsItIsAnswered)
{
    // The frame measured on the main window reaches the dialog before its first showing, so
    // the program can place it by its true outer size.
    QWidget* window = WidgetOf(*dialog);
    EXPECT_FALSE(window->isVisible());
    const QRect mainFrame = Window()->frameGeometry(), mainInner = Window()->geometry();
    EXPECT_EQ(dialog->FrameWidth(), mainFrame.width() - mainInner.width());
    EXPECT_EQ(dialog->FrameHeight(), mainFrame.height() - mainInner.height());

    Application->SetClock(std::make_unique<TRealClock>());
    QObject guard;
    // Stands in for input that never comes, should the loop wait for more.
    QTimer::singleShot(3000, &guard, [] {});
    struct Case {
        std::function<void()> answer;
        TModalResult result;
    };
    const Case cases[] = {
        {[&] { QTest::keyClick(window, Qt::Key_Return); }, mrOk},
        {[&] { window->close(); }, mrCancel},
    };
    for (const Case& c : cases) {
        bool modal = false;
        // Once the loop has gone quiet, and among the events it takes before it would go to
        // sleep again: then nothing else would wake it.
        QTimer::singleShot(50, &guard, [&] {
            QMetaObject::invokeMethod(&guard, [&] {
                modal = QApplication::activeModalWidget() == window;
                c.answer();
            }, Qt::QueuedConnection);
        });
        QElapsedTimer took;
        took.start();
        EXPECT_EQ(dialog->ShowModal(), c.result);
        EXPECT_LT(took.elapsed(), 1000);
        EXPECT_TRUE(modal);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->windowModality(), Qt::NonModal);
    }
    EXPECT_EQ(window->size(), QSize(200, 100));
}

TEST_F(QtRealisation, TheFolderChooserSpeaksJapanese)
{
    // Whatever the user's locale: Qt's own labels and buttons come from its Japanese
    // translations, and the title is the program's instruction.
    QString title;
    QStringList texts;
    QTimer look;
    look.setInterval(10);
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        look.stop();
        title = dialog->windowTitle();
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            if (auto* label = dialog->findChild<QLabel*>(name))
                texts << label->text();
        if (auto* box = dialog->findChild<QDialogButtonBox*>())
            for (QAbstractButton* b : box->buttons())
                texts << b->text();
        dialog->reject();
    });
    look.start();
    std::string path;
    EXPECT_FALSE(Application->Realisation().BrowseForFolder(form, "グラフィックのあるフォルダを選択してください", path));
    EXPECT_EQ(title, "グラフィックのあるフォルダを選択してください");
    ASSERT_EQ(texts.size(), 5) << texts.join('|').toStdString();
    for (const QString& text : texts) {
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3000; }))
            << text.toStdString();
        for (const char* english : {"Look in", "Directory", "Files of type", "Choose", "Cancel", "Open"})
            EXPECT_FALSE(text.contains(QLatin1String(english))) << text.toStdString();
    }
}

}  // namespace
