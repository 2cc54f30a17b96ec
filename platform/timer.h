#pragma once
// The timer: ticks every Interval milliseconds of the message loop's clock while Enabled.
// It registers with the loop when made, so it must be made after the application (it throws
// std::logic_error otherwise, rather than never ticking).
#include <cstdint>

#include "component.h"
#include "types.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    int Interval() const { return interval_; }
    // A new value restarts the wait for the next tick from now; the same value changes
    // nothing. An Interval of 0 or less never ticks.
    void SetEnabled(bool v);
    void SetInterval(int ms);
    TNotifyEvent OnTimer;

    // When the next tick is due, or -1 when the timer cannot tick.
    std::int64_t DueAt() const;
    // Runs the tick if it is due at `now` and schedules the next one.
    bool TickIfDue(std::int64_t now);

private:
    void Restart();
    bool enabled_ = true;
    int interval_ = 1000;
    std::int64_t due_ = 0;
};
