#pragma once
// Sizes and positions the program pushed to a shown window. The window system confirms each
// of them later, sometimes after a newer push; such a late confirmation is no change of the
// user's and must not reach the model.
#include <deque>

#include <QPoint>
#include <QSize>

class TPushedGeometry {
public:
    void Pushed(QSize size, QPoint pos);
    // True when the window system reports a size (or position) of a push older than the
    // newest: a late confirmation, with the newer push still to come. That push and the
    // older ones are settled. A report of the newest push settles them all and is false,
    // as it may well be the user's change.
    bool Confirms(QSize size);
    bool Confirms(QPoint pos);

private:
    struct TPush {
        QSize size;
        QPoint pos;
        long long at;
    };
    template <typename T>
    bool Settle(T TPush::*field, const T& value);
    std::deque<TPush> pushes_;
};
