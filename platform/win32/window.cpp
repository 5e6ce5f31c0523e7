#include "platform/win32/window.h"

#include "platform/win32/wide.h"

namespace platform::win32 {

bool Window::Destroy()
{
    if (!m_wnd) return true;
    const bool destroyed = ::DestroyWindow(m_wnd) != FALSE;
    m_wnd = nullptr;
    return destroyed;
}

bool Window::SetText(const std::string& text)
{
    return ::SetWindowTextW(m_wnd, ToWide(text).c_str()) != FALSE;
}

std::string Window::GetText() const
{
    const int length = ::GetWindowTextLengthW(m_wnd);
    if (length <= 0) return std::string();
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_wnd, buffer.data(), length + 1);
    buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return FromWide(buffer);
}

}  // namespace platform::win32
