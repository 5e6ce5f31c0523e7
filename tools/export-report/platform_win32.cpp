#include <cstdio>

#include "platform/win32/win32_services.h"
#include "tools/export-report/export_report.h"

namespace export_report {

void InstallPlatformServices() { platform::win32::InstallServices(); }

// A Japanese console shows code page 932 bytes as they are.
void PrintMessage(const std::string& cp932Text) { std::fprintf(stderr, "%s\n", cp932Text.c_str()); }

}  // namespace export_report
