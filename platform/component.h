#pragma once
// The component base: a name, an owner that destroys it, and the link to the toolkit widget
// that shows it. All that menus and the timer need.
#include <memory>
#include <string>
#include <vector>

#include "peer.h"
#include "types.h"

// Something owned by another component and destroyed with it.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    const std::vector<TComponent*>& Components() const { return components_; }

    // The toolkit side of this component, if a realisation has attached one.
    TPeer* Peer() const { return peer_.get(); }
    void SetPeer(std::unique_ptr<TPeer> peer) { peer_ = std::move(peer); }
    void Changed(TChange what) { if (peer_) peer_->Changed(what); }

private:
    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_;
    std::unique_ptr<TPeer> peer_;
};
