// Push buttons, radio buttons and group boxes: each method sends one BM_ message.
#pragma once

#include "platform/win32/window.h"

namespace platform::win32 {

class Button : public Window {
public:
    using Window::Window;
    bool IsChecked() { return SendMsg(BM_GETCHECK) == BST_CHECKED; }
    void SetCheck(bool checked) { SendMsg(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
    void Click() { SendMsg(BM_CLICK); }
};

}  // namespace platform::win32
