#include "platform/win32/environment.h"

#include <vector>

#include "platform/win32/file.h"
#include "platform/win32/win32_api.h"

namespace platform::win32 {

std::wstring EnvironmentValue(const wchar_t* name)
{
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::wstring();
    std::vector<wchar_t> buffer(size);
    const DWORD length = ::GetEnvironmentVariableW(name, buffer.data(), size);
    if (length == 0 || length >= size) return std::wstring();
    return std::wstring(buffer.data(), length);
}

void AppendTrace(const std::wstring& path, const std::string& bytes)
{
    File file;
    if (file.Create(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS))
        file.Write(bytes.data(), bytes.size());
}

}  // namespace platform::win32
