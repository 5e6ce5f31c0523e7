#include "app/progress/progress_dlg.h"

#include <cstdio>

#include "common/program_texts.h"

namespace {
// The overall bar counts tenths of a percent.
const int kOverallUnits = 1000;
// The activity bar sweeps from empty to full in five steps; the sixth repaint keeps
// it full for a moment before the next sweep starts.
const int kActivityUnits = 5;
const int kActivityRounds = 6;

std::int64_t g_frameInterval = ClProgressDlg::kDefaultFrameMicroseconds;
ClProgressStats g_stats;
}  // namespace

ClProgressDlg::ClProgressDlg() = default;

ClProgressDlg::~ClProgressDlg() { Destroy(); }

void ClProgressDlg::SetFrameInterval(std::int64_t microseconds) { g_frameInterval = microseconds; }

const ClProgressStats& ClProgressDlg::Stats() { return g_stats; }

void ClProgressDlg::ResetStats() { g_stats = ClProgressStats{}; }

bool ClProgressDlg::Create()
{
    const platform::Services& services = platform::GetServices();
    platform::IUi* ui = services.ui;
    if (ui == nullptr)
        return false;
    m_view = ui->CreateProgressView();
    if (m_view && !m_view->Create())
        m_view.reset();
    // Both bars must show their position the moment it is set, and keep their two looks.
    if (m_view) {
        m_view->TurnThemeOff(IDC_PROGRESS_OVERALL);
        m_view->TurnThemeOff(IDC_PROGRESS_ACTIVITY);
    }
    m_clock = services.clock;
    m_frame = g_frameInterval;
    m_painted = false;
    m_dirty = false;
    m_barBehind = false;
    m_sweepRound = 0;
    if (m_clock)
        m_createdAt = m_clock->NowMicroseconds();
    // Without a window every later call does nothing, so the export still runs.
    return m_view != nullptr;
}

HWND ClProgressDlg::Handle() { return m_view ? m_view->Handle() : nullptr; }

void ClProgressDlg::SetParent(HWND parent)
{
    if (m_view)
        m_view->SetParent(parent);
}

void ClProgressDlg::Show()
{
    if (!m_view)
        return;
    const std::int64_t start = m_clock ? m_clock->NowMicroseconds() : 0;
    m_view->Show();
    if (m_clock)
        g_stats.showMicroseconds += m_clock->NowMicroseconds() - start;
}

void ClProgressDlg::ResetOverall()
{
    if (!m_view)
        return;
    m_view->SetRange(IDC_PROGRESS_OVERALL, 0, kOverallUnits);
    m_view->SetStep(IDC_PROGRESS_OVERALL, 1);
    m_view->SetPos(IDC_PROGRESS_OVERALL, 0);
    m_dirty = true;
}

void ClProgressDlg::Advance(short from, short to)
{
    if (!m_view || from > to)
        return;
    for (int unit = from; unit <= to; ++unit) {
        ++g_stats.units;
        const bool percentStep = unit % 10 == 0;
        if (percentStep) {
            char caption[32];
            std::snprintf(caption, sizeof caption, texts::kProgressFormat, unit / 10);
            const std::int64_t start = m_clock ? m_clock->NowMicroseconds() : 0;
            m_view->SetCaption(caption);
            if (m_clock)
                g_stats.captionMicroseconds += m_clock->NowMicroseconds() - start;
        }
        if (!Throttled()) {
            SetBar(unit);
            SweepInFull();
            const std::int64_t start = m_clock ? m_clock->NowMicroseconds() : 0;
            m_view->Update();
            ++g_stats.updates;
            if (m_clock)
                g_stats.repaintMicroseconds += m_clock->NowMicroseconds() - start;
            continue;
        }
        // Moving the bar paints it (the control repaints itself), so between frames it
        // takes only the percentage steps.
        const bool due = FrameDue();
        if (percentStep || due)
            SetBar(unit);
        else
            m_barBehind = true;
        if (due)
            RepaintRound();
    }
    if (!Throttled())
        return;
    // Where the stretch ends is shown even when its last frame had not come yet.
    if (m_barBehind)
        SetBar(to);
    if (m_dirty) {
        const std::int64_t start = m_clock->NowMicroseconds();
        m_view->Update();
        ++g_stats.updates;
        m_dirty = false;
        g_stats.repaintMicroseconds += m_clock->NowMicroseconds() - start;
    }
}

// The bar is set to the unit itself, not moved by one, so that it always stands where
// the caption says and is full when the caption shows 100.
void ClProgressDlg::SetBar(int unit)
{
    const std::int64_t start = m_clock ? m_clock->NowMicroseconds() : 0;
    m_view->SetPos(IDC_PROGRESS_OVERALL, unit);
    if (m_clock)
        g_stats.barMicroseconds += m_clock->NowMicroseconds() - start;
    m_barBehind = false;
    m_dirty = true;
}

void ClProgressDlg::Pulse()
{
    if (!m_view)
        return;
    ++g_stats.pulses;
    if (!Throttled()) {
        SweepInFull();
        return;
    }
    if (FrameDue())
        RepaintRound();
}

bool ClProgressDlg::FrameDue()
{
    return !m_painted || m_clock->NowMicroseconds() - m_lastRound >= m_frame;
}

// One frame: the activity bar one step on, the window kept in front and painted.
void ClProgressDlg::RepaintRound()
{
    const std::int64_t start = m_clock->NowMicroseconds();
    if (m_sweepRound == 0) {
        m_view->SetRange(IDC_PROGRESS_ACTIVITY, 0, kActivityUnits);
        m_view->SetStep(IDC_PROGRESS_ACTIVITY, 1);
        m_view->SetPos(IDC_PROGRESS_ACTIVITY, 0);
    }
    m_view->DeltaPos(IDC_PROGRESS_ACTIVITY, 1);
    m_sweepRound = (m_sweepRound + 1) % kActivityRounds;
    m_view->BringToTop();
    m_view->SetForeground();
    m_view->Update();
    ++g_stats.rounds;
    ++g_stats.updates;
    m_painted = true;
    m_dirty = false;
    // Measured from the end of the round, so that slow painting cannot take every frame.
    m_lastRound = m_clock->NowMicroseconds();
    g_stats.repaintMicroseconds += m_lastRound - start;
}

// The whole sweep at once, six rounds: the behaviour without a clock.
void ClProgressDlg::SweepInFull()
{
    const std::int64_t start = m_clock ? m_clock->NowMicroseconds() : 0;
    m_view->SetRange(IDC_PROGRESS_ACTIVITY, 0, kActivityUnits);
    m_view->SetStep(IDC_PROGRESS_ACTIVITY, 1);
    m_view->SetPos(IDC_PROGRESS_ACTIVITY, 0);
    for (int round = 0; round < kActivityRounds; ++round) {
        m_view->DeltaPos(IDC_PROGRESS_ACTIVITY, 1);
        // No messages are pumped during the export, so the window is kept in front
        // and repainted by hand.
        m_view->BringToTop();
        m_view->SetForeground();
        m_view->Update();
    }
    g_stats.rounds += kActivityRounds;
    g_stats.updates += kActivityRounds;
    if (m_clock)
        g_stats.repaintMicroseconds += m_clock->NowMicroseconds() - start;
}

void ClProgressDlg::Finish()
{
    if (!m_view)
        return;
    if (m_clock)
        g_stats.shownMicroseconds += m_clock->NowMicroseconds() - m_createdAt;
    m_view->End(1);
}

void ClProgressDlg::Destroy()
{
    if (m_view) {
        m_view->Destroy();
        m_view.reset();
    }
}
