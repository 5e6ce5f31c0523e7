#include "common/cp932.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace cp932 {
namespace {
#include "common/cp932_table.inc"
#include "common/cp932_bestfit.inc"

constexpr char16_t kDefaultWide = 0x30FB;  // what Windows puts for an undecodable byte

template <std::size_t N>
const unsigned int* FindPair(const unsigned int (&table)[N][2], unsigned key)
{
    auto it = std::lower_bound(std::begin(table), std::end(table), key,
                               [](const unsigned int(&row)[2], unsigned k) { return row[0] < k; });
    if (it == std::end(table) || (*it)[0] != key) return nullptr;
    return *it;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendEncoded(std::string& out, char32_t cp, bool& ok, bool bestFit = false)
{
    unsigned code = EncodeCodePoint(cp);
    if (code == 0 && bestFit) code = BestFitCodePoint(cp);
    if (code == 0 && cp != 0) {
        out += '?';
        ok = false;
    } else if (code > 0xFF) {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    } else {
        out += static_cast<char>(code);
    }
}
}  // namespace

bool IsTrailAt(std::string_view text, std::size_t pos)
{
    std::size_t i = 0;
    while (i < pos) i += CharLengthAt(text, i);
    return i > pos;
}

bool IsLeadAt(std::string_view text, std::size_t pos)
{
    if (pos >= text.size() || IsTrailAt(text, pos)) return false;
    return CharLengthAt(text, pos) == 2;
}

namespace {
constexpr MappedPairTable MakeMappedPairTable()
{
    MappedPairTable table{};
    for (const auto& row : kDoubleToUnicode) table.bits[(row[0] >> 6) & 1023] |= std::uint64_t{1} << (row[0] & 63);
    return table;
}
}  // namespace

// Computed by the compiler from the conversion table itself.
constexpr MappedPairTable kMappedPairs = MakeMappedPairTable();

unsigned EncodeCodePoint(char32_t cp)
{
    if (cp > 0xFFFF) return 0;
    const unsigned int* row = FindPair(kUnicodeToCp932, static_cast<unsigned>(cp));
    return row ? row[1] : 0;
}

unsigned BestFitCodePoint(char32_t cp)
{
    if (cp > 0xFFFF) return 0;
    const unsigned int* row = FindPair(kBestFit, static_cast<unsigned>(cp));
    return row ? row[1] : 0;
}

std::u16string ToUtf16(std::string_view text, bool* lossless)
{
    std::u16string out;
    out.reserve(text.size());
    bool ok = true;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(b)) {
            if (i + 1 < text.size()) {
                unsigned code = (b << 8) | static_cast<unsigned char>(text[i + 1]);
                if (const unsigned int* row = FindPair(kDoubleToUnicode, code)) {
                    out += static_cast<char16_t>(row[1]);
                    i += 2;
                    continue;
                }
                if (IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
                    out += kDefaultWide;
                    ok = false;
                    i += 2;
                    continue;
                }
            }
            out += kDefaultWide;
            ok = false;
            ++i;
            continue;
        }
        unsigned short u = kSingleToUnicode[b];
        if (u == 0xFFFF) {
            out += kDefaultWide;
            ok = false;
        } else {
            out += static_cast<char16_t>(u);
        }
        ++i;
    }
    if (lossless) *lossless = ok;
    return out;
}

std::string FromUtf16(std::u16string_view text, bool* lossless)
{
    std::string out;
    out.reserve(text.size() * 2);
    bool ok = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendEncoded(out, cp, ok);
    }
    if (lossless) *lossless = ok;
    return out;
}

namespace {
std::string FromUtf8With(std::string_view text, bool* lossless, bool bestFit)
{
    std::string out;
    out.reserve(text.size());
    bool ok = true;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t cp = 0;
        std::size_t n = 0;
        if (b < 0x80) { cp = b; n = 1; }
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; n = 2; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; n = 3; }
        else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; n = 4; }
        bool valid = n > 0 && i + n <= text.size();
        for (std::size_t k = 1; valid && k < n; ++k) {
            unsigned char c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) valid = false;
            else cp = (cp << 6) | (c & 0x3F);
        }
        if (!valid) {
            out += '?';
            ok = false;
            ++i;
            continue;
        }
        AppendEncoded(out, cp, ok, bestFit);
        i += n;
    }
    if (lossless) *lossless = ok;
    return out;
}
}  // namespace

std::string FromUtf8(std::string_view text, bool* lossless) { return FromUtf8With(text, lossless, false); }

std::string FromUtf8BestFit(std::string_view text, bool* lossless) { return FromUtf8With(text, lossless, true); }

std::string ToUtf8(std::string_view text, bool* lossless)
{
    std::u16string wide = ToUtf16(text, lossless);
    std::string out;
    out.reserve(wide.size() * 3);
    for (char16_t c : wide) AppendUtf8(out, c);
    return out;
}

}  // namespace cp932
