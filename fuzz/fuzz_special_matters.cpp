// ClReportBuilder::WriteSpecialMatters over any stored text, line width and count:
// exactly `lines` elements numbered from 1, each escaped, within the line width, made
// only of characters the report may hold; and for a text of valid characters the lines
// are the text's own pieces in order, cut only on character boundaries.
#include <cstring>

#include "fuzz_support.h"
#include "report/sections/sections.h"
#include "tests/fakes/report_capture.h"
#include "tests/fakes/saved_details.h"

namespace {

constexpr std::size_t kScan = 960;

// Valid text from the input: each byte picks one character or line break.
std::string ValidText(const std::string& bytes)
{
    static const char* const kPieces[] = {
        "a", "Z", " ", "&", "<", "\r\n", "\x95\x5C" /* 表 */, "\x83\x5C" /* ソ */, "\x83\x41" /* ア */,
        "\x88\x9F" /* 亜: trail in the lead range */, "\x82\xA0" /* あ */, "\xB1" /* ｱ */, "\x81\x40", "\t"};
    std::string out;
    for (unsigned char b : bytes) {
        if (b == 0xFF) break;   // the text's NUL
        out += kPieces[b % (sizeof kPieces / sizeof kPieces[0])];
    }
    return out;
}

struct Line {
    int number = 0;
    std::string text;   // unescaped
};

// The elements one after another; a text may itself hold CR and LF (kept characters),
// so each element runs to its own end tag.
std::vector<Line> ParseLines(const std::string& bytes)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    const std::string open = "\t\t\t\t<TOKUSYUJIJOU";
    while (pos < bytes.size()) {
        FUZZ_CHECK(bytes.compare(pos, open.size(), open) == 0, "line is not a special-matters element");
        Line parsed;
        parsed.number = std::atoi(bytes.c_str() + pos + open.size());
        const std::string number = std::to_string(parsed.number);
        const std::size_t textStart = pos + open.size() + number.size() + 1;
        FUZZ_CHECK(bytes.compare(pos + open.size(), number.size() + 1, number + ">") == 0, "start tag");
        const std::string endTag = "</TOKUSYUJIJOU" + number + ">\r\n";
        const std::size_t end = bytes.find(endTag, textStart);
        FUZZ_CHECK(end != std::string::npos, "end tag");
        const std::string escaped = bytes.substr(textStart, end - textStart);
        FUZZ_CHECK(fuzz::HasNoMarkup(escaped), "raw markup in a line");
        FUZZ_CHECK(fuzz::Unescape(escaped, parsed.text), "bad entity in a line");
        lines.push_back(parsed);
        pos = end + endTag.size();
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const uint8_t mode = in.Byte();
    const int lineBytes = static_cast<int>(in.Byte()) + ((mode & 2) ? 200 : 0) - 1;   // -1 to 454
    const int lines = static_cast<int>(in.Byte() % 40) - 1;                           // -1 to 38
    const bool valid = (mode & 1) != 0;
    const std::string rest = in.Rest();
    const std::string text = valid ? ValidText(rest) : rest;

    fakes::SavedDetails saved;
    char* slot = saved.general.pNotes->szSpecialMatters;
    const std::size_t slotSize = sizeof saved.general.pNotes->szSpecialMatters;
    std::memset(slot, 0, slotSize);
    std::memcpy(slot, text.data(), std::min(text.size(), slotSize));   // may fill the slot without a NUL

    std::string bytes;
    int result = 0;
    {
        fakes::ReportCapture capture;
        sections::StFigures figures;
        figures.savedGeneral = &saved.general;
        result = sections::WriteSpecialMatters(capture.writer, figures, lineBytes, lines);
        // A failed write stays with the writer: read it with the section's own result.
        if (capture.writer.Failed()) result = 0;
        bytes = capture.Bytes();
    }
    FUZZ_CHECK(result == 1, "writing into memory failed");
    const std::vector<Line> written = ParseLines(bytes);
    FUZZ_CHECK(written.size() == static_cast<std::size_t>(lines < 0 ? 0 : lines), "number of elements");
    const std::size_t width = static_cast<std::size_t>(lineBytes < 2 ? 2 : lineBytes);
    for (std::size_t i = 0; i < written.size(); ++i) {
        FUZZ_CHECK(written[i].number == static_cast<int>(i + 1), "elements not numbered from 1 without gaps");
        FUZZ_CHECK(written[i].text.size() <= width && written[i].text.size() <= 255, "line wider than allowed");
        FUZZ_CHECK(fuzz::AllDefined(written[i].text), "line holds a character the report may not");
    }
    // Lines wider than the writer's 255-byte values are cut there (no caller asks for
    // more than 60 bytes), so only narrower ones are the text's exact pieces.
    if (!valid || lineBytes > 255) return 0;

    // Walk the stored text with the lines: each is the next piece, cut on a boundary;
    // a line break between pieces is passed over; once the text ends, lines are empty.
    const std::string stored(slot, strnlen(slot, slotSize));
    const std::string_view view(stored);
    const std::size_t end = std::min(stored.size(), kScan);
    std::size_t cursor = 0;
    bool finished = false;
    for (const Line& line : written) {
        // Nothing at or past the scan limit is read, not even a line break that a CR
        // LF straddling the limit carried the cursor over.
        if (cursor >= kScan) finished = true;
        if (finished) {
            FUZZ_CHECK(line.text.empty(), "text after the end of the stored text");
            continue;
        }
        if (line.text.empty() && view.substr(cursor, 2) != "\r\n") {
            FUZZ_CHECK(cursor == stored.size() || stored.size() > kScan - 1, "empty line in the middle of the text");
            finished = true;
            continue;
        }
        FUZZ_CHECK(view.substr(cursor, line.text.size()) == line.text, "line is not the next piece of the text");
        cursor += line.text.size();
        FUZZ_CHECK(cursor <= end, "line reaches past the scanned bytes");
        FUZZ_CHECK(fuzz::IsBoundary(view, cursor), "line ends inside a double-byte character");
        if (view.substr(cursor, 2) == "\r\n") cursor += 2;
    }
    return 0;
}
