#include "platform/win32/dialog.h"

namespace platform::win32 {

int Dialog::ControlIdOf(HWND wnd) const
{
    if (!wnd || !m_wnd || wnd == m_wnd || !::IsChild(m_wnd, wnd)) return 0;
    for (HWND parent = ::GetParent(wnd); parent && parent != m_wnd; parent = ::GetParent(wnd))
        wnd = parent;
    return ::GetDlgCtrlID(wnd);
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrW(wnd, DWLP_USER, lParam);
        if (dialog) dialog->m_wnd = wnd;
    } else {
        dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(wnd, DWLP_USER));
    }
    if (!dialog) return FALSE;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(wnd, DWLP_USER, 0);
        dialog->m_wnd = nullptr;
        try {
            dialog->OnDestroyed();
        } catch (...) {
        }
        return FALSE;
    }
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        try {
            dialog->OnHookFailed();
        } catch (...) {
        }
        return FALSE;
    }
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        RECT before = {};
        ::GetWindowRect(m_wnd, &before);
        const LONG styleBefore = ::GetWindowLongW(m_wnd, GWL_STYLE);
        const bool defaultFocus = OnInit();
        if (m_wnd) CenterIfLeftInPlace(before, styleBefore);
        return defaultFocus ? TRUE : FALSE;
    }
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    default: {
        INT_PTR result = FALSE;
        if (OnMessage(message, wParam, lParam, &result)) {
            ::SetWindowLongPtrW(m_wnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        return FALSE;
    }
    }
}

void Dialog::CenterIfLeftInPlace(const RECT& rectBefore, LONG styleBefore)
{
    // As the application framework does for its dialogs: a window that starts hidden, is
    // neither shown nor moved by its initialisation and has no owner taking input is
    // centred, so a template placed at 0, 0 does not open in the corner of the screen.
    if (styleBefore & WS_VISIBLE) return;
    if (::GetWindowLongW(m_wnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD)) return;
    RECT now = {};
    ::GetWindowRect(m_wnd, &now);
    if (now.left != rectBefore.left || now.top != rectBefore.top) return;
    HWND owner = ::GetWindow(m_wnd, GW_OWNER);
    if (owner && ::IsWindowEnabled(owner) && !DisablesOwner()) return;
    CenterWindow();
}

void Dialog::CenterWindow()
{
    HWND owner = ::GetWindow(m_wnd, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : m_wnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    const RECT area = monitor.rcWork;
    RECT around = area;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);

    RECT rect = {};
    ::GetWindowRect(m_wnd, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    LONG x = (around.left + around.right) / 2 - width / 2;
    LONG y = (around.top + around.bottom) / 2 - height / 2;
    // Kept on the monitor's work area.
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR ModalDialog::Run(HINSTANCE instance, int templateId, HWND parent)
{
    m_ended = false;
    m_result = -1;
    HWND wnd = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProcedure,
                                    reinterpret_cast<LPARAM>(this));
    if (!wnd) return -1;

    // As DialogBox does: the owner takes no input while the dialog runs, and gets it
    // back before the dialog disappears so that the activation returns to it.
    HWND owner = ::GetWindow(wnd, GW_OWNER);
    const bool ownerDisabledHere = owner && ::IsWindowEnabled(owner);
    if (ownerDisabledHere) ::EnableWindow(owner, FALSE);

    if (!m_ended && !::IsWindowVisible(wnd)) ::ShowWindow(wnd, SW_SHOWNORMAL);

    MSG msg;
    while (!m_ended) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) {
            m_result = -1;
            break;
        }
        if (got == 0) {
            // Someone asked the thread to quit: leave the request for the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_result = -1;
            break;
        }
        bool consumed = false;
        try {
            consumed = PreTranslateMessage(msg);
        } catch (...) {
            End(-1);
            consumed = true;
        }
        if (consumed) continue;
        if (m_wnd && ::IsDialogMessageW(m_wnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }

    if (ownerDisabledHere) ::EnableWindow(owner, TRUE);
    if (m_wnd) {
        ::SetWindowPos(m_wnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Destroy();
    }
    return m_result;
}

void ModalDialog::End(INT_PTR result)
{
    if (m_ended) return;
    m_ended = true;
    m_result = result;
    // Wakes GetMessage so that the loop sees the end even when the queue is empty.
    if (m_wnd) ::PostMessageW(m_wnd, WM_NULL, 0, 0);
}

void ModalDialog::OnDestroyed()
{
    // Destroyed from outside while running: the loop must not wait for it forever.
    if (!m_ended) {
        m_ended = true;
        m_result = -1;
    }
}

bool ModelessDialog::Create(HINSTANCE instance, int templateId, HWND parent)
{
    Destroy();
    HWND wnd = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProcedure,
                                    reinterpret_cast<LPARAM>(this));
    return wnd != nullptr;
}

}  // namespace platform::win32
