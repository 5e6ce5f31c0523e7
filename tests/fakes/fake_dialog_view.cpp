#include "tests/fakes/fake_dialog_view.h"

#include <algorithm>

#include "common/cp932.h"

namespace fakes {

FakeDialogView::FakeDialogView(HWND handleValue) : handle(handleValue) {}

FakeControl& FakeDialogView::AddControl(int id, ControlKind kind, const std::string& text, bool tabStop)
{
    FakeControl& control = controls[id];
    control.kind = kind;
    control.text = text;
    control.tabStop = tabStop;
    if (std::find(tabOrder.begin(), tabOrder.end(), id) == tabOrder.end()) tabOrder.push_back(id);
    return control;
}

FakeControl& FakeDialogView::Control(int id) { return controls[id]; }

int FakeDialogView::FirstTabStop() const
{
    for (int id : tabOrder) {
        const FakeControl& control = controls.at(id);
        if (control.tabStop && control.enabled) return id;
    }
    return 0;
}

int FakeDialogView::NextTabStop(int from, bool backwards) const
{
    if (tabOrder.empty()) return 0;
    int n = static_cast<int>(tabOrder.size());
    int start = static_cast<int>(std::find(tabOrder.begin(), tabOrder.end(), from) - tabOrder.begin());
    if (start >= n) start = backwards ? 0 : n - 1;
    for (int step = 1; step <= n; ++step) {
        int index = ((start + (backwards ? -step : step)) % n + n) % n;
        const FakeControl& control = controls.at(tabOrder[index]);
        if (control.tabStop && control.enabled) return tabOrder[index];
    }
    return from;
}

std::vector<std::string> FakeDialogView::CallsStartingWith(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0) out.push_back(call);
    return out;
}

std::string FakeDialogView::GetItemText(int id) { return controls[id].text; }

void FakeDialogView::SetItemText(int id, const std::string& text)
{
    controls[id].text = text;
    calls.push_back("SetItemText " + std::to_string(id) + " " + cp932::ToUtf8(text));
}

bool FakeDialogView::IsChecked(int id) { return controls[id].checked; }

void FakeDialogView::SetCheck(int id, bool checked)
{
    controls[id].checked = checked;
    calls.push_back("SetCheck " + std::to_string(id) + (checked ? " 1" : " 0"));
}

void FakeDialogView::EnableItem(int id, bool enable)
{
    controls[id].enabled = enable;
    calls.push_back("EnableItem " + std::to_string(id) + (enable ? " 1" : " 0"));
}

bool FakeDialogView::IsItemEnabled(int id) { return controls[id].enabled; }

void FakeDialogView::SetFocus(int id)
{
    calls.push_back("SetFocus " + std::to_string(id));
    if (controls[id].enabled) focusId = id;
}

void FakeDialogView::SelectAllText(int id)
{
    controls[id].selectAllCount++;
    calls.push_back("SelectAllText " + std::to_string(id));
}

void FakeDialogView::LimitText(int id, int bytes)
{
    controls[id].limit = bytes;
    calls.push_back("LimitText " + std::to_string(id) + " " + std::to_string(bytes));
}

void FakeDialogView::End(int result)
{
    calls.push_back("End " + std::to_string(result));
    if (!ended) {
        ended = true;
        endResult = result;
    }
}

}  // namespace fakes
