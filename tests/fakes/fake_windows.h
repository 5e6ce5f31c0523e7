// FakeWindows: a recording platform::IWindows.
//
//   calls     every call in order: "EnableWindow <hwnd> 0|1", "SetForegroundWindow <hwnd>",
//             "PostMessage <hwnd> <message> <wParam> <lParam>" (numbers in decimal, the
//             handle as a signed number)
//   posted    the posted messages, for field-by-field checks
//   enabled   the enabled state of each window a call touched (true until disabled)
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/services.h"

namespace fakes {

struct PostedMessage {
    HWND wnd = nullptr;
    unsigned message = 0;
    std::intptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class FakeWindows : public platform::IWindows {
public:
    bool EnableWindow(HWND wnd, bool enable) override;
    bool SetForegroundWindow(HWND wnd) override;
    bool PostMessage(HWND wnd, unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;

    // Enabled state of wnd: true unless a call disabled it and none enabled it since.
    bool IsEnabled(HWND wnd) const;
    // Calls that touched wnd, in order.
    std::vector<std::string> CallsFor(HWND wnd) const;

    std::vector<std::string> calls;
    std::vector<PostedMessage> posted;
    std::map<HWND, bool> enabled;
};

}  // namespace fakes
