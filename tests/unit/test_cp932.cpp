#include <gtest/gtest.h>

#include <string>

#include "app/edition.h"
#include "common/cp932.h"
#include "common/program_texts.h"
#include "tests/fakes/byte_text.h"

namespace {

using fakes::HexBytes;

// The program's texts carry their own bytes; the tests' literals need the build's flags.
TEST(SourceCharset, ProgramTextsAndTestLiteralsAreCp932)
{
    EXPECT_EQ(HexBytes(texts::kCaption), "8F 8A 93 BE 90 C5");
    EXPECT_EQ(HexBytes(texts::kCaption), HexBytes("所得税"));
    EXPECT_EQ(HexBytes(texts::kPeriodFormat), HexBytes(" %04d/%02d/%02d～%04d/%02d/%02d"));
    EXPECT_EQ(HexBytes(texts::kProductVersionTag), "5B 3D 90 BB 95 69 CA DE B0 BC DE AE DD 3D 5D");
    EXPECT_EQ(HexBytes(texts::kCancelFormat), HexBytes("｢%s｣の集計を中止します。"));
    EXPECT_EQ(HexBytes(ProEdition().defaultProgramName), "4C 65 64 67 72 61 82 51 82 4F 20 50 52 4F");
}

struct EncodeCase {
    const char* utf8;
    const char* cp932Hex;
};

class Utf8ToCp932 : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Utf8ToCp932, EncodesAsWindowsDoes)
{
    bool lossless = false;
    std::string bytes = cp932::FromUtf8(GetParam().utf8, &lossless);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(HexBytes(bytes), GetParam().cp932Hex);
    EXPECT_EQ(cp932::ToUtf8(bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Table, Utf8ToCp932,
                         ::testing::Values(EncodeCase{u8"\uFF5E", "81 60"},       // full-width tilde
                                           EncodeCase{u8"\uFF02", "FA 57"},       // full-width quotation mark
                                           EncodeCase{u8"\uFF07", "FA 56"},       // full-width apostrophe
                                           EncodeCase{u8"\u2160", "87 54"},       // roman numeral one: NEC row 13
                                           EncodeCase{u8"\uFFE2", "81 CA"},       // not sign: JIS X 0208
                                           EncodeCase{u8"表", "95 5C"},
                                           EncodeCase{u8"ｶﾞ", "B6 DE"},
                                           EncodeCase{u8"a\\~", "61 5C 7E"}));

TEST(Cp932Classification, TrailByteBackslashIsNotASeparator)
{
    const std::string text = "C:\\\x95\x5C\\";  // C:\表\  (95 5C is one character)
    EXPECT_FALSE(cp932::IsTrailAt(text, 2));
    EXPECT_TRUE(cp932::IsLeadAt(text, 3));
    EXPECT_TRUE(cp932::IsTrailAt(text, 4));
    EXPECT_FALSE(cp932::IsTrailAt(text, 5));
}

TEST(Cp932Classification, StrayLeadByteCountsAsOneCharacter)
{
    const std::string text = "\x83";
    EXPECT_EQ(cp932::CharLengthAt(text, 0), 1u);
    bool lossless = true;
    cp932::ToUtf16(text, &lossless);
    EXPECT_FALSE(lossless);
}

}  // namespace
