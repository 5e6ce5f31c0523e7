#include "platform/win32/file_system.h"

#include "platform/win32/win32_api.h"

#include <io.h>

#include <vector>

#include "platform/win32/file.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

class Win32WriteFile : public IWriteFile {
public:
    bool Open(const std::string& path, DWORD disposition)
    {
        // Shared with nobody: no other program reads a half-written report.
        return m_file.Create(path, GENERIC_WRITE, 0, disposition);
    }
    bool Write(const void* data, std::size_t size) override { return m_file.Write(data, size); }
    bool Flush() override { return m_file.Flush(); }
    bool Close() override { return m_file.Close(); }

private:
    File m_file;
};

std::unique_ptr<IWriteFile> OpenForWriting(const std::string& path, DWORD disposition)
{
    auto file = std::make_unique<Win32WriteFile>();
    if (!file->Open(path, disposition)) return nullptr;
    return file;
}

// Long enough for any path GetModuleFileNameW or GetCurrentDirectoryW can report.
constexpr DWORD kLongPath = 32768;

}  // namespace

bool Win32FileSystem::GetCurrentDir(std::string& dir)
{
    std::vector<wchar_t> buffer(kLongPath);
    const DWORD length = ::GetCurrentDirectoryW(kLongPath, buffer.data());
    if (length == 0 || length >= kLongPath) return false;
    dir = FromWide(std::wstring_view(buffer.data(), length));
    return true;
}

bool Win32FileSystem::SetCurrentDir(const std::string& dir)
{
    return ::SetCurrentDirectoryW(ToWide(dir).c_str()) != FALSE;
}

std::string Win32FileSystem::ModulePath()
{
    std::vector<wchar_t> buffer(kLongPath);
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), kLongPath);
    if (length == 0 || length >= kLongPath) return std::string();
    return FromWide(std::wstring_view(buffer.data(), length));
}

bool Win32FileSystem::FileExists(const std::string& path)
{
    return ::PathFileExistsW(ToWide(path).c_str()) != FALSE;
}

bool Win32FileSystem::Access(const std::string& path, int mode)
{
    return ::_waccess(ToWide(path).c_str(), mode) == 0;
}

unsigned Win32FileSystem::GetDriveType(const std::string& root)
{
    // An empty root asks about the current folder's drive, as a null root does.
    if (root.empty()) return ::GetDriveTypeW(nullptr);
    return ::GetDriveTypeW(ToWide(root).c_str());
}

bool Win32FileSystem::PathIsDirectory(const std::string& path)
{
    return ::PathIsDirectoryW(ToWide(path).c_str()) != FALSE;
}

bool Win32FileSystem::Stat(const std::string& path, bool* isDirectory)
{
    const DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (isDirectory) *isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

bool Win32FileSystem::CreateDirectory(const std::string& path)
{
    return ::CreateDirectoryW(ToWide(path).c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::RemoveDirectory(const std::string& path)
{
    return ::RemoveDirectoryW(ToWide(path).c_str()) != FALSE;
}

std::string Win32FileSystem::GetTempPath()
{
    // The answer is the length needed when the buffer is too small: ask again with that.
    std::vector<wchar_t> buffer(MAX_PATH + 2);
    DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0 || length >= buffer.size()) return std::string();
    return FromWide(std::wstring_view(buffer.data(), length));
}

std::unique_ptr<IWriteFile> Win32FileSystem::CreateExclusive(const std::string& path)
{
    return OpenForWriting(path, CREATE_ALWAYS);
}

std::unique_ptr<IWriteFile> Win32FileSystem::CreateNew(const std::string& path)
{
    return OpenForWriting(path, CREATE_NEW);
}

bool Win32FileSystem::ReadFile(const std::string& path, std::size_t maxBytes, std::string& data)
{
    data.clear();
    File file;
    if (!file.Create(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING)) return false;
    char buffer[16384];
    while (data.size() < maxBytes) {
        std::size_t got = 0;
        const std::size_t want = std::min(sizeof buffer, maxBytes - data.size());
        if (!file.Read(buffer, want, &got)) return false;
        if (got == 0) break;
        data.append(buffer, got);
    }
    return true;
}

bool Win32FileSystem::ReplaceFile(const std::string& from, const std::string& to)
{
    return ::MoveFileExW(ToWide(from).c_str(), ToWide(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32FileSystem::DeleteFile(const std::string& path)
{
    return ::DeleteFileW(ToWide(path).c_str()) != FALSE;
}

std::string Win32FileSystem::GetProfileString(const std::string& file, const std::string& section,
                                              const std::string& key, const std::string& defaultValue,
                                              std::size_t size)
{
    if (size == 0) return std::string();
    // The wide call counts UTF-16 units; the caller's size counts CP932 bytes, so read
    // generously and cut the CP932 text on a character boundary.
    std::vector<wchar_t> buffer(std::max<std::size_t>(size, 1024) + 1);
    const DWORD length = ::GetPrivateProfileStringW(
        ToWide(section).c_str(), ToWide(key).c_str(), ToWide(defaultValue).c_str(), buffer.data(),
        static_cast<DWORD>(buffer.size()), ToWide(file).c_str());
    return CutToBytes(FromWide(std::wstring_view(buffer.data(), length)), size - 1);
}

}  // namespace platform::win32
