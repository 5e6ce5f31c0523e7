// Splitting a code page 932 path into its folder and its name. The path is walked by
// whole characters, so the 0x5C trail byte of a double-byte character is never taken
// for a backslash.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/cp932.h"

namespace path_split {

// What ends a folder: the backslash alone (paths Windows itself gives back), or the
// slash too (paths a user or a settings file may have written either way).
enum class Separators { kBackslash, kBoth };

// Bytes of the folder part of path, its last separator included; 0 when it has none.
inline std::size_t FolderLength(std::string_view path, Separators separators)
{
    std::size_t length = 0;
    for (std::size_t i = 0; i < path.size(); i += cp932::CharLengthAt(path, i)) {
        const bool single = cp932::CharLengthAt(path, i) == 1;
        if (single && (path[i] == '\\' || (path[i] == '/' && separators == Separators::kBoth))) length = i + 1;
    }
    return length;
}

// The folder with its last separator; empty when the path has none.
inline std::string_view FolderPart(std::string_view path, Separators separators)
{
    return path.substr(0, FolderLength(path, separators));
}

// What follows the last separator; the whole path when it has none.
inline std::string_view NamePart(std::string_view path, Separators separators)
{
    return path.substr(FolderLength(path, separators));
}

}  // namespace path_split
