#include "platform/replace_retry.h"

namespace platform {
namespace {

bool Passes(unsigned long error)
{
    return error == kWinErrorSharingViolation || error == kWinErrorAccessDenied || error == kWinErrorLockViolation ||
           error == kWinErrorUnableToRemoveReplaced;
}

}  // namespace

ReplaceResult ReplaceWithRetries(IReplaceCalls& calls)
{
    // Once Windows has removed the destination, the new file under its own name is the
    // only copy: from then on only a move can put it in place, and nothing may delete it.
    bool destinationGone = false;
    unsigned long error = 0;
    for (int attempt = 1;; ++attempt) {
        if (!destinationGone && calls.DestinationIsFile()) {
            error = calls.Replace();
            if (error == kWinErrorUnableToMoveReplacement || error == kWinErrorUnableToMoveReplacement2) {
                destinationGone = true;
                error = calls.Move();
            } else if (error == kWinErrorFileNotFound) {
                // The destination vanished meanwhile: nothing is left to replace.
                error = calls.Move();
            }
        } else {
            error = calls.Move();
        }
        if (error == 0) return ReplaceResult::kReplaced;
        if (!Passes(error) || attempt >= kReplaceTries) break;
        calls.Wait(kReplaceWaitStep * attempt);
    }
    if (destinationGone) return ReplaceResult::kOnlyAtSource;
    if (error == kWinErrorAccessDenied || error == kWinErrorUnableToRemoveReplaced) return ReplaceResult::kDenied;
    return ReplaceResult::kRefused;
}

}  // namespace platform
