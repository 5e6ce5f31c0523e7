// The full-width company name.
#include <gtest/gtest.h>

#include <string>

#include "report/full_width.h"
#include "tests/fakes/report_capture.h"

using fakes::Visible;

namespace {

struct WidthCase {
    const char* label;
    std::string source;
    std::string expected;
};

TEST(FullWidthName, MapsEachHalfWidthCharacter)
{
    const WidthCase cases[] = {
        {"backslash", "\\", "\x81\x5F"},
        {"tilde", "~", "\x81\x60"},
        {"blank", " ", "\x81\x40"},
        {"letters and digits", "Ab1", "\x82\x60\x82\x82\x82\x50"},
        {"double quote", "\"", "\xFA\x57"},
        {"apostrophe", "'", "\xFA\x56"},
        {"exclamation", "!", "\x81\x49"},
        {"ampersand", "&", "\x81\x95"},
        {"ka + voiced", "\xB6\xDE", "\x83\x4B"},            // ｶﾞ ガ
        {"ha + semi-voiced", "\xCA\xDF", "\x83\x70"},       // ﾊﾟ パ
        {"ha + voiced, first of its row", "\xCA\xDE", "\x83\x6F"},   // ﾊﾞ バ
        {"u + voiced", "\xB3\xDE", "\x83\x94"},             // ｳﾞ ヴ
        {"wa + voiced stays two", "\xDC\xDE", "\x83\x8F\x81\x4A"},   // ワ゛
        {"lone semi-voiced", "\xDF", "\x81\x4B"},           // ゜
        {"lone voiced", "\xDE", "\x81\x4A"},
        {"a + voiced stays two", "\xB1\xDE", "\x83\x41\x81\x4A"},
        {"ka + semi-voiced stays two", "\xB6\xDF", "\x83\x4A\x81\x4B"},
        {"small tsu", "\xAF", "\x83\x62"},
        {"long vowel", "\xB0", "\x81\x5B"},
        {"half-width period", "\xA1", "\x81\x42"},
        {"kanji kept", "\x8E\x52\x93\x63", "\x8E\x52\x93\x63"},             // 山田
        {"kanji with 5C trail kept", "\x95\x5C", "\x95\x5C"},             // 表
        {"control byte kept", "\x01", "\x01"},
        {"DEL kept", "\x7F", "\x7F"},
        {"0xA0 kept", "\xA0", "\xA0"},
        {"mixed", "ABC \xBC\xAE\xB3\xC3\xDD", "\x82\x60\x82\x61\x82\x62\x81\x40\x83\x56\x83\x87\x83\x45\x83\x65\x83\x93"},
        {"empty", "", ""},
    };
    for (const WidthCase& c : cases)
        EXPECT_EQ(Visible(c.expected), Visible(ToFullWidthName(c.source.c_str()))) << c.label;
}

TEST(FullWidthName, ThirtyHalfWidthCharactersAreNotCut)
{
    std::string source(30, 'A');
    std::string expected;
    for (int i = 0; i < 30; ++i) expected += "\x82\x60";
    EXPECT_EQ(expected, ToFullWidthName(source.c_str()));
}

TEST(FullWidthName, LongNamesAreCutToSixtyThreeBytesOnACharacterBoundary)
{
    // 31 half-width letters map to 62 bytes: within 63, not cut.
    std::string expected31;
    for (int i = 0; i < 31; ++i) expected31 += "\x82\x60";
    EXPECT_EQ(expected31, ToFullWidthName(std::string(31, 'A').c_str()));

    // 40 letters map to 80 bytes: 31 characters (62 bytes) fit in 63.
    EXPECT_EQ(expected31, ToFullWidthName(std::string(40, 'A').c_str()));

    // One half-width letter then full-width letters: 1 + 2n bytes fills 63 exactly.
    std::string mixed = "\x01";
    for (int i = 0; i < 40; ++i) mixed += "\x88\x9F";
    std::string cut = ToFullWidthName(mixed.c_str());
    EXPECT_EQ(63u, cut.size());
    EXPECT_EQ(mixed.substr(0, 63), cut);

    std::string kanji;
    for (int i = 0; i < 40; ++i) kanji += "\x88\x9F";
    EXPECT_EQ(kanji.substr(0, 62), ToFullWidthName(kanji.c_str()));

    std::string longest(255, 'z');
    EXPECT_EQ(62u, std::string(ToFullWidthName(longest.c_str())).size());
}

TEST(FullWidthName, NullGivesEmpty) { EXPECT_EQ("", ToFullWidthName(nullptr)); }

}  // namespace
