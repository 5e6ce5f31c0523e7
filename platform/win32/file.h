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
    // CreateFileW on a path that is already UTF-16 (one from the environment); flags
    // as CreateFileW takes them besides the attributes (FILE_FLAG_OPEN_REPARSE_POINT).
    bool Create(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0);
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    // False on a failed call and on a short write: nothing is dropped silently.
    bool Write(const void* data, std::size_t size);
    // Reads up to size bytes; *read tells how many arrived (0 at the end).
    bool Read(void* data, std::size_t size, std::size_t* read);
    bool Flush() { return ::FlushFileBuffers(m_handle) != FALSE; }
    bool Close();
    // SetFilePointerEx to the start.
    bool Rewind();
    // The end of the file at its start (SetEndOfFile).
    bool Truncate();
    // A plain file with one link: neither a reparse point (a symbolic link, a junction)
    // nor a folder, and nNumberOfLinks 1 (GetFileInformationByHandle).
    bool IsPlainFile();
    // SetFileInformationByHandle(FileRenameInfo), replacing what is there; the handle
    // needs DELETE access.
    bool RenameTo(const std::wstring& path);
    // SetFileInformationByHandle(FileDispositionInfo): deleted when the handle closes.
    bool DeleteOnClose();
    // The attributes and creation time of the file at path carried over (FileBasicInfo).
    bool TakeAttributesOf(const std::wstring& path);

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

}  // namespace platform::win32
