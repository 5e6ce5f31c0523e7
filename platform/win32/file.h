// A file handle from CreateFileW; each method is one Win32 file call.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstddef>
#include <string>

namespace platform::win32 {

class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() { Close(); }

    // CreateFileW on a CP932 path.
    bool Create(const std::string& path, DWORD access, DWORD share, DWORD disposition);
    // CreateFileW on a path that is already UTF-16 (one from the environment).
    bool Create(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    // False on a failed call and on a short write: nothing is dropped silently.
    bool Write(const void* data, std::size_t size);
    // Reads up to size bytes; *read tells how many arrived (0 at the end).
    bool Read(void* data, std::size_t size, std::size_t* read);
    bool Flush() { return ::FlushFileBuffers(m_handle) != FALSE; }
    bool Close();

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

}  // namespace platform::win32
