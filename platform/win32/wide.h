// The one place where CP932 texts meet the wide-character Win32 calls. Converting here,
// with our own table, keeps the program's behaviour independent of the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring ToWide(std::string_view cp932Text);
std::string FromWide(std::wstring_view wideText);
std::string FromWide(const wchar_t* wideText);

}  // namespace platform::win32
