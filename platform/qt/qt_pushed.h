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
    // True when the window system reports a size (or position) that the program pushed and
    // that awaits its confirmation; that push and the older ones are settled.
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
