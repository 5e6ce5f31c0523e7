// FakeFileSystem: an in-memory platform::IFileSystem with Windows path semantics.
//
//   Paths are CP932 bytes, walked by characters (a 0x5C trail byte is never a separator).
//   Names compare without regard to the case of ASCII letters; "/" counts as "\".
//   Roots: drive letters ("C:\", set up with AddDrive) and shares ("\\server\share",
//   AddShare). Relative paths resolve against the current folder; "C:x" against the
//   current folder when it is on C:, else against C:\.
//   Fresh object: drive C: fixed with read and write access, folders C:\ and C:\Temp\,
//   current folder C:\, temp path "C:\Temp\", module path "C:\Ledgra\LedgraProExport.exe"
//   (its folder is created too).
//
// Set-up:
//   AddDrive('D', DRIVE_TYPE_CDROM, 4)   drive type and access rights (2 write, 4 read, 6 both)
//   AddShare("\\\\srv\\share", 6)         a reachable share (GetDriveType gives REMOTE)
//   SetAccess(path, rights)              rights of a path and everything below it
//   AddDirectory(path)                   creates the whole chain
//   AddFile(path, bytes)                 creates the parents too; profile strings are
//                                        read from such files (an ini file)
//   SetCurrentDirValue / SetTempPath / SetModulePath
//
// Failure injection (counts start at 1 per operation name, over the object's life or
// since ResetCalls):
//   FailCall("CreateDirectory", 2)       only the 2nd CreateDirectory fails
//   FailCall("ReadFile", 0)              every ReadFile fails
//   FailCallsFrom("Write", 3)            the 3rd and every later Write fails (a full disk)
//   FailWriteAt(n)                       shorthand for FailCall("Write", n)
//   SetWriteBufferSize(n)                what the opened files answer to WriteBufferSize;
//                                        0 (the default) has every piece written at once,
//                                        so that single lines can be counted and failed
//   ThrowOnCall("Write", 3)              the 3rd Write throws std::bad_alloc instead
//   SetReplaceOutcome(r)                 every ReplaceFile answers r as Windows leaves it:
//                                        kOnlyAtSource removes the destination, kDenied
//                                        and kRefused change nothing
//   DenyDeleting(folder)                 files in folder can be written but neither
//                                        deleted nor renamed (a company share's rights)
//   AddLink(path, target)                path is a link (symbolic or hard) to the file
//                                        target: what refuses links refuses it, and
//                                        nothing written reaches target through it
//   Operation names: the IFileSystem method names, plus "Write", "Flush", "Close" and
//   "Remove", "ReadBack", "Truncate" and "ReplaceTo" of the opened files. A failing
//   operation changes nothing; a failing Close still closes the file; a failing Remove
//   empties the file instead. LastError says why the last operation failed: an injected
//   failure is kOther.
//
// Records: calls() lists every operation asked, one text each: "<Name> <path>" (and
// " -> <path2>" for ReplaceFile, " -> <suffix>" for ListFiles), with " FAILED" appended
// when it failed.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/services.h"

namespace fakes {

class FakeFileSystem : public platform::IFileSystem {
public:
    FakeFileSystem();
    ~FakeFileSystem() override;

    // ---- set-up ----
    void AddDrive(char letter, unsigned driveType, int rights = 6);
    void RemoveDrive(char letter);
    void AddShare(const std::string& share, int rights = 6);
    void SetAccess(const std::string& path, int rights);
    bool AddDirectory(const std::string& path);
    bool AddFile(const std::string& path, const std::string& bytes);
    bool AddLink(const std::string& path, const std::string& target);
    void SetCurrentDirValue(const std::string& dir) { m_currentDir = dir; }
    void SetTempPath(const std::string& path) { m_tempPath = path; }
    void SetModulePath(const std::string& path) { m_modulePath = path; }

    // ---- inspection ----
    bool HasDirectory(const std::string& path) const;
    bool HasFile(const std::string& path) const;
    // Bytes of a file; empty when there is none.
    std::string FileBytes(const std::string& path) const;
    // The bytes a file held when it was last deleted (empty when it never was).
    std::string DeletedBytes(const std::string& path) const;
    // Full paths as they were created (drive roots and shares left out), sorted by key.
    std::vector<std::string> Directories() const;
    std::vector<std::string> Files() const;
    // Files opened for writing and not closed yet.
    int OpenFileCount() const;

    // ---- failure injection and records ----
    void FailCall(const std::string& operation, int nth);
    void FailCallsFrom(const std::string& operation, int nth);
    void FailWriteAt(int nth) { FailCall("Write", nth); }
    void ThrowOnCall(const std::string& operation, int nth) { m_throwOn[operation].insert(nth); }
    void SetReplaceOutcome(platform::ReplaceResult result) { m_replaceOutcome = result; }
    void DenyDeleting(const std::string& folder);
    void SetWriteBufferSize(std::size_t bytes) { m_writeBufferSize = bytes; }
    void ClearFailures();
    const std::vector<std::string>& calls() const { return m_calls; }
    int CallCount(const std::string& operation) const;
    // Total operations asked so far (all names).
    int TotalCalls() const { return static_cast<int>(m_calls.size()); }
    // Fails the Nth operation counted over all names (1-based); 0 clears it.
    void FailNthOperation(int nth) { m_failNthAny = nth; }
    void ResetCalls();

    // ---- platform::IFileSystem ----
    bool GetCurrentDir(std::string& dir) override;
    bool SetCurrentDir(const std::string& dir) override;
    std::string ModulePath() override;
    bool FileExists(const std::string& path) override;
    bool Access(const std::string& path, int mode) override;
    unsigned GetDriveType(const std::string& root) override;
    bool PathIsDirectory(const std::string& path) override;
    bool Stat(const std::string& path, bool* isDirectory) override;
    bool CreateDirectory(const std::string& path) override;
    bool RemoveDirectory(const std::string& path) override;
    std::string GetTempPath() override;
    std::unique_ptr<platform::IWriteFile> CreateExclusive(const std::string& path) override;
    std::unique_ptr<platform::IWriteFile> CreateNew(const std::string& path) override;
    std::unique_ptr<platform::IWriteFile> HoldExclusive(const std::string& path) override;
    std::unique_ptr<platform::IWriteFile> OpenLeftover(const std::string& path) override;
    platform::FileError LastError() override { return m_lastError; }
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix) override;
    bool ReadFile(const std::string& path, std::size_t maxBytes, std::string& data) override;
    platform::ReplaceResult ReplaceFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;
    std::string GetProfileString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& defaultValue,
                                 std::size_t size) override;

    // Resolves a path to its full form (original case) and its comparison key; false
    // when the path has no usable root. Exposed for tests of the fake itself.
    bool Resolve(const std::string& path, std::string& full, std::string& key) const;

private:
    struct Node {
        std::string path;      // full path as created
        bool isDirectory = false;
        std::string bytes;
        int openWriters = 0;
        std::string linkTo;    // key of the file this name links to; empty for a plain file
    };
    struct Drive {
        unsigned type = platform::DRIVE_TYPE_FIXED;
        int rights = 6;
    };
    class WriteFile;
    friend class WriteFile;

    bool Begin(const std::string& operation, const std::string& path, const std::string& path2 = "");
    void MarkFailed(platform::FileError error = platform::FileError::kOther);
    Node* Find(const std::string& key);
    const Node* Find(const std::string& key) const;
    bool ParentIsDirectory(const std::string& key) const;
    bool MayDelete(const std::string& key) const;
    bool RootUsable(const std::string& key) const;
    int RightsOf(const std::string& key) const;
    enum class Disposition { createAlways, createNew, openExisting, leftover };
    std::unique_ptr<platform::IWriteFile> Open(const std::string& operation, const std::string& path,
                                               Disposition disposition);

    std::map<char, Drive> m_drives;           // upper-case letters
    std::map<std::string, int> m_shares;      // key -> rights
    std::map<std::string, int> m_rights;      // key -> rights (overrides)
    std::map<std::string, Node> m_nodes;      // key -> node
    std::map<std::string, std::string> m_deleted;   // key -> bytes when deleted
    std::string m_currentDir;
    std::string m_tempPath;
    std::string m_modulePath;

    std::vector<std::string> m_calls;
    std::map<std::string, int> m_counts;
    std::map<std::string, std::set<int>> m_failOnce;   // op -> call numbers (0: all)
    std::map<std::string, int> m_failFrom;             // op -> first failing call
    int m_failNthAny = 0;
    std::map<std::string, std::set<int>> m_throwOn;    // op -> call numbers
    platform::ReplaceResult m_replaceOutcome = platform::ReplaceResult::kReplaced;
    std::set<std::string> m_noDelete;                  // folder keys
    std::size_t m_writeBufferSize = 0;
    platform::FileError m_lastError = platform::FileError::kNone;
    std::shared_ptr<bool> m_alive;
};

}  // namespace fakes
