// FakeUi: a scripted platform::IUi.
//
// RunModal(templateId, parent, handler):
//   1. makes a FakeDialogView with the controls of the template (templates[templateId];
//      template 130, the conditions dialog, is there from the start with its ids,
//      kinds, texts and tab order), keeps it in runs.back().view;
//   2. calls handler.OnInitDialog; when the handler set no focus, the focus goes to the
//      first enabled tab stop, as the dialog manager does;
//   3. plays the scripted actions in order until the view is ended, and returns its
//      end result. When the actions run out first it returns -1 and sets ranOut.
// Actions (each is one user gesture; the fluent adders return *this):
//   SetText(id, text)     replaces the text (WM_SETTEXT: no limit applies)
//   Type(id, text)        replaces the text as typed: cut to the box's text limit by
//                         characters, ignored on a disabled box
//   Click(id)             on an enabled control: focus moves to it; a radio button is
//                         checked and the other radios of its run in tab order are
//                         unchecked; then handler.OnCommand(id)
//   Key(vk, {mods})       mods (VK_SHIFT, VK_CONTROL, VK_MENU) are held while
//                         handler.PreTranslateKey(view, vk, focus) runs; when it does not
//                         consume the key the dialog manager's part is played: Enter
//                         clicks the focused push button, or else issues command 1 (no
//                         default button); Esc issues command 2; Tab moves the focus
//                         (Shift+Tab backwards); Space clicks the focused button or radio
//   Close()               the close box: command 2
//   Focus(id)             moves the focus (refused on a disabled control)
//   Do(fn)                runs fn(view) (to look at the dialog in the middle of a run)
// SaveFileDialog answers from saveAnswers (a path, or std::nullopt for cancel; cancel
// when the queue is empty) and records each request in saveCalls.
// CreateProgressView returns a FakeProgressView whose state is kept in progressViews.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"
#include "tests/fakes/fake_dialog_view.h"
#include "tests/fakes/fake_progress_view.h"

namespace fakes {

enum : int {
    VK_KEY_RETURN = 0x0D,
    VK_KEY_SHIFT = 0x10,
    VK_KEY_CONTROL = 0x11,
    VK_KEY_MENU = 0x12,
    VK_KEY_ESCAPE = 0x1B,
    VK_KEY_TAB = 0x09,
    VK_KEY_SPACE = 0x20,
    VK_KEY_F12 = 0x7B,
};

struct UiAction {
    enum class Kind { SetText, Type, Click, Key, Close, Focus, Do };
    Kind kind = Kind::Click;
    int id = 0;
    std::string text;
    int key = 0;
    std::vector<int> modifiers;
    std::function<void(FakeDialogView&)> fn;
};

struct ModalRun {
    int templateId = 0;
    HWND parent = nullptr;
    std::unique_ptr<FakeDialogView> view;
    int result = 0;
    bool ranOut = false;
};

struct SaveDialogCall {
    HWND owner = nullptr;
    platform::SaveFileRequest request;
};

// The controls of template 130 with their kinds, template texts and tab order.
void PrepareConditionsTemplate(FakeDialogView& view);

class FakeUi : public platform::IUi {
public:
    FakeUi();

    FakeUi& SetText(int id, const std::string& text);
    FakeUi& Type(int id, const std::string& text);
    FakeUi& Click(int id);
    FakeUi& Key(int vk, std::vector<int> modifiers = {});
    FakeUi& Close();
    FakeUi& Focus(int id);
    FakeUi& Do(std::function<void(FakeDialogView&)> fn);

    // The view of the latest modal run; null before any.
    FakeDialogView* lastView() { return runs.empty() ? nullptr : runs.back().view.get(); }

    int RunModal(int templateId, HWND parent, platform::IDialogHandler& handler) override;
    std::unique_ptr<platform::IProgressView> CreateProgressView() override;
    bool SaveFileDialog(HWND owner, const platform::SaveFileRequest& request, std::string& path) override;

    std::deque<UiAction> actions;
    std::map<int, std::function<void(FakeDialogView&)>> templates;
    std::vector<ModalRun> runs;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<SaveDialogCall> saveCalls;
    std::vector<std::shared_ptr<FakeProgressState>> progressViews;
    // Set before CreateProgressView to make the next view's Create fail.
    bool nextProgressCreateFails = false;

private:
    void Play(const UiAction& action, FakeDialogView& view, platform::IDialogHandler& handler);
    void ClickControl(int id, FakeDialogView& view, platform::IDialogHandler& handler);
};

}  // namespace fakes
