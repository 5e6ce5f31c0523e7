// Reading and rewriting the remembered-destination file.
//
// The file is shared by every user of the host on the machine, so the rewrite must
// never lose their lines:
//  - a writer first takes the file's lock: "<file>.lock" opened exclusively (no
//    sharing). The open handle is the lock, not the file's existence, so a lock left
//    behind by a crashed run is simply opened again. A writer that finds it held
//    waits its full time, trying again, and then gives up without touching anything;
//  - under the lock it reads the current file again, so a record another exporter
//    stored since this dialog opened is carried over;
//  - the new content goes to a fresh temporary file "<file>.<n>.tmp" in the same
//    folder, written and flushed, and only then, still open, replaces the old file in
//    one move. A failure at any step leaves the old file as it was. A folder that
//    allows no renaming or deleting gets the content written over the file in place;
//    until that is done the temporary file is the only whole copy of every user's
//    records and is kept, whatever fails or kills the writer. The next rewrite starts
//    from such a kept copy (a temporary file that the file under its own name is a
//    cut beginning of), and only once the records are whole under the file's name
//    again are the leftovers removed (emptied, where the folder keeps them).
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

#include "common/path_split.h"
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
            // A folder that is missing or may not be written will not pass by waiting.
            // Anything else may be the holder, also one that let go just now: the
            // next try takes the lock then, and the wait runs its full time.
            const platform::FileError error = m_fs.LastError();
            if (attempt >= wait.attempts || error == platform::FileError::kDenied ||
                error == platform::FileError::kNotFound)
                return false;
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

const char kTempSuffix[] = ".tmp";

std::string FolderOf(const std::string& path, std::string* name)
{
    const std::size_t cut = path_split::FolderLength(path, path_split::Separators::kBoth);
    *name = path.substr(cut);
    return path.substr(0, cut);
}

// A temporary file that holds every record while the file under its own name is cut
// (a write in place that failed or was killed) or gone: its content ends a record,
// and what the file holds now is a shorter beginning of it. One cut while it was
// written itself is not taken: the file is whole then, and no beginning of it.
bool FindKeptCopy(platform::IFileSystem& fs, const std::string& target, const std::string& now, std::string& kept)
{
    std::string name;
    const std::string folder = FolderOf(target, &name);
    for (const std::string& file : fs.ListFiles(folder, kTempSuffix)) {
        if (!platform::IsNumberedSideFile(fs, file, name, kTempSuffix)) continue;
        std::string bytes;
        if (!ReadWhole(fs, folder + file, bytes)) continue;
        if (bytes.size() > now.size() && bytes.back() == '\n' && bytes.compare(0, now.size(), now) == 0) {
            kept = std::move(bytes);
            return true;
        }
    }
    return false;
}

// Once the records are whole under the file's name: every temporary file of it goes
// (emptied where the folder keeps it). Under the lock nobody else writes one.
void RemoveLeftovers(platform::IFileSystem& fs, const std::string& target)
{
    std::string name;
    const std::string folder = FolderOf(target, &name);
    platform::RemoveNumberedLeftovers(fs, folder, name, kTempSuffix);
}

bool WriteAll(platform::IWriteFile& file, const std::string& content)
{
    return (content.empty() || file.Write(content.data(), content.size())) && file.Flush();
}

// A new temporary file beside target, or an empty one an earlier run left (a folder
// without delete rights keeps them); one with bytes may be a kept copy and is passed.
std::unique_ptr<platform::IWriteFile> CreateTemp(platform::IFileSystem& fs, const std::string& target)
{
    for (int n = 1; n <= 100; ++n) {
        const std::string temp = target + "." + std::to_string(n) + kTempSuffix;
        std::unique_ptr<platform::IWriteFile> file = fs.CreateNew(temp);
        if (file) return file;
        if (fs.LastError() != platform::FileError::kExists) return nullptr;
        if ((file = platform::OpenEmptyLeftover(fs, temp))) return file;
    }
    return nullptr;
}

// Writes content to a new file beside target and moves it, still open, over target.
// Called under the file's lock.
bool ReplaceWhole(platform::IFileSystem& fs, const std::string& target, const std::string& content)
{
    std::unique_ptr<platform::IWriteFile> file = CreateTemp(fs, target);
    if (!file) return false;
    if (!WriteAll(*file, content)) {
        file->Remove();
        return false;
    }
    const platform::ReplaceResult result = file->ReplaceTo(target);
    if (result == platform::ReplaceResult::kReplaced) {
        file->Close();
        RemoveLeftovers(fs, target);
        return true;
    }
    if (result == platform::ReplaceResult::kRefused) {
        file->Remove();
        return false;
    }
    // Written over target in place: in a folder that allows no renaming, or where the
    // file was removed without the new one taking its place. Until the records are
    // whole there, the temporary file is their only whole copy: it is kept.
    std::unique_ptr<platform::IWriteFile> inPlace = fs.CreateExclusive(target);
    if (!inPlace) {
        if (result == platform::ReplaceResult::kDenied) file->Remove();   // target as it was
        else file->Close();
        return false;
    }
    const bool written = WriteAll(*inPlace, content);
    if (!inPlace->Close() || !written) {
        file->Close();
        return false;
    }
    file->Remove();
    RemoveLeftovers(fs, target);
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
    // A kept copy holds more than a cut or missing file: the rewrite starts from it.
    std::string kept;
    if (FindKeptCopy(*fs, file, content, kept)) content = std::move(kept);
    std::string updated = WithoutRecord(content, key);
    // A last line without its line feed would swallow the new record's line start.
    if (!updated.empty() && updated.back() != '\n') updated += '\n';
    updated += record;
    return ReplaceWhole(*fs, file, updated) ? 1 : 0;
}
