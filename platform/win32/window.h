// A window handle with one-line wrappers of the calls the program makes on it.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>

namespace platform::win32 {

class Window {
public:
    Window() = default;
    explicit Window(HWND wnd) : m_wnd(wnd) {}

    HWND Handle() const { return m_wnd; }
    void Attach(HWND wnd) { m_wnd = wnd; }
    HWND Detach()
    {
        HWND wnd = m_wnd;
        m_wnd = nullptr;
        return wnd;
    }
    explicit operator bool() const { return m_wnd != nullptr; }

    bool Destroy();
    // Texts are CP932; the window holds them as UTF-16.
    bool SetText(const std::string& text);
    std::string GetText() const;

    // True when the window was disabled before (EnableWindow's own answer).
    bool Enable(bool enable) { return ::EnableWindow(m_wnd, enable ? TRUE : FALSE) != FALSE; }
    bool IsEnabled() const { return ::IsWindowEnabled(m_wnd) != FALSE; }
    bool IsVisible() const { return ::IsWindowVisible(m_wnd) != FALSE; }
    bool Show(int command) { return ::ShowWindow(m_wnd, command) != FALSE; }
    bool Update() { return ::UpdateWindow(m_wnd) != FALSE; }
    bool BringToTop() { return ::BringWindowToTop(m_wnd) != FALSE; }
    bool SetForeground() { return ::SetForegroundWindow(m_wnd) != FALSE; }
    HWND SetParent(HWND parent) { return ::SetParent(m_wnd, parent); }
    LONG GetExStyle() const { return ::GetWindowLongW(m_wnd, GWL_EXSTYLE); }
    LONG SetExStyle(LONG style) { return ::SetWindowLongW(m_wnd, GWL_EXSTYLE, style); }
    // Has the frame (border, edge) measured and drawn again after a style change.
    bool FrameChanged()
    {
        return ::SetWindowPos(m_wnd, nullptr, 0, 0, 0, 0,
                              SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
    }
    HWND SetFocus() { return ::SetFocus(m_wnd); }
    int GetId() const { return ::GetDlgCtrlID(m_wnd); }
    HWND GetItem(int id) const { return ::GetDlgItem(m_wnd, id); }

    LRESULT SendMsg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(m_wnd, message, wParam, lParam);
    }
    bool PostMsg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageW(m_wnd, message, wParam, lParam) != FALSE;
    }

protected:
    HWND m_wnd = nullptr;
};

}  // namespace platform::win32
