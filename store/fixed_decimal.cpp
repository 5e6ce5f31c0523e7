#include "store/fixed_decimal.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int64_t kIntegerLimit = 1000000000000000000LL;   // 10^18
constexpr uint32_t kFractionUnit = 10000;

enum RoundResult { kRounded, kOutOfRange, kOverflow };

// Compares two magnitudes given as (integer, fraction): -1, 0 or 1.
int CompareMagnitude(int64_t ia, uint32_t fa, int64_t ib, uint32_t fb)
{
    if (ia != ib)
        return ia < ib ? -1 : 1;
    if (fa != fb)
        return fa < fb ? -1 : 1;
    return 0;
}

int CompareValues(const ClFixedDecimal& a, const ClFixedDecimal& b)
{
    const bool aZero = a.integer == 0 && a.fraction == 0;
    const bool bZero = b.integer == 0 && b.fraction == 0;
    // A zero may still carry sign -1 before ToText normalises it.
    const int signA = aZero ? 0 : a.sign;
    const int signB = bZero ? 0 : b.sign;
    if (signA != signB)
        return signA < signB ? -1 : 1;
    if (signA == 0)
        return 0;
    const int magnitude = CompareMagnitude(a.integer, a.fraction, b.integer, b.fraction);
    return signA > 0 ? magnitude : -magnitude;
}

RoundResult RoundMagnitude(ClFixedDecimal& value, int mode, int position)
{
    if (position < -12 || position > 4 || mode < ClFixedDecimal::kRoundHalfUp || mode > ClFixedDecimal::kRoundDown)
        return kOutOfRange;
    if (position == 0)
        position = 1;

    int64_t integer = value.integer;
    uint32_t fraction = value.fraction;

    if (position > 0) {
        // Position 1 keeps whole units (unit 10000), 4 keeps three decimals (unit 10).
        uint32_t unit = 10;
        for (int p = position; p < 4; ++p)
            unit *= 10;
        const uint32_t rest = fraction % unit;
        switch (mode) {
        case ClFixedDecimal::kRoundHalfUp:
            fraction = (fraction + unit / 2) / unit * unit;
            break;
        case ClFixedDecimal::kRoundUp:
            if (rest != 0)
                fraction = fraction - rest + unit;
            break;
        default:
            fraction -= rest;
            break;
        }
        if (fraction >= kFractionUnit) {
            integer += fraction / kFractionUnit;
            fraction %= kFractionUnit;
        }
    } else {
        int64_t unit = 1;
        for (int p = position; p < 0; ++p)
            unit *= 10;
        const int64_t rest = integer % unit;
        switch (mode) {
        case ClFixedDecimal::kRoundHalfUp:
            integer = (integer + unit / 2) / unit * unit;
            break;
        case ClFixedDecimal::kRoundUp:
            if (rest != 0 || fraction != 0)
                integer = integer - rest + unit;
            break;
        default:
            integer -= rest;
            break;
        }
        fraction = 0;
    }

    if (integer >= kIntegerLimit)
        return kOverflow;
    value.integer = integer;
    value.fraction = fraction;
    return kRounded;
}

}  // namespace

ClFixedDecimal::ClFixedDecimal() : integer(0), fraction(0), sign(1)
{
    text[0] = '\0';
}

ClFixedDecimal::ClFixedDecimal(int32_t whole, uint32_t tenThousandths)
    : integer(whole < 0 ? -static_cast<int64_t>(whole) : whole), fraction(tenThousandths), sign(whole < 0 ? -1 : 1)
{
    integer += fraction / kFractionUnit;
    fraction %= kFractionUnit;
    text[0] = '\0';
}

ClFixedDecimal::ClFixedDecimal(int64_t raw) : sign(raw < 0 ? -1 : 1)
{
    // Unsigned so that the most negative raw value has a magnitude too.
    const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
    integer = static_cast<int64_t>(magnitude / kFractionUnit);
    fraction = static_cast<uint32_t>(magnitude % kFractionUnit);
    text[0] = '\0';
}

ClFixedDecimal::ClFixedDecimal(const ClFixedDecimal& other)
    : integer(other.integer), fraction(other.fraction), sign(other.sign)
{
    text[0] = '\0';
}

ClFixedDecimal& ClFixedDecimal::operator=(const ClFixedDecimal& other)
{
    integer = other.integer;
    fraction = other.fraction;
    sign = other.sign;
    return *this;
}

ClFixedDecimal::~ClFixedDecimal() = default;

void ClFixedDecimal::Subtract(ClFixedDecimal& result, const ClFixedDecimal& a, const ClFixedDecimal& b)
{
    // Worked on magnitudes so that no intermediate raw value can overflow.
    const int signA = a.sign < 0 ? -1 : 1;
    const int signB = -(b.sign < 0 ? -1 : 1);   // a - b = a + (-b)
    int64_t integer;
    int64_t fraction;
    int sign;
    if (signA == signB) {
        integer = a.integer + b.integer;
        fraction = static_cast<int64_t>(a.fraction) + b.fraction;
        if (fraction >= kFractionUnit) {
            integer += 1;
            fraction -= kFractionUnit;
        }
        sign = signA;
    } else {
        const bool aLarger = CompareMagnitude(a.integer, a.fraction, b.integer, b.fraction) >= 0;
        const ClFixedDecimal& big = aLarger ? a : b;
        const ClFixedDecimal& small = aLarger ? b : a;
        integer = big.integer - small.integer;
        fraction = static_cast<int64_t>(big.fraction) - small.fraction;
        if (fraction < 0) {
            integer -= 1;
            fraction += kFractionUnit;
        }
        sign = aLarger ? signA : signB;
    }
    if (integer == 0 && fraction == 0)
        sign = 1;   // as construction from the raw value 0 gives
    result.integer = integer;
    result.fraction = static_cast<uint32_t>(fraction);
    result.sign = static_cast<int16_t>(sign);
}

int ClFixedDecimal::IsLess(const ClFixedDecimal& a, const ClFixedDecimal& b)
{
    return CompareValues(a, b) < 0 ? 1 : 0;
}

int ClFixedDecimal::IsGreater(const ClFixedDecimal& a, const ClFixedDecimal& b)
{
    return CompareValues(a, b) > 0 ? 1 : 0;
}

int ClFixedDecimal::RoundAt(int mode, int position)
{
    return RoundMagnitude(*this, mode, position) == kRounded ? 1 : 0;
}

const char* ClFixedDecimal::ToText(int decimals, int mode)
{
    if (decimals > 4)
        return nullptr;
    // A position or mode out of range only skips the rounding; an overflow leaves the
    // value unrounded, and a text of it would be wrong, so there is none.
    if (RoundMagnitude(*this, mode, decimals + 1) == kOverflow)
        return nullptr;
    if (integer == 0 && fraction == 0)
        sign = 1;

    char* p = text;
    if (sign < 0)
        *p++ = '-';
    // Digits by hand: every area and rate of the report passes here, and the formatted
    // output machinery costs more than the rest of the line.
    char digits[24];
    int n = 0;
    uint64_t whole = integer < 0 ? 0 - static_cast<uint64_t>(integer) : static_cast<uint64_t>(integer);
    if (integer < 0) *p++ = '-';
    do {
        digits[n++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    while (n > 0) *p++ = digits[--n];
    if (decimals >= 1) {
        *p++ = '.';
        unsigned rest = fraction;
        for (int place = 1000, d = 0; d < decimals; place /= 10, ++d) {
            *p++ = static_cast<char>('0' + rest / place % 10);
        }
    }
    *p = '\0';
    return text;
}

int64_t ClFixedDecimal::Raw() const
{
    const int64_t magnitude = integer * kFractionUnit + fraction;
    return sign < 0 ? -magnitude : magnitude;
}
