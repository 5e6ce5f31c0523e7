// The posix file system of the native tools: exclusive create and truncate, reads,
// folders and the small ini reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#if !defined(_WIN32)

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/posix_services.h"
#include "platform/services.h"
#include "tests/fakes/scoped_services.h"

namespace {

class PosixFs : public ::testing::Test {
protected:
    void SetUp() override
    {
        char base[] = "/tmp/ledgra-posix-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(base));
        dir = base;
    }
    void TearDown() override
    {
        for (const char* name : {"/a.txt", "/b.txt", "/x.ini"}) std::remove((dir + name).c_str());
        rmdir((dir + "/sub").c_str());
        rmdir(dir.c_str());
    }
    void Put(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
    }
    platform::IFileSystem& fs = platform::PosixFileSystem();
    std::string dir;
};

TEST_F(PosixFs, CreateExclusiveTruncatesAndWrites)
{
    Put("a.txt", "old and longer contents");
    auto file = fs.CreateExclusive(dir + "/a.txt");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Write("new", 3));
    EXPECT_TRUE(file->Flush());
    EXPECT_TRUE(file->Close());
    EXPECT_FALSE(file->Write("x", 1));   // closed
    std::string data;
    ASSERT_TRUE(fs.ReadFile(dir + "/a.txt", 100, data));
    EXPECT_EQ("new", data);
    EXPECT_FALSE(fs.CreateExclusive(dir + "/missing/a.txt"));
}

TEST_F(PosixFs, CreateNewRefusesAnExistingFile)
{
    Put("a.txt", "x");
    EXPECT_FALSE(fs.CreateNew(dir + "/a.txt"));
    auto file = fs.CreateNew(dir + "/b.txt");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Close());
    EXPECT_TRUE(fs.FileExists(dir + "/b.txt"));
}

// A held file keeps its bytes and keeps every other writer, and the deletion, out until
// it is let go; nothing is there to hold where nothing exists.
TEST_F(PosixFs, HoldExclusiveKeepsTheFileAsItIs)
{
    Put("a.txt", "previous");
    auto held = fs.HoldExclusive(dir + "/a.txt");
    ASSERT_TRUE(held);
    EXPECT_FALSE(fs.HoldExclusive(dir + "/a.txt"));
    EXPECT_FALSE(fs.CreateExclusive(dir + "/a.txt"));
    EXPECT_FALSE(fs.DeleteFile(dir + "/a.txt"));
    std::string data;
    ASSERT_TRUE(fs.ReadFile(dir + "/a.txt", 100, data));
    EXPECT_EQ("previous", data);
    EXPECT_TRUE(held->Close());
    EXPECT_FALSE(fs.HoldExclusive(dir + "/none.txt"));
    EXPECT_FALSE(fs.FileExists(dir + "/none.txt"));
    EXPECT_TRUE(fs.CreateDirectory(dir + "/sub"));
    EXPECT_FALSE(fs.HoldExclusive(dir + "/sub"));
}

TEST_F(PosixFs, ListFilesByTheEndOfTheirNames)
{
    Put("a.xml.1.unfinished", "");
    Put("B.XML.2.UNFINISHED", "");
    Put("c.xml", "");
    EXPECT_TRUE(fs.CreateDirectory(dir + "/d.unfinished"));
    std::vector<std::string> names = fs.ListFiles(dir + "/", ".unfinished");
    std::sort(names.begin(), names.end());
    // Compared as posix compares names: byte for byte.
    EXPECT_EQ((std::vector<std::string>{"a.xml.1.unfinished"}), names);
    EXPECT_EQ(std::vector<std::string>{}, fs.ListFiles(dir + "/missing/", ".unfinished"));
}

TEST_F(PosixFs, ReadFileStopsAtTheLimit)
{
    Put("a.txt", "0123456789");
    std::string data;
    ASSERT_TRUE(fs.ReadFile(dir + "/a.txt", 4, data));
    EXPECT_EQ("0123", data);
    EXPECT_FALSE(fs.ReadFile(dir + "/none.txt", 4, data));
    EXPECT_EQ("", data);
}

TEST_F(PosixFs, FoldersAndStatus)
{
    EXPECT_TRUE(fs.CreateDirectory(dir + "/sub"));
    EXPECT_FALSE(fs.CreateDirectory(dir + "/sub"));
    EXPECT_TRUE(fs.PathIsDirectory(dir + "/sub"));
    bool isDirectory = false;
    EXPECT_TRUE(fs.Stat(dir + "/sub", &isDirectory));
    EXPECT_TRUE(isDirectory);
    EXPECT_FALSE(fs.Stat(dir + "/nothing", &isDirectory));
    EXPECT_EQ(platform::DRIVE_TYPE_FIXED, fs.GetDriveType("/"));
    EXPECT_TRUE(fs.RemoveDirectory(dir + "/sub"));
    Put("a.txt", "x");
    EXPECT_EQ(platform::ReplaceResult::kReplaced, fs.ReplaceFile(dir + "/a.txt", dir + "/b.txt"));
    EXPECT_EQ(platform::ReplaceResult::kRefused, fs.ReplaceFile(dir + "/a.txt", dir + "/b.txt"));
    EXPECT_FALSE(fs.FileExists(dir + "/a.txt"));
    EXPECT_TRUE(fs.DeleteFile(dir + "/b.txt"));
    EXPECT_EQ('/', fs.GetTempPath().back());
    EXPECT_FALSE(fs.ModulePath().empty());
}

TEST_F(PosixFs, ProfileStrings)
{
    Put("x.ini", "; comment\r\n[Other]\r\nLevel=9\r\n[Taxvane]\r\n  level = 2 \r\nName=\x95\x5C\x8E\xA6\x95\x5C\r\n");
    const std::string ini = dir + "/x.ini";
    EXPECT_EQ("2", fs.GetProfileString(ini, "TAXVANE", "Level", "0", 16));
    EXPECT_EQ("9", fs.GetProfileString(ini, "other", "LEVEL", "0", 16));
    EXPECT_EQ("0", fs.GetProfileString(ini, "Taxvane", "Missing", "0", 16));
    EXPECT_EQ("d", fs.GetProfileString(dir + "/none.ini", "A", "B", "d", 16));
    // Cut to size - 1 bytes, never inside a double-byte character.
    EXPECT_EQ("\x95\x5C\x8E\xA6", fs.GetProfileString(ini, "Taxvane", "Name", "", 6));
    EXPECT_EQ("", fs.GetProfileString(ini, "Taxvane", "Name", "", 0));
}

TEST(PosixServices, InstallSetsEveryService)
{
    fakes::ScopedServices restored;   // puts back what was in force before the install
    platform::InstallPosixServices();
    const platform::Services& s = platform::GetServices();
    EXPECT_TRUE(s.fs && s.boxes && s.windows && s.cursor && s.ui);
    EXPECT_EQ(platform::ID_NO, s.boxes->Show(nullptr, "q", "c", platform::MB_TYPE_YESNO | platform::MB_TYPE_ICONQUESTION));
    EXPECT_EQ(platform::ID_OK, s.boxes->Show(nullptr, "i", "c", platform::MB_TYPE_ICONINFORMATION));
}

TEST(PosixTaskMemory, BlocksKnowTheirSize)
{
    void* block = platform::TaskMemAlloc(123);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(123u, platform::TaskMemSize(block));
    EXPECT_EQ(0, static_cast<unsigned char*>(block)[122]);
    platform::TaskMemFree(block);
    EXPECT_EQ(0u, platform::TaskMemSize(nullptr));
    platform::TaskMemFree(nullptr);
}

}  // namespace

#else

TEST(PosixFileSystem, NotPartOfTheWindowsBuild) { GTEST_SKIP() << "posix only"; }

#endif
