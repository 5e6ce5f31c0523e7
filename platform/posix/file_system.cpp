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

class FdWriteFile : public IWriteFile {
public:
    // The path is kept from the open, so that Remove allocates nothing.
    FdWriteFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    ~FdWriteFile() override { Close(); }

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
        // Unlinked while still locked, so no other writer takes the name meanwhile.
        const bool removed = ::unlink(m_path.c_str()) == 0;
        if (!removed) {
            if (m_fd >= 0)
                (void)::ftruncate(m_fd, 0);
            else
                (void)::truncate(m_path.c_str(), 0);
        }
        Close();
        return removed;
    }

private:
    int m_fd;
    std::string m_path;
};

// Opens path for writing and holds an exclusive lock on it for the life of the file,
// as an open without sharing does on Windows. Advisory only on posix; it keeps our own
// processes off a file another one is writing.
std::unique_ptr<IWriteFile> OpenForWriting(const std::string& path, int flags)
{
    // Truncated only once the lock is held, so a file another writer holds stays whole.
    const bool truncate = (flags & O_TRUNC) != 0;
    flags &= ~O_TRUNC;
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0) return nullptr;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        // The holder before us may have deleted the name between our open and our lock
        // (DeleteFile removes a name only under the file's lock): a lock on a file that
        // no longer has this name guards nothing, so the name is opened afresh.
        struct stat opened, named;
        const bool same = ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
                          opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
        if (!same) {
            ::close(fd);
            if (flags & O_EXCL) return nullptr;
            continue;
        }
        if (truncate && ::ftruncate(fd, 0) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<FdWriteFile>(fd, path);
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
        return OpenForWriting(path, O_CREAT | O_TRUNC);
    }
    std::unique_ptr<IWriteFile> CreateNew(const std::string& path) override
    {
        return OpenForWriting(path, O_CREAT | O_EXCL);
    }
    std::unique_ptr<IWriteFile> HoldExclusive(const std::string& path) override
    {
        return OpenForWriting(path, 0);
    }
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix) override
    {
        std::vector<std::string> names;
        DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!dir) return names;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() < suffix.size() ||
                !EqualsIgnoringAsciiCase(name.substr(name.size() - suffix.size()), suffix))
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
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        // Read in pieces: the limit may be far larger than the file (callers that want
        // the whole file pass the largest size), so it is never allocated up front.
        char buffer[16384];
        bool ok = true;
        while (data.size() < maxBytes) {
            const std::size_t want = std::min(sizeof buffer, maxBytes - data.size());
            ssize_t n = ::read(fd, buffer, want);
            if (n < 0) {
                if (errno == EINTR) continue;
                ok = false;
                break;
            }
            if (n == 0) break;
            data.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        return ok;
    }
    // The new name is made durable too: the folder is flushed after the rename.
    ReplaceResult ReplaceFile(const std::string& from, const std::string& to) override
    {
        if (::rename(from.c_str(), to.c_str()) != 0)
            return errno == EACCES || errno == EPERM ? ReplaceResult::kDenied : ReplaceResult::kRefused;
        const std::size_t cut = to.rfind('/');
        const std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : to.substr(0, cut);
        int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);   // the rename has happened; a folder that cannot be flushed does not undo it
            ::close(fd);
        }
        return ReplaceResult::kReplaced;
    }
    std::string LastErrorText() override { return errno != 0 ? std::strerror(errno) : std::string(); }
    // As on Windows, a file that another writer holds open is not deleted: the name is
    // removed only under the file's lock. Otherwise a writer that opened the file just
    // before the removal could lock it after, while a third one creates and locks a new
    // file under the same name, and both would think they hold it.
    bool DeleteFile(const std::string& path) override
    {
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return ::unlink(path.c_str()) == 0;   // unreadable: nothing of ours can hold it
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        const bool removed = ::unlink(path.c_str()) == 0;
        ::close(fd);
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
