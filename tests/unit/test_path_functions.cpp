// Path splitting, the root helpers, the output-path checks and the folder chain, over
// the in-memory file system. Literals are CP932 at run time: 表 is 95 5C, ソ 83 5C,
// ポ 83 7C (a trail byte equal to "|").
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/path_functions.h"
#include "platform/services.h"
#include "tests/fakes/byte_text.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/scoped_services.h"

namespace {

using fakes::PrintableBytes;

class PathFunctions : public ::testing::Test {
protected:
    fakes::FakeFileSystem fs;
    fakes::ScopedServices installed{&fs};
};

}  // namespace

TEST(PathSplitting, SearchesByCharacters)
{
    struct Row { std::string path, folder, file, drive, afterDrive; };
    const std::vector<Row> rows = {
        {"C:\\out\\tax.xml", "C:\\out\\", "tax.xml", "C:", "\\out\\tax.xml"},
        {"C:\\表", "C:\\", "表", "C:", "\\表"},
        {"C:\\表\\report.xml", "C:\\表\\", "report.xml", "C:", "\\表\\report.xml"},
        {"C:\\ソ表", "C:\\", "ソ表", "C:", "\\ソ表"},
        {"C:report.xml", "", "C:report.xml", "C:", "report.xml"},
        {"report.xml", "", "report.xml", "", "report.xml"},
        {"C:\\dir\\", "C:\\dir\\", "", "C:", "\\dir\\"},
        {"\\\\srv\\share\\a.xml", "\\\\srv\\share\\", "a.xml", "", "\\\\srv\\share\\a.xml"},
        {"C:\\a:b\\c", "C:\\a:b\\", "c", "C:\\a:", "b\\c"},
        {"", "", "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(PrintableBytes(row.path));
        EXPECT_EQ(PrintableBytes(PathFolderPart(row.path)), PrintableBytes(row.folder));
        EXPECT_EQ(PrintableBytes(PathFilePart(row.path)), PrintableBytes(row.file));
        EXPECT_EQ(PrintableBytes(PathDrivePart(row.path)), PrintableBytes(row.drive));
        EXPECT_EQ(PrintableBytes(PathAfterDrive(row.path)), PrintableBytes(row.afterDrive));
    }
}

TEST(RootHelpers, SkipRoot)
{
    const std::size_t none = std::string::npos;
    struct Row { std::string path; std::size_t offset; };
    const std::vector<Row> rows = {
        {"C:\\a\\b", 3},       {"C:\\", 3},          {"C:", none},         {"C:a", none},
        {"\\a", none},         {"a\\b", none},       {"", none},           {"1:\\x", 3},
        {"\\\\srv\\share\\d\\", 12}, {"\\\\srv\\share\\", 12}, {"\\\\srv\\share", none},
        {"\\\\srv", none},     {"\x95\\:\\", none},  {"\\\\表\\ソ\\x", 8},
    };
    for (const Row& row : rows) EXPECT_EQ(SkipRoot(row.path), row.offset) << PrintableBytes(row.path);
}

TEST(RootHelpers, StripToRoot)
{
    struct Row { std::string path; int result; std::string stripped; };
    const std::vector<Row> rows = {
        {"C:\\a\\b\\c.xml", 1, "C:\\"},
        {"C:\\", 1, "C:\\"},
        {"C:\\表\\", 1, "C:\\"},
        {"C:", 0, "C:"},
        {"C:a\\b", 0, "C:"},
        {"\\\\srv\\share\\new\\", 1, "\\\\srv\\share"},
        {"\\\\srv\\share", 1, "\\\\srv\\share"},
        {"\\\\表\\ソ\\x", 1, "\\\\表\\ソ"},
        {"\\dir\\x", 1, "\\"},
        {"sub\\", 0, ""},
        {"", 0, ""},
    };
    for (const Row& row : rows) {
        std::string text = row.path;
        EXPECT_EQ(StripToRoot(text), row.result) << PrintableBytes(row.path);
        EXPECT_EQ(PrintableBytes(text), PrintableBytes(row.stripped)) << PrintableBytes(row.path);
    }
}

TEST(RootHelpers, SplitDriveDir)
{
    struct Row { std::string path, drive, dir; };
    const std::vector<Row> rows = {
        {"C:\\a\\b.xml", "C:", "\\a\\"},   {"C:\\a\\b\\", "C:", "\\a\\b\\"}, {"C:", "C:", ""},
        {"C:x", "C:", ""},                 {"x\\y", "", "x\\"},               {"C:/a/b", "C:", "/a/"},
        {"C:\\表", "C:", "\\"},            {"C:\\表\\x", "C:", "\\表\\"},     {"\\\\s\\h\\f", "", "\\\\s\\h\\"},
        {"", "", ""},
    };
    for (const Row& row : rows) {
        std::string drive, dir;
        SplitDriveDir(row.path, drive, dir);
        EXPECT_EQ(drive, row.drive) << PrintableBytes(row.path);
        EXPECT_EQ(PrintableBytes(dir), PrintableBytes(row.dir)) << PrintableBytes(row.path);
    }
}

TEST(CheckPathChars, RefusesForbiddenCharactersAndDoubledSeparators)
{
    struct Row { std::string path; int result; };
    const std::vector<Row> rows = {
        {"C:\\out\\tax.xml", 1},
        {"C:\\表\\ソ.xml", 1},
        {"C:\\ポ\\a.xml", 1},                  // 83 7C is one character, not "|"
        {"report.xml", 1},
        {"\\\\srv\\share\\a.xml", 1},
        {"C:\\out\\*.xml", 0},                 // the default path
        {"C:\\a:b\\report.xml", 0},            // a second colon
        {"C:\\a\\\\report.xml", 0},            // doubled backslash after the first position
        {"\\\\srv\\share\\\\a.xml", 0},        // doubled again after the share prefix
        {"C:\\a/b.xml", 0},  {"C:\\a,b.xml", 0}, {"C:\\a;b.xml", 0}, {"C:\\a?b.xml", 0},
        {"C:\\a\"b.xml", 0}, {"C:\\a>b.xml", 0}, {"C:\\a<b.xml", 0}, {"C:\\a|b.xml", 0},
        // The first position of the remainder counts as well.
        {"C:*x.xml", 0},  {"C:/x.xml", 0},  {"C:|x.xml", 0},  {"C:;x.xml", 0},
        {"*x.xml", 0},    {"?x.xml", 0},    {"\\\\*srv\\share\\a.xml", 0},
        {"\\\\|\\share\\a.xml", 0},
    };
    for (const Row& row : rows) EXPECT_EQ(CheckPathChars(row.path), row.result) << PrintableBytes(row.path);
}

TEST_F(PathFunctions, IsUsableDriveByDriveType)
{
    struct Row { unsigned type; int rights; int result; };
    const std::vector<Row> rows = {
        {platform::DRIVE_TYPE_UNKNOWN, 6, 0},   {platform::DRIVE_TYPE_NO_ROOT_DIR, 0, 1},
        {platform::DRIVE_TYPE_REMOVABLE, 6, 1}, {platform::DRIVE_TYPE_REMOVABLE, 4, 0},
        {platform::DRIVE_TYPE_FIXED, 6, 1},     {platform::DRIVE_TYPE_FIXED, 2, 0},
        {platform::DRIVE_TYPE_REMOTE, 6, 1},    {platform::DRIVE_TYPE_REMOTE, 0, 0},
        {platform::DRIVE_TYPE_CDROM, 6, 0},     {platform::DRIVE_TYPE_RAMDISK, 6, 0},
        {7, 0, 1},
    };
    for (const Row& row : rows) {
        fs.AddDrive('E', row.type, row.rights);
        EXPECT_EQ(IsUsableDrive('E', 6), row.result) << "type " << row.type << " rights " << row.rights;
        EXPECT_EQ(IsUsableDrive('e', 6), row.result) << "lower case, type " << row.type;
    }
    EXPECT_EQ(IsUsableDrive('R', 6), 1);   // no volume: type 1 passes
    for (char c : {'1', '\\', '.', '*', '\x82', '\x95', '\0'}) EXPECT_EQ(IsUsableDrive(c, 6), 0) << int(c);
    fs.ResetCalls();
    IsUsableDrive('d', 6);
    ASSERT_FALSE(fs.calls().empty());
    EXPECT_EQ(fs.calls().front(), "GetDriveType D:\\");
}

TEST_F(PathFunctions, CheckOutputDrive)
{
    fs.AddDrive('D', platform::DRIVE_TYPE_CDROM, 4);
    fs.AddDrive('M', platform::DRIVE_TYPE_RAMDISK, 6);
    fs.AddShare("\\\\srv\\share", 6);
    fs.AddShare("\\\\srv\\readonly", 4);
    struct Row { std::string path; int result; };
    const std::vector<Row> rows = {
        {"C:\\out\\a.xml", 1},
        {"c:\\out\\a.xml", 1},
        {"report.xml", 1},                     // R:\ has no volume: passes here
        {"D:\\a.xml", 0},
        {"M:\\a.xml", 0},
        {"1:\\a.xml", 0},
        {"\\a.xml", 0},
        {"*.xml", 0},
        {"C:\\a\\\\b.xml", 0},
        {"\\\\srv\\share\\new\\report.xml", 1},
        {"\\\\SRV\\Share\\x.xml", 1},
        {"\\\\srv\\share\\", 1},
        {"\\\\srv\\share", 0},                 // no backslash after the share: no share text
        {"\\\\srv\\x.xml", 0},
        {"\\\\srv\\readonly\\x.xml", 0},
        {"\\\\srv\\missing\\x.xml", 0},
        {"\\\\srv", 0},
    };
    for (const Row& row : rows) EXPECT_EQ(CheckOutputDrive(row.path), row.result) << PrintableBytes(row.path);
}

TEST(AppendBackslash, AppendsWhenThereIsRoom)
{
    struct Row { std::string text; std::size_t size; int result; std::string after; };
    const std::vector<Row> rows = {
        {"C:\\a", 261, 1, "C:\\a\\"},
        {"C:\\a\\", 261, 1, "C:\\a\\"},
        {"C:\\表", 261, 1, "C:\\表\\"},        // 5C trail byte is no backslash
        {"C:\\ソ", 261, 1, "C:\\ソ\\"},
        {"", 261, 0, ""},
        {"abc", 5, 1, "abc\\"},
        {"abcd", 5, 0, "abcd"},
        {"abc\\", 4, 1, "abc\\"},
        {std::string(259, 'a'), 261, 1, std::string(259, 'a') + "\\"},
        {std::string(260, 'a'), 261, 0, std::string(260, 'a')},
    };
    for (const Row& row : rows) {
        std::string text = row.text;
        EXPECT_EQ(AppendBackslash(text, row.size), row.result) << PrintableBytes(row.text) << " size " << row.size;
        EXPECT_EQ(PrintableBytes(text), PrintableBytes(row.after));
    }
}

TEST(NormalizeFolderPath, KeepsDriveAndDirectory)
{
    struct Row { std::string text; int result; std::string after; };
    const std::vector<Row> rows = {
        {"C:\\a\\b\\", 1, "C:\\a\\b\\"}, {"C:\\a\\b", 1, "C:\\a\\"},  {"C:", 1, "C:"},
        {"C:x.xml", 1, "C:\\"},           {"C:\\表", 1, "C:\\"},       {"C:\\表\\x", 1, "C:\\表\\"},
        {"sub\\x", 1, "sub\\"},           {"x.xml", 0, "x.xml"},       {"", 0, ""},
        {"\\\\srv\\share\\d\\f", 1, "\\\\srv\\share\\d\\"},
    };
    for (const Row& row : rows) {
        std::string text = row.text;
        EXPECT_EQ(NormalizeFolderPath(text), row.result) << PrintableBytes(row.text);
        EXPECT_EQ(PrintableBytes(text), PrintableBytes(row.after)) << PrintableBytes(row.text);
    }
}

TEST_F(PathFunctions, IsExistingFolderLooksAtTheFolderPart)
{
    fs.AddDirectory("C:\\out\\表");
    fs.AddFile("C:\\out\\file.xml", "x");
    struct Row { std::string text; int result; };
    const std::vector<Row> rows = {
        {"C:\\out\\", 1},      {"C:\\out\\any.xml", 1}, {"C:\\OUT\\表\\", 1}, {"C:\\out\\表", 1},
        {"C:\\none\\", 0},     {"C:\\none\\x.xml", 0},  {"C:\\", 1},          {"Q:\\", 0},
        {"C:\\out\\file.xml\\", 0},
    };
    for (const Row& row : rows) EXPECT_EQ(IsExistingFolder(row.text), row.result) << PrintableBytes(row.text);
}

TEST(IsDoubleByteAt, BothBytesOfAPair)
{
    const std::string text = "a表b\x81";   // 61 95 5C 62 81 (a stray lead at the end)
    const int expected[] = {0, 1, 1, 0, 0, 0};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(IsDoubleByteAt(text, i), expected[i]) << i;
}

TEST(CopyRootPath, LimitsAndRoots)
{
    std::string out = "unchanged";
    EXPECT_EQ(CopyRootPath("", &out, 261), 0);
    EXPECT_EQ(CopyRootPath("C:\\a", nullptr, 261), 0);
    EXPECT_EQ(CopyRootPath("C:\\a", &out, 0), 0);
    EXPECT_EQ(CopyRootPath("C:\\a", &out, 4), 0);
    EXPECT_EQ(out, "unchanged");
    EXPECT_EQ(CopyRootPath("C:\\a", &out, 5), 1);
    EXPECT_EQ(out, "C:\\");
    EXPECT_EQ(CopyRootPath("\\\\srv\\share\\x\\", &out, 261), 1);
    EXPECT_EQ(out, "\\\\srv\\share");
    EXPECT_EQ(CopyRootPath("sub\\", &out, 261), 0);
}

TEST_F(PathFunctions, CreateFolderChainCreatesEveryMissingFolder)
{
    fs.AddDirectory("C:\\a");
    fs.ResetCalls();
    EXPECT_EQ(CreateFolderChain("C:\\a\\b\\c\\"), 1);
    EXPECT_TRUE(fs.HasDirectory("C:\\a\\b\\c"));
    std::vector<std::string> creates;
    for (const std::string& call : fs.calls())
        if (call.rfind("CreateDirectory", 0) == 0) creates.push_back(call);
    EXPECT_EQ(creates, (std::vector<std::string>{"CreateDirectory C:\\a\\b\\", "CreateDirectory C:\\a\\b\\c\\"}));

    // Without a trailing backslash the last component is a file name.
    EXPECT_EQ(CreateFolderChain("C:\\x\\y\\report.xml"), 1);
    EXPECT_TRUE(fs.HasDirectory("C:\\x\\y"));
    EXPECT_FALSE(fs.HasDirectory("C:\\x\\y\\report.xml"));
}

TEST_F(PathFunctions, CreateFolderChainTakesADoubleByteNameAsOneComponent)
{
    fs.ResetCalls();
    EXPECT_EQ(CreateFolderChain("C:\\表\\ソ\\"), 1);
    EXPECT_TRUE(fs.HasDirectory("C:\\表\\ソ"));
    for (const std::string& call : fs.calls()) EXPECT_NE(call, "CreateDirectory C:\\\x95\\") << PrintableBytes(call);
    EXPECT_EQ(fs.Directories().size(), 4u);   // Temp, Ledgra, 表, 表\ソ: nothing at 0x95
}

TEST_F(PathFunctions, CreateFolderChainOnAShare)
{
    fs.AddShare("\\\\srv\\share", 6);
    EXPECT_EQ(CreateFolderChain("\\\\srv\\share\\new\\"), 1);
    EXPECT_TRUE(fs.HasDirectory("\\\\srv\\share\\new"));
    EXPECT_EQ(CreateFolderChain("\\\\srv\\share\\"), 1);
}

TEST_F(PathFunctions, CreateFolderChainRefusesRelativeAndEmptyFolders)
{
    fs.ResetCalls();
    EXPECT_EQ(CreateFolderChain(""), 0);
    EXPECT_EQ(CreateFolderChain("sub\\"), 0);
    EXPECT_EQ(CreateFolderChain("\\sub\\"), 0);
    EXPECT_EQ(CreateFolderChain("x.xml"), 0);
    EXPECT_EQ(fs.CallCount("CreateDirectory"), 0);
    EXPECT_EQ(CreateFolderChain(std::string(3, 'C') + std::string(300, 'a')), 0);
}

TEST_F(PathFunctions, CreateFolderChainFailingMidwayRemovesWhatItCreated)
{
    fs.AddDirectory("C:\\a");
    // C:\a\b\ is created, C:\a\b\c\ fails: b goes again, a stays.
    fs.FailCall("CreateDirectory", 2);
    EXPECT_EQ(CreateFolderChain("C:\\a\\b\\c\\"), 0);
    EXPECT_TRUE(fs.HasDirectory("C:\\a"));
    EXPECT_FALSE(fs.HasDirectory("C:\\a\\b"));
    EXPECT_FALSE(fs.HasDirectory("C:\\a\\b\\c"));
}

TEST_F(PathFunctions, CreateFolderChainFailingAtEachStepLeavesOnlyWhatExistedBefore)
{
    for (int failAt = 1; failAt <= 4; ++failAt) {
        fakes::FakeFileSystem local;
        fakes::ScopedServices installedLocal(&local);
        local.AddDirectory("C:\\keep\\表");
        const std::vector<std::string> before = local.Directories();
        local.FailCall("CreateDirectory", failAt);
        EXPECT_EQ(CreateFolderChain("C:\\keep\\表\\n1\\n2\\n3\\n4\\"), 0) << failAt;
        EXPECT_EQ(local.Directories(), before) << "failing creation " << failAt;
    }
}

TEST_F(PathFunctions, CreateFolderChainFailsWhenAFileStandsInTheWay)
{
    fs.AddFile("C:\\a\\b", "file");
    EXPECT_EQ(CreateFolderChain("C:\\a\\b\\c\\"), 0);
    EXPECT_TRUE(fs.HasDirectory("C:\\a"));
    EXPECT_TRUE(fs.HasFile("C:\\a\\b"));
}

TEST_F(PathFunctions, RemoveCreatedFoldersStaysBelowLast)
{
    fs.AddDirectory("C:\\a\\b\\c\\d");
    EXPECT_EQ(RemoveCreatedFolders("C:\\A\\B\\c\\d\\", "c:\\a\\"), 1);
    EXPECT_TRUE(fs.HasDirectory("C:\\a"));
    EXPECT_FALSE(fs.HasDirectory("C:\\a\\b"));

    // Different roots, or last not above target: nothing goes.
    fs.AddDirectory("C:\\a\\b\\c");
    fs.AddDrive('D', platform::DRIVE_TYPE_FIXED, 6);
    fs.ResetCalls();
    RemoveCreatedFolders("C:\\a\\b\\c\\", "D:\\");
    RemoveCreatedFolders("C:\\a\\b\\c\\", "C:\\x\\");
    EXPECT_EQ(fs.CallCount("RemoveDirectory"), 0);
    EXPECT_TRUE(fs.HasDirectory("C:\\a\\b\\c"));

    // A failed removal stops the clean-up.
    fs.FailCall("RemoveDirectory", 1);
    RemoveCreatedFolders("C:\\a\\b\\c\\", "C:\\");
    EXPECT_TRUE(fs.HasDirectory("C:\\a\\b\\c"));
    EXPECT_EQ(fs.CallCount("RemoveDirectory"), 1);

    // Double-byte components: 表 is one step, never cut at its 5C byte.
    fs.ClearFailures();
    fs.AddDirectory("C:\\表\\ソ");
    fs.ResetCalls();
    RemoveCreatedFolders("C:\\表\\ソ\\", "C:\\表\\");
    EXPECT_TRUE(fs.HasDirectory("C:\\表"));
    EXPECT_FALSE(fs.HasDirectory("C:\\表\\ソ"));
    EXPECT_EQ(fs.CallCount("RemoveDirectory"), 1);
}
