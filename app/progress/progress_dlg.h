// The modeless progress window (template 131): overall bar 1018 with the percentage in
// the caption, activity bar 1019 that sweeps once per unit of work.
//
// Repainting: nothing pumps messages during the export, so the window is repainted by
// hand, and a repaint round (keeping it in front and painting it) costs milliseconds
// where a unit of work costs microseconds; moving a bar repaints it too. With a clock
// in the services the caption and the overall bar still take every percentage step
// (every tenth unit), but everything else runs at most once per display frame: a round
// moves the overall bar to the current unit and the activity bar one step (so it
// sweeps over six frames), keeps the window in front and paints it. The end of every
// Advance is shown once more, so the bar never stays behind where a stretch ended.
// Without a clock, or with an interval of 0, every unit and pulse moves the bar and
// repaints in full as it always did.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/progress.h"
#include "platform/services.h"
#include "resources/resource.h"

// What the window's repainting cost, counted over the process (for a developer's trace).
struct ClProgressStats {
    long long units = 0;                  // units Advance walked
    long long pulses = 0;                 // Pulse calls
    long long rounds = 0;                 // repaint rounds run (each BringToTop + SetForeground + Update)
    long long updates = 0;                // Update calls, in rounds and alone
    long long repaintMicroseconds = 0;    // clock time spent repainting (0 without a clock)
    long long captionMicroseconds = 0;    // clock time spent setting captions (0 without a clock)
    long long showMicroseconds = 0;       // clock time spent showing the window (0 without a clock)
    long long barMicroseconds = 0;        // clock time spent setting the overall bar (0 without a clock)
    long long shownMicroseconds = 0;      // clock time from Create to Finish (0 without a clock)
};

class ClProgressDlg : public platform::IProgress {
public:
    // One display frame at 60 Hz, rounded up to whole milliseconds.
    static constexpr std::int64_t kDefaultFrameMicroseconds = 17000;

    ClProgressDlg();
    ~ClProgressDlg() override;
    bool Create();
    HWND Handle();
    void SetParent(HWND parent);
    void Show();
    void ResetOverall();
    void Advance(short from, short to) override;
    void Pulse() override;
    void Finish();
    void Destroy();

    // The least time between two repaint rounds for windows created afterwards; 0 repaints
    // at every unit and pulse.
    static void SetFrameInterval(std::int64_t microseconds);
    static const ClProgressStats& Stats();
    static void ResetStats();

private:
    bool Throttled() const { return m_clock != nullptr && m_frame > 0; }
    bool FrameDue();
    void RepaintRound();
    void SetBar(int unit);
    void SweepInFull();

    std::unique_ptr<platform::IProgressView> m_view;
    platform::IClock* m_clock = nullptr;
    std::int64_t m_frame = 0;
    std::int64_t m_createdAt = 0;
    std::int64_t m_lastRound = 0;
    bool m_painted = false;       // a round has run since Create
    bool m_dirty = false;         // the bars changed since the last paint
    bool m_barBehind = false;     // the overall bar has not been given the last unit yet
    int m_sweepRound = 0;         // round of the activity sweep, 0 to 5
};
