#include "classes.h"

#include "exceptions.h"
#include "collation.h"

const std::string& TStringList::Get(int index) const
{
    if (index < 0 || index >= Count())
        throw Exception("リストの位置 " + std::to_string(index) + " は範囲外です");
    return items_[static_cast<size_t>(index)];
}

int TStringList::Add(const std::string& s)
{
    items_.push_back(s);
    return Count() - 1;
}

void TStringList::Sort()
{
    SortStringsUserIgnoreCase(items_);
}
