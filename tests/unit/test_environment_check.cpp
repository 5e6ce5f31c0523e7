// The compatibility check against TaxvaneDef.ini in the current folder.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/export_app.h"
#include "common/cp932.h"
#include "hostsim/hostsim.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_message_boxes.h"
#include "tests/fakes/scoped_services.h"

namespace {

// The host connection fills the package placeholder with the product's name.
const std::string kBrokenText =
    "動作環境が不正です。\nTaxvaneが正しくインストールされているか確認してください。";
const std::string kPackageTooOldText =
    "ご利用の連動コンポーネントは、インストールされているTaxvaneでは使用できません。\n"
    "Taxvaneの最新版を入手してインストールしてからご利用ください。";
const std::string kExporterTooOldText =
    "ご利用の連動コンポーネントは、インストールされているTaxvaneでは使用できません。\n"
    "連動コンポーネントの最新版を入手してインストールしてからご利用ください。";

const std::string kHyou = "\x95\x5C";  // 表: its trail byte is 0x5C

struct EnvCase {
    const char* name;
    std::string folder;        // current folder
    std::string iniPath;       // where TaxvaneDef.ini lies; empty: nowhere
    std::string iniText;
    int result;
    const std::string* message;   // null: no message
};

const EnvCase kCases[] = {
    {"file missing", "C:\\Ledgra", "", "", 0, &kBrokenText},
    {"file in another folder", "C:\\Ledgra", "C:\\Other\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=2\n", 0, &kBrokenText},
    {"level 2", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\r\nTV14=2\r\n", 1, nullptr},
    {"blanks and letters around 2", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=\"  2abc\"\n", 1, nullptr},
    {"plus sign", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=+2\n", 1, nullptr},
    {"leading zeros", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=000000000000002\n", 1, nullptr},
    {"key missing counts as level 1", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV13=2\n", 0, &kPackageTooOldText},
    {"section missing", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[Other]\nTV14=2\n", 0, &kPackageTooOldText},
    {"level 1", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=1\n", 0, &kPackageTooOldText},
    {"no digits count as 0", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=abc\n", 0, &kPackageTooOldText},
    {"negative level", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=-2\n", 0, &kPackageTooOldText},
    {"value cut to 15 bytes", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=0000000000000002\n", 0, &kPackageTooOldText},
    {"level 3", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=3\n", 0, &kExporterTooOldText},
    {"level 9", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=9\n", 0, &kExporterTooOldText},
    // Ten digits and more leave a 32-bit long: 2^32 + 2 and -(2^32 - 2) must not pass as 2.
    {"ten digits over 32 bits", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=4294967298\n", 0, &kExporterTooOldText},
    {"negative ten digits", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=-4294967294\n", 0, &kPackageTooOldText},
    {"level 20", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=20\n", 0, &kExporterTooOldText},
    {"empty value", "C:\\Ledgra", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=\n", 0, &kBrokenText},
    {"root folder", "C:\\", "C:\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=2\n", 1, nullptr},
    {"folder ending in a 0x5C trail byte", "C:\\" + kHyou, "C:\\" + kHyou + "\\TaxvaneDef.ini",
     "[ProgramLevel]\nTV14=2\n", 1, nullptr},
    {"folder ending in a backslash", "C:\\Ledgra\\", "C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=2\n", 1, nullptr},
};

class EnvironmentFixture : public ::testing::Test {
protected:
    void SetUp() override { hostsim::ResetForTests(); }

    fakes::FakeFileSystem fs;
    fakes::FakeMessageBoxes boxes;
    fakes::ScopedServices installed{&fs, &boxes};
};

class EnvironmentCheckTest : public EnvironmentFixture, public ::testing::WithParamInterface<EnvCase> {};

TEST_P(EnvironmentCheckTest, ResultAndMessage)
{
    const EnvCase& c = GetParam();
    fs.AddDirectory(c.folder);
    fs.SetCurrentDirValue(c.folder);
    if (!c.iniPath.empty()) {
        ASSERT_TRUE(fs.AddFile(c.iniPath, c.iniText));
    }

    ClExportApp app;
    EXPECT_EQ(c.result, app.CheckEnvironment(1));
    if (c.message == nullptr) {
        EXPECT_TRUE(boxes.shown.empty()) << boxes.Readable();
    } else {
        ASSERT_EQ(1u, boxes.shown.size()) << boxes.Readable();
        EXPECT_EQ(cp932::ToUtf8(*c.message), cp932::ToUtf8(boxes.shown[0].text));
        EXPECT_EQ("所得税", boxes.shown[0].caption);
        EXPECT_EQ(0x30u, boxes.shown[0].type);
        EXPECT_EQ(nullptr, boxes.shown[0].owner);
    }
}

TEST_P(EnvironmentCheckTest, NoMessageWhenNotAsked)
{
    const EnvCase& c = GetParam();
    fs.AddDirectory(c.folder);
    fs.SetCurrentDirValue(c.folder);
    if (!c.iniPath.empty()) {
        ASSERT_TRUE(fs.AddFile(c.iniPath, c.iniText));
    }
    ClExportApp app;
    EXPECT_EQ(c.result, app.CheckEnvironment(0));
    EXPECT_TRUE(boxes.shown.empty()) << boxes.Readable();
}

INSTANTIATE_TEST_SUITE_P(Installations, EnvironmentCheckTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<EnvCase>& info) {
                             std::string name;
                             for (char ch : std::string(info.param.name))
                                 name += (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ? ch : '_';
                             return name;
                         });

class EnvironmentCheckPathTest : public EnvironmentFixture {};

TEST_F(EnvironmentCheckPathTest, OneSeparatorBetweenFolderAndFile)
{
    struct Row {
        std::string folder;
        std::string expected;
    };
    const Row rows[] = {
        {"C:\\", "FileExists C:\\TaxvaneDef.ini"},
        {"C:\\Ledgra", "FileExists C:\\Ledgra\\TaxvaneDef.ini"},
        {"C:\\Ledgra\\", "FileExists C:\\Ledgra\\TaxvaneDef.ini"},
        {"C:\\" + kHyou, "FileExists C:\\" + kHyou + "\\TaxvaneDef.ini"},
        {"C:\\a" + kHyou + "\\", "FileExists C:\\a" + kHyou + "\\TaxvaneDef.ini"},
    };
    for (const Row& row : rows) {
        fs.ResetCalls();
        fs.SetCurrentDirValue(row.folder);
        ClExportApp app;
        app.CheckEnvironment(0);
        std::vector<std::string> exists;
        for (const std::string& call : fs.calls())
            if (call.rfind("FileExists ", 0) == 0)
                exists.push_back(call);
        ASSERT_EQ(1u, exists.size()) << cp932::ToUtf8(row.folder);
        EXPECT_EQ(cp932::ToUtf8(row.expected), cp932::ToUtf8(exists[0]));
    }
}

TEST_F(EnvironmentCheckPathTest, ProfileReadWithItsSectionKeyAndDefault)
{
    fs.AddDirectory("C:\\Ledgra");
    fs.SetCurrentDirValue("C:\\Ledgra");
    fs.AddFile("C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=2\n");
    ClExportApp app;
    EXPECT_EQ(1, app.CheckEnvironment(1));
    bool read = false;
    for (const std::string& call : fs.calls())
        read = read || call.rfind("GetProfileString C:\\Ledgra\\TaxvaneDef.ini", 0) == 0;
    EXPECT_TRUE(read) << ::testing::PrintToString(fs.calls());
}

TEST_F(EnvironmentCheckPathTest, UnreadableCurrentFolder)
{
    fs.AddFile("C:\\TaxvaneDef.ini", "[ProgramLevel]\nTV14=2\n");
    fs.FailCall("GetCurrentDir", 0);
    ClExportApp app;
    EXPECT_EQ(0, app.CheckEnvironment(1));
    ASSERT_EQ(1u, boxes.shown.size());
    EXPECT_EQ(kBrokenText, boxes.shown[0].text);
}

TEST_F(EnvironmentCheckPathTest, NoFileSystemIsABrokenInstallation)
{
    platform::Services services;
    services.boxes = &boxes;
    platform::SetServices(services);
    ClExportApp app;
    EXPECT_EQ(0, app.CheckEnvironment(1));
    ASSERT_EQ(1u, boxes.shown.size());
    EXPECT_EQ(kBrokenText, boxes.shown[0].text);
}

}  // namespace
