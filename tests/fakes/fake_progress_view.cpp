#include "tests/fakes/fake_progress_view.h"

#include "common/cp932.h"

namespace fakes {

FakeProgressView::FakeProgressView(std::shared_ptr<FakeProgressState> state) : m_state(std::move(state)) {}

void FakeProgressView::Record(const std::string& name, const std::string& text)
{
    m_state->counts[name]++;
    m_state->calls.push_back(text.empty() ? name : name + " " + text);
}

void FakeProgressView::Clamp(FakeBar& bar)
{
    if (bar.pos < bar.low) bar.pos = bar.low;
    if (bar.pos > bar.high) bar.pos = bar.high;
}

bool FakeProgressView::Create()
{
    Record("Create", "");
    if (m_state->createFails) return false;
    m_state->created = true;
    return true;
}

HWND FakeProgressView::Handle() { return m_state->created ? m_state->handle : nullptr; }

void FakeProgressView::SetParent(HWND parent)
{
    Record("SetParent", std::to_string(reinterpret_cast<std::uintptr_t>(parent)));
    m_state->parent = parent;
}

void FakeProgressView::Show()
{
    Record("Show", "");
    m_state->shown = true;
}

void FakeProgressView::SetCaption(const std::string& text)
{
    Record("SetCaption", cp932::ToUtf8(text));
    m_state->captions.push_back(text);
}

void FakeProgressView::SetRange(int barId, int low, int high)
{
    Record("SetRange", std::to_string(barId) + " " + std::to_string(low) + " " + std::to_string(high));
    FakeBar& bar = m_state->bars[barId];
    // PBM_SETRANGE carries the bounds as the two unsigned words of one parameter.
    bar.low = low & 0xFFFF;
    bar.high = high & 0xFFFF;
    Clamp(bar);
}

void FakeProgressView::SetStep(int barId, int step)
{
    Record("SetStep", std::to_string(barId) + " " + std::to_string(step));
    m_state->bars[barId].step = step;
}

void FakeProgressView::SetPos(int barId, int pos)
{
    Record("SetPos", std::to_string(barId) + " " + std::to_string(pos));
    FakeBar& bar = m_state->bars[barId];
    bar.pos = pos;
    Clamp(bar);
    bar.positions.push_back(bar.pos);
}

void FakeProgressView::TurnThemeOff(int barId) { Record("TurnThemeOff", std::to_string(barId)); }

void FakeProgressView::DeltaPos(int barId, int increment)
{
    Record("DeltaPos", std::to_string(barId) + " " + std::to_string(increment));
    FakeBar& bar = m_state->bars[barId];
    if (increment != 0) {
        bar.pos += increment;
        Clamp(bar);
    }
    bar.positions.push_back(bar.pos);
}

void FakeProgressView::BringToTop() { Record("BringToTop", ""); }
void FakeProgressView::SetForeground() { Record("SetForeground", ""); }
void FakeProgressView::Update() { Record("Update", ""); }

void FakeProgressView::End(int result)
{
    Record("End", std::to_string(result));
    m_state->ended = true;
    m_state->endResult = result;
}

void FakeProgressView::Destroy()
{
    Record("Destroy", "");
    m_state->destroyed = true;
}

}  // namespace fakes
