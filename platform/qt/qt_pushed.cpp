#include "qt_pushed.h"

#include <algorithm>

#include <QElapsedTimer>

namespace {

long long NowMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

// How long the window system may take to confirm a size or position we asked for.
constexpr long long ConfirmationMs = 1000;

}  // namespace

void TPushedGeometry::Pushed(QSize size, QPoint pos)
{
    pushes_.push_back(TPush{size, pos, NowMs()});
}

template <typename T>
bool TPushedGeometry::Settle(T TPush::*field, const T& value)
{
    const long long now = NowMs();
    while (!pushes_.empty() && now - pushes_.front().at > ConfirmationMs)
        pushes_.pop_front();
    // Searched from the newest: the window at the newest push's size or position is where
    // the program put it, and whatever the user does next is new.
    auto it = std::find_if(pushes_.rbegin(), pushes_.rend(), [&](const TPush& p) { return p.*field == value; });
    if (it == pushes_.rend())
        return false;
    const bool newest = it == pushes_.rbegin();
    pushes_.erase(pushes_.begin(), it.base());
    // Only an older push still awaits a newer one's confirmation; a report of the newest is
    // no change, or else the user's own (back to where the program last put the window).
    return !newest;
}

bool TPushedGeometry::Confirms(QSize size)
{
    return Settle(&TPush::size, size);
}

bool TPushedGeometry::Confirms(QPoint pos)
{
    return Settle(&TPush::pos, pos);
}
