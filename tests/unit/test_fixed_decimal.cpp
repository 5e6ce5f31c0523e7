#include <gtest/gtest.h>

#include <string>

#include "store/fixed_decimal.h"

namespace {

struct RoundCase {
    int64_t raw;
    int mode;
    int position;
    int expectedResult;
    int64_t expectedRaw;
};

std::ostream& operator<<(std::ostream& os, const RoundCase& c)
{
    return os << "raw " << c.raw << " mode " << c.mode << " position " << c.position;
}

class RoundAtTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundAtTest, RoundsMagnitudeInPlace)
{
    const RoundCase& c = GetParam();
    ClFixedDecimal value(c.raw);
    EXPECT_EQ(c.expectedResult, value.RoundAt(c.mode, c.position));
    EXPECT_EQ(c.expectedRaw, value.Raw());
    EXPECT_LT(value.fraction, 10000u);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RoundAtTest,
    ::testing::Values(
        // Half up at every decimal position: 1.2345 and 1.2355.
        RoundCase{12345, 0, 1, 1, 10000}, RoundCase{15000, 0, 1, 1, 20000}, RoundCase{14999, 0, 1, 1, 10000},
        RoundCase{12345, 0, 2, 1, 12000}, RoundCase{12500, 0, 2, 1, 13000}, RoundCase{12345, 0, 3, 1, 12300},
        RoundCase{12355, 0, 3, 1, 12400}, RoundCase{12345, 0, 4, 1, 12350}, RoundCase{12344, 0, 4, 1, 12340},
        // Position 0 acts as 1.
        RoundCase{12345, 0, 0, 1, 10000}, RoundCase{15000, 0, 0, 1, 20000}, RoundCase{12345, 1, 0, 1, 20000},
        // Up at decimal positions; multiples stay.
        RoundCase{10001, 1, 1, 1, 20000}, RoundCase{10000, 1, 1, 1, 10000}, RoundCase{12301, 1, 3, 1, 12400},
        RoundCase{12300, 1, 3, 1, 12300}, RoundCase{12341, 1, 4, 1, 12350}, RoundCase{12001, 1, 2, 1, 13000},
        // Down at decimal positions.
        RoundCase{19999, 2, 1, 1, 10000}, RoundCase{19999, 2, 2, 1, 19000}, RoundCase{19999, 2, 3, 1, 19900},
        RoundCase{19999, 2, 4, 1, 19990},
        // Carries past 9999 into the integer.
        RoundCase{99999, 0, 4, 1, 100000}, RoundCase{99950, 0, 3, 1, 100000}, RoundCase{99991, 1, 4, 1, 100000},
        RoundCase{99500, 0, 2, 1, 100000}, RoundCase{9999, 1, 1, 1, 10000},
        // Half up at integer positions: the fraction is ignored and cleared.
        RoundCase{150000, 0, -1, 1, 200000}, RoundCase{149999, 0, -1, 1, 100000},
        RoundCase{12349999, 0, -2, 1, 12000000}, RoundCase{12500000, 0, -3, 1, 10000000},
        RoundCase{15000000, 0, -3, 1, 20000000}, RoundCase{999950000, 0, -1, 1, 1000000000},
        // Up at integer positions: an integer multiple with a fraction still goes up.
        RoundCase{10010000, 1, -3, 1, 20000000}, RoundCase{10000000, 1, -3, 1, 10000000},
        RoundCase{10000001, 1, -3, 1, 20000000}, RoundCase{1, 1, -1, 1, 100000},
        // Down at integer positions.
        RoundCase{19999999, 2, -3, 1, 10000000}, RoundCase{29999999, 2, -1, 1, 29900000},
        RoundCase{123456789012340000LL, 2, -12, 1, 120000000000000000LL},
        // Symmetric about zero.
        RoundCase{-15000, 0, 1, 1, -20000}, RoundCase{-14999, 0, 1, 1, -10000}, RoundCase{-10001, 1, 1, 1, -20000},
        RoundCase{-19999, 2, 1, 1, -10000}, RoundCase{-1990000, 2, -2, 1, -1000000},
        RoundCase{-1990000, 0, -2, 1, -2000000}, RoundCase{-123456, 0, 3, 1, -123500},
        // Out of range: 0, value unchanged.
        RoundCase{12345, 0, 5, 0, 12345}, RoundCase{12345, 0, -13, 0, 12345}, RoundCase{12345, 3, 1, 0, 12345},
        RoundCase{12345, -1, 1, 0, 12345}));

TEST(FixedDecimalTest, WorkedExamples)
{
    ClFixedDecimal a(int64_t{123456});
    EXPECT_STREQ("12.35", a.ToText(2, 0));

    ClFixedDecimal b(int64_t{10010000});
    EXPECT_EQ(1, b.RoundAt(1, -3));
    EXPECT_STREQ("2000", b.ToText(0, 2));

    ClFixedDecimal c(int64_t{-1990000});
    EXPECT_EQ(1, c.RoundAt(2, -2));
    EXPECT_STREQ("-100", c.ToText(0, 2));
}

TEST(FixedDecimalTest, OverflowLeavesValueUnchanged)
{
    ClFixedDecimal value;
    value.integer = 999999999999999999LL;
    value.fraction = 5000;
    EXPECT_EQ(0, value.RoundAt(0, 1));
    EXPECT_EQ(999999999999999999LL, value.integer);
    EXPECT_EQ(5000u, value.fraction);
    EXPECT_EQ(0, value.RoundAt(0, -1));
    EXPECT_EQ(0, value.RoundAt(1, -12));
    EXPECT_EQ(999999999999999999LL, value.integer);
    // Rounding down never grows the value.
    EXPECT_EQ(1, value.RoundAt(2, 1));
    EXPECT_EQ(0u, value.fraction);
    // No text for a value that could not be rounded.
    value.fraction = 9999;
    EXPECT_EQ(nullptr, value.ToText(0, 0));
    EXPECT_EQ(9999u, value.fraction);
    EXPECT_STREQ("999999999999999999.9999", value.ToText(4, 0));
}

struct TextCase {
    int64_t raw;
    int decimals;
    int mode;
    const char* expected;   // nullptr: no text
};

class ToTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ToTextTest, RendersAfterRounding)
{
    const TextCase& c = GetParam();
    ClFixedDecimal value(c.raw);
    const char* text = value.ToText(c.decimals, c.mode);
    if (c.expected == nullptr) {
        EXPECT_EQ(nullptr, text) << "raw " << c.raw;
    } else {
        ASSERT_NE(nullptr, text) << "raw " << c.raw;
        EXPECT_EQ(std::string(c.expected), std::string(text)) << "raw " << c.raw << " decimals " << c.decimals;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ToTextTest,
    ::testing::Values(TextCase{0, 0, 0, "0"}, TextCase{0, 2, 0, "0.00"}, TextCase{123450, 2, 0, "12.35"},
                      TextCase{-40, 2, 0, "0.00"}, TextCase{-4999, 0, 0, "0"}, TextCase{-5000, 0, 0, "-1"},
                      TextCase{12345000, 0, 0, "1235"}, TextCase{12344999, 0, 0, "1234"},
                      TextCase{1234567, 2, 0, "123.46"}, TextCase{1234567, 4, 0, "123.4567"},
                      TextCase{1234567, 3, 0, "123.457"}, TextCase{1234567, 1, 0, "123.5"},
                      TextCase{1234567, 1, 1, "123.5"}, TextCase{1234567, 1, 2, "123.4"},
                      TextCase{1234567, 2, 7, "123.45"},   // bad mode: no rounding, digits cut
                      TextCase{99999, 2, 0, "10.00"}, TextCase{-99999, 3, 0, "-10.000"},
                      TextCase{-1234567, 2, 0, "-123.46"}, TextCase{1234567, 5, 0, nullptr},
                      TextCase{1234567, -2, 0, "120"}, TextCase{-922337203685477580LL, 0, 0, "-92233720368548"},
                      TextCase{INT64_MIN, 4, 0, "-922337203685477.5808"},
                      TextCase{INT64_MAX, 0, 2, "922337203685477"}));

TEST(FixedDecimalTest, ConstructionAndCopy)
{
    ClFixedDecimal carried(5, 12345);
    EXPECT_EQ(6, carried.integer);
    EXPECT_EQ(2345u, carried.fraction);
    EXPECT_EQ(1, carried.sign);

    ClFixedDecimal negative(-3, 2500);
    EXPECT_EQ(3, negative.integer);
    EXPECT_EQ(-1, negative.sign);
    EXPECT_EQ(-32500, negative.Raw());

    ClFixedDecimal copy(negative);
    EXPECT_EQ(-32500, copy.Raw());
    ClFixedDecimal assigned;
    assigned = carried;
    EXPECT_EQ(62345, assigned.Raw());
    EXPECT_EQ(0, ClFixedDecimal().Raw());
}

struct ArithmeticCase {
    int64_t a;
    int64_t b;
};

class ArithmeticTest : public ::testing::TestWithParam<ArithmeticCase> {};

TEST_P(ArithmeticTest, AgreesWithRawValues)
{
    const ArithmeticCase& c = GetParam();
    ClFixedDecimal a(c.a), b(c.b), result(int64_t{777});
    ClFixedDecimal::Subtract(result, a, b);
    EXPECT_EQ(c.a - c.b, result.Raw()) << c.a << " - " << c.b;
    EXPECT_LT(result.fraction, 10000u);
    EXPECT_EQ(c.a < c.b ? 1 : 0, ClFixedDecimal::IsLess(a, b)) << c.a << " < " << c.b;
    EXPECT_EQ(c.a > c.b ? 1 : 0, ClFixedDecimal::IsGreater(a, b)) << c.a << " > " << c.b;
}

INSTANTIATE_TEST_SUITE_P(Pairs, ArithmeticTest,
                         ::testing::Values(ArithmeticCase{6500000000, 5000000000}, ArithmeticCase{5000000000, 6500000000},
                                           ArithmeticCase{0, 0}, ArithmeticCase{10000, 10000}, ArithmeticCase{-1, 1},
                                           ArithmeticCase{1, -1}, ArithmeticCase{-25000, -5001},
                                           ArithmeticCase{-5001, -25000}, ArithmeticCase{15000, 5001},
                                           ArithmeticCase{5001, 15000}, ArithmeticCase{-9999, 9999},
                                           ArithmeticCase{123456789, -987654321}, ArithmeticCase{0, -1},
                                           ArithmeticCase{-1, 0}));

TEST(FixedDecimalTest, NegativeZeroComparesEqualToZero)
{
    ClFixedDecimal minusZero(int64_t{-40});
    ASSERT_EQ(1, minusZero.RoundAt(0, 1));
    EXPECT_EQ(-1, minusZero.sign);   // the sign is only normalised by ToText
    ClFixedDecimal zero;
    EXPECT_EQ(0, ClFixedDecimal::IsLess(minusZero, zero));
    EXPECT_EQ(0, ClFixedDecimal::IsGreater(zero, minusZero));
    EXPECT_STREQ("0", minusZero.ToText(0, 0));
    EXPECT_EQ(1, minusZero.sign);
}

}  // namespace
