// Real files on a posix system. Paths are used as given; a path names a file exactly
// as the operating system reads it.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <vector>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/cp932_cut.h"
#include "platform/posix/posix_services.h"

namespace platform {
namespace {

// Whether the name path still names the file open as fd: a name that another writer
// removed or took over since must not be acted on through it.
bool NameHoldsFile(int fd, const char* path)
{
    struct stat opened, named;
    return ::fstat(fd, &opened) == 0 && ::lstat(path, &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// A plain file with one link: nothing else shares its bytes under another name.
bool IsPlainFile(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
}

// Reads at most maxBytes from fd's position into data, in pieces: the limit may be far
// larger than the file (callers that want the whole file pass the largest size), so it
// is never allocated up front.
bool ReadUpTo(int fd, std::size_t maxBytes, std::string& data)
{
    data.clear();
    char buffer[16384];
    while (data.size() < maxBytes) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, maxBytes - data.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

// The folder of path, for flushing it after a rename; prepared before the rename, as
// the rename's callers may not fail by throwing after it.
std::string FolderToFlush(const std::string& path)
{
    const std::size_t cut = path.rfind('/');
    return cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
}

// Renames from to to, and makes the new name durable too: the folder is flushed after.
ReplaceResult RenameDurably(const char* from, const std::string& to, const std::string& folder)
{
    if (::rename(from, to.c_str()) != 0)
        return errno == EACCES || errno == EPERM ? ReplaceResult::kDenied : ReplaceResult::kRefused;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);   // the rename has happened; a folder that cannot be flushed does not undo it
        ::close(fd);
    }
    return ReplaceResult::kReplaced;
}

// Closes fd and keeps errno as the failure before it set it.
void CloseKeepingError(int fd)
{
    const int error = errno;
    ::close(fd);
    errno = error;
}

class FdWriteFile : public IWriteFile {
public:
    // The path is kept from the open, so that Remove allocates nothing.
    FdWriteFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    ~FdWriteFile() override { Close(); }
    void Adopt(int fd) { m_fd = fd; }

    bool Write(const void* data, std::size_t size) override
    {
        if (m_fd < 0) return false;
        const char* p = static_cast<const char*>(data);
        while (size > 0) {
            ssize_t n = ::write(m_fd, p, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            if (n == 0) return false;
            p += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    // Nothing is buffered here, but the written bytes must reach the disk before the
    // file is put in another's place.
    bool Flush() override
    {
        if (m_fd < 0) return false;
        while (::fsync(m_fd) != 0)
            if (errno != EINTR) return false;
        return true;
    }

    bool Close() override
    {
        if (m_fd < 0) return true;
        int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

    bool Remove() noexcept override
    {
        if (m_fd < 0 || m_moved) {
            Close();
            return false;
        }
        // Unlinked while still locked, and only while the name is still this file's.
        bool removed = false;
        if (NameHoldsFile(m_fd, m_path.c_str())) {
            removed = ::unlink(m_path.c_str()) == 0;
            if (!removed) (void)::ftruncate(m_fd, 0);
        }
        Close();
        return removed;
    }

    bool ReadBack(std::size_t maxBytes, std::string& data) override
    {
        data.clear();
        return m_fd >= 0 && ::lseek(m_fd, 0, SEEK_SET) == 0 && ReadUpTo(m_fd, maxBytes, data);
    }

    bool Truncate() override { return m_fd >= 0 && ::ftruncate(m_fd, 0) == 0 && ::lseek(m_fd, 0, SEEK_SET) == 0; }

    // The lock stays on the file through the rename: no other export can take or remove
    // it in between. The new name is made durable too: the folder is flushed after.
    ReplaceResult ReplaceTo(const std::string& to) override
    {
        if (m_fd < 0 || m_moved) return ReplaceResult::kRefused;
        if (!NameHoldsFile(m_fd, m_path.c_str())) {
            errno = ENOENT;
            return ReplaceResult::kRefused;
        }
        const ReplaceResult result = RenameDurably(m_path.c_str(), to, FolderToFlush(to));
        if (result == ReplaceResult::kReplaced) m_moved = true;
        return result;
    }

private:
    int m_fd;
    std::string m_path;
    bool m_moved = false;   // renamed to another name: the old name is no longer ours
};

enum class Opening { kCreateOrTruncate, kCreateNew, kExisting, kLeftover };

// Opens path and holds an exclusive lock on it for the life of the file, as an open
// without sharing does on Windows. Advisory only on posix; it keeps our own processes
// off a file another one is writing. Never through a symbolic link, and a file with
// another link is neither emptied nor taken as a leftover.
std::unique_ptr<IWriteFile> OpenForWriting(const std::string& path, Opening opening)
{
    // Everything that allocates comes before the open, so that a failure there leaves no
    // descriptor and no file behind.
    std::string kept(path);
    auto file = std::unique_ptr<FdWriteFile>(new FdWriteFile(-1, std::move(kept)));
    int flags = O_CLOEXEC;
    switch (opening) {
    case Opening::kCreateOrTruncate: flags |= O_RDWR | O_CREAT | O_NOFOLLOW; break;
    case Opening::kCreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
    case Opening::kExisting: flags |= O_WRONLY; break;
    case Opening::kLeftover: flags |= O_RDWR | O_NOFOLLOW; break;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) return nullptr;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // Even a file made this moment may have been taken by a writer reusing it.
            CloseKeepingError(fd);
            return nullptr;
        }
        // The holder before us may have deleted the name between our open and our lock
        // (a name is removed only under the file's lock): a lock on a file that no longer
        // has this name guards nothing, so the name is opened afresh.
        if (!NameHoldsFile(fd, path.c_str())) {
            ::close(fd);
            if (opening == Opening::kLeftover) {
                errno = ENOENT;
                return nullptr;
            }
            continue;
        }
        const bool mustBePlain = opening == Opening::kCreateOrTruncate || opening == Opening::kLeftover;
        if (mustBePlain && !IsPlainFile(fd)) {
            ::close(fd);
            errno = EMLINK;
            return nullptr;
        }
        // Emptied only once the lock is held, so a file another writer holds stays whole.
        if (opening == Opening::kCreateOrTruncate && ::ftruncate(fd, 0) != 0) {
            CloseKeepingError(fd);
            return nullptr;
        }
        file->Adopt(fd);
        return file;
    }
    return nullptr;
}

std::string Trim(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t' || text[b] == '\r')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r')) --e;
    return std::string(text.substr(b, e - b));
}

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

// Cuts to at most limit bytes on a character boundary.
std::string CutText(const std::string& text, std::size_t limit)
{
    return std::string(cp932::CutToBytes(text, limit));
}

class PosixFs : public IFileSystem {
public:
    bool GetCurrentDir(std::string& dir) override
    {
        char buffer[PATH_MAX];
        if (!::getcwd(buffer, sizeof buffer)) return false;
        dir = buffer;
        return true;
    }
    bool SetCurrentDir(const std::string& dir) override { return ::chdir(dir.c_str()) == 0; }
    std::string ModulePath() override
    {
        char buffer[PATH_MAX];
        ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n <= 0) return std::string();
        return std::string(buffer, static_cast<std::size_t>(n));
    }
    bool FileExists(const std::string& path) override { return ::access(path.c_str(), F_OK) == 0; }
    bool Access(const std::string& path, int mode) override
    {
        int m = F_OK;
        if (mode & 2) m |= W_OK;
        if (mode & 4) m |= R_OK;
        return ::access(path.c_str(), m) == 0;
    }
    unsigned GetDriveType(const std::string&) override { return DRIVE_TYPE_FIXED; }
    bool PathIsDirectory(const std::string& path) override
    {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    bool Stat(const std::string& path, bool* isDirectory) override
    {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) return false;
        if (isDirectory) *isDirectory = S_ISDIR(st.st_mode);
        return true;
    }
    bool CreateDirectory(const std::string& path) override { return ::mkdir(path.c_str(), 0777) == 0; }
    bool RemoveDirectory(const std::string& path) override { return ::rmdir(path.c_str()) == 0; }
    std::string GetTempPath() override
    {
        const char* dir = std::getenv("TMPDIR");
        std::string path = (dir && *dir) ? dir : "/tmp";
        if (path.back() != '/') path += '/';
        return path;
    }
    std::unique_ptr<IWriteFile> CreateExclusive(const std::string& path) override
    {
        return OpenForWriting(path, Opening::kCreateOrTruncate);
    }
    std::unique_ptr<IWriteFile> CreateNew(const std::string& path) override
    {
        return OpenForWriting(path, Opening::kCreateNew);
    }
    std::unique_ptr<IWriteFile> OpenLeftover(const std::string& path) override
    {
        return OpenForWriting(path, Opening::kLeftover);
    }
    std::unique_ptr<IWriteFile> HoldExclusive(const std::string& path) override
    {
        return OpenForWriting(path, Opening::kExisting);
    }
    // Names are bytes here: OUT.XML and out.xml are two files.
    bool SameFileName(const std::string& a, const std::string& b) override { return a == b; }
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix) override
    {
        std::vector<std::string> names;
        DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!dir) return names;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            struct stat st;
            if (::stat((folder + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            names.push_back(name);
        }
        ::closedir(dir);
        return names;
    }
    bool ReadFile(const std::string& path, std::size_t maxBytes, std::string& data) override
    {
        data.clear();
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool ok = ReadUpTo(fd, maxBytes, data);
        ::close(fd);
        return ok;
    }
    ReplaceResult ReplaceFile(const std::string& from, const std::string& to) override
    {
        return RenameDurably(from.c_str(), to, FolderToFlush(to));
    }
    std::string LastErrorText() override { return errno != 0 ? std::strerror(errno) : std::string(); }
    FileError LastError() override
    {
        switch (errno) {
        case 0: return FileError::kNone;
        case ENOENT:
        case ENOTDIR: return FileError::kNotFound;
        case EEXIST: return FileError::kExists;
        case EACCES:
        case EPERM:
        case EROFS: return FileError::kDenied;
        case EWOULDBLOCK: return FileError::kInUse;
        default: return FileError::kOther;
        }
    }
    // As on Windows, a file that another writer holds open is not deleted: the name is
    // removed only under the file's lock. Otherwise a writer that opened the file just
    // before the removal could lock it after, while a third one creates and locks a new
    // file under the same name, and both would think they hold it.
    bool DeleteFile(const std::string& path) override
    {
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) return errno != ELOOP && ::unlink(path.c_str()) == 0;   // unreadable: nothing of ours can hold it
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            CloseKeepingError(fd);
            return false;
        }
        // Only the file we locked, under the name it still has.
        const bool removed = NameHoldsFile(fd, path.c_str()) && ::unlink(path.c_str()) == 0;
        CloseKeepingError(fd);
        return removed;
    }

    // A small ini reader: "[section]" lines and "key=value" lines, names compared
    // without regard to ASCII case, blanks around names and values dropped.
    std::string GetProfileString(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& defaultValue, std::size_t size) override
    {
        std::string limitText = size ? CutText(defaultValue, size - 1) : std::string();
        std::string data;
        if (size == 0 || !ReadFile(file, 1 << 20, data)) return limitText;
        bool inSection = false;
        std::size_t pos = 0;
        while (pos < data.size()) {
            std::size_t end = data.find('\n', pos);
            if (end == std::string::npos) end = data.size();
            std::string line = Trim(std::string_view(data).substr(pos, end - pos));
            pos = end + 1;
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[') {
                std::size_t close = line.find(']');
                inSection = close != std::string::npos &&
                            EqualsIgnoringAsciiCase(Trim(std::string_view(line).substr(1, close - 1)), section);
                continue;
            }
            if (!inSection) continue;
            std::size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            if (!EqualsIgnoringAsciiCase(Trim(std::string_view(line).substr(0, eq)), key)) continue;
            return CutText(Trim(std::string_view(line).substr(eq + 1)), size - 1);
        }
        return limitText;
    }
};

}  // namespace

IFileSystem& PosixFileSystem()
{
    static PosixFs fs;
    return fs;
}

}  // namespace platform
