// Reading a number at the start of a text the way the runtime's own conversion does, for
// the launch arguments and the installation's level.
#pragma once

#include <cstdint>
#include <string_view>

// Leading blanks, an optional sign, then digits up to the first other character; no
// digits read as 0. A value beyond limit stays at limit (or its negative) instead of
// wrapping round to a small one.
inline int64_t ReadLeadingNumber(std::string_view text, int64_t limit)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\v' ||
                               text[i] == '\f' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return negative ? -value : value;
}
