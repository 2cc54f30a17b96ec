#pragma once
// The seam between the controls and the message loop. The components that the loop drives
// (timers, paint boxes, controls that may have messages queued) register with it here and
// read its clock here, without knowing the application object that implements it: the
// library's own files include only downwards, component -> control -> forms.
#include <cstdint>

class TControl;
class TPaintBox;
class TTimer;

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

// The message loop's registry: what it runs (timer ticks, paints), what it must drop (the
// messages queued for a control that goes), and the time it runs by.
class TMessageLoop {
public:
    virtual TClock& Clock() = 0;
    virtual void AddTimer(TTimer* t) = 0;
    virtual void RemoveTimer(TTimer* t) = 0;
    virtual void AddPaintBox(TPaintBox* p) = 0;
    virtual void RemovePaintBox(TPaintBox* p) = 0;
    // The control is going: the messages queued for it are dropped.
    virtual void ForgetControl(TControl* c) = 0;

protected:
    ~TMessageLoop() = default;
};

// The loop of the running application, or null when there is none.
TMessageLoop* MessageLoop();
// The application sets itself when it is made and null when it goes.
void SetMessageLoop(TMessageLoop* loop);
// The running loop for a component that cannot work without one (a timer, a paint box):
// made before the application, it would silently never tick or paint, so this throws
// std::logic_error naming `what` instead.
TMessageLoop& RequireMessageLoop(const char* what);
