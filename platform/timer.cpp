#include "timer.h"

#include "messageloop.h"

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    RequireMessageLoop("a timer").AddTimer(this);
    Restart();
}

TTimer::~TTimer()
{
    if (TMessageLoop* loop = MessageLoop())
        loop->RemoveTimer(this);
}

void TTimer::Restart()
{
    TMessageLoop* loop = MessageLoop();
    due_ = (loop ? loop->Clock().Now() : 0) + interval_;
}

void TTimer::SetEnabled(bool v)
{
    if (enabled_ == v)
        return;
    enabled_ = v;
    Restart();
}

void TTimer::SetInterval(int ms)
{
    if (interval_ == ms)
        return;
    interval_ = ms;
    Restart();
}

std::int64_t TTimer::DueAt() const
{
    return enabled_ && interval_ > 0 && OnTimer ? due_ : -1;
}

bool TTimer::TickIfDue(std::int64_t now)
{
    const std::int64_t due = DueAt();
    if (due < 0 || due > now)
        return false;
    // The next wait starts now, so a late tick does not bring a burst of catch-up ticks.
    due_ = now + interval_;
    OnTimer(this);
    return true;
}
