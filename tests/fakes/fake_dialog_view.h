// FakeDialogView: a recording platform::IDialogView with controls kept by id.
//
//   Control(id)        the control's state (created on first use): text, checked,
//                      enabled, text limit (0: none), and the kind the dialog manager
//                      needs (push button, radio button, edit box, other)
//   focusId            the control that has the focus (0: none)
//   keysDown           virtual keys reported as held by IsKeyDown
//   ended / endResult  set by End
//   calls              every call that changes something, one text each:
//                      "SetItemText 1004 <UTF-8 text>", "SetCheck 1010 1", "EnableItem 1016 0",
//                      "SetFocus 1013", "SelectAllText 1016", "LimitText 1016 255", "End 1014"
// SetFocus on a disabled control is refused (the focus stays), as a disabled window
// takes no keyboard input.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/services.h"

namespace fakes {

enum class ControlKind { Other, PushButton, RadioButton, Edit, Static, GroupBox };

struct FakeControl {
    ControlKind kind = ControlKind::Other;
    std::string text;
    bool checked = false;
    bool enabled = true;
    bool tabStop = false;
    int limit = 0;
    int selectAllCount = 0;
};

class FakeDialogView : public platform::IDialogView {
public:
    explicit FakeDialogView(HWND handle = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x130)));

    // Adds a control in tab order.
    FakeControl& AddControl(int id, ControlKind kind, const std::string& text = "", bool tabStop = false);
    FakeControl& Control(int id);
    bool HasControl(int id) const { return controls.count(id) > 0; }
    const std::vector<int>& TabOrder() const { return tabOrder; }
    // First enabled tab stop, as the dialog manager chooses the initial focus; 0 when none.
    int FirstTabStop() const;
    // The next enabled tab stop after (or before) the focus, wrapping.
    int NextTabStop(int from, bool backwards) const;
    // Calls whose text starts with prefix.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

    // ---- platform::IDialogView ----
    HWND Handle() override { return handle; }
    std::string GetItemText(int id) override;
    void SetItemText(int id, const std::string& text) override;
    bool IsChecked(int id) override;
    void SetCheck(int id, bool checked) override;
    void EnableItem(int id, bool enable) override;
    bool IsItemEnabled(int id) override;
    void SetFocus(int id) override;
    int GetFocusId() override { return focusId; }
    void SelectAllText(int id) override;
    void LimitText(int id, int bytes) override;
    bool IsKeyDown(int virtualKey) override { return keysDown.count(virtualKey) > 0; }
    void End(int result) override;

    HWND handle;
    std::map<int, FakeControl> controls;
    std::vector<int> tabOrder;
    int focusId = 0;
    std::set<int> keysDown;
    bool ended = false;
    int endResult = 0;
    std::vector<std::string> calls;
};

}  // namespace fakes
