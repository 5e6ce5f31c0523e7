// The hourglass while the export runs: SetCursor with IDC_WAIT, and back.
#pragma once

#include "platform/win32/win32_api.h"

namespace platform::win32 {

class WaitCursor {
public:
    void Begin()
    {
        HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        if (!m_active) m_previous = previous;
        m_active = true;
    }
    // Shows the hourglass again, e.g. after a message box brought the arrow back.
    void Restore()
    {
        if (m_active) ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    }
    void End()
    {
        if (!m_active) return;
        ::SetCursor(m_previous ? m_previous : ::LoadCursorW(nullptr, IDC_ARROW));
        m_active = false;
    }

private:
    HCURSOR m_previous = nullptr;
    bool m_active = false;
};

}  // namespace platform::win32
