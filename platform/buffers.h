#pragma once
// Sizing the buffers that are reused from page to page.
#include <cstddef>
#include <vector>

#include "bounds.h"

// The buffer's memory is out of proportion to a use of `needed` elements: it is given back
// rather than kept (see GiveBackFactor).
inline bool OversizedFor(std::size_t capacity, std::size_t needed)
{
    return capacity / GiveBackFactor > needed;
}

// Makes v (a vector or a string) hold n elements of undefined worth: the caller overwrites
// them all. A buffer of the right order of size is reused as it is; an oversized one is
// released first, and so is one that must grow, which spares copying the old content into
// the new block.
template <class Buffer>
void SizeForOverwrite(Buffer& v, std::size_t n)
{
    if (n > v.capacity() || OversizedFor(v.capacity(), n))
        Buffer().swap(v);
    v.resize(n);
}

// Shrinks or grows v to n elements keeping the first ones, giving memory back as above.
template <class T>
void SizeKeeping(std::vector<T>& v, std::size_t n, const T& fill = T())
{
    if (OversizedFor(v.capacity(), n)) {
        std::vector<T> smaller(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n < v.size() ? n : v.size()));
        smaller.resize(n, fill);
        v.swap(smaller);
        return;
    }
    v.resize(n, fill);
}
