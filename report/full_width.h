// The full-width form of a company name, as Windows' full-width mapping gives it in
// code page 932: one portable implementation for every build.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t kFullWidthResultSize = 128;

// Returns the full-width form, at most kFullWidthResultSize - 1 bytes. A source of 31 bytes or more is cut to at most 63 bytes, never inside
// a double-byte character; a shorter source is never cut.
std::string ToFullWidthName(const char* text);

// The full-width form of one half-width character at text[0] (and text[1] when it is
// a voiced or semi-voiced mark that combines with it): writes its CP932 bytes to out
// (1 or 2) and returns how many source bytes it used; 0 when text[0] has no
// full-width form (the caller keeps that byte).
std::size_t FullWidthOf(const unsigned char* text, std::size_t available, unsigned char out[2],
                        std::size_t* outBytes);
