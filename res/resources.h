#pragma once
// The files of res/, embedded in the executable.
#include <cstddef>
#include <string>

// Finds an embedded file by its name (for example "close.bmp").
bool FindResource(const std::string& name, const unsigned char*& data, size_t& size);
