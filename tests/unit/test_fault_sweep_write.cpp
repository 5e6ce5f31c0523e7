// Write fault sweep: through the whole run, the report's file fails at its 1st, 2nd ...
// write, at its flush and at its close, for a whole report of every form and return
// kind. Each run ends with outcome 2 and the failure message over the progress window,
// leaves no report file that could pass for a complete one, remembers nothing and
// releases everything; the first write after the report (the remembered destination's)
// failing shows that every report write was swept.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/cp932.h"
#include "hostsim/hostsim.h"
#include "tests/fakes/export_run.h"
#include "tests/fakes/report_schema.h"

namespace {

const std::string kCompleted = "所得税情報の出力が終了しました。\n\nアプリケーションを終了します。";
const std::string kWriteFailed = "XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。";
const char kRemembered[] = "USER02/1/5:0/0/3/C:\\Other\\a.xml\nUSER01/1/5:0/0/1/C:\\Users\\Public\\Documents\\old.xml\n";
const char kReportPath[] = "C:\\Users\\Public\\Documents\\tax.xml";

struct Scenario {
    const char* name;
    int returnKind;
    short category;
};

int Lines(const std::string& report)
{
    int n = 0;
    for (std::size_t at = report.find("\r\n"); at != std::string::npos; at = report.find("\r\n", at + 2)) ++n;
    return n;
}

class WriteFaultSweep : public ::testing::TestWithParam<Scenario> {
protected:

    void TearDown() override { hostsim::ResetForTests(); }

    fakes::ExportRunResult Run(const std::string& operation, int nth)
    {
        fakes::ExportRunSetup setup;
        setup.store = fakes::SampleStore(GetParam().returnKind);
        setup.category = GetParam().category;
        setup.path = kReportPath;
        setup.remembered = std::string(kRemembered);
        setup.logHostCalls = false;   // the host sweep checks the calls; this one is about the file
        if (!operation.empty())
            setup.prepare = [operation, nth](fakes::FakeFileSystem& fs) { fs.FailCall(operation, nth); };
        return fakes::RunExport(setup);
    }

    void ExpectFailedRun(const fakes::ExportRunResult& run, const std::string& what)
    {
        SCOPED_TRACE(what);
        EXPECT_EQ(0, run.started);
        EXPECT_EQ(2, run.resultCode);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(kWriteFailed, run.boxes[0].text) << cp932::ToUtf8(run.boxes[0].text);
        EXPECT_EQ("所得税", run.boxes[0].caption);
        EXPECT_EQ(0x30u, run.boxes[0].type);
        EXPECT_EQ(run.progressHandle, run.boxes[0].owner) << "the box stands over the progress window";
        // Nothing may pass for a complete report: the failed file is not left behind.
        EXPECT_FALSE(run.reportExists) << "left: ..." << run.report.substr(run.report.size() > 40 ? run.report.size() - 40 : 0);
        EXPECT_EQ(kRemembered, run.remembered) << "a failed export changed the remembered destinations";
        EXPECT_EQ(0, run.openFiles);
        EXPECT_EQ(0, run.cursorDepth);
        EXPECT_TRUE(run.progressDestroyed);
    }
};

TEST_P(WriteFaultSweep, EveryWriteFlushAndCloseOfTheReportFailingInTurn)
{
    const fakes::ExportRunResult clean = Run("", 0);
    ASSERT_EQ(0, clean.resultCode);
    ASSERT_TRUE(clean.reportExists);
    EXPECT_EQ("", fakes::SchemaProblems(clean.report));
    const int writes = Lines(clean.report);   // one write per line
    ASSERT_GT(writes, 20);

    int points = 0;
    for (int n = 1; n <= writes; ++n) {
        ExpectFailedRun(Run("Write", n), "write " + std::to_string(n) + " of " + std::to_string(writes) + " fails");
        ++points;
        if (::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() > 20) return;
    }
    ExpectFailedRun(Run("Flush", 1), "the flush fails");
    ExpectFailedRun(Run("Close", 1), "the close fails");
    points += 2;

    // The next write is the remembered destination's: the report is complete and the
    // export done, the old remembered file stays whole.
    const fakes::ExportRunResult after = Run("Write", writes + 1);
    EXPECT_EQ(0, after.resultCode);
    EXPECT_EQ(clean.report, after.report);
    EXPECT_EQ("", fakes::SchemaProblems(after.report));
    ASSERT_EQ(1u, after.boxes.size());
    EXPECT_EQ(kCompleted, after.boxes[0].text);
    EXPECT_EQ(kRemembered, after.remembered);
    EXPECT_EQ(0, after.openFiles);

    std::printf("[ write sweep ] %s: %d fault points (%d writes, flush, close)\n", GetParam().name, points, writes);
}

const Scenario kScenarios[] = {
    {"blue_business", 3, 1},  {"blue_other", 3, 2},  {"blue_real_estate", 3, 3},
    {"white_business", 4, 1}, {"white_other", 4, 2}, {"white_real_estate", 4, 3},
};

INSTANTIATE_TEST_SUITE_P(FormsAndReturnKinds, WriteFaultSweep, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

// A report that cannot even be created (the name is held by a folder) fails the same way
// and removes nothing that was there.
TEST(WriteFaultSweepEdges, ReportThatCannotBeCreated)
{
    fakes::ExportRunSetup setup;
    setup.store = fakes::SampleStore(3);
    setup.path = kReportPath;
    setup.remembered = std::string(kRemembered);
    setup.prepare = [](fakes::FakeFileSystem& fs) { fs.FailCall("CreateExclusive", 1); };
    const fakes::ExportRunResult run = fakes::RunExport(setup);
    EXPECT_EQ(2, run.resultCode);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kWriteFailed, run.boxes[0].text);
    EXPECT_EQ(kRemembered, run.remembered);
    EXPECT_EQ(0, run.openFiles);
    hostsim::ResetForTests();
}

// Another program's file of the same name that cannot be opened is never deleted.
TEST(WriteFaultSweepEdges, ExistingFileThatCannotBeOpenedIsKept)
{
    fakes::ExportRunSetup setup;
    setup.store = fakes::SampleStore(3);
    setup.path = kReportPath;
    setup.prepare = [](fakes::FakeFileSystem& fs) {
        fs.AddFile(kReportPath, "someone else's bytes");
        fs.FailCall("CreateExclusive", 1);
    };
    const fakes::ExportRunResult run = fakes::RunExport(setup);
    EXPECT_EQ(2, run.resultCode);
    EXPECT_TRUE(run.reportExists);
    EXPECT_EQ("someone else's bytes", run.report);
    hostsim::ResetForTests();
}

}  // namespace
