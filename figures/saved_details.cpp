#include "figures/saved_details.h"

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
