#include "report/value_text.h"

#include <cstring>

#include "store/fixed_decimal.h"

namespace {

constexpr char kPairs[] =
    "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546474849"
    "5051525354555657585960616263646566676869707172737475767778798081828384858687888990919293949596979899";

// The digits of magnitude written backwards from end, two digits a division.
void DigitsBefore(uint64_t magnitude, char* end)
{
    while (magnitude >= 100) {
        const unsigned pair = static_cast<unsigned>(magnitude % 100) * 2;
        magnitude /= 100;
        *--end = kPairs[pair + 1];
        *--end = kPairs[pair];
    }
    if (magnitude >= 10) {
        const unsigned pair = static_cast<unsigned>(magnitude) * 2;
        *--end = kPairs[pair + 1];
        *--end = kPairs[pair];
    } else {
        *--end = static_cast<char>('0' + magnitude);
    }
}

// Digits of a magnitude below 10^8.
inline std::size_t DigitsBelow1e8(uint32_t v)
{
    if (v < 10000) return v < 100 ? (v < 10 ? 1 : 2) : (v < 1000 ? 3 : 4);
    return v < 1000000 ? (v < 100000 ? 5 : 6) : (v < 10000000 ? 7 : 8);
}

// Decimal text of value with a leading '-' when negative, as "%lld" writes it, and its
// length; used for every number of the report, so it avoids the formatted-output
// machinery.
std::size_t WriteDecimal(int64_t value, char* out)
{
    // The magnitude as unsigned, so that the most negative value has one too.
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const std::size_t sign = value < 0 ? 1 : 0;
    if (sign) out[0] = '-';
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (magnitude < 100000000) {
        // Nearly every number of a report: its eight digits worked out side by side, one
        // a byte, and stored at once. Digits stored a pair at a time and read back by
        // the line's wider copy stalled the processor on every number.
        const uint32_t v = static_cast<uint32_t>(magnitude);
        const std::size_t digits = DigitsBelow1e8(v);
        uint64_t x = v / 10000 | static_cast<uint64_t>(v % 10000) << 32;   // abcd, efgh
        const uint64_t hundreds = (x * 10486 >> 20) & 0x0000007F0000007FULL;  // ab, ef
        x = (x - hundreds * 100) << 16 | hundreds;                         // ab, cd, ef, gh
        const uint64_t tens = (x * 103 >> 10) & 0x000F000F000F000FULL;     // a, c, e, g
        x = (x - tens * 10) << 8 | tens;                                    // a, b, ..., h
        // The leading zeros drop out at the low end, which is the first in memory;
        // what shifts in at the top ends the text.
        const uint64_t text = (x + 0x3030303030303030ULL) >> (8 * (8 - digits));
        std::memcpy(out + sign, &text, sizeof text);
        out[sign + digits] = '\0';
        return sign + digits;
    }
#endif
    std::size_t digits = 1;
    for (uint64_t rest = magnitude; rest >= 10; rest /= 10) ++digits;
    char* const end = out + sign + digits;
    DigitsBefore(magnitude, end);
    *end = '\0';
    return sign + digits;
}

}  // namespace

std::size_t FormatAmount(int64_t value, char* out)
{
    int64_t yen = value / 10000;  // truncates toward zero: fractions of a yen are never written
    if (yen == 0) {
        out[0] = '\0';
        return 0;
    }
    return WriteDecimal(yen, out);
}

std::size_t FormatInteger(int32_t value, char* out)
{
    if (value == 0) {
        out[0] = '\0';
        return 0;
    }
    return WriteDecimal(value, out);
}

std::size_t FormatRowNumber(int32_t row, char* out) { return WriteDecimal(row, out); }

std::size_t FormatNumber(int32_t value, char* out) { return WriteDecimal(value, out); }

void FormatFixedPoint(int64_t value, char* out, std::size_t size, int decimals)
{
    if (!out || decimals < 0 || decimals > 4) return;
    ClFixedDecimal number(value);
    const char* text = number.ToText(decimals, ClFixedDecimal::kRoundHalfUp);
    if (!text) return;
    std::size_t length = std::strlen(text);
    if (length < size) std::memcpy(out, text, length + 1);
}
