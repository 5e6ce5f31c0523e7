// The Win32 implementations of the platform interfaces, and the call that installs them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/services.h"
#include "platform/win32/dialog.h"
#include "platform/win32/wait_cursor.h"

namespace platform::win32 {

class Win32MessageBoxes : public IMessageBoxes {
public:
    int Show(HWND owner, const std::string& text, const std::string& caption, unsigned type) override;
    // A file to which one line per box is appended before the box is shown, for a
    // driving program to read; none when empty.
    void SetTraceFile(std::wstring path) { m_traceFile = std::move(path); }

private:
    std::wstring m_traceFile;
};

class Win32Windows : public IWindows {
public:
    bool EnableWindow(HWND wnd, bool enable) override;
    bool SetForegroundWindow(HWND wnd) override;
    bool PostMessage(HWND wnd, unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
};

class Win32WaitCursor : public IWaitCursor {
public:
    void Begin() override { m_cursor.Begin(); }
    void Restore() override { m_cursor.Restore(); }
    void End() override { m_cursor.End(); }

private:
    WaitCursor m_cursor;
};

// The progress window, template 131, as a modeless dialog. It pumps no messages:
// every change is followed by an explicit repaint from the caller (Update).
class Win32ProgressView : public IProgressView {
public:
    bool Create() override;
    HWND Handle() override { return m_dialog.Handle(); }
    void SetParent(HWND parent) override;
    void Show() override;
    void SetCaption(const std::string& text) override;
    void SetRange(int barId, int low, int high) override;
    void SetStep(int barId, int step) override;
    void SetPos(int barId, int pos) override;
    void DeltaPos(int barId, int increment) override;
    void TurnThemeOff(int barId) override;
    void BringToTop() override;
    void SetForeground() override;
    void Update() override;
    void End(int result) override;
    void Destroy() override;

    int Result() const { return m_result; }

private:
    ModelessDialog m_dialog;
    int m_result = 0;
};

// A modal dialog from any template whose behaviour is an IDialogHandler.
class HandlerDialog : public ModalDialog, public IDialogView {
public:
    explicit HandlerDialog(IDialogHandler& handler) : m_handler(handler) {}

    HWND Handle() override { return m_wnd; }
    std::string GetItemText(int id) override;
    void SetItemText(int id, const std::string& text) override;
    bool IsChecked(int id) override;
    void SetCheck(int id, bool checked) override;
    void EnableItem(int id, bool enable) override;
    bool IsItemEnabled(int id) override;
    void SetFocus(int id) override;
    int GetFocusId() override;
    void SelectAllText(int id) override;
    // The edit control limits UTF-16 units; the limit in CP932 bytes is kept here by
    // refusing any change that makes the text longer than the limit allows.
    void LimitText(int id, int bytes) override;
    bool IsKeyDown(int virtualKey) override;
    void End(int result) override { ModalDialog::End(result); }

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void KeepByteLimit(int id);
    // A text set as a whole (WM_SETTEXT, from this program or from outside) is not
    // typing: like the control's own limit, the byte limit lets it through.
    static LRESULT CALLBACK ByteLimitedEditProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR id, DWORD_PTR dialog);

    struct ByteLimit {
        std::size_t bytes = 0;
        std::wstring accepted;  // the text as it stood after the last accepted change
    };
    IDialogHandler& m_handler;
    std::map<int, ByteLimit> m_byteLimits;
    bool m_settingText = false;
    bool m_focusSetDuringInit = false;
    bool m_initializing = false;
};

class Win32Ui : public IUi {
public:
    int RunModal(int templateId, HWND parent, IDialogHandler& handler) override;
    std::unique_ptr<IProgressView> CreateProgressView() override;
    bool SaveFileDialog(HWND owner, const SaveFileRequest& request, std::string& path) override;
    bool LoadString(int id, std::string& text) override;
};

// Installs the Win32 implementations of every platform interface; a trace file for the
// message boxes when one is named (only programs built for the tests name one).
void InstallServices(const std::wstring& messageBoxTrace = std::wstring());

}  // namespace platform::win32
