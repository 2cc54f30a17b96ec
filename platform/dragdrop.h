#pragma once
// Handles of files dropped on a window: the realisation makes one per drop and posts
// WM_DROPFILES with it; the receiver reads the paths and releases it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "messages.h"  // WM_DROPFILES

using HDROP = std::uintptr_t;

// Keeps the full paths of one drop until DragFinish. Never returns 0.
HDROP NewDropHandle(std::vector<std::string> paths);

// With index 0xFFFFFFFF: the number of dropped items. Otherwise the length in bytes of item
// index's full path, stored whole into *path unless path is null; 0 for a bad index or an
// unknown handle (and *path is emptied).
unsigned DragQueryFile(HDROP h, unsigned index, std::string* path);

// Releases a drop handle. Unknown and already released handles are ignored.
void DragFinish(HDROP h);

// Drop handles made and not yet released.
std::size_t OpenDropHandles();
