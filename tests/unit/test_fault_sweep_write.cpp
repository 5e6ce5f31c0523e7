// Write fault sweep: through the whole run, each step of the report's file fails in
// turn: the creation of its side file, its 1st, 2nd ... write, its flush, its close and
// its replacement of the destination, and the hold on a previous report; for a whole
// report of every form and return kind, once over nothing and once over a previous
// report. Each run ends with outcome 2 and the failure message over the progress window,
// leaves the destination as it was (the previous report byte for byte, or nothing) and
// no side file, remembers nothing and releases everything; the first write after the
// report (the remembered destination's) failing shows that every report write was swept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "hostsim/hostsim.h"
#include "tests/fakes/export_run.h"
#include "tests/fakes/report_schema.h"

namespace {

const std::string kCompleted = "所得税情報の出力が終了しました。\n\nアプリケーションを終了します。";
const std::string kOverwrite = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";
const std::string kWriteFailed = "XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。";
const char kRemembered[] = "USER02/1/5:0/0/3/C:\\Other\\a.xml\nUSER01/1/5:0/0/1/C:\\Users\\Public\\Documents\\old.xml\n";
const char kReportPath[] = "C:\\Users\\Public\\Documents\\tax.xml";
// An earlier export's report at the destination.
const char kPrevious[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n</REPORT>\r\n";

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

    fakes::ExportRunResult Run(const std::string& operation, int nth, bool previous = false)
    {
        fakes::ExportRunSetup setup;
        setup.store = fakes::SampleStore(GetParam().returnKind);
        setup.category = GetParam().category;
        setup.path = kReportPath;
        setup.remembered = std::string(kRemembered);
        setup.logHostCalls = false;   // the host sweep checks the calls; this one is about the file
        setup.prepare = [operation, nth, previous](fakes::FakeFileSystem& fs) {
            if (previous) fs.AddFile(kReportPath, kPrevious);
            if (!operation.empty()) fs.FailCall(operation, nth);
        };
        return fakes::RunExport(setup);
    }

    // Both over nothing and over a previous report.
    void ExpectFailedRuns(const std::string& operation, int nth, const std::string& what)
    {
        ExpectFailedRun(Run(operation, nth, false), what + ", over nothing", false);
        ExpectFailedRun(Run(operation, nth, true), what + ", over a previous report", true);
    }

    void ExpectFailedRun(const fakes::ExportRunResult& run, const std::string& what, bool previous)
    {
        SCOPED_TRACE(what);
        EXPECT_EQ(0, run.started);
        EXPECT_EQ(2, run.resultCode);
        // Over a previous report the user was asked first, as always.
        ASSERT_EQ(previous ? 2u : 1u, run.boxes.size());
        if (previous) {
            EXPECT_EQ(kOverwrite, run.boxes[0].text) << cp932::ToUtf8(run.boxes[0].text);
            EXPECT_EQ(0x24u, run.boxes[0].type);
        }
        const fakes::ShownBox& box = run.boxes.back();
        EXPECT_EQ(kWriteFailed, box.text) << cp932::ToUtf8(box.text);
        EXPECT_EQ("所得税", box.caption);
        EXPECT_EQ(0x30u, box.type);
        EXPECT_EQ(run.progressHandle, box.owner) << "the box stands over the progress window";
        // The destination is as it was, and no side file is left.
        if (previous) {
            EXPECT_TRUE(run.reportExists);
            EXPECT_EQ(kPrevious, run.report);
        } else {
            EXPECT_FALSE(run.reportExists) << "left: ..." << run.report.substr(run.report.size() > 40 ? run.report.size() - 40 : 0);
        }
        for (const std::string& file : run.files)
            EXPECT_EQ(std::string::npos, file.find(".unfinished")) << "left: " << file;
        EXPECT_EQ(kRemembered, run.remembered) << "a failed export changed the remembered destinations";
        EXPECT_EQ(0, run.openFiles);
        EXPECT_EQ(0, run.cursorDepth);
        EXPECT_TRUE(run.progressDestroyed);
    }
};

TEST_P(WriteFaultSweep, EveryStepOfTheReportFileFailingInTurn)
{
    const fakes::ExportRunResult clean = Run("", 0);
    ASSERT_EQ(0, clean.resultCode);
    ASSERT_TRUE(clean.reportExists);
    EXPECT_EQ("", fakes::SchemaProblems(clean.report));
    const int writes = Lines(clean.report);   // one write per line
    ASSERT_GT(writes, 20);
    const fakes::ExportRunResult over = Run("", 0, true);
    ASSERT_EQ(0, over.resultCode);
    EXPECT_EQ(clean.report, over.report) << "the previous report is replaced whole";

    int points = 0;
    // The hold on the previous report only happens when there is one.
    ExpectFailedRun(Run("HoldExclusive", 1, true), "the hold on the previous report fails", true);
    ++points;
    ExpectFailedRuns("CreateNew", 1, "the side file cannot be created");
    ++points;
    for (int n = 1; n <= writes; ++n) {
        ExpectFailedRuns("Write", n, "write " + std::to_string(n) + " of " + std::to_string(writes) + " fails");
        ++points;
        if (::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() > 20) return;
    }
    ExpectFailedRuns("Flush", 1, "the flush fails");
    ExpectFailedRuns("Close", 1, "the close fails");
    ExpectFailedRuns("ReplaceFile", 1, "the replacement fails");
    points += 3;

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

    std::printf("[ write sweep ] %s: %d fault points (hold, create, %d writes, flush, close, replace), "
                "each over nothing and over a previous report\n",
                GetParam().name, points, writes);
}

const Scenario kScenarios[] = {
    {"blue_business", 3, 1},  {"blue_other", 3, 2},  {"blue_real_estate", 3, 3},
    {"white_business", 4, 1}, {"white_other", 4, 2}, {"white_real_estate", 4, 3},
};

INSTANTIATE_TEST_SUITE_P(FormsAndReturnKinds, WriteFaultSweep, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

// A report whose side file cannot even be created fails the same way, writes nothing
// and removes nothing that was there.
TEST(WriteFaultSweepEdges, ReportThatCannotBeCreated)
{
    fakes::ExportRunSetup setup;
    setup.store = fakes::SampleStore(3);
    setup.path = kReportPath;
    setup.remembered = std::string(kRemembered);
    setup.prepare = [](fakes::FakeFileSystem& fs) { fs.FailCall("CreateNew", 1); };
    const fakes::ExportRunResult run = fakes::RunExport(setup);
    EXPECT_EQ(2, run.resultCode);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kWriteFailed, run.boxes[0].text);
    EXPECT_EQ(kRemembered, run.remembered);
    EXPECT_EQ(0, run.openFiles);
    EXPECT_EQ(0, fakes::CountCalls(run.fileCalls, "Write"));
    hostsim::ResetForTests();
}

// Another program's file of the same name, open there, is never deleted or changed.
TEST(WriteFaultSweepEdges, ExistingFileAnotherProgramHoldsIsKept)
{
    auto theirs = std::make_shared<std::unique_ptr<platform::IWriteFile>>();
    fakes::ExportRunSetup setup;
    setup.store = fakes::SampleStore(3);
    setup.path = kReportPath;
    setup.remembered = std::string(kRemembered);
    setup.prepare = [theirs](fakes::FakeFileSystem& fs) {
        fs.AddFile(kReportPath, "someone else's bytes");
        *theirs = fs.HoldExclusive(kReportPath);
    };
    const fakes::ExportRunResult run = fakes::RunExport(setup);
    EXPECT_EQ(2, run.resultCode);
    ASSERT_EQ(2u, run.boxes.size());
    EXPECT_EQ(kOverwrite, run.boxes[0].text) << "the overwrite question comes first";
    EXPECT_EQ(kWriteFailed, run.boxes[1].text);
    EXPECT_TRUE(run.reportExists);
    EXPECT_EQ("someone else's bytes", run.report);
    EXPECT_EQ(kRemembered, run.remembered);
    EXPECT_EQ(1, run.openFiles) << "theirs, still open";
    theirs->reset();
    hostsim::ResetForTests();
}

// A side file that a killed run left, and one that a failed run could not remove, are
// removed by the next export into that folder; a file that merely ends alike stays.
TEST(WriteFaultSweepEdges, SideFilesLeftBehindAreRemovedByTheNextExport)
{
    const std::string left = std::string(kReportPath) + ".1.unfinished";
    fakes::ExportRunSetup setup;
    setup.store = fakes::SampleStore(3);
    setup.path = kReportPath;
    setup.logHostCalls = false;
    setup.prepare = [](fakes::FakeFileSystem& fs) {
        fs.AddFile(kReportPath, kPrevious);
        fs.FailWriteAt(3);
        fs.FailCall("DeleteFile", 1);   // the failed run's own side file stays
    };
    const fakes::ExportRunResult failed = fakes::RunExport(setup);
    EXPECT_EQ(2, failed.resultCode);
    EXPECT_EQ(kPrevious, failed.report);
    EXPECT_NE(std::find(failed.files.begin(), failed.files.end(), left), failed.files.end());

    setup.prepare = [left](fakes::FakeFileSystem& fs) {
        fs.AddFile(kReportPath, kPrevious);
        fs.AddFile(left, "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n\t<SYS");
        fs.AddFile("C:\\Users\\Public\\Documents\\other.xml.4.unfinished", "cut");
        fs.AddFile("C:\\Users\\Public\\Documents\\notes.unfinished", "kept");
    };
    const fakes::ExportRunResult next = fakes::RunExport(setup);
    EXPECT_EQ(0, next.resultCode);
    EXPECT_NE(kPrevious, next.report);
    const std::vector<std::string> expected = {"C:\\Ledgra\\TaxvaneDef.ini", "C:\\Users\\Public\\Documents\\notes.unfinished",
                                               kReportPath, fakes::kSampleRememberedFile};
    std::vector<std::string> files = next.files;
    std::sort(files.begin(), files.end());
    std::vector<std::string> sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end());
    EXPECT_EQ(sortedExpected, files);
    hostsim::ResetForTests();
}

}  // namespace
