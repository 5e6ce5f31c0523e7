// Whole runs of the start and end steps against the host stand-in and recording fakes:
// every outcome, what the host learns, which windows were touched, which boxes shown.
#include <algorithm>
#include <optional>
#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/edition.h"
#include "app/export_app.h"
#include "app/progress/progress_dlg.h"
#include "common/cp932.h"
#include "common/program_texts.h"
#include "hostsim/hostsim.h"
#include "resources/resource.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_message_boxes.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/fake_wait_cursor.h"
#include "tests/fakes/fake_windows.h"
#include "tests/fakes/host_log.h"
#include "tests/fakes/scoped_services.h"

namespace {

const HWND kHost = reinterpret_cast<HWND>(static_cast<intptr_t>(12345));
const HWND kProgressWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x131));
// Stands for the conditions dialog's own window in an expected box.
const HWND kDialogWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(-130));

const char kOutputFolder[] = "C:\\Users\\Public\\Documents\\";
const char kChosenPath[] = "C:\\Users\\Public\\Documents\\tax.xml";
const char kFixedPath[] = "C:\\Users\\Public\\Documents\\fixed.xml";
const char kRememberedFile[] = "C:\\Users\\Public\\Ledgra\\LedgraProExport.env";

// Message boxes as the user sees them.
const std::string kCompleted = "所得税情報の出力が終了しました。\n\nアプリケーションを終了します。";
const std::string kWriteFailed = "XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。";
const std::string kCollectFailed = "集計データの取得に失敗しました。\n\nアプリケーションを終了します。";
const std::string kPathTooLong =
    "指定された出力先のパスが長すぎるため、出力できません。\n\nアプリケーションを終了します。";
const std::string kDialogFailed = "集計条件の画面でエラーが発生しました。\n\nアプリケーションを終了します。";
const std::string kUnexpected = "予期しないエラーが発生したため、処理を中断しました。\n\nアプリケーションを終了します。";
const std::string kUnexpectedAfterWrite =
    "所得税情報の出力は終了しましたが、その後に予期しないエラーが発生しました。\n\nアプリケーションを終了します。";
const std::string kCancelled = "｢所得税｣の集計を中止します。";
const std::string kPastResults = "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。";
const std::string kBroken = "動作環境が不正です。\nTaxvaneが正しくインストールされているか確認してください。";
const std::string kPackageTooOld =
    "ご利用の連動コンポーネントは、インストールされているTaxvaneでは使用できません。\n"
    "Taxvaneの最新版を入手してインストールしてからご利用ください。";
const std::string kExporterTooOld =
    "ご利用の連動コンポーネントは、インストールされているTaxvaneでは使用できません。\n"
    "連動コンポーネントの最新版を入手してインストールしてからご利用ください。";

struct Box {
    HWND owner;
    std::string text;
    unsigned type;
};

std::string Describe(HWND owner, const std::string& text, unsigned type)
{
    std::string line = "owner " + std::to_string(reinterpret_cast<intptr_t>(owner)) + " type 0x";
    const char digits[] = "0123456789ABCDEF";
    line += digits[(type >> 4) & 15];
    line += digits[type & 15];
    std::string shown = cp932::ToUtf8(text);
    for (std::size_t at = shown.find('\n'); at != std::string::npos; at = shown.find('\n', at + 2))
        shown.replace(at, 1, "\\n");
    return line + " " + shown;
}

// The sample company of the stand-in, with a few texts replaced.
std::string Sample(const std::vector<std::pair<std::string, std::string>>& replacements)
{
    std::string json = hostsim::BuiltInSample();
    for (const auto& r : replacements) {
        const std::size_t at = json.find(r.first);
        EXPECT_NE(std::string::npos, at) << "sample holds no " << r.first;
        if (at != std::string::npos)
            json.replace(at, r.first.size(), r.second);
    }
    return json;
}

const std::pair<std::string, std::string> kSelectPastResults{"\"selected\": [1, 5]", "\"selected\": [1, 4]"};
std::pair<std::string, std::string> Connection(int initiate, int link)
{
    return {"\"connection\": {\"initiate\": 0, \"link\": 0}",
            "\"connection\": {\"initiate\": " + std::to_string(initiate) + ", \"link\": " + std::to_string(link) + "}"};
}
std::pair<std::string, std::string> Faults(const std::string& faults)
{
    return {"\"faults\": {}", "\"faults\": " + faults};
}

class ExportRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Load({});
        fs.AddDirectory(kOutputFolder);
        fs.AddFile("C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\r\nTV14=2\r\n");
        // The run must make the program's folder current itself.
        fs.SetCurrentDirValue("C:\\");
    }

    void TearDown() override { hostsim::ResetForTests(); }

    void Load(const std::vector<std::pair<std::string, std::string>>& replacements)
    {
        ASSERT_TRUE(hostsim::LoadStoreFromText(Sample(replacements))) << hostsim::StoreError();
    }

    // The user names a file and runs the export.
    void ChooseAndRun(const std::string& path)
    {
        ui.SetText(IDC_OUTPUT_PATH, path);
        ui.Click(IDC_EXECUTE);
    }

    void Run(const std::string& commandLine)
    {
        app.SetCommandLine(commandLine);
        started = app.InitInstance();
        // The connection's members as the start step left them.
        caption = ClAccConnect::Inst()->m_pszCaption;
        owner = ClAccConnect::Inst()->m_hOwnerWnd;
        app.ExitInstance();
    }

    void ExpectBoxes(const std::vector<Box>& expected)
    {
        std::vector<std::string> want;
        for (const Box& box : expected) {
            HWND boxOwner = box.owner;
            if (boxOwner == kDialogWindow) {
                EXPECT_FALSE(ui.runs.empty());
                boxOwner = ui.runs.empty() ? nullptr : ui.runs.back().view->Handle();
            }
            want.push_back(Describe(boxOwner, box.text, box.type));
        }
        std::vector<std::string> got;
        for (const fakes::ShownBox& box : boxes.shown) {
            got.push_back(Describe(box.owner, box.text, box.type));
            EXPECT_EQ("所得税", box.caption);
        }
        EXPECT_EQ(want, got);
    }

    // Files the run wrote: all but the definitions file the test laid down.
    std::vector<std::string> WrittenFiles() const
    {
        std::vector<std::string> out;
        for (const std::string& file : fs.Files())
            if (file != "C:\\Ledgra\\TaxvaneDef.ini")
                out.push_back(file);
        return out;
    }

    // The connection calls that frame every run.
    std::vector<std::string> ConnectionCalls() const
    {
        return log.Only({"SetAppType", "SetUseDataType", "Initiate", "ExpSysLink", "LogOut", "Terminate", "Release"});
    }

    std::vector<std::string> HostNotified(int outcome) const
    {
        return {"EnableWindow 12345 0", "SetForegroundWindow 12345", "EnableWindow 12345 1",
                "PostMessage 12345 32769 7 " + std::to_string(outcome)};
    }

    fakes::HostLog log;
    fakes::FakeFileSystem fs;
    fakes::FakeMessageBoxes boxes;
    fakes::FakeWindows windows;
    fakes::FakeWaitCursor cursor;
    fakes::FakeUi ui;
    ClExportApp app;
    fakes::ScopedServices installed{&fs, &boxes, &windows, &cursor, &ui};
    int started = -1;
    const char* caption = nullptr;
    HWND owner = nullptr;
};

const std::vector<std::string> kFullConnection = {"SetAppType 3", "SetUseDataType 2", "Initiate -> 0",
                                                  "ExpSysLink -> 0", "LogOut -> 0", "Terminate", "Release"};

// ---- completed runs ----

TEST_F(ExportRunTest, StandAloneRunWritesReportAndRemembersThePath)
{
    ChooseAndRun(kChosenPath);
    Run("");

    EXPECT_EQ(1, started);
    EXPECT_EQ(0, app.resultCode);
    EXPECT_EQ(0, app.launchedByHost);
    EXPECT_TRUE(windows.calls.empty()) << ::testing::PrintToString(windows.calls);
    ExpectBoxes({{nullptr, kCompleted, 0x40}});
    EXPECT_EQ(kFullConnection, ConnectionCalls());
    // The settings folder is asked for once by the dialog's read and once by the write.
    const std::vector<std::string> folderCalls = log.Only({"GetAppFolderPath"});
    EXPECT_EQ(2, std::count(folderCalls.begin(), folderCalls.end(), "GetAppFolderPath 1"))
        << ::testing::PrintToString(folderCalls);
    EXPECT_EQ(texts::kCaption, caption) << "the static literal itself";
    EXPECT_EQ(nullptr, owner);

    ASSERT_TRUE(fs.HasFile(kChosenPath));
    const std::string report = fs.FileBytes(kChosenPath);
    EXPECT_NE(std::string::npos, report.find("<FUNCTIONID>1</FUNCTIONID>")) << "default function id";
    EXPECT_EQ("USER01/1/5:0/0/1/" + std::string(kChosenPath) + "\n", fs.FileBytes(kRememberedFile));
    EXPECT_EQ(0, fs.OpenFileCount());

    // The dialog ran without a parent and showed the selected data set.
    ASSERT_EQ(1u, ui.runs.size());
    EXPECT_EQ(130, ui.runs[0].templateId);
    EXPECT_EQ(nullptr, ui.runs[0].parent);
    EXPECT_EQ(" 山田ベーカリー", ui.runs[0].view->GetItemText(IDC_COMPANY));
    EXPECT_EQ(" 2019/01/01～2019/12/31", ui.runs[0].view->GetItemText(IDC_PERIOD));
    EXPECT_EQ("あり", ui.runs[0].view->GetItemText(IDC_MFGCOST));

    // The progress window went from shown to finished to destroyed, full at the end.
    ASSERT_EQ(1u, ui.progressViews.size());
    const fakes::FakeProgressState& progress = *ui.progressViews[0];
    EXPECT_TRUE(progress.shown);
    EXPECT_EQ(nullptr, progress.parent);
    EXPECT_TRUE(progress.ended);
    EXPECT_EQ(1, progress.endResult);
    EXPECT_TRUE(progress.destroyed);
    ASSERT_FALSE(progress.captions.empty());
    EXPECT_EQ("集計中 100％", progress.captions.back());
    EXPECT_EQ(1000, progress.bars.at(IDC_PROGRESS_OVERALL).pos);

    const std::vector<std::string> waits = {"Begin", "Restore", "End"};
    EXPECT_EQ(waits, cursor.calls);
}

TEST_F(ExportRunTest, HostLaunchWithFixedPath)
{
    ui.Do([this](fakes::FakeDialogView&) {
        EXPECT_FALSE(windows.IsEnabled(kHost)) << "the host is disabled while the dialog runs";
    });
    ui.Click(IDC_EXECUTE);
    Run(std::string("12345,32769,7,") + kFixedPath);

    EXPECT_EQ(1, started);
    EXPECT_EQ(0, app.resultCode);
    EXPECT_EQ(1, app.launchedByHost);
    EXPECT_EQ(HostNotified(0), windows.calls);
    EXPECT_TRUE(windows.IsEnabled(kHost));
    ExpectBoxes({{kHost, kCompleted, 0x40}});
    EXPECT_EQ(kFullConnection, ConnectionCalls());
    EXPECT_EQ(kHost, owner);

    ASSERT_TRUE(fs.HasFile(kFixedPath));
    EXPECT_NE(std::string::npos, fs.FileBytes(kFixedPath).find("<FUNCTIONID>7</FUNCTIONID>"));
    // A host-started run remembers the category but not its destination.
    EXPECT_EQ("USER01/1/5:0/0/1/\n", fs.FileBytes(kRememberedFile));

    ASSERT_EQ(1u, ui.runs.size());
    EXPECT_EQ(kHost, ui.runs[0].parent);
    EXPECT_EQ(kFixedPath, ui.runs[0].view->GetItemText(IDC_OUTPUT_PATH));
    EXPECT_EQ(kHost, ui.progressViews[0]->parent);
}

TEST_F(ExportRunTest, HostLaunchWithoutFixedPath)
{
    ChooseAndRun(kChosenPath);
    Run("12345,32769,7,");

    EXPECT_EQ(0, app.resultCode);
    EXPECT_EQ(HostNotified(0), windows.calls);
    ExpectBoxes({{kHost, kCompleted, 0x40}});
    ASSERT_TRUE(fs.HasFile(kChosenPath));
    EXPECT_EQ("USER01/1/5:0/0/1/\n", fs.FileBytes(kRememberedFile));
}

TEST_F(ExportRunTest, IncompleteLaunchLineIsAStandAloneRun)
{
    ChooseAndRun(kChosenPath);
    Run("12345,32769,7");

    EXPECT_EQ(0, app.resultCode);
    EXPECT_EQ(0, app.launchedByHost);
    EXPECT_TRUE(windows.calls.empty());
    // The stored window still owns the completion message.
    ExpectBoxes({{kHost, kCompleted, 0x40}});
    EXPECT_EQ("USER01/1/5:0/0/1/" + std::string(kChosenPath) + "\n", fs.FileBytes(kRememberedFile));
}

TEST_F(ExportRunTest, BasicEditionAnnouncesItsTypeAndUsesItsOwnFile)
{
    ChooseAndRun(kChosenPath);
    ClExportApp basic(BasicEdition());
    basic.InitInstance();
    basic.ExitInstance();

    EXPECT_EQ(0, basic.resultCode);
    ASSERT_FALSE(ConnectionCalls().empty());
    EXPECT_EQ("SetAppType 0", ConnectionCalls()[0]);
    EXPECT_TRUE(fs.HasFile("C:\\Users\\Public\\Ledgra\\LedgraBasicExport.env"));
    EXPECT_FALSE(fs.HasFile(kRememberedFile));
}

// ---- runs that end early ----

struct EarlyEnd {
    const char* name;
    std::vector<std::pair<std::string, std::string>> store;
    std::string ini;            // TaxvaneDef.ini text; "-" for no file
    int outcome;
    std::vector<std::string> connection;
    std::vector<Box> boxes;
    bool windowTouched;         // the host window was disabled and notified
    bool dialogShown;
};

void PrintTo(const EarlyEnd& c, std::ostream* os) { *os << c.name; }

const std::vector<std::string> kNoLink = {"SetAppType 3", "SetUseDataType 2", "Initiate -> 0",
                                          "LogOut -> 0", "Terminate", "Release"};

std::vector<EarlyEnd> EarlyEnds()
{
    const std::string level2 = "[ProgramLevel]\r\nTV14=2\r\n";
    return {
        {"initiate fails", {Connection(3, 0)}, level2, 2,
         {"SetAppType 3", "SetUseDataType 2", "Initiate -> 3", "LogOut -> 0", "Terminate", "Release"}, {}, false, false},
        {"link answers 1", {Connection(0, 1)}, level2, 1,
         {"SetAppType 3", "SetUseDataType 2", "Initiate -> 0", "ExpSysLink -> 1", "LogOut -> 0", "Terminate", "Release"},
         {}, true, false},
        {"link answers 2", {Connection(0, 2)}, level2, 2,
         {"SetAppType 3", "SetUseDataType 2", "Initiate -> 0", "ExpSysLink -> 2", "LogOut -> 0", "Terminate", "Release"},
         {}, true, false},
        {"definitions file missing", {}, "-", 2, kNoLink, {{nullptr, kBroken, 0x30}}, true, false},
        {"level 1", {}, "[ProgramLevel]\r\nTV14=1\r\n", 2, kNoLink, {{nullptr, kPackageTooOld, 0x30}}, true, false},
        {"key missing", {}, "[ProgramLevel]\r\n", 2, kNoLink, {{nullptr, kPackageTooOld, 0x30}}, true, false},
        {"level 3", {}, "[ProgramLevel]\r\nTV14=3\r\n", 2, kNoLink, {{nullptr, kExporterTooOld, 0x30}}, true, false},
        {"past results", {kSelectPastResults}, level2, 1, kFullConnection, {{kDialogWindow, kPastResults, 0x30}}, true, true},
    };
}

class EarlyEndTest : public ExportRunTest, public ::testing::WithParamInterface<EarlyEnd> {
protected:
    // The case's host data and definitions file ("-": none).
    void Prepare(const EarlyEnd& c)
    {
        Load(c.store);
        if (c.ini == "-")
            fs.DeleteFile("C:\\Ledgra\\TaxvaneDef.ini");
        else
            fs.AddFile("C:\\Ledgra\\TaxvaneDef.ini", c.ini);
    }
};

TEST_P(EarlyEndTest, HostLaunch)
{
    const EarlyEnd& c = GetParam();
    Prepare(c);
    Run("12345,32769,7,");

    EXPECT_EQ(0, started);
    EXPECT_EQ(c.outcome, app.resultCode);
    EXPECT_EQ(c.connection, ConnectionCalls());
    ExpectBoxes(c.boxes);
    if (c.windowTouched)
        EXPECT_EQ(HostNotified(c.outcome), windows.calls);
    else
        EXPECT_TRUE(windows.calls.empty()) << ::testing::PrintToString(windows.calls);
    EXPECT_EQ(c.dialogShown ? 1u : 0u, ui.runs.size());
    EXPECT_TRUE(ui.progressViews.empty());
    EXPECT_TRUE(cursor.calls.empty());
    EXPECT_FALSE(fs.HasFile(kRememberedFile));
    EXPECT_EQ(std::vector<std::string>{}, WrittenFiles()) << "nothing written";
}

TEST_P(EarlyEndTest, StandAlone)
{
    const EarlyEnd& c = GetParam();
    Prepare(c);
    Run("");

    EXPECT_EQ(c.outcome, app.resultCode);
    EXPECT_EQ(c.connection, ConnectionCalls());
    ExpectBoxes(c.boxes);
    EXPECT_TRUE(windows.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Outcomes, EarlyEndTest, ::testing::ValuesIn(EarlyEnds()),
                         [](const ::testing::TestParamInfo<EarlyEnd>& info) {
                             std::string name;
                             for (char ch : std::string(info.param.name))
                                 name += (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ? ch : '_';
                             return name;
                         });

TEST_F(ExportRunTest, CancelInTheDialog)
{
    ui.Click(IDC_CANCEL_BUTTON);
    Run("12345,32769,7,");

    EXPECT_EQ(0, started);
    EXPECT_EQ(1, app.resultCode);
    EXPECT_EQ(kFullConnection, ConnectionCalls());
    ExpectBoxes({{kDialogWindow, kCancelled, 0x40}});
    EXPECT_EQ(HostNotified(1), windows.calls);
    EXPECT_TRUE(ui.progressViews.empty());
    EXPECT_FALSE(fs.HasFile(kRememberedFile));
}

TEST_F(ExportRunTest, DialogThatCannotBeShownExportsNothing)
{
    // No user gesture at all: the fake dialog ends without a result, as one that could
    // not be created.
    Run("12345,32769,7,");

    EXPECT_EQ(0, started);
    EXPECT_EQ(2, app.resultCode);
    EXPECT_EQ(HostNotified(2), windows.calls);
    EXPECT_TRUE(ui.progressViews.empty());
    ExpectBoxes({{kHost, kDialogFailed, 0x30}});
}

TEST_F(ExportRunTest, FunctionIdIsPostedAsASignedShort)
{
    struct Row {
        std::string line;
        std::string posted;
    };
    const Row rows[] = {
        {"12345,32769,-2,", "PostMessage 12345 32769 -2 1"},
        {"12345,32769,70000,", "PostMessage 12345 32769 4464 1"},
        {"12345,32769,65535,", "PostMessage 12345 32769 -1 1"},
    };
    for (const Row& row : rows) {
        Load({Connection(0, 1)});
        ClExportApp run;
        run.SetCommandLine(row.line);
        run.InitInstance();
        run.ExitInstance();
        ASSERT_FALSE(windows.calls.empty());
        EXPECT_EQ(row.posted, windows.calls.back());
        ASSERT_EQ(1u, windows.posted.size());
        windows.calls.clear();
        windows.posted.clear();
    }
}

TEST_F(ExportRunTest, ProgramFolderBecomesCurrentCutByCharacters)
{
    const std::string hyou = "\x95\x5C";  // 表: its trail byte is 0x5C
    struct Row {
        std::string module;
        std::string folder;
    };
    const Row rows[] = {
        {"C:\\Ledgra\\LedgraProExport.exe", "C:\\Ledgra\\"},
        {"C:\\" + hyou + "\\LedgraProExport.exe", "C:\\" + hyou + "\\"},
        {"C:\\Ledgra\\" + hyou + ".exe", "C:\\Ledgra\\"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(cp932::ToUtf8(row.module));
        Load({Connection(0, 1)});
        fs.AddFile(row.folder + "TaxvaneDef.ini", "[ProgramLevel]\r\nTV14=2\r\n");
        fs.SetModulePath(row.module);
        fs.SetCurrentDirValue("C:\\");
        boxes.shown.clear();
        fs.ResetCalls();
        ClExportApp run;
        run.InitInstance();
        run.ExitInstance();
        std::vector<std::string> changes;
        for (const std::string& call : fs.calls())
            if (call.rfind("SetCurrentDir ", 0) == 0)
                changes.push_back(cp932::ToUtf8(call));
        EXPECT_EQ(std::vector<std::string>{cp932::ToUtf8("SetCurrentDir " + row.folder)}, changes);
        EXPECT_EQ(1, run.resultCode) << "the check found the definitions file; " << boxes.Readable();
    }
}

// ---- failures after the dialog ----

TEST_F(ExportRunTest, WriteFailureShowsItsMessageOverTheProgressWindow)
{
    fs.FailCallsFrom("Write", 3);
    ChooseAndRun(kChosenPath);
    Run("12345,32769,7,");

    EXPECT_EQ(0, started);
    EXPECT_EQ(2, app.resultCode);
    ExpectBoxes({{kProgressWindow, kWriteFailed, 0x30}});
    EXPECT_EQ(HostNotified(2), windows.calls);
    EXPECT_EQ(kFullConnection, ConnectionCalls());
    EXPECT_FALSE(fs.HasFile(kRememberedFile)) << "nothing remembered";
    ASSERT_EQ(1u, ui.progressViews.size());
    EXPECT_TRUE(ui.progressViews[0]->ended);
    EXPECT_TRUE(ui.progressViews[0]->destroyed);
    const std::vector<std::string> waits = {"Begin", "Restore", "End"};
    EXPECT_EQ(waits, cursor.calls);
    EXPECT_EQ(0, fs.OpenFileCount());
}

struct CollectFailure {
    const char* name;
    std::string faults;
    int form;   // radio button clicked
};

void PrintTo(const CollectFailure& c, std::ostream* os) { *os << c.name; }

class CollectFailureTest : public ExportRunTest, public ::testing::WithParamInterface<CollectFailure> {};

TEST_P(CollectFailureTest, NoReportAndTheFailureIsReported)
{
    const CollectFailure& c = GetParam();
    Load({Faults(c.faults)});
    ui.Click(c.form);
    ChooseAndRun(kChosenPath);
    Run("12345,32769,7,");

    EXPECT_EQ(0, started);
    EXPECT_EQ(2, app.resultCode);
    ExpectBoxes({{kProgressWindow, kCollectFailed, 0x30}});
    EXPECT_FALSE(fs.HasFile(kChosenPath)) << "no report is written";
    EXPECT_FALSE(fs.HasFile(kRememberedFile)) << "nothing remembered";
    EXPECT_EQ(HostNotified(2), windows.calls);
    EXPECT_EQ(kFullConnection, ConnectionCalls());
    ASSERT_EQ(1u, ui.progressViews.size());
    EXPECT_TRUE(ui.progressViews[0]->ended);
    EXPECT_TRUE(ui.progressViews[0]->destroyed);
    const std::vector<std::string> waits = {"Begin", "Restore", "End"};
    EXPECT_EQ(waits, cursor.calls);
    // Whatever was collected before the failure is freed by the end step.
    EXPECT_TRUE(app.figures.sumLines.empty());
    EXPECT_EQ(nullptr, app.figures.savedGeneral.pBase);
    EXPECT_EQ(nullptr, app.figures.savedRealEstate.pBase);
}

INSTANTIATE_TEST_SUITE_P(Faults, CollectFailureTest,
                         ::testing::Values(CollectFailure{"saved general details", R"({"GetDataIppan": 9})", IDC_RADIO_BUSINESS},
                                           CollectFailure{"saved real estate details", R"({"GetDataFudousan": 9})", IDC_RADIO_REALESTATE},
                                           CollectFailure{"blue ready", R"({"Ready": 7})", IDC_RADIO_BUSINESS},
                                           CollectFailure{"middle of a walk", R"({"MoveNext_PL": {"call": 3, "status": 9}})", IDC_RADIO_OTHER},
                                           CollectFailure{"real estate walk", R"({"MoveFirst_PL": 9})", IDC_RADIO_REALESTATE}),
                         [](const ::testing::TestParamInfo<CollectFailure>& info) {
                             std::string name;
                             for (char ch : std::string(info.param.name))
                                 name += (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ? ch : '_';
                             return name;
                         });

// ---- exceptions: the barrier of the start and end steps ----

// Throws std::bad_alloc from one operation: creating the report's file or the
// remembered-destination file's temporary file.
class ThrowingFileSystem : public fakes::FakeFileSystem {
public:
    std::unique_ptr<platform::IWriteFile> CreateNew(const std::string& path) override
    {
        if (throwOn == "CreateNew" && path.rfind(kChosenPath, 0) == 0) throw std::bad_alloc();
        // The remembered destinations' temporary file.
        if (throwOn == "CreateTemp" && path.size() > 4 && path.compare(path.size() - 4, 4, ".tmp") == 0)
            throw std::bad_alloc();
        return FakeFileSystem::CreateNew(path);
    }
    std::string throwOn;
};

// Throws once from the first SetForegroundWindow when asked: the end step's own failure.
class ThrowingWindows : public fakes::FakeWindows {
public:
    bool SetForegroundWindow(HWND wnd) override
    {
        if (throwOnce) {
            throwOnce = false;
            throw std::bad_alloc();
        }
        return FakeWindows::SetForegroundWindow(wnd);
    }
    bool throwOnce = false;
};

class BarrierTest;

struct BarrierRow {
    const char* name;
    std::function<void(BarrierTest&)> arm;
    int outcome;              // 0 only when the report had been written whole
    std::vector<Box> boxes;
    bool reportWhole;
};

void PrintTo(const BarrierRow& row, std::ostream* os) { *os << row.name; }

class BarrierTest : public ExportRunTest, public ::testing::WithParamInterface<BarrierRow> {
protected:
    void SetUp() override
    {
        ExportRunTest::SetUp();
        throwingFs.AddDirectory(kOutputFolder);
        throwingFs.AddFile("C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\r\nTV14=2\r\n");
        throwing.emplace(&throwingFs, &throwingWindows);
    }

public:
    ThrowingFileSystem throwingFs;
    ThrowingWindows throwingWindows;
    std::optional<fakes::ScopedServices> throwing;
    using ExportRunTest::ui;
};

TEST_P(BarrierTest, TheEndStepRunsTheHostIsToldAndTheUserToo)
{
    const BarrierRow& row = GetParam();
    row.arm(*this);
    ChooseAndRun(kChosenPath);
    app.SetCommandLine("12345,32769,7,");
    EXPECT_NO_THROW(app.Run());

    EXPECT_EQ(row.outcome, app.resultCode);
    const std::vector<std::string> told = {"EnableWindow 12345 0", "SetForegroundWindow 12345", "EnableWindow 12345 1",
                                           "PostMessage 12345 32769 7 " + std::to_string(row.outcome)};
    EXPECT_EQ(told, throwingWindows.calls);
    ExpectBoxes(row.boxes);
    EXPECT_EQ(kFullConnection, ConnectionCalls()) << "the end step ran";
    const std::string report = throwingFs.FileBytes(kChosenPath);
    const std::string end = "</REPORT>\r\n";
    EXPECT_EQ(row.reportWhole,
              report.size() > end.size() && report.compare(report.size() - end.size(), end.size(), end) == 0);
    for (const auto& progress : ui.progressViews) EXPECT_TRUE(progress->destroyed);
    EXPECT_EQ(0, throwingFs.OpenFileCount());
}

INSTANTIATE_TEST_SUITE_P(
    Throws, BarrierTest,
    ::testing::Values(
        BarrierRow{"in the dialog",
                   [](BarrierTest& t) { t.ui.Do([](fakes::FakeDialogView&) { throw std::bad_alloc(); }); }, 2,
                   {{kHost, kDialogFailed, 0x30}}, false},
        BarrierRow{"creating the report", [](BarrierTest& t) { t.throwingFs.throwOn = "CreateNew"; }, 2,
                   {{kHost, kUnexpected, 0x30}}, false},
        BarrierRow{"remembering the destination", [](BarrierTest& t) { t.throwingFs.throwOn = "CreateTemp"; }, 0,
                   {{kHost, kUnexpectedAfterWrite, 0x30}}, true},
        BarrierRow{"end step", [](BarrierTest& t) { t.throwingWindows.throwOnce = true; }, 0,
                   {{kHost, kCompleted, 0x40}}, true}),
    [](const ::testing::TestParamInfo<BarrierRow>& info) {
        std::string name;
        for (char ch : std::string(info.param.name)) name += (ch >= 'a' && ch <= 'z') ? ch : '_';
        return name;
    });

// ---- the launch line past its limit ----

TEST_F(ExportRunTest, OverLongFixedPathIsRefusedAndTheHostIsStillTold)
{
    std::string path = "C:\\Users\\Public\\Documents\\";
    path += std::string(300 - path.size(), 'a') + ".xml";
    Run("12345,32769,7," + path);

    EXPECT_EQ(0, started);
    EXPECT_EQ(2, app.resultCode);
    ExpectBoxes({{kHost, kPathTooLong, 0x30}});
    EXPECT_EQ(HostNotified(2), windows.calls);
    EXPECT_EQ(kNoLink, ConnectionCalls()) << "nothing linked";
    EXPECT_TRUE(ui.runs.empty());
    EXPECT_EQ(std::vector<std::string>{}, WrittenFiles());
}

TEST_F(ExportRunTest, LongLineWithAUsablePathRuns)
{
    // 260 bytes of path after the three numbers: longer than 259 characters in all,
    // still a path the program can write to.
    std::string path = "C:\\Users\\Public\\Documents\\";
    path += std::string(260 - 4 - path.size(), 'b') + ".xml";
    ASSERT_EQ(260u, path.size());
    ui.Click(IDC_EXECUTE);
    Run("12345,32769,7," + path);

    EXPECT_EQ(0, app.resultCode) << boxes.Readable();
    EXPECT_TRUE(fs.HasFile(path));
    EXPECT_EQ(HostNotified(0), windows.calls);
}

}  // namespace
