// The options dialog, the about box and the help commands, driven as the user would while
// the dialogs are modal.
#include <climits>
#include <optional>

#include "viewer.h"

namespace {

// Presses a button inside the message loop, so an exception from its handler goes to the
// exception dialog as it would on screen.
void Press(TButton* button)
{
    Application->Deliver([button] { button->Click(); });
}

void Type(TEdit* edit, const std::string& text) { edit->UserEdited(text); }

using Probe = std::pair<size_t, bool>;

// A message posted to a form: when the message pump delivers it, records how many pages the
// shell had been asked to open by then, and a condition of the moment.
class PumpProbe {
public:
    explicit PumpProbe(TForm& form, std::function<bool()> condition = [] { return true; })
        : form_(form), saved_(form.WindowProc)
    {
        form.WindowProc = [this, condition](TMessage& m) {
            if (m.Msg == ProbeMessage)
                seen_ = {HeadlessScreen()->ShellOpened.size(), condition()};
            else
                saved_(m);
        };
        Application->PostMessage(&form, ProbeMessage);
    }
    ~PumpProbe() { form_.WindowProc = saved_; }
    PumpProbe(const PumpProbe&) = delete;
    PumpProbe& operator=(const PumpProbe&) = delete;
    std::optional<Probe> Seen() const { return seen_; }

private:
    static constexpr unsigned ProbeMessage = 0x0400;
    TForm& form_;
    TWndMethod saved_;
    std::optional<Probe> seen_;
};

}  // namespace

class Dialogs : public ViewerTest {
protected:
    // Opens a dialog through its menu item and runs the script while it is modal. A dialog
    // the script leaves open is cancelled afterwards.
    void WhileShown(TMenuItem* item, TForm* dialog, const std::function<void()>& script)
    {
        bool ran = false;
        Screen().OnModal = [&](TForm& shown) {
            EXPECT_EQ(&shown, dialog);
            EXPECT_TRUE(shown.Showing());
            ran = true;
            script();
        };
        item->Click();
        Screen().OnModal = nullptr;
        EXPECT_TRUE(ran) << item->Name() << " showed no dialog";
        EXPECT_FALSE(dialog->Showing());
    }
    void WithOptions(const std::function<void(TfrmConfig&)>& script)
    {
        WhileShown(Main().mnuVisibleOption, frmConfig, [&] { script(*frmConfig); });
    }
    void WithAbout(const std::function<void(TfrmVersion&)>& script)
    {
        WhileShown(Main().mnuHelpAbout, frmVersion, [&] { script(*frmVersion); });
    }
    // The dialog was closed by the last action: the modal loop ends when the script returns.
    static bool ClosedNow(const TForm& dialog) { return dialog.ModalResult() != mrNone; }

    // A folder of pages wide enough to let the main window take any width from 378 up.
    void OpenWidePages(int count)
    {
        std::vector<std::pair<std::string, std::string>> files;
        for (int i = 1; i <= count; ++i)
            files.push_back({"p" + std::to_string(i) + ".bmp", SmallBmp(600, 100)});
        OpenFolder(MakeFolder("pages", files));
        ASSERT_EQ(Main().PageCount, count);
    }

    void ExpectToolBarInterval(const char* text, int position, int slideTime)
    {
        EXPECT_EQ(Main().edtSlideTime->Text(), text);
        EXPECT_EQ(Main().updSlideTime->Position(), position);
        EXPECT_EQ(Main().SlideTime, slideTime);
    }
};

// --- Placement --------------------------------------------------------------------------------

TEST_F(Dialogs, BothDialogsAreCentredOnTheMainWindowTruncatingTowardZero)
{
    Start();
    OpenWidePages(1);
    // Outer sizes: client plus the 8 x 27 frame.
    ASSERT_EQ(frmConfig->Width(), 257);
    ASSERT_EQ(frmConfig->Height(), 194);
    ASSERT_EQ(frmVersion->Width(), 299);
    ASSERT_EQ(frmVersion->Height(), 163);

    struct Case {
        int left, top, width, height;
        int configLeft, configTop, aboutLeft, aboutTop;
    };
    const Case cases[] = {
        // Differences 243 x 206 and 201 x 237: the odd ones lose their half pixel.
        {100, 100, 500, 400, 221, 203, 200, 218},
        // Moved: centred over the new place. 5 lower than the options dialog and 3 lower than
        // the about box: -5 / 2 is -2 and -3 / 2 is -1, not -3 and -2.
        {-40, 30, 378, 189, 20, 28, -1, 43},
        {-40, 30, 378, 160, 20, 13, -1, 29},
        // Partly off the screen, placed all the same.
        {1800, 1000, 400, 300, 1871, 1053, 1850, 1068},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top) + " " + std::to_string(c.width) + "x" +
                     std::to_string(c.height));
        Main().SetBounds(c.left, c.top, c.width, c.height);
        ASSERT_EQ(Main().Width(), c.width);
        ASSERT_EQ(Main().Height(), c.height);
        WithOptions([&](TfrmConfig& d) {
            EXPECT_EQ(d.Left(), c.configLeft);
            EXPECT_EQ(d.Top(), c.configTop);
        });
        WithAbout([&](TfrmVersion& d) {
            EXPECT_EQ(d.Left(), c.aboutLeft);
            EXPECT_EQ(d.Top(), c.aboutTop);
        });
    }
}

// --- Options dialog ---------------------------------------------------------------------------

TEST_F(Dialogs, ArrowsSetTheTimerAtOnceAndCancelKeepsOnlyThat)
{
    Start();
    WithOptions([&](TfrmConfig& d) {
        EXPECT_EQ(d.edtSlideTime->Text(), "10");
        EXPECT_EQ(d.updSlideTime->Position(), 10);
        for (int i = 0; i < 5; ++i)
            d.updSlideTime->ArrowClick(TUDBtnType::btNext);
        EXPECT_EQ(d.edtSlideTime->Text(), "15");
        EXPECT_EQ(Main().timMain->Interval(), 15000);
        ExpectToolBarInterval("10", 10, 10000);
        Press(d.btnCancel);
        EXPECT_TRUE(ClosedNow(d));
    });
    EXPECT_EQ(Main().timMain->Interval(), 15000);
    ExpectToolBarInterval("10", 10, 10000);
    // The next showing starts again from SlideTime.
    WithOptions([&](TfrmConfig& d) { EXPECT_EQ(d.edtSlideTime->Text(), "10"); });
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Dialogs, ArrowsDownToZeroThenOkStopTheSlideshowFromAdvancing)
{
    Start();
    OpenWidePages(3);
    Main().spbSlidePlay->Click();
    ASSERT_TRUE(Main().Sliding);
    WithOptions([&](TfrmConfig& d) {
        for (int i = 0; i < 12; ++i)
            d.updSlideTime->ArrowClick(TUDBtnType::btPrev);
        EXPECT_EQ(d.updSlideTime->Position(), 0);
        EXPECT_EQ(d.edtSlideTime->Text(), "0");
        Press(d.btrnOk);
        EXPECT_TRUE(ClosedNow(d));
    });
    ExpectToolBarInterval("0", 1, 0);
    EXPECT_EQ(Main().timMain->Interval(), 0);
    Application->AdvanceClock(100000);
    EXPECT_EQ(Main().PageNo, 1);
    EXPECT_TRUE(Main().Sliding);
}

TEST_F(Dialogs, OkStoresTheTypedIntervalButARunningSlideshowKeepsItsOwn)
{
    Start();
    OpenWidePages(4);
    Main().spbSlidePlay->Click();
    WithOptions([&](TfrmConfig& d) {
        // The show goes on behind the dialog.
        Application->AdvanceClock(10000);
        EXPECT_EQ(Main().PageNo, 2);
        Type(d.edtSlideTime, "90");
        Press(d.btrnOk);
        EXPECT_TRUE(ClosedNow(d));
    });
    ExpectToolBarInterval("90", 60, 90000);
    EXPECT_EQ(Main().timMain->Interval(), 10000);
    Application->AdvanceClock(10000);
    EXPECT_EQ(Main().PageNo, 3);
}

TEST_F(Dialogs, TypedNumbersReachTheToolBarAsTyped)
{
    struct Case {
        const char* typed;
        int slideTime;
        int toolBarPosition;
        const char* shownNextTime;
    };
    const Case cases[] = {
        {"90", 90000, 60, "90"},
        {"05", 5000, 5, "5"},
        {"  7", 7000, 7, "7"},
        {"+8", 8000, 8, "8"},
        {"$1E", 30000, 30, "30"},
        {"0x0a", 10000, 10, "10"},
        {"0", 0, 1, "0"},
        {"-3", -3000, 1, "0"},
        // Beyond the up-downs' ranges and beyond 32-bit milliseconds: the interval saturates.
        {"65536", 65536000, 60, "100"},
        {"2147483", 2147483000, 60, "100"},
        {"2147484", INT_MAX, 60, "100"},
        {"3000000", INT_MAX, 60, "100"},
        {"2147483647", INT_MAX, 60, "100"},
        {"-3000000", INT_MIN, 1, "0"},
        {"-2147483648", INT_MIN, 1, "0"},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Main().SlideTime = 10000;
        Main().timMain->SetInterval(4000);
        WithOptions([&](TfrmConfig& d) {
            Type(d.edtSlideTime, c.typed);
            Press(d.btrnOk);
            EXPECT_TRUE(ClosedNow(d));
        });
        EXPECT_EQ(Main().SlideTime, c.slideTime);
        EXPECT_EQ(Main().edtSlideTime->Text(), c.typed);
        EXPECT_EQ(Main().updSlideTime->Position(), c.toolBarPosition);
        EXPECT_EQ(Main().timMain->Interval(), 4000) << "OK leaves the timer alone";
        WithOptions([&](TfrmConfig& d) { EXPECT_EQ(d.edtSlideTime->Text(), c.shownNextTime); });
    }
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Dialogs, OkTurnsAnIntervalFromTheFileIntoWholeSecondsWithinTheArrowRange)
{
    Start();
    for (const auto& [loaded, stored] : std::vector<std::pair<int, int>>{
             {1500, 1000}, {200000, 100000}, {-5000, 0}, {999, 0}, {INT_MAX, 100000}, {INT_MIN, 0}}) {
        SCOPED_TRACE(loaded);
        Main().SlideTime = loaded;
        WithOptions([&](TfrmConfig& d) { Press(d.btrnOk); });
        EXPECT_EQ(Main().SlideTime, stored);
    }
}

TEST_F(Dialogs, TextThatIsNoNumberIsReportedAndTheDialogStaysOpen)
{
    Start();
    for (const std::string bad : {"abc", "", "99999999999", "-2147483649", "1.5", "-", "12abc", "0x", "１２"}) {
        SCOPED_TRACE(bad);
        Main().WndPosCng = false;
        Screen().Exceptions.clear();
        WithOptions([&](TfrmConfig& d) {
            d.chkWindowPosition->Click();
            Type(d.edtSlideTime, bad);
            Press(d.btrnOk);
            EXPECT_EQ(Screen().Exceptions, std::vector<std::string>{"'" + bad + "' は整数ではありません"});
            EXPECT_FALSE(ClosedNow(d));
            EXPECT_TRUE(d.Showing());
            // The check box was stored before the text was read; the interval was not.
            EXPECT_TRUE(Main().WndPosCng);
            ExpectToolBarInterval("10", 10, 10000);
            EXPECT_EQ(Main().timMain->Interval(), 10000);

            Type(d.edtSlideTime, "12");
            Press(d.btrnOk);
            EXPECT_TRUE(ClosedNow(d));
        });
        ExpectToolBarInterval("12", 12, 12000);
        Main().SlideTime = 10000;
        Main().edtSlideTime->SetText("10");
        Main().updSlideTime->SetPosition(10);
    }
}

TEST_F(Dialogs, CheckBoxesCarryTheirFieldsAndTheHiddenOneKeepsItsValue)
{
    Start();
    EXPECT_FALSE(frmConfig->chkExitConfirm->Visible());
    for (const bool posCng : {false, true})
        for (const bool exitConfirm : {false, true}) {
            SCOPED_TRACE(std::to_string(posCng) + std::to_string(exitConfirm));
            Main().WndPosCng = posCng;
            Main().ExitConfirm = exitConfirm;
            WithOptions([&](TfrmConfig& d) {
                EXPECT_EQ(d.chkWindowPosition->Checked(), posCng);
                EXPECT_EQ(d.chkExitConfirm->Checked(), exitConfirm);
                d.chkWindowPosition->Click();
                Press(d.btrnOk);
            });
            EXPECT_EQ(Main().WndPosCng, !posCng);
            EXPECT_EQ(Main().ExitConfirm, exitConfirm);
        }
}

TEST_F(Dialogs, TheCloseBoxIsCancel)
{
    Start();
    WithOptions([&](TfrmConfig& d) {
        d.chkWindowPosition->Click();
        d.updSlideTime->ArrowClick(TUDBtnType::btNext);
        Type(d.edtSlideTime, "42");
        d.Perform(WM_CLOSE);
        EXPECT_TRUE(ClosedNow(d));
    });
    EXPECT_FALSE(Main().WndPosCng);
    ExpectToolBarInterval("10", 10, 10000);
    // What the arrows gave the timer stays, as with Cancel.
    EXPECT_EQ(Main().timMain->Interval(), 11000);
    // The dialog can be shown again afterwards.
    WithOptions([&](TfrmConfig& d) {
        EXPECT_EQ(d.edtSlideTime->Text(), "10");
        EXPECT_FALSE(d.chkWindowPosition->Checked());
    });
}

// --- About box and help -------------------------------------------------------------------

TEST_F(Dialogs, TheLinkIsRedWhilePressedAndOpensTheSupportPageOnRelease)
{
    Start();
    WithAbout([&](TfrmVersion& d) {
        EXPECT_EQ(d.lblURL->Caption(), std::string(SupportPageUrl) + "/");
        EXPECT_EQ(d.imgIcon->Picture().Width(), 32);
        EXPECT_EQ(d.imgIcon->Picture().Height(), 32);
        EXPECT_EQ(d.lblURL->Font().GetColor(), TColor(0xFF0000));
        for (const auto& [down, up] : {std::pair{WM_LBUTTONDOWN, WM_LBUTTONUP}, std::pair{WM_RBUTTONDOWN, WM_RBUTTONUP}}) {
            Screen().ShellOpened.clear();
            d.lblURL->Perform(down, 0, MakeLParam(3, 4));
            EXPECT_EQ(d.lblURL->Font().GetColor(), TColor(255));
            EXPECT_TRUE(Screen().ShellOpened.empty());
            // The label is repainted blue before the shell is asked: pending messages run
            // between the two.
            const PumpProbe probe(d, [&] { return d.lblURL->Font().GetColor() == TColor(0xFF0000); });
            d.lblURL->Perform(up, 0, MakeLParam(3, 4));
            EXPECT_EQ(probe.Seen(), Probe(0, true));
            EXPECT_EQ(d.lblURL->Font().GetColor(), TColor(0xFF0000));
            EXPECT_EQ(Screen().ShellOpened, std::vector<std::string>{SupportPageUrl});
        }
        EXPECT_FALSE(ClosedNow(d));
        Press(d.btnOk);
        EXPECT_TRUE(ClosedNow(d));
    });
    // The close box closes it just the same, and it shows again.
    WithAbout([](TfrmVersion& d) {
        d.Perform(WM_CLOSE);
        EXPECT_TRUE(ClosedNow(d));
    });
    WithAbout([](TfrmVersion& d) { EXPECT_TRUE(d.Showing()); });
    EXPECT_TRUE(Screen().Exceptions.empty());
}

TEST_F(Dialogs, HelpCommandsOpenTheHelpPageAndTheSupportPage)
{
    Start();
    // Each lets the window catch up with pending messages before the shell is asked.
    for (TMenuItem* item : {Main().mnuHelpContents, Main().mnuHelpHomePage}) {
        const PumpProbe probe(Main());
        item->Click();
        EXPECT_EQ(probe.Seen(), Probe(Screen().ShellOpened.size() - 1, true))
            << item->Name();
    }
    // One separator between the program's folder and "help", whatever the folder.
    const std::string folder = programDir_->Path();
    ASSERT_NE(folder.back(), '/');
    EXPECT_EQ(Screen().ShellOpened, (std::vector<std::string>{folder + "/help/index.html", SupportPageUrl}));
    EXPECT_NE(std::string(SupportPageUrl).back(), '/');
    EXPECT_TRUE(Screen().Exceptions.empty());
}
