// Reading and rewriting the remembered-destination file.
//
// The file is shared by every user of the host on the machine, so the rewrite must
// never lose their lines:
//  - a writer first takes the file's lock: "<file>.lock" opened exclusively (no
//    sharing). The open handle is the lock, not the file's existence, so a lock left
//    behind by a crashed run is simply opened again. A writer that finds it held
//    retries briefly and then gives up without touching anything;
//  - under the lock it reads the current file again, so a record another exporter
//    stored since this dialog opened is carried over;
//  - the new content goes to a fresh temporary file in the same folder, written,
//    flushed and closed, and only then replaces the old file in one move. A failure
//    at any step leaves the old file as it was.
// A record is found only where its key starts a line, so a user id ending in another
// user's id never picks up the other's record. Keys, lines and files have no size
// limit of their own; a value without "/" or with a path over 260 bytes is no record.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <thread>

#include "dialog/condition_dlg.h"
#include "dialog/path_functions.h"
#include "dialog/remembered_destination.h"
#include "host/host_paths.h"
#include "platform/services.h"

namespace {

// Longest suffix of the side files: ".100.tmp" (and ".lock").
constexpr std::size_t kSideFileSuffixBytes = 8;

std::string SettingsFolder()
{
    const char* folder = ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_SETTINGS);
    return folder ? std::string(folder) : std::string();
}

std::string RecordKey(const char* userId, int32_t first, int32_t second)
{
    std::string key(userId, strnlen(userId, 64));
    key += '/' + std::to_string(first) + '/' + std::to_string(second) + ':';
    return key;
}

// Offset of the first line that starts with key; npos when there is none.
std::size_t FindRecord(const std::string& content, const std::string& key)
{
    std::size_t lineStart = 0;
    while (lineStart < content.size()) {
        if (content.compare(lineStart, key.size(), key) == 0) return lineStart;
        std::size_t lineEnd = content.find('\n', lineStart);
        if (lineEnd == std::string::npos) break;
        lineStart = lineEnd + 1;
    }
    return std::string::npos;
}

// The content without every line that starts with key, so a file with doubled
// records cannot keep serving a stale one after the rewrite.
std::string WithoutRecord(const std::string& content, const std::string& key)
{
    std::string out;
    out.reserve(content.size());
    std::size_t lineStart = 0;
    while (lineStart < content.size()) {
        std::size_t lineEnd = content.find('\n', lineStart);
        std::size_t next = lineEnd == std::string::npos ? content.size() : lineEnd + 1;
        if (content.compare(lineStart, key.size(), key) != 0) out.append(content, lineStart, next - lineStart);
        lineStart = next;
    }
    return out;
}

bool ReadWhole(platform::IFileSystem& fs, const std::string& path, std::string& content)
{
    try {
        return fs.ReadFile(path, std::numeric_limits<std::size_t>::max(), content);
    } catch (const std::bad_alloc&) {
        content.clear();
        return false;
    }
}

// Holds the file's lock for the life of the object.
class FileLock {
public:
    FileLock(platform::IFileSystem& fs, std::string path) : m_fs(fs), m_path(std::move(path)) {}
    ~FileLock() { Release(); }

    bool Acquire()
    {
        RememberedLockWait& wait = RememberedDestinationLockWait();
        for (int attempt = 1;; ++attempt) {
            m_handle = m_fs.CreateExclusive(m_path);
            if (m_handle) return true;
            // Only a lock file that is there can be held by another writer; any other
            // failure (a read-only folder) will not pass by waiting.
            if (attempt >= wait.attempts || !m_fs.FileExists(m_path)) return false;
            if (wait.onPause) wait.onPause(attempt);
            if (wait.pauseMilliseconds > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(wait.pauseMilliseconds));
        }
    }

    void Release()
    {
        if (!m_handle) return;
        m_handle->Close();
        m_handle.reset();
        // Another writer may hold it already; then it stays, which does no harm.
        m_fs.DeleteFile(m_path);
    }

private:
    platform::IFileSystem& m_fs;
    std::string m_path;
    std::unique_ptr<platform::IWriteFile> m_handle;
};

// Writes content to a new file beside target and moves it over target.
bool ReplaceWhole(platform::IFileSystem& fs, const std::string& target, const std::string& content)
{
    std::string temp;
    std::unique_ptr<platform::IWriteFile> file;
    for (int n = 1; n <= 100 && !file; ++n) {
        temp = target + "." + std::to_string(n) + ".tmp";
        // A name left behind by an earlier failure is passed over; any other failure
        // to create ends the attempt.
        if (fs.FileExists(temp)) continue;
        file = fs.CreateNew(temp);
        if (!file) return false;
    }
    if (!file) return false;
    bool written = (content.empty() || file->Write(content.data(), content.size())) && file->Flush();
    bool closed = file->Close();
    file.reset();
    if (!written || !closed || !fs.ReplaceFile(temp, target)) {
        fs.DeleteFile(temp);
        return false;
    }
    return true;
}

}  // namespace

RememberedLockWait& RememberedDestinationLockWait()
{
    static RememberedLockWait wait;
    return wait;
}

namespace {

std::string RememberedDestinationFileIn(const std::string& folder, const std::string& fileName)
{
    if (folder.empty() || fileName.empty()) return std::string();
    std::string path = folder + fileName;
    return path.size() > kMaxPathBytes ? std::string() : path;
}

}  // namespace

std::string RememberedDestinationFile(const std::string& fileName)
{
    return RememberedDestinationFileIn(SettingsFolder(), fileName);
}

int ClConditionDlg::ReadRememberedDestination(int16_t* category, char* path)
{
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (!fs || !category || !path) return 0;
    const std::string file = RememberedDestinationFile(m_strSettingsFile);
    const std::string key = RecordKey(m_szUserId, m_lSelectedNo1, m_lSelectedNo2);
    if (key.find('\n') != std::string::npos) return 0;
    bool isDirectory = false;
    if (file.empty() || !fs->Stat(file, &isDirectory) || isDirectory) return 0;
    std::string content;
    if (!ReadWhole(*fs, file, content)) return 0;

    std::size_t record = FindRecord(content, key);
    if (record == std::string::npos) return 0;
    std::size_t valueStart = record + key.size();
    std::size_t valueEnd = content.find('\n', valueStart);
    if (valueEnd == std::string::npos) valueEnd = content.size();
    const std::string value = content.substr(valueStart, valueEnd - valueStart);

    std::size_t lastSlash = value.rfind('/');
    if (lastSlash == std::string::npos) return 0;
    const std::string storedPath = value.substr(lastSlash + 1);
    if (storedPath.size() > kMaxPathBytes) return 0;
    // The category is the number that starts at the digit just before the last "/".
    int number = lastSlash > 0 ? std::atoi(value.c_str() + lastSlash - 1) : 0;

    *category = static_cast<int16_t>(number);
    std::memset(path, 0, kPathBufferSize);
    std::memcpy(path, storedPath.data(), storedPath.size());
    return 1;
}

int ClConditionDlg::WriteRememberedDestination(int16_t value1, int16_t value2, int16_t category, const char* path)
{
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (!fs) return 0;
    const std::string key = RecordKey(m_szUserId, m_lSelectedNo1, m_lSelectedNo2);
    // A user id holding a line feed would split its record over two lines.
    if (key.find('\n') != std::string::npos) return 0;
    const std::string folder = SettingsFolder();
    if (folder.empty()) return 0;
    if (!IsExistingFolder(folder) && !CreateFolderChain(folder)) return 0;
    // The folder is asked of the host once; the file is named within it.
    const std::string file = RememberedDestinationFileIn(folder, m_strSettingsFile);
    // The lock and the temporary file are named after the file: they must fit too.
    if (file.empty() || file.size() + kSideFileSuffixBytes > kMaxPathBytes) return 0;

    std::string destination = path ? std::string(path) : std::string(m_szRememberedPath, strnlen(m_szRememberedPath, kMaxPathBytes));
    // A path that could not be read back (too long, or breaking the line) is not stored.
    if (destination.size() > kMaxPathBytes || destination.find('\n') != std::string::npos) return 0;
    const std::string record = key + std::to_string(value1) + '/' + std::to_string(value2) + '/' +
                               std::to_string(category) + '/' + destination + '\n';

    FileLock lock(*fs, file + ".lock");
    if (!lock.Acquire()) return 0;

    // Read first and ask about existence only when the read fails: a failed status
    // query must never pass for a missing file, or the other records would be lost.
    std::string content;
    if (!ReadWhole(*fs, file, content)) {
        if (fs->FileExists(file) || fs->Stat(file, nullptr)) return 0;
        content.clear();
    }
    std::string updated = WithoutRecord(content, key);
    // A last line without its line feed would swallow the new record's line start.
    if (!updated.empty() && updated.back() != '\n') updated += '\n';
    updated += record;
    return ReplaceWhole(*fs, file, updated) ? 1 : 0;
}
