// A tiny stand-in exporter for testing the host simulator itself: it reads the host's
// launch arguments, disables the host window, shows a dialog with the conditions
// dialog's control ids, records in fake.log (its own folder) every key it sees with the
// modifier state its message loop reads, every command and the final choices, shows
// message boxes through the trace, and at the end re-enables the host window and posts
// the completion message. Commands: 1013 run, 1014 cancel, 1017 save-file dialog,
// 1020 a Yes/No question. Keys: F12 runs, Enter is only logged, the rest goes to the
// dialog manager (Esc cancels).
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

FILE* g_log = nullptr;
bool g_done = false;
bool g_run = false;
HWND g_host = nullptr;

void Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(g_log, format, args);
    va_end(args);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

std::string Utf8(const std::wstring& w)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(static_cast<std::size_t>(n > 0 ? n - 1 : 0));
    return s;
}

// The same trace the exporters write: "0xTT <UTF-8 text, newline as \n>".
int Box(HWND owner, const wchar_t* text, UINT type)
{
    wchar_t trace[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"LEDGRA_MSGBOX_TRACE", trace, MAX_PATH)) {
        if (FILE* f = _wfopen(trace, L"ab")) {
            std::fprintf(f, "0x%02x ", type);
            for (char c : Utf8(text)) {
                if (c == '\n')
                    std::fputs("\\n", f);
                else
                    std::fputc(c, f);
            }
            std::fputc('\n', f);
            std::fclose(f);
        }
    }
    return MessageBoxW(owner, text, L"\u6240\u5f97\u7a0e", type);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED)
        Log("command %d", id);
    switch (id) {
    case 1013:
        g_run = g_done = true;
        break;
    case 1014:
    case IDCANCEL:
        g_done = true;
        break;
    case 1017: {
        wchar_t file[MAX_PATH] = L"start.xml";
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = dlg;
        ofn.lpstrFilter = L"Xml Files (*.xml)\0*.xml\0";
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrDefExt = L"XML";
        ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (GetSaveFileNameW(&ofn)) {
            Log("browse chose %s", Utf8(file).c_str());
            SetDlgItemTextW(dlg, 1016, file);
        } else {
            Log("browse cancelled");
        }
        break;
    }
    case 1020:
        Log("question answered %d", Box(dlg, L"\u8868 question?\nsecond line", MB_ICONQUESTION | MB_YESNO));
        break;
    default:
        break;
    }
    return TRUE;
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR cmdLine, int)
{
    g_log = std::fopen("fake.log", "w");
    if (!g_log)
        return 1;
    Log("arguments [%s]", Utf8(cmdLine).c_str());
    unsigned long long window = 0;
    unsigned message = 0;
    int functionId = 0;
    if (swscanf(cmdLine, L"%llu,%u,%d,", &window, &message, &functionId) == 3)
        g_host = reinterpret_cast<HWND>(static_cast<UINT_PTR>(window));
    if (g_host)
        EnableWindow(g_host, FALSE);

    HWND dlg = CreateWindowExW(WS_EX_DLGMODALFRAME, L"#32770", L"fake conditions",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 120, 140, 420, 220, g_host,
                               nullptr, nullptr, nullptr);
    SetWindowLongPtrW(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DialogProc));
    Child(dlg, L"BUTTON", L"business", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 10, 120, 20, 1010);
    Child(dlg, L"BUTTON", L"other", BS_AUTORADIOBUTTON, 10, 30, 120, 20, 1012);
    Child(dlg, L"BUTTON", L"real estate", BS_AUTORADIOBUTTON | WS_DISABLED, 10, 50, 120, 20, 1011);
    HWND edit = Child(dlg, L"EDIT", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 80, 300, 22, 1016);
    Child(dlg, L"BUTTON", L"browse", WS_TABSTOP, 320, 80, 80, 22, 1017);
    Child(dlg, L"BUTTON", L"run", WS_TABSTOP | WS_GROUP, 10, 150, 80, 25, 1013);
    Child(dlg, L"BUTTON", L"cancel", WS_TABSTOP | WS_GROUP, 100, 150, 80, 25, 1014);
    Child(dlg, L"BUTTON", L"ask", WS_TABSTOP, 190, 150, 80, 25, 1020);
    SendDlgItemMessageW(dlg, 1010, BM_SETCHECK, BST_CHECKED, 0);
    SetFocus(edit);

    MSG m;
    while (!g_done && GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (m.message == WM_KEYDOWN) {
            const bool shift = GetKeyState(VK_SHIFT) < 0;
            const bool ctrl = GetKeyState(VK_CONTROL) < 0;
            Log("key %d shift %d ctrl %d", static_cast<int>(m.wParam), shift, ctrl);
            if (m.wParam == VK_F12) {
                g_run = g_done = true;
                continue;
            }
            if (m.wParam == VK_RETURN)
                continue;  // seen and logged; the dialog manager would click the focused button
        }
        if (!IsDialogMessageW(dlg, &m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
    int form = 0;
    for (int id : {1010, 1011, 1012})
        if (SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED)
            form = id;
    wchar_t path[MAX_PATH] = {};
    GetWindowTextW(edit, path, MAX_PATH);
    Log("end run %d form %d path %s", g_run, form, Utf8(path).c_str());
    DestroyWindow(dlg);

    if (g_run) {
        HWND progress = CreateWindowExW(WS_EX_TOPMOST, L"#32770", L"\u96c6\u8a08\u4e2d 10\uff05",
                                        WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 200, 300, 80, nullptr, nullptr,
                                        nullptr, nullptr);
        for (int i = 0; i < 20; ++i) {
            UpdateWindow(progress);
            Sleep(50);
        }
        DestroyWindow(progress);
        Box(g_host, L"done\n\nend", MB_ICONINFORMATION | MB_OK);
    }
    if (g_host) {
        SetForegroundWindow(g_host);
        EnableWindow(g_host, TRUE);
        PostMessageW(g_host, message, static_cast<WPARAM>(static_cast<INT_PTR>(static_cast<short>(functionId))),
                     g_run ? 0 : 1);
    }
    std::fclose(g_log);
    return 0;
}
