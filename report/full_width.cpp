#include "report/full_width.h"

#include <cstring>
#include <string_view>

#include "common/cp932.h"

namespace {

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

// Full-width code point of each half-width katakana and mark, 0xA1 to 0xDF.
const char16_t kKanaFull[0xDF - 0xA1 + 1] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3,  // A1-A8 ｡｢｣､･ｦｧｨ
    0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC,  // A9-B0 ｩｪｫｬｭｮｯｰ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF,  // B1-B8 ｱｲｳｴｵｶｷｸ
    0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF,  // B9-C0 ｹｺｻｼｽｾｿﾀ
    0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD,  // C1-C8 ﾁﾂﾃﾄﾅﾆﾇﾈ
    0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF,  // C9-D0 ﾉﾊﾋﾌﾍﾎﾏﾐ
    0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA,  // D1-D8 ﾑﾒﾓﾔﾕﾖﾗﾘ
    0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,          // D9-DF ﾙﾚﾛﾜﾝﾞﾟ
};

// The one combined kana of a half-width kana and a mark; 0 when Unicode has none.
char32_t Combined(unsigned char kana, unsigned char mark)
{
    if (mark == kVoicedMark) {
        if (kana == 0xB3) return 0x30F4;                      // ｳﾞ ヴ
        if (kana >= 0xB6 && kana <= 0xC4) return kKanaFull[kana - 0xA1] + 1;  // ｶﾞ to ﾄﾞ
        if (kana >= 0xCA && kana <= 0xCE) return kKanaFull[kana - 0xA1] + 1;  // ﾊﾞ to ﾎﾞ
        if (kana == 0xDC) return 0x30F7;                      // ﾜﾞ ヷ
        if (kana == 0xA6) return 0x30FA;                      // ｦﾞ ヺ
    } else if (mark == kSemiVoicedMark) {
        if (kana >= 0xCA && kana <= 0xCE) return kKanaFull[kana - 0xA1] + 2;  // ﾊﾟ to ﾎﾟ
    }
    return 0;
}

bool Encode(char32_t cp, unsigned char out[2], std::size_t* outBytes)
{
    unsigned code = cp932::EncodeCodePoint(cp);
    if (code == 0) return false;
    if (code > 0xFF) {
        out[0] = static_cast<unsigned char>(code >> 8);
        out[1] = static_cast<unsigned char>(code & 0xFF);
        *outBytes = 2;
    } else {
        out[0] = static_cast<unsigned char>(code);
        *outBytes = 1;
    }
    return true;
}

}  // namespace

std::size_t FullWidthOf(const unsigned char* text, std::size_t available, unsigned char out[2],
                        std::size_t* outBytes)
{
    if (available == 0) return 0;
    unsigned char b = text[0];
    if (b == 0x20) return Encode(0x3000, out, outBytes) ? 1 : 0;
    if (b >= 0x21 && b <= 0x7E) return Encode(0xFF01 + (b - 0x21), out, outBytes) ? 1 : 0;
    if (b >= 0xA1 && b <= 0xDF) {
        // A kana and a following mark become one kana only where code page 932 has it.
        if (available >= 2) {
            char32_t combined = Combined(b, text[1]);
            if (combined && Encode(combined, out, outBytes)) return 2;
        }
        return Encode(kKanaFull[b - 0xA1], out, outBytes) ? 1 : 0;
    }
    return 0;
}

std::string ToFullWidthName(const char* text)
{
    std::string result;
    if (!text) return result;
    std::string_view source(text);
    // A source under 31 bytes maps to at most 60 bytes and is never cut; a longer one
    // is cut to 63 bytes on a character boundary.
    const std::size_t limit = source.size() < 31 ? kFullWidthResultSize - 1 : 63;
    std::size_t out = 0;
    std::size_t i = 0;
    while (i < source.size()) {
        unsigned char bytes[2];
        std::size_t count = 0;
        std::size_t used = 0;
        std::size_t charLength = cp932::CharLengthAt(source, i);
        if (charLength == 1)
            used = FullWidthOf(reinterpret_cast<const unsigned char*>(source.data()) + i, source.size() - i, bytes,
                               &count);
        if (used == 0) {
            // Double-byte characters and bytes without a full-width form stay as they are.
            used = charLength;
            count = charLength;
            std::memcpy(bytes, source.data() + i, charLength);
        }
        if (out + count > limit) break;
        result.append(reinterpret_cast<const char*>(bytes), count);
        out += count;
        i += used;
    }
    return result;
}
