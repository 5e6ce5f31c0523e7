// The portable full-width mapping of company names agrees with Windows' own mapping
// (LCMapStringW with LCMAP_FULLWIDTH, then code page 932) for every single-byte
// character and every half-width kana followed by a voiced or semi-voiced mark.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "report/full_width.h"
#include "tests/fakes/byte_text.h"

namespace {

using fakes::HexBytes;

// What the system gives: decode as code page 932, map to full width under the system
// default locale, encode as code page 932 again.
std::string SystemFullWidth(const std::string& cp932)
{
    wchar_t wide[64];
    int n = ::MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), wide, 64);
    if (n <= 0) return "(decode failed)";
    wchar_t mapped[128];
    int m = ::LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, wide, n, mapped, 128);
    if (m <= 0) return "(map failed)";
    // Windows writes an unpaired mark as the spacing ゛ or ゜; Wine writes the
    // combining U+3099 or U+309A, which code page 932 lacks. Take Windows' form. And
    // code page 932 has no ヷ or ヺ: ﾜﾞ and ｦﾞ stay kana and mark, as the program
    // writes every pair that has no one character in code page 932.
    wchar_t windows[256];
    int w = 0;
    for (int i = 0; i < m; ++i) {
        wchar_t c = mapped[i];
        if (c == 0x3099) c = 0x309B;
        if (c == 0x309A) c = 0x309C;
        if (c == 0x30F7 || c == 0x30FA) {
            windows[w++] = c == 0x30F7 ? 0x30EF : 0x30F2;
            c = 0x309B;
        }
        windows[w++] = c;
    }
    char out[256];
    int k = ::WideCharToMultiByte(932, 0, windows, w, out, sizeof out, nullptr, nullptr);
    if (k <= 0) return "(encode failed)";
    return std::string(out, static_cast<std::size_t>(k));
}

// Where Wine's mapping differs from Windows', the bytes Windows gives are pinned.
bool Pinned(const std::string& source, std::string* expected)
{
    if (source == "\\") {            // Windows maps the backslash to ＼
        *expected = "\x81\x5F";
        return true;
    }
    return false;
}

void ExpectSameAsSystem(const std::string& source)
{
    std::string expected;
    if (!Pinned(source, &expected)) expected = SystemFullWidth(source);
    EXPECT_EQ(HexBytes(expected), HexBytes(ToFullWidthName(source.c_str()))) << "source " << HexBytes(source);
}

TEST(FullWidthWin32, EverySingleByteCharacter)
{
    for (int b = 0x20; b <= 0x7E; ++b) ExpectSameAsSystem(std::string(1, static_cast<char>(b)));
    for (int b = 0xA1; b <= 0xDF; ++b) ExpectSameAsSystem(std::string(1, static_cast<char>(b)));
}

TEST(FullWidthWin32, EveryKanaWithAMark)
{
    for (int kana = 0xA6; kana <= 0xDD; ++kana) {
        for (int mark : {0xDE, 0xDF}) {
            std::string source{static_cast<char>(kana), static_cast<char>(mark)};
            ExpectSameAsSystem(source);
        }
    }
}

TEST(FullWidthWin32, PinnedCases)
{
    // The cases the issue names, whatever the system does.
    EXPECT_EQ("81 5F", HexBytes(ToFullWidthName("\\")));
    EXPECT_EQ("81 4B", HexBytes(ToFullWidthName("\xDF")));
    EXPECT_EQ("81 4A", HexBytes(ToFullWidthName("\xDE")));
    EXPECT_EQ("83 4B", HexBytes(ToFullWidthName("\xB6\xDE")));
    EXPECT_EQ("83 70", HexBytes(ToFullWidthName("\xCA\xDF")));
    EXPECT_EQ("83 94", HexBytes(ToFullWidthName("\xB3\xDE")));
    EXPECT_EQ("83 8F 81 4A", HexBytes(ToFullWidthName("\xDC\xDE")));
    EXPECT_EQ("FA 57", HexBytes(ToFullWidthName("\"")));
    EXPECT_EQ("FA 56", HexBytes(ToFullWidthName("'")));
    // The comparisons above are only meaningful if the system converts code page 932.
    EXPECT_EQ("82 60", HexBytes(SystemFullWidth("A")));
}

}  // namespace
