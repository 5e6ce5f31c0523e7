#include <cstdio>

#include "platform/win32/win32_api.h"

#include "platform/win32/win32_services.h"
#include "tools/export-report/export_report.h"

namespace export_report {

void InstallPlatformServices() { platform::win32::InstallServices(); }

// A Japanese console shows code page 932 bytes as they are.
void PrintMessage(const std::string& cp932Text) { std::fprintf(stderr, "%s\n", cp932Text.c_str()); }

namespace {
// Runs on a thread of its own: it only asks, and the export stops at its next step.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    platform::RequestInterrupt();
    return TRUE;
}
}  // namespace

void InstallInterruptHandlers() { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

}  // namespace export_report
