#include "script.h"

#include <cstdio>
#include <cstdlib>

#include "common/cp932.h"

namespace hostsim_tool {

namespace {

std::string Trim(const std::string& s)
{
    const char* blanks = " \t\r\n";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

bool ParseInt(const std::string& text, int& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0')
        return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

bool ParseScript(const std::string& utf8Text, std::vector<Step>& steps, std::string& error)
{
    std::string text = utf8Text;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    std::size_t start = 0;
    int lineNo = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++lineNo;
        if (line.empty() || line[0] == '#')
            continue;

        const auto blank = line.find_first_of(" \t");
        const std::string word = line.substr(0, blank);
        const std::string arg = blank == std::string::npos ? std::string() : Trim(line.substr(blank));
        Step step;
        step.line = lineNo;
        step.source = line;
        step.text = arg;
        auto fail = [&](const std::string& reason) {
            error = "line " + std::to_string(lineNo) + ": " + reason + ": " + line;
            return false;
        };

        if (word == "form") {
            step.kind = StepKind::Form;
            if (!ParseInt(arg, step.number) || step.number < 1 || step.number > 3)
                return fail("form takes 1, 2 or 3");
        } else if (word == "path") {
            step.kind = StepKind::Path;
        } else if (word == "key") {
            step.kind = StepKind::Key;
            static const char* keys[] = {"enter", "f12", "esc", "tab", "shift+enter", "ctrl+enter"};
            bool known = false;
            for (const char* k : keys)
                known = known || arg == k;
            if (!known)
                return fail("key takes enter, f12, esc, tab, shift+enter or ctrl+enter");
        } else if (word == "click") {
            step.kind = StepKind::Click;
            if (!ParseInt(arg, step.number))
                return fail("click takes a control id");
        } else if (word == "answer") {
            step.kind = StepKind::Answer;
            if (arg == "ok")
                step.number = 1;       // IDOK
            else if (arg == "yes")
                step.number = 6;       // IDYES
            else if (arg == "no")
                step.number = 7;       // IDNO
            else
                return fail("answer takes ok, yes or no");
        } else if (word == "browse-answer") {
            step.kind = StepKind::BrowseAnswer;
            if (arg.empty())
                return fail("browse-answer takes a path or cancel");
        } else if (word == "screenshot") {
            step.kind = StepKind::Screenshot;
            if (arg.empty() || arg.find_first_of("/\\:") != std::string::npos)
                return fail("screenshot takes a plain file name");
        } else if (word == "wait-end") {
            step.kind = StepKind::WaitEnd;
        } else if (word == "wait-window") {
            step.kind = StepKind::WaitWindow;
            if (arg.empty())
                return fail("wait-window takes the start of a window caption");
        } else if (word == "sleep") {
            step.kind = StepKind::Sleep;
            if (!ParseInt(arg, step.number) || step.number < 0)
                return fail("sleep takes milliseconds");
        } else if (word == "expect-text") {
            step.kind = StepKind::ExpectText;
            const auto gap = arg.find_first_of(" \t");
            if (!ParseInt(arg.substr(0, gap), step.number))
                return fail("expect-text takes a control id and a text");
            step.text = gap == std::string::npos ? std::string() : arg.substr(gap + 1);
        } else if (word == "expect-checked" || word == "expect-disabled" || word == "expect-enabled") {
            step.kind = word == "expect-checked"    ? StepKind::ExpectChecked
                        : word == "expect-disabled" ? StepKind::ExpectDisabled
                                                    : StepKind::ExpectEnabled;
            if (!ParseInt(arg, step.number))
                return fail(word + " takes a control id");
        } else {
            return fail("unknown step '" + word + "'");
        }
        steps.push_back(step);
    }
    return true;
}

std::string MessageBoxLine(const std::string& traceLine)
{
    std::string line = traceLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    std::string type = line, text;
    const auto blank = line.find(' ');
    if (blank != std::string::npos) {
        type = line.substr(0, blank);
        text = line.substr(blank + 1);
    }
    char* end = nullptr;
    const unsigned long value = std::strtoul(type.c_str(), &end, 16);
    if (!type.empty() && *end == '\0') {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%02lx", value);
        type = hex;
    }
    // The exporter writes its trace in UTF-8; a CP932 line (not valid UTF-8) is converted.
    if (!IsValidUtf8(text))
        text = cp932::ToUtf8(text);
    // Any raw newline left in the text is shown as \n, so one box stays one line.
    std::string shown;
    for (char c : text) {
        if (c == '\n')
            shown += "\\n";
        else if (c != '\r')
            shown += c;
    }
    return "message-box: " + type + " " + shown;
}

bool IsValidUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : 9;
        if (extra == 9 || (extra == 1 && b < 0xC2) || i + extra >= text.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace hostsim_tool
