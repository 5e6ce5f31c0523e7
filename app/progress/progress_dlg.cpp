#include "app/progress/progress_dlg.h"

#include <cstdio>

namespace {
// The overall bar counts tenths of a percent.
const int kOverallUnits = 1000;
// The activity bar sweeps from empty to full in five steps; the sixth repaint keeps
// it full for a moment before the next sweep starts.
const int kActivityUnits = 5;
const int kActivityRounds = 6;
}  // namespace

ClProgressDlg::ClProgressDlg() = default;

ClProgressDlg::~ClProgressDlg() { Destroy(); }

bool ClProgressDlg::Create()
{
    platform::IUi* ui = platform::GetServices().ui;
    if (ui == nullptr)
        return false;
    m_view = ui->CreateProgressView();
    if (m_view && !m_view->Create())
        m_view.reset();
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
    if (m_view)
        m_view->Show();
}

void ClProgressDlg::ResetOverall()
{
    if (!m_view)
        return;
    m_view->SetRange(IDC_OVERALL, 0, kOverallUnits);
    m_view->SetStep(IDC_OVERALL, 1);
    m_view->SetPos(IDC_OVERALL, 0);
}

void ClProgressDlg::Advance(short from, short to)
{
    if (!m_view)
        return;
    for (int unit = from; unit <= to; ++unit) {
        if (unit % 10 == 0) {
            char caption[32];
            std::snprintf(caption, sizeof caption, "集計中 %d％", unit / 10);
            m_view->SetCaption(caption);
        }
        // The bar is set to the unit itself, not moved by one, so that it always
        // stands where the caption says and is full when the caption shows 100.
        m_view->SetPos(IDC_OVERALL, unit);
        Pulse();
        m_view->Update();
    }
}

void ClProgressDlg::Pulse()
{
    if (!m_view)
        return;
    m_view->SetRange(IDC_ACTIVITY, 0, kActivityUnits);
    m_view->SetStep(IDC_ACTIVITY, 1);
    m_view->SetPos(IDC_ACTIVITY, 0);
    for (int round = 0; round < kActivityRounds; ++round) {
        m_view->DeltaPos(IDC_ACTIVITY, 1);
        // No messages are pumped during the export, so the window is kept in front
        // and repainted by hand.
        m_view->BringToTop();
        m_view->SetForeground();
        m_view->Update();
    }
}

void ClProgressDlg::Finish()
{
    if (m_view)
        m_view->End(1);
}

void ClProgressDlg::Destroy()
{
    if (m_view) {
        m_view->Destroy();
        m_view.reset();
    }
}
