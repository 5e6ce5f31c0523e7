// The report's file object: created or truncated for exclusive writing, and every
// failed write, flush or close is reported to the caller and remembered.
//
// The report is written a line at a time, and a write call per line costs far more
// than composing the line. The lines are therefore gathered in a buffer of the size
// the file asks for (IWriteFile::WriteBufferSize, 64 KiB for a real file) and written
// when it is full and at Close. A failed write of the buffer fails the Write that
// caused it (or Close); the bytes still gathered then are dropped, so the file keeps
// exactly what reached it before the failure.
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
    // Appends the bytes; false when the file is not open, an earlier operation failed,
    // or a write of the gathered bytes failed (earlier bytes may have reached the file,
    // these have not).
    bool Write(const void* data, std::size_t size);
    // Writes what is gathered, flushes and closes; false when any of these failed or an
    // earlier operation did. Closing a file that is not open returns the remembered outcome.
    bool Close();

    bool IsOpen() const { return m_file != nullptr; }
    // True once any open, write, flush or close has failed.
    bool HasFailed() const { return m_failed; }

private:
    bool WriteGathered();

    std::unique_ptr<platform::IWriteFile> m_file;
    bool m_failed = false;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity = 0;   // 0: every piece goes to the file at once
    std::size_t m_used = 0;
};
