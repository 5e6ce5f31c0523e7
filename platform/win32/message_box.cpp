#include "platform/win32/message_box.h"

#include <cstdio>

#include "common/cp932.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    // A handle that names no window (a launch line that was not a complete host launch
    // still sets one) would make the box fail unseen; the user must see it, so it then
    // has no owner.
    if (owner != nullptr && !::IsWindow(owner))
        owner = nullptr;
    return ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), type);
}

std::string MessageBoxTraceLine(const std::string& text, UINT type)
{
    char head[16];
    std::snprintf(head, sizeof head, "0x%02x ", type);
    std::string line = head;
    for (char c : cp932::ToUtf8(text)) {
        if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    line += '\n';
    return line;
}

}  // namespace platform::win32
