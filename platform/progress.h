// What the collector and the report builder tell of their progress: the progress window
// implements it, tests record it. Units run from 0 to 1000 over the whole export.
#pragma once

namespace platform {

class IProgress {
public:
    virtual ~IProgress() = default;
    // Walks the stretch of units from..to, showing every step.
    virtual void Advance(short from, short to) = 0;
    // One unit of work inside a stretch: the activity bar moves on.
    virtual void Pulse() = 0;
};

}  // namespace platform
