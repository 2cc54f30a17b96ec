// The contracts of the class library's forms, controls, menus, timers and message pump that
// the application relies on.
#include <gtest/gtest.h>

#include "dragdrop.h"
#include "exceptions.h"
#include "forms.h"
#include "headless.h"
#include "support.h"

namespace {

// A form with a tool bar, a status bar and a client control, like the main window.
struct TestForm : TForm {
    explicit TestForm(TComponent* owner) : TForm(owner)
    {
        SetClientWidth(300);
        SetClientHeight(200);
        top = NewControl<TPanel>(this, this, "top");
        top->SetBounds(0, 0, 300, 28);
        top->SetAlign(TAlign::alTop);
        second = NewControl<TPanel>(this, this, "second");
        second->SetBounds(0, 28, 300, 30);
        second->SetAlign(TAlign::alTop);
        bottom = NewControl<TStatusBar>(this, this, "bottom");
        bottom->SetBounds(0, 181, 300, 19);
        bottom->SetAlign(TAlign::alBottom);
        client = NewControl<TScrollBox>(this, this, "client");
        client->SetAlign(TAlign::alClient);
        OnResize = [this](TObject*) { ++resizes; };
    }
    TPanel* top;
    TPanel* second;
    TStatusBar* bottom;
    TScrollBox* client;
    int resizes = 0;
};

// A fresh headless application with one TestForm, its main form; most tests start here.
class WithForm : public ::testing::Test {
protected:
    WithForm() { app.App()->CreateForm(f); }
    AppScope app;
    TestForm* f = nullptr;
};
using Forms = WithForm;
using Menus = WithForm;
using Controls = WithForm;
using Timers = WithForm;
using MessagePump = WithForm;

}  // namespace

TEST_F(Forms, SizeChangesRaiseResizeBeforeTheSetterReturns)
{
    EXPECT_EQ(f->Width(), 300 + f->FrameWidth());
    EXPECT_EQ(f->Height(), 200 + f->FrameHeight());
    EXPECT_EQ(f->FrameHeight(), 27);  // no menu
    f->resizes = 0;
    f->SetClientWidth(350);
    EXPECT_EQ(f->resizes, 1);
    EXPECT_EQ(f->ClientWidth(), 350);
    f->SetClientWidth(350);
    f->SetLeft(f->Left() + 10);  // a move is no resize
    EXPECT_EQ(f->resizes, 1);
    f->SetHeight(f->Height() + 5);
    EXPECT_EQ(f->resizes, 2);
    EXPECT_EQ(f->ClientHeight(), 205);
    // The realisation's real frame keeps the client size and raises nothing.
    f->SetFrameMetrics(2, 20, 22);
    EXPECT_EQ(f->ClientWidth(), 350);
    EXPECT_EQ(f->resizes, 2);
}

TEST_F(Forms, NestedResizeComesToRest)
{
    int depth = 0, maxDepth = 0;
    f->OnResize = [&](TObject*) {
        maxDepth = std::max(maxDepth, ++depth);
        if (f->ClientWidth() < 370)
            f->SetClientWidth(370);
        --depth;
    };
    f->UserResized(100, 150);
    EXPECT_EQ(f->ClientWidth(), 370);
    EXPECT_EQ(f->ClientHeight(), 150);
    EXPECT_EQ(maxDepth, 2);
}

TEST_F(Forms, AlignStacksBarsAndFillsTheRest)
{
    EXPECT_EQ(f->client->BoundsRect(), (TRect{0, 58, 300, 181}));
    f->top->SetHeight(1);
    EXPECT_EQ(f->second->Top(), 1);
    EXPECT_EQ(f->client->BoundsRect(), (TRect{0, 31, 300, 181}));
    f->bottom->SetHeight(1);
    EXPECT_EQ(f->bottom->Top(), 199);
    EXPECT_EQ(f->client->Height(), 199 - 31);
    f->SetClientWidth(400);
    EXPECT_EQ(f->top->Width(), 400);
    EXPECT_EQ(f->client->Width(), 400);
}

TEST_F(Forms, ShowPlacesOnTheDesktopUnlessTheShowHandlerMovedTheWindow)
{
    f->Position = TPosition::poDesktopCenter;
    f->Show();
    EXPECT_EQ(f->Left(), (1920 - f->Width()) / 2);
    EXPECT_EQ(f->Top(), (1080 - f->Height()) / 2);

    TestForm* g = nullptr;
    app.App()->CreateForm(g);
    g->Position = TPosition::poDesktopCenter;
    g->OnShow = [g](TObject*) {
        g->SetLeft(5);
        g->SetTop(g->Top());  // placed, even where the value stays
    };
    g->Show();
    EXPECT_EQ(g->Left(), 5);
    EXPECT_EQ(g->Top(), 0);

    TestForm* big = nullptr;
    app.App()->CreateForm(big);
    big->Position = TPosition::poDesktopCenter;
    big->SetClientWidth(3000);
    big->Show();
    EXPECT_EQ(big->Left(), 0);
}

TEST_F(Forms, MainFormCloseEndsTheApplicationOnce)
{
    int closes = 0;
    f->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    app.App()->PostMessage(f, WM_CLOSE);
    app.App()->PostMessage(f, WM_CLOSE);
    app.App()->ProcessMessages();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(app.App()->Terminated());
    f->Close();
    EXPECT_EQ(closes, 1);
}

TEST_F(Forms, HeadlessModalRunsItsScriptAndCancelsWhatIsLeftOpen)
{
    TestForm* dialog = nullptr;
    app.App()->CreateForm(dialog);
    int shown = 0;
    dialog->OnShow = [&](TObject*) { ++shown; };
    HeadlessScreen()->OnModal = [](TForm& form) { form.SetModalResult(mrOk); };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    HeadlessScreen()->OnModal = nullptr;
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    HeadlessScreen()->OnModal = [](TForm& form) { form.Close(); };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(shown, 3);
    EXPECT_FALSE(dialog->Showing());
    EXPECT_FALSE(app.App()->Terminated());
}

TEST_F(Menus, ShortcutsActOnlyWhileTheItemAndItsMenusAreEnabled)
{
    auto* menu = new TMainMenu(f);
    f->Menu = menu;
    TMenuItem* view = NewMenuItem(f, menu->Items(), "view", "表示(&V)");
    TMenuItem* next = NewMenuItem(f, *view, "next", "次(&N)");
    next->SetShortCut(ShortCut(VK_RIGHT, TShiftState{}));
    int clicks = 0;
    next->OnClick = [&](TObject*) { ++clicks; };
    auto press = [&](TShiftState s) { return f->Perform(WM_KEYDOWN, KeyWParam(VK_RIGHT, s)); };

    EXPECT_EQ(press({}), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(press(TShiftState{true, false, false}), 0);
    EXPECT_EQ(press(TShiftState{false, true, false}), 0);
    EXPECT_EQ(press(TShiftState{false, false, true}), 0);
    next->SetEnabled(false);
    EXPECT_EQ(press({}), 0);
    next->SetEnabled(true);
    view->SetEnabled(false);
    EXPECT_EQ(press({}), 0);
    next->Click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(Controls, ComboClickComesFromTheUserOnly)
{
    auto* combo = NewControl<TComboBox>(f, f->second, "combo");
    int clicks = 0;
    combo->OnClick = [&](TObject*) { ++clicks; };
    combo->Items().Add("a");
    combo->Items().Add("b");
    combo->SetItemIndex(1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(combo->Text(), "b");
    combo->UserSelect(0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
}

TEST_F(Controls, UpDownKeepsItsPositionInRange)
{
    auto* ud = NewControl<TUpDown>(f, f->top, "ud");
    ud->SetMin(1);
    ud->SetMax(60);
    ud->SetPosition(0);
    EXPECT_EQ(ud->Position(), 1);
    ud->SetPosition(200);
    EXPECT_EQ(ud->Position(), 60);
    int clicks = 0;
    ud->OnClickArrow = [&](TObject*, TUDBtnType) { ++clicks; };
    ud->ArrowClick(TUDBtnType::btNext);
    EXPECT_EQ(ud->Position(), 60);
    ud->ArrowClick(TUDBtnType::btPrev);
    EXPECT_EQ(ud->Position(), 59);
    EXPECT_EQ(clicks, 2);
}

TEST_F(Controls, LatchingSpeedButtonWithAllUp)
{
    auto* b = NewControl<TSpeedButton>(f, f->top, "b");
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
    b->Click();
    EXPECT_TRUE(b->Down());
    b->Click();
    EXPECT_FALSE(b->Down());
    b->SetEnabled(false);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    b->Click();
    EXPECT_EQ(clicks, 0);
}

TEST_F(Controls, PaintBoxPaintsWhatBecameVisibleThroughThePump)
{
    auto* box = NewControl<TPaintBox>(f, f->client, "box");
    int paints = 0;
    box->OnPaint = [&](TObject*) {
        ++paints;
        box->Canvas().Brush.Color = clRed;
        box->Canvas().FillRect(TRect{0, 0, box->Width(), box->Height()});
    };
    box->SetBounds(0, 0, 10, 10);
    app.App()->ProcessMessages();
    EXPECT_EQ(paints, 1);
    app.App()->ProcessMessages();
    EXPECT_EQ(paints, 1);
    box->SetWidth(20);
    app.App()->ProcessMessages();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(box->Surface().Row(9)[19], ColorToPixel(clRed));
}

TEST_F(Timers, TickEveryIntervalOnTheVirtualClock)
{
    auto* t = new TTimer(f);
    std::vector<std::int64_t> ticks;
    t->OnTimer = [&](TObject*) { ticks.push_back(app.App()->Clock().Now()); };
    t->SetInterval(1000);
    app.App()->AdvanceClock(3500);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000, 2000, 3000}));
    // A new Interval or Enabled restarts the wait; the same value changes nothing.
    t->SetInterval(1000);
    app.App()->AdvanceClock(500);
    EXPECT_EQ(ticks.back(), 4000);
    t->SetEnabled(false);
    t->SetEnabled(true);  // now 4000: next tick at 5000
    app.App()->AdvanceClock(999);
    EXPECT_EQ(ticks.size(), 4u);
    app.App()->AdvanceClock(1);
    EXPECT_EQ(ticks.back(), 5000);
    for (int interval : {0, -5}) {
        t->SetInterval(interval);
        const size_t before = ticks.size();
        app.App()->AdvanceClock(100000);
        EXPECT_EQ(ticks.size(), before) << interval;
    }
}

TEST_F(MessagePump, HandlerExceptionsGoToTheExceptionDialog)
{
    auto* t = new TTimer(f);
    t->SetInterval(10);
    t->OnTimer = [](TObject*) { throw EConvertError("'abc' は整数ではありません"); };
    app.App()->AdvanceClock(25);
    ASSERT_EQ(HeadlessScreen()->Exceptions.size(), 2u);
    EXPECT_EQ(HeadlessScreen()->Exceptions[0], "'abc' は整数ではありません");
    app.App()->Deliver([] { throw std::runtime_error("other"); });
    EXPECT_EQ(HeadlessScreen()->Exceptions.back(), "other");
}

TEST_F(MessagePump, PostedMessagesRunOnceInOrderAndSkipDestroyedTargets)
{
    auto* a = NewControl<TPaintBox>(f, f->client, "a");
    auto* b = NewControl<TPaintBox>(f, f->client, "b");
    std::vector<std::string> seen;
    a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int) { seen.push_back("a" + std::to_string(x)); };
    b->OnMouseDown = [&](TObject*, TMouseButton btn, TShiftState, int, int y) {
        seen.push_back(btn == TMouseButton::mbRight ? "b-right" + std::to_string(y) : "b");
    };
    app.App()->PostMessage(a, WM_LBUTTONDOWN, 0, MakeLParam(3, 4));
    app.App()->PostMessage(b, WM_RBUTTONDOWN, 0, MakeLParam(1, 7));
    app.App()->PostMessage(a, WM_LBUTTONDOWN, 0, MakeLParam(5, 0));
    delete a;
    app.App()->ProcessMessages();
    app.App()->ProcessMessages();
    EXPECT_EQ(seen, (std::vector<std::string>{"b-right7"}));
}

TEST(Application, UndeliveredDropsGiveBackTheirHandles)
{
    {
        AppScope app;
        TestForm* f = nullptr;
        app.App()->CreateForm(f);
        app.App()->PostMessage(f->client, WM_DROPFILES, NewDropHandle({"/a"}));
        app.App()->PostMessage(f, WM_DROPFILES, NewDropHandle({"/b"}));
        delete f->client;  // its message goes with it
        EXPECT_EQ(OpenDropHandles(), 1u);
        app.App()->Terminate();
        app.App()->ProcessMessages();
    }
    EXPECT_EQ(OpenDropHandles(), 0u);
}

TEST_F(Forms, AWindowPlacedByItsShowHandlerKeepsItsOuterSizeWhenTheRealFrameArrives)
{
    TestForm* placed = f;
    TestForm* centred = nullptr;
    app.App()->CreateForm(centred);
    placed->OnShow = [placed](TObject*) {
        placed->SetLeft(10);
        placed->SetTop(20);
        placed->SetHeight(400);
    };
    placed->Show();
    centred->Show();
    placed->resizes = 0;
    placed->SetFrameMetrics(2, 30, 22);
    EXPECT_EQ(placed->Height(), 400);
    EXPECT_EQ(placed->ClientHeight(), 400 - 30);  // no menu bar
    EXPECT_EQ(placed->resizes, 1);
    EXPECT_EQ(placed->client->Height(), placed->ClientHeight() - 28 - 30 - 19);
    const int clientHeight = centred->ClientHeight();
    centred->SetFrameMetrics(2, 30, 22);
    EXPECT_EQ(centred->ClientHeight(), clientHeight);
}

TEST(Application, ATimerOrPaintBoxMadeBeforeTheApplicationFailsLoudly)
{
    ASSERT_EQ(MessageLoop(), nullptr);
    EXPECT_THROW(TTimer(nullptr), std::logic_error);
    EXPECT_THROW(TPaintBox(nullptr), std::logic_error);
    AppScope app;
    EXPECT_EQ(MessageLoop(), app.App());
    TTimer t(nullptr);
    TPaintBox p(nullptr);
}
