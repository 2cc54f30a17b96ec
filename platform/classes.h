#pragma once
// String lists, as the application keeps its page list in one.
#include <string>
#include <vector>

#include "types.h"

class TStrings : public TObject {
public:
    virtual int Count() const = 0;
    virtual const std::string& Get(int index) const = 0;
    virtual int Add(const std::string& s) = 0;
    virtual void Clear() = 0;
    const std::string& operator[](int index) const { return Get(index); }
};

class TStringList : public TStrings {
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    const std::string& Get(int index) const override;
    int Add(const std::string& s) override;
    void Clear() override { items_.clear(); }

    // Orders the entries by the user's locale, ignoring case (CompareStringUserIgnoreCase).
    void Sort();

    const std::vector<std::string>& Items() const { return items_; }

private:
    std::vector<std::string> items_;
};
