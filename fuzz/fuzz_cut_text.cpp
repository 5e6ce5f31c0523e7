// CopyMbcsLimited: a cut copy is a prefix of the source, ends on a character boundary,
// is the limit or one byte less, and never writes past limit + 1 bytes.
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "report/value_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const std::size_t limit = (static_cast<std::size_t>(in.Byte()) << 8 | in.Byte()) % 1100;
    std::string source = in.Rest();
    source = source.substr(0, std::strlen(source.c_str()));

    const std::size_t guard = 16;
    std::vector<char> out(limit + 1 + guard, '\x5A');
    std::memset(out.data(), 0, limit + 1);
    CopyMbcsLimited(source.c_str(), out.data(), limit);
    for (std::size_t i = limit + 1; i < out.size(); ++i) FUZZ_CHECK(out[i] == '\x5A', "wrote past limit + 1 bytes");
    const std::string copy(out.data(), strnlen(out.data(), limit + 1));
    if (source.size() <= limit) {
        FUZZ_CHECK(copy == source, "a source within the limit was not copied whole");
        return 0;
    }
    FUZZ_CHECK(copy.size() == limit || copy.size() + 1 == limit, "cut copy is neither limit nor limit - 1 bytes");
    FUZZ_CHECK(source.compare(0, copy.size(), copy) == 0, "cut copy is not a prefix of its source");
    FUZZ_CHECK(fuzz::IsBoundary(source, copy.size()), "cut splits a double-byte character");
    if (copy.size() + 1 == limit) FUZZ_CHECK(!fuzz::IsBoundary(source, limit), "cut one byte short without need");
    return 0;
}
