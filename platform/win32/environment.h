// Developer settings of the programs: environment variables, and trace files to which a
// line is appended. Never set in use; a setting that cannot be read counts as unset.
#pragma once

#include <string>

namespace platform::win32 {

// The variable's value, whatever its length; empty when unset.
std::wstring EnvironmentValue(const wchar_t* name);
// Appends bytes to the file at path (created when missing), shared with other writers
// so that several processes can trace to one file. Gives up quietly.
void AppendTrace(const std::wstring& path, const std::string& bytes);

}  // namespace platform::win32
