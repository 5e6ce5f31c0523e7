#include "platform/win32/file.h"

#include <algorithm>

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

bool File::Create(const std::wstring& path, DWORD access, DWORD share, DWORD disposition)
{
    Close();
    m_handle = ::CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return IsOpen();
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
