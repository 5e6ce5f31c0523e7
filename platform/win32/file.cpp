#include "platform/win32/file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {
// WriteFile and ReadFile take 32-bit sizes.
constexpr std::size_t kMaxChunk = 1u << 30;
}

bool File::Create(const std::string& path, DWORD access, DWORD share, DWORD disposition)
{
    Close();
    return Create(ToWide(path), access, share, disposition);
}

bool File::Create(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    Close();
    m_handle = ::CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL | flags, nullptr);
    return IsOpen();
}

bool File::Rewind()
{
    LARGE_INTEGER start = {};
    return IsOpen() && ::SetFilePointerEx(m_handle, start, nullptr, FILE_BEGIN) != FALSE;
}

bool File::Truncate() { return Rewind() && ::SetEndOfFile(m_handle) != FALSE; }

bool File::IsPlainFile()
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!IsOpen() || !::GetFileInformationByHandle(m_handle, &info)) return false;
    return !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
           info.nNumberOfLinks == 1;
}

bool File::RenameTo(const std::wstring& path)
{
    // The structure ends in the name, of variable length.
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + (path.size() + 1) * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(path.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    return IsOpen() &&
           ::SetFileInformationByHandle(m_handle, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != FALSE;
}

bool File::DeleteOnClose()
{
    // FILE_DISPOSITION_INFO is this one flag (its member's name is taken by a macro).
    BOOLEAN deleteFile = TRUE;
    return IsOpen() && ::SetFileInformationByHandle(m_handle, FileDispositionInfo, &deleteFile, sizeof deleteFile) != FALSE;
}

bool File::TakeAttributesOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA theirs;
    FILE_BASIC_INFO basic;
    if (!IsOpen() || !::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &theirs) ||
        !::GetFileInformationByHandleEx(m_handle, FileBasicInfo, &basic, sizeof basic))
        return false;
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    basic.FileAttributes = (theirs.dwFileAttributes & kept) ? (theirs.dwFileAttributes & kept) : FILE_ATTRIBUTE_NORMAL;
    basic.CreationTime.LowPart = theirs.ftCreationTime.dwLowDateTime;
    basic.CreationTime.HighPart = static_cast<LONG>(theirs.ftCreationTime.dwHighDateTime);
    return ::SetFileInformationByHandle(m_handle, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

bool File::Write(const void* data, std::size_t size)
{
    if (!IsOpen()) return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxChunk));
        DWORD written = 0;
        if (!::WriteFile(m_handle, bytes, chunk, &written, nullptr)) return false;
        if (written != chunk) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool File::Read(void* data, std::size_t size, std::size_t* read)
{
    *read = 0;
    if (!IsOpen()) return false;
    DWORD got = 0;
    if (!::ReadFile(m_handle, data, static_cast<DWORD>(std::min(size, kMaxChunk)), &got, nullptr)) return false;
    *read = got;
    return true;
}

bool File::Close()
{
    if (!IsOpen()) return true;
    const bool closed = ::CloseHandle(m_handle) != FALSE;
    m_handle = INVALID_HANDLE_VALUE;
    return closed;
}

}  // namespace platform::win32
