// Code page 932 (Shift_JIS as Windows has it): the one lead/trail classification of
// the program, and the conversions to and from Unicode used at the edges (host data
// files, the Win32 wide-character calls). Everything inside the program stays CP932.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cp932 {

inline bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Bytes of the character that starts at pos: 2 for a lead byte followed by a valid
// trail byte inside the text, else 1 (a stray lead byte counts as one character).
inline std::size_t CharLengthAt(std::string_view text, std::size_t pos)
{
    if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) &&
        IsTrailByte(static_cast<unsigned char>(text[pos + 1])))
        return 2;
    return 1;
}

// True when the byte at pos is the second byte of a two-byte character, walking
// from the start of the text (as _ismbstrail does).
bool IsTrailAt(std::string_view text, std::size_t pos);

// True when the byte at pos starts a two-byte character whose trail is at pos + 1.
bool IsLeadAt(std::string_view text, std::size_t pos);

// One bit per two-byte code that the conversion table maps.
struct MappedPairTable {
    std::uint64_t bits[1024];
};
extern const MappedPairTable kMappedPairs;

// True when lead and trail form a character that code page 932 defines (ToUtf16 would
// convert it losslessly). Allocates nothing: for scans that run over every character.
inline bool IsMappedPair(unsigned char lead, unsigned char trail)
{
    const unsigned code = (static_cast<unsigned>(lead) << 8) | trail;
    return (kMappedPairs.bits[code >> 6] >> (code & 63)) & 1;
}

// Conversions. Characters without a mapping become '?' / U+30FB as Windows does
// with its default characters; *lossless (when given) tells whether that happened.
std::u16string ToUtf16(std::string_view cp932Text, bool* lossless = nullptr);
std::string FromUtf16(std::u16string_view utf16Text, bool* lossless = nullptr);
std::string FromUtf8(std::string_view utf8Text, bool* lossless = nullptr);
std::string ToUtf8(std::string_view cp932Text, bool* lossless = nullptr);

// One code point to its CP932 bytes; 0 when it has none. Two-byte codes come back
// as (lead << 8) | trail.
unsigned EncodeCodePoint(char32_t cp);

// What Windows writes for a code point that code page 932 lacks but best-fits (é as
// 'e', ¥ as 5C); 0 when Windows writes its default character instead. For data meant
// to arrive as Windows would convert it, never for paths: ¥ would become a backslash.
unsigned BestFitCodePoint(char32_t cp);
// FromUtf8, with Windows' best fit for characters that have no exact mapping.
std::string FromUtf8BestFit(std::string_view utf8Text, bool* lossless = nullptr);

}  // namespace cp932
