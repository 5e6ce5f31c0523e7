#include "tests/fakes/byte_text.h"

namespace fakes {

namespace {
const char kDigits[] = "0123456789ABCDEF";
}

std::string HexBytes(std::string_view bytes)
{
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::string PrintableBytes(std::string_view bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += '<';
            out += kDigits[c >> 4];
            out += kDigits[c & 15];
            out += '>';
        }
    }
    return out;
}

}  // namespace fakes
