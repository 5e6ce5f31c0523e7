#include "tests/fakes/fake_ui.h"

#include <algorithm>

#include "common/cp932.h"
#include "resources/resource.h"

namespace fakes {

void PrepareConditionsTemplate(FakeDialogView& view)
{
    view.AddControl(IDC_LABEL_COMPANY, ControlKind::Static, "事業所名");
    view.AddControl(IDC_COLON_COMPANY, ControlKind::Static, "：");
    view.AddControl(IDC_COMPANY, ControlKind::Static, "事業所名");
    view.AddControl(IDC_LABEL_PERIOD, ControlKind::Static, "会計期間");
    view.AddControl(IDC_COLON_PERIOD, ControlKind::Static, "：");
    view.AddControl(IDC_PERIOD, ControlKind::Static, "xxxx/xx/xx～xxxx/xx/xx");
    view.AddControl(IDC_LABEL_MFGCOST, ControlKind::Static, "製造原価");
    view.AddControl(IDC_COLON_MFGCOST, ControlKind::Static, "：");
    view.AddControl(IDC_MFGCOST, ControlKind::Static, "あり");
    view.AddControl(IDC_GROUP_CATEGORY, ControlKind::GroupBox, "事業区分");
    view.AddControl(IDC_RADIO_BUSINESS, ControlKind::RadioButton, "営業所得用（一般用）(&1)", true);
    view.AddControl(IDC_RADIO_OTHER, ControlKind::RadioButton, "その他所得用（一般用）(&2)", true);
    view.AddControl(IDC_RADIO_REALESTATE, ControlKind::RadioButton, "不動産所得用(&3)", true);
    view.AddControl(IDC_GROUP_OUTPUT, ControlKind::GroupBox, "出力先(&F)");
    view.AddControl(IDC_OUTPUT_PATH, ControlKind::Edit, "", true);
    view.AddControl(IDC_BROWSE, ControlKind::PushButton, "参照(&D)...", true);
    view.AddControl(IDC_EXECUTE, ControlKind::PushButton, "実行(F12)", true);
    view.AddControl(IDC_CANCEL_BUTTON, ControlKind::PushButton, "キャンセル(Esc)", true);
}

FakeUi::FakeUi() { templates[IDD_CONDITIONS] = PrepareConditionsTemplate; }

namespace {
UiAction Make(UiAction::Kind kind, int id)
{
    UiAction action;
    action.kind = kind;
    action.id = id;
    return action;
}
}  // namespace

FakeUi& FakeUi::SetText(int id, const std::string& text)
{
    UiAction action = Make(UiAction::Kind::SetText, id);
    action.text = text;
    actions.push_back(action);
    return *this;
}

FakeUi& FakeUi::Type(int id, const std::string& text)
{
    UiAction action = Make(UiAction::Kind::Type, id);
    action.text = text;
    actions.push_back(action);
    return *this;
}

FakeUi& FakeUi::Click(int id)
{
    actions.push_back(Make(UiAction::Kind::Click, id));
    return *this;
}

FakeUi& FakeUi::Key(int vk, std::vector<int> modifiers)
{
    UiAction action = Make(UiAction::Kind::Key, 0);
    action.key = vk;
    action.modifiers = std::move(modifiers);
    actions.push_back(action);
    return *this;
}

FakeUi& FakeUi::Close()
{
    actions.push_back(Make(UiAction::Kind::Close, 0));
    return *this;
}

FakeUi& FakeUi::Focus(int id)
{
    actions.push_back(Make(UiAction::Kind::Focus, id));
    return *this;
}

FakeUi& FakeUi::Do(std::function<void(FakeDialogView&)> fn)
{
    UiAction action = Make(UiAction::Kind::Do, 0);
    action.fn = std::move(fn);
    actions.push_back(action);
    return *this;
}

int FakeUi::RunModal(int templateId, HWND parent, platform::IDialogHandler& handler)
{
    // An index, not a reference: a nested modal run may grow the vector.
    std::size_t index = runs.size();
    runs.emplace_back();
    runs[index].templateId = templateId;
    runs[index].parent = parent;
    runs[index].view = std::make_unique<FakeDialogView>();
    FakeDialogView& view = *runs[index].view;
    auto prepare = templates.find(templateId);
    if (prepare != templates.end()) prepare->second(view);

    // As the real dialog procedure does, an exception from the handler ends the dialog
    // with neither the execute nor the cancel command; it never leaves the dialog.
    try {
        handler.OnInitDialog(view);
        if (!view.ended && view.focusId == 0) view.focusId = view.FirstTabStop();
        while (!view.ended) {
            if (actions.empty()) {
                runs[index].ranOut = true;
                return runs[index].result = -1;
            }
            UiAction action = actions.front();
            actions.pop_front();
            Play(action, view, handler);
        }
    } catch (...) {
        if (!view.ended) view.End(-1);
    }
    runs[index].result = view.endResult;
    return view.endResult;
}

void FakeUi::ClickControl(int id, FakeDialogView& view, platform::IDialogHandler& handler)
{
    if (!view.HasControl(id) || !view.Control(id).enabled) return;
    FakeControl& control = view.Control(id);
    view.focusId = id;
    if (control.kind == ControlKind::RadioButton) {
        // Automatic radio buttons: the run of radios around it in tab order is one group.
        const std::vector<int>& order = view.TabOrder();
        auto at = std::find(order.begin(), order.end(), id);
        auto first = at, last = at;
        while (first != order.begin() && view.Control(*(first - 1)).kind == ControlKind::RadioButton) --first;
        while (last + 1 != order.end() && view.Control(*(last + 1)).kind == ControlKind::RadioButton) ++last;
        for (auto it = first; it <= last; ++it) view.Control(*it).checked = (*it == id);
    }
    handler.OnCommand(view, id);
}

void FakeUi::Play(const UiAction& action, FakeDialogView& view, platform::IDialogHandler& handler)
{
    switch (action.kind) {
    case UiAction::Kind::SetText:
        view.Control(action.id).text = action.text;
        break;
    case UiAction::Kind::Type: {
        FakeControl& control = view.Control(action.id);
        if (!control.enabled) break;
        std::string text = action.text;
        if (control.limit > 0 && static_cast<int>(text.size()) > control.limit) {
            std::size_t keep = 0;
            while (keep < text.size()) {
                std::size_t n = cp932::CharLengthAt(text, keep);
                if (keep + n > static_cast<std::size_t>(control.limit)) break;
                keep += n;
            }
            text.resize(keep);
        }
        control.text = text;
        break;
    }
    case UiAction::Kind::Click:
        ClickControl(action.id, view, handler);
        break;
    case UiAction::Kind::Key: {
        for (int mod : action.modifiers) view.keysDown.insert(mod);
        bool consumed = handler.PreTranslateKey(view, action.key, view.focusId);
        if (!consumed && !view.ended) {
            int focus = view.focusId;
            ControlKind kind = view.HasControl(focus) ? view.Control(focus).kind : ControlKind::Other;
            if (action.key == VK_KEY_RETURN) {
                if (kind == ControlKind::PushButton)
                    handler.OnCommand(view, focus);
                else
                    handler.OnCommand(view, platform::ID_OK);
            } else if (action.key == VK_KEY_ESCAPE) {
                handler.OnCommand(view, platform::ID_CANCEL);
            } else if (action.key == VK_KEY_TAB) {
                view.focusId = view.NextTabStop(focus, view.keysDown.count(VK_KEY_SHIFT) > 0);
            } else if (action.key == VK_KEY_SPACE &&
                       (kind == ControlKind::PushButton || kind == ControlKind::RadioButton)) {
                ClickControl(focus, view, handler);
            }
        }
        for (int mod : action.modifiers) view.keysDown.erase(mod);
        break;
    }
    case UiAction::Kind::Close:
        handler.OnCommand(view, platform::ID_CANCEL);
        break;
    case UiAction::Kind::Focus:
        view.SetFocus(action.id);
        break;
    case UiAction::Kind::Do:
        if (action.fn) action.fn(view);
        break;
    }
}

std::unique_ptr<platform::IProgressView> FakeUi::CreateProgressView()
{
    auto state = std::make_shared<FakeProgressState>();
    state->createFails = nextProgressCreateFails;
    nextProgressCreateFails = false;
    progressViews.push_back(state);
    return std::make_unique<FakeProgressView>(state);
}

bool FakeUi::SaveFileDialog(HWND owner, const platform::SaveFileRequest& request, std::string& path)
{
    saveCalls.push_back(SaveDialogCall{owner, request});
    if (saveAnswers.empty()) return false;
    std::optional<std::string> answer = saveAnswers.front();
    saveAnswers.pop_front();
    if (!answer) return false;
    path = *answer;
    return true;
}

}  // namespace fakes
