#include "report/report_file.h"

#include <cstring>

#include "common/cp932.h"
#include "common/path_split.h"
#include "platform/services.h"

const char ClReportFile::kSideSuffix[] = ".unfinished";

namespace {

// Side files are tried under this many numbers before the report gives up.
constexpr int kSideNumbers = 100;

// Length of the folder part of path, its last separator included: after the last
// single-byte "\" or "/" (never the trail byte of a character), or after "X:" of a
// drive-relative name; 0 for a bare name.
std::size_t FolderLength(const std::string& path)
{
    const std::size_t cut = path_split::FolderLength(path, path_split::Separators::kBoth);
    if (cut == 0 && path.size() >= 2 && path[1] == ':' && cp932::CharLengthAt(path, 0) == 1) return 2;
    return cut;
}

// "<name>.<digits>.unfinished" with a name that is not empty: only what a report
// writer makes, never another program's file that merely ends alike.
bool IsSideFileName(const std::string& name)
{
    const std::size_t suffix = std::strlen(ClReportFile::kSideSuffix);
    if (name.size() <= suffix) return false;
    std::size_t end = name.size() - suffix;
    std::size_t digits = end;
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
    return digits < end && digits >= 2 && name[digits - 1] == '.';
}

}  // namespace

ClReportFile::ClReportFile() = default;

ClReportFile::~ClReportFile() { Abandon(); }

bool ClReportFile::Open(const char* path)
{
    Abandon();
    m_failed = false;
    m_fs = platform::GetServices().fs;
    m_path = path ? path : "";
    const std::size_t folderLength = FolderLength(m_path);
    if (!m_fs || folderLength == m_path.size()) {
        m_failed = true;
        return false;
    }
    const std::string folder = m_path.substr(0, folderLength);
    RemoveLeftSideFiles(folder);

    // An existing destination is held from here to the replacement: a file another
    // program has open fails the report now, and none can open it meanwhile.
    bool isDirectory = false;
    if (m_fs->Stat(m_path, &isDirectory)) {
        if (!isDirectory) m_hold = m_fs->HoldExclusive(m_path);
        if (!m_hold) {
            m_failed = true;
            return false;
        }
    }

    // A number in use is another writer's side file (of this same destination, while
    // nothing was there to hold): it is passed over. Any other failure ends the report.
    for (int n = 1; n <= kSideNumbers && !m_file; ++n) {
        const std::string side = m_path + "." + std::to_string(n) + kSideSuffix;
        m_file = m_fs->CreateNew(side);
        if (m_file) {
            m_sidePath = side;
        } else if (!m_fs->FileExists(side)) {
            break;
        }
    }
    if (!m_file) {
        Abandon();
        return false;
    }

    // One buffer for the whole report, so no line allocates.
    const std::size_t capacity = m_file->WriteBufferSize();
    if (capacity != m_capacity) {
        m_buffer.reset(capacity ? new char[capacity] : nullptr);
        m_capacity = capacity;
    }
    m_used = 0;
    return true;
}

void ClReportFile::RemoveLeftSideFiles(const std::string& folder)
{
    // A side file that another running export still writes cannot be removed (it is
    // open, shared with nobody) and is left to it.
    for (const std::string& name : m_fs->ListFiles(folder, kSideSuffix))
        if (IsSideFileName(name)) m_fs->DeleteFile(folder + name);
}

bool ClReportFile::Write(const void* data, std::size_t size)
{
    // After a failure nothing more reaches the file.
    if (!m_file || m_failed) {
        m_failed = true;
        return false;
    }
    if (m_capacity == 0 || size >= m_capacity) {
        // Unbuffered, or a piece as large as the buffer: straight to the file.
        if (!WriteGathered()) return false;
        if (!m_file->Write(data, size)) {
            m_failed = true;
            return false;
        }
        return true;
    }
    if (size > m_capacity - m_used && !WriteGathered()) return false;
    std::memcpy(m_buffer.get() + m_used, data, size);
    m_used += size;
    return true;
}

bool ClReportFile::WriteGathered()
{
    if (m_used == 0) return true;
    const std::size_t used = m_used;
    m_used = 0;
    if (!m_file->Write(m_buffer.get(), used)) {
        m_failed = true;
        return false;
    }
    return true;
}

bool ClReportFile::Close()
{
    if (m_file) {
        // After a failure the gathered bytes are dropped and the file is only closed, so
        // the handle is never leaked. Otherwise the bytes must be on the disk before the
        // file takes the destination's place.
        const bool written = m_failed || WriteGathered();
        m_used = 0;
        const bool flushed = m_failed || m_file->Flush();
        const bool closed = m_file->Close();
        m_file.reset();
        if (!written || !flushed || !closed) m_failed = true;
    }
    // The destination is let go first: the replacement needs it free.
    if (m_hold) {
        m_hold->Close();
        m_hold.reset();
    }
    if (!m_sidePath.empty()) {
        // Taken first, so that a second Close (the writer's, say) never replaces again.
        const std::string side = std::move(m_sidePath);
        m_sidePath.clear();
        if (!m_failed && !m_fs->ReplaceFile(side, m_path)) m_failed = true;
        // A side file that cannot be removed now is removed by the next report
        // written into this folder.
        if (m_failed) m_fs->DeleteFile(side);
    }
    return !m_failed;
}

void ClReportFile::Abandon()
{
    if (m_file || m_hold || !m_sidePath.empty()) m_failed = true;
    Close();
}
