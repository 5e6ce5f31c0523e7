// ToFullWidthName: the result is the character-by-character full-width mapping, whole
// for a source under 31 bytes, otherwise its longest prefix within 63 bytes; never a
// split double-byte character, never more than its buffer.
#include <cstring>

#include "fuzz_support.h"
#include "report/full_width.h"

namespace {

// The mapped characters, one entry each, from the public one-character helper.
std::vector<std::string> MappedCharacters(std::string_view source)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < source.size();) {
        unsigned char bytes[2];
        std::size_t count = 0;
        const std::size_t length = cp932::CharLengthAt(source, i);
        std::size_t used = 0;
        if (length == 1)
            used = FullWidthOf(reinterpret_cast<const unsigned char*>(source.data()) + i, source.size() - i, bytes, &count);
        if (used == 0) {
            out.emplace_back(source.substr(i, length));
            i += length;
        } else {
            out.emplace_back(reinterpret_cast<const char*>(bytes), count);
            i += used;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::string source(reinterpret_cast<const char*>(data), size);
    source = source.substr(0, std::strlen(source.c_str()));
    const std::string result = ToFullWidthName(source.c_str());
    FUZZ_CHECK(result.size() < kFullWidthResultSize, "result longer than its buffer");

    const std::vector<std::string> mapped = MappedCharacters(source);
    std::string whole;
    for (const std::string& c : mapped) whole += c;
    if (source.size() < 31) {
        FUZZ_CHECK(result == whole, "a source under 31 bytes was cut or changed");
        return 0;
    }
    FUZZ_CHECK(result.size() <= 63, "a long source gives more than 63 bytes");
    std::string expected;
    for (const std::string& c : mapped) {
        if (expected.size() + c.size() > 63) break;
        expected += c;
    }
    FUZZ_CHECK(result == expected, "not the longest whole-character prefix within 63 bytes");
    if (fuzz::AllDefined(source)) FUZZ_CHECK(fuzz::AllDefined(result), "valid name mapped to broken bytes");
    return 0;
}
