#include "forms.h"

#include <algorithm>

#include "dragdrop.h"
#include "exceptions.h"
#include "headless.h"

TApplication* Application = nullptr;
static TScreen screenObject;
TScreen* Screen = &screenObject;

static TRealisationFactory installedFactory = nullptr;

void InstallRealisation(TRealisationFactory factory)
{
    installedFactory = factory;
}

// --- TForm --------------------------------------------------------------------------------

TForm::TForm(TComponent* owner) : TWinControl(owner)
{
    SetVisible(false);
    SetTabStop(false);
}

TForm::~TForm() = default;

void TForm::SetCaption(const std::string& c)
{
    if (caption_ == c)
        return;
    caption_ = c;
    Changed(TChange::Text);
}

void TForm::SetFrameMetrics(int frameWidth, int frameHeight, int menuBarHeight)
{
    const int cw = ClientWidth(), ch = ClientHeight();
    frameWidth_ = frameWidth;
    frameHeight_ = frameHeight;
    menuBarHeight_ = menuBarHeight;
    if (placedInShow_) {
        // A window put at a rectangle the program recorded keeps that outer size: it was
        // measured with the real frame, and keeping the client size instead would let the
        // window creep by the frame's difference at every start.
        Changed(TChange::Bounds);
        Realign();
        if ((ClientWidth() != cw || ClientHeight() != ch) && OnResize)
            OnResize(this);
        return;
    }
    // Otherwise the client area keeps its size, so this is no resize of the form's content.
    TWinControl::SetBounds(Left(), Top(), cw + FrameWidth(), ch + FrameHeight());
}

void TForm::SetBounds(int left, int top, int width, int height)
{
    const int cw = ClientWidth(), ch = ClientHeight();
    TWinControl::SetBounds(left, top, width, height);
    if ((ClientWidth() != cw || ClientHeight() != ch) && OnResize)
        OnResize(this);
}

void TForm::SetLeft(int v)
{
    placedInShow_ = placedInShow_ || inShow_;
    SetBounds(v, Top(), Width(), Height());
}

void TForm::SetTop(int v)
{
    placedInShow_ = placedInShow_ || inShow_;
    SetBounds(Left(), v, Width(), Height());
}

void TForm::Show()
{
    if (showing_)
        return;
    showing_ = true;
    closed_ = false;
    const bool first = !shownOnce_;
    shownOnce_ = true;
    inShow_ = true;
    placedInShow_ = false;
    try {
        if (OnShow)
            OnShow(this);
    } catch (...) {
        inShow_ = false;
        throw;
    }
    inShow_ = false;
    if (first && Position == TPosition::poDesktopCenter && !placedInShow_) {
        const int left = std::max((Screen->DesktopWidth() - Width()) / 2, 0);
        const int top = std::max((Screen->DesktopHeight() - Height()) / 2, 0);
        SetBounds(left, top, Width(), Height());
    }
    SetVisible(true);
}

void TForm::Hide()
{
    showing_ = false;
    SetVisible(false);
}

TModalResult TForm::ShowModal()
{
    modal_ = true;
    modalResult_ = mrNone;
    Show();
    TRealisation& r = Application->Realisation();
    r.ModalShown(*this);
    while (modalResult_ == mrNone && !Application->Terminated()) {
        if (r.Headless()) {
            modalResult_ = mrCancel;
            break;
        }
        Application->HandleMessage();
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    Hide();
    modal_ = false;
    return modalResult_;
}

void TForm::Close()
{
    if (closed_)
        return;
    if (modal_) {
        if (modalResult_ == mrNone)
            modalResult_ = mrCancel;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    if (Application && Application->MainForm() == this) {
        closed_ = true;
        Application->Terminate();
    } else {
        Hide();
    }
}

void TForm::UserResized(int clientWidth, int clientHeight)
{
    SetBounds(Left(), Top(), clientWidth + FrameWidth(), clientHeight + FrameHeight());
}

void TForm::UserMoved(int left, int top)
{
    SetBounds(left, top, Width(), Height());
}

void TForm::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case WM_KEYDOWN: {
        TShiftState shift;
        const std::uintptr_t mods = m.WParam >> 16;
        shift.Shift = (mods & MK_SHIFT) != 0;
        shift.Ctrl = (mods & MK_CONTROL) != 0;
        shift.Alt = (mods & MK_ALT) != 0;
        const unsigned key = static_cast<unsigned>(m.WParam & 0xFFFF);
        // The key counts as taken before its item's handler runs: a handler that raises has
        // still used the key, and nobody else may act on it.
        m.Result = 1;
        if (Enabled() && Menu && Menu->IsShortCut(ShortCut(key, shift)))
            return;
        m.Result = 0;
        if (key == VK_F4 && shift.Alt && !shift.Ctrl && !shift.Shift) {
            // The system's own close key, as the title bar's close box.
            m.Result = 1;
            Close();
        }
        return;
    }
    default:
        TWinControl::WndProc(m);
    }
}

// --- TApplication -------------------------------------------------------------------------

TApplication::TApplication()
    : TComponent(nullptr), clock_(std::make_unique<TVirtualClock>()), realisation_(std::make_unique<THeadless>())
{
    Application = this;
    SetMessageLoop(this);
}

// A message that is never delivered still gives back what it carries: a drop's handle.
static void ReleaseUndelivered(const TMessage& m)
{
    if (m.Msg == WM_DROPFILES)
        DragFinish(static_cast<HDROP>(m.WParam));
}

TApplication::~TApplication()
{
    for (const Posted& p : posted_)
        ReleaseUndelivered(p.message);
    posted_.clear();
    // Forms go first, while the bookkeeping they deregister from still exists.
    while (!Components().empty())
        delete Components().back();
    if (Application == this)
        Application = nullptr;
    if (MessageLoop() == this)
        SetMessageLoop(nullptr);
}

void TApplication::Initialize()
{
    if (installedFactory) {
        realisation_ = installedFactory();
        clock_ = std::make_unique<TRealClock>();
    }
}

void TApplication::SetRealisation(std::unique_ptr<TRealisation> r)
{
    realisation_ = std::move(r);
}

void TApplication::Register(TForm* form)
{
    if (!mainForm_)
        mainForm_ = form;
    if (form->OnCreate)
        form->OnCreate(form);
    realisation_->Attach(*form);
}

void TApplication::Run()
{
    if (mainForm_)
        mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

void TApplication::HandleMessage()
{
    if (ProcessMessages() || terminated_)
        return;
    const bool paintsPending = std::any_of(paintBoxes_.begin(), paintBoxes_.end(),
                                           [](TPaintBox* p) { return p->PaintPending() && p->Visible(); });
    if (!posted_.empty() || paintsPending)
        return;
    const std::int64_t due = NextTimerDue();
    const std::int64_t now = clock_->Now();
    if (due >= 0 && due <= now)
        return;
    if (realisation_->Headless()) {
        // Nothing can arrive from outside: let time pass to the next tick, or stop.
        if (due < 0) {
            terminated_ = true;
        } else if (auto* vc = dynamic_cast<TVirtualClock*>(clock_.get())) {
            IdleBeforeTimePasses();
            vc->Set(due);
        } else {
            Idle();
        }
        return;
    }
    Idle();
    realisation_->WaitForEvents(due < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(due - now, 1 << 30)));
}

bool TApplication::ProcessMessages()
{
    if (terminated_)
        return false;
    bool any = realisation_->PumpEvents();
    any = RunPostedMessages() || any;
    any = RunDueTimers() || any;
    any = RunPaints() || any;
    return any;
}

void TApplication::Idle()
{
    if (OnIdle && !terminated_)
        Deliver(OnIdle);
}

void TApplication::IdleBeforeTimePasses()
{
    Idle();
    if (OnIdleSettle)
        Deliver(OnIdleSettle);
}

bool TApplication::RunPostedMessages()
{
    // Only what was queued before this round; messages posted by the handlers wait for the
    // next one.
    size_t n = posted_.size();
    bool any = false;
    while (n-- > 0 && !posted_.empty() && !terminated_) {
        Posted p = posted_.front();
        posted_.pop_front();
        any = true;
        Deliver([&] { p.target->WindowProc(p.message); });
    }
    return any;
}

bool TApplication::RunDueTimers()
{
    const std::int64_t now = clock_->Now();
    std::vector<TTimer*> snapshot = timers_;
    bool any = false;
    for (TTimer* t : snapshot) {
        if (terminated_)
            break;
        if (std::find(timers_.begin(), timers_.end(), t) == timers_.end())
            continue;  // destroyed by an earlier handler
        Deliver([&] { any = t->TickIfDue(now) || any; });
    }
    return any;
}

bool TApplication::RunPaints()
{
    std::vector<TPaintBox*> snapshot = paintBoxes_;
    bool any = false;
    for (TPaintBox* p : snapshot) {
        if (terminated_)
            break;
        if (std::find(paintBoxes_.begin(), paintBoxes_.end(), p) == paintBoxes_.end())
            continue;
        if (p->PaintPending() && p->Visible()) {
            any = true;
            Deliver([&] { p->Paint(); });
        }
    }
    return any;
}

void TApplication::PostMessage(TControl* target, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (target)
        posted_.push_back(Posted{target, TMessage{msg, wParam, lParam, 0}});
}

void TApplication::Deliver(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

void TApplication::ShowException(const std::exception& e)
{
    ShowException(std::string(e.what()));
}

void TApplication::ShowException(const std::string& message)
{
    realisation_->ShowException(message);
}

void TApplication::AdvanceClock(std::int64_t ms)
{
    auto* vc = dynamic_cast<TVirtualClock*>(clock_.get());
    if (!vc)
        return;
    const std::int64_t target = vc->Now() + ms;
    while (!terminated_) {
        const std::int64_t due = NextTimerDue();
        if (due < 0 || due > target)
            break;
        if (due > vc->Now())
            IdleBeforeTimePasses();
        vc->Set(std::max(due, vc->Now()));
        ProcessMessages();
    }
    if (target > vc->Now() && !terminated_)
        IdleBeforeTimePasses();
    vc->Set(target);
    ProcessMessages();
}

void TApplication::AddTimer(TTimer* t) { timers_.push_back(t); }

void TApplication::RemoveTimer(TTimer* t)
{
    timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

void TApplication::AddPaintBox(TPaintBox* p) { paintBoxes_.push_back(p); }

void TApplication::RemovePaintBox(TPaintBox* p)
{
    paintBoxes_.erase(std::remove(paintBoxes_.begin(), paintBoxes_.end(), p), paintBoxes_.end());
}

void TApplication::ForgetControl(TControl* c)
{
    posted_.erase(std::remove_if(posted_.begin(), posted_.end(),
                                 [c](const Posted& p) {
                                     if (p.target != c)
                                         return false;
                                     ReleaseUndelivered(p.message);
                                     return true;
                                 }),
                  posted_.end());
}

std::int64_t TApplication::NextTimerDue() const
{
    std::int64_t best = -1;
    for (TTimer* t : timers_) {
        const std::int64_t d = t->DueAt();
        if (d >= 0 && (best < 0 || d < best))
            best = d;
    }
    return best;
}

THeadless* HeadlessScreen()
{
    return Application ? dynamic_cast<THeadless*>(&Application->Realisation()) : nullptr;
}

// --- TScreen ------------------------------------------------------------------------------

int TScreen::DesktopWidth() const { return Application->Realisation().DesktopWidth(); }
int TScreen::DesktopHeight() const { return Application->Realisation().DesktopHeight(); }
