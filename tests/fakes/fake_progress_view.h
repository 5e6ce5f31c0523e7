// FakeProgressView: a recording platform::IProgressView.
//
// Its state lives in a shared FakeProgressState, so that a test keeps looking at it
// after the code under test has destroyed the view (FakeUi keeps every state it made).
//   bars[id]        range, position and step of each bar. As the common control does
//                   with PBM_SETRANGE, the bounds are taken as unsigned 16-bit words,
//                   the position is clamped into the range on every change (SetRange,
//                   SetPos, DeltaPos), and a fresh bar has range 0..100, position 0,
//                   step 10
//   captions        every caption set, in order (CP932 bytes)
//   counts[name]    how often each method was called ("SetPos", "DeltaPos", ...)
//   calls           "SetRange 1001 0 1000", "SetPos 1001 35", "DeltaPos 1002 1", "TurnThemeOff 1001",
//                   "SetCaption <UTF-8>", "End 1", ...
//   created, shown, ended, endResult, destroyed, parent
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/services.h"

namespace fakes {

struct FakeBar {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
    std::vector<int> positions;   // every position the bar showed after a change
};

struct FakeProgressState {
    bool created = false;
    bool createFails = false;     // set before Create to make it fail
    bool shown = false;
    bool ended = false;
    int endResult = 0;
    bool destroyed = false;
    HWND parent = nullptr;
    HWND handle = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x131));
    std::map<int, FakeBar> bars;
    std::vector<std::string> captions;
    std::map<std::string, int> counts;
    std::vector<std::string> calls;
};

class FakeProgressView : public platform::IProgressView {
public:
    explicit FakeProgressView(std::shared_ptr<FakeProgressState> state = std::make_shared<FakeProgressState>());

    FakeProgressState& state() { return *m_state; }
    std::shared_ptr<FakeProgressState> shared() const { return m_state; }

    bool Create() override;
    HWND Handle() override;
    void SetParent(HWND parent) override;
    void Show() override;
    void SetCaption(const std::string& text) override;
    void SetRange(int barId, int low, int high) override;
    void SetStep(int barId, int step) override;
    void SetPos(int barId, int pos) override;
    void DeltaPos(int barId, int increment) override;
    void TurnThemeOff(int barId) override;
    void BringToTop() override;
    void SetForeground() override;
    void Update() override;
    void End(int result) override;
    void Destroy() override;

private:
    void Record(const std::string& name, const std::string& text);
    static void Clamp(FakeBar& bar);
    std::shared_ptr<FakeProgressState> m_state;
};

}  // namespace fakes
