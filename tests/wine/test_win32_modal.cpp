// The modal dialog with our own loop, on a real template: key-downs reach the
// handler before the dialog manager, Esc and the close box become command 2, the
// owner is disabled while it runs, and the byte limit of an edit box holds.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/win32_services.h"
#include "test_dialogs.h"
#include "tests/fakes/byte_text.h"

namespace {

using fakes::HexBytes;

using Record = std::vector<std::string>;

std::string Describe(const Record& record)
{
    std::string out;
    for (const std::string& line : record) out += "  " + line + "\n";
    return out;
}

// A handler whose hooks are set by each test; it records what reached it.
class ScriptedHandler : public platform::IDialogHandler {
public:
    std::function<void(platform::IDialogView&)> onInit;
    std::function<bool(platform::IDialogView&, int, int)> onKey;
    std::function<void(platform::IDialogView&, int)> onCommand;
    Record record;

    void OnInitDialog(platform::IDialogView& view) override
    {
        record.push_back("init");
        if (onInit) onInit(view);
    }
    void OnCommand(platform::IDialogView& view, int id) override
    {
        record.push_back("command " + std::to_string(id));
        if (onCommand) onCommand(view, id);
    }
    bool PreTranslateKey(platform::IDialogView& view, int virtualKey, int focusId) override
    {
        record.push_back("key " + std::to_string(virtualKey) + " on " + std::to_string(focusId));
        return onKey ? onKey(view, virtualKey, focusId) : false;
    }
};

void PostKey(HWND dialog, int controlId, int virtualKey)
{
    ::PostMessageW(::GetDlgItem(dialog, controlId), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
}

class Win32ModalTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
    int Run(HWND parent = nullptr) { return ui.RunModal(IDD_TEST_MODAL, parent, handler); }

    platform::win32::Win32Ui ui;
    ScriptedHandler handler;
};

TEST_F(Win32ModalTest, F12ReachesTheHandlerFirstAndEscBecomesCommand2)
{
    handler.onInit = [](platform::IDialogView& view) { PostKey(view.Handle(), IDC_TEST_EDIT, VK_F12); };
    handler.onKey = [](platform::IDialogView& view, int key, int) {
        if (key != VK_F12) return false;
        PostKey(view.Handle(), IDC_TEST_BUTTON, VK_ESCAPE);
        return true;
    };
    handler.onCommand = [](platform::IDialogView& view, int id) {
        if (id == IDCANCEL) view.End(1014);
    };
    EXPECT_EQ(Run(), 1014);
    const Record expected = {"init", "key 123 on 901", "key 27 on 902", "command 2"};
    EXPECT_EQ(handler.record, expected) << Describe(handler.record);
}

struct EnterCase {
    const char* name;
    bool consumeEnter;
    Record expected;
};

std::ostream& operator<<(std::ostream& out, const EnterCase& c) { return out << c.name; }

class Win32ModalEnter : public Win32ModalTest, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(Win32ModalEnter, AConsumedKeyNeverReachesTheDialogManager)
{
    const bool consume = GetParam().consumeEnter;
    handler.onInit = [](platform::IDialogView& view) {
        PostKey(view.Handle(), IDC_TEST_EDIT, VK_RETURN);
        PostKey(view.Handle(), IDC_TEST_EDIT, VK_ESCAPE);
    };
    handler.onKey = [consume](platform::IDialogView&, int key, int) { return key == VK_RETURN && consume; };
    handler.onCommand = [](platform::IDialogView& view, int id) {
        if (id == IDCANCEL) view.End(id);
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(handler.record, GetParam().expected) << GetParam().name << "\n" << Describe(handler.record);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win32ModalEnter,
    ::testing::Values(EnterCase{"consumed", true, {"init", "key 13 on 901", "key 27 on 901", "command 2"}},
                      // Passed on, Enter becomes the dialog manager's command 1.
                      EnterCase{"passed on", false,
                                {"init", "key 13 on 901", "command 1", "key 27 on 901", "command 2"}}));

TEST_F(Win32ModalTest, CloseBoxBecomesCommand2)
{
    handler.onInit = [](platform::IDialogView& view) { ::PostMessageW(view.Handle(), WM_CLOSE, 0, 0); };
    handler.onCommand = [](platform::IDialogView& view, int id) { view.End(id == IDCANCEL ? 77 : -5); };
    EXPECT_EQ(Run(), 77);
    const Record expected = {"init", "command 2"};
    EXPECT_EQ(handler.record, expected) << Describe(handler.record);
}

TEST_F(Win32ModalTest, EndDuringInitialisationReturnsWithoutWaiting)
{
    HWND seen = nullptr;
    handler.onInit = [&seen](platform::IDialogView& view) {
        seen = view.Handle();
        view.End(1014);
    };
    EXPECT_EQ(Run(), 1014);
    EXPECT_TRUE(seen != nullptr);
    EXPECT_FALSE(::IsWindow(seen));  // destroyed before RunModal returns
}

TEST_F(Win32ModalTest, OwnerIsDisabledWhileTheDialogRuns)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(owner);
    bool enabledDuringRun = true;
    HWND dialog = nullptr;
    handler.onInit = [&dialog](platform::IDialogView& view) {
        dialog = view.Handle();
        PostKey(view.Handle(), IDC_TEST_BUTTON, VK_ESCAPE);
    };
    handler.onCommand = [&](platform::IDialogView& view, int id) {
        enabledDuringRun = ::IsWindowEnabled(owner) != FALSE;
        EXPECT_EQ(::GetWindow(view.Handle(), GW_OWNER), owner);
        view.End(id);
    };
    EXPECT_EQ(Run(owner), IDCANCEL);
    EXPECT_FALSE(enabledDuringRun);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

TEST_F(Win32ModalTest, AnAlreadyDisabledOwnerStaysDisabled)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(owner);
    ::EnableWindow(owner, FALSE);  // as the run does with the host window
    handler.onInit = [](platform::IDialogView& view) { view.End(1013); };
    EXPECT_EQ(Run(owner), 1013);
    EXPECT_FALSE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

POINT CentreOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

TEST_F(Win32ModalTest, OpensCentredOnTheScreenWithoutOwner)
{
    RECT dialog = {};
    handler.onInit = [](platform::IDialogView& view) { PostKey(view.Handle(), IDC_TEST_BUTTON, VK_ESCAPE); };
    handler.onCommand = [&dialog](platform::IDialogView& view, int id) {
        ::GetWindowRect(view.Handle(), &dialog);
        view.End(id);
    };
    ASSERT_EQ(Run(), IDCANCEL);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const POINT expected = CentreOf(monitor.rcWork);
    const POINT actual = CentreOf(dialog);
    EXPECT_NEAR(actual.x, expected.x, 1);
    EXPECT_NEAR(actual.y, expected.y, 1);
}

TEST_F(Win32ModalTest, OpensCentredOverAVisibleOwner)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60, 640, 480,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(owner);
    RECT ownerRect = {};
    ::GetWindowRect(owner, &ownerRect);
    RECT dialog = {};
    handler.onInit = [](platform::IDialogView& view) { PostKey(view.Handle(), IDC_TEST_BUTTON, VK_ESCAPE); };
    handler.onCommand = [&dialog](platform::IDialogView& view, int id) {
        ::GetWindowRect(view.Handle(), &dialog);
        view.End(id);
    };
    ASSERT_EQ(Run(owner), IDCANCEL);
    ::DestroyWindow(owner);
    const POINT expected = CentreOf(ownerRect);
    const POINT actual = CentreOf(dialog);
    EXPECT_NEAR(actual.x, expected.x, 1);
    EXPECT_NEAR(actual.y, expected.y, 1);
}

TEST_F(Win32ModalTest, ControlsRoundTripThroughTheView)
{
    struct Seen {
        std::string text;
        bool checkedAfterSet = false;
        bool checkedAfterClear = true;
        bool enabledAfterDisable = true;
        int focus = -1;
    } seen;
    handler.onInit = [](platform::IDialogView& view) {
        view.SetItemText(IDC_TEST_EDIT, "C:\\\x95\x5C\\所得税.xml");
        view.SetFocus(IDC_TEST_BUTTON);
        PostKey(view.Handle(), IDC_TEST_BUTTON, VK_ESCAPE);
    };
    handler.onCommand = [&seen](platform::IDialogView& view, int id) {
        seen.text = view.GetItemText(IDC_TEST_EDIT);
        view.SetCheck(IDC_TEST_RADIO, true);
        seen.checkedAfterSet = view.IsChecked(IDC_TEST_RADIO);
        view.SetCheck(IDC_TEST_RADIO, false);
        seen.checkedAfterClear = view.IsChecked(IDC_TEST_RADIO);
        view.EnableItem(IDC_TEST_RADIO, false);
        seen.enabledAfterDisable = view.IsItemEnabled(IDC_TEST_RADIO);
        seen.focus = view.GetFocusId();
        view.End(id);
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(seen.text, "C:\\\x95\x5C\\所得税.xml");
    EXPECT_TRUE(seen.checkedAfterSet);
    EXPECT_FALSE(seen.checkedAfterClear);
    EXPECT_FALSE(seen.enabledAfterDisable);
    EXPECT_EQ(seen.focus, IDC_TEST_BUTTON);  // the handler's focus survives initialisation
}

struct LimitCase {
    const char* name;
    const char* initial;   // set by the program, CP932
    const wchar_t* typed;  // typed characters
    const char* expected;  // CP932
};

std::ostream& operator<<(std::ostream& out, const LimitCase& c) { return out << c.name; }

class Win32ModalByteLimit : public Win32ModalTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(Win32ModalByteLimit, TypedTextStaysWithinTheByteLimit)
{
    const LimitCase& c = GetParam();
    std::string text;
    handler.onInit = [&c](platform::IDialogView& view) {
        view.LimitText(IDC_TEST_EDIT, 10);
        view.SetItemText(IDC_TEST_EDIT, c.initial);
        HWND edit = ::GetDlgItem(view.Handle(), IDC_TEST_EDIT);
        ::PostMessageW(edit, EM_SETSEL, 0x7FFF, 0x7FFF);
        for (const wchar_t* p = c.typed; *p; ++p) ::PostMessageW(edit, WM_CHAR, *p, 1);
        PostKey(view.Handle(), IDC_TEST_BUTTON, VK_ESCAPE);
    };
    handler.onCommand = [&text](platform::IDialogView& view, int id) {
        text = view.GetItemText(IDC_TEST_EDIT);
        view.End(id);
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(HexBytes(text), HexBytes(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win32ModalByteLimit,
    ::testing::Values(LimitCase{"single-byte", "", L"abcdefghijkl", "abcdefghij"},
                      // Six characters are twelve bytes: the sixth is refused.
                      LimitCase{"double-byte", "", L"\u8868\u8868\u8868\u8868\u8868\u8868", "表表表表表"},
                      LimitCase{"mixed, no half character", "abc", L"\u8868\u8868\u8868\u8868", "abc表表表"},
                      // The program may set a longer text; typing cannot make it longer still.
                      LimitCase{"longer text set by the program", "所得税所得税", L"a", "所得税所得税"},
                      LimitCase{"deleting from a longer text", "所得税所得税", L"\b", "所得税所得"},
                      // A surrogate pair is one character that code page 932 lacks: one "?",
                      // which the path check then refuses.
                      LimitCase{"a character outside the basic plane", "abc", L"\xD83D\xDE00x", "abc?x"}));

// WM_SETTEXT from anywhere (another process's automation included) replaces the text as
// a whole, as the control's own limit allows; only typing is held to the byte limit.
TEST_F(Win32ModalTest, TextSetFromOutsideIsKeptWholeAndTypingCannotLengthenIt)
{
    std::string text;
    handler.onInit = [](platform::IDialogView& view) {
        view.LimitText(IDC_TEST_EDIT, 10);
        HWND edit = ::GetDlgItem(view.Handle(), IDC_TEST_EDIT);
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\longer\\than\\ten.xml"));
        ::PostMessageW(edit, EM_SETSEL, 0x7FFF, 0x7FFF);
        ::PostMessageW(edit, WM_CHAR, L'x', 1);
        PostKey(view.Handle(), IDC_TEST_BUTTON, VK_ESCAPE);
    };
    handler.onCommand = [&text](platform::IDialogView& view, int id) {
        text = view.GetItemText(IDC_TEST_EDIT);
        view.End(id);
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(text, "C:\\longer\\than\\ten.xml");
}

TEST_F(Win32ModalTest, AThrowingHandlerEndsTheDialogWithMinusOne)
{
    handler.onInit = [](platform::IDialogView& view) { PostKey(view.Handle(), IDC_TEST_EDIT, VK_ESCAPE); };
    handler.onCommand = [](platform::IDialogView&, int) { throw std::runtime_error("handler failed"); };
    EXPECT_EQ(Run(), -1);
}

TEST_F(Win32ModalTest, AThrowingKeyHookEndsTheDialogWithMinusOne)
{
    handler.onInit = [](platform::IDialogView& view) { PostKey(view.Handle(), IDC_TEST_EDIT, VK_F12); };
    handler.onKey = [](platform::IDialogView&, int, int) -> bool { throw std::runtime_error("key hook failed"); };
    EXPECT_EQ(Run(), -1);
}

TEST_F(Win32ModalTest, AMissingTemplateFails)
{
    EXPECT_EQ(ui.RunModal(4242, nullptr, handler), -1);
    EXPECT_TRUE(handler.record.empty());
}

}  // namespace
