#include "qt_frames.h"

#include <algorithm>

#include "qt_form.h"

void TFrameCache::Join(TFormPeer* peer)
{
    peers_.push_back(peer);
}

void TFrameCache::Leave(TFormPeer* peer)
{
    peers_.erase(std::remove(peers_.begin(), peers_.end(), peer), peers_.end());
}

void TFrameCache::Measured(const TFormPeer& on, bool dialog, QSize frame)
{
    frames_[dialog ? 1 : 0] = frame;
    // Adopting runs model code, which may destroy forms: each peer is looked up afresh.
    const std::vector<TFormPeer*> others = peers_;
    for (TFormPeer* other : others)
        if (other != &on && std::find(peers_.begin(), peers_.end(), other) != peers_.end())
            other->AdoptFrame();
}

QSize TFrameCache::Expected(bool dialog) const
{
    const int same = dialog ? 1 : 0;
    return frames_[same].isValid() ? frames_[same] : frames_[1 - same];
}
