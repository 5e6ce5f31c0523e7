// The progress-bar control (msctls_progress32): each method sends one PBM_ message.
#pragma once


#include "platform/win32/window.h"

namespace platform::win32 {

class ProgressBar : public Window {
public:
    using Window::Window;
    // PBM_SETRANGE carries 16-bit bounds; answers the previous range.
    LRESULT SetRange(int low, int high) { return SendMsg(PBM_SETRANGE, 0, MAKELPARAM(low, high)); }
    int SetStep(int step) { return static_cast<int>(SendMsg(PBM_SETSTEP, static_cast<WPARAM>(step))); }
    int SetPos(int pos) { return static_cast<int>(SendMsg(PBM_SETPOS, static_cast<WPARAM>(pos))); }
    int DeltaPos(int increment) { return static_cast<int>(SendMsg(PBM_DELTAPOS, static_cast<WPARAM>(increment))); }
    int StepIt() { return static_cast<int>(SendMsg(PBM_STEPIT)); }
    int GetPos() { return static_cast<int>(SendMsg(PBM_GETPOS)); }
    int GetLow() { return static_cast<int>(SendMsg(PBM_GETRANGE, TRUE)); }
    int GetHigh() { return static_cast<int>(SendMsg(PBM_GETRANGE, FALSE)); }
};

}  // namespace platform::win32
