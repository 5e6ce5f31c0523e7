// The launch arguments the host passes: "<window>,<message>,<function id>,<fixed path>".
#include <cstdint>
#include <cstring>
#include <limits>

#include "app/export_app.h"
#include "app/read_number.h"
#include "common/path_limit.h"

namespace {

// Values beyond the 64-bit range stop at its ends.
int64_t ReadNumber(const char* text, const char* end)
{
    return ReadLeadingNumber(std::string_view(text, static_cast<std::size_t>(end - text)),
                             std::numeric_limits<int64_t>::max());
}

// A long read as the host's 32-bit number: out-of-range values stop at the ends, as
// the runtime's own conversion does.
int32_t ToInt32(int64_t value)
{
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

// The line is parsed where it lies, whatever its length: a fixed working buffer would
// either overflow or cut the fixed path into a different one. A path too long to use
// is refused by the run, which still notifies the host.
int ClExportApp::ParseCommandLine(const char* line)
{
    if (line == nullptr || *line == '\0')
        return 0;
    const char* end = line + std::strlen(line);

    const char* comma = std::strchr(line, ',');
    if (comma == nullptr)
        return 0;
    // Window handles are significant in their low 32 bits, whether the host printed
    // them signed or unsigned.
    const uint32_t window = static_cast<uint32_t>(ReadNumber(line, comma));
    hostWnd = reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(window)));

    const char* field = comma + 1;
    comma = std::strchr(field, ',');
    if (comma == nullptr)
        return 0;
    notifyMessage = ToInt32(ReadNumber(field, comma));

    field = comma + 1;
    comma = std::strchr(field, ',');
    if (comma == nullptr)
        return 0;
    // Kept to 16 bits: the host's function ids are short.
    functionId = static_cast<int16_t>(static_cast<uint16_t>(ToInt32(ReadNumber(field, comma)) & 0xFFFF));

    const char* rest = comma + 1;
    if (rest < end)
        hostOutputPath.assign(rest, end);
    return 1;
}

bool ClExportApp::HostOutputPathTooLong() const { return hostOutputPath.size() > kMaxPathBytes; }
