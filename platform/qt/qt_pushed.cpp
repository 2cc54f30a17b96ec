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
    auto it = std::find_if(pushes_.begin(), pushes_.end(), [&](const TPush& p) { return p.*field == value; });
    if (it == pushes_.end())
        return false;
    pushes_.erase(pushes_.begin(), it + 1);
    return true;
}

bool TPushedGeometry::Confirms(QSize size)
{
    return Settle(&TPush::size, size);
}

bool TPushedGeometry::Confirms(QPoint pos)
{
    return Settle(&TPush::pos, pos);
}
