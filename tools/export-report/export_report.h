// The export-report tool as a function, so tests can run it in-process.
#pragma once

#include <string>
#include <vector>

namespace export_report {

// 130: stopped by Ctrl-C or a termination signal, as shells report a SIGINT.
enum ExitCode { kWritten = 0, kFailed = 1, kUsage = 2, kInterrupted = 130 };

// Runs the tool with the arguments after the program name; messages go to stderr, the
// usage asked for with --help (or -h) to stdout with the status 0.
int Run(const std::vector<std::string>& args);

// Supplied per platform: installs the operating system's services, and prints a
// CP932 message on stderr in the console's encoding.
void InstallPlatformServices();
void PrintMessage(const std::string& cp932Text);
// Ctrl-C and termination signals (a console's Ctrl+C on Windows) ask the export to stop:
// the report is given up as after a failure, and Run returns kInterrupted.
void InstallInterruptHandlers();

}  // namespace export_report
