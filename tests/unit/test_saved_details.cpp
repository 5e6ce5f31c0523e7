// The saved-details records after a fetch: blocks the host left out are given zeroed
// ones of their own (the rental list its end marker alone), blocks it gave are kept,
// and the release frees both alike.
#include <gtest/gtest.h>

#include <string>

#include "store/saved_details.h"
#include "platform/services.h"

namespace {

template <class Block>
bool AllZero(const Block* block)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(block);
    for (std::size_t i = 0; i < sizeof(Block); ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST(SavedDetails, MissingGeneralBlocksBecomeZeroedOnes)
{
    StAOSIROSAVEINFO_IPPAN saved{};
    auto* notes = static_cast<StIPPAN_NOTES*>(platform::TaskMemAlloc(sizeof(StIPPAN_NOTES)));
    ASSERT_NE(nullptr, notes);
    notes->szSpecialMatters[0] = 'x';
    saved.pNotes = notes;

    ASSERT_EQ(1, FillMissingSavedGeneral(saved));
    EXPECT_EQ(notes, saved.pNotes) << "a block the host gave is kept";
    EXPECT_EQ('x', saved.pNotes->szSpecialMatters[0]);
    ASSERT_NE(nullptr, saved.pBase);
    ASSERT_NE(nullptr, saved.pFamily);
    ASSERT_NE(nullptr, saved.pSalary);
    ASSERT_NE(nullptr, saved.pPayee);
    ASSERT_NE(nullptr, saved.pLandRent);
    ASSERT_NE(nullptr, saved.pTrade);
    EXPECT_TRUE(AllZero(saved.pBase));
    EXPECT_TRUE(AllZero(saved.pFamily));
    EXPECT_TRUE(AllZero(saved.pSalary));
    EXPECT_TRUE(AllZero(saved.pPayee));
    EXPECT_TRUE(AllZero(saved.pLandRent));
    EXPECT_TRUE(AllZero(saved.pTrade));
    EXPECT_EQ(sizeof(StIPPAN_TRADE), platform::TaskMemSize(saved.pTrade)) << "from the task allocator";

    FreeSavedGeneral(saved);   // the sanitizer build reports any block left behind
    EXPECT_EQ(nullptr, saved.pBase);
}

TEST(SavedDetails, AMissingRentalListIsItsEndMarkerAlone)
{
    StAOSIROSAVEINFO_FUDOUSAN saved{};
    ASSERT_EQ(1, FillMissingSavedRealEstate(saved));
    ASSERT_NE(nullptr, saved.pRentals);
    EXPECT_EQ(-1, saved.pRentals->lMarker);
    EXPECT_EQ(sizeof(StFUDOUSAN_RENTAL), platform::TaskMemSize(saved.pRentals));
    for (const void* block : {static_cast<const void*>(saved.pBase), static_cast<const void*>(saved.pPayee),
                              static_cast<const void*>(saved.pEmployee), static_cast<const void*>(saved.pLandRent),
                              static_cast<const void*>(saved.pNotes), static_cast<const void*>(saved.pRepair),
                              static_cast<const void*>(saved.pScale)})
        EXPECT_NE(nullptr, block);
    EXPECT_TRUE(AllZero(saved.pScale));
    EXPECT_TRUE(AllZero(saved.pNotes));
    FreeSavedRealEstate(saved);
}

TEST(SavedDetails, AGivenRentalListKeepsItsRows)
{
    StAOSIROSAVEINFO_FUDOUSAN saved{};
    auto* rows = static_cast<StFUDOUSAN_RENTAL*>(platform::TaskMemAlloc(2 * sizeof(StFUDOUSAN_RENTAL)));
    ASSERT_NE(nullptr, rows);
    rows[1].lMarker = -1;
    saved.pRentals = rows;
    ASSERT_EQ(1, FillMissingSavedRealEstate(saved));
    EXPECT_EQ(rows, saved.pRentals);
    EXPECT_EQ(0, saved.pRentals[0].lMarker) << "the first row is still a property";
    FreeSavedRealEstate(saved);
}

TEST(SavedDetails, BlockOrEmptyReadsAMissingBlockAsZero)
{
    const StFUDOUSAN_SCALE* missing = nullptr;
    const StFUDOUSAN_SCALE* read = BlockOrEmpty(missing);
    ASSERT_NE(nullptr, read);
    EXPECT_TRUE(AllZero(read));
    StFUDOUSAN_SCALE given{};
    EXPECT_EQ(&given, BlockOrEmpty(static_cast<const StFUDOUSAN_SCALE*>(&given)));
}

}  // namespace
