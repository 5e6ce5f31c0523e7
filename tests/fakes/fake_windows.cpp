#include "tests/fakes/fake_windows.h"

namespace fakes {
namespace {
std::string HandleText(HWND wnd) { return std::to_string(reinterpret_cast<std::intptr_t>(wnd)); }
}  // namespace

bool FakeWindows::EnableWindow(HWND wnd, bool enable)
{
    calls.push_back("EnableWindow " + HandleText(wnd) + (enable ? " 1" : " 0"));
    const bool wasDisabled = !IsEnabled(wnd);
    enabled[wnd] = enable;
    // EnableWindow answers whether the window was disabled before the call.
    return wasDisabled;
}

bool FakeWindows::SetForegroundWindow(HWND wnd)
{
    calls.push_back("SetForegroundWindow " + HandleText(wnd));
    return true;
}

bool FakeWindows::PostMessage(HWND wnd, unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    calls.push_back("PostMessage " + HandleText(wnd) + " " + std::to_string(message) + " " +
                    std::to_string(wParam) + " " + std::to_string(lParam));
    posted.push_back(PostedMessage{wnd, message, wParam, lParam});
    return true;
}

bool FakeWindows::IsEnabled(HWND wnd) const
{
    auto it = enabled.find(wnd);
    return it == enabled.end() || it->second;
}

std::vector<std::string> FakeWindows::CallsFor(HWND wnd) const
{
    const std::string handle = " " + HandleText(wnd);
    std::vector<std::string> out;
    for (const std::string& call : calls) {
        const std::size_t space = call.find(' ');
        const std::string rest = call.substr(space);
        if (rest == handle || rest.compare(0, handle.size() + 1, handle + " ") == 0)
            out.push_back(call);
    }
    return out;
}

}  // namespace fakes
