// The program's command line as the program receives it.
#pragma once

#include <string>

namespace platform::win32 {

// The text after the program name, as the C runtime hands it to WinMain: the name runs
// to the first blank outside double quotes; the blanks after it are skipped.
std::wstring ArgumentsAfterProgramName(const wchar_t* commandLine);

// GetCommandLineW after the program name, as CP932.
std::string CommandLineArguments();

}  // namespace platform::win32
