// The remembered-destination reader and writer over any existing file, user id,
// numbers, category and path, and with any one file operation failing:
//  - the reader finds a record only at a line start and returns at most 260 bytes;
//  - a rewrite that succeeds leaves every other line byte for byte, in order, and the
//    new record as the last line; one that fails leaves the old file byte for byte.
#include <cstring>

#include "app/edition.h"
#include "dialog/condition_dlg.h"
#include "dialog/path_functions.h"
#include "dialog/remembered_destination.h"
#include "fuzz_support.h"
#include "hostsim/hostsim.h"

namespace {

const char kFile[] = "C:\\Ledgra\\Settings\\LedgraProExport.env";

std::string Key(const std::string& user, int32_t first, int32_t second)
{
    return user + "/" + std::to_string(first) + "/" + std::to_string(second) + ":";
}

// Offset of the first line starting with key; npos when none.
std::size_t FindLine(const std::string& content, const std::string& key)
{
    for (std::size_t start = 0; start < content.size();) {
        if (content.compare(start, key.size(), key) == 0) return start;
        std::size_t lf = content.find('\n', start);
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    return std::string::npos;
}

std::string WithoutKeyLines(const std::string& content, const std::string& key)
{
    std::string out;
    for (std::size_t start = 0; start < content.size();) {
        std::size_t lf = content.find('\n', start);
        std::size_t next = lf == std::string::npos ? content.size() : lf + 1;
        if (content.compare(start, key.size(), key) != 0) out.append(content, start, next - start);
        start = next;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    unsetenv("LEDGRA_HOST_DATA");
    unsetenv("LEDGRA_HOST_LOG");
    RememberedDestinationLockWait().attempts = 2;
    RememberedDestinationLockWait().pauseMilliseconds = 0;
    if (!hostsim::LoadStoreFromText("{\"folders\": {\"settings\": \"C:\\\\Ledgra\\\\Settings\\\\\"}}")) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const uint8_t mode = in.Byte();
    const uint8_t failAt = in.Byte();
    std::string user = in.Text(64);
    const int32_t first = static_cast<int32_t>(in.Number());
    const int32_t second = (mode & 8) ? static_cast<int32_t>(in.Number()) : static_cast<int32_t>(in.Byte());
    const int16_t category = static_cast<int16_t>(in.Number());
    const std::string path = in.Text(400);
    const std::string old = in.Rest();

    fuzz::FakeServices services;
    const bool hadFile = !(mode & 1);
    if (hadFile) services.fs.AddFile(kFile, old);
    if (mode & 2) services.fs.AddFile(std::string(kFile) + ".1.tmp", "left over");

    ClConditionDlg dialog(nullptr, ProEdition().envFileName);
    std::memcpy(dialog.m_szUserId, user.data(), user.size());
    dialog.m_lSelectedNo1 = first;
    dialog.m_lSelectedNo2 = second;
    std::memset(dialog.m_szRememberedPath, 0, sizeof dialog.m_szRememberedPath);
    const std::string key = Key(user, first, second);
    const bool plainKey = user.find('\n') == std::string::npos;

    // ---- read ----
    int16_t readCategory = -12345;
    char readPath[kPathBufferSize + 16];
    std::memset(readPath, 0x5A, sizeof readPath);
    const int found = dialog.ReadRememberedDestination(&readCategory, readPath);
    for (std::size_t i = kPathBufferSize; i < sizeof readPath; ++i)
        FUZZ_CHECK(readPath[i] == '\x5A', "reader wrote past its 261-byte buffer");
    if (found) {
        const std::size_t length = strnlen(readPath, kPathBufferSize);
        FUZZ_CHECK(length <= kMaxPathBytes, "remembered path longer than 260 bytes");
        FUZZ_CHECK(std::memchr(readPath, '\n', length) == nullptr, "remembered path holds a line feed");
        std::memcpy(dialog.m_szRememberedPath, readPath, length);
    } else {
        FUZZ_CHECK(readCategory == -12345 && readPath[0] == '\x5A', "outs touched without a record");
    }
    if (hadFile && plainKey) {
        const std::size_t at = FindLine(old, key);
        bool expected = false;
        std::string expectedPath;
        if (at != std::string::npos) {
            std::size_t valueStart = at + key.size();
            std::size_t lf = old.find('\n', valueStart);
            std::string value = old.substr(valueStart, (lf == std::string::npos ? old.size() : lf) - valueStart);
            std::size_t slash = value.rfind('/');
            if (slash != std::string::npos && value.size() - slash - 1 <= kMaxPathBytes) {
                expected = true;
                expectedPath = value.substr(slash + 1);
            }
        }
        FUZZ_CHECK((found != 0) == expected, "record found or missed against the line-start rule");
        if (expected) FUZZ_CHECK(std::string(readPath) == expectedPath.substr(0, strnlen(expectedPath.c_str(), 261)),
                                 "remembered path");
    }

    // ---- rewrite, possibly with one failing operation ----
    if (failAt) services.fs.FailNthOperation(failAt % 24);
    const bool givePath = (mode & 4) != 0;
    const int stored = dialog.WriteRememberedDestination(0, 0, category, givePath ? path.c_str() : nullptr);
    services.fs.FailNthOperation(0);

    const bool hasFile = services.fs.HasFile(kFile);
    const std::string now = services.fs.FileBytes(kFile);
    if (!stored) {
        FUZZ_CHECK(hasFile == hadFile, "a failed rewrite created or removed the file");
        FUZZ_CHECK(now == (hadFile ? old : std::string()), "a failed rewrite changed the file");
        return 0;
    }
    FUZZ_CHECK(hasFile, "a rewrite reported done without a file");
    const std::string destination = givePath ? path : std::string(dialog.m_szRememberedPath);
    FUZZ_CHECK(destination.size() <= kMaxPathBytes && destination.find('\n') == std::string::npos,
               "an unreadable path was stored");
    const std::string record = key + "0/0/" + std::to_string(category) + "/" + destination + "\n";
    if (!plainKey) return 0;
    std::string expected = WithoutKeyLines(hadFile ? old : std::string(), key);
    if (!expected.empty() && expected.back() != '\n') expected += '\n';
    expected += record;
    FUZZ_CHECK(now == expected, "other lines not kept byte for byte, or the record is not the last line");
    return 0;
}
