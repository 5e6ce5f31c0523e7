// The report's file object. The report never appears at its destination half written:
// it is written whole to a side file in the destination's folder, flushed to the disk,
// and only then, by the deliberate last step Commit, put in the destination's place.
// Every other end (a failure, an exception, the destructor) only abandons: the side file
// is removed and the destination stays as it was. Whenever the process dies, the
// destination holds either the previous report (or nothing, where there was none) or
// the new one, whole.
//
// Several exports may aim at one destination at once (two people on a share, a second
// run started by mistake). Each one's side file, "<name>.<n>.unfinished", is its own
// from its creation to its end: it stays open, shared with nobody, through the write,
// the flush and the replacement, which renames the open file into place. No other
// export can open, empty, reuse or delete it meanwhile; they pass to the next number.
// Leftovers of killed runs are removed only after this export's report is in place, so
// that a kept copy (below) outlives every export that fails. Nothing else in the folder
// is touched, and never anything through a link.
//
// A destination that exists is held open, shared with nobody, from Open to the
// replacement, so that a file another program (or another export) has open fails the
// report at Open and stays as it was.
//
// A folder that lets files be written but not renamed or deleted (a company share's
// rights) refuses the replacement: the report is then written over the destination in
// place from the side file, read back through its own handle. Until that is done the
// side file is the only whole copy and is kept; after, it is emptied for the next
// report to the same destination to reuse.
//
// The report is written a line at a time, and a write call per line costs far more
// than composing the line. The lines are therefore gathered in a buffer of the size
// the file asks for (IWriteFile::WriteBufferSize, 1 MiB for a real file) and written
// when it is full and at Commit. A failed write of the buffer fails the Write that
// caused it (or Commit); nothing more is written then.
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
    // Called between the finished side file and its replacement of the destination;
    // null in the program. The concurrency tests pause there to force the races of
    // exports at once.
    static void (*s_beforeReplace)();

    ClReportFile();
    // Abandons a report that was not committed; allocates nothing and never throws.
    ~ClReportFile();
    ClReportFile(const ClReportFile&) = delete;
    ClReportFile& operator=(const ClReportFile&) = delete;

    // Removes the side files of this destination that killed runs left, holds an
    // existing file at path and creates the side file. When any of that fails the file
    // is remembered as failed: Open returns false and every write fails.
    bool Open(const char* path);
    // Appends the bytes; false when the file is not open, an earlier operation failed,
    // or a write of the gathered bytes failed.
    bool Write(const void* data, std::size_t size);
    // Room for a piece of at most maxBytes straight in the gathered bytes, for a writer
    // that composes there instead of copying; TakeLine then adds the bytes it used.
    // Null when the file gathers nothing (or less than that), is not open or has failed:
    // the writer then composes elsewhere and calls Write.
    char* LineSpace(std::size_t maxBytes)
    {
        // Inline for the common case, room left in the buffer: it is asked for every line.
        if (m_used + maxBytes <= m_capacity && !m_failed && IsOpen()) return m_buffer.get() + m_used;
        return LineSpaceAfterWrite(maxBytes);
    }
    void TakeLine(std::size_t used) { m_used += used; }
    // The last step, asked for only when the report is whole: writes what is gathered,
    // flushes, closes and puts the side file in the destination's place. False when
    // any of these failed or an earlier operation did; the destination is then as it
    // was, unless KeptPath names where the report stayed.
    bool Commit();
    // Gives the report up: the side file is removed (emptied where the folder keeps it)
    // and the destination stays as it was. Allocates nothing and never throws.
    void Abandon() noexcept;

    bool IsOpen() const { return m_file != nullptr && !m_closed; }
    // True once any open, write, flush, close or replacement has failed, or the report
    // was abandoned.
    bool HasFailed() const { return m_failed; }
    // Where the whole report stayed when it could not be put at the destination after the
    // destination had been changed (emptied for a write in place that failed, or removed):
    // that file is never deleted or emptied until a later report is in place. Empty in
    // every other case.
    const std::string& KeptPath() const;
    // What failed, with the path and the system's reason, for a person at a terminal;
    // empty when nothing failed.
    const std::string& FailureText() const { return m_failureText; }

private:
    bool WriteGathered();
    char* LineSpaceAfterWrite(std::size_t maxBytes);
    void RemoveLeftSideFiles();
    bool CreateSideFile();
    bool WriteInPlace();
    // Records the first failure: what of which file, and why (the cause the system's
    // error gives, in the user's terms, or the system's own words).
    void Fail(const std::string& path, const char* what);
    void Fail(const std::string& path, const char* what, const std::string& reason);

    platform::IFileSystem* m_fs = nullptr;
    std::unique_ptr<platform::IWriteFile> m_file;   // the side file
    std::unique_ptr<platform::IWriteFile> m_hold;   // the existing destination, held
    std::string m_path;
    std::size_t m_folderLength = 0;   // of m_path, its last separator included
    std::string m_sidePath;
    bool m_hadDestination = false;   // a file was at the destination at Open
    std::size_t m_written = 0;       // bytes that reached the side file
    bool m_closed = false;         // the side file is closed, not yet given up
    bool m_sideIsTheReport = false;   // the side file holds the only whole copy: keep it
    bool m_failed = false;
    std::string m_failureText;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity = 0;   // 0: every piece goes to the file at once
    std::size_t m_used = 0;
};
