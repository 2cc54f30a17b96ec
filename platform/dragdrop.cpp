#include "dragdrop.h"

#include <mutex>
#include <unordered_map>

namespace {

// Drops by handle. The realisation creates them on the GUI thread, but a number that is
// looked up keeps a stale or forged handle from reaching freed memory.
struct Registry {
    std::mutex mutex;
    std::unordered_map<HDROP, std::vector<std::string>> drops;
    HDROP next = 1;
};

Registry& Drops()
{
    static Registry registry;
    return registry;
}

}  // namespace

HDROP NewDropHandle(std::vector<std::string> paths)
{
    Registry& r = Drops();
    std::lock_guard lock(r.mutex);
    HDROP h = r.next++;
    r.drops.emplace(h, std::move(paths));
    return h;
}

unsigned DragQueryFile(HDROP h, unsigned index, std::string* path)
{
    Registry& r = Drops();
    std::lock_guard lock(r.mutex);
    auto it = r.drops.find(h);
    const std::vector<std::string>* items = it == r.drops.end() ? nullptr : &it->second;
    if (index == 0xFFFFFFFFu)
        return items ? static_cast<unsigned>(items->size()) : 0;
    if (!items || index >= items->size()) {
        if (path)
            path->clear();
        return 0;
    }
    const std::string& item = (*items)[index];
    if (path)
        *path = item;
    return static_cast<unsigned>(item.size());
}

void DragFinish(HDROP h)
{
    Registry& r = Drops();
    std::lock_guard lock(r.mutex);
    r.drops.erase(h);
}

std::size_t OpenDropHandles()
{
    Registry& r = Drops();
    std::lock_guard lock(r.mutex);
    return r.drops.size();
}
