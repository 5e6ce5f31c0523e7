// The host simulator's portable parts (script parser, message-box trace lines, PNG
// encoder), compiled into this test directly: the simulator itself is Windows-only.
#include "tools/host-simulator/png_writer.cpp"
#include "tools/host-simulator/script.cpp"
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/host-simulator/png_writer.h"
#include "tools/host-simulator/script.h"

using hostsim_tool::MessageBoxLine;
using hostsim_tool::ParseScript;
using hostsim_tool::Step;
using hostsim_tool::StepKind;

TEST(SimulatorScript, ParsesEveryStep)
{
    const std::string text =
        "\xEF\xBB\xBF# comment\n"
        "form 3\r\n"
        "path Z:\\tmp\\\xE8\xA1\xA8\\r.xml\n"
        "\n"
        "key shift+enter\n"
        "click 1017\n"
        "answer yes\n"
        "browse-answer cancel\n"
        "screenshot conditions\n"
        "wait-window \xE9\x9B\x86\xE8\xA8\x88\xE4\xB8\xAD\n"
        "expect-text 1015 \xE5\x87\xBA\xE5\x8A\x9B\xE5\x85\x88\n"
        "expect-text 1016\n"
        "expect-checked 1011\n"
        "expect-disabled 1017\n"
        "expect-enabled 1013\n"
        "sleep 10\n"
        "wait-end";
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(ParseScript(text, steps, error)) << error;
    ASSERT_EQ(steps.size(), 15u);
    EXPECT_EQ(steps[0].kind, StepKind::Form);
    EXPECT_EQ(steps[0].number, 3);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[1].kind, StepKind::Path);
    EXPECT_EQ(steps[1].text, "Z:\\tmp\\\xE8\xA1\xA8\\r.xml");
    EXPECT_EQ(steps[2].kind, StepKind::Key);
    EXPECT_EQ(steps[2].text, "shift+enter");
    EXPECT_EQ(steps[3].number, 1017);
    EXPECT_EQ(steps[4].kind, StepKind::Answer);
    EXPECT_EQ(steps[4].number, 6);
    EXPECT_EQ(steps[5].kind, StepKind::BrowseAnswer);
    EXPECT_EQ(steps[5].text, "cancel");
    EXPECT_EQ(steps[6].kind, StepKind::Screenshot);
    EXPECT_EQ(steps[7].kind, StepKind::WaitWindow);
    EXPECT_EQ(steps[8].kind, StepKind::ExpectText);
    EXPECT_EQ(steps[8].number, 1015);
    EXPECT_EQ(steps[8].text, "\xE5\x87\xBA\xE5\x8A\x9B\xE5\x85\x88");
    EXPECT_EQ(steps[9].number, 1016);
    EXPECT_EQ(steps[9].text, "");
    EXPECT_EQ(steps[10].kind, StepKind::ExpectChecked);
    EXPECT_EQ(steps[11].kind, StepKind::ExpectDisabled);
    EXPECT_EQ(steps[12].kind, StepKind::ExpectEnabled);
    EXPECT_EQ(steps[13].number, 10);
    EXPECT_EQ(steps[14].kind, StepKind::WaitEnd);
}

TEST(SimulatorScript, PathMayBeEmpty)
{
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(ParseScript("path\n", steps, error)) << error;
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].text, "");
}

TEST(SimulatorScript, RefusesBadLinesNamingThem)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"form 4", "line 1: form takes 1, 2 or 3: form 4"},
        {"form", "line 1: form takes 1, 2 or 3: form"},
        {"\nkey alt+f4", "line 2: key takes enter, f12, esc, tab, shift+enter or ctrl+enter: key alt+f4"},
        {"click x", "line 1: click takes a control id: click x"},
        {"answer cancel", "line 1: answer takes ok, yes or no: answer cancel"},
        {"browse-answer", "line 1: browse-answer takes a path or cancel: browse-answer"},
        {"screenshot a/b", "line 1: screenshot takes a plain file name: screenshot a/b"},
        {"expect-text x y", "line 1: expect-text takes a control id and a text: expect-text x y"},
        {"frobnicate", "line 1: unknown step 'frobnicate': frobnicate"},
    };
    for (const Case& c : cases) {
        std::vector<Step> steps;
        std::string error;
        EXPECT_FALSE(ParseScript(c.text, steps, error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

TEST(SimulatorTrace, MessageBoxLines)
{
    struct Case {
        std::string trace;
        std::string line;
    };
    const Case cases[] = {
        // UTF-8 trace as the exporter writes it, newlines already escaped.
        {"0x40 \xE6\x89\x80\xE5\xBE\x97\xE7\xA8\x8E\\n\\nend\r\n",
         "message-box: 0x40 \xE6\x89\x80\xE5\xBE\x97\xE7\xA8\x8E\\n\\nend"},
        {"0x24 a", "message-box: 0x24 a"},
        // Type normalised to two lower-case hex digits.
        {"0X3 x", "message-box: 0x03 x"},
        // A CP932 line (not UTF-8) is converted; 95 5C is one character.
        {"0x30 \x95\x5Cn", "message-box: 0x30 \xE8\xA1\xA8n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxLine(c.trace), c.line);
}

TEST(SimulatorPng, EncodesStoredBlocks)
{
    const std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    const std::vector<std::uint8_t> png = hostsim_tool::EncodePng(2, 2, rgb);
    const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GT(png.size(), 8u);
    EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
    // IHDR: 2 x 2, 8-bit RGB.
    const std::vector<std::uint8_t> ihdr(png.begin() + 8, png.begin() + 8 + 25);
    const std::vector<std::uint8_t> wantIhdr = {0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 2, 0, 0, 0, 2, 8, 2, 0, 0, 0};
    EXPECT_TRUE(std::equal(wantIhdr.begin(), wantIhdr.end(), ihdr.begin()));
    // IDAT: zlib header, one final stored block of 2 * (1 + 6) bytes, the rows, Adler-32.
    const std::size_t idat = 8 + 25;
    const std::vector<std::uint8_t> head(png.begin() + idat, png.begin() + idat + 15);
    const std::vector<std::uint8_t> wantHead = {0, 0, 0, 25, 'I', 'D', 'A', 'T', 0x78, 0x01, 1, 14, 0, 0xF1, 0xFF};
    EXPECT_EQ(head, wantHead);
    const std::vector<std::uint8_t> rows(png.begin() + idat + 15, png.begin() + idat + 29);
    const std::vector<std::uint8_t> wantRows = {0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 10, 20, 30};
    EXPECT_EQ(rows, wantRows);
    // Known check values.
    EXPECT_EQ(hostsim_tool::Crc32(reinterpret_cast<const std::uint8_t*>("IEND"), 4), 0xAE426082u);
    EXPECT_EQ(hostsim_tool::Adler32(reinterpret_cast<const std::uint8_t*>("Wikipedia"), 9), 0x11E60398u);
    // Ends with the IEND chunk.
    const std::vector<std::uint8_t> tail(png.end() - 12, png.end());
    const std::vector<std::uint8_t> wantTail = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(tail, wantTail);
}
