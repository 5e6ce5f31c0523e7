#include "report/report_file.h"

#include <cstring>
#include <limits>

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

// "<name>.<digits>.unfinished" of this destination's name, compared as the file system
// compares names: only what a report writer made for this same file, never another
// program's file or another destination's side file that merely ends alike.
bool IsSideFileOf(platform::IFileSystem& fs, const std::string& file, const std::string& name)
{
    const std::size_t suffix = std::strlen(ClReportFile::kSideSuffix);
    if (file.size() < name.size() + 2 + suffix || file[name.size()] != '.') return false;
    const std::size_t end = file.size() - suffix;
    for (std::size_t i = name.size() + 1; i < end; ++i)
        if (file[i] < '0' || file[i] > '9') return false;
    return fs.SameFileName(file.substr(0, name.size()), name) &&
           fs.SameFileName(file.substr(end), ClReportFile::kSideSuffix);
}

}  // namespace

ClReportFile::ClReportFile() = default;

ClReportFile::~ClReportFile() { Abandon(); }

const std::string& ClReportFile::KeptPath() const
{
    static const std::string none;
    return m_sideIsTheReport ? m_sidePath : none;
}

void ClReportFile::Fail(const std::string& path, const char* what)
{
    Fail(path, what, m_fs ? m_fs->LastErrorText() : std::string());
}

void ClReportFile::Fail(const std::string& path, const char* what, const std::string& reason)
{
    m_failed = true;
    if (!m_failureText.empty()) return;
    m_failureText = path + ": " + what;
    if (!reason.empty()) m_failureText += ": " + reason;
}

bool ClReportFile::Open(const char* path)
{
    Abandon();
    m_failed = false;
    m_closed = false;
    m_sideIsTheReport = false;
    m_sidePath.clear();
    m_failureText.clear();
    m_fs = platform::GetServices().fs;
    m_path = path ? path : "";
    const std::size_t folderLength = FolderLength(m_path);
    if (!m_fs || folderLength == m_path.size()) {
        Fail(m_path, "names no file", std::string());
        return false;
    }
    RemoveLeftSideFiles(m_path.substr(0, folderLength), m_path.substr(folderLength));

    // An existing destination is held from here to the replacement: a file another
    // program has open fails the report now, and none can open it meanwhile.
    bool isDirectory = false;
    if (m_fs->Stat(m_path, &isDirectory)) {
        if (!isDirectory) m_hold = m_fs->HoldExclusive(m_path);
        if (!m_hold) {
            Fail(m_path, isDirectory ? "is a folder" : "cannot be opened for writing (another program may have it open)");
            return false;
        }
    }
    if (!CreateSideFile()) {
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

void ClReportFile::RemoveLeftSideFiles(const std::string& folder, const std::string& name)
{
    // A side file that another running export still writes cannot be removed (it is
    // open, shared with nobody) and is left to it.
    for (const std::string& file : m_fs->ListFiles(folder, kSideSuffix))
        if (IsSideFileOf(*m_fs, file, name)) m_fs->DeleteFile(folder + file);
}

bool ClReportFile::CreateSideFile()
{
    for (int n = 1; n <= kSideNumbers; ++n) {
        std::string side = m_path + "." + std::to_string(n) + kSideSuffix;
        m_file = m_fs->CreateNew(side);
        if (!m_file) {
            const std::string reason = m_fs->LastErrorText();
            if (!m_fs->FileExists(side)) {
                Fail(side, "cannot be created", reason);
                return false;
            }
            // Still there after the clean-up: another export's side file, held open, is
            // passed over; a leftover the folder would not let go is reused.
            m_file = m_fs->CreateExclusive(side);
            if (!m_file) continue;
        }
        m_sidePath = std::move(side);
        return true;
    }
    Fail(m_path, "has no free side file name", std::string());
    return false;
}

bool ClReportFile::Write(const void* data, std::size_t size)
{
    // After a failure nothing more reaches the file.
    if (!IsOpen() || m_failed) {
        m_failed = true;
        return false;
    }
    if (m_capacity == 0 || size >= m_capacity) {
        // Unbuffered, or a piece as large as the buffer: straight to the file.
        if (!WriteGathered()) return false;
        if (!m_file->Write(data, size)) {
            Fail(m_sidePath, "cannot be written");
            Abandon();
            return false;
        }
        return true;
    }
    if (size > m_capacity - m_used && !WriteGathered()) return false;
    std::memcpy(m_buffer.get() + m_used, data, size);
    m_used += size;
    return true;
}

char* ClReportFile::LineSpaceAfterWrite(std::size_t maxBytes)
{
    if (!IsOpen() || m_failed || maxBytes > m_capacity) return nullptr;
    if (maxBytes > m_capacity - m_used && !WriteGathered()) return nullptr;
    return m_buffer.get() + m_used;
}

bool ClReportFile::WriteGathered()
{
    if (m_used == 0) return true;
    const std::size_t used = m_used;
    m_used = 0;
    if (!m_file->Write(m_buffer.get(), used)) {
        // Nothing more is written: the report is given up at once.
        Fail(m_sidePath, "cannot be written");
        Abandon();
        return false;
    }
    return true;
}

bool ClReportFile::Commit()
{
    if (!IsOpen() || m_failed) {
        Abandon();
        return false;
    }
    // The bytes must be on the disk before the file takes the destination's place.
    if (!WriteGathered()) return false;
    bool done = true;
    if (!m_file->Flush()) {
        Fail(m_sidePath, "cannot be flushed to the disk");
        done = false;
    }
    const bool closed = m_file->Close();
    m_closed = true;
    if (done && !closed) {
        Fail(m_sidePath, "cannot be closed");
        done = false;
    }
    if (!done) {
        Abandon();
        return false;
    }
    // The destination is let go: the replacement needs it free.
    if (m_hold) {
        m_hold->Close();
        m_hold.reset();
    }
    switch (m_fs->ReplaceFile(m_sidePath, m_path)) {
    case platform::ReplaceResult::kReplaced:
        m_file.reset();
        m_sidePath.clear();
        return true;
    case platform::ReplaceResult::kOnlyAtSource:
        // Windows removed the destination and could not move the report into its place:
        // the side file is the only copy, and stays for the user to take.
        m_sideIsTheReport = true;
        Fail(m_path, "could not take the report's place");
        m_file.reset();
        return false;
    case platform::ReplaceResult::kDenied:
        return WriteInPlace();
    case platform::ReplaceResult::kRefused:
        break;
    }
    Fail(m_path, "cannot be replaced");
    Abandon();
    return false;
}

bool ClReportFile::WriteInPlace()
{
    std::string report;
    if (!m_fs->ReadFile(m_sidePath, std::numeric_limits<std::size_t>::max(), report)) {
        Fail(m_sidePath, "cannot be read back");
        Abandon();
        return false;
    }
    std::unique_ptr<platform::IWriteFile> destination = m_fs->CreateExclusive(m_path);
    if (!destination) {
        Fail(m_path, "cannot be written in place");
        Abandon();
        return false;
    }
    // From here the destination is overwritten: until it is whole, the side file holds
    // the only whole copy of the report.
    m_sideIsTheReport = true;
    bool written = false;
    try {
        written = (report.empty() || destination->Write(report.data(), report.size())) && destination->Flush();
        if (!written) Fail(m_path, "cannot be written in place");
        const bool closed = destination->Close();
        if (written && !closed) Fail(m_path, "cannot be closed");
        written = written && closed;
    } catch (...) {
        written = false;
        m_failed = true;
    }
    if (!written) {
        m_file.reset();
        return false;
    }
    m_sideIsTheReport = false;
    m_file->Remove();   // emptied, for the next report to reuse, where it cannot be deleted
    m_file.reset();
    m_sidePath.clear();
    return true;
}

void ClReportFile::Abandon() noexcept
{
    const bool open = m_file || m_hold;
    if (m_file) {
        if (!m_sideIsTheReport) {
            m_file->Remove();
        } else if (!m_closed) {
            try {
                m_file->Close();
            } catch (...) {
            }
        }
        m_file.reset();
    }
    m_closed = false;
    if (m_hold) {
        try {
            m_hold->Close();
        } catch (...) {
        }
        m_hold.reset();
    }
    m_used = 0;
    if (open) m_failed = true;
}
