#include "messageloop.h"

#include <chrono>
#include <stdexcept>
#include <string>

static TMessageLoop* currentLoop = nullptr;

TMessageLoop* MessageLoop()
{
    return currentLoop;
}

void SetMessageLoop(TMessageLoop* loop)
{
    currentLoop = loop;
}

TMessageLoop& RequireMessageLoop(const char* what)
{
    if (!currentLoop)
        throw std::logic_error(std::string(what) + " made before the application: it would never run");
    return *currentLoop;
}

std::int64_t TRealClock::Now() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
