// FakeWaitCursor: a recording platform::IWaitCursor.
//   calls   "Begin", "Restore", "End" in order
//   depth   Begin minus End: 0 when every wait cursor was turned off again
#pragma once

#include <string>
#include <vector>

#include "platform/services.h"

namespace fakes {

class FakeWaitCursor : public platform::IWaitCursor {
public:
    void Begin() override
    {
        calls.push_back("Begin");
        ++depth;
    }
    void Restore() override { calls.push_back("Restore"); }
    void End() override
    {
        calls.push_back("End");
        --depth;
    }

    std::vector<std::string> calls;
    int depth = 0;
};

}  // namespace fakes
