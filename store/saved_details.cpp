#include "store/saved_details.h"

#include <cstring>

#include "platform/services.h"

namespace {
template <std::size_t N>
void FreeBlocks(void* const (&blocks)[N])
{
    for (void* block : blocks) {
        if (block != nullptr)
            platform::TaskMemFree(block);
    }
}

template <class Block>
bool FillMissing(Block*& block)
{
    if (block != nullptr) return true;
    void* memory = platform::TaskMemAlloc(sizeof(Block));
    if (memory == nullptr) return false;
    std::memset(memory, 0, sizeof(Block));
    block = static_cast<Block*>(memory);
    return true;
}
}  // namespace

void FreeSavedGeneral(StAOSIROSAVEINFO_IPPAN& saved)
{
    void* const blocks[] = {saved.pBase,     saved.pFamily, saved.pSalary, saved.pPayee,
                            saved.pLandRent, saved.pNotes,  saved.pTrade};
    FreeBlocks(blocks);
    saved = StAOSIROSAVEINFO_IPPAN{};
}

void FreeSavedRealEstate(StAOSIROSAVEINFO_FUDOUSAN& saved)
{
    void* const blocks[] = {saved.pBase,     saved.pRentals, saved.pPayee,  saved.pEmployee,
                            saved.pLandRent, saved.pNotes,   saved.pRepair, saved.pScale};
    FreeBlocks(blocks);
    saved = StAOSIROSAVEINFO_FUDOUSAN{};
}

int FillMissingSavedGeneral(StAOSIROSAVEINFO_IPPAN& saved)
{
    return FillMissing(saved.pBase) && FillMissing(saved.pFamily) && FillMissing(saved.pSalary) &&
                   FillMissing(saved.pPayee) && FillMissing(saved.pLandRent) && FillMissing(saved.pNotes) &&
                   FillMissing(saved.pTrade)
               ? 1
               : 0;
}

int FillMissingSavedRealEstate(StAOSIROSAVEINFO_FUDOUSAN& saved)
{
    const bool hadRentals = saved.pRentals != nullptr;
    if (!FillMissing(saved.pBase) || !FillMissing(saved.pRentals) || !FillMissing(saved.pPayee) ||
        !FillMissing(saved.pEmployee) || !FillMissing(saved.pLandRent) || !FillMissing(saved.pNotes) ||
        !FillMissing(saved.pRepair) || !FillMissing(saved.pScale))
        return 0;
    if (!hadRentals) saved.pRentals->lMarker = -1;   // an empty list: its end marker alone
    return 1;
}
