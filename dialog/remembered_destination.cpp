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
//    at any step leaves the old file as it was. A folder that allows no renaming or
//    deleting gets the content written over the file in place, and keeps an empty
//    temporary file that the next rewrite reuses. When Windows removed the old file
//    without moving the new one into its place, the temporary file is the only copy
//    of every user's records until they are written back under the file's name.
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
    // Another writer may hold the lock file already; then it stays, which does no harm.
    // Removed by the name prepared at its open: a destructor allocates nothing.
    ~FileLock()
    {
        if (m_handle) m_handle->Remove();
    }

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

private:
    platform::IFileSystem& m_fs;
    std::string m_path;
    std::unique_ptr<platform::IWriteFile> m_handle;
};

bool WriteAll(platform::IWriteFile& file, const std::string& content)
{
    const bool written = (content.empty() || file.Write(content.data(), content.size())) && file.Flush();
    return file.Close() && written;
}

// Writes content over target itself: for a folder that allows writing but neither
// renaming nor deleting, and for a target that Windows removed without putting the new
// file in its place.
bool WriteInPlace(platform::IFileSystem& fs, const std::string& target, const std::string& content)
{
    std::unique_ptr<platform::IWriteFile> file = fs.CreateExclusive(target);
    return file && WriteAll(*file, content);
}

// Writes content to a new file beside target and moves it over target. Called under
// the file's lock, so a temporary file that is there was left by an earlier run.
bool ReplaceWhole(platform::IFileSystem& fs, const std::string& target, const std::string& content)
{
    std::unique_ptr<platform::IWriteFile> file;
    std::string temp;
    for (int n = 1; n <= 100 && !file; ++n) {
        temp = target + "." + std::to_string(n) + ".tmp";
        file = fs.CreateNew(temp);
        // One left behind (emptied where the folder would not let it be deleted) is
        // reused; any other failure to create ends the attempt.
        if (!file && fs.FileExists(temp)) file = fs.CreateExclusive(temp);
        if (!file) return false;
    }
    if (!file) return false;
    if (!WriteAll(*file, content)) {
        file->Remove();
        return false;
    }
    bool stored = false;
    switch (fs.ReplaceFile(temp, target)) {
    case platform::ReplaceResult::kReplaced:
        return true;
    case platform::ReplaceResult::kOnlyAtSource:
        // Every user's records are now in the temporary file only: it is deleted only
        // once they are back under the file's own name.
        if (!WriteInPlace(fs, target, content)) return false;
        stored = true;
        break;
    case platform::ReplaceResult::kDenied:
        stored = WriteInPlace(fs, target, content);
        break;
    case platform::ReplaceResult::kRefused:
        break;
    }
    file->Remove();
    return stored;
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
