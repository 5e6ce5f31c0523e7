// A report whose file fails at any one write, flush or close is never reported as
// written, for every form; and the builder drives the progress window to 100 percent.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "app/progress/progress_dlg.h"
#include "store/saved_details.h"
#include "report/report_builder.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_message_boxes.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/report_capture.h"
#include "tests/fakes/saved_details.h"
#include "tests/fakes/scoped_services.h"

namespace {

const char kOut[] = "C:\\out.xml";

// The report and every side file of it.
std::vector<std::string> ReportFiles(const fakes::FakeFileSystem& fs)
{
    std::vector<std::string> found;
    for (const std::string& file : fs.Files())
        if (file.compare(0, std::strlen(kOut), kOut) == 0) found.push_back(file);
    return found;
}

struct Form {
    uint8_t returnKind;
    short category;
};

class ReportRun {
public:
    explicit ReportRun(const Form& form)
    {
        figures.sumLines = &sumLines;
        figures.monthlyTotals = &monthly;
        figures.savedGeneral = &saved.general;
        figures.savedRealEstate = &saved.realEstate;
        settings.category = form.category;
        info.cReturnKind = form.returnKind;
        info.lPeriodStart = 20190101;
        info.lPeriodEnd = 20191231;
        std::strcpy(info.szCompanyName, "Company & Co");
        saved.SetRentals(3, true);
        std::strcpy(saved.general.pNotes->szSpecialMatters, "line one\r\nline two");
        std::strcpy(saved.realEstate.pNotes->szSpecialMatters, "note");
        for (int i = 1; i <= 50; ++i) {
            StAOSUMINFO* line = new StAOSUMINFO{};
            line->lRowNo = i;
            line->lLineCode = i;
            line->llAmount = i * 10000;
            sumLines.push_back(line);
        }
    }
    ~ReportRun() { FreeSumLines(sumLines); }

    fakes::SavedDetails saved;
    ClSumLineList sumLines;
    StAOSUMINFO_TSUKIBETSU monthly{};
    sections::StFigures figures;
    StReportSettings settings;
    StDATAINFO info{};
};

// The 15 block pointers of the two records: 0-6 the general blocks 1-7, 7-14 the
// real-estate blocks 1-8.
std::array<void**, 15> BlockSlots(StAOSIROSAVEINFO_IPPAN& general, StAOSIROSAVEINFO_FUDOUSAN& realEstate)
{
    return {
        reinterpret_cast<void**>(&general.pBase),      reinterpret_cast<void**>(&general.pFamily),
        reinterpret_cast<void**>(&general.pSalary),    reinterpret_cast<void**>(&general.pPayee),
        reinterpret_cast<void**>(&general.pLandRent),  reinterpret_cast<void**>(&general.pNotes),
        reinterpret_cast<void**>(&general.pTrade),     reinterpret_cast<void**>(&realEstate.pBase),
        reinterpret_cast<void**>(&realEstate.pRentals), reinterpret_cast<void**>(&realEstate.pPayee),
        reinterpret_cast<void**>(&realEstate.pEmployee), reinterpret_cast<void**>(&realEstate.pLandRent),
        reinterpret_cast<void**>(&realEstate.pNotes),  reinterpret_cast<void**>(&realEstate.pRepair),
        reinterpret_cast<void**>(&realEstate.pScale),
    };
}

class ReportFailures : public ::testing::TestWithParam<Form> {
protected:
    fakes::FakeMessageBoxes boxes;
};

TEST_P(ReportFailures, EveryFailingWriteFailsTheReport)
{
    int writes = 0;
    std::string whole;
    {
        fakes::FakeFileSystem fs;
        fakes::ScopedServices installed(&fs, &boxes);
        ReportRun run(GetParam());
        ASSERT_EQ(1, ClReportBuilder(run.figures, run.settings).WriteReport(kOut, 1, &run.info));
        writes = fs.CallCount("Write");
        whole = fs.FileBytes(kOut);
    }
    ASSERT_GT(writes, 50);
    for (int n = 1; n <= writes; ++n) {
        fakes::FakeFileSystem fs;
        fs.FailWriteAt(n);
        fakes::ScopedServices installed(&fs, &boxes);
        ReportRun run(GetParam());
        EXPECT_EQ(0, ClReportBuilder(run.figures, run.settings).WriteReport(kOut, 1, &run.info)) << "write " << n << " of " << writes;
        EXPECT_EQ(0, fs.OpenFileCount()) << "write " << n;
        // Nothing of the failed report is left: no destination, no side file.
        EXPECT_EQ(std::vector<std::string>{}, ReportFiles(fs)) << "write " << n;
    }
    EXPECT_FALSE(whole.empty());
}

TEST_P(ReportFailures, FailedFlushOrCloseFailsTheReport)
{
    for (const char* op : {"Flush", "CreateNew", "ReplaceTo"}) {
        fakes::FakeFileSystem fs;
        fs.FailCall(op, 1);
        fakes::ScopedServices installed(&fs, &boxes);
        ReportRun run(GetParam());
        EXPECT_EQ(0, ClReportBuilder(run.figures, run.settings).WriteReport(kOut, 1, &run.info)) << op;
        EXPECT_EQ(0, fs.OpenFileCount()) << op;
        EXPECT_EQ(std::vector<std::string>{}, ReportFiles(fs)) << op;
    }
}

TEST_P(ReportFailures, DiskFullFromAnyPointFailsTheReport)
{
    for (int n : {1, 2, 3, 20, 200}) {
        fakes::FakeFileSystem fs;
        fs.FailCallsFrom("Write", n);
        fakes::ScopedServices installed(&fs, &boxes);
        ReportRun run(GetParam());
        EXPECT_EQ(0, ClReportBuilder(run.figures, run.settings).WriteReport(kOut, 1, &run.info)) << n;
    }
}

TEST_P(ReportFailures, MissingBlocksReadAsEmptyOnes)
{
    // Each block in turn is missing: the report is whole, and the same as with an
    // all-zero block in its place (the rental list: its end marker alone).
    for (int block = 0; block < 15; ++block) {
        fakes::FakeFileSystem fs;
        fakes::ScopedServices installed(&fs, &boxes);
        ReportRun run(GetParam());
        StAOSIROSAVEINFO_IPPAN general = run.saved.general;
        StAOSIROSAVEINFO_FUDOUSAN realEstate = run.saved.realEstate;
        const auto slots = BlockSlots(general, realEstate);
        *slots[block] = nullptr;
        run.figures.savedGeneral = &general;
        run.figures.savedRealEstate = &realEstate;
        EXPECT_EQ(1, ClReportBuilder(run.figures, run.settings).WriteReport(kOut, 1, &run.info)) << block;
        const std::string missing = fs.FileBytes(kOut);

        StAOSIROSAVEINFO_IPPAN zeroedGeneral = general;
        StAOSIROSAVEINFO_FUDOUSAN zeroedRealEstate = realEstate;
        ASSERT_EQ(1, FillMissingSavedGeneral(zeroedGeneral));
        ASSERT_EQ(1, FillMissingSavedRealEstate(zeroedRealEstate));
        run.figures.savedGeneral = &zeroedGeneral;
        run.figures.savedRealEstate = &zeroedRealEstate;
        EXPECT_EQ(1, ClReportBuilder(run.figures, run.settings).WriteReport(kOut, 1, &run.info)) << block;
        EXPECT_EQ(fakes::Visible(fs.FileBytes(kOut)), fakes::Visible(missing)) << "block " << block;
        // Only the missing slot was given a block of its own.
        void* given = *BlockSlots(zeroedGeneral, zeroedRealEstate)[block];
        ASSERT_NE(nullptr, given) << block;
        platform::TaskMemFree(given);
    }
    // Neither record at all: every schedule is empty and the report still whole.
    fakes::FakeFileSystem fs;
    fakes::ScopedServices installed(&fs, &boxes);
    ReportRun run(GetParam());
    run.figures.savedGeneral = nullptr;
    run.figures.savedRealEstate = nullptr;
    EXPECT_EQ(1, ClReportBuilder(run.figures, run.settings).WriteReport(kOut, 1, &run.info));
    const std::string report = fs.FileBytes(kOut);
    EXPECT_EQ("</REPORT>\r\n", report.substr(report.size() - 11));
    EXPECT_EQ(std::string::npos, report.find("FUDOUSAN_UTIWAKE")) << "no rented property";
}

INSTANTIATE_TEST_SUITE_P(AllForms, ReportFailures,
                         ::testing::Values(Form{3, 1}, Form{3, 2}, Form{3, 3}, Form{4, 1}, Form{4, 2}, Form{4, 3}),
                         [](const ::testing::TestParamInfo<Form>& info) {
                             return std::string(info.param.returnKind == 3 ? "Blue" : "White") +
                                    std::to_string(info.param.category);
                         });

TEST(ReportProgress, BuilderRunsTheCaptionFromFiftyToOneHundred)
{
    fakes::FakeFileSystem fs;
    fakes::FakeUi ui;
    fakes::ScopedServices installed(&fs, &ui);
    ClProgressDlg progress;
    ASSERT_TRUE(progress.Create());
    progress.ResetOverall();
    ReportRun run(Form{4, 1});
    run.settings.progress = &progress;
    ASSERT_EQ(1, ClReportBuilder(run.figures, run.settings).WriteReport(kOut, 1, &run.info));
    ASSERT_EQ(1u, ui.progressViews.size());
    const auto& captions = ui.progressViews[0]->captions;
    ASSERT_EQ(53u, captions.size());   // units 500-600, 600-700, 700-1000 at every tenth
    EXPECT_EQ("\x8F\x57\x8C\x76\x92\x86 50\x81\x93", captions.front());
    EXPECT_EQ("\x8F\x57\x8C\x76\x92\x86 100\x81\x93", captions.back());
}

}  // namespace
