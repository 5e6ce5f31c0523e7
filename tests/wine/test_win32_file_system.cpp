// Win32FileSystem against the real Windows (Wine) file calls: exclusive creation,
// sharing, double-byte paths, replacement and profile strings. Every path is CP932.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/file_system.h"
#include "platform/win32/wide.h"
#include "tests/fakes/byte_text.h"

namespace {

using fakes::HexBytes;

using platform::win32::Win32FileSystem;

// 95 5C is 表 and 83 5C is ソ: both end in the byte of a backslash.
const std::string kHyou = "\x95\x5C";
const std::string kSo = "\x83\x5C";

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string temp = fs.GetTempPath();
        ASSERT_FALSE(temp.empty());
        root = temp + "ledgra_fs_" + kHyou + "_" + std::to_string(::GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(fs.CreateDirectory(root)) << HexBytes(root);
    }
    void TearDown() override
    {
        for (auto it = created.rbegin(); it != created.rend(); ++it) {
            if (!fs.DeleteFile(*it)) fs.RemoveDirectory(*it);
        }
        fs.RemoveDirectory(root);
    }
    std::string Path(const std::string& name)
    {
        created.push_back(root + name);
        return root + name;
    }
    bool WriteWhole(std::unique_ptr<platform::IWriteFile> file, const std::string& text)
    {
        if (!file) return false;
        const bool written = file->Write(text.data(), text.size());
        return file->Close() && written;
    }
    std::string ReadWhole(const std::string& path)
    {
        std::string data;
        EXPECT_TRUE(fs.ReadFile(path, 1 << 20, data)) << HexBytes(path);
        return data;
    }

    Win32FileSystem fs;
    std::string root;
    std::vector<std::string> created;
};

TEST_F(Win32FileSystemTest, CreateExclusiveTruncatesAnExistingFile)
{
    const std::string path = Path("report.xml");
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(path), "a longer first content\r\n"));
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(path), "ab"));
    EXPECT_EQ(ReadWhole(path), "ab");
}

TEST_F(Win32FileSystemTest, CreateExclusiveSharesWithNobody)
{
    const std::string path = Path("locked.xml");
    auto file = fs.CreateExclusive(path);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Write("x", 1));

    HANDLE other = ::CreateFileW(platform::win32::ToWide(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = ::GetLastError();
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);

    std::string data;
    EXPECT_FALSE(fs.ReadFile(path, 100, data));
    EXPECT_FALSE(fs.CreateExclusive(path));
    EXPECT_FALSE(fs.CreateNew(path));

    ASSERT_TRUE(file->Close());
    EXPECT_EQ(ReadWhole(path), "x");
}

TEST_F(Win32FileSystemTest, WritesAfterCloseAreReportedAsFailures)
{
    auto file = fs.CreateExclusive(Path("closed.xml"));
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Close());
    EXPECT_FALSE(file->Write("x", 1));
    EXPECT_FALSE(file->Flush());
}

TEST_F(Win32FileSystemTest, FlushSucceedsOnAnOpenFile)
{
    auto file = fs.CreateExclusive(Path("flushed.xml"));
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Write("abc", 3));
    EXPECT_TRUE(file->Flush());
    EXPECT_TRUE(file->Close());
}

TEST_F(Win32FileSystemTest, CreateNewRefusesAnExistingFileAndKeepsIt)
{
    const std::string path = Path("new.env");
    ASSERT_TRUE(WriteWhole(fs.CreateNew(path), "first"));
    EXPECT_FALSE(fs.CreateNew(path));
    EXPECT_EQ(ReadWhole(path), "first");
}

TEST_F(Win32FileSystemTest, ReadFileStopsAtMaxBytesAndSharesWithWriters)
{
    const std::string path = Path("shared.txt");
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(path), "0123456789"));
    HANDLE writer = ::CreateFileW(platform::win32::ToWide(path).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    std::string data;
    EXPECT_TRUE(fs.ReadFile(path, 4, data));
    EXPECT_EQ(data, "0123");
    ::CloseHandle(writer);
    EXPECT_FALSE(fs.ReadFile(Path("missing.txt"), 4, data));
}

TEST_F(Win32FileSystemTest, DoubleBytePathsReachWindowsAsTheirCharacters)
{
    // C:\...\表\ソ.xml: the 0x5C trail bytes must not be taken for separators.
    const std::string folder = Path(kHyou);
    ASSERT_TRUE(fs.CreateDirectory(folder));
    const std::string file = Path(kHyou + "\\" + kSo + ".xml");
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(file), "ok"));

    bool isDirectory = false;
    ASSERT_TRUE(fs.Stat(folder, &isDirectory));
    EXPECT_TRUE(isDirectory);
    ASSERT_TRUE(fs.Stat(file, &isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_TRUE(fs.PathIsDirectory(folder));
    EXPECT_FALSE(fs.PathIsDirectory(file));
    EXPECT_TRUE(fs.FileExists(file));
    EXPECT_TRUE(fs.Access(file, 0));
    EXPECT_TRUE(fs.Access(file, 6));
    EXPECT_EQ(ReadWhole(file), "ok");

    // The names Windows holds are U+8868 and U+30BD, whatever the ANSI code page.
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(platform::win32::ToWide(folder + "\\*.xml").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    ::FindClose(search);
    EXPECT_EQ(std::wstring(found.cFileName), std::wstring(L"\u30BD.xml"));
    search = ::FindFirstFileW(platform::win32::ToWide(root + "*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    bool sawFolder = false;
    do {
        sawFolder = sawFolder || std::wstring(found.cFileName) == L"\u8868";
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    EXPECT_TRUE(sawFolder);

    EXPECT_FALSE(fs.RemoveDirectory(folder));  // not empty yet
}

TEST_F(Win32FileSystemTest, MissingPathsAreReportedAsMissing)
{
    const std::string missing = root + "nothing" + kHyou;
    bool isDirectory = true;
    EXPECT_FALSE(fs.Stat(missing, &isDirectory));
    EXPECT_FALSE(fs.FileExists(missing));
    EXPECT_FALSE(fs.Access(missing, 0));
    EXPECT_FALSE(fs.PathIsDirectory(missing));
    EXPECT_FALSE(fs.DeleteFile(missing));
    EXPECT_FALSE(fs.RemoveDirectory(missing));
}

TEST_F(Win32FileSystemTest, ReplaceFileMovesOverAnExistingFile)
{
    const std::string from = Path("temp" + kSo + ".tmp");
    const std::string to = Path("dest" + kSo + ".env");
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(to), "old record\n"));
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(from), "new record\n"));
    ASSERT_EQ(platform::ReplaceResult::kReplaced, fs.ReplaceFile(from, to));
    EXPECT_FALSE(fs.FileExists(from));
    EXPECT_EQ(ReadWhole(to), "new record\n");
    EXPECT_EQ(platform::ReplaceResult::kRefused, fs.ReplaceFile(from, to));  // nothing left to move
    EXPECT_EQ(ReadWhole(to), "new record\n");
}

// Where nothing is there the file is moved, else replaced; a file another program has
// open is not replaced, and both files stay as they were. (Whether the replaced file's
// attributes carry over cannot be seen here: Wine's ReplaceFileW does not carry them.)
TEST_F(Win32FileSystemTest, ReplaceFileSparesAFileHeldOpen)
{
    const std::string side = Path("report.xml.1.unfinished");
    const std::string to = Path("report" + kHyou + ".xml");
    ASSERT_TRUE(WriteWhole(fs.CreateNew(side), "first\r\n"));
    ASSERT_EQ(platform::ReplaceResult::kReplaced, fs.ReplaceFile(side, to));
    EXPECT_EQ(ReadWhole(to), "first\r\n");
    ASSERT_TRUE(WriteWhole(fs.CreateNew(side), "second\r\n"));
    ASSERT_EQ(platform::ReplaceResult::kReplaced, fs.ReplaceFile(side, to));
    EXPECT_EQ(ReadWhole(to), "second\r\n");
    EXPECT_FALSE(fs.FileExists(side));

    ASSERT_TRUE(WriteWhole(fs.CreateNew(side), "third\r\n"));
    HANDLE other = ::CreateFileW(platform::win32::ToWide(to).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    // Tried again and again while the other program holds it, then given up.
    EXPECT_NE(platform::ReplaceResult::kReplaced, fs.ReplaceFile(side, to));
    ::CloseHandle(other);
    EXPECT_EQ(ReadWhole(to), "second\r\n");
    EXPECT_EQ(ReadWhole(side), "third\r\n");
    // Wine's ReplaceFileW makes an empty "rf*.tmp" beside the file before it finds the
    // file held, and leaves it.
    for (const std::string& name : fs.ListFiles(root, ".tmp")) created.push_back(root + name);
}

// An export's side file stays its own through its replacement: renamed by its open
// handle, while no other open, deletion or reuse gets it, and still held under its new
// name until closed; the replaced file's attributes carry over.
TEST_F(Win32FileSystemTest, ReplaceToRenamesTheOpenFileThatNobodyElseGets)
{
    const std::string side = Path("r.xml.1.unfinished");
    const std::string to = Path("r" + kSo + ".xml");
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(to), "previous"));
    ASSERT_TRUE(::SetFileAttributesW(platform::win32::ToWide(to).c_str(), FILE_ATTRIBUTE_HIDDEN));
    auto file = fs.CreateNew(side);
    ASSERT_TRUE(file && file->Write("whole", 5) && file->Flush());
    EXPECT_FALSE(fs.OpenLeftover(side));
    EXPECT_FALSE(fs.CreateExclusive(side));
    EXPECT_FALSE(fs.DeleteFile(side));
    std::string back;
    EXPECT_TRUE(file->ReadBack(100, back));
    EXPECT_EQ(back, "whole");
    ASSERT_EQ(platform::ReplaceResult::kReplaced, file->ReplaceTo(to));
    EXPECT_FALSE(fs.FileExists(side));
    EXPECT_FALSE(fs.HoldExclusive(to)) << "ours until closed";
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(ReadWhole(to), "whole");
    EXPECT_TRUE(::GetFileAttributesW(platform::win32::ToWide(to).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(platform::win32::ToWide(to).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A leftover is taken, emptied or removed only when it is a plain file with one link;
// removed through its handle, not by a name another may have taken meanwhile.
TEST_F(Win32FileSystemTest, LeftoversAreTakenOnlyWhenPlain)
{
    const std::string left = Path("a.xml.1.unfinished");
    const std::string victim = Path("victim.txt");
    ASSERT_TRUE(WriteWhole(fs.CreateNew(victim), "someone's"));
    ASSERT_TRUE(::CreateHardLinkW(platform::win32::ToWide(left).c_str(), platform::win32::ToWide(victim).c_str(),
                                  nullptr));
    EXPECT_FALSE(fs.OpenLeftover(left));
    EXPECT_FALSE(fs.CreateExclusive(left));
    EXPECT_EQ(ReadWhole(victim), "someone's");
    ASSERT_TRUE(fs.DeleteFile(left));
    ASSERT_TRUE(WriteWhole(fs.CreateNew(left), "left"));
    auto taken = fs.OpenLeftover(left);
    ASSERT_TRUE(taken);
    EXPECT_FALSE(fs.OpenLeftover(left)) << "held";
    EXPECT_TRUE(taken->Truncate());
    EXPECT_TRUE(taken->Remove());
    EXPECT_FALSE(fs.FileExists(left));
}

// A held file keeps its bytes and every other open out, whatever sharing it asks for;
// a file open elsewhere, a folder and a missing file cannot be held.
TEST_F(Win32FileSystemTest, HoldExclusiveKeepsEveryoneOut)
{
    const std::string path = Path("held" + kSo + ".xml");
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(path), "previous\r\n"));
    auto held = fs.HoldExclusive(path);
    ASSERT_TRUE(held);
    HANDLE other = ::CreateFileW(platform::win32::ToWide(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
    EXPECT_FALSE(fs.HoldExclusive(path));
    EXPECT_FALSE(fs.DeleteFile(path));
    EXPECT_TRUE(held->Close());
    EXPECT_EQ(ReadWhole(path), "previous\r\n");

    other = ::CreateFileW(platform::win32::ToWide(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(fs.HoldExclusive(path)) << "another program has it open";
    ::CloseHandle(other);
    EXPECT_FALSE(fs.HoldExclusive(Path("none.xml")));
    EXPECT_FALSE(fs.HoldExclusive(root));
}

TEST_F(Win32FileSystemTest, ListFilesByTheEndOfTheirLongNames)
{
    ASSERT_TRUE(WriteWhole(fs.CreateNew(Path(kHyou + ".xml.1.unfinished")), ""));
    ASSERT_TRUE(WriteWhole(fs.CreateNew(Path("B.XML.22.UNFINISHED")), ""));
    ASSERT_TRUE(WriteWhole(fs.CreateNew(Path("c.xml")), ""));
    ASSERT_TRUE(WriteWhole(fs.CreateNew(Path("d.unfinished.xml")), ""));
    ASSERT_TRUE(fs.CreateDirectory(Path("e.unfinished")));
    std::vector<std::string> names = fs.ListFiles(root, ".unfinished");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B.XML.22.UNFINISHED", kHyou + ".xml.1.unfinished"}));
    EXPECT_TRUE(fs.ListFiles(root + "missing\\", ".unfinished").empty());
}

// The longest destination Windows takes in plain form: its side file's path is longer,
// yet is created, listed, replaces the destination and is deleted like any other.
TEST_F(Win32FileSystemTest, SideFilesOfALongDestinationPassMaxPath)
{
    const std::string folder = Path(std::string(240 - root.size(), 'f') + "\\");
    ASSERT_TRUE(fs.CreateDirectory(folder));
    const std::string to = folder + std::string(259 - folder.size() - 4, 'r') + ".xml";
    ASSERT_EQ(259u, to.size());   // the longest a plain path may be
    const std::string side = to + ".1.unfinished";
    created.push_back(to);
    ASSERT_TRUE(WriteWhole(fs.CreateNew(side), "whole")) << side.size();
    EXPECT_EQ(fs.ListFiles(folder, ".unfinished"), std::vector<std::string>{side.substr(folder.size())});
    bool isDirectory = true;
    EXPECT_TRUE(fs.Stat(side, &isDirectory) && !isDirectory);
    EXPECT_TRUE(fs.FileExists(side));
    EXPECT_TRUE(fs.Access(side, 6));
    std::string read;
    EXPECT_TRUE(fs.ReadFile(side, 100, read) && read == "whole");
    ASSERT_EQ(platform::ReplaceResult::kReplaced, fs.ReplaceFile(side, to));
    EXPECT_EQ(ReadWhole(to), "whole");
    ASSERT_TRUE(WriteWhole(fs.CreateNew(side), "next"));
    EXPECT_TRUE(fs.DeleteFile(side));
    EXPECT_TRUE(fs.ListFiles(folder, ".unfinished").empty());
    // A new folder past the 248 characters that Windows leaves a plain path to be created.
    const std::string deep = folder + std::string(255 - folder.size(), 'n');
    ASSERT_EQ(255u, deep.size());
    EXPECT_TRUE(fs.CreateDirectory(deep));
    EXPECT_TRUE(fs.PathIsDirectory(deep));
    EXPECT_TRUE(fs.RemoveDirectory(deep));
}

TEST_F(Win32FileSystemTest, CurrentFolderRoundTripsThroughADoubleByteName)
{
    std::string before;
    ASSERT_TRUE(fs.GetCurrentDir(before));
    const std::string folder = Path(kSo);
    ASSERT_TRUE(fs.CreateDirectory(folder));
    ASSERT_TRUE(fs.SetCurrentDir(folder));
    std::string now;
    ASSERT_TRUE(fs.GetCurrentDir(now));
    EXPECT_EQ(HexBytes(now), HexBytes(folder));
    ASSERT_TRUE(fs.SetCurrentDir(before));
    EXPECT_FALSE(fs.SetCurrentDir(root + "missing"));
}

TEST_F(Win32FileSystemTest, ModulePathAndTempPath)
{
    const std::string module = fs.ModulePath();
    const std::string tail = "test_win32_file_system.exe";
    ASSERT_GT(module.size(), tail.size());
    EXPECT_EQ(module.substr(module.size() - tail.size()), tail);
    EXPECT_TRUE(fs.FileExists(module));
    const std::string temp = fs.GetTempPath();
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(fs.PathIsDirectory(temp));
}

TEST(Win32TempPath, FollowsTmpWithADoubleByteName)
{
    wchar_t saved[1024] = {};
    const DWORD savedLength = ::GetEnvironmentVariableW(L"TMP", saved, 1024);
    const std::string folder = "C:\\" + kHyou + "temp";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TMP", platform::win32::ToWide(folder).c_str()));
    Win32FileSystem fs;
    const std::string temp = fs.GetTempPath();
    ::SetEnvironmentVariableW(L"TMP", savedLength ? saved : nullptr);
    EXPECT_EQ(HexBytes(temp), HexBytes(folder + "\\"));
}

TEST_F(Win32FileSystemTest, DriveTypes)
{
    EXPECT_EQ(fs.GetDriveType("C:\\"), static_cast<unsigned>(platform::DRIVE_TYPE_FIXED));
    EXPECT_EQ(fs.GetDriveType("C:\\nowhere\\"), static_cast<unsigned>(platform::DRIVE_TYPE_NO_ROOT_DIR));
}

struct ProfileCase {
    const char* name;
    const char* key;
    const char* defaultValue;
    std::size_t size;
    const char* expected;
};

class Win32ProfileStrings : public Win32FileSystemTest, public ::testing::WithParamInterface<ProfileCase> {};

TEST_P(Win32ProfileStrings, ReadsCutsAndDefaults)
{
    // The file is CP932 without a byte-order mark, as the definitions files are.
    const std::string ini = Path("TaxvaneDef" + kHyou + ".ini");
    ASSERT_TRUE(WriteWhole(fs.CreateExclusive(ini),
                           "[ProgramLevel]\r\n"
                           "TV14=2\r\n"
                           "Blanks=   3 \r\n"
                           "Long=12345678901234567890\r\n"
                           "Kanji=所得税所得税所得税\r\n"
                           "Empty=\r\n"));
    const ProfileCase& c = GetParam();
    const std::string value = fs.GetProfileString(ini, "ProgramLevel", c.key, c.defaultValue, c.size);
    EXPECT_EQ(HexBytes(value), HexBytes(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win32ProfileStrings,
    ::testing::Values(ProfileCase{"present", "TV14", "1", 16, "2"},
                      ProfileCase{"missing key gives the default", "TV15", "1", 16, "1"},
                      ProfileCase{"surrounding blanks are dropped", "Blanks", "1", 16, "3"},
                      ProfileCase{"cut to size - 1 bytes", "Long", "1", 16, "123456789012345"},
                      // 18 bytes cut to 15 would split the eighth byte pair: 14 bytes remain.
                      ProfileCase{"cut on a character boundary", "Kanji", "1", 16, "所得税所得税所"},
                      ProfileCase{"empty value", "Empty", "1", 16, ""},
                      ProfileCase{"size 0", "TV14", "1", 0, ""}));

TEST_F(Win32FileSystemTest, ProfileStringOfAMissingFileIsTheDefault)
{
    EXPECT_EQ(fs.GetProfileString(root + "missing.ini", "ProgramLevel", "TV14", "1", 16), "1");
}

}  // namespace
