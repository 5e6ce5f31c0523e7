// ClXmlWriter::Escape with a byte limit, as fixed slots and narrow fields are written:
// the result is the escape of the source's longest prefix of whole characters within
// the limit (at most 255 bytes), so no cut copy is needed first.
#include <algorithm>
#include <cstring>

#include "fuzz_support.h"
#include "report/xml_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const std::size_t limit = (static_cast<std::size_t>(in.Byte()) << 8 | in.Byte()) % 1100;
    std::string source = in.Rest();
    source = source.substr(0, std::strlen(source.c_str()));

    std::size_t cut = std::min({limit, source.size(), ClXmlWriter::kMaxValueBytes});
    while (cut > 0 && !fuzz::IsBoundary(source, cut)) --cut;
    const std::string prefix = source.substr(0, cut);
    FUZZ_CHECK(ClXmlWriter::Escape(source.c_str(), limit) == ClXmlWriter::Escape(prefix.c_str()),
               "a cut text differs from the escape of its whole characters within the limit");
    return 0;
}
