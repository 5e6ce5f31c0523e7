// ClXmlWriter::Escape: whatever the bytes, the result holds no raw markup character,
// every "&" starts one of the five entities, nothing but characters code page 932
// defines (and XML allows) survives, and valid text comes back unchanged.
#include <cstring>

#include "fuzz_support.h"
#include "report/xml_writer.h"

namespace {

// The longest prefix of at most 255 bytes that ends on a character boundary.
std::string_view BoundedPrefix(std::string_view text)
{
    if (text.size() <= 255) return text;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t n = cp932::CharLengthAt(text, i);
        if (i + n > 255) break;
        i += n;
    }
    return text.substr(0, i);
}

// What must remain: defined characters kept, a lead byte without its trail dropped
// alone, any other character dropped whole.
std::string Expected(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t defined = fuzz::DefinedCharAt(text, i);
        if (defined) out.append(text.substr(i, defined));
        i += defined ? defined : cp932::CharLengthAt(text, i);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    input = input.substr(0, std::strlen(input.c_str()));
    const std::string escaped = ClXmlWriter::Escape(input.c_str());
    const std::string_view out(escaped);
    FUZZ_CHECK(out.size() <= 255 * 6, "escaped text longer than its bound");
    FUZZ_CHECK(fuzz::HasNoMarkup(out), "raw markup character in escaped text");
    std::string plain;
    FUZZ_CHECK(fuzz::Unescape(out, plain), "an & that starts no entity");
    FUZZ_CHECK(fuzz::AllDefined(plain), "an undefined or forbidden character survived");
    const std::string_view prefix = BoundedPrefix(input);
    FUZZ_CHECK(plain == Expected(prefix), "escaped text differs from the defined characters of its input");
    if (fuzz::AllDefined(prefix)) FUZZ_CHECK(plain == prefix, "valid text was changed");
    return 0;
}
