// The value texts of the report: amounts, integers, numbers, fixed point, cut texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "report/value_text.h"
#include "report/xml_writer.h"

namespace {

struct AmountCase {
    int64_t value;
    const char* text;
};

TEST(ValueText, AmountTruncatesTowardZero)
{
    const AmountCase cases[] = {
        {-15000, "-1"}, {9999, ""}, {10000, "1"}, {5000, ""}, {-9999, ""}, {-10000, "-1"}, {0, ""},
        {99999, "9"}, {123456780000, "12345678"}, {INT64_MIN, "-922337203685477"},
        {INT64_MAX, "922337203685477"},
    };
    for (const AmountCase& c : cases) {
        char out[kValueTextSize] = "junk";
        FormatAmount(c.value, out);
        EXPECT_STREQ(c.text, out) << c.value;
    }
}

// Every count of digits, each side of its boundary, and a spread of mixed digits and
// signs: the text and its returned length agree with the formatted output's.
TEST(ValueText, NumbersMatchFormattedOutput)
{
    std::vector<int64_t> values = {1, 7, 10203040, 98765432, 90000009};
    for (int64_t power = 10; power <= INT64_MAX / 10; power *= 10)
        for (int64_t v : {power - 1, power, power + 1}) values.push_back(v);
    values.push_back(INT64_MAX);
    uint32_t seed = 12345;
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1103515245u + 12345u;
        values.push_back(static_cast<int64_t>(seed >> (seed % 24)));
    }
    for (int64_t v : values) {
        for (int64_t signed_ : {v, -v}) {
            char expected[kValueTextSize];
            std::snprintf(expected, sizeof expected, "%lld", static_cast<long long>(signed_));
            char out[kValueTextSize];
            std::memset(out, 'Z', sizeof out);
            // An amount's yen are its value over 10000.
            if (signed_ <= INT64_MAX / 10000 && signed_ >= INT64_MIN / 10000) {
                EXPECT_EQ(std::strlen(expected), FormatAmount(signed_ * 10000, out)) << signed_;
                EXPECT_STREQ(expected, out) << signed_;
            }
            if (signed_ >= INT32_MIN && signed_ <= INT32_MAX) {
                std::memset(out, 'Z', sizeof out);
                EXPECT_EQ(std::strlen(expected), FormatNumber(static_cast<int32_t>(signed_), out)) << signed_;
                EXPECT_STREQ(expected, out) << signed_;
            }
        }
    }
}

TEST(ValueText, IntegerIsEmptyAtZero)
{
    char out[kValueTextSize];
    FormatInteger(0, out);
    EXPECT_STREQ("", out);
    FormatInteger(-5, out);
    EXPECT_STREQ("-5", out);
    FormatInteger(20190630, out);
    EXPECT_STREQ("20190630", out);
    FormatInteger(INT32_MIN, out);
    EXPECT_STREQ("-2147483648", out);
}

TEST(ValueText, RowNumberAndNumberAreNeverEmpty)
{
    char out[kValueTextSize];
    FormatRowNumber(1, out);
    EXPECT_STREQ("1", out);
    FormatRowNumber(9999, out);
    EXPECT_STREQ("9999", out);
    FormatNumber(0, out);
    EXPECT_STREQ("0", out);
    FormatNumber(-1, out);
    EXPECT_STREQ("-1", out);
}

struct FixedCase {
    int64_t value;
    int decimals;
    const char* text;
};

TEST(ValueText, FixedPointRoundsHalfUp)
{
    const FixedCase cases[] = {
        {123450, 2, "12.35"}, {-40, 2, "0.00"}, {450050, 2, "45.01"}, {450049, 2, "45.00"},
        {99995, 2, "10.00"},  {-99995, 2, "-10.00"}, {5000, 0, "1"}, {4999, 0, "0"},
        {12345, 4, "1.2345"}, {12345, 3, "1.235"}, {12345, 1, "1.2"}, {-123450, 2, "-12.35"},
        {0, 2, "0.00"},
    };
    for (const FixedCase& c : cases) {
        char out[kValueTextSize] = "";
        FormatFixedPoint(c.value, out, sizeof out, c.decimals);
        EXPECT_STREQ(c.text, out) << c.value << " d" << c.decimals;
    }
}

TEST(ValueText, FixedPointLeavesATooSmallDestinationAlone)
{
    char out[5] = "abc";
    FormatFixedPoint(123450, out, sizeof out, 2);   // "12.35" needs 6 bytes
    EXPECT_STREQ("abc", out);
    char fits[6] = "abc";
    FormatFixedPoint(123450, fits, sizeof fits, 2);
    EXPECT_STREQ("12.35", fits);
    FormatFixedPoint(123450, fits, sizeof fits, 5);   // no such rounding
    EXPECT_STREQ("12.35", fits);
}

struct CutCase {
    const char* label;
    std::string source;
    std::size_t limit;
    std::string expected;
};

TEST(ValueText, CutTextKeepsDoubleByteCharactersWhole)
{
    const CutCase cases[] = {
        {"shorter", "abc", 10, "abc"},
        {"exactly the limit", "0123456789", 10, "0123456789"},
        {"single bytes cut", "0123456789AB", 10, "0123456789"},
        // Byte 9 (limit - 1) starts 表 (95 5C) whose trail is at byte 10.
        {"lead at limit-1", "012345678\x95\x5C", 10, "012345678"},
        {"character ends at limit", "01234567\x95\x5C" "a", 10, "01234567\x95\x5C"},
        // 亜亜亜亜亜 (88 9F x5): byte 9 is a trail that looks like a lead (9F).
        {"trail in lead range", "\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F", 10,
         "\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F"},
        {"trail in lead range, odd limit", "\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F", 9,
         "\x88\x9F\x88\x9F\x88\x9F\x88\x9F"},
        // A 21-byte use text cut to 12: half-width kana are single bytes.
        {"use text 21 bytes", "\xB1\xDF\xB0\xC4\x20\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88", 12,
         "\xB1\xDF\xB0\xC4\x20\x88\x9F\x88\x9F\x88\x9F"},
    };
    for (const CutCase& c : cases) EXPECT_EQ(c.expected, ClXmlWriter::Escape(c.source.c_str(), c.limit)) << c.label;
}

}  // namespace
