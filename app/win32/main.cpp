// Entry point of LedgraProExport.exe and LedgraBasicExport.exe. Both programs are built
// from this one source; a compile definition of each program chooses its edition.
#include "platform/win32/win32_api.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "app/edition.h"
#include "app/export_app.h"
#include "app/progress/progress_dlg.h"
#include "platform/win32/command_line.h"
#include "platform/win32/environment.h"
#include "platform/win32/win32_services.h"

#if defined(LEDGRA_EDITION_PRO) == defined(LEDGRA_EDITION_BASIC)
#error "define exactly one of LEDGRA_EDITION_PRO and LEDGRA_EDITION_BASIC"
#endif

namespace {

// Developer settings for measuring the progress window (bench/wine-export.sh), never
// set in use: LEDGRA_PROGRESS_FRAME_US, the least microseconds between two repaint
// rounds (0 repaints at every unit); LEDGRA_PROGRESS_TRACE, a file to which one line
// of what the repainting cost is appended when the run ends.
void ApplyProgressSettings()
{
    const std::wstring frame = platform::win32::EnvironmentValue(L"LEDGRA_PROGRESS_FRAME_US");
    if (!frame.empty()) ClProgressDlg::SetFrameInterval(std::wcstoll(frame.c_str(), nullptr, 10));
}

void WriteProgressTrace()
{
    const std::wstring path = platform::win32::EnvironmentValue(L"LEDGRA_PROGRESS_TRACE");
    if (path.empty()) return;
    const ClProgressStats& s = ClProgressDlg::Stats();
    char line[256];
    const int n = std::snprintf(line, sizeof line,
                                "units=%lld pulses=%lld rounds=%lld updates=%lld repaint-us=%lld caption-us=%lld bar-us=%lld show-us=%lld shown-us=%lld\r\n",
                                s.units, s.pulses, s.rounds, s.updates, s.repaintMicroseconds,
                                s.captionMicroseconds, s.barMicroseconds, s.showMicroseconds,
                                s.shownMicroseconds);
    if (n > 0) platform::win32::AppendTrace(path, std::string(line, std::min<std::size_t>(n, sizeof line - 1)));
}

// The host starts the program from its own folder: a DLL planted there (the current
// folder) or beside the program must never be loaded. From here on every DLL loaded by
// name comes from System32 only. The program's own imports are all known system DLLs
// (and Common Controls from the side-by-side store), which the loader takes from there
// anyway. Looked up by name, as Windows 7 has the call only with its update KB2533623.
void RestrictDllSearch()
{
    using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesCall>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        ::SetDllDirectoryW(L"");   // at least the current folder is out of the search
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RestrictDllSearch();
    platform::win32::InstallServices();
    // The progress window repaints at most once a display frame by this clock.
    platform::GetServices().clock = &platform::SteadyClock();
    ApplyProgressSettings();

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);

    // The save-file dialog reaches the shell's COM objects from this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    {
        // The run has no main window and no message loop of its own: the start step does
        // the whole export and the end step always follows, an exception or not.
#if defined(LEDGRA_EDITION_PRO)
        ClExportApp app(ProEdition());
#else
        ClExportApp app(BasicEdition());
#endif
        app.SetCommandLine(platform::win32::CommandLineArguments());
        app.Run();
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    WriteProgressTrace();
    // The outcome reaches the host only through the posted message.
    return 0;
}
