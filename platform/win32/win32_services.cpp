#include "platform/win32/win32_services.h"

#include "platform/win32/win32_api.h"

#include <vector>

#include "platform/win32/button.h"
#include "platform/win32/edit.h"
#include "platform/win32/environment.h"
#include "platform/win32/file.h"
#include "platform/win32/file_system.h"
#include "platform/win32/message_box.h"
#include "platform/win32/progress_bar.h"
#include "platform/win32/save_file_dialog.h"
#include "platform/win32/wide.h"
#include "resources/resource.h"

namespace platform::win32 {

namespace {

std::wstring WindowTextOf(HWND wnd)
{
    const int length = ::GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace

// ---- message boxes, windows ----

int Win32MessageBoxes::Show(HWND owner, const std::string& text, const std::string& caption, unsigned type)
{
    if (!m_traceFile.empty()) AppendTrace(m_traceFile, MessageBoxTraceLine(text, type));
    return ShowMessageBox(owner, text, caption, type);
}

bool Win32Windows::EnableWindow(HWND wnd, bool enable) { return Window(wnd).Enable(enable); }

bool Win32Windows::SetForegroundWindow(HWND wnd) { return Window(wnd).SetForeground(); }

bool Win32Windows::PostMessage(HWND wnd, unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    return Window(wnd).PostMsg(message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

// ---- progress window ----

bool Win32ProgressView::Create()
{
    if (!m_dialog.Create(::GetModuleHandleW(nullptr), IDD_PROGRESS, nullptr)) return false;
    // Windows makes a system-modal dialog topmost; Wine keeps the style but not the
    // placement, so the window is put there explicitly to stay in front of the host.
    if ((::GetWindowLongW(m_dialog.Handle(), GWL_STYLE) & DS_SYSMODAL) &&
        !(::GetWindowLongW(m_dialog.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST))
        ::SetWindowPos(m_dialog.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void Win32ProgressView::SetParent(HWND parent) { m_dialog.SetParent(parent); }

void Win32ProgressView::Show() { m_dialog.Show(SW_SHOW); }

void Win32ProgressView::SetCaption(const std::string& text) { m_dialog.SetText(text); }

void Win32ProgressView::SetRange(int barId, int low, int high)
{
    ProgressBar(m_dialog.GetItem(barId)).SetRange(low, high);
}

void Win32ProgressView::SetStep(int barId, int step) { ProgressBar(m_dialog.GetItem(barId)).SetStep(step); }

void Win32ProgressView::SetPos(int barId, int pos) { ProgressBar(m_dialog.GetItem(barId)).SetPos(pos); }

void Win32ProgressView::DeltaPos(int barId, int increment)
{
    ProgressBar(m_dialog.GetItem(barId)).DeltaPos(increment);
}

// A themed bar glides to a new position on a timer, which never fires while the export
// pumps no messages, and draws the smooth and the segmented bar alike; an unthemed one
// paints the position it is given at once, in its template's own look. uxtheme.dll is
// no known DLL, so it is not imported but loaded from System32 by its full path: a copy
// planted beside the program is never taken.
void Win32ProgressView::TurnThemeOff(int barId)
{
    using SetWindowThemeCall = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const SetWindowThemeCall setWindowTheme = [] {
        wchar_t path[MAX_PATH + 1] = {};
        const UINT length = ::GetSystemDirectoryW(path, MAX_PATH + 1);
        if (length == 0 || length + 12 > MAX_PATH) return SetWindowThemeCall(nullptr);
        ::lstrcatW(path, L"\\uxtheme.dll");
        HMODULE theme = ::LoadLibraryW(path);
        return theme ? reinterpret_cast<SetWindowThemeCall>(
                           reinterpret_cast<void (*)()>(::GetProcAddress(theme, "SetWindowTheme")))
                     : SetWindowThemeCall(nullptr);
    }();
    ProgressBar bar(m_dialog.GetItem(barId));
    // A blank names no theme class, so the control opens none; Wine refuses an empty name.
    if (setWindowTheme) setWindowTheme(bar.Handle(), L" ", L" ");
    // Unthemed, a bar is a bare block of colour: the thin edge of its template shows how
    // far it runs. A themed control may drop the edge, and on losing its theme it takes
    // the edge back without measuring its frame again, so the edge would not be drawn.
    bar.SetExStyle(bar.GetExStyle() | WS_EX_STATICEDGE);
    bar.FrameChanged();
}

void Win32ProgressView::BringToTop() { m_dialog.BringToTop(); }

void Win32ProgressView::SetForeground() { m_dialog.SetForeground(); }

void Win32ProgressView::Update() { m_dialog.Update(); }

void Win32ProgressView::End(int result)
{
    // Only hidden: EndDialog is for modal boxes and would re-enable an owner (the host
    // window, once the window has been re-parented) before the run is over.
    m_result = result;
    m_dialog.Show(SW_HIDE);
}

void Win32ProgressView::Destroy() { m_dialog.Destroy(); }

// ---- modal dialog driven by a handler ----

std::string HandlerDialog::GetItemText(int id) { return Dialog::GetItemText(id); }

// The program may set a text longer than the typing limit (a chosen path): the byte
// limit's edit subclass lets a whole-text set through.
void HandlerDialog::SetItemText(int id, const std::string& text) { Dialog::SetItemText(id, text); }

bool HandlerDialog::IsChecked(int id) { return IsButtonChecked(id); }

void HandlerDialog::SetCheck(int id, bool checked) { Button(GetItem(id)).SetCheck(checked); }

void HandlerDialog::EnableItem(int id, bool enable) { Window(GetItem(id)).Enable(enable); }

bool HandlerDialog::IsItemEnabled(int id) { return Window(GetItem(id)).IsEnabled(); }

void HandlerDialog::SetFocus(int id)
{
    if (m_initializing) m_focusSetDuringInit = true;
    Window(GetItem(id)).SetFocus();
}

int HandlerDialog::GetFocusId() { return ControlIdOf(::GetFocus()); }

void HandlerDialog::SelectAllText(int id)
{
    Edit edit(GetItem(id));
    edit.SetSel(0, -1);
    edit.ScrollCaret();
}

void HandlerDialog::LimitText(int id, int bytes)
{
    if (bytes <= 0) return;
    // A CP932 text of n bytes never has more than n UTF-16 units, so the control's own
    // limit refuses nothing that the byte limit allows.
    HWND edit = GetItem(id);
    Edit(edit).LimitText(bytes);
    const bool first = m_byteLimits.find(id) == m_byteLimits.end();
    ByteLimit& limit = m_byteLimits[id];
    limit.bytes = static_cast<std::size_t>(bytes);
    limit.accepted = WindowTextOf(edit);
    if (first) ::SetWindowSubclass(edit, ByteLimitedEditProc, static_cast<UINT_PTR>(id), reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK HandlerDialog::ByteLimitedEditProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                    UINT_PTR id, DWORD_PTR dialog)
{
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(wnd, ByteLimitedEditProc, id);
        return ::DefSubclassProc(wnd, message, wParam, lParam);
    }
    if (message != WM_SETTEXT) return ::DefSubclassProc(wnd, message, wParam, lParam);
    HandlerDialog* self = reinterpret_cast<HandlerDialog*>(dialog);
    // The flag is put back on every path, and no exception crosses the Win32 frames
    // that called this procedure.
    struct SettingText {
        bool& flag;
        bool was;
        ~SettingText() { flag = was; }
    } setting{self->m_settingText, self->m_settingText};
    self->m_settingText = true;
    const LRESULT result = ::DefSubclassProc(wnd, message, wParam, lParam);
    try {
        auto limit = self->m_byteLimits.find(static_cast<int>(id));
        if (limit != self->m_byteLimits.end()) limit->second.accepted = WindowTextOf(wnd);
    } catch (...) {
        // Memory ran out copying the text: the last accepted text stands.
    }
    return result;
}

bool HandlerDialog::IsKeyDown(int virtualKey) { return (::GetKeyState(virtualKey) & 0x8000) != 0; }

bool HandlerDialog::OnInit()
{
    m_initializing = true;
    m_focusSetDuringInit = false;
    m_handler.OnInitDialog(*this);
    m_initializing = false;
    // A handler that placed the focus keeps it; otherwise the dialog manager chooses.
    return !m_focusSetDuringInit;
}

bool HandlerDialog::OnCommand(int id, int code, HWND control)
{
    if (code == EN_CHANGE) {
        KeepByteLimit(id);
        return true;
    }
    // Button clicks, and the dialog manager's commands IDOK / IDCANCEL (Enter, Esc, close box).
    if (code == BN_CLICKED || control == nullptr) {
        m_handler.OnCommand(*this, id);
        return true;
    }
    return false;
}

bool HandlerDialog::PreTranslateMessage(MSG& msg)
{
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != m_wnd && !::IsChild(m_wnd, msg.hwnd)) return false;
    return m_handler.PreTranslateKey(*this, static_cast<int>(msg.wParam), ControlIdOf(msg.hwnd));
}

void HandlerDialog::KeepByteLimit(int id)
{
    if (m_settingText) return;
    auto found = m_byteLimits.find(id);
    if (found == m_byteLimits.end()) return;
    ByteLimit& limit = found->second;
    HWND edit = GetItem(id);
    const std::wstring now = WindowTextOf(edit);
    const std::size_t bytes = FromWide(now).size();
    const std::size_t before = FromWide(limit.accepted).size();
    if (bytes <= limit.bytes || bytes <= before) {
        limit.accepted = now;
        return;
    }
    // Too long: put the accepted text back, the caret where the change began.
    std::size_t same = 0;
    while (same < now.size() && same < limit.accepted.size() && now[same] == limit.accepted[same]) ++same;
    // A whole-text set, so not checked again; a copy, since the set updates `accepted`.
    const std::wstring restore = limit.accepted;
    ::SetWindowTextW(edit, restore.c_str());
    Edit(edit).SetSel(static_cast<int>(same), static_cast<int>(same));
    ::MessageBeep(MB_OK);
}

// ---- the ui ----

int Win32Ui::RunModal(int templateId, HWND parent, IDialogHandler& handler)
{
    HandlerDialog dialog(handler);
    return static_cast<int>(dialog.Run(::GetModuleHandleW(nullptr), templateId, parent));
}

std::unique_ptr<IProgressView> Win32Ui::CreateProgressView() { return std::make_unique<Win32ProgressView>(); }

bool Win32Ui::SaveFileDialog(HWND owner, const SaveFileRequest& request, std::string& path)
{
    return ShowSaveFileDialog(owner, request, path);
}

bool Win32Ui::LoadString(int id, std::string& text)
{
    // With a zero length LoadStringW hands out a pointer to the resource's own text.
    const wchar_t* resource = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                     reinterpret_cast<wchar_t*>(&resource), 0);
    if (length <= 0 || !resource) return false;
    text = FromWide(std::wstring_view(resource, static_cast<std::size_t>(length)));
    return true;
}

void InstallServices(const std::wstring& messageBoxTrace)
{
    static Win32FileSystem fileSystem;
    static Win32MessageBoxes boxes;
    boxes.SetTraceFile(messageBoxTrace);
    static Win32Windows windows;
    static Win32WaitCursor cursor;
    static Win32Ui ui;
    Services services;
    services.fs = &fileSystem;
    services.boxes = &boxes;
    services.windows = &windows;
    services.cursor = &cursor;
    services.ui = &ui;
    SetServices(services);
}

}  // namespace platform::win32
