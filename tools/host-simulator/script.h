// The simulator's script: one step per line, UTF-8, '#' starts a comment line.
#pragma once

#include <string>
#include <vector>

namespace hostsim_tool {

enum class StepKind {
    Form,          // form 1|2|3
    Path,          // path TEXT
    Key,           // key enter|f12|esc|tab|shift+enter|ctrl+enter
    Click,         // click ID
    Answer,        // answer ok|yes|no
    BrowseAnswer,  // browse-answer PATH|cancel
    Screenshot,    // screenshot NAME (prints "screenshot NAME: <the host label shown>")
    WaitEnd,       // wait-end (the steps after it run once the exporter has ended)
    WaitWindow,    // wait-window CAPTION-PREFIX (a window of the exporter whose caption starts so)
    Sleep,         // sleep MILLISECONDS
    ExpectText,    // expect-text ID TEXT (the control's text, UTF-8; TEXT may be empty)
    ExpectChecked, // expect-checked ID (a radio button or check box is checked)
    ExpectDisabled,// expect-disabled ID
    ExpectEnabled, // expect-enabled ID
};

struct Step {
    StepKind kind = StepKind::WaitEnd;
    std::string text;   // the argument as written (UTF-8), trimmed
    int number = 0;     // form number, control id, button id or milliseconds
    int line = 0;       // line in the script file
    std::string source; // the whole line, for error reports
};

// Parses a whole script. On a bad line returns false and sets error to
// "line N: <reason>: <line>".
bool ParseScript(const std::string& utf8Text, std::vector<Step>& steps, std::string& error);

// One line of the exporter's message-box trace ("0xTT <text>", UTF-8 with newlines as
// the two characters \n) turned into the simulator's output line
// "message-box: 0xTT <UTF-8 text>". A line that is not UTF-8 is read as CP932.
std::string MessageBoxLine(const std::string& traceLine);

bool IsValidUtf8(const std::string& text);

}  // namespace hostsim_tool
