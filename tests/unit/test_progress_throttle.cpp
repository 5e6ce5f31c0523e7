// The progress window with a clock: every percentage step still reaches the caption and
// the overall bar, but the repaint rounds (BringToTop, SetForeground, Update) and the
// bar's other moves run at most once per frame of the clock, the activity bar sweeps
// one step per round, and the end of every stretch is shown.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/progress/progress_dlg.h"
#include "tests/fakes/scoped_services.h"

namespace {

const int kOverall = IDC_PROGRESS_OVERALL;
const int kActivity = IDC_PROGRESS_ACTIVITY;
const std::int64_t kFrame = ClProgressDlg::kDefaultFrameMicroseconds;

// Time stands still unless the test moves it; with step, every reading moves it on
// (work between two readings).
class FakeClock : public platform::IClock {
public:
    std::int64_t NowMicroseconds() override { return now += step; }
    std::int64_t now = 1000000;
    std::int64_t step = 0;
};

// What the window was asked, with the clock's time of each call. Work and painting take
// time: each Update costs updateCost.
struct Call {
    std::string name;
    int bar = 0;
    int value = 0;
    std::string text;
    std::int64_t at = 0;
};

struct Recording {
    std::vector<Call> calls;
    FakeClock clock;
    std::int64_t updateCost = 0;

    std::vector<Call> Named(const std::string& name) const
    {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.name == name) out.push_back(c);
        return out;
    }
    std::vector<int> Positions(int bar) const
    {
        std::vector<int> out;
        for (const Call& c : calls)
            if (c.name == "SetPos" && c.bar == bar) out.push_back(c.value);
        return out;
    }
};

class TimedView : public platform::IProgressView {
public:
    explicit TimedView(Recording& r) : m_r(r) {}
    bool Create() override { return Add("Create"); }
    HWND Handle() override { return nullptr; }
    void SetParent(HWND) override {}
    void Show() override { Add("Show"); }
    void SetCaption(const std::string& text) override { Add("SetCaption", 0, 0, text); }
    void SetRange(int bar, int, int high) override { Add("SetRange", bar, high); }
    void SetStep(int bar, int step) override { Add("SetStep", bar, step); }
    void SetPos(int bar, int pos) override { Add("SetPos", bar, pos); }
    void DeltaPos(int bar, int increment) override { Add("DeltaPos", bar, increment); }
    void BringToTop() override { Add("BringToTop"); }
    void SetForeground() override { Add("SetForeground"); }
    void Update() override
    {
        Add("Update");
        m_r.clock.now += m_r.updateCost;
    }
    void End(int result) override { Add("End", 0, result); }
    void Destroy() override { Add("Destroy"); }

private:
    bool Add(const std::string& name, int bar = 0, int value = 0, const std::string& text = "")
    {
        m_r.calls.push_back({name, bar, value, text, m_r.clock.now});
        return true;
    }
    Recording& m_r;
};

class TimedUi : public platform::IUi {
public:
    explicit TimedUi(Recording& r) : m_r(r) {}
    int RunModal(int, HWND, platform::IDialogHandler&) override { return 0; }
    std::unique_ptr<platform::IProgressView> CreateProgressView() override { return std::make_unique<TimedView>(m_r); }
    bool SaveFileDialog(HWND, const platform::SaveFileRequest&, std::string&) override { return false; }

private:
    Recording& m_r;
};

class ProgressThrottle : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClProgressDlg::SetFrameInterval(kFrame);
        ClProgressDlg::ResetStats();
    }
    void TearDown() override { ClProgressDlg::SetFrameInterval(ClProgressDlg::kDefaultFrameMicroseconds); }

    Recording r;
    TimedUi ui{r};
    fakes::ScopedServices installed{&ui, &r.clock};
};

std::string Percent(int value) { return "集計中 " + std::to_string(value) + "％"; }

// The whole run's stretches, with work of 50 us between clock readings and 3 ms a paint.
TEST_F(ProgressThrottle, EveryStepReachesTheWindowButRoundsKeepAFrameApart)
{
    r.clock.step = 50;
    r.updateCost = 3000;
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const std::int64_t begin = r.clock.now;
    dlg.ResetOverall();
    const short stretches[][2] = {{100, 300}, {300, 400}, {400, 500}, {500, 600}, {600, 700}, {700, 1000}};
    for (const auto& s : stretches) {
        dlg.Advance(s[0], s[1]);
        // The stretch's end reaches the bar.
        EXPECT_EQ(s[1], r.Positions(kOverall).back()) << s[0] << ".." << s[1];
    }

    // Captions: every tenth unit of every stretch, in order (the shared ends twice).
    std::vector<std::string> expected;
    for (const auto& s : stretches)
        for (int u = s[0]; u <= s[1]; ++u)
            if (u % 10 == 0) expected.push_back(Percent(u / 10));
    std::vector<std::string> captions;
    for (const Call& c : r.Named("SetCaption")) captions.push_back(c.text);
    EXPECT_EQ(expected, captions);

    // The overall bar: each percentage step right after its caption, never backwards,
    // ending full; between the steps only at frames, so far fewer moves than units.
    for (std::size_t i = 0; i < r.calls.size(); ++i) {
        if (r.calls[i].name != "SetCaption") continue;
        ASSERT_LT(i + 1, r.calls.size());
        EXPECT_EQ("SetPos", r.calls[i + 1].name) << r.calls[i].text;
        EXPECT_EQ(kOverall, r.calls[i + 1].bar);
        EXPECT_EQ(r.calls[i].text, Percent(r.calls[i + 1].value / 10));
        EXPECT_EQ(0, r.calls[i + 1].value % 10);
    }
    const std::vector<int> positions = r.Positions(kOverall);
    for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_LE(positions[i - 1], positions[i]);
    EXPECT_EQ(1000, positions.back());
    EXPECT_LT(positions.size(), 1u + 96 + 6 + 10);

    // Rounds at least a frame apart, counted from the end of the round before.
    const std::vector<Call> tops = r.Named("BringToTop");
    ASSERT_GE(tops.size(), 2u);
    std::int64_t lastRoundEnd = -1;
    for (std::size_t i = 0; i < r.calls.size(); ++i) {
        if (r.calls[i].name != "BringToTop") continue;
        ASSERT_EQ("SetForeground", r.calls[i + 1].name);
        ASSERT_EQ("Update", r.calls[i + 2].name);
        if (lastRoundEnd >= 0) {
            EXPECT_GE(r.calls[i].at - lastRoundEnd, kFrame) << "round " << i;
        }
        lastRoundEnd = r.calls[i + 2].at + r.updateCost;
    }
    // At most one round a frame of the time that passed, not six a unit.
    EXPECT_LE(static_cast<std::int64_t>(tops.size()), (r.clock.now - begin) / kFrame + 1);
    // Every stretch's end is painted: an Update follows the last position of each.
    EXPECT_EQ("Update", r.calls.back().name);
    EXPECT_EQ(tops.size(), static_cast<std::size_t>(ClProgressDlg::Stats().rounds));
    EXPECT_EQ(906, ClProgressDlg::Stats().units);
    // Each paint's 3 ms and the clock's own steps inside the measured stretches.
    EXPECT_GE(ClProgressDlg::Stats().repaintMicroseconds, ClProgressDlg::Stats().updates * 3000);
    EXPECT_LE(ClProgressDlg::Stats().repaintMicroseconds, ClProgressDlg::Stats().updates * 3000 + 1000000);
}

TEST_F(ProgressThrottle, StretchEndIsPaintedOnceWhenNoFrameCameDuringIt)
{
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.Advance(100, 300);   // the clock stands still: the first unit's round, then nothing
    EXPECT_EQ(1u, r.Named("BringToTop").size());
    EXPECT_EQ(2u, r.Named("Update").size()) << "the first round and the stretch's end";
    EXPECT_EQ(21u, r.Named("SetCaption").size());
    EXPECT_EQ(300, r.Positions(kOverall).back());
    // The end is painted after the last position was set.
    EXPECT_EQ("SetPos", r.calls[r.calls.size() - 2].name);
    EXPECT_EQ("Update", r.calls.back().name);
    dlg.Advance(5, 5);
    EXPECT_EQ(1u, r.Named("BringToTop").size()) << "still the same frame";
    EXPECT_EQ(3u, r.Named("Update").size());
}

TEST_F(ProgressThrottle, PulsesRepaintOncePerFrameAndSweepAStepEach)
{
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    for (int i = 0; i < 50; ++i) dlg.Pulse();   // no time passes
    EXPECT_EQ(1u, r.Named("BringToTop").size());
    // Then a frame passes before each pulse: a round each, the bar one step each.
    for (int i = 0; i < 13; ++i) {
        r.clock.now += kFrame;
        dlg.Pulse();
    }
    EXPECT_EQ(14u, r.Named("BringToTop").size());
    EXPECT_EQ(14u, r.Named("SetForeground").size());
    EXPECT_EQ(14u, r.Named("Update").size());
    // The activity bar: reset and one step per round, six rounds a sweep.
    std::vector<std::string> activity;
    for (const Call& c : r.calls)
        if (c.bar == kActivity) activity.push_back(c.name + (c.name == "SetPos" ? " " + std::to_string(c.value) : ""));
    const std::vector<std::string> sweep = {"SetRange", "SetStep", "SetPos 0", "DeltaPos", "DeltaPos", "DeltaPos",
                                            "DeltaPos", "DeltaPos", "DeltaPos"};
    std::vector<std::string> expected;
    for (int s = 0; s < 2; ++s) expected.insert(expected.end(), sweep.begin(), sweep.end());
    expected.insert(expected.end(), {"SetRange", "SetStep", "SetPos 0", "DeltaPos", "DeltaPos"});
    EXPECT_EQ(expected, activity);
    EXPECT_EQ(63, ClProgressDlg::Stats().pulses);
}

TEST_F(ProgressThrottle, FrameJustShortOfTheIntervalWaits)
{
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.Pulse();
    r.clock.now += kFrame - 1;
    dlg.Pulse();
    EXPECT_EQ(1u, r.Named("BringToTop").size());
    r.clock.now += 1;
    dlg.Pulse();
    EXPECT_EQ(2u, r.Named("BringToTop").size());
}

// Interval 0: every unit and pulse repaints in full, exactly as without a clock.
TEST_F(ProgressThrottle, IntervalZeroRepaintsEveryUnitAsWithoutAClock)
{
    auto run = [](Recording& rec) {
        ClProgressDlg dlg;
        dlg.Create();
        dlg.ResetOverall();
        dlg.Advance(95, 105);
        dlg.Pulse();
        dlg.Finish();
        std::vector<std::string> names;
        for (const Call& c : rec.calls) names.push_back(c.name + " " + std::to_string(c.bar) + " " + std::to_string(c.value) + " " + c.text);
        return names;
    };
    ClProgressDlg::SetFrameInterval(0);
    const std::vector<std::string> withClock = run(r);

    Recording plain;
    TimedUi plainUi(plain);
    platform::Services services;
    services.ui = &plainUi;
    platform::SetServices(services);
    const std::vector<std::string> withoutClock = run(plain);

    EXPECT_EQ(withoutClock, withClock);
    int tops = 0;
    for (const std::string& n : withClock) tops += n.rfind("BringToTop", 0) == 0;
    EXPECT_EQ(12 * 6, tops) << "eleven units and one pulse, six rounds each";
}

TEST_F(ProgressThrottle, ShownTimeRunsFromCreateToFinish)
{
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    r.clock.now += 123456;
    dlg.Finish();
    EXPECT_EQ(123456, ClProgressDlg::Stats().shownMicroseconds);
}

}  // namespace
