// Release of the saved-details records: every block the host allocated goes back to the
// task allocator, and the record is left all zero so nothing is freed twice.
#pragma once

#include "host/host_records.h"

void FreeSavedGeneral(StAOSIROSAVEINFO_IPPAN& saved);
void FreeSavedRealEstate(StAOSIROSAVEINFO_FUDOUSAN& saved);

// A block the host left out reads as an empty one (blank texts, zero amounts), so the
// writers never follow a null pointer.
template <class Block>
const Block* BlockOrEmpty(const Block* block)
{
    static const Block empty{};
    return block != nullptr ? block : &empty;
}

// After a fetch, gives every block the host left out a zeroed one of its own (the
// rental list one end-marker row), so that figures written into a block have a place
// and the release frees them like the host's. 0 when a block cannot be allocated.
int FillMissingSavedGeneral(StAOSIROSAVEINFO_IPPAN& saved);
int FillMissingSavedRealEstate(StAOSIROSAVEINFO_FUDOUSAN& saved);
