// host-simulator: stands in for the accounting host's window. It shows a top-level host
// window, starts an exporter with the host's launch arguments, drives the exporter's
// windows from a script with plain Win32 messages, and prints what the host would
// have seen: the posted completion message, whether its window was disabled during
// the run and enabled after it, and the exporter's message boxes. The host window's
// label tells its state as it changes; each screenshot prints what the label showed.
//
// Exit status: 0 the exporter ended, 3 timeout (the exporter is ended), 4 a script
// step failed (the step is named on stderr), 2 bad options.

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "png_writer.h"
#include "resources/resource.h"
#include "script.h"

using hostsim_tool::Step;
using hostsim_tool::StepKind;

namespace {

constexpr int kExitEnded = 0;
constexpr int kExitUsage = 2;
constexpr int kExitTimeout = 3;
constexpr int kExitStepFailed = 4;

// Control ids of the exporter's conditions dialog.
constexpr int kIdPathBox = IDC_OUTPUT_PATH;
constexpr int kIdFormBusiness = IDC_RADIO_BUSINESS;
constexpr int kIdFormOther = IDC_RADIO_OTHER;
constexpr int kIdFormRealEstate = IDC_RADIO_REALESTATE;
// Control ids of the message box and the common save-file dialog.
constexpr int kIdMessageText = 0xFFFF;
constexpr int kIdFileNameCombo = 0x47C;  // cmb13
constexpr int kIdFileNameEdit = 0x480;   // edt1

struct Options {
    std::wstring exporter;
    long long message = 32769;
    long long functionId = 1;
    std::wstring fixedPath;
    bool haveLaunchArgs = false;
    std::wstring launchArgs;
    bool noLaunch = false;
    std::wstring script;
    double timeoutSeconds = -1;  // < 0: not given
    std::wstring shots;
    std::wstring hostFolder;  // current folder of the exporter; its own folder when empty
    bool help = false;
};

struct HostState {
    HWND window = nullptr;
    UINT message = 0;
    bool posted = false;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool disabledSeen = false;
    bool launched = true;  // started with the host's line, so the exporter disables the host
    std::wstring painted;  // the label as last painted
};

HostState g_host;

struct Child {
    PROCESS_INFORMATION pi{};
    bool ended = false;
};

Child g_child;

// ---- texts ------------------------------------------------------------------

std::string WideToUtf8(const std::wstring& w)
{
    if (w.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// Script texts go through the program's own CP932 table, so what reaches the exporter
// converts back to exactly the bytes the script meant.
std::wstring Utf8ToWide(const std::string& s)
{
    const std::u16string u = cp932::ToUtf16(cp932::FromUtf8(s));
    return std::wstring(u.begin(), u.end());
}

void Err(const std::string& text)
{
    std::fprintf(stderr, "host-simulator: %s\n", text.c_str());
    std::fflush(stderr);
}

void Out(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// ---- the host window ----------------------------------------------------------

// What the host's window says of its state: a screenshot shows whether the exporter has
// disabled it. Started alone, the exporter leaves the host alone, and the label says why.
std::wstring HostLabel()
{
    if (!IsWindowEnabled(g_host.window))
        return L"Ledgra host (disabled)";
    return g_host.launched ? L"Ledgra host (enabled)" : L"Ledgra host (enabled; the exporter was started alone)";
}

// Repaints the label at once when the state it shows is out of date: on WM_ENABLE, and
// polled, since a screenshot may follow a state change before the next paint.
void RefreshHostLabel()
{
    if (g_host.window && HostLabel() != g_host.painted) {
        InvalidateRect(g_host.window, nullptr, TRUE);
        UpdateWindow(g_host.window);
    }
}

LRESULT CALLBACK HostWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == g_host.message && g_host.message != 0) {
        if (!g_host.posted) {
            g_host.posted = true;
            g_host.wParam = wParam;
            g_host.lParam = lParam;
        }
        return 0;
    }
    switch (msg) {
    case WM_ENABLE:
        if (!wParam)
            g_host.disabledSeen = true;
        RefreshHostLabel();
        return 0;
    case WM_CLOSE:
        return 0;  // the host window lives as long as the simulator
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        g_host.painted = HostLabel();
        // At the top, where the exporter's dialogs, centred over the window, leave it in view.
        rc.top += 8;
        DrawTextW(dc, g_host.painted.c_str(), -1, &rc, DT_CENTER | DT_TOP | DT_SINGLELINE);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

bool CreateHostWindow()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = L"LedgraHostSimulator";
    if (!RegisterClassW(&wc))
        return false;
    g_host.window = CreateWindowExW(0, wc.lpszClassName, L"Ledgra host simulator", WS_OVERLAPPEDWINDOW,
                                    10, 10, 760, 540, nullptr, nullptr, wc.hInstance, nullptr);
    if (!g_host.window)
        return false;
    ShowWindow(g_host.window, SW_SHOWNORMAL);
    UpdateWindow(g_host.window);
    return true;
}

// ---- waiting --------------------------------------------------------------------

void NoteHostState()
{
    if (g_host.window && !IsWindowEnabled(g_host.window))
        g_host.disabledSeen = true;
    RefreshHostLabel();
}

void DrainMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    NoteHostState();
}

bool ChildRunning()
{
    if (g_child.ended || !g_child.pi.hProcess)
        return false;
    if (WaitForSingleObject(g_child.pi.hProcess, 0) == WAIT_OBJECT_0)
        g_child.ended = true;
    return !g_child.ended;
}

// Pumps the host window's messages for up to ms milliseconds, or until the child ends.
void Pump(DWORD ms)
{
    const ULONGLONG until = GetTickCount64() + ms;
    for (;;) {
        DrainMessages();
        const ULONGLONG now = GetTickCount64();
        if (now >= until)
            return;
        HANDLE handles[1] = {g_child.pi.hProcess};
        const DWORD count = ChildRunning() ? 1 : 0;
        const DWORD r = MsgWaitForMultipleObjects(count, handles, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
        if (count == 1 && r == WAIT_OBJECT_0) {
            g_child.ended = true;
            DrainMessages();
            return;
        }
    }
}

// Polls found() while pumping; false when the time runs out or the child ends first.
bool WaitUntil(double seconds, const std::function<bool()>& found, DWORD pollMs = 25)
{
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
    for (;;) {
        if (found())
            return true;
        if (!ChildRunning()) {
            Pump(50);
            return found();
        }
        if (GetTickCount64() >= until)
            return false;
        Pump(pollMs);
    }
}

// ---- the exporter's windows --------------------------------------------------------

std::wstring ClassOf(HWND w)
{
    wchar_t buf[64] = {};
    GetClassNameW(w, buf, 63);
    return buf;
}

// A top-level window's caption comes from GetWindowText, which needs no answer from the
// exporter (it pumps no messages while it exports). A control's text needs WM_GETTEXT:
// for a control of another process GetWindowText never gives an edit box's contents.
std::wstring TextOf(HWND w)
{
    if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) {
        wchar_t caption[512] = {};
        GetWindowTextW(w, caption, 511);
        return caption;
    }
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring s(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(&s[0]), SMTO_ABORTIFHUNG, 5000, &got))
        return {};
    s.resize(static_cast<std::size_t>(got) < s.size() ? static_cast<std::size_t>(got) : s.size() - 1);
    return s;
}

// The exporter's visible windows that stand alone: its top-level windows and those it
// has re-parented into the host window (the progress window is). The callbacks are
// named functions: a lambda does not convert to the stdcall WNDENUMPROC of 32-bit Windows.
struct ChildTopContext {
    DWORD pid;
    HWND host;
    std::vector<HWND> list;
};

BOOL CALLBACK CollectTopWindow(HWND w, LPARAM p)
{
    auto* c = reinterpret_cast<ChildTopContext*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == c->pid && IsWindowVisible(w))
        c->list.push_back(w);
    return TRUE;
}

BOOL CALLBACK CollectReparentedWindow(HWND w, LPARAM p)
{
    auto* c = reinterpret_cast<ChildTopContext*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == c->pid && GetAncestor(w, GA_PARENT) == c->host && IsWindowVisible(w))
        c->list.push_back(w);
    return TRUE;
}

std::vector<HWND> ChildTopWindows()
{
    ChildTopContext ctx{g_child.pi.dwProcessId, g_host.window, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&ctx));
    EnumChildWindows(g_host.window, CollectReparentedWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.list;
}

struct FindControlContext {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControlId(HWND w, LPARAM p)
{
    auto* c = reinterpret_cast<FindControlContext*>(p);
    if (GetDlgCtrlID(w) == c->id) {
        c->found = w;
        return FALSE;
    }
    return TRUE;
}

// Any descendant with the given control id (the file dialog nests its controls).
HWND FindControl(HWND parent, int id)
{
    if (HWND direct = GetDlgItem(parent, id))
        return direct;
    FindControlContext ctx{id, nullptr};
    EnumChildWindows(parent, MatchControlId, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

bool IsDialog(HWND w) { return ClassOf(w) == L"#32770"; }

bool IsSaveDialog(HWND w)
{
    return IsDialog(w) && !GetDlgItem(w, kIdPathBox) &&
           (FindControl(w, kIdFileNameCombo) || FindControl(w, kIdFileNameEdit));
}

bool IsConditionsDialog(HWND w) { return IsDialog(w) && GetDlgItem(w, kIdPathBox) != nullptr; }

bool IsMessageBox(HWND w)
{
    return IsDialog(w) && GetDlgItem(w, kIdMessageText) && !IsConditionsDialog(w) && !IsSaveDialog(w) &&
           (GetDlgItem(w, IDOK) || GetDlgItem(w, IDYES) || GetDlgItem(w, IDNO));
}

// The exporter window that takes input now: enabled and visible, matching the test.
HWND FindActive(const std::function<bool(HWND)>& test)
{
    for (HWND w : ChildTopWindows())
        if (IsWindowEnabled(w) && test(w))
            return w;
    return nullptr;
}

HWND WaitForWindow(double seconds, const std::function<bool(HWND)>& test, DWORD pollMs = 25)
{
    HWND found = nullptr;
    WaitUntil(
        seconds,
        [&] {
            found = FindActive(test);
            return found != nullptr;
        },
        pollMs);
    return found;
}

void BringToFront(HWND w)
{
    const DWORD self = GetCurrentThreadId();
    const DWORD other = GetWindowThreadProcessId(w, nullptr);
    const bool attached = other != self && AttachThreadInput(self, other, TRUE);
    SetForegroundWindow(w);
    SetActiveWindow(w);
    if (attached)
        AttachThreadInput(self, other, FALSE);
}

bool SendWithTimeout(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(w, msg, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

// ---- keys --------------------------------------------------------------------------

struct KeyChord {
    WORD modifier;  // 0, VK_SHIFT or VK_CONTROL
    WORD key;
};

KeyChord ChordOf(const std::string& name)
{
    if (name == "enter")
        return {0, VK_RETURN};
    if (name == "f12")
        return {0, VK_F12};
    if (name == "esc")
        return {0, VK_ESCAPE};
    if (name == "tab")
        return {0, VK_TAB};
    if (name == "shift+enter")
        return {VK_SHIFT, VK_RETURN};
    return {VK_CONTROL, VK_RETURN};
}

INPUT KeyInput(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// Keys go in as hardware input to the exporter's foreground window, so they pass its
// message loop (and its pre-translation hook) and the modifier is in its key state.
bool SendChord(HWND top, const KeyChord& chord, std::string& error)
{
    BringToFront(top);
    Pump(50);
    const DWORD self = GetCurrentThreadId();
    const DWORD other = GetWindowThreadProcessId(top, nullptr);
    AttachThreadInput(self, other, TRUE);
    HWND focus = GetFocus();
    HWND fg = GetForegroundWindow();
    AttachThreadInput(self, other, FALSE);
    if (!focus) {
        error = "no window of the exporter has the focus";
        return false;
    }
    DWORD fgPid = 0;
    GetWindowThreadProcessId(fg, &fgPid);
    if (fgPid != g_child.pi.dwProcessId) {
        error = "the exporter's window could not be brought to the foreground";
        return false;
    }
    std::vector<INPUT> inputs;
    if (chord.modifier)
        inputs.push_back(KeyInput(chord.modifier, false));
    inputs.push_back(KeyInput(chord.key, false));
    inputs.push_back(KeyInput(chord.key, true));
    if (chord.modifier)
        inputs.push_back(KeyInput(chord.modifier, true));
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) {
        error = "SendInput failed";
        return false;
    }
    Pump(100);
    return true;
}

// ---- screenshots --------------------------------------------------------------------

bool SaveScreenshot(const std::wstring& file, std::string& error)
{
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0) {
        error = "no screen";
        return false;
    }
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bmp != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(mem, bmp);
        ok = BitBlt(mem, 0, 0, w, h, screen, x, y, SRCCOPY | CAPTUREBLT) != 0;
        GdiFlush();
        SelectObject(mem, old);
    }
    std::vector<std::uint8_t> rgb;
    if (ok) {
        const auto* px = static_cast<const std::uint8_t*>(bits);
        rgb.resize(static_cast<std::size_t>(w) * h * 3);
        for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i) {
            rgb[i * 3 + 0] = px[i * 4 + 2];
            rgb[i * 3 + 1] = px[i * 4 + 1];
            rgb[i * 3 + 2] = px[i * 4 + 0];
        }
    }
    if (bmp)
        DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok) {
        error = "the screen could not be read";
        return false;
    }
    const std::vector<std::uint8_t> png = hostsim_tool::EncodePng(w, h, rgb);
    HANDLE f = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        error = "cannot create " + WideToUtf8(file);
        return false;
    }
    DWORD written = 0;
    ok = WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) && written == png.size();
    CloseHandle(f);
    if (!ok)
        error = "cannot write " + WideToUtf8(file);
    return ok;
}

// ---- steps -------------------------------------------------------------------------

const char* FormName(int form)
{
    return form == 1 ? "business" : form == 2 ? "other" : "real estate";
}

bool IsButtonControl(HWND control)
{
    wchar_t name[16] = {};
    return GetClassNameW(control, name, 16) > 0 && lstrcmpiW(name, L"Button") == 0;
}

bool RunStep(const Step& step, const Step* previous, const Options& opt, double timeout, std::string& error)
{
    switch (step.kind) {
    case StepKind::Form: {
        const int id = step.number == 1 ? kIdFormBusiness : step.number == 2 ? kIdFormOther : kIdFormRealEstate;
        HWND dlg = WaitForWindow(timeout, IsConditionsDialog);
        if (!dlg) {
            error = "no conditions dialog";
            return false;
        }
        HWND radio = GetDlgItem(dlg, id);
        if (!radio) {
            error = std::string("the dialog has no ") + FormName(step.number) + " radio button";
            return false;
        }
        if (!IsWindowEnabled(radio)) {
            // As for a person: clicking a disabled button does nothing.
            Err(std::string("note: the ") + FormName(step.number) + " radio button is disabled; the click does nothing");
            return true;
        }
        BringToFront(dlg);
        PostMessageW(radio, BM_CLICK, 0, 0);
        if (!WaitUntil(timeout, [&] {
                DWORD_PTR state = 0;
                SendMessageTimeoutW(radio, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
                return state == BST_CHECKED;
            })) {
            error = "the radio button did not become checked";
            return false;
        }
        return true;
    }
    case StepKind::Path: {
        HWND dlg = WaitForWindow(timeout, IsConditionsDialog);
        if (!dlg) {
            error = "no conditions dialog";
            return false;
        }
        const std::wstring text = Utf8ToWide(step.text);
        if (!SendWithTimeout(GetDlgItem(dlg, kIdPathBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) {
            error = "the path box did not take the text";
            return false;
        }
        return true;
    }
    case StepKind::Key: {
        HWND top = WaitForWindow(timeout, [](HWND w) { return IsDialog(w); });
        if (!top) {
            error = "no window of the exporter takes input";
            return false;
        }
        return SendChord(top, ChordOf(step.text), error);
    }
    case StepKind::Click: {
        HWND ctl = nullptr;
        HWND dlg = WaitForWindow(timeout, [&](HWND w) {
            ctl = FindControl(w, step.number);
            return ctl != nullptr;
        });
        if (!dlg || !ctl) {
            error = "no exporter window has the control " + std::to_string(step.number);
            return false;
        }
        if (!IsWindowEnabled(ctl)) {
            Err("note: the control " + std::to_string(step.number) + " is disabled; the click does nothing");
            return true;
        }
        BringToFront(dlg);
        // Posted, so that a message box the click opens does not block the simulator. A
        // button gets a real click (a radio button or check box changes its state, then
        // notifies its dialog); any other control only notifies its dialog.
        if (IsButtonControl(ctl))
            PostMessageW(ctl, BM_CLICK, 0, 0);
        else
            PostMessageW(GetParent(ctl), WM_COMMAND, MAKEWPARAM(step.number, BN_CLICKED), reinterpret_cast<LPARAM>(ctl));
        Pump(50);
        return true;
    }
    case StepKind::Answer: {
        // A box is shown once its text is set: found earlier, on a slow machine, it would
        // be answered before anyone could read it.
        HWND box = WaitForWindow(timeout, [](HWND w) { return IsMessageBox(w) && IsWindowVisible(w); });
        if (!box) {
            error = "no message box";
            return false;
        }
        HWND button = GetDlgItem(box, step.number);
        if (!button) {
            error = "the message box has no " + step.text + " button: " +
                    WideToUtf8(TextOf(GetDlgItem(box, kIdMessageText)));
            return false;
        }
        Err("answering " + step.text + " to: " + WideToUtf8(TextOf(GetDlgItem(box, kIdMessageText))));
        BringToFront(box);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(step.number, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        if (!WaitUntil(timeout, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) {
            error = "the message box did not close";
            return false;
        }
        return true;
    }
    case StepKind::BrowseAnswer: {
        HWND dlg = WaitForWindow(timeout, IsSaveDialog);
        if (!dlg) {
            error = "no save-file dialog";
            return false;
        }
        BringToFront(dlg);
        if (step.text == "cancel") {
            PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
        } else {
            HWND name = FindControl(dlg, kIdFileNameCombo);
            if (!name)
                name = FindControl(dlg, kIdFileNameEdit);
            const std::wstring text = Utf8ToWide(step.text);
            if (!SendWithTimeout(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) {
                error = "the file name box did not take the text";
                return false;
            }
            PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
        }
        if (!WaitUntil(timeout, [&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); })) {
            error = "the save-file dialog did not close";
            return false;
        }
        return true;
    }
    case StepKind::Screenshot: {
        if (opt.shots.empty()) {
            Err("screenshot " + step.text + " skipped: no --shots folder");
            return true;
        }
        // Let the windows finish painting, unless the step before waited for a window that
        // may not last long.
        if (!previous || previous->kind != StepKind::WaitWindow)
            Pump(300);
        std::wstring file = opt.shots;
        if (file.back() != L'\\' && file.back() != L'/')
            file += L'\\';
        file += Utf8ToWide(step.text) + L".png";
        RefreshHostLabel();
        std::string why;
        if (!SaveScreenshot(file, why)) {
            Err("screenshot " + step.text + " skipped: " + why);
            return true;
        }
        // What the picture shows of the host, for the case to check.
        Out("screenshot " + step.text + ": " + WideToUtf8(g_host.painted));
        return true;
    }
    case StepKind::WaitWindow: {
        const std::wstring prefix = Utf8ToWide(step.text);
        // Polled often: the window it waits for may be a short-lived one (the progress window).
        HWND w = WaitForWindow(
            timeout, [&](HWND h) { return TextOf(h).compare(0, prefix.size(), prefix) == 0; }, 2);
        if (!w) {
            error = "no exporter window whose caption starts with that text";
            return false;
        }
        return true;
    }
    case StepKind::Sleep:
        Pump(static_cast<DWORD>(step.number));
        return true;
    case StepKind::ExpectText:
    case StepKind::ExpectChecked:
    case StepKind::ExpectDisabled:
    case StepKind::ExpectEnabled: {
        HWND ctl = nullptr;
        HWND dlg = WaitForWindow(timeout, [&](HWND w) {
            ctl = FindControl(w, step.number);
            return ctl != nullptr;
        });
        if (!dlg || !ctl) {
            error = "no exporter window has the control " + std::to_string(step.number);
            return false;
        }
        Pump(50);
        if (step.kind == StepKind::ExpectText) {
            // Through the program's CP932 table, as the exporter itself reads its texts.
            const std::wstring wide = TextOf(ctl);
            const std::string shown = cp932::ToUtf8(cp932::FromUtf16(std::u16string(wide.begin(), wide.end())));
            if (shown != step.text) {
                error = "the control shows '" + shown + "'";
                return false;
            }
            return true;
        }
        if (step.kind == StepKind::ExpectChecked) {
            DWORD_PTR state = 0;
            SendMessageTimeoutW(ctl, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
            if (state != BST_CHECKED) {
                error = "the control is not checked";
                return false;
            }
            return true;
        }
        const bool enabled = IsWindowEnabled(ctl) != 0;
        if (enabled != (step.kind == StepKind::ExpectEnabled)) {
            error = enabled ? "the control is enabled" : "the control is disabled";
            return false;
        }
        return true;
    }
    case StepKind::WaitEnd:
        return true;  // handled by the caller
    }
    return true;
}

// ---- options -----------------------------------------------------------------------

// On stdout when asked for with --help, on stderr after a usage error.
void Usage(FILE* to)
{
    std::fputs(
        "usage: host-simulator --exporter PATH [--message N] [--function-id N] [--fixed-path P]\n"
        "                      [--launch-args TEXT | --no-launch] [--script FILE] [--timeout S]\n"
        "                      [--shots DIR] [--host-folder DIR]\n"
        "       host-simulator --help\n",
        to);
}

bool ParseNumber(const std::wstring& text, long long& value)
{
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    value = std::wcstoll(text.c_str(), &end, 0);
    return *end == L'\0';
}

bool ParseOptions(int argc, wchar_t** argv, Options& opt)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        auto value = [&](std::wstring& into) {
            if (i + 1 >= argc) {
                Err("option " + WideToUtf8(a) + " needs a value");
                return false;
            }
            into = argv[++i];
            return true;
        };
        std::wstring v;
        if (a == L"--help" || a == L"-h") {
            opt.help = true;
            return true;
        } else if (a == L"--exporter") {
            if (!value(opt.exporter))
                return false;
        } else if (a == L"--message") {
            if (!value(v) || !ParseNumber(v, opt.message))
                return false;
        } else if (a == L"--function-id") {
            if (!value(v) || !ParseNumber(v, opt.functionId))
                return false;
        } else if (a == L"--fixed-path") {
            if (!value(opt.fixedPath))
                return false;
        } else if (a == L"--launch-args") {
            if (!value(opt.launchArgs))
                return false;
            opt.haveLaunchArgs = true;
        } else if (a == L"--no-launch") {
            opt.noLaunch = true;
        } else if (a == L"--script") {
            if (!value(opt.script))
                return false;
        } else if (a == L"--timeout") {
            if (!value(v))
                return false;
            opt.timeoutSeconds = std::wcstod(v.c_str(), nullptr);
            if (opt.timeoutSeconds <= 0) {
                Err("--timeout needs a positive number of seconds");
                return false;
            }
        } else if (a == L"--shots") {
            if (!value(opt.shots))
                return false;
        } else if (a == L"--host-folder") {
            if (!value(opt.hostFolder))
                return false;
        } else {
            Err("unknown option " + WideToUtf8(a));
            return false;
        }
    }
    if (opt.exporter.empty()) {
        Err("--exporter is required");
        return false;
    }
    if (opt.noLaunch && opt.haveLaunchArgs) {
        Err("--no-launch and --launch-args exclude each other");
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(f);
    return true;
}

std::wstring FolderOf(const std::wstring& path)
{
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

bool StartExporter(const Options& opt, const std::wstring& tracePath)
{
    std::wstring cmd = L"\"" + opt.exporter + L"\"";
    if (opt.haveLaunchArgs) {
        cmd += L" " + opt.launchArgs;
    } else if (!opt.noLaunch) {
        cmd += L" " + std::to_wstring(reinterpret_cast<UINT_PTR>(g_host.window)) + L"," +
               std::to_wstring(opt.message) + L"," + std::to_wstring(opt.functionId) + L"," + opt.fixedPath;
    }
    Err("starting " + WideToUtf8(cmd));
    SetEnvironmentVariableW(L"LEDGRA_MSGBOX_TRACE", tracePath.c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(L'\0');
    // The host starts the exporter from its own folder, where its libraries lie; by
    // default the exporter's folder is current, where the build puts the stand-in's.
    const std::wstring folder = opt.hostFolder.empty() ? FolderOf(opt.exporter) : opt.hostFolder;
    if (!CreateProcessW(opt.exporter.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &g_child.pi)) {
        Err("cannot start " + WideToUtf8(opt.exporter) + " (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    return true;
}

std::wstring MakeTraceFile()
{
    wchar_t dir[MAX_PATH + 1] = {};
    wchar_t file[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, dir);
    if (!GetTempFileNameW(dir, L"lmb", 0, file))
        return {};
    return file;
}

void Report(const std::wstring& tracePath)
{
    if (g_host.posted) {
        Out("posted: message=" + std::to_string(g_host.message) +
            " wparam=" + std::to_string(static_cast<long long>(static_cast<INT_PTR>(g_host.wParam))) +
            " lparam=" + std::to_string(static_cast<long long>(g_host.lParam)));
    } else {
        Out("posted: none");
    }
    Out(std::string("host-disabled-during-run: ") + (g_host.disabledSeen ? "yes" : "no"));
    Out(std::string("host-enabled-after: ") + (IsWindowEnabled(g_host.window) ? "yes" : "no"));
    std::string trace;
    if (!tracePath.empty() && ReadWholeFile(tracePath, trace)) {
        std::size_t start = 0;
        while (start < trace.size()) {
            std::size_t end = trace.find('\n', start);
            if (end == std::string::npos)
                end = trace.size();
            const std::string line = trace.substr(start, end - start);
            start = end + 1;
            if (!line.empty() && line != "\r")
                Out(hostsim_tool::MessageBoxLine(line));
        }
    }
}

}  // namespace

int main()
{
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Options opt;
    if (!argv || !ParseOptions(argc, argv, opt)) {
        Usage(stderr);
        return kExitUsage;
    }
    if (opt.help) {
        Usage(stdout);
        return kExitEnded;
    }

    std::vector<Step> steps;
    if (!opt.script.empty()) {
        std::string text, error;
        if (!ReadWholeFile(opt.script, text)) {
            Err("cannot read the script " + WideToUtf8(opt.script));
            return kExitUsage;
        }
        if (!hostsim_tool::ParseScript(text, steps, error)) {
            Err("script " + error);
            return kExitUsage;
        }
    }
    // Without a script a person drives the windows, so there is no limit unless given.
    const double timeout = opt.timeoutSeconds > 0 ? opt.timeoutSeconds : (opt.script.empty() ? 0 : 60);

    g_host.message = static_cast<UINT>(opt.message);
    g_host.launched = !opt.noLaunch;
    if (!CreateHostWindow()) {
        Err("cannot create the host window");
        return kExitUsage;
    }
    Pump(100);

    const std::wstring tracePath = MakeTraceFile();
    if (!StartExporter(opt, tracePath))
        return kExitUsage;

    int exitCode = kExitEnded;
    const Step* previous = nullptr;
    std::size_t next = 0;
    // Runs the steps up to wait-end, or after it; false when one fails.
    auto runSteps = [&](bool afterEnd) {
        for (; next < steps.size(); ++next) {
            const Step& step = steps[next];
            if (step.kind == StepKind::WaitEnd && !afterEnd) {
                ++next;
                return true;
            }
            std::string error;
            const bool done = RunStep(step, previous, opt, timeout, error);
            previous = &step;
            if (!done) {
                Err("step failed at script line " + std::to_string(step.line) + ": " + step.source + ": " + error);
                for (HWND w : ChildTopWindows())
                    Err("  exporter window: class " + WideToUtf8(ClassOf(w)) + ", caption '" + WideToUtf8(TextOf(w)) +
                        "'" + (IsWindowEnabled(w) ? "" : ", disabled"));
                exitCode = kExitStepFailed;
                return false;
            }
        }
        return true;
    };
    runSteps(false);

    if (exitCode == kExitEnded) {
        if (timeout > 0) {
            if (!WaitUntil(timeout, [] { return !ChildRunning(); })) {
                Err("timeout: the exporter did not end within " + std::to_string(timeout) + " s");
                exitCode = kExitTimeout;
            }
        } else {
            while (ChildRunning())
                Pump(200);
        }
    }
    if (ChildRunning()) {
        TerminateProcess(g_child.pi.hProcess, 1);
        WaitForSingleObject(g_child.pi.hProcess, 5000);
        g_child.ended = true;
    } else {
        DWORD code = 0;
        GetExitCodeProcess(g_child.pi.hProcess, &code);
        Err("the exporter ended with exit code " + std::to_string(code));
    }
    // The completion message was posted just before the exporter ended.
    Pump(200);
    // Steps after wait-end see the host once the exporter has ended (a screenshot).
    if (exitCode == kExitEnded)
        runSteps(true);
    Report(tracePath);

    CloseHandle(g_child.pi.hThread);
    CloseHandle(g_child.pi.hProcess);
    if (!tracePath.empty())
        DeleteFileW(tracePath.c_str());
    DestroyWindow(g_host.window);
    LocalFree(argv);
    return exitCode;
}
