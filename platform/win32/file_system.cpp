#include "platform/win32/file_system.h"

#include "platform/win32/win32_api.h"

#include <io.h>

#include <vector>

#include "common/cp932_cut.h"
#include "platform/replace_retry.h"
#include "platform/win32/file.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

// Windows refuses a plain path of MAX_PATH characters or more (a folder to be created
// already at 248, room for an 8.3 name): a report's side file, named after the report,
// and a folder near the 260-byte limit would be refused by some calls and not others.
// Every call of this layer that takes a path therefore gets it through here: from 248
// characters on it is made full and put in the \\?\ (or \\?\UNC\) form, which has no
// such limit, so every operation agrees on which paths exist.
constexpr std::size_t kLongPathFrom = 248;

std::wstring FilePath(const std::string& path)
{
    std::wstring wide = ToWide(path);
    if (wide.size() < kLongPathFrom || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return wide;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return wide;
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool IsLongForm(const std::wstring& path) { return path.rfind(L"\\\\?\\", 0) == 0; }

enum class Opening { kCreateOrTruncate, kCreateNew, kExisting, kLeftover };

// Reads at most maxBytes from the file's position into data, in pieces, so that a limit
// far larger than the file is never allocated up front.
bool ReadUpTo(File& file, std::size_t maxBytes, std::string& data)
{
    data.clear();
    char buffer[16384];
    while (data.size() < maxBytes) {
        std::size_t got = 0;
        if (!file.Read(buffer, std::min(sizeof buffer, maxBytes - data.size()), &got)) return false;
        if (got == 0) break;
        data.append(buffer, got);
    }
    return true;
}

class Win32WriteFile : public IWriteFile {
public:
    bool Open(const std::string& path, Opening opening)
    {
        // The name is prepared now, so that giving the file up later allocates nothing.
        m_path = FilePath(path);
        // Shared with nobody: no other program or export reads, empties or deletes it
        // while it is open. The right to delete is asked for where it may be had: the
        // file is then renamed and deleted through this very handle. A folder that
        // withholds it still lets the file be written.
        const DWORD readWrite = GENERIC_READ | GENERIC_WRITE;
        if (opening == Opening::kExisting) return m_file.Create(m_path, GENERIC_WRITE, 0, OPEN_EXISTING);
        const DWORD disposition = opening == Opening::kCreateNew ? CREATE_NEW
                                  : opening == Opening::kLeftover ? OPEN_EXISTING
                                                                  : OPEN_ALWAYS;
        // Never through a link: the name itself is opened, and refused below.
        const DWORD flags = opening == Opening::kCreateNew ? 0 : FILE_FLAG_OPEN_REPARSE_POINT;
        m_canDelete = m_file.Create(m_path, readWrite | DELETE, 0, disposition, flags);
        if (!m_canDelete) {
            if (::GetLastError() != ERROR_ACCESS_DENIED || !m_file.Create(m_path, readWrite, 0, disposition, flags))
                return false;
        }
        if (opening != Opening::kCreateNew && !m_file.IsPlainFile()) {
            m_file.Close();
            ::SetLastError(ERROR_CANT_ACCESS_FILE);
            return false;
        }
        if (opening == Opening::kCreateOrTruncate && !m_file.Truncate()) {
            const DWORD error = ::GetLastError();
            m_file.Close();
            ::SetLastError(error);
            return false;
        }
        return true;
    }
    bool Write(const void* data, std::size_t size) override { return m_file.Write(data, size); }
    bool Flush() override { return m_file.Flush(); }
    bool Close() override { return m_file.Close(); }
    bool Remove() noexcept override
    {
        // Through the handle, never by name: the name may be another's by now.
        if (!m_moved && m_file.IsOpen()) {
            if (m_canDelete && m_file.DeleteOnClose()) {
                m_file.Close();
                return true;
            }
            // A folder that lets files be written but not deleted keeps it: empty, it is
            // reused by the next report to the same destination.
            m_file.Truncate();
        }
        m_file.Close();
        return false;
    }
    bool ReadBack(std::size_t maxBytes, std::string& data) override
    {
        data.clear();
        return m_file.Rewind() && ReadUpTo(m_file, maxBytes, data);
    }
    bool Truncate() override { return m_file.Truncate(); }
    ReplaceResult ReplaceTo(const std::string& to) override;

private:
    File m_file;
    std::wstring m_path;
    bool m_canDelete = false;   // opened with DELETE: can be renamed and deleted
    bool m_moved = false;       // renamed: the handle is the file under its new name
};

// One replacement by handle: the rename of the open file, which nobody else can open
// meanwhile. Tried again while a scanner or indexer holds the destination.
class RenameCalls : public IReplaceCalls {
public:
    RenameCalls(File& file, const std::wstring& to) : m_file(file), m_to(to) {}
    bool DestinationIsFile() override { return false; }
    unsigned long Replace() override { return Move(); }
    unsigned long Move() override
    {
        if (m_file.RenameTo(m_to)) return 0;
        const DWORD error = ::GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    void Wait(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }

private:
    File& m_file;
    const std::wstring& m_to;
};

ReplaceResult Win32WriteFile::ReplaceTo(const std::string& to)
{
    if (m_moved || !m_file.IsOpen()) return ReplaceResult::kRefused;
    if (!m_canDelete) {
        // Without the right to delete the file cannot be renamed: a folder that
        // withholds it takes the report in place.
        ::SetLastError(ERROR_ACCESS_DENIED);
        return ReplaceResult::kDenied;
    }
    const std::wstring wideTo = FilePath(to);
    // As ReplaceFileW does: the replaced file's attributes and creation time stay.
    m_file.TakeAttributesOf(wideTo);
    RenameCalls calls(m_file, wideTo);
    const ReplaceResult result = ReplaceWithRetries(calls);
    if (result == ReplaceResult::kReplaced) m_moved = true;
    return result;
}

// One replacement of a closed file by name (ReplaceFileW) on paths converted once,
// before the first call.
class Win32ReplaceCalls : public IReplaceCalls {
public:
    Win32ReplaceCalls(std::wstring from, std::wstring to) : m_from(std::move(from)), m_to(std::move(to)) {}
    bool DestinationIsFile() override
    {
        const DWORD attributes = ::GetFileAttributesW(m_to.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    unsigned long Replace() override
    {
        // The replaced file's attributes, security and creation time carry over to the
        // new one, so the user's file stays the user's file.
        if (::ReplaceFileW(m_to.c_str(), m_from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                           nullptr))
            return 0;
        return ErrorOrGeneric();
    }
    unsigned long Move() override
    {
        if (::MoveFileExW(m_from.c_str(), m_to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        return ErrorOrGeneric();
    }
    void Wait(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }

private:
    static unsigned long ErrorOrGeneric()
    {
        const DWORD error = ::GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    std::wstring m_from;
    std::wstring m_to;
};

std::unique_ptr<IWriteFile> OpenForWriting(const std::string& path, Opening opening)
{
    auto file = std::make_unique<Win32WriteFile>();
    if (!file->Open(path, opening)) return nullptr;
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
    // The shell's helper knows plain paths only.
    const std::wstring wide = FilePath(path);
    if (IsLongForm(wide)) return ::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
    return ::PathFileExistsW(wide.c_str()) != FALSE;
}

bool Win32FileSystem::Access(const std::string& path, int mode)
{
    const std::wstring wide = FilePath(path);
    if (!IsLongForm(wide)) return ::_waccess(wide.c_str(), mode) == 0;
    // What _waccess answers, from the attributes: everything is readable, and only
    // what is not read-only may be written.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return !((mode & 2) && (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY));
}

unsigned Win32FileSystem::GetDriveType(const std::string& root)
{
    // An empty root asks about the current folder's drive, as a null root does.
    if (root.empty()) return ::GetDriveTypeW(nullptr);
    return ::GetDriveTypeW(ToWide(root).c_str());
}

bool Win32FileSystem::PathIsDirectory(const std::string& path)
{
    const std::wstring wide = FilePath(path);
    if (IsLongForm(wide)) {
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    return ::PathIsDirectoryW(wide.c_str()) != FALSE;
}

bool Win32FileSystem::Stat(const std::string& path, bool* isDirectory)
{
    const DWORD attributes = ::GetFileAttributesW(FilePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (isDirectory) *isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

bool Win32FileSystem::CreateDirectory(const std::string& path)
{
    return ::CreateDirectoryW(FilePath(path).c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::RemoveDirectory(const std::string& path)
{
    return ::RemoveDirectoryW(FilePath(path).c_str()) != FALSE;
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
    return OpenForWriting(path, Opening::kCreateOrTruncate);
}

std::unique_ptr<IWriteFile> Win32FileSystem::CreateNew(const std::string& path)
{
    return OpenForWriting(path, Opening::kCreateNew);
}

std::unique_ptr<IWriteFile> Win32FileSystem::OpenLeftover(const std::string& path)
{
    return OpenForWriting(path, Opening::kLeftover);
}

std::unique_ptr<IWriteFile> Win32FileSystem::HoldExclusive(const std::string& path)
{
    // Any other handle on the file, whatever its sharing, makes this open fail, as it
    // makes a truncating open fail.
    return OpenForWriting(path, Opening::kExisting);
}

std::vector<std::string> Win32FileSystem::ListFiles(const std::string& folder, const std::string& suffix)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(FilePath(folder + "*" + suffix).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    const std::wstring wideSuffix = ToWide(suffix);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // The pattern also matches short (8.3) names; only the long name counts.
        const std::wstring name = found.cFileName;
        if (name.size() < wideSuffix.size() ||
            ::_wcsicmp(name.c_str() + name.size() - wideSuffix.size(), wideSuffix.c_str()) != 0)
            continue;
        names.push_back(FromWide(name));
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return names;
}

bool Win32FileSystem::ReadFile(const std::string& path, std::size_t maxBytes, std::string& data)
{
    data.clear();
    File file;
    return file.Create(FilePath(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING) &&
           ReadUpTo(file, maxBytes, data);
}

bool Win32FileSystem::SameFileName(const std::string& a, const std::string& b)
{
    // The file system's own comparison: without regard to case, full-width letters too.
    const std::wstring wideA = ToWide(a);
    const std::wstring wideB = ToWide(b);
    return ::CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

ReplaceResult Win32FileSystem::ReplaceFile(const std::string& from, const std::string& to)
{
    Win32ReplaceCalls calls(FilePath(from), FilePath(to));
    return ReplaceWithRetries(calls);
}

bool Win32FileSystem::DeleteFile(const std::string& path)
{
    return ::DeleteFileW(FilePath(path).c_str()) != FALSE;
}

FileError Win32FileSystem::LastError()
{
    switch (::GetLastError()) {
    case ERROR_SUCCESS: return FileError::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return FileError::kNotFound;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return FileError::kExists;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED: return FileError::kDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FileError::kInUse;
    default: return FileError::kOther;
    }
}

std::string Win32FileSystem::LastErrorText()
{
    const DWORD error = ::GetLastError();
    if (error == 0) return std::string();
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length && text ? std::wstring(text, length) : std::wstring();
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    return FromWide(message) + " (" + std::to_string(error) + ")";
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
    return std::string(cp932::CutToBytes(FromWide(std::wstring_view(buffer.data(), length)), size - 1));
}

}  // namespace platform::win32
