// Entry point of LedgraProExport.exe and LedgraBasicExport.exe. Both programs are built
// from this one source; a compile definition of each program chooses its edition.
#include "platform/win32/win32_api.h"

#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "app/edition.h"
#include "app/export_app.h"
#include "app/progress/progress_dlg.h"
#include "host/host_session.h"
#include "platform/win32/command_line.h"
#include "platform/win32/environment.h"
#include "platform/win32/win32_services.h"

#if defined(LEDGRA_EDITION_PRO) == defined(LEDGRA_EDITION_BASIC)
#error "define exactly one of LEDGRA_EDITION_PRO and LEDGRA_EDITION_BASIC"
#endif

namespace {

// The program's folder, System32 and the folders added by AddDllDirectory.
constexpr DWORD kSearchDefaultDirs = 0x00001000;   // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

#if defined(LEDGRA_TEST_SWITCHES)
// Switches of the programs that the tests and benchmarks run, never of those that ship:
// LEDGRA_MSGBOX_TRACE, a file to which each message box is appended as a line, for the
// host simulator to read; LEDGRA_PROGRESS_FRAME_US, the least microseconds between two
// repaint rounds (0 repaints at every unit); LEDGRA_PROGRESS_TRACE, a file to which one
// line of what the repainting cost is appended when the run ends (bench/wine-export.sh).
std::wstring MessageBoxTrace() { return platform::win32::EnvironmentValue(L"LEDGRA_MSGBOX_TRACE"); }

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
#else
std::wstring MessageBoxTrace() { return std::wstring(); }
void ApplyProgressSettings() {}
void WriteProgressTrace() {}
#endif

// The folder (without its last backslash) of the module whose image holds address;
// empty when none does.
std::wstring ModuleFolderOf(const void* address)
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &module))
        return std::wstring();
    std::vector<wchar_t> path(32768);
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::wstring();
    const std::wstring file(path.data(), length);
    const std::size_t cut = file.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : file.substr(0, cut);
}

// The host's own code behind one of its calls. A call imported from a library reaches
// it through a jump thunk in our image that jumps through the import's slot, which is
// followed: "jmp [rip+offset]" on x64, "jmp [address]" on x86 (the address relocated
// with the image).
const void* HostCode()
{
    const auto* code = reinterpret_cast<const unsigned char*>(reinterpret_cast<std::uintptr_t>(&ClAccConnect::Inst));
    if (code[0] == 0xFF && code[1] == 0x25) {
#if defined(__x86_64__) || defined(_M_X64)
        std::int32_t offset = 0;
        std::memcpy(&offset, code + 2, sizeof offset);
        const unsigned char* slot = code + 6 + offset;
#elif defined(__i386__) || defined(_M_IX86)
        std::uint32_t address = 0;
        std::memcpy(&address, code + 2, sizeof address);
        const auto* slot = reinterpret_cast<const unsigned char*>(static_cast<std::uintptr_t>(address));
#else
#error "the import thunk of this processor is not known"
#endif
        const void* target = nullptr;
        std::memcpy(&target, slot, sizeof target);
        return target;
    }
    return code;
}

// The host starts the program from its own folder: a DLL planted there (the current
// folder) or on the path must never be loaded. From here on a DLL loaded by name comes
// from the program's folder, System32, or the folder the host's libraries were loaded
// from, so that whatever those libraries load later still finds their own. The calls
// are looked up by name: Windows 7 has them only with its update KB2533623, and without
// it at least the current folder is taken out of the search.
void RestrictDllSearch()
{
    using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
    using AddDllDirectoryCall = void*(WINAPI*)(PCWSTR);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesCall>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    const auto addDirectory = reinterpret_cast<AddDllDirectoryCall>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "AddDllDirectory")));
    if (setDefault == nullptr || addDirectory == nullptr || !setDefault(kSearchDefaultDirs)) {
        ::SetDllDirectoryW(L"");
        return;
    }
    const std::wstring hostFolder = ModuleFolderOf(HostCode());
    if (!hostFolder.empty()) addDirectory(hostFolder.c_str());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RestrictDllSearch();
    platform::win32::InstallServices(MessageBoxTrace());
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
        app.Run(platform::win32::CommandLineArguments);
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    WriteProgressTrace();
    // The outcome reaches the host only through the posted message.
    return 0;
}
