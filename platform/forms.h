#pragma once
// Forms, the application object with its message pump and clock, and the realisation that
// puts them on a screen.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "menus.h"
#include "timer.h"

class TForm;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TPosition { poDesigned, poDesktopCenter };
enum class TBorderStyle { bsSizeable, bsDialog };
struct TBorderIcons {
    bool SystemMenu = true, Minimize = true, Maximize = true;
};

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);

    // Outer size = client size + frame (borders, caption and the menu bar).
    int ClientWidth() const override { return Width() - FrameWidth(); }
    int ClientHeight() const override { return Height() - FrameHeight(); }
    void SetClientWidth(int v) { SetWidth(v + FrameWidth()); }
    void SetClientHeight(int v) { SetHeight(v + FrameHeight()); }
    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_ + (Menu ? menuBarHeight_ : 0); }
    // The realisation reports its frame; the client size is kept. Headless: borders of 4,
    // a caption of 19 and a menu bar of 19 pixels.
    void SetFrameMetrics(int frameWidth, int frameHeight, int menuBarHeight);
    // A size change raises OnResize before the setter returns; the same size raises nothing.
    void SetBounds(int left, int top, int width, int height) override;
    // A show handler that places the window itself overrides the Position placement.
    void SetLeft(int v);
    void SetTop(int v);

    TBorderStyle BorderStyle = TBorderStyle::bsSizeable;
    TBorderIcons BorderIcons;
    TPosition Position = TPosition::poDesigned;
    bool KeyPreview = false;
    TMainMenu* Menu = nullptr;
    // The window's icon (empty: the application's).
    TBitmap Icon;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnResize;
    std::function<void(TObject* Sender, TCloseAction& Action)> OnClose;

    bool Showing() const { return showing_; }
    // Shows the form; the first time, runs OnShow and then the Position placement.
    void Show();
    void Hide();
    // Shows the form and runs the message loop until ModalResult is set.
    TModalResult ShowModal();
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r) { modalResult_ = r; }
    // Asks the form to close: runs OnClose; the main form's close ends the application.
    void Close();
    bool Closed() const { return closed_; }

    // Input from the realisation.
    void UserResized(int clientWidth, int clientHeight);
    void UserMoved(int left, int top);

    void WndProc(TMessage& message) override;

private:
    std::string caption_;
    int frameWidth_ = 8, frameHeight_ = 27, menuBarHeight_ = 19;
    bool showing_ = false, shownOnce_ = false, modal_ = false, closed_ = false;
    bool placedInShow_ = false, inShow_ = false;
    TModalResult modalResult_ = mrNone;
};

// A source of time in milliseconds.
class TClock {
public:
    virtual ~TClock() = default;
    virtual std::int64_t Now() const = 0;
};

class TRealClock : public TClock {
public:
    std::int64_t Now() const override;
};

// Time that moves only when a test moves it.
class TVirtualClock : public TClock {
public:
    std::int64_t Now() const override { return now_; }
    void Set(std::int64_t t) { now_ = t; }

private:
    std::int64_t now_ = 0;
};

// What the application needs from a screen: widgets for its components, the toolkit's
// events, and the desktop services.
class TRealisation {
public:
    virtual ~TRealisation() = default;
    virtual bool Headless() const = 0;
    // Attaches peers to a component and everything it owns (called once per form).
    virtual void Attach(TComponent& component) = 0;
    // Delivers the toolkit's pending input to the components, without waiting; true when
    // any input reached them.
    virtual bool PumpEvents() = 0;
    // Waits until input arrives or timeoutMs passes (-1: no limit).
    virtual void WaitForEvents(int timeoutMs) = 0;
    virtual void ShowException(const std::string& message) = 0;
    // The whole desktop across all monitors, measured from 0.
    virtual int DesktopWidth() = 0;
    virtual int DesktopHeight() = 0;
    // Puts the form into the topmost band or takes it out; false when refused.
    virtual bool SetTopMost(TForm& form, bool topMost) = 0;
    // The folder chooser: true and the path when the user chose a folder.
    virtual bool BrowseForFolder(TForm* owner, const std::string& title, std::string& path) = 0;
    // Opens a file or web address with the desktop's handler.
    virtual bool ShellOpen(TForm* owner, const std::string& target) = 0;
    // A modal form is shown: the realisation may run a script (headless) before the loop.
    virtual void ModalShown(TForm& form) = 0;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Uses the realisation that the program installed (InstallRealisation), or none.
    void Initialize();
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& t) { title_ = t; }

    // Creates a form owned by the application, sets ref before OnCreate runs, runs OnCreate.
    // The first form created is the main form.
    template <typename T>
    void CreateForm(T*& ref)
    {
        ref = new T(this);
        Register(ref);
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and handles messages until the application terminates.
    void Run();
    // Handles every pending message once: toolkit input, posted messages, due timer ticks,
    // paints. Handlers run nested inside it. True when anything was handled.
    bool ProcessMessages();
    // Handles what is pending, or else waits for the next message: a loop that checks its
    // own condition after each call (a modal form's) sees the effect of every message.
    void HandleMessage();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }

    // Queues a message for a control; it is sent when messages are next processed.
    void PostMessage(TControl* target, unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Runs an event handler as the message loop does: an exception it raises is shown by
    // ShowException and goes no further.
    void Deliver(const std::function<void()>& handler);
    void ShowException(const std::exception& e);
    void ShowException(const std::string& message);

    TClock& Clock() { return *clock_; }
    void SetClock(std::unique_ptr<TClock> clock) { clock_ = std::move(clock); }
    // With a virtual clock: moves it forward by ms, running each tick that falls due on the
    // way at its own time, in order.
    void AdvanceClock(std::int64_t ms);

    TRealisation& Realisation() { return *realisation_; }
    void SetRealisation(std::unique_ptr<TRealisation> r);

    // Bookkeeping of the library's own objects.
    void AddTimer(TTimer* t);
    void RemoveTimer(TTimer* t);
    void AddPaintBox(TPaintBox* p);
    void RemovePaintBox(TPaintBox* p);
    void ForgetControl(TControl* c);
    std::int64_t NextTimerDue() const;

private:
    void Register(TForm* form);
    bool RunDueTimers();
    bool RunPostedMessages();
    bool RunPaints();

    struct Posted {
        TControl* target;
        TMessage message;
    };
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    std::deque<Posted> posted_;
    std::vector<TTimer*> timers_;
    std::vector<TPaintBox*> paintBoxes_;
    std::unique_ptr<TClock> clock_;
    std::unique_ptr<TRealisation> realisation_;
};

extern TApplication* Application;

// The program installs the realisation it runs on before Initialize; without one the
// application runs headless.
using TRealisationFactory = std::unique_ptr<TRealisation> (*)();
void InstallRealisation(TRealisationFactory factory);

class TScreen {
public:
    int DesktopWidth() const;
    int DesktopHeight() const;
};
extern TScreen* Screen;
