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
#include "messageloop.h"
#include "realisation.h"
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

// The application object runs the message loop: it implements the registry below the
// controls (messageloop.h) that timers, paint boxes and controls use.
class TApplication : public TComponent, public TMessageLoop {
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
    // The moments when the loop has nothing to do: OnIdle runs each time the loop is about
    // to wait for input, and with a virtual clock each time time is about to move on. It
    // should only hand work to another thread. OnIdleSettle runs right after it whenever the
    // virtual clock moves: it waits for that work, so that a test sees the same on every run.
    std::function<void()> OnIdle;
    std::function<void()> OnIdleSettle;
    // Runs OnIdle, for a caller that pumps messages itself.
    void Idle();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }

    // Queues a message for a control; it is sent when messages are next processed.
    void PostMessage(TControl* target, unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Runs an event handler as the message loop does: an exception it raises is shown by
    // ShowException and goes no further.
    void Deliver(const std::function<void()>& handler);
    void ShowException(const std::exception& e);
    void ShowException(const std::string& message);

    TClock& Clock() override { return *clock_; }
    void SetClock(std::unique_ptr<TClock> clock) { clock_ = std::move(clock); }
    // With a virtual clock: moves it forward by ms, running each tick that falls due on the
    // way at its own time, in order.
    void AdvanceClock(std::int64_t ms);

    TRealisation& Realisation() { return *realisation_; }
    void SetRealisation(std::unique_ptr<TRealisation> r);

    // Bookkeeping of the library's own objects (the message loop's registry).
    void AddTimer(TTimer* t) override;
    void RemoveTimer(TTimer* t) override;
    void AddPaintBox(TPaintBox* p) override;
    void RemovePaintBox(TPaintBox* p) override;
    void ForgetControl(TControl* c) override;
    std::int64_t NextTimerDue() const;

private:
    void Register(TForm* form);
    bool RunDueTimers();
    bool RunPostedMessages();
    bool RunPaints();
    // Idle, then OnIdleSettle: virtual time is about to pass.
    void IdleBeforeTimePasses();

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
