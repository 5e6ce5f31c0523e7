// Texts at the Win32 edge: the command line after the program name, the save-file
// filter list, the message-box trace, and the CP932 conversions with cuts.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/cp932.h"
#include "common/cp932_cut.h"
#include "platform/win32/command_line.h"
#include "platform/win32/message_box.h"
#include "platform/win32/save_file_dialog.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace {

struct CommandLineCase {
    const wchar_t* line;
    const wchar_t* arguments;
};

class ArgumentsAfterProgramName : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ArgumentsAfterProgramName, AsTheRuntimeSplitsIt)
{
    EXPECT_EQ(platform::win32::ArgumentsAfterProgramName(GetParam().line), std::wstring(GetParam().arguments));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArgumentsAfterProgramName,
    ::testing::Values(CommandLineCase{L"LedgraProExport.exe 65800,32769,1,C:\\out\\a.xml", L"65800,32769,1,C:\\out\\a.xml"},
                      CommandLineCase{L"\"C:\\Program Files\\Ledgra\\LedgraProExport.exe\" 65800,32769,1,",
                                      L"65800,32769,1,"},
                      CommandLineCase{L"\"C:\\Program Files\\Ledgra\\LedgraProExport.exe\"", L""},
                      CommandLineCase{L"prog.exe", L""},
                      CommandLineCase{L"prog.exe \t  1,2,3,C:\\a b.xml  ", L"1,2,3,C:\\a b.xml  "},
                      CommandLineCase{L"\"C:\\a b\\prog.exe\"x y", L"y"},
                      CommandLineCase{L"", L""}));

TEST(CommandLine, NullLineGivesNothing) { EXPECT_EQ(platform::win32::ArgumentsAfterProgramName(nullptr), L""); }

TEST(SaveFileFilter, BarsBecomeNulsAfterConversion)
{
    using platform::win32::FilterForDialog;
    const std::wstring xml = FilterForDialog("Xml Files (*.xml)|*.xml||");
    EXPECT_EQ(xml, std::wstring(L"Xml Files (*.xml)\0*.xml\0\0\0\0", 27));
    // ポ is 83 7C: its second byte is the code of "|" and must stay part of the character.
    const std::wstring kana = FilterForDialog("\x83\x7C|*.xml||");
    EXPECT_EQ(kana, std::wstring(L"\u30DD\0*.xml\0\0\0\0", 11));
}

TEST(MessageBoxTrace, TypeInHexAndNewlinesEscapedInUtf8)
{
    using platform::win32::MessageBoxTraceLine;
    EXPECT_EQ(MessageBoxTraceLine("所得税情報の出力が終了しました。\n\nアプリケーションを終了します。", 0x40),
              u8"0x40 所得税情報の出力が終了しました。\\n\\nアプリケーションを終了します。\n");
    EXPECT_EQ(MessageBoxTraceLine("a", 0x24), "0x24 a\n");
    EXPECT_EQ(MessageBoxTraceLine("", 0x30), "0x30 \n");
}

// The trace line must be in the file before the box appears: a timer that fires inside
// the box's own loop reads the file and closes the box.
struct TraceProbe {
    std::wstring traceFile;
    std::string seenWhileShown;
    bool closed = false;
} g_probe;

void CALLBACK CloseBoxTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = ::FindWindowW(L"#32770", L"\u6240\u5F97\u7A0E");  // 所得税
    if (!box) return;
    ::KillTimer(nullptr, id);
    HANDLE file = ::CreateFileW(g_probe.traceFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[512];
        DWORD got = 0;
        ::ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        g_probe.seenWhileShown.assign(buffer, got);
        ::CloseHandle(file);
    }
    g_probe.closed = true;
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(MessageBoxTrace, LineIsAppendedBeforeTheBoxIsShown)
{
    wchar_t temp[MAX_PATH + 1];
    ASSERT_GT(::GetTempPathW(MAX_PATH + 1, temp), 0u);
    g_probe.traceFile = std::wstring(temp) + L"ledgra_msgbox_trace_" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
    ::DeleteFileW(g_probe.traceFile.c_str());

    platform::win32::Win32MessageBoxes boxes;
    boxes.SetTraceFile(g_probe.traceFile);
    ::SetTimer(nullptr, 0, 50, CloseBoxTimer);
    const int answer = boxes.Show(nullptr, "XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。",
                                  "所得税", 0x30);
    EXPECT_TRUE(g_probe.closed);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(g_probe.seenWhileShown,
              u8"0x30 XMLファイルの出力に失敗しました。\\n\\nアプリケーションを終了します。\n");
    ::DeleteFileW(g_probe.traceFile.c_str());
}

TEST(CutToBytes, NeverSplitsACharacter)
{
    using cp932::CutToBytes;
    EXPECT_EQ(CutToBytes("所得税", 5), "所得");
    EXPECT_EQ(CutToBytes("所得税", 6), "所得税");
    EXPECT_EQ(CutToBytes("a\x95\x5C", 2), "a");
    EXPECT_EQ(CutToBytes("abc", 0), "");
}

TEST(WideConversion, UsesCodePage932WhateverTheAnsiCodePage)
{
    using platform::win32::FromWide;
    using platform::win32::ToWide;
    EXPECT_EQ(ToWide("\x95\x5C\x81\x60"), std::wstring(L"\u8868\uFF5E"));
    EXPECT_EQ(FromWide(L"\u8868\uFF5E\uFF02"), "\x95\x5C\x81\x60\xFA\x57");
}

// Our one table and its best-fit list against the system's own conversion, for every
// code point of the basic plane: the exact code, else Windows' best fit, else nothing
// (where Windows writes its default character).
TEST(CodePage932, EveryCodePointAsTheSystemWritesIt)
{
    int mismatches = 0;
    for (unsigned c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000) continue;
        const wchar_t wide = static_cast<wchar_t>(c);
        char bytes[4] = {};
        BOOL usedDefault = FALSE;
        const int n = ::WideCharToMultiByte(932, 0, &wide, 1, bytes, sizeof bytes, nullptr, &usedDefault);
        unsigned system = 0;
        if (n == 1 && !usedDefault) system = static_cast<unsigned char>(bytes[0]);
        if (n == 2 && !usedDefault)
            system = (static_cast<unsigned>(static_cast<unsigned char>(bytes[0])) << 8) | static_cast<unsigned char>(bytes[1]);
        unsigned ours = cp932::EncodeCodePoint(c);
        if (ours == 0) ours = cp932::BestFitCodePoint(c);
        if (ours != system && ++mismatches <= 10)
            ADD_FAILURE() << std::hex << "U+" << c << ": system " << system << ", ours " << ours;
    }
    EXPECT_EQ(0, mismatches);
}

TEST(StringResources, TheVersionTextIsStringOne)
{
    platform::win32::Win32Ui ui;
    std::string text;
    ASSERT_TRUE(ui.LoadString(1, text));
    EXPECT_EQ(text, "20.01.01");
    EXPECT_FALSE(ui.LoadString(4711, text));
}

}  // namespace
