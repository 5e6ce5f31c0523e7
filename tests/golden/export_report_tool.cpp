// The export-report tool's outcomes: 0 written (or the usage asked for), 1 failed with
// the reason on stderr and no report, 2 usage errors.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/cp932.h"
#include "platform/services.h"
#include "report/report_file.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/scoped_services.h"
#include "tools/export-report/export_report.h"

namespace {

class ExportReportTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        char base[] = "/tmp/ledgra-tool-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(base));
        folder = base;
        out = folder + "/report.xml";
    }
    void TearDown() override
    {
        for (const std::string& file : files) std::remove(file.c_str());
        std::remove(out.c_str());
        rmdir(folder.c_str());
    }
    std::string Store(const std::string& name, const std::string& json)
    {
        std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << json;
        files.push_back(path);
        return path;
    }
    static std::string DataSet(const std::string& fields)
    {
        return R"({"user": {"id": "U", "selected": [1, 1]},
                   "dataSets": [{"number": 1, "company": "Test", "periodStart": 20190101,
                                 "periodEnd": 20191231, "businessKind": 1, )" +
               fields + "}]}";
    }
    bool ReportExists() const
    {
        struct stat st;
        return stat(out.c_str(), &st) == 0;
    }
    int Run(const std::vector<std::string>& args) { return export_report::Run(args); }

    std::string folder;
    std::string out;
    std::vector<std::string> files;
};

TEST_F(ExportReportTool, UsageAskedForAndUsageErrors)
{
    const std::string store = Store("s.json", DataSet(R"("returnKind": 4)"));
    struct Row {
        std::vector<std::string> args;
        int status;   // asked for: the usage on stdout; an error: the reason and the usage on stderr
        std::string reason = "";
    };
    const Row rows[] = {
        {{"--help"}, export_report::kWritten},
        {{"-h"}, export_report::kWritten},
        {{"--host-data", store, "--help", "--category"}, export_report::kWritten},
        {{}, export_report::kUsage},
        {{"--host-data", store, "--category", "1"}, export_report::kUsage},
        {{"--host-data", store, "--out", out}, export_report::kUsage},
        {{"--category", "1", "--out", out}, export_report::kUsage},
        {{"--host-data", store, "--category", "4", "--out", out}, export_report::kUsage},
        {{"--host-data", store, "--category", "x", "--out", out}, export_report::kUsage},
        {{"--host-data", store, "--category", "1", "--out", out, "--edition", "gold"}, export_report::kUsage},
        {{"--host-data", store, "--category", "1", "--out", out, "--function-id", "40000"}, export_report::kUsage},
        {{"--host-data", store, "--category", "1", "--out", out, "--verbose", "1"}, export_report::kUsage},
        {{"--host-data", store, "--category", "1", "--out"}, export_report::kUsage, "--out: value missing\n"},
        {{"--bogus"}, export_report::kUsage, "--bogus: unknown option\n"},
        {{"--host-data", store, "--progress", "1"}, export_report::kUsage, "1: unknown option\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int status = Run(row.args);
        const std::string printed = ::testing::internal::GetCapturedStdout();
        const std::string complained = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(row.status, status);
        const std::string& usageStream = row.status == export_report::kWritten ? printed : complained;
        const std::string& quietStream = row.status == export_report::kWritten ? complained : printed;
        EXPECT_NE(std::string::npos, usageStream.find("usage: export-report --host-data FILE")) << usageStream;
        EXPECT_EQ("", quietStream);
        EXPECT_EQ(0u, complained.find(row.reason)) << complained;
        EXPECT_FALSE(ReportExists());
    }
}

TEST_F(ExportReportTool, WritesTheReportOfTheSelectedDataSet)
{
    const std::string store = Store("s.json", DataSet(R"("returnKind": 4)"));
    ASSERT_EQ(export_report::kWritten, Run({"--host-data", store, "--category", "2", "--out", out}));
    std::ifstream in(out, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_NE(std::string::npos, bytes.str().find("\t\t<SYOTOKUSYURUI>2</SYOTOKUSYURUI>\r\n"));
    EXPECT_NE(std::string::npos, bytes.str().find("\t\t<AOSIROKUBUN>2</AOSIROKUBUN>\r\n"));
}

TEST_F(ExportReportTool, FailuresWriteNoReport)
{
    const std::vector<std::pair<const char*, std::string>> stores = {
        {"unknown return kind: the collection fails", DataSet(R"("returnKind": 5)")},
        {"no data set is selected", R"({"user": {"id": "U", "selected": [1, 9]}, "dataSets": []})"},
        {"the host refuses the connection", R"({"connection": {"initiate": 1}, )" + DataSet(R"("returnKind": 4)").substr(1)},
        {"past-results data", DataSet(R"("returnKind": 3, "dataKind": 99)")},
        {"a broken store", "{not json"},
    };
    int n = 0;
    for (const auto& [label, json] : stores) {
        const std::string store = Store("f" + std::to_string(n++) + ".json", json);
        EXPECT_EQ(export_report::kFailed, Run({"--host-data", store, "--category", "1", "--out", out})) << label;
        EXPECT_FALSE(ReportExists()) << label;
    }
    EXPECT_EQ(export_report::kFailed,
              Run({"--host-data", folder + "/missing.json", "--category", "1", "--out", out}));
}

TEST_F(ExportReportTool, ABrokenStoreFailsTheConnectionAndTheHostLogShowsIt)
{
    const std::string store = Store("bad.json", R"({"bogus": 1})");
    const std::string log = folder + "/host.log";
    files.push_back(log);
    ASSERT_EQ(0, setenv("LEDGRA_HOST_LOG", log.c_str(), 1));
    testing::internal::CaptureStderr();
    const int result = Run({"--host-data", store, "--category", "1", "--out", out});
    const std::string stderrText = testing::internal::GetCapturedStderr();
    unsetenv("LEDGRA_HOST_LOG");
    EXPECT_EQ(export_report::kFailed, result);
    EXPECT_FALSE(ReportExists());
    EXPECT_NE(std::string::npos, stderrText.find("host data store: bogus: unknown key\n")) << stderrText;
    std::ifstream in(log, std::ios::binary);
    std::stringstream lines;
    lines << in.rdbuf();
    EXPECT_EQ("SetAppType 3\nSetUseDataType 2\nInitiate -> 1\nLogOut -> 0\nTerminate\nRelease\n", lines.str());
}

// A person at a terminal learns which file failed and why, as the system says it.
TEST_F(ExportReportTool, AReportThatCannotBeWrittenFailsWithThePathAndTheReason)
{
    const std::string store = Store("s.json", DataSet(R"("returnKind": 4)"));
    const std::string path = folder + "/no/such/folder/r.xml";
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(export_report::kFailed, Run({"--host-data", store, "--category", "1", "--out", path}));
    EXPECT_EQ(cp932::ToUtf8("XMLファイルの出力に失敗しました。\n") + path +
                  ": cannot be written: the folder does not exist\n",
              ::testing::internal::GetCapturedStderr());
}

// An exception (memory running out while the report is written) ends the tool with
// its reason; the earlier report stays as it was and no side file is left.
TEST_F(ExportReportTool, AnExceptionLeavesTheEarlierReport)
{
    const std::string store = Store("s.json", DataSet(R"("returnKind": 4)"));
    fakes::FakeFileSystem fs;
    fs.AddFile("C:\\out\\r.xml", "previous");
    fs.ThrowOnCall("Write", 2);
    fakes::ScopedServices installed(&fs);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(export_report::kFailed, Run({"--host-data", store, "--category", "1", "--out", "C:\\out\\r.xml"}));
    EXPECT_EQ(cp932::ToUtf8("予期しないエラーが発生したため、処理を中断しました: std::bad_alloc\n"),
              ::testing::internal::GetCapturedStderr());
    EXPECT_EQ(std::vector<std::string>{"C:\\out\\r.xml"}, fs.Files());
    EXPECT_EQ("previous", fs.FileBytes("C:\\out\\r.xml"));
}

// --progress shows in the terminal what the window's caption shows, each step once.
TEST_F(ExportReportTool, ProgressPrintsThePercentageSteps)
{
    const std::string store = Store("s.json", DataSet(R"("returnKind": 4)"));
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(export_report::kWritten, Run({"--host-data", store, "--category", "1", "--out", out, "--progress"}));
    // The window starts at 0 and the collection's stretch at 10 percent.
    std::string expected = "集計中 0％\n";
    for (int percent = 10; percent <= 100; ++percent) expected += "集計中 " + std::to_string(percent) + "％\n";
    EXPECT_EQ(cp932::ToUtf8(expected), ::testing::internal::GetCapturedStderr());
}

// What a person at a terminal reads for each cause, naming the destination they chose;
// and Ctrl-C (SIGINT, SIGTERM alike), here arriving just before the replacement: the
// report is given up, the earlier one stays, no side file, "interrupted", 130.
TEST_F(ExportReportTool, CausesNamedAndInterruptionGivesUp)
{
    const std::string store = Store("s.json", DataSet(R"("returnKind": 4)"));
    const std::string held = folder + "/held.xml";
    files.push_back(held);
    std::ofstream(held) << "theirs";
    fakes::FakeFileSystem fs;
    fs.AddFile("C:\\ro\\r.xml", "old");
    fs.SetAccess("C:\\ro", 4);
    fs.AddFile("C:\\busy.xml", "busy");
    auto theirs = fs.HoldExclusive("C:\\busy.xml");
    struct Row {
        std::string out;
        bool fake;
        int status;
        std::string said;
    };
    const Row rows[] = {
        {"C:\\ro\\r.xml", true, export_report::kFailed,
         "C:\\ro\\r.xml: cannot be written: the file or its folder may not be written to"},
        {"C:\\ro\\new.xml", true, export_report::kFailed,
         "C:\\ro\\new.xml: cannot be written: the folder may not be written to"},
        {"C:\\busy.xml", true, export_report::kFailed,
         "C:\\busy.xml: cannot be written: another program (or another export) has it open"},
        {held, false, export_report::kInterrupted, "interrupted: the report was given up; the destination is as it was"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.out);
        std::optional<fakes::ScopedServices> installed;
        if (row.fake) installed.emplace(&fs);
        if (row.status == export_report::kInterrupted) {
            export_report::InstallInterruptHandlers();
            ClReportFile::s_beforeReplace = [] { std::raise(SIGINT); };
        }
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(row.status, Run({"--host-data", store, "--category", "1", "--out", row.out}));
        const std::string said = ::testing::internal::GetCapturedStderr();
        ClReportFile::s_beforeReplace = nullptr;
        platform::ClearInterrupt();
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        EXPECT_NE(std::string::npos, said.find(row.said)) << said;
    }
    EXPECT_EQ("old", fs.FileBytes("C:\\ro\\r.xml"));
    EXPECT_EQ("busy", fs.FileBytes("C:\\busy.xml"));
    std::ifstream in(held, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ("theirs", bytes.str());
    EXPECT_FALSE(std::ifstream(held + ".1.unfinished").good());
}

}  // namespace
