// Longest path the program handles, in bytes without the terminating NUL: its path
// buffers hold 261 bytes, as the host's do.
#pragma once

#include <cstddef>

constexpr std::size_t kMaxPathBytes = 260;
