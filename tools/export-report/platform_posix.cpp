#include <csignal>
#include <cstdio>

#include "common/cp932.h"
#include "platform/posix/posix_services.h"
#include "tools/export-report/export_report.h"

namespace export_report {

void InstallPlatformServices() { platform::InstallPosixServices(); }

namespace {
extern "C" void OnInterrupt(int) { platform::RequestInterrupt(); }
}  // namespace

void InstallInterruptHandlers()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Calls in progress go on: the report file sees the request at its next step.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void PrintMessage(const std::string& cp932Text) { std::fprintf(stderr, "%s\n", cp932::ToUtf8(cp932Text).c_str()); }

}  // namespace export_report
