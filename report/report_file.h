// The report's file object: created or truncated for exclusive writing, and every
// failed write, flush or close is reported to the caller and remembered.
#pragma once

#include <cstddef>
#include <memory>

namespace platform {
class IWriteFile;
}

class ClReportFile {
public:
    ClReportFile();
    ~ClReportFile();
    ClReportFile(const ClReportFile&) = delete;
    ClReportFile& operator=(const ClReportFile&) = delete;

    // Creates or truncates path for writing, shared with nobody. A file that cannot
    // be created is remembered as failed: Open returns false and every write fails.
    bool Open(const char* path);
    // One write call; false when the file is not open or the bytes did not all go.
    bool Write(const void* data, std::size_t size);
    // Flushes and closes; false when either failed or an earlier operation did.
    // Closing a file that is not open returns the remembered outcome.
    bool Close();

    bool IsOpen() const { return m_file != nullptr; }
    // True once any open, write, flush or close has failed.
    bool HasFailed() const { return m_failed; }

private:
    std::unique_ptr<platform::IWriteFile> m_file;
    bool m_failed = false;
};
