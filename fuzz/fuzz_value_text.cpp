// Value texts at any 64- and 32-bit value: amount text (truncated toward zero, empty
// for 0), integer, row number and number texts, and the fixed-point text against a
// 128-bit reference of its rounding.
#include <cinttypes>
#include <cstring>

#include "fuzz_support.h"
#include "report/value_text.h"

namespace {

std::string Decimal(unsigned __int128 v)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return digits;
}

std::string ExpectedFixed(int64_t value, int decimals)
{
    const bool negative = value < 0;
    unsigned __int128 magnitude = negative ? -static_cast<__int128>(value) : static_cast<__int128>(value);
    unsigned __int128 unit = 1;
    for (int i = decimals; i < 4; ++i) unit *= 10;
    const unsigned __int128 rounded = (magnitude + unit / 2) / unit;   // half up on the magnitude
    unsigned __int128 scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    std::string text = (negative && rounded != 0 ? "-" : "") + Decimal(rounded / scale);
    if (decimals > 0) {
        std::string fraction = Decimal(rounded % scale);
        text += "." + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const int64_t value = in.Wide();
    const int32_t small = static_cast<int32_t>(in.Number());
    const int decimals = in.Byte() % 6;          // 5 is out of range
    const std::size_t bufferSize = in.Byte() % 40;

    char text[kValueTextSize + 8];
    std::memset(text, 0x5A, sizeof text);
    FormatAmount(value, text);
    const int64_t yen = value / 10000;
    FUZZ_CHECK(std::string(text) == (yen == 0 ? std::string() : std::to_string(yen)), "amount text");

    FormatInteger(small, text);
    FUZZ_CHECK(std::string(text) == (small == 0 ? std::string() : std::to_string(small)), "integer text");
    FormatRowNumber(small, text);
    FUZZ_CHECK(std::string(text) == std::to_string(small), "row number text");
    FormatNumber(small, text);
    FUZZ_CHECK(std::string(text) == std::to_string(small), "number text");

    char fixed[48];
    std::memset(fixed, 0x5A, sizeof fixed);
    fixed[0] = '\0';
    FormatFixedPoint(value, fixed, bufferSize, decimals);
    for (std::size_t i = bufferSize; i < sizeof fixed; ++i)
        FUZZ_CHECK(fixed[i] == '\x5A' || i == 0, "fixed-point text wrote past its destination");
    if (decimals > 4) {
        FUZZ_CHECK(fixed[0] == '\0', "fixed-point text for more than 4 decimals");
        return 0;
    }
    const std::string expected = ExpectedFixed(value, decimals);
    if (expected.size() < bufferSize)
        FUZZ_CHECK(std::string(fixed) == expected, "fixed-point text");
    else
        FUZZ_CHECK(fixed[0] == '\0', "fixed-point text copied into a destination too small");
    return 0;
}
