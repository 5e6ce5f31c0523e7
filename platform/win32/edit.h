// The edit control: each method sends one EM_ message.
#pragma once

#include "platform/win32/window.h"

namespace platform::win32 {

class Edit : public Window {
public:
    using Window::Window;
    void SetSel(int start, int end) { SendMsg(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end)); }
    void ScrollCaret() { SendMsg(EM_SCROLLCARET); }
    // The control counts UTF-16 units; a byte limit is kept on top of this (see dialog view).
    void LimitText(int units) { SendMsg(EM_LIMITTEXT, static_cast<WPARAM>(units)); }
    DWORD GetSel(int* start, int* end)
    {
        DWORD s = 0, e = 0;
        const LRESULT r = SendMsg(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        if (start) *start = static_cast<int>(s);
        if (end) *end = static_cast<int>(e);
        return static_cast<DWORD>(r);
    }
};

}  // namespace platform::win32
