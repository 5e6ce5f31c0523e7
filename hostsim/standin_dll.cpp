// The parts of the stand-in that differ when it is built as the host's DLLs: the sample
// company comes from hostsample.dll, loaded by name when first asked for (so through the
// DLL search as the exporter has left it), and DispMsg shows the host's own box.
#include "platform/win32/win32_api.h"

#include <cstring>

#include "hostsim/hostsim.h"
#include "hostsim/objects.h"
#include "platform/win32/environment.h"
#include "platform/win32/message_box.h"

namespace hostsim {
namespace {

std::string g_sampleError;

}  // namespace

const std::string& BuiltInSample()
{
    static std::string text;
    static bool loaded = false;
    if (loaded) return text;
    using SampleCall = const char* (*)();
    HMODULE library = ::LoadLibraryW(L"hostsample.dll");
    if (library == nullptr) {
        g_sampleError = "the built-in sample company cannot be loaded: hostsample.dll (error " +
                        std::to_string(::GetLastError()) + ")";
        return text;
    }
    const auto sample = reinterpret_cast<SampleCall>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library, "HostSampleCompany")));
    if (sample == nullptr) {
        g_sampleError = "hostsample.dll has no HostSampleCompany";
        return text;
    }
    text = sample();
    loaded = true;
    g_sampleError.clear();
    return text;
}

const std::string& BuiltInSampleError() { return g_sampleError; }

unsigned ShowOwnMessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned type)
{
    // The host simulator reads the boxes from this trace, as it does the exporter's.
    const std::wstring trace = platform::win32::EnvironmentValue(L"LEDGRA_MSGBOX_TRACE");
    if (!trace.empty()) platform::win32::AppendTrace(trace, platform::win32::MessageBoxTraceLine(text, type));
    return static_cast<unsigned>(platform::win32::ShowMessageBox(owner, text, caption, type));
}

}  // namespace hostsim
