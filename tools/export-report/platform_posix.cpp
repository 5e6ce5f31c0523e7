#include <cstdio>

#include "common/cp932.h"
#include "platform/posix/posix_services.h"
#include "tools/export-report/export_report.h"

namespace export_report {

void InstallPlatformServices() { platform::InstallPosixServices(); }

void PrintMessage(const std::string& cp932Text) { std::fprintf(stderr, "%s\n", cp932::ToUtf8(cp932Text).c_str()); }

}  // namespace export_report
