#include "platform/win32/command_line.h"

#include "platform/win32/wide.h"
#include "platform/win32/win32_api.h"

namespace platform::win32 {

std::wstring ArgumentsAfterProgramName(const wchar_t* commandLine)
{
    if (!commandLine) return std::wstring();
    const wchar_t* p = commandLine;
    bool quoted = false;
    while (*p > L' ' || (*p && quoted)) {
        if (*p == L'"') quoted = !quoted;
        ++p;
    }
    while (*p && *p <= L' ') ++p;
    return std::wstring(p);
}

std::string CommandLineArguments() { return FromWide(ArgumentsAfterProgramName(::GetCommandLineW())); }

}  // namespace platform::win32
