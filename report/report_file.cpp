#include "report/report_file.h"

#include <cstring>
#include <limits>

#include "common/cp932.h"
#include "common/path_split.h"
#include "platform/services.h"

const char ClReportFile::kSideSuffix[] = ".unfinished";
void (*ClReportFile::s_beforeReplace)() = nullptr;

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

// Why an operation on the destination or in its folder failed, in the user's terms; the
// system's own words where the kind says nothing more.
std::string Cause(platform::IFileSystem& fs, bool inFolder)
{
    switch (fs.LastError()) {
    case platform::FileError::kNotFound: return inFolder ? "the folder does not exist" : "it does not exist";
    case platform::FileError::kDenied:
        return inFolder ? "the folder may not be written to" : "the file or its folder may not be written to";
    case platform::FileError::kInUse: return "another program (or another export) has it open";
    default: return fs.LastErrorText();
    }
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
    m_hadDestination = false;
    m_written = 0;
    m_sidePath.clear();
    m_failureText.clear();
    m_fs = platform::GetServices().fs;
    m_path = path ? path : "";
    m_folderLength = FolderLength(m_path);
    if (!m_fs || m_folderLength == m_path.size()) {
        Fail(m_path, "names no file", std::string());
        return false;
    }
    if (platform::InterruptRequested()) {
        Fail(m_path, "interrupted", std::string());
        return false;
    }

    // An existing destination is held from here to the replacement: a file another
    // program has open fails the report now, and none can open it meanwhile.
    bool isDirectory = false;
    if (m_fs->Stat(m_path, &isDirectory)) {
        m_hadDestination = true;
        if (isDirectory) {
            Fail(m_path, "is a folder", std::string());
            return false;
        }
        m_hold = m_fs->HoldExclusive(m_path);
        if (!m_hold) {
            Fail(m_path, "cannot be written", Cause(*m_fs, false));
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

void ClReportFile::RemoveLeftSideFiles()
{
    // Only after this report is in place: a leftover may be the one copy of an earlier
    // report that a message named. One that another export still writes is open, shared
    // with nobody, and cannot be taken; links and files with other links are not taken.
    // The report is in place whatever happens here: a failure leaves the leftovers.
    try {
        platform::RemoveNumberedLeftovers(*m_fs, m_path.substr(0, m_folderLength), m_path.substr(m_folderLength),
                                          kSideSuffix);
    } catch (...) {
    }
}

bool ClReportFile::CreateSideFile()
{
    for (int n = 1; n <= kSideNumbers; ++n) {
        std::string side = m_path + "." + std::to_string(n) + kSideSuffix;
        m_file = m_fs->CreateNew(side);
        if (!m_file) {
            if (m_fs->LastError() != platform::FileError::kExists) {
                Fail(m_path, "cannot be written", Cause(*m_fs, true));
                return false;
            }
            // Taken: another export's side file (held, so passed over), a link (never
            // used), or a leftover. An empty leftover, which a folder without delete
            // rights kept, is reused; one with bytes may be a kept copy and waits until
            // a report is in place again.
            m_file = platform::OpenEmptyLeftover(*m_fs, side);
            if (m_file && !m_file->Truncate()) {
                m_file->Close();
                m_file.reset();
            }
            if (!m_file) continue;
        }
        m_sidePath = std::move(side);
        return true;
    }
    Fail(m_path, "cannot be written", "no free side file name (other exports hold them)");
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
            Fail(m_path, "cannot be written", Cause(*m_fs, true));
            Abandon();
            return false;
        }
        m_written += size;
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
    if (platform::InterruptRequested()) {
        Fail(m_path, "interrupted", std::string());
        Abandon();
        return false;
    }
    if (m_used == 0) return true;
    const std::size_t used = m_used;
    m_used = 0;
    if (!m_file->Write(m_buffer.get(), used)) {
        // Nothing more is written: the report is given up at once.
        Fail(m_path, "cannot be written", Cause(*m_fs, true));
        Abandon();
        return false;
    }
    m_written += used;
    return true;
}

bool ClReportFile::Commit()
{
    if (!IsOpen() || m_failed) {
        Abandon();
        return false;
    }
    // The bytes must be on the disk before the file takes the destination's place. The
    // side file stays open, and so ours, until it has.
    if (!WriteGathered()) return false;
    if (!m_file->Flush()) {
        Fail(m_path, "cannot be written", "the side file " + m_sidePath + " cannot be flushed to the disk: " +
                                              m_fs->LastErrorText());
        Abandon();
        return false;
    }
    if (s_beforeReplace) s_beforeReplace();
    if (platform::InterruptRequested()) {
        Fail(m_path, "interrupted", std::string());
        Abandon();
        return false;
    }
    // The destination is let go: the replacement needs it free.
    if (m_hold) {
        m_hold->Close();
        m_hold.reset();
    }
    switch (m_file->ReplaceTo(m_path)) {
    case platform::ReplaceResult::kReplaced:
        // The report is in place; what the close says no longer changes that.
        m_file->Close();
        m_file.reset();
        m_sidePath.clear();
        RemoveLeftSideFiles();
        return true;
    case platform::ReplaceResult::kOnlyAtSource:
        // The destination was removed and the report not moved into its place: from now
        // on the side file is the only copy.
        m_sideIsTheReport = true;
        m_hadDestination = false;
        return WriteInPlace();
    case platform::ReplaceResult::kDenied:
        return WriteInPlace();
    case platform::ReplaceResult::kRefused:
        break;
    }
    Fail(m_path, "cannot be replaced", Cause(*m_fs, false));
    Abandon();
    return false;
}

bool ClReportFile::WriteInPlace()
{
    std::string report;
    if (!m_file->ReadBack(std::numeric_limits<std::size_t>::max(), report) || report.size() != m_written) {
        Fail(m_path, "cannot be written", "the side file " + m_sidePath + " cannot be read back");
        Abandon();   // keeps it when it is the only copy
        return false;
    }
    // The destination as it was at Open: held again, or made new where there was none.
    // Another export that has taken it meanwhile is left to finish.
    std::unique_ptr<platform::IWriteFile> destination =
        m_hadDestination ? m_fs->HoldExclusive(m_path) : m_fs->CreateNew(m_path);
    if (!destination || (m_hadDestination && !destination->Truncate())) {
        Fail(m_path, "cannot be written in place",
             destination || m_fs->LastError() != platform::FileError::kExists ? Cause(*m_fs, false)
                                                                              : "another export has made it meanwhile");
        Abandon();
        return false;
    }
    // From here the destination is overwritten: until it is whole, the side file holds
    // the only whole copy of the report.
    m_sideIsTheReport = true;
    bool written = false;
    try {
        written = (report.empty() || destination->Write(report.data(), report.size())) && destination->Flush();
        if (!written) Fail(m_path, "cannot be written in place", Cause(*m_fs, false));
        const bool closed = destination->Close();
        if (written && !closed) Fail(m_path, "cannot be closed", m_fs->LastErrorText());
        written = written && closed;
    } catch (...) {
        written = false;
        m_failed = true;
    }
    if (!written) {
        m_file->Close();
        m_closed = true;
        return false;
    }
    m_sideIsTheReport = false;
    m_file->Remove();   // emptied, for the next report to reuse, where it cannot be deleted
    m_file.reset();
    m_sidePath.clear();
    RemoveLeftSideFiles();
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
