// The SUPPORT.INF reader over any file: each value is the text after its tag up to the
// line end (CR LF, 0x1A or NUL), at most 255 bytes cut on a character boundary; a
// block that cannot be allocated gives empty values and the memory message.
#include <cstring>

#include "fuzz_support.h"
#include "report/support_info.h"

namespace {

// "[=製品名=]" and "[=製品ﾊﾞｰｼﾞｮﾝ=]" in code page 932.
const char kNameTag[] = "[=\x90\xBB\x95\x69\x96\xBC=]";
const char kVersionTag[] = "[=\x90\xBB\x95\x69\xCA\xDE\xB0\xBC\xDE\xAE\xDD=]";

class Reader : public ClSupportInfo {
public:
    explicit Reader(bool noMemory) : m_noMemory(noMemory) {}

protected:
    char* AllocateBlock() override { return m_noMemory ? nullptr : ClSupportInfo::AllocateBlock(); }

private:
    bool m_noMemory;
};

std::string Expected(const std::string& file, const char* tag)
{
    std::string block = file.substr(0, ClSupportInfo::kBlockSize);
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (block[i] == '\r' && i + 1 < block.size() && block[i + 1] == '\n') {
            block[i] = block[i + 1] = '\0';
            ++i;
        } else if (block[i] == '\x1A') {
            block[i] = '\0';
        }
    }
    std::size_t at = block.find(tag);
    if (at == std::string::npos) return std::string();
    std::string rest = block.substr(at + std::strlen(tag));
    rest = rest.substr(0, rest.find('\0'));
    std::size_t length = 0;
    while (length < rest.size()) {
        std::size_t n = cp932::CharLengthAt(rest, length);
        if (length + n > 255) break;
        length += n;
    }
    FUZZ_CHECK(fuzz::IsBoundary(rest, length), "reference cut off a boundary");
    return rest.substr(0, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const bool noMemory = data[0] == 0xEE;
    const bool noFile = data[0] == 0xEF;
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);

    fuzz::FakeServices services;
    if (!noFile) services.fs.AddFile("C:\\SUPPORT.INF", file);
    Reader reader(noMemory);
    const std::string name = reader.GetProductName();
    const std::string version = reader.GetProductVersion();
    if (noMemory) {
        FUZZ_CHECK(name.empty() && version.empty(), "values without a block");
        FUZZ_CHECK(services.boxes.shown.size() == 2, "the memory message once per lookup");
        return 0;
    }
    FUZZ_CHECK(services.boxes.shown.empty(), "a message box without a memory failure");
    FUZZ_CHECK(name.size() <= 255 && version.size() <= 255, "value longer than 255 bytes");
    FUZZ_CHECK(name == (noFile ? std::string() : Expected(file, kNameTag)), "product name");
    FUZZ_CHECK(version == (noFile ? std::string() : Expected(file, kVersionTag)), "product version");
    return 0;
}
