// Longest path the program handles, in bytes without the terminating NUL: its path
// buffers hold 261 bytes, as the host's do.
#pragma once

#include <cstddef>

constexpr std::size_t kMaxPathBytes = 260;
// The working-buffer size that holds the longest path with its NUL.
constexpr std::size_t kPathBufferSize = kMaxPathBytes + 1;
