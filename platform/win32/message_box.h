// MessageBoxW on CP932 texts.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>

namespace platform::win32 {

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// One trace line for a message box: "0xTT <text as UTF-8, each newline written as \n>".
std::string MessageBoxTraceLine(const std::string& text, UINT type);

}  // namespace platform::win32
