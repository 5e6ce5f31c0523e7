// The conditions dialog over the fake view, UI, message boxes and file system: start
// for every business kind, remembered category and host-fixed path; every row of the
// execute command; browse; the keys.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/edition.h"
#include "common/cp932.h"
#include "dialog/condition_dlg.h"
#include "dialog/remembered_destination.h"
#include "hostsim/hostsim.h"
#include "platform/services.h"
#include "resources/resource.h"
#include "tests/fakes/byte_text.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_message_boxes.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/scoped_services.h"

namespace {

using fakes::HexBytes;

using fakes::VK_KEY_CONTROL;
using fakes::VK_KEY_ESCAPE;
using fakes::VK_KEY_F12;
using fakes::VK_KEY_MENU;
using fakes::VK_KEY_RETURN;
using fakes::VK_KEY_SHIFT;

const std::string kCaption = "所得税";
const std::string kPastResults = "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。";
const std::string kNoPath = "データ出力先が指定されていません。\n\n出力先を指定してください。";
const std::string kPathTooLong = "指定された出力先のパスが長すぎるため、出力できません。";
const std::string kBadChars = "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
const std::string kBadDrive = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
const std::string kNoFileName = "ファイル名が指定されていません。";
const std::string kCreateFolder = "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
const std::string kCreateFailed = "フォルダの作成に失敗しました。\n\n出力先を再入力してください。";
const std::string kOverwrite = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";
const std::string kCancelNotice = "｢所得税｣の集計を中止します。";

const char kEnvFile[] = "C:\\Settings\\LedgraProExport.env";

void SetHostFolders(const std::string& output, const std::string& settings)
{
    std::string json = "{\"folders\": {\"output\": {\"sjis\": \"" + HexBytes(output) + "\"}, \"settings\": {\"sjis\": \"" +
                       HexBytes(settings) + "\"}}}";
    ASSERT_TRUE(hostsim::LoadStoreFromText(json)) << hostsim::StoreError();
}

std::string Utf8(const std::string& cp932Text) { return cp932::ToUtf8(cp932Text); }

struct Box {
    std::string text;
    unsigned type;
};

std::string Describe(const std::vector<Box>& boxes)
{
    std::string out;
    for (const Box& box : boxes) {
        char type[8];
        std::snprintf(type, sizeof type, "0x%02X ", box.type);
        out += type + Utf8(box.text) + "\n";
    }
    return out;
}

class ConditionDlg : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetHostFolders("C:\\Out\\", "C:\\Settings\\");
        fs.AddDirectory("C:\\Out");
        fs.AddDirectory("C:\\Windows");
        fs.AddDrive('D', platform::DRIVE_TYPE_CDROM, 4);
        fs.AddShare("\\\\srv\\share", 6);
        RememberedDestinationLockWait() = RememberedLockWait{3, 0, nullptr};
    }
    void TearDown() override
    {
        RememberedDestinationLockWait() = RememberedLockWait{};
        hostsim::ResetForTests();
    }

    std::unique_ptr<ClConditionDlg> Make(unsigned char kind = 3, const std::string& hostPath = "", int past = 0)
    {
        auto dlg = std::make_unique<ClConditionDlg>(parent, ProEdition().envFileName);
        std::strcpy(dlg->m_szUserId, "USER01");
        dlg->m_lSelectedNo1 = 1;
        dlg->m_lSelectedNo2 = 5;
        dlg->m_cBusinessKind = kind;
        dlg->m_bPastResults = past;
        dlg->m_strCompanyName = " 山田商店";
        dlg->m_strPeriod = " 2019/01/01～2019/12/31";
        dlg->m_strMfgCost = "あり";
        dlg->m_strHostPath = hostPath;
        return dlg;
    }

    void Remember(const std::string& record) { fs.AddFile(kEnvFile, record); }

    std::vector<Box> Boxes() const
    {
        std::vector<Box> out;
        for (const fakes::ShownBox& box : boxes.shown) out.push_back(Box{box.text, box.type});
        return out;
    }

    fakes::FakeDialogView& view() { return *ui.lastView(); }
    bool Checked(int id) { return view().Control(id).checked; }
    bool Enabled(int id) { return view().Control(id).enabled; }
    std::string Text(int id) { return view().Control(id).text; }

    HWND parent = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x4242));
    fakes::FakeFileSystem fs;
    fakes::FakeMessageBoxes boxes;
    fakes::FakeUi ui;
    fakes::ScopedServices installed{&fs, &boxes, &ui};
};

int RadioOf(int category)
{
    return category == 1 ? IDC_RADIO_BUSINESS : category == 2 ? IDC_RADIO_OTHER : IDC_RADIO_REALESTATE;
}

}  // namespace

// ---------------------------------------------------------------- start

TEST_F(ConditionDlg, StartShowsTheTextsAndRunsTemplate130OverTheParent)
{
    auto dlg = Make();
    EXPECT_EQ(dlg->DoModal(), -1);   // no user action scripted: still open
    ASSERT_EQ(ui.runs.size(), 1u);
    EXPECT_EQ(ui.runs[0].templateId, 130);
    EXPECT_EQ(ui.runs[0].parent, parent);
    EXPECT_EQ(Text(IDC_COMPANY), " 山田商店");
    EXPECT_EQ(Text(IDC_PERIOD), " 2019/01/01～2019/12/31");
    EXPECT_EQ(Text(IDC_MFGCOST), "あり");
    EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\Out\\*.xml");
    EXPECT_EQ(view().Control(IDC_OUTPUT_PATH).limit, 255);
    EXPECT_EQ(Text(IDC_GROUP_OUTPUT), "出力先(&F)");
    // Focus left to the dialog manager: the first enabled tab stop.
    EXPECT_EQ(view().focusId, IDC_RADIO_BUSINESS);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ConditionDlg, StartForEveryBusinessKindRememberedCategoryAndHostPath)
{
    const unsigned char kinds[] = {1, 2, 3, 0, 255};
    const int remembered[] = {-1, 0, 1, 2, 3, 4};    // -1: no record
    const std::string hostPaths[] = {"", "E:\\host\\fixed.xml"};
    for (unsigned char kind : kinds) {
        for (int category : remembered) {
            for (const std::string& hostPath : hostPaths) {
                for (bool emptyRememberedPath : {false, true}) {
                    SCOPED_TRACE("kind " + std::to_string(kind) + ", remembered " + std::to_string(category) +
                                 ", host path '" + hostPath + "'" + (emptyRememberedPath ? ", empty path" : ""));
                    fakes::FakeFileSystem local;
                    fakes::FakeMessageBoxes localBoxes;
                    fakes::FakeUi localUi;
                    fakes::ScopedServices installedLocal(&local, &localBoxes, &localUi);
                    const std::string rememberedPath = emptyRememberedPath ? "" : "C:\\mem\\r.xml";
                    if (category >= 0)
                        local.AddFile(kEnvFile, "USER01/1/5:0/0/" + std::to_string(category) + "/" + rememberedPath + "\n");

                    auto dlg = Make(kind, hostPath);
                    dlg->DoModal();
                    fakes::FakeDialogView& v = *localUi.lastView();

                    const bool businessOn = kind != 2, otherOn = kind != 2, realEstateOn = kind != 1;
                    EXPECT_EQ(v.Control(IDC_RADIO_BUSINESS).enabled, businessOn);
                    EXPECT_EQ(v.Control(IDC_RADIO_OTHER).enabled, otherOn);
                    EXPECT_EQ(v.Control(IDC_RADIO_REALESTATE).enabled, realEstateOn);

                    int expected = kind == 2 ? 3 : 1;
                    const bool enabledFor[] = {false, businessOn, otherOn, realEstateOn};
                    if (category >= 1 && category <= 3 && enabledFor[category]) expected = category;
                    EXPECT_EQ(dlg->m_nCategory, expected);
                    for (int c = 1; c <= 3; ++c) EXPECT_EQ(v.Control(RadioOf(c)).checked, c == expected) << "radio " << c;

                    const bool hasRecordPath = category >= 0 && !rememberedPath.empty();
                    EXPECT_STREQ(dlg->m_szRememberedPath, hasRecordPath ? rememberedPath.c_str() : "");
                    std::string shown = !hostPath.empty() ? hostPath : hasRecordPath ? rememberedPath : "C:\\Out\\*.xml";
                    EXPECT_EQ(v.Control(IDC_OUTPUT_PATH).text, shown);
                    EXPECT_EQ(dlg->m_strOutputPath, shown);
                    EXPECT_EQ(dlg->m_bPathFixed, hostPath.empty() ? 0 : 1);
                    EXPECT_EQ(v.Control(IDC_OUTPUT_PATH).enabled, hostPath.empty());
                    EXPECT_EQ(v.Control(IDC_BROWSE).enabled, hostPath.empty());
                    EXPECT_EQ(v.Control(IDC_GROUP_OUTPUT).text, hostPath.empty() ? "出力先(&F)" : "出力先");
                    EXPECT_TRUE(localBoxes.shown.empty());
                }
            }
        }
    }
}

TEST_F(ConditionDlg, PastResultsAreRefused)
{
    auto dlg = Make(3, "", 1);
    EXPECT_EQ(dlg->DoModal(), 1014);
    ASSERT_EQ(boxes.shown.size(), 1u) << boxes.Readable();
    EXPECT_EQ(boxes.shown[0].text, kPastResults);
    EXPECT_EQ(boxes.shown[0].caption, kCaption);
    EXPECT_EQ(boxes.shown[0].type, 0x30u);
    EXPECT_EQ(boxes.shown[0].owner, view().Handle());
    // The rest of the start still ran; no cancel notice.
    EXPECT_EQ(view().Control(IDC_OUTPUT_PATH).limit, 255);
    EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\Out\\*.xml");
}

TEST_F(ConditionDlg, DefaultCandidatePath)
{
    const std::string folder255 = "C:\\" + std::string(251, 'o') + "\\";   // 255 bytes: "*.xml" fits
    const std::string folder256 = "C:\\" + std::string(252, 'o') + "\\";
    struct Row { std::string output, temp, candidate; };
    const std::vector<Row> rows = {
        {"C:\\Out\\", "C:\\Temp\\", "C:\\Out\\*.xml"},
        {"", "C:\\Temp\\", "C:\\Temp\\*.xml"},
        {"", "C:\\Temp", "C:\\Temp\\*.xml"},
        {"", "C:\\表", "C:\\表\\*.xml"},          // 5C trail byte: a backslash is appended
        {"", "", "*.xml"},
        {folder255, "C:\\Temp\\", folder255 + "*.xml"},
        {folder256, "C:\\Temp\\", "C:\\Temp\\*.xml"},   // too long: the next folder, never a cut one
        {folder256, folder256, "*.xml"},
        {"", std::string(261, 't'), "*.xml"},
    };
    for (const Row& row : rows) {
        SetHostFolders(row.output, "C:\\Settings\\");
        fs.SetTempPath(row.temp);
        auto dlg = Make();
        dlg->DoModal();
        EXPECT_EQ(Text(IDC_OUTPUT_PATH), row.candidate) << row.output.size() << " / " << row.temp.size();
        EXPECT_LE(Text(IDC_OUTPUT_PATH).size(), 260u);
    }
}

// ---------------------------------------------------------------- execute

namespace {

struct ExecuteRow {
    std::string name;
    std::string path;
    std::string hostPath;
    std::function<void(fakes::FakeFileSystem&)> prepare;
    std::vector<int> answers;
    std::vector<Box> expectedBoxes;
    int result;           // 1013, or -1 while the dialog stays open
    std::function<void(fakes::FakeFileSystem&)> verify;
};

const unsigned kRefusal = 0x30;
const unsigned kQuestion = 0x24;

}  // namespace

TEST_F(ConditionDlg, ExecuteRows)
{
    auto none = [](fakes::FakeFileSystem&) {};
    const std::string longPath = "C:\\" + std::string(254, 'a') + ".xml";   // 261 bytes
    std::string deepPath = "C:";   // 24 folders of 5 Japanese characters: 272 bytes
    for (int i = 0; i < 24; ++i) deepPath += "\\所得税申告";
    deepPath += "\\a.xml";
    ASSERT_GT(deepPath.size(), 260u);
    const std::vector<ExecuteRow> rows = {
        {"1 empty", "", "", none, {}, {{kNoPath, kRefusal}}, -1, none},
        {"2 default path", "C:\\Out\\*.xml", "", none, {}, {{kBadChars, kRefusal}}, -1, none},
        {"2 second colon", "C:\\a:b\\report.xml", "", none, {}, {{kBadChars, kRefusal}}, -1, none},
        {"2 doubled backslash", "C:\\a\\\\report.xml", "", none, {}, {{kBadChars, kRefusal}}, -1, none},
        {"2 symbol first after drive", "C:*report.xml", "", none, {}, {{kBadChars, kRefusal}}, -1, none},
        {"2 over 260 bytes", longPath, "", none, {}, {{kPathTooLong, kRefusal}}, -1, none},
        {"2 deep Japanese folders", deepPath, "", none, {}, {{kPathTooLong, kRefusal}}, -1, none},
        {"3 cd-rom", "D:\\report.xml", "", none, {}, {{kBadDrive, kRefusal}}, -1, none},
        {"3 digit", "1report.xml", "", none, {}, {{kBadDrive, kRefusal}}, -1, none},
        {"3 root of current drive", "\\report.xml", "", none, {}, {{kBadDrive, kRefusal}}, -1, none},
        {"3 missing share", "\\\\srv\\none\\a.xml", "", none, {}, {{kBadDrive, kRefusal}}, -1, none},
        {"4 trailing backslash", "C:\\Out\\", "", none, {}, {{kNoFileName, kRefusal}}, -1, none},
        {"5 no", "C:\\New\\Sub\\report.xml", "", none, {platform::ID_NO}, {{kCreateFolder, kQuestion}}, -1,
         [](fakes::FakeFileSystem& f) { EXPECT_FALSE(f.HasDirectory("C:\\New")); }},
        {"5 yes", "C:\\New\\Sub\\report.xml", "", none, {platform::ID_YES}, {{kCreateFolder, kQuestion}}, 1013,
         [](fakes::FakeFileSystem& f) { EXPECT_TRUE(f.HasDirectory("C:\\New\\Sub")); }},
        {"6 creation fails", "C:\\New\\Sub\\report.xml", "",
         [](fakes::FakeFileSystem& f) { f.FailCall("CreateDirectory", 2); }, {platform::ID_YES},
         {{kCreateFolder, kQuestion}, {kCreateFailed, kRefusal}}, -1,
         [](fakes::FakeFileSystem& f) { EXPECT_FALSE(f.HasDirectory("C:\\New")); }},
        {"7 existing folder", "C:\\Windows", "", none, {}, {{kNoFileName, kRefusal}}, -1, none},
        {"8 no", "C:\\Out\\tax.xml", "", [](fakes::FakeFileSystem& f) { f.AddFile("C:\\Out\\tax.xml", "old"); },
         {platform::ID_NO}, {{kOverwrite, kQuestion}}, -1, none},
        {"8 yes", "C:\\Out\\tax.xml", "", [](fakes::FakeFileSystem& f) { f.AddFile("C:\\Out\\tax.xml", "old"); },
         {platform::ID_YES}, {{kOverwrite, kQuestion}}, 1013, none},
        {"5 yes then 8", "C:\\New\\tax.xml", "", none, {platform::ID_YES}, {{kCreateFolder, kQuestion}}, 1013, none},
        {"9 new file", "C:\\Out\\new.xml", "", none, {}, {}, 1013, none},
        {"9 bare file name", "report.xml", "", none, {}, {}, 1013, none},
        {"9 double-byte folder exists", "C:\\表\\report.xml", "",
         [](fakes::FakeFileSystem& f) { f.AddDirectory("C:\\表"); }, {}, {}, 1013, none},
        {"5 double-byte folder created", "C:\\表\\report.xml", "", none, {platform::ID_YES},
         {{kCreateFolder, kQuestion}}, 1013, [](fakes::FakeFileSystem& f) {
             EXPECT_TRUE(f.HasDirectory("C:\\表"));
             EXPECT_FALSE(f.HasDirectory("C:\\\x95"));
         }},
        {"5 share folder", "\\\\srv\\share\\new\\report.xml", "", none, {platform::ID_YES},
         {{kCreateFolder, kQuestion}}, 1013,
         [](fakes::FakeFileSystem& f) { EXPECT_TRUE(f.HasDirectory("\\\\srv\\share\\new")); }},
        {"host fixed overwrites", "", "C:\\Out\\tax.xml",
         [](fakes::FakeFileSystem& f) { f.AddFile("C:\\Out\\tax.xml", "old"); }, {}, {}, 1013, none},
        {"host fixed folder name", "", "C:\\Windows", none, {}, {}, 1013, none},
        {"host fixed bad drive", "", "D:\\tax.xml", none, {}, {{kBadDrive, kRefusal}}, -1, none},
        {"host fixed missing folder", "", "C:\\Made\\tax.xml", none, {platform::ID_YES},
         {{kCreateFolder, kQuestion}}, 1013, [](fakes::FakeFileSystem& f) { EXPECT_TRUE(f.HasDirectory("C:\\Made")); }},
    };
    for (const ExecuteRow& row : rows) {
        SCOPED_TRACE(row.name);
        fakes::FakeFileSystem local;
        local.AddDirectory("C:\\Out");
        local.AddDirectory("C:\\Windows");
        local.AddDrive('D', platform::DRIVE_TYPE_CDROM, 4);
        local.AddShare("\\\\srv\\share", 6);
        row.prepare(local);
        fakes::FakeMessageBoxes localBoxes;
        for (int answer : row.answers) localBoxes.QueueAnswer(answer);
        fakes::FakeUi localUi;
        fakes::ScopedServices installedLocal(&local, &localBoxes, &localUi);

        auto dlg = Make(3, row.hostPath);
        if (row.hostPath.empty()) localUi.SetText(IDC_OUTPUT_PATH, row.path);
        localUi.Click(IDC_EXECUTE);
        int result = dlg->DoModal();

        std::vector<Box> shown;
        for (const fakes::ShownBox& box : localBoxes.shown) {
            shown.push_back(Box{box.text, box.type});
            EXPECT_EQ(box.caption, kCaption);
            EXPECT_EQ(box.owner, localUi.lastView()->Handle());
        }
        EXPECT_EQ(Describe(shown), Describe(row.expectedBoxes));
        EXPECT_EQ(result, row.result);
        fakes::FakeDialogView& v = *localUi.lastView();
        const bool refocused = !v.CallsStartingWith("SelectAllText 1016").empty();
        EXPECT_EQ(refocused, row.result == -1);
        if (row.result == -1) {
            EXPECT_EQ(v.calls.back(), "SelectAllText 1016");
            EXPECT_EQ(v.CallsStartingWith("SetFocus 1016").size(), 1u);
            EXPECT_EQ(v.focusId, row.hostPath.empty() ? IDC_OUTPUT_PATH : IDC_EXECUTE);
        }
        EXPECT_TRUE(localBoxes.answers.empty()) << "answers left over";
        row.verify(local);
    }
}

TEST_F(ConditionDlg, ExecuteReadsTheCategoryAndThePath)
{
    struct Row { int click; short category; };
    for (Row row : {Row{IDC_RADIO_BUSINESS, 1}, Row{IDC_RADIO_OTHER, 2}, Row{IDC_RADIO_REALESTATE, 3}}) {
        ui.runs.clear();
        auto dlg = Make(3);
        ui.Click(row.click).SetText(IDC_OUTPUT_PATH, "C:\\Out\\a.xml").Key(VK_KEY_F12);
        EXPECT_EQ(dlg->DoModal(), 1013);
        EXPECT_EQ(dlg->m_nCategory, row.category);
        EXPECT_EQ(dlg->m_strOutputPath, "C:\\Out\\a.xml");
    }
    // No radio checked at all: category 1.
    auto dlg = Make(3);
    ui.Do([](fakes::FakeDialogView& v) { v.Control(IDC_RADIO_BUSINESS).checked = false; })
        .SetText(IDC_OUTPUT_PATH, "C:\\Out\\a.xml")
        .Click(IDC_EXECUTE);
    EXPECT_EQ(dlg->DoModal(), 1013);
    EXPECT_EQ(dlg->m_nCategory, 1);

    // Several checked (a view that does not group its radios): the radios are tested in
    // the order business, other, real estate, and the last checked one tested wins.
    struct Several { std::vector<int> checked; short category; };
    for (const Several& row : {Several{{IDC_RADIO_BUSINESS, IDC_RADIO_OTHER}, 2},
                               Several{{IDC_RADIO_BUSINESS, IDC_RADIO_REALESTATE}, 3},
                               Several{{IDC_RADIO_OTHER, IDC_RADIO_REALESTATE}, 3}}) {
        ui.runs.clear();
        auto several = Make(3);
        ui.Do([&row](fakes::FakeDialogView& v) {
              for (int id : {IDC_RADIO_BUSINESS, IDC_RADIO_OTHER, IDC_RADIO_REALESTATE}) v.Control(id).checked = false;
              for (int id : row.checked) v.Control(id).checked = true;
          })
            .SetText(IDC_OUTPUT_PATH, "C:\\Out\\a.xml")
            .Click(IDC_EXECUTE);
        EXPECT_EQ(several->DoModal(), 1013);
        EXPECT_EQ(several->m_nCategory, row.category);
    }
}

TEST_F(ConditionDlg, RefusalsLeaveTheDialogUsable)
{
    auto dlg = Make();
    boxes.QueueAnswer(platform::ID_OK);    // no path
    boxes.QueueAnswer(platform::ID_NO);    // do not create C:\Made\ yet
    boxes.QueueAnswer(platform::ID_YES);   // now create it
    ui.SetText(IDC_OUTPUT_PATH, "")
        .Key(VK_KEY_F12)
        .SetText(IDC_OUTPUT_PATH, "C:\\Made\\x.xml")
        .Click(IDC_EXECUTE)
        .Do([this](fakes::FakeDialogView& v) {
            EXPECT_FALSE(fs.HasDirectory("C:\\Made"));
            EXPECT_FALSE(v.ended);
        })
        .Click(IDC_EXECUTE);
    EXPECT_EQ(dlg->DoModal(), 1013);
    ASSERT_EQ(boxes.shown.size(), 3u) << boxes.Readable();
    EXPECT_EQ(boxes.shown[0].text, kNoPath);
    EXPECT_EQ(boxes.shown[1].text, kCreateFolder);
    EXPECT_EQ(boxes.shown[2].text, kCreateFolder);
    EXPECT_TRUE(fs.HasDirectory("C:\\Made"));
    EXPECT_EQ(dlg->m_strOutputPath, "C:\\Made\\x.xml");
}

TEST_F(ConditionDlg, OverwriteNoThenYes)
{
    fs.AddFile("C:\\Out\\tax.xml", "old");
    boxes.QueueAnswer(platform::ID_NO);
    boxes.QueueAnswer(platform::ID_YES);
    auto dlg = Make();
    ui.SetText(IDC_OUTPUT_PATH, "C:\\Out\\tax.xml").Click(IDC_EXECUTE).Click(IDC_EXECUTE);
    EXPECT_EQ(dlg->DoModal(), 1013);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, kOverwrite);
    EXPECT_EQ(boxes.shown[1].type, 0x24u);
    EXPECT_EQ(fs.FileBytes("C:\\Out\\tax.xml"), "old");   // the dialog itself writes nothing
}

// ---------------------------------------------------------------- cancel

TEST_F(ConditionDlg, CancelButtonEscAndCloseBoxShowTheNotice)
{
    struct Row { const char* name; std::function<void(fakes::FakeUi&)> act; };
    const std::vector<Row> rows = {
        {"button", [](fakes::FakeUi& u) { u.Click(IDC_CANCEL_BUTTON); }},
        {"esc", [](fakes::FakeUi& u) { u.Key(VK_KEY_ESCAPE); }},
        {"close box", [](fakes::FakeUi& u) { u.Close(); }},
        {"enter on cancel", [](fakes::FakeUi& u) { u.Focus(IDC_CANCEL_BUTTON).Key(VK_KEY_RETURN); }},
    };
    for (const Row& row : rows) {
        boxes.shown.clear();
        auto dlg = Make();
        row.act(ui);
        EXPECT_EQ(dlg->DoModal(), 1014) << row.name;
        ASSERT_EQ(boxes.shown.size(), 1u) << row.name;
        EXPECT_EQ(boxes.shown[0].text, kCancelNotice) << row.name;
        EXPECT_EQ(boxes.shown[0].caption, kCaption);
        EXPECT_EQ(boxes.shown[0].type, 0x40u);
    }
    // The notice's bytes: half-width corner brackets A2 / A3 around 所得税.
    EXPECT_EQ(HexBytes(kCancelNotice.substr(0, 8)), "A2 8F 8A 93 BE 90 C5 A3");
}

// ---------------------------------------------------------------- keys

TEST_F(ConditionDlg, EnterMovesAlongAndRunsButtons)
{
    auto dlg = Make();
    ui.Focus(IDC_RADIO_OTHER)
        .Key(VK_KEY_RETURN)
        .Do([](fakes::FakeDialogView& v) {
            EXPECT_EQ(v.focusId, IDC_OUTPUT_PATH);
            EXPECT_EQ(v.calls.back(), "SelectAllText 1016");
        })
        .Key(VK_KEY_RETURN)
        .Do([](fakes::FakeDialogView& v) { EXPECT_EQ(v.focusId, IDC_BROWSE); })
        .Key(VK_KEY_RETURN)   // browse (cancelled): focus to execute
        .Do([this](fakes::FakeDialogView& v) {
            EXPECT_EQ(ui.saveCalls.size(), 1u);
            EXPECT_EQ(v.focusId, IDC_EXECUTE);
            v.Control(IDC_OUTPUT_PATH).text = "C:\\Out\\k.xml";
        })
        .Key(VK_KEY_RETURN);
    EXPECT_EQ(dlg->DoModal(), 1013);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.Readable();
}

TEST_F(ConditionDlg, EnterWithAHostFixedPathGoesToExecute)
{
    auto dlg = Make(3, "C:\\Out\\fixed.xml");
    ui.Focus(IDC_RADIO_BUSINESS)
        .Key(VK_KEY_RETURN)
        .Do([](fakes::FakeDialogView& v) { EXPECT_EQ(v.focusId, IDC_EXECUTE); })
        .Key(VK_KEY_RETURN);
    EXPECT_EQ(dlg->DoModal(), 1013);
    EXPECT_EQ(dlg->m_strOutputPath, "C:\\Out\\fixed.xml");
}

TEST_F(ConditionDlg, F12FromAnyControlRunsExecute)
{
    for (int focus : {IDC_RADIO_BUSINESS, IDC_OUTPUT_PATH, IDC_BROWSE, IDC_CANCEL_BUTTON, 0}) {
        boxes.shown.clear();
        auto dlg = Make();
        ui.Focus(focus).Key(VK_KEY_F12);   // the default path: refused at row 2
        EXPECT_EQ(dlg->DoModal(), -1) << focus;
        ASSERT_EQ(boxes.shown.size(), 1u) << focus;
        EXPECT_EQ(boxes.shown[0].text, kBadChars);
    }
}

TEST_F(ConditionDlg, ModifiedKeysAreNotIntercepted)
{
    // Shift+F12 and Alt+F12 do nothing; Ctrl+Enter on a radio is not a move to the box.
    auto dlg = Make();
    ui.Focus(IDC_RADIO_BUSINESS)
        .Key(VK_KEY_F12, {VK_KEY_SHIFT})
        .Key(VK_KEY_F12, {VK_KEY_MENU})
        .Do([this](fakes::FakeDialogView& v) {
            EXPECT_TRUE(boxes.shown.empty());
            EXPECT_EQ(v.focusId, IDC_RADIO_BUSINESS);
        });
    EXPECT_EQ(dlg->DoModal(), -1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ConditionDlg, StandardOkCommandRunsTheChecks)
{
    // Ctrl+Enter or Shift+Enter off the push buttons reaches the dialog manager, which
    // issues OK (id 1): it must not close the dialog without the checks.
    struct Row { int modifier; int focus; };
    for (Row row : {Row{VK_KEY_CONTROL, IDC_OUTPUT_PATH}, Row{VK_KEY_SHIFT, IDC_RADIO_BUSINESS}}) {
        boxes.shown.clear();
        auto dlg = Make();
        ui.Focus(row.focus).Key(VK_KEY_RETURN, {row.modifier});
        EXPECT_EQ(dlg->DoModal(), -1);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, kBadChars);
        EXPECT_FALSE(ui.lastView()->ended);
    }
    auto dlg = Make();
    ui.SetText(IDC_OUTPUT_PATH, "C:\\Out\\ok.xml").Focus(IDC_OUTPUT_PATH).Key(VK_KEY_RETURN, {VK_KEY_CONTROL});
    EXPECT_EQ(dlg->DoModal(), 1013);
}

// ---------------------------------------------------------------- browse

TEST_F(ConditionDlg, BrowseStartsFromThePathAndTakesTheChoice)
{
    struct Row { std::string path, folder, name; };
    const std::vector<Row> rows = {
        {"C:\\Out\\*.xml", "C:\\Out\\", "*.xml"},
        {"C:report.xml", "C:", "report.xml"},
        {"report.xml", "", "report.xml"},
        {"C:\\表\\a.xml", "C:\\表\\", "a.xml"},
        {"C:\\表", "C:\\", "表"},
    };
    for (const Row& row : rows) {
        ui.saveCalls.clear();
        ui.saveAnswers.push_back(std::string("C:\\Chosen\\b.xml"));
        auto dlg = Make();
        ui.SetText(IDC_OUTPUT_PATH, row.path).Click(IDC_BROWSE);
        dlg->DoModal();
        ASSERT_EQ(ui.saveCalls.size(), 1u);
        const platform::SaveFileRequest& request = ui.saveCalls[0].request;
        EXPECT_EQ(request.initialFolder, row.folder) << row.path;
        EXPECT_EQ(request.initialName, row.name) << row.path;
        EXPECT_EQ(request.defaultExtension, "XML");
        EXPECT_EQ(request.filter, "Xml Files (*.xml)|*.xml||");
        EXPECT_EQ(request.title, "保存ファイルを指定");
        EXPECT_EQ(request.flags, 0x180Cu);
        EXPECT_EQ(ui.saveCalls[0].owner, ui.lastView()->Handle());
        EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\Chosen\\b.xml");
        EXPECT_EQ(dlg->m_strOutputPath, "C:\\Chosen\\b.xml");
        EXPECT_EQ(view().focusId, IDC_EXECUTE);
    }
}

TEST_F(ConditionDlg, CancelledBrowseChangesNothing)
{
    auto dlg = Make();
    ui.saveAnswers.push_back(std::nullopt);
    ui.SetText(IDC_OUTPUT_PATH, "C:\\Out\\typed.xml").Click(IDC_BROWSE);
    dlg->DoModal();
    EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\Out\\typed.xml");
    EXPECT_EQ(view().focusId, IDC_EXECUTE);
}

// ---------------------------------------------------------------- remembered round trip

TEST_F(ConditionDlg, RememberedDestinationIsOfferedNextTime)
{
    auto first = Make(3);
    ui.Click(IDC_RADIO_OTHER).SetText(IDC_OUTPUT_PATH, "C:\\Out\\r.xml").Click(IDC_EXECUTE);
    ASSERT_EQ(first->DoModal(), 1013);
    EXPECT_EQ(first->WriteRememberedDestination(0, 0, first->m_nCategory, first->m_strOutputPath.c_str()), 1);
    EXPECT_EQ(fs.FileBytes(kEnvFile), "USER01/1/5:0/0/2/C:\\Out\\r.xml\n");

    auto second = Make(3);
    second->DoModal();
    EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\Out\\r.xml");
    EXPECT_TRUE(Checked(IDC_RADIO_OTHER));
    EXPECT_FALSE(Checked(IDC_RADIO_BUSINESS));

    // A host-started run remembers its category but keeps the old path.
    auto hosted = Make(3, "C:\\Out\\host.xml");
    ui.Click(IDC_RADIO_REALESTATE).Click(IDC_EXECUTE);
    ASSERT_EQ(hosted->DoModal(), 1013);
    EXPECT_EQ(hosted->WriteRememberedDestination(0, 0, hosted->m_nCategory, nullptr), 1);
    EXPECT_EQ(fs.FileBytes(kEnvFile), "USER01/1/5:0/0/3/C:\\Out\\r.xml\n");
}

TEST_F(ConditionDlg, WithoutUiTheDialogDoesNotRun)
{
    platform::Services services = platform::GetServices();
    services.ui = nullptr;
    platform::SetServices(services);
    auto dlg = Make();
    EXPECT_EQ(dlg->DoModal(), -1);
}

TEST_F(ConditionDlg, TypedPathStopsAt255BytesOnACharacterBoundary)
{
    auto dlg = Make();
    const std::string typed = "C:\\" + std::string(251, 'a') + "表表";   // 258 bytes
    ui.Type(IDC_OUTPUT_PATH, typed);
    dlg->DoModal();
    EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\" + std::string(251, 'a'));   // 表 would split at 255
    EXPECT_EQ(view().calls.front().rfind("SetItemText", 0), 0u);
    EXPECT_EQ(view().CallsStartingWith("LimitText 1016 255").size(), 1u);
}
