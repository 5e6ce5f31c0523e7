// The real progress window from template 131: its layout, caption texts in CP932 and
// the bar positions after the PBM_ messages, read back with PBM_GETPOS.
#include "platform/win32/win32_api.h"

#include <uxtheme.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/progress/progress_dlg.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"
#include "resources/resource.h"
#include "tests/fakes/byte_text.h"

namespace {

using fakes::HexBytes;

using platform::win32::Win32ProgressView;

const int kOverall = IDC_PROGRESS_OVERALL;
const int kActivity = IDC_PROGRESS_ACTIVITY;

std::wstring WindowText(HWND wnd)
{
    wchar_t buffer[256] = {};
    ::GetWindowTextW(wnd, buffer, 256);
    return buffer;
}

int BarPos(HWND dialog, int id) { return static_cast<int>(::SendMessageW(::GetDlgItem(dialog, id), PBM_GETPOS, 0, 0)); }

class Win32ProgressTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
        platform::win32::InstallServices();
    }
    void SetUp() override { ASSERT_TRUE(view.Create()); }

    Win32ProgressView view;
};

// The dialog template as the resource compiler wrote it (DLGTEMPLATE, not extended).
struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    std::wstring className;
};
struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring font;
    std::vector<TemplateItem> items;
};

std::wstring ReadNameOrOrdinal(const WORD*& p)
{
    if (*p == 0xFFFF) {
        std::wstring ordinal = L"#" + std::to_wstring(p[1]);
        p += 2;
        return ordinal;
    }
    std::wstring text;
    while (*p) text += static_cast<wchar_t>(*p++);
    ++p;
    return text;
}

bool LoadDialogTemplate(int id, DialogTemplate* out)
{
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (!found) return false;
    const auto* base = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
    if (!base) return false;
    const auto* header = reinterpret_cast<const DLGTEMPLATE*>(base);
    out->style = header->style;
    out->cx = header->cx;
    out->cy = header->cy;
    const WORD* p = reinterpret_cast<const WORD*>(header + 1);
    ReadNameOrOrdinal(p);  // menu
    ReadNameOrOrdinal(p);  // class
    out->caption = ReadNameOrOrdinal(p);
    if (out->style & DS_SETFONT) {
        out->pointSize = *p++;
        out->font = ReadNameOrOrdinal(p);
    }
    for (WORD i = 0; i < header->cdit; ++i) {
        const std::size_t offset = reinterpret_cast<const BYTE*>(p) - base;
        p = reinterpret_cast<const WORD*>(base + ((offset + 3) & ~std::size_t(3)));
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        TemplateItem read;
        read.style = item->style;
        read.exStyle = item->dwExtendedStyle;
        read.x = item->x;
        read.y = item->y;
        read.cx = item->cx;
        read.cy = item->cy;
        read.id = item->id;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(item) + 18);
        read.className = ReadNameOrOrdinal(p);
        ReadNameOrOrdinal(p);  // title
        const WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        out->items.push_back(read);
    }
    return true;
}

TEST(ProgressTemplate, IsTheSmallSystemModalWindowWithTwoBars)
{
    DialogTemplate t;
    ASSERT_TRUE(LoadDialogTemplate(131, &t));
    EXPECT_EQ(t.style, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | DS_SYSMODAL | WS_POPUP | WS_CAPTION));
    EXPECT_EQ(t.cx, 221);
    EXPECT_EQ(t.cy, 45);
    EXPECT_EQ(t.caption, L"\u96C6\u8A08\u4E2D");                            // 集計中
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_EQ(t.font, L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");  // ＭＳ Ｐゴシック
    ASSERT_EQ(t.items.size(), 2u);
    const DWORD bar = WS_CHILD | WS_VISIBLE | WS_BORDER;
    const struct {
        WORD id;
        DWORD style;
        short x, y, cx, cy;
    } expected[] = {{1018, bar | PBS_SMOOTH, 5, 6, 211, 22}, {1019, bar, 5, 29, 211, 10}};
    for (int i = 0; i < 2; ++i) {
        const TemplateItem& item = t.items[i];
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.style, expected[i].style) << item.id;
        EXPECT_EQ(item.exStyle, static_cast<DWORD>(WS_EX_STATICEDGE)) << item.id;
        // Class names are case-insensitive; the resource compiler writes them in capitals.
        EXPECT_EQ(::_wcsicmp(item.className.c_str(), L"msctls_progress32"), 0) << item.id;
        EXPECT_EQ(item.x, expected[i].x) << item.id;
        EXPECT_EQ(item.y, expected[i].y) << item.id;
        EXPECT_EQ(item.cx, expected[i].cx) << item.id;
        EXPECT_EQ(item.cy, expected[i].cy) << item.id;
    }
}

TEST_F(Win32ProgressTest, CreatesAHiddenTopmostWindowWithoutSystemMenu)
{
    HWND wnd = view.Handle();
    ASSERT_TRUE(::IsWindow(wnd));
    EXPECT_FALSE(::IsWindowVisible(wnd));
    EXPECT_EQ(WindowText(wnd), L"\u96C6\u8A08\u4E2D");  // 集計中
    const LONG style = ::GetWindowLongW(wnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_TRUE(::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // 221 x 45 dialog units of client area.
    RECT units = {0, 0, 221, 45};
    ASSERT_TRUE(::MapDialogRect(wnd, &units));
    RECT client;
    ::GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    struct Bar {
        int id;
        RECT unitsRect;
        bool smooth;
    } bars[] = {{kOverall, {5, 6, 5 + 211, 6 + 22}, true}, {kActivity, {5, 29, 5 + 211, 29 + 10}, false}};
    for (const Bar& bar : bars) {
        HWND control = ::GetDlgItem(wnd, bar.id);
        ASSERT_TRUE(control) << bar.id;
        wchar_t className[64] = {};
        ::GetClassNameW(control, className, 64);
        EXPECT_EQ(std::wstring(className), std::wstring(PROGRESS_CLASSW)) << bar.id;
        const LONG controlStyle = ::GetWindowLongW(control, GWL_STYLE);
        EXPECT_EQ((controlStyle & PBS_SMOOTH) != 0, bar.smooth) << bar.id;
        EXPECT_TRUE(controlStyle & WS_VISIBLE) << bar.id;
        RECT expected = bar.unitsRect;
        ::MapDialogRect(wnd, &expected);
        RECT actual;
        ::GetWindowRect(control, &actual);
        ::MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left) << bar.id;
        EXPECT_EQ(actual.top, expected.top) << bar.id;
        EXPECT_EQ(actual.right - actual.left, expected.right - expected.left) << bar.id;
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom - expected.top) << bar.id;
    }
}

TEST_F(Win32ProgressTest, BothBarsOfTheRunDrawWithoutTheDesktopTheme)
{
    // A bar left to the theme glides behind its position and loses the segmented look.
    if (::IsThemeActive()) {
        EXPECT_NE(nullptr, ::GetWindowTheme(::GetDlgItem(view.Handle(), kActivity)));
    }
    ClProgressDlg dlg;
    ASSERT_TRUE(dlg.Create());
    for (int id : {kOverall, kActivity}) {
        HWND bar = ::GetDlgItem(dlg.Handle(), id);
        EXPECT_EQ(nullptr, ::GetWindowTheme(bar)) << id;
        // Unthemed, each shows its extent: a thin edge that the frame leaves room for.
        EXPECT_TRUE(::GetWindowLongW(bar, GWL_EXSTYLE) & WS_EX_STATICEDGE) << id;
        RECT window, client;
        ::GetWindowRect(bar, &window);
        ::GetClientRect(bar, &client);
        EXPECT_LT(client.right, window.right - window.left) << id;
        EXPECT_LT(client.bottom, window.bottom - window.top) << id;
    }
}

TEST_F(Win32ProgressTest, CaptionRoundTripsInCp932)
{
    const std::string caption = "集計中 45％";
    view.SetCaption(caption);
    EXPECT_EQ(WindowText(view.Handle()), L"\u96C6\u8A08\u4E2D 45\uFF05");
    wchar_t wide[64] = {};
    ::GetWindowTextW(view.Handle(), wide, 64);
    EXPECT_EQ(HexBytes(platform::win32::FromWide(wide)), HexBytes(caption));
}

TEST_F(Win32ProgressTest, BarsMoveByDeltaAndStopAtTheirRange)
{
    HWND wnd = view.Handle();
    view.SetRange(kOverall, 0, 1000);
    view.SetStep(kOverall, 1);
    view.SetPos(kOverall, 0);
    for (int i = 0; i < 201; ++i) view.DeltaPos(kOverall, 1);
    EXPECT_EQ(BarPos(wnd, kOverall), 201);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(wnd, kOverall), PBM_GETRANGE, FALSE, 0), 1000);
    view.SetPos(kOverall, 995);
    for (int i = 0; i < 10; ++i) view.DeltaPos(kOverall, 1);
    EXPECT_EQ(BarPos(wnd, kOverall), 1000);

    view.SetRange(kActivity, 0, 5);
    view.SetPos(kActivity, 0);
    const int expected[] = {1, 2, 3, 4, 5, 5};
    for (int step : expected) {
        view.DeltaPos(kActivity, 1);
        EXPECT_EQ(BarPos(wnd, kActivity), step);
    }
}

TEST_F(Win32ProgressTest, ShowEndAndDestroy)
{
    HWND wnd = view.Handle();
    view.Show();
    EXPECT_TRUE(::IsWindowVisible(wnd));
    view.BringToTop();
    view.Update();
    view.End(1);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    EXPECT_EQ(view.Result(), 1);
    EXPECT_TRUE(::IsWindow(wnd));
    view.Destroy();
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(view.Handle(), nullptr);
}

TEST_F(Win32ProgressTest, ReparentingKeepsTheControls)
{
    HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(host);
    view.SetParent(host);
    EXPECT_EQ(::GetAncestor(view.Handle(), GA_PARENT), host);
    view.SetPos(kOverall, 7);
    EXPECT_EQ(BarPos(view.Handle(), kOverall), 7);
    view.Destroy();
    ::DestroyWindow(host);
}

TEST(Win32ProgressDialog, ProgressLogicDrivesTheRealWindow)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    platform::win32::InstallServices();
    ClProgressDlg progress;
    ASSERT_TRUE(progress.Create());
    HWND wnd = progress.Handle();
    ASSERT_TRUE(::IsWindow(wnd));
    progress.Show();
    progress.ResetOverall();
    progress.Advance(100, 300);
    EXPECT_EQ(WindowText(wnd), L"\u96C6\u8A08\u4E2D 30\uFF05");
    EXPECT_EQ(BarPos(wnd, kActivity), 5);
    const int afterFirst = BarPos(wnd, kOverall);
    progress.Advance(300, 1000);
    EXPECT_EQ(WindowText(wnd), L"\u96C6\u8A08\u4E2D 100\uFF05");
    EXPECT_GT(BarPos(wnd, kOverall), afterFirst);
    EXPECT_EQ(BarPos(wnd, kOverall), 1000);  // full when the caption says 100 percent
    progress.Finish();
    EXPECT_FALSE(::IsWindowVisible(wnd));
    progress.Destroy();
    EXPECT_FALSE(::IsWindow(wnd));
}

}  // namespace
