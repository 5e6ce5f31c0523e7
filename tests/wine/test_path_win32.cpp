// Our root helpers against the system's own: SkipRoot with PathSkipRootA, StripToRoot
// with PathStripToRootA, SplitDriveDir with _splitpath, on one table of paths,
// double-byte ones included. The system's answers depend on the ANSI code page, so
// the comparison runs only under code page 932 (Wine: LANG=ja_JP.UTF-8).
#include <windows.h>

#include <gtest/gtest.h>
#include <mbctype.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "dialog/path_functions.h"
#include "tests/fakes/byte_text.h"

namespace {

using fakes::PrintableBytes;

using PathSkipRootFn = char*(WINAPI*)(const char*);
using PathStripToRootFn = BOOL(WINAPI*)(char*);

const std::vector<std::string>& Paths()
{
    static const std::vector<std::string> paths = {
        "C:\\a\\b\\c.xml", "C:\\", "C:", "C:a", "C:a\\b", "c:\\dir\\", "C:/a/b", "1:\\x",
        "\\", "\\dir\\x", "a\\b", "report.xml", "", "sub\\",
        "\\\\srv", "\\\\srv\\", "\\\\srv\\share", "\\\\srv\\share\\", "\\\\srv\\share\\new\\report.xml",
        "\\\\\\x",
        // 表 95 5C, ソ 83 5C, ポ 83 7C, 能 94 5C: trail bytes equal to "\" and "|".
        "C:\\表", "C:\\表\\", "C:\\表\\report.xml", "C:\\ソ表\\能\\x.xml", "C:\\ポ\\a.xml",
        "表\\x", "\\表\\", "\\\\表\\ソ\\x", "\\\\srv\\表\\", "C:表", "C:\\a\\表",
        "C:\\a:b\\c", "C:\\a\\\\b",
    };
    return paths;
}

class SystemPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT));
        if (GetACP() != 932) GTEST_SKIP() << "ANSI code page is " << GetACP() << ", not 932: run with LANG=ja_JP.UTF-8";
        _setmbcp(932);
        HMODULE shlwapi = LoadLibraryA("shlwapi.dll");
        ASSERT_NE(shlwapi, nullptr);
        skipRoot = reinterpret_cast<PathSkipRootFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi, "PathSkipRootA")));
        stripToRoot =
            reinterpret_cast<PathStripToRootFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi, "PathStripToRootA")));
        ASSERT_NE(skipRoot, nullptr);
        ASSERT_NE(stripToRoot, nullptr);
    }

    PathSkipRootFn skipRoot = nullptr;
    PathStripToRootFn stripToRoot = nullptr;
};

}  // namespace

TEST_F(SystemPaths, SkipRootMatchesPathSkipRootA)
{
    for (const std::string& path : Paths()) {
        const char* after = skipRoot(path.c_str());
        std::size_t expected = after ? static_cast<std::size_t>(after - path.c_str()) : std::string::npos;
        EXPECT_EQ(SkipRoot(path), expected) << PrintableBytes(path);
    }
}

TEST_F(SystemPaths, StripToRootMatchesPathStripToRootA)
{
    for (const std::string& path : Paths()) {
        char buffer[MAX_PATH + 1] = {};
        path.copy(buffer, path.size());
        int expected = stripToRoot(buffer) ? 1 : 0;
        std::string ours = path;
        EXPECT_EQ(StripToRoot(ours), expected) << PrintableBytes(path);
        EXPECT_EQ(PrintableBytes(ours), PrintableBytes(buffer)) << PrintableBytes(path);
    }
}

TEST_F(SystemPaths, SplitDriveDirMatchesSplitpath)
{
    for (const std::string& path : Paths()) {
        char drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {}, name[_MAX_FNAME] = {}, ext[_MAX_EXT] = {};
        _splitpath(path.c_str(), drive, dir, name, ext);
        std::string ourDrive, ourDir;
        SplitDriveDir(path, ourDrive, ourDir);
        EXPECT_EQ(PrintableBytes(ourDrive), PrintableBytes(drive)) << PrintableBytes(path);
        EXPECT_EQ(PrintableBytes(ourDir), PrintableBytes(dir)) << PrintableBytes(path);
    }
}
