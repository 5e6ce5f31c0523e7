#include "tests/fakes/saved_details.h"

#include "platform/services.h"

namespace fakes {
namespace {
template <typename T>
void Allocate(T*& block)
{
    block = static_cast<T*>(platform::TaskMemAlloc(sizeof(T)));
}
template <typename T>
void Free(T*& block)
{
    platform::TaskMemFree(block);
    block = nullptr;
}
}  // namespace

SavedDetails::SavedDetails()
{
    Allocate(general.pBase);
    Allocate(general.pFamily);
    Allocate(general.pSalary);
    Allocate(general.pPayee);
    Allocate(general.pLandRent);
    Allocate(general.pNotes);
    Allocate(general.pTrade);
    Allocate(realEstate.pBase);
    Allocate(realEstate.pPayee);
    Allocate(realEstate.pEmployee);
    Allocate(realEstate.pLandRent);
    Allocate(realEstate.pNotes);
    Allocate(realEstate.pRepair);
    Allocate(realEstate.pScale);
    SetRentals(0, true);
}

SavedDetails::~SavedDetails()
{
    Free(general.pBase);
    Free(general.pFamily);
    Free(general.pSalary);
    Free(general.pPayee);
    Free(general.pLandRent);
    Free(general.pNotes);
    Free(general.pTrade);
    Free(realEstate.pBase);
    Free(realEstate.pRentals);
    Free(realEstate.pPayee);
    Free(realEstate.pEmployee);
    Free(realEstate.pLandRent);
    Free(realEstate.pNotes);
    Free(realEstate.pRepair);
    Free(realEstate.pScale);
}

void SavedDetails::SetRentals(std::size_t rows, bool withMarker)
{
    Free(realEstate.pRentals);
    std::size_t count = rows + (withMarker ? 1 : 0);
    realEstate.pRentals =
        static_cast<StFUDOUSAN_RENTAL*>(platform::TaskMemAlloc(sizeof(StFUDOUSAN_RENTAL) * count));
    if (withMarker && realEstate.pRentals) realEstate.pRentals[rows].lMarker = -1;
}

}  // namespace fakes
