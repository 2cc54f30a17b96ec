#include "classes.h"

#include <algorithm>

#include "exceptions.h"
#include "locale.h"

const std::string& TStringList::Get(int index) const
{
    if (index < 0 || index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)];
}

int TStringList::Add(const std::string& s)
{
    items_.push_back(s);
    return Count() - 1;
}

void TStringList::Delete(int index)
{
    Get(index);
    items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(const std::string& s) const
{
    auto it = std::find(items_.begin(), items_.end(), s);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TStringList::Sort()
{
    SortStringsUserIgnoreCase(items_);
}

void TStringList::CustomSort(const TCompare& compare)
{
    std::sort(items_.begin(), items_.end(),
              [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
}
