// FakeMessageBoxes: a recording platform::IMessageBoxes.
//
//   shown      every box asked for: owner, text, caption, type (CP932 bytes as given)
//   answers    queue of answers, taken front first; when it is empty a Yes/No box
//              answers ID_YES and every other box ID_OK
//   onShow     optional hook called with each box before it answers (for example to
//              look at the file system at that moment)
// Readable() gives the boxes as UTF-8 lines "0xTT <text>" for failure messages.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace fakes {

struct ShownBox {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    unsigned type = 0;
};

class FakeMessageBoxes : public platform::IMessageBoxes {
public:
    int Show(HWND owner, const std::string& text, const std::string& caption, unsigned type) override;

    void QueueAnswer(int answer) { answers.push_back(answer); }
    std::string Readable() const;

    std::vector<ShownBox> shown;
    std::deque<int> answers;
    std::function<void(const ShownBox&)> onShow;
};

}  // namespace fakes
