// Cutting code page 932 text to a number of bytes without splitting a double-byte
// character: the one walk that every fixed-size field and buffer of the program uses.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/cp932.h"

namespace cp932 {

// Bytes of the longest start of text made of whole characters that fits in maxBytes.
// Walked from the start, since a trail byte may lie in the lead-byte range. A lead byte
// at maxBytes - 1 is left out when its trail follows, so text should reach one byte
// past maxBytes when it is longer.
inline std::size_t FitLength(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes) return text.size();
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t next = length + CharLengthAt(text, length);
        if (next > maxBytes) break;
        length = next;
    }
    return length;
}

// The start of text that FitLength measures.
inline std::string_view CutToBytes(std::string_view text, std::size_t maxBytes)
{
    return text.substr(0, FitLength(text, maxBytes));
}

}  // namespace cp932
