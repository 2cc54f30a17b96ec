#pragma once
// The frames the window system has been seen to put around windows, shared by the forms'
// peers: a form that has not been shown yet takes the frame measured on another one, so that
// the outer size the program places it by is right from its first showing.
#include <vector>

#include <QSize>

class TFormPeer;

class TFrameCache {
public:
    void Join(TFormPeer* peer);
    void Leave(TFormPeer* peer);
    // A frame measured on a shown window; the forms not shown yet adopt it.
    void Measured(const TFormPeer& on, bool dialog, QSize frame);
    // The frame a window of that kind will get: measured on one of its kind, else on the
    // other kind; invalid while nothing has been measured.
    QSize Expected(bool dialog) const;

private:
    QSize frames_[2];
    std::vector<TFormPeer*> peers_;
};
