#include "tests/fakes/fake_message_boxes.h"

#include <cstdio>

#include "common/cp932.h"

namespace fakes {

int FakeMessageBoxes::Show(HWND owner, const std::string& text, const std::string& caption, unsigned type)
{
    shown.push_back(ShownBox{owner, text, caption, type});
    if (onShow) onShow(shown.back());
    if (!answers.empty()) {
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (type & 0x0F) == platform::MB_TYPE_YESNO ? platform::ID_YES : platform::ID_OK;
}

std::string FakeMessageBoxes::Readable() const
{
    std::string out;
    for (const ShownBox& box : shown) {
        char type[16];
        std::snprintf(type, sizeof type, "0x%02X ", box.type);
        std::string text = cp932::ToUtf8(box.text);
        std::string escaped;
        for (char c : text) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
        out += type + escaped + " [" + cp932::ToUtf8(box.caption) + "]\n";
    }
    return out;
}

}  // namespace fakes
