// The report's file object. The report never appears at its destination half written:
// it is written whole to a side file in the destination's folder, flushed to the disk,
// and only then put in the destination's place in one step. Whatever fails on the way,
// and whenever the process dies, the destination holds either the previous report (or
// nothing, where there was none) or the new one, whole.
//
// The side file is named after the destination, "<name>.<n>.unfinished": it is never
// taken for a report, and one left by a run that was killed is removed by the next
// report written into the same folder. A destination that exists is held open, shared
// with nobody, from Open to the replacement, so that a file another program has open
// fails the report at Open and stays as it was.
//
// The report is written a line at a time, and a write call per line costs far more
// than composing the line. The lines are therefore gathered in a buffer of the size
// the file asks for (IWriteFile::WriteBufferSize, 64 KiB for a real file) and written
// when it is full and at Close. A failed write of the buffer fails the Write that
// caused it (or Close); nothing more is written then, and the side file is removed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {
class IFileSystem;
class IWriteFile;
}

class ClReportFile {
public:
    // What ends the side file's name.
    static const char kSideSuffix[];

    ClReportFile();
    // A report neither closed nor abandoned is abandoned.
    ~ClReportFile();
    ClReportFile(const ClReportFile&) = delete;
    ClReportFile& operator=(const ClReportFile&) = delete;

    // Removes side files that killed runs left in path's folder, holds an existing file
    // at path and creates the side file. When any of that fails the file is remembered
    // as failed: Open returns false and every write fails.
    bool Open(const char* path);
    // Appends the bytes; false when the file is not open, an earlier operation failed,
    // or a write of the gathered bytes failed.
    bool Write(const void* data, std::size_t size);
    // Writes what is gathered, flushes, closes and puts the side file in the
    // destination's place; false when any of these failed or an earlier operation did,
    // and then the side file is removed and the destination is as it was. Closing a
    // file that is not open returns the remembered outcome.
    bool Close();
    // Gives the report up: the side file is removed and the destination stays as it
    // was, even when every write succeeded.
    void Abandon();

    bool IsOpen() const { return m_file != nullptr; }
    // True once any open, write, flush, close or replacement has failed, or the report
    // was abandoned.
    bool HasFailed() const { return m_failed; }

private:
    bool WriteGathered();
    void RemoveLeftSideFiles(const std::string& folder);

    platform::IFileSystem* m_fs = nullptr;
    std::unique_ptr<platform::IWriteFile> m_file;   // the side file
    std::unique_ptr<platform::IWriteFile> m_hold;   // the existing destination, held
    std::string m_path;
    std::string m_sidePath;                         // empty when there is no side file
    bool m_failed = false;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity = 0;   // 0: every piece goes to the file at once
    std::size_t m_used = 0;
};
