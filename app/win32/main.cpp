// Entry point of LedgraProExport.exe and LedgraBasicExport.exe. Both programs are built
// from this one source; a compile definition of each program chooses its edition.
#include "platform/win32/win32_api.h"

#include <objbase.h>

#include <string>

#include "app/edition.h"
#include "app/export_app.h"
#include "platform/win32/command_line.h"
#include "platform/win32/win32_services.h"

#if defined(LEDGRA_EDITION_PRO) == defined(LEDGRA_EDITION_BASIC)
#error "define exactly one of LEDGRA_EDITION_PRO and LEDGRA_EDITION_BASIC"
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    platform::win32::InstallServices();

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);

#if defined(LEDGRA_EDITION_PRO)
    SetCurrentEdition(ProEdition());
#else
    SetCurrentEdition(BasicEdition());
#endif

    // The save-file dialog reaches the shell's COM objects from this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    {
        // The run has no main window and no message loop of its own: the start step does
        // the whole export and the end step always follows.
        ClExportApp app;
        app.SetCommandLine(platform::win32::CommandLineArguments());
        app.InitInstance();
        app.ExitInstance();
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    // The outcome reaches the host only through the posted message.
    return 0;
}
