// The export-report tool as a function, so tests can run it in-process.
#pragma once

#include <string>
#include <vector>

namespace export_report {

enum ExitCode { kWritten = 0, kFailed = 1, kUsage = 2 };

// Runs the tool with the arguments after the program name; messages go to stderr, the
// usage asked for with --help (or -h) to stdout with the status 0.
int Run(const std::vector<std::string>& args);

// Supplied per platform: installs the operating system's services, and prints a
// CP932 message on stderr in the console's encoding.
void InstallPlatformServices();
void PrintMessage(const std::string& cp932Text);

}  // namespace export_report
