// The small interfaces through which the portable core reaches the operating system.
// platform/win32 implements them with Win32 calls, platform/posix for native tools,
// tests/fakes with recording fakes. Texts are CP932 bytes on every side; the Win32
// implementations convert to UTF-16 at their edge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/window_handle.h"

namespace platform {

// Drive types as GetDriveType reports them.
enum DriveType : unsigned {
    DRIVE_TYPE_UNKNOWN = 0,
    DRIVE_TYPE_NO_ROOT_DIR = 1,
    DRIVE_TYPE_REMOVABLE = 2,
    DRIVE_TYPE_FIXED = 3,
    DRIVE_TYPE_REMOTE = 4,
    DRIVE_TYPE_CDROM = 5,
    DRIVE_TYPE_RAMDISK = 6,
};

// What a replacement of one file by another left behind.
enum class ReplaceResult {
    kReplaced,       // the new file is in the destination's place
    kRefused,        // both files are as they were
    kDenied,         // both as they were: the folder allows no deleting or renaming
    kOnlyAtSource,   // the destination is gone and the new file stayed under its own name
};

// Why the last file operation failed, as far as the program decides on it.
enum class FileError {
    kNone,
    kNotFound,   // the file, or a folder of its path, does not exist
    kExists,     // a file to be created new is there already
    kDenied,     // the rights of the file or its folder refuse it
    kInUse,      // another program (or another export) has the file open
    kOther,
};

// An open file for writing. Every failed write or close is reported.
class IWriteFile {
public:
    virtual ~IWriteFile() = default;
    virtual bool Write(const void* data, std::size_t size) = 0;
    virtual bool Flush() = 0;
    virtual bool Close() = 0;
    // Deletes the file and closes it: through this handle on Windows, on posix by the
    // name it was opened with while the lock is held and only while that name is still
    // this file's. A file the folder will not let go is emptied instead (false then);
    // after ReplaceTo it is only closed. Only for files the program created itself. Runs
    // on every path that gives a file up, destructors included, so it never allocates
    // and never throws: what it needs is prepared when the file is opened.
    virtual bool Remove() noexcept = 0;
    // Reads at most maxBytes from the file's start through this handle, which is open for
    // reading too; nobody else can have changed the file meanwhile.
    virtual bool ReadBack(std::size_t maxBytes, std::string& data) = 0;
    // Cuts the file to nothing; the next write starts at its beginning.
    virtual bool Truncate() = 0;
    // Puts this file, still open and held, in the place of to in one step (a rename of
    // the open file: posix rename, Win32 rename by handle), replacing what is there; the
    // refusals that pass are tried again. Until it returns, nobody else can open, delete
    // or empty the file; afterwards the handle is the file under its new name, to be
    // closed, never removed.
    virtual ReplaceResult ReplaceTo(const std::string& to) = 0;
    // How many bytes a writer of many small pieces should gather before each Write: one
    // large write costs about what one small one does (a large report written in 64 KiB
    // pieces took about a fifth more CPU time than in 1 MiB pieces). 0 asks for every
    // piece at once (the recording fakes, whose tests count and fail single writes).
    virtual std::size_t WriteBufferSize() const { return 1024 * 1024; }
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    virtual bool GetCurrentDir(std::string& dir) = 0;
    virtual bool SetCurrentDir(const std::string& dir) = 0;
    // Full path of the running executable.
    virtual std::string ModulePath() = 0;
    virtual bool FileExists(const std::string& path) = 0;            // PathFileExists
    virtual bool Access(const std::string& path, int mode) = 0;      // _access: 0 exists, 2 write, 4 read, 6 both
    virtual unsigned GetDriveType(const std::string& root) = 0;      // DriveType
    virtual bool PathIsDirectory(const std::string& path) = 0;
    // File status: false when nothing exists at path; *isDirectory from attribute 0x10.
    virtual bool Stat(const std::string& path, bool* isDirectory) = 0;
    virtual bool CreateDirectory(const std::string& path) = 0;
    virtual bool RemoveDirectory(const std::string& path) = 0;
    virtual std::string GetTempPath() = 0;
    // Creates or truncates for writing, shared with nobody; null when that fails. Never
    // through a link: a name that is a link, or a file with more than one, is refused.
    virtual std::unique_ptr<IWriteFile> CreateExclusive(const std::string& path) = 0;
    // Creates for reading and writing only when nothing exists at path (not even a
    // link); null when that fails.
    virtual std::unique_ptr<IWriteFile> CreateNew(const std::string& path) = 0;
    // Opens a file that a run of this program left behind, for reading and writing,
    // shared with nobody and unchanged: only a plain file with one link that nobody else
    // has open; null otherwise (nothing there, a link of any kind, a folder, held).
    virtual std::unique_ptr<IWriteFile> OpenLeftover(const std::string& path) = 0;
    // Opens an existing file for writing without changing it, shared with nobody, and
    // holds it so until the handle is closed; null when nothing is there, it is a folder,
    // it may not be written or another program has it open.
    virtual std::unique_ptr<IWriteFile> HoldExclusive(const std::string& path) = 0;
    // Names (without the folder) of the files in folder whose names end with suffix,
    // compared as SameFileName compares; folders are left out. folder ends
    // with a separator, or is empty for the current folder. Empty when it cannot be read.
    virtual std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix) = 0;
    // Whether two file names name the same file, compared as the file system compares
    // names: this one as Windows does for ASCII letters (without regard to case), by
    // characters; posix compares bytes.
    virtual bool SameFileName(const std::string& a, const std::string& b);
    // Reads at most maxBytes, sharing the file with other readers and writers.
    virtual bool ReadFile(const std::string& path, std::size_t maxBytes, std::string& data) = 0;
    // Puts the closed file from in the place of to in one step, replacing what is there
    // (on Windows ReplaceFile, which keeps the replaced file's attributes, or MoveFileEx
    // with replace and write-through where there is nothing to replace). The report and
    // the remembered destinations use IWriteFile::ReplaceTo instead, which keeps the
    // file held through the replacement. Refusals that
    // pass (a scanner or indexer opening the fresh file for a moment) are tried again
    // a bounded number of times. The result says what is where; from is never deleted.
    virtual ReplaceResult ReplaceFile(const std::string& from, const std::string& to) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // The system's own words for why the last file operation failed; empty when it
    // has none to give. For messages to a person, never for decisions.
    virtual std::string LastErrorText() { return std::string(); }
    // What kind of failure that was, for the decisions the program takes on it.
    virtual FileError LastError() { return FileError::kOther; }
    // GetPrivateProfileString: the value, cut to size - 1 bytes.
    virtual std::string GetProfileString(const std::string& file, const std::string& section,
                                         const std::string& key, const std::string& defaultValue,
                                         std::size_t size) = 0;
};

// Message box types used by the program.
enum : unsigned {
    MB_TYPE_OK = 0x00000000,
    MB_TYPE_YESNO = 0x00000004,
    MB_TYPE_ICONQUESTION = 0x00000020,
    MB_TYPE_ICONEXCLAMATION = 0x00000030,
    MB_TYPE_ICONINFORMATION = 0x00000040,
};
enum : int { ID_OK = 1, ID_CANCEL = 2, ID_YES = 6, ID_NO = 7 };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual int Show(HWND owner, const std::string& text, const std::string& caption, unsigned type) = 0;
};

// Windows of other processes (the host's main window) and of our own.
class IWindows {
public:
    virtual ~IWindows() = default;
    virtual bool EnableWindow(HWND wnd, bool enable) = 0;
    virtual bool SetForegroundWindow(HWND wnd) = 0;
    virtual bool PostMessage(HWND wnd, unsigned message, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

class IWaitCursor {
public:
    virtual ~IWaitCursor() = default;
    virtual void Begin() = 0;
    virtual void Restore() = 0;
    virtual void End() = 0;
};

// The controls of the progress window (template 131) as the progress logic drives them.
class IProgressView {
public:
    virtual ~IProgressView() = default;
    virtual bool Create() = 0;
    virtual HWND Handle() = 0;
    virtual void SetParent(HWND parent) = 0;
    virtual void Show() = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetRange(int barId, int low, int high) = 0;   // PBM_SETRANGE
    virtual void SetStep(int barId, int step) = 0;             // PBM_SETSTEP
    virtual void SetPos(int barId, int pos) = 0;               // PBM_SETPOS
    virtual void DeltaPos(int barId, int increment) = 0;       // PBM_DELTAPOS
    // Draws the bar without the desktop's visual style (SetWindowTheme naming no class).
    virtual void TurnThemeOff(int /*barId*/) {}
    virtual void BringToTop() = 0;
    virtual void SetForeground() = 0;
    virtual void Update() = 0;
    virtual void End(int result) = 0;                          // EndDialog: hides the window
    virtual void Destroy() = 0;
};

// One modal dialog's controls, as the portable dialog logic sees them.
class IDialogView {
public:
    virtual ~IDialogView() = default;
    virtual HWND Handle() = 0;
    virtual std::string GetItemText(int id) = 0;
    virtual void SetItemText(int id, const std::string& text) = 0;
    virtual bool IsChecked(int id) = 0;
    virtual void SetCheck(int id, bool checked) = 0;
    virtual void EnableItem(int id, bool enable) = 0;
    virtual bool IsItemEnabled(int id) = 0;
    virtual void SetFocus(int id) = 0;
    virtual int GetFocusId() = 0;                 // 0 when the focus is on no control of the dialog
    virtual void SelectAllText(int id) = 0;       // EM_SETSEL 0, -1 then EM_SCROLLCARET
    virtual void LimitText(int id, int bytes) = 0;
    virtual bool IsKeyDown(int virtualKey) = 0;   // high bit of GetKeyState
    virtual void End(int result) = 0;
};

// Handler of a modal dialog: the view calls it from its own modal loop.
class IDialogHandler {
public:
    virtual ~IDialogHandler() = default;
    virtual void OnInitDialog(IDialogView& view) = 0;
    // A button click or a dialog command (1 OK, 2 cancel / Esc / close box).
    virtual void OnCommand(IDialogView& view, int id) = 0;
    // Sees every key-down first; true when it consumed the key.
    virtual bool PreTranslateKey(IDialogView& view, int virtualKey, int focusId) = 0;
};

struct SaveFileRequest {
    std::string defaultExtension;
    std::string initialName;
    std::string initialFolder;
    std::string filter;     // "Xml Files (*.xml)|*.xml||" form
    std::string title;
    unsigned flags = 0;
};

class IUi {
public:
    virtual ~IUi() = default;
    // Runs dialog template templateId modally over parent; returns the ended result.
    virtual int RunModal(int templateId, HWND parent, IDialogHandler& handler) = 0;
    virtual std::unique_ptr<IProgressView> CreateProgressView() = 0;
    // The save-file dialog; true with the chosen full path when the user confirms.
    virtual bool SaveFileDialog(HWND owner, const SaveFileRequest& request, std::string& path) = 0;
    // String resource id of the program (LoadString); false when it has none.
    virtual bool LoadString(int /*id*/, std::string& /*text*/) { return false; }
};

// A monotonic clock. The progress window repaints by it at most once a display frame;
// without one it repaints at every step, as the tests of its calls expect.
class IClock {
public:
    virtual ~IClock() = default;
    virtual std::int64_t NowMicroseconds() = 0;
};

// The process's monotonic clock (std::chrono::steady_clock), the same on every platform.
IClock& SteadyClock();

struct Services {
    IFileSystem* fs = nullptr;
    IMessageBoxes* boxes = nullptr;
    IWindows* windows = nullptr;
    IWaitCursor* cursor = nullptr;
    IUi* ui = nullptr;
    IClock* clock = nullptr;
    // How large a host block is; null asks the task allocator (a test puts one here that
    // cannot tell).
    std::size_t (*taskMemSize)(const void* block) = nullptr;
};

// Whether file, a name in a folder, is "<name>.<digits><suffix>": a numbered side file
// that this program made for the file name, compared as the file system compares names.
bool IsNumberedSideFile(IFileSystem& fs, const std::string& file, const std::string& name, const char* suffix);

// A leftover at path (OpenLeftover) that holds no byte, open for reuse; null when there is
// none, it cannot be read or it has bytes (it may be the one copy an earlier run kept).
std::unique_ptr<IWriteFile> OpenEmptyLeftover(IFileSystem& fs, const std::string& path);

// Removes (empties, where the folder keeps them) the numbered side files of name in
// folder that are leftovers: those another writer holds and links are passed over.
void RemoveNumberedLeftovers(IFileSystem& fs, const std::string& folder, const std::string& name,
                             const char* suffix);

// Whether the person at a terminal asked to stop (Ctrl-C, a termination signal): set
// from a signal handler, read by the report file, which then gives the report up.
bool InterruptRequested();
void RequestInterrupt() noexcept;
void ClearInterrupt();

// The services in force; the program's entry point and the tests install them.
Services& GetServices();
void SetServices(const Services& services);

// The task allocator whose blocks the host hands out (CoTaskMemAlloc on Windows).
void* TaskMemAlloc(std::size_t size);
void TaskMemFree(void* block);
// The size of a block from TaskMemAlloc: the services' taskMemSize where one is
// installed, else the allocator's own answer; 0 for null, kTaskMemSizeUnknown when it
// cannot tell. Lets a reader of a host block without a count stop at the block's end.
constexpr std::size_t kTaskMemSizeUnknown = static_cast<std::size_t>(-1);
// The task allocator's own answer (IMalloc::GetSize on Windows).
std::size_t AllocatorTaskMemSize(const void* block);
inline std::size_t TaskMemSize(const void* block)
{
    std::size_t (*size)(const void*) = GetServices().taskMemSize;
    return size ? size(block) : AllocatorTaskMemSize(block);
}

}  // namespace platform
