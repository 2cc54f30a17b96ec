#include "component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent()
{
    // Children first, newest first, so nothing refers to a destroyed owner.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        components_.pop_back();
        c->owner_ = nullptr;
        delete c;
    }
    peer_.reset();
    if (owner_) {
        auto& v = owner_->components_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
}
