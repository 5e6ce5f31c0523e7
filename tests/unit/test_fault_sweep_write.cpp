// Write fault sweep: through the whole run, each step of the report's file fails in
// turn: the creation of its side file, its 1st, 2nd ... write, its flush and its
// replacement of the destination, and the hold on a previous report; for a whole
// report of every form and return kind, once over nothing and once over a previous
// report. Each run ends with outcome 2 and the failure message over the progress window,
// leaves the destination as it was (the previous report byte for byte, or nothing) and
// no side file, remembers nothing and releases everything; the first write after the
// report (the remembered destination's) failing shows that every report write was swept.
// The same steps then throw instead (memory running out there), over a previous report:
// the barrier's message, and the destination and the folder as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
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
const std::string kUnexpected = "予期しないエラーが発生したため、処理を中断しました。\n\nアプリケーションを終了します。";
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

    fakes::ExportRunResult Run(const std::string& operation, int nth, bool previous = false, bool throws = false)
    {
        fakes::ExportRunSetup setup;
        setup.store = fakes::SampleStore(GetParam().returnKind);
        setup.category = GetParam().category;
        setup.path = kReportPath;
        setup.remembered = std::string(kRemembered);
        setup.logHostCalls = false;   // the host sweep checks the calls; this one is about the file
        setup.prepare = [operation, nth, previous, throws](fakes::FakeFileSystem& fs) {
            if (previous) fs.AddFile(kReportPath, kPrevious);
            if (operation.empty()) return;
            if (throws)
                fs.ThrowOnCall(operation, nth);
            else
                fs.FailCall(operation, nth);
        };
        return fakes::RunExport(setup);
    }

    // Both over nothing and over a previous report; then throwing over a previous report.
    void ExpectFailedRuns(const std::string& operation, int nth, const std::string& what)
    {
        ExpectFailedRun(Run(operation, nth, false), what + ", over nothing", false);
        ExpectFailedRun(Run(operation, nth, true), what + ", over a previous report", true);
        ExpectFailedRun(Run(operation, nth, true, true), what + " by throwing, over a previous report", true, true);
    }

    void ExpectFailedRun(const fakes::ExportRunResult& run, const std::string& what, bool previous,
                         bool thrown = false)
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
        EXPECT_EQ(thrown ? kUnexpected : kWriteFailed, box.text) << cp932::ToUtf8(box.text);
        EXPECT_EQ("所得税", box.caption);
        EXPECT_EQ(0x30u, box.type);
        if (!thrown) {
            EXPECT_EQ(run.progressHandle, box.owner) << "the box stands over the progress window";
        }
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
    ExpectFailedRun(Run("HoldExclusive", 1, true, true), "the hold on the previous report throws", true, true);
    ++points;
    ExpectFailedRuns("CreateNew", 1, "the side file cannot be created");
    ++points;
    for (int n = 1; n <= writes; ++n) {
        ExpectFailedRuns("Write", n, "write " + std::to_string(n) + " of " + std::to_string(writes) + " fails");
        ++points;
        if (::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() > 20) return;
    }
    ExpectFailedRuns("Flush", 1, "the flush fails");
    ExpectFailedRuns("ReplaceTo", 1, "the replacement fails");
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

    std::printf("[ write sweep ] %s: %d fault points (hold, create, %d writes, flush, replace), "
                "each failing over nothing and over a previous report, and throwing over a previous report\n",
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

// A side file that a killed run left, and one that a failed run's folder kept (emptied),
// are removed by the next export to the same destination, its name compared without
// regard to case; other programs' files and other destinations' side files that merely
// look alike stay.
TEST(WriteFaultSweepEdges, OnlyTheDestinationsOwnLeftoversAreRemoved)
{
    const std::string folder = "C:\\Users\\Public\\Documents\\";
    const std::string left = std::string(kReportPath) + ".1.unfinished";
    fakes::ExportRunSetup setup;
    setup.store = fakes::SampleStore(3);
    setup.path = kReportPath;
    setup.logHostCalls = false;
    setup.prepare = [](fakes::FakeFileSystem& fs) {
        fs.AddFile(kReportPath, kPrevious);
        fs.FailWriteAt(3);
        fs.FailCall("Remove", 1);   // the failed run's own side file stays, emptied
    };
    const fakes::ExportRunResult failed = fakes::RunExport(setup);
    EXPECT_EQ(2, failed.resultCode);
    EXPECT_EQ(kPrevious, failed.report);
    EXPECT_NE(std::find(failed.files.begin(), failed.files.end(), left), failed.files.end());

    const std::vector<std::string> theirs = {folder + "notes.unfinished", folder + "video.mp4.3.unfinished",
                                             folder + "notes.txt.1.unfinished", folder + "other.xml.4.unfinished",
                                             folder + "xtax.xml.1.unfinished"};
    setup.prepare = [left, folder, theirs](fakes::FakeFileSystem& fs) {
        fs.AddFile(kReportPath, kPrevious);
        fs.AddFile(left, "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n\t<SYS");
        fs.AddFile(folder + "TAX.XML.10.unfinished", "");
        for (const std::string& file : theirs) fs.AddFile(file, "theirs");
    };
    const fakes::ExportRunResult next = fakes::RunExport(setup);
    EXPECT_EQ(0, next.resultCode);
    EXPECT_NE(kPrevious, next.report);
    std::vector<std::string> expected = theirs;
    expected.insert(expected.end(), {"C:\\Ledgra\\TaxvaneDef.ini", kReportPath, fakes::kSampleRememberedFile});
    std::vector<std::string> files = next.files;
    std::sort(files.begin(), files.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, files);
    hostsim::ResetForTests();
}

// What a refused replacement leaves. Where the destination was removed and the report
// not moved into its place, the report is written there anew; where that fails too, the
// report stays whole in its side file and the message says where. That kept copy
// outlives every later export that fails, and is removed by the first one whose report
// is in place. A folder that lets files be written but not deleted or renamed takes
// the report in place and keeps one empty side file, which the next export reuses; a
// leftover there that is a link is never written through, and another name is used.
TEST(WriteFaultSweepEdges, RefusedReplacementsNeverLoseTheReport)
{
    const std::string folder = "C:\\Users\\Public\\Documents";
    const std::string side = std::string(kReportPath) + ".1.unfinished";
    const std::string victim = "C:\\Users\\Public\\victim.txt";
    fakes::ExportRunSetup setup;
    setup.store = fakes::SampleStore(3);
    setup.path = kReportPath;
    setup.remembered = std::string(kRemembered);
    setup.logHostCalls = false;
    const fakes::ExportRunResult clean = fakes::RunExport(setup);
    ASSERT_EQ(0, clean.resultCode);
    const std::string kept = "XMLファイルの出力に失敗しました。\n\n出力したデータは次のファイルに残っています。\n" + side +
                             "\n\nアプリケーションを終了します。";

    struct Row {
        const char* what;
        std::function<void(fakes::FakeFileSystem&)> prepare;
        int resultCode;
        std::string report;       // at the destination; empty: none
        std::string sideBytes;    // in <destination>.1.unfinished; "-": none
        std::string message;      // the last box
        int extraFiles;           // beside the clean run's
    };
    const std::string earlierKept = "<REPORT>\r\n\t<WHOLE/>\r\n</REPORT>\r\n";
    const Row rows[] = {
        {"the destination removed, the report not moved: written there anew",
         [](fakes::FakeFileSystem& fs) {
             fs.AddFile(kReportPath, kPrevious);
             fs.SetReplaceOutcome(platform::ReplaceResult::kOnlyAtSource);
         },
         0, clean.report, "-", kCompleted, 0},
        {"the destination removed and cannot be made anew: the report kept",
         [](fakes::FakeFileSystem& fs) {
             fs.AddFile(kReportPath, kPrevious);
             fs.SetReplaceOutcome(platform::ReplaceResult::kOnlyAtSource);
             fs.FailCall("CreateNew", 2);
         },
         2, "", clean.report, kept, 0},
        {"a kept copy outlives a later export that fails",
         [earlierKept, side](fakes::FakeFileSystem& fs) {
             fs.AddFile(side, earlierKept);
             fs.FailWriteAt(3);
         },
         2, "", earlierKept, kWriteFailed, 0},
        {"a kept copy is removed once a report is in place",
         [earlierKept, side](fakes::FakeFileSystem& fs) { fs.AddFile(side, earlierKept); }, 0, clean.report, "-",
         kCompleted, 0},
        {"no delete rights: written in place, one empty side file",
         [folder](fakes::FakeFileSystem& fs) {
             fs.AddFile(kReportPath, kPrevious);
             fs.DenyDeleting(folder);
         },
         0, clean.report, "", kCompleted, 1},
        {"no delete rights: the empty side file reused",
         [folder, side](fakes::FakeFileSystem& fs) {
             fs.AddFile(kReportPath, kPrevious);
             fs.AddFile(side, "");
             fs.DenyDeleting(folder);
         },
         0, clean.report, "", kCompleted, 1},
        {"no delete rights: the destination cannot be emptied, nothing changed",
         [folder](fakes::FakeFileSystem& fs) {
             fs.AddFile(kReportPath, kPrevious);
             fs.DenyDeleting(folder);
             fs.FailCall("Truncate", 1);
         },
         2, kPrevious, "", kWriteFailed, 1},
        {"no delete rights: the in-place write fails, the report kept",
         [folder](fakes::FakeFileSystem& fs) {
             fs.AddFile(kReportPath, kPrevious);
             fs.DenyDeleting(folder);
             fs.FailCall("Flush", 2);
         },
         2, clean.report, clean.report, kept, 1},
        {"no delete rights: a leftover that is a link is left alone",
         [folder, side, victim](fakes::FakeFileSystem& fs) {
             fs.AddFile(victim, "someone's");
             fs.AddLink(side, victim);
             fs.DenyDeleting(folder);
         },
         0, clean.report, "", kCompleted, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        setup.prepare = row.prepare;
        const fakes::ExportRunResult run = fakes::RunExport(setup);
        EXPECT_EQ(row.resultCode, run.resultCode);
        EXPECT_EQ(!row.report.empty(), run.reportExists);
        EXPECT_TRUE(row.report == run.report) << "the destination differs";
        ASSERT_FALSE(run.boxes.empty());
        EXPECT_EQ(row.message, run.boxes.back().text) << cp932::ToUtf8(run.boxes.back().text);
        const auto at = std::find(run.files.begin(), run.files.end(), side);
        EXPECT_TRUE(row.sideBytes == (at == run.files.end() ? "-" : run.fileBytes[at - run.files.begin()]))
            << "the side file differs";
        EXPECT_EQ(clean.files.size() + row.extraFiles, run.files.size());
        // The other user's record stays whatever the outcome.
        EXPECT_EQ(0u, run.remembered.find("USER02/1/5:0/0/3/C:\\Other\\a.xml\n"));
        EXPECT_EQ(0, run.openFiles);
    }
    hostsim::ResetForTests();
}

}  // namespace
