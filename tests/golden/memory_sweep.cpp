// Memory running out at each allocation of a whole headless export in turn, the sample
// company's blue business report written over an earlier report and over nothing:
// every run ends with the new report whole (exit 0, also when an allocation after the
// report was in place failed) or a clean failure with the earlier report whole or none
// (exit 1), never an abort, and leaves neither a side file nor an open descriptor. The host stand-in's
// loading of its JSON store is left out: its JSON library allocates in destructors,
// and the real host has no such store.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <unistd.h>

#include "tools/export-report/export_report.h"

// The replacements below pair malloc with free; the compiler cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
long g_allocations = 0;
long g_failAt = 0;   // 0: none fails
bool g_counting = false;
}  // namespace

// The tool's call of the store loader is linked here (--wrap) and not counted.
#define LEDGRA_LOAD_STORE _ZN7hostsim17LoadStoreFromFileERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE
#define LEDGRA_JOIN(a, b) a##b
#define LEDGRA_NAME(prefix, name) LEDGRA_JOIN(prefix, name)
extern "C" bool LEDGRA_NAME(__real_, LEDGRA_LOAD_STORE)(const std::string& path);
extern "C" bool LEDGRA_NAME(__wrap_, LEDGRA_LOAD_STORE)(const std::string& path)
{
    const bool counting = g_counting;
    g_counting = false;
    const bool loaded = LEDGRA_NAME(__real_, LEDGRA_LOAD_STORE)(path);
    g_counting = counting;
    return loaded;
}

void* operator new(std::size_t size)
{
    if (g_counting && ++g_allocations == g_failAt) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
// The program asks for some blocks without exceptions (the support file's): those
// fail by answering null.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_counting && ++g_allocations == g_failAt) return nullptr;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int OpenDescriptors()
{
    int n = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++n;
        closedir(dir);
    }
    return n;
}

int SideFiles(const std::string& folder)
{
    int n = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (std::string(entry->d_name).find(".unfinished") != std::string::npos) ++n;
        closedir(dir);
    }
    return n;
}

class MemorySweep : public ::testing::TestWithParam<bool> {};

TEST_P(MemorySweep, EveryAllocationOfAnExportFailingInTurn)
{
    const bool over = GetParam();
    char base[] = "/tmp/ledgra-memory-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(base));
    const std::string folder = base;
    const std::string out = folder + "/report.xml";
    const std::vector<std::string> args = {"--host-data", LEDGRA_SAMPLE_STORE, "--category", "1", "--out", out};
    const std::string earlier = "<?xml version=\"1.0\"?>\r\n<REPORT>\r\n</REPORT>\r\n";
    auto run = [&](long failAt) {
        if (over)
            std::ofstream(out, std::ios::binary) << earlier;
        else
            std::remove(out.c_str());
        ::testing::internal::CaptureStderr();
        g_allocations = 0;
        g_failAt = failAt;
        g_counting = true;
        const int status = export_report::Run(args);
        g_counting = false;
        ::testing::internal::GetCapturedStderr();
        return status;
    };

    const int descriptors = OpenDescriptors();
    ASSERT_EQ(export_report::kWritten, run(0));
    const long total = g_allocations;
    const std::string whole = ReadAll(out);
    ASSERT_NE(earlier, whole);

    long written = 0;
    long failed = 0;
    for (long n = 1; n <= total; ++n) {
        const int status = run(n);
        const std::string now = ReadAll(out);
        if (status == export_report::kWritten) {
            ++written;
            EXPECT_EQ(whole, now) << "allocation " << n << " of " << total;
        } else {
            ++failed;
            EXPECT_EQ(export_report::kFailed, status) << "allocation " << n;
            EXPECT_EQ(over ? earlier : "", now) << "allocation " << n << " of " << total;
        }
        EXPECT_EQ(0, SideFiles(folder)) << "allocation " << n;
        EXPECT_EQ(descriptors, OpenDescriptors()) << "allocation " << n;
        if (HasFailure()) break;
    }
    std::printf("[ memory sweep ] %s: %ld allocations, each failing once: %ld runs wrote the report whole, "
                "%ld failed with the destination as it was\n",
                over ? "over an earlier report" : "over nothing", total, written, failed);
    std::remove(out.c_str());
    rmdir(folder.c_str());
}

INSTANTIATE_TEST_SUITE_P(Destinations, MemorySweep, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "OverAnEarlierReport" : "OverNothing");
                         });

}  // namespace
