// The replacement of a file as Windows performs it, with the refusals that pass tried
// again. Kept apart from the Win32 calls so that every documented outcome can be played
// through without a Windows file system.
#pragma once

#include "platform/services.h"

namespace platform {

// The Win32 error codes the replacement tells apart.
enum : unsigned long {
    kWinErrorFileNotFound = 2,
    kWinErrorAccessDenied = 5,
    kWinErrorSharingViolation = 32,
    kWinErrorLockViolation = 33,
    kWinErrorUnableToRemoveReplaced = 1175,
    kWinErrorUnableToMoveReplacement = 1176,
    kWinErrorUnableToMoveReplacement2 = 1177,
};

// A fresh file is often opened for a moment by a virus scanner, the search indexer or a
// sync client without delete sharing: the replacement is tried this many times, waiting
// kReplaceWaitStep milliseconds more before each new try.
constexpr int kReplaceTries = 10;
constexpr int kReplaceWaitStep = 25;

// The calls of one replacement; each answers the system's error code, 0 when it succeeded.
class IReplaceCalls {
public:
    virtual ~IReplaceCalls() = default;
    virtual bool DestinationIsFile() = 0;
    virtual unsigned long Replace() = 0;   // ReplaceFileW over the destination
    virtual unsigned long Move() = 0;      // MoveFileExW, replacing and writing through
    virtual void Wait(int milliseconds) = 0;
};

// Runs the replacement to its end and says what it left where.
ReplaceResult ReplaceWithRetries(IReplaceCalls& calls);

}  // namespace platform
