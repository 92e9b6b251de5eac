#pragma once

#include <cstddef>

// Joins a folder and a name in a buffer of a fixed size: "<folder><separator><name>", with
// no second separator after a folder that ends in one. False, and the buffer left empty,
// when either part is missing or empty, or the whole would not fit with its terminator.
bool JoinPath(char* out, std::size_t size, const char* folder, const char* name, char separator);
