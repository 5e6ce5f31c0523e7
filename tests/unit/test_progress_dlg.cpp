// The progress window's arithmetic: captions, the overall bar and the activity sweeps.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/progress/progress_dlg.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/scoped_services.h"

namespace {

const int kOverall = IDC_PROGRESS_OVERALL;
const int kActivity = IDC_PROGRESS_ACTIVITY;

std::string Percent(int value) { return "集計中 " + std::to_string(value) + "％"; }

class ProgressDlgTest : public ::testing::Test {
protected:
    fakes::FakeProgressState& State() { return *ui.progressViews.back(); }

    fakes::FakeUi ui;
    fakes::ScopedServices installed{&ui};
};

TEST_F(ProgressDlgTest, ResetSetsRangeStepAndPosition)
{
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ResetOverall();
    // A themed bar would glide behind the position and lose the segmented look.
    const std::vector<std::string> expected = {"Create", "TurnThemeOff 1018", "TurnThemeOff 1019",
                                               "SetRange 1018 0 1000", "SetStep 1018 1", "SetPos 1018 0"};
    EXPECT_EQ(expected, State().calls);
    EXPECT_EQ(1000, State().bars[kOverall].high);
}

TEST_F(ProgressDlgTest, AdvanceSetsCaptionAtEveryTenthUnit)
{
    struct Row {
        short from;
        short to;
        std::vector<int> percents;   // captions set, in order
        int bar;                     // overall bar afterwards
        int units;                   // units walked (one pulse and one repaint each)
    };
    const Row rows[] = {
        {100, 300, {}, 300, 201},
        {5, 5, {}, 5, 1},
        {10, 10, {1}, 10, 1},
        {995, 1000, {100}, 1000, 6},
        {300, 100, {}, 0, 0},
        {0, 9, {0}, 9, 10},
    };
    std::vector<int> tenToThirty;
    for (int p = 10; p <= 30; ++p)
        tenToThirty.push_back(p);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.from) + ".." + std::to_string(row.to));
        ClProgressDlg dlg;
        ASSERT_TRUE(dlg.Create());
        dlg.ResetOverall();
        dlg.Advance(row.from, row.to);
        const std::vector<int>& percents = row.from == 100 ? tenToThirty : row.percents;
        std::vector<std::string> captions;
        for (int p : percents)
            captions.push_back(Percent(p));
        EXPECT_EQ(captions, State().captions);
        EXPECT_EQ(row.bar, State().bars[kOverall].pos);
        EXPECT_EQ(row.units * 6, State().counts["DeltaPos"]) << "six activity steps per unit";
        EXPECT_EQ(row.units * 7, State().counts["Update"]) << "six in the sweep and one per unit";
        // One position per unit on the overall bar, after the reset's 0.
        EXPECT_EQ(static_cast<std::size_t>(row.units + 1), State().bars[kOverall].positions.size());
    }
}

TEST_F(ProgressDlgTest, Advance100To300ShowsTenToThirtyPercent)
{
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ResetOverall();
    dlg.Advance(100, 300);
    ASSERT_EQ(21u, State().captions.size());
    EXPECT_EQ(Percent(10), State().captions.front());
    EXPECT_EQ(Percent(30), State().captions.back());
    EXPECT_EQ("\x8F\x57\x8C\x76\x92\x86\x20\x33\x30\x81\x93", State().captions.back()) << "CP932 bytes";
}

TEST_F(ProgressDlgTest, WholeRunEndsFullAtOneHundredPercent)
{
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ResetOverall();
    // The collector's stretches, then the builder's from base 500.
    const short stretches[][2] = {{100, 300}, {300, 400}, {400, 500}, {500, 600}, {600, 700}, {700, 1000}};
    for (const auto& s : stretches) {
        dlg.Advance(s[0], s[1]);
        // The bar stands where the caption says after every stretch.
        EXPECT_EQ(s[1], State().bars[kOverall].pos);
        EXPECT_EQ(Percent(s[1] / 10), State().captions.back());
    }
    EXPECT_EQ(1000, State().bars[kOverall].pos);
    EXPECT_EQ(State().bars[kOverall].high, State().bars[kOverall].pos) << "full";
}

TEST_F(ProgressDlgTest, PulseSweepsTheActivityBarOnce)
{
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.Pulse();
    std::vector<std::string> expected = {"Create", "TurnThemeOff 1018", "TurnThemeOff 1019",
                                         "SetRange 1019 0 5", "SetStep 1019 1", "SetPos 1019 0"};
    for (int i = 0; i < 6; ++i) {
        expected.push_back("DeltaPos 1019 1");
        expected.push_back("BringToTop");
        expected.push_back("SetForeground");
        expected.push_back("Update");
    }
    EXPECT_EQ(expected, State().calls);
    const std::vector<int> sweep = {0, 1, 2, 3, 4, 5, 5};
    EXPECT_EQ(sweep, State().bars[kActivity].positions);
    EXPECT_TRUE(State().captions.empty());
}

TEST_F(ProgressDlgTest, FinishEndsWithOneAndDestroyHidesForGood)
{
    {
        ClProgressDlg dlg;
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(State().handle, dlg.Handle());
        dlg.SetParent(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(77)));
        dlg.Show();
        dlg.Finish();
        EXPECT_TRUE(State().ended);
        EXPECT_EQ(1, State().endResult);
        EXPECT_FALSE(State().destroyed);
    }
    EXPECT_TRUE(State().destroyed) << "the owner's destruction destroys the window";
    EXPECT_TRUE(State().shown);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(77)), State().parent);
}

TEST_F(ProgressDlgTest, FailedCreationLeavesEveryCallHarmless)
{
    ui.nextProgressCreateFails = true;
    ClProgressDlg dlg;
    EXPECT_FALSE(dlg.Create());
    EXPECT_EQ(nullptr, dlg.Handle());
    dlg.SetParent(nullptr);
    dlg.Show();
    dlg.ResetOverall();
    dlg.Advance(100, 1000);
    dlg.Pulse();
    dlg.Finish();
    dlg.Destroy();
    const std::vector<std::string> expected = {"Create"};
    EXPECT_EQ(expected, State().calls);
}

TEST(ProgressDlgWithoutUi, NothingHappensWithoutAWindow)
{
    platform::SetServices(platform::Services{});
    ClProgressDlg dlg;
    EXPECT_FALSE(dlg.Create());
    dlg.ResetOverall();
    dlg.Advance(0, 1000);
    dlg.Finish();
    EXPECT_EQ(nullptr, dlg.Handle());
    ClProgressDlg neverCreated;
    neverCreated.Advance(1, 2);
    neverCreated.Pulse();
}

}  // namespace
