// ClExportApp::ParseCommandLine on any line: a complete launch needs three commas, the
// fixed path is everything after the third comma byte for byte (never cut), and the
// numbers read as the runtime's conversion reads them, held to their widths.
#include <climits>
#include <cstring>

#include "app/export_app.h"
#include "common/path_limit.h"
#include "fuzz_support.h"

namespace {

int32_t Clamp32(long long v)
{
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

long long FieldNumber(const std::string& field) { return std::strtoll(field.c_str(), nullptr, 10); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.substr(0, std::strlen(line.c_str()));

    ClExportApp app;
    const int result = app.ParseCommandLine(line.c_str());

    std::size_t c1 = line.find(',');
    std::size_t c2 = c1 == std::string::npos ? c1 : line.find(',', c1 + 1);
    std::size_t c3 = c2 == std::string::npos ? c2 : line.find(',', c2 + 1);
    if (c3 == std::string::npos) {
        FUZZ_CHECK(result == 0, "a line without three commas taken for a host launch");
        FUZZ_CHECK(app.hostOutputPath.empty(), "a fixed path read from an incomplete line");
        return 0;
    }
    FUZZ_CHECK(result == 1, "a line with three commas not taken for a host launch");
    FUZZ_CHECK(app.hostOutputPath == line.substr(c3 + 1), "the fixed path is not the rest of the line");
    FUZZ_CHECK(app.HostOutputPathTooLong() == (app.hostOutputPath.size() > kMaxPathBytes),
               "over-long fixed path not flagged");
    FUZZ_CHECK(app.notifyMessage == Clamp32(FieldNumber(line.substr(c1 + 1, c2 - c1 - 1))), "message number");
    const int32_t function = Clamp32(FieldNumber(line.substr(c2 + 1, c3 - c2 - 1)));
    FUZZ_CHECK(app.functionId == static_cast<int16_t>(static_cast<uint16_t>(function & 0xFFFF)), "function id");
    const uint32_t window = static_cast<uint32_t>(FieldNumber(line.substr(0, c1)));
    (void)window;   // the handle's exact bits follow the runtime's saturation; only read it
    return 0;
}
