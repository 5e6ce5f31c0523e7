// The host's binary layout: the programs run inside the host's process and read its
// records and two members of its connection object straight from memory, so every offset
// and size below is what the host's compiler gives on x86 and on x64 (pointers 4 or 8
// bytes; 64-bit integers 8-aligned in both). A declaration or a compiler that lays them out
// otherwise must fail the build, never read the wrong bytes.
#pragma once

#include <cstddef>

// MEMBER(record, member, x86 offset, x86 size, x64 offset, x64 size) for each member;
// the size too, since a wider type can hide in the padding that follows a member.
// RECORD(record, x86 size, x64 size) for each record.
#define HOST_RECORD_LAYOUT(MEMBER, RECORD) \
    MEMBER(StDATAINFO, szDataId, 0, 16, 0, 16) \
    MEMBER(StDATAINFO, lDataNo, 16, 4, 16, 4) \
    MEMBER(StDATAINFO, szCompanyName, 20, 256, 20, 256) \
    MEMBER(StDATAINFO, lPeriodStart, 276, 4, 276, 4) \
    MEMBER(StDATAINFO, lPeriodEnd, 280, 4, 280, 4) \
    MEMBER(StDATAINFO, ulMfgCost, 284, 4, 284, 4) \
    MEMBER(StDATAINFO, sDataKind, 288, 2, 288, 2) \
    MEMBER(StDATAINFO, cReturnKind, 290, 1, 290, 1) \
    MEMBER(StDATAINFO, cBusinessKind, 291, 1, 291, 1) \
    RECORD(StDATAINFO, 292, 292) \
    MEMBER(StAOSUMCONDITION, cTarget, 0, 1, 0, 1) \
    MEMBER(StAOSUMCONDITION, cReserved, 1, 3, 1, 3) \
    MEMBER(StAOSUMCONDITION, lReserved, 4, 16, 4, 16) \
    RECORD(StAOSUMCONDITION, 20, 20) \
    MEMBER(StAOSUMINFO, lRowNo, 0, 4, 0, 4) \
    MEMBER(StAOSUMINFO, lLineCode, 4, 4, 4, 4) \
    MEMBER(StAOSUMINFO, szAccountName, 8, 41, 8, 41) \
    MEMBER(StAOSUMINFO, llBeginAmount, 56, 8, 56, 8) \
    MEMBER(StAOSUMINFO, llAmount, 64, 8, 64, 8) \
    RECORD(StAOSUMINFO, 72, 72) \
    MEMBER(StSIROSUMINFO, lRowNo, 0, 4, 0, 4) \
    MEMBER(StSIROSUMINFO, lLineCode, 4, 4, 4, 4) \
    MEMBER(StSIROSUMINFO, szAccountName, 8, 41, 8, 41) \
    MEMBER(StSIROSUMINFO, llBeginAmount, 56, 8, 56, 8) \
    MEMBER(StSIROSUMINFO, llAmount, 64, 8, 64, 8) \
    RECORD(StSIROSUMINFO, 72, 72) \
    MEMBER(StAOSUMINFO_TSUKIBETSU, llSlot, 0, 216, 0, 216) \
    RECORD(StAOSUMINFO_TSUKIBETSU, 216, 216) \
    MEMBER(StSavedEmployee, szName, 0, 41, 0, 41) \
    MEMBER(StSavedEmployee, lAge, 44, 4, 44, 4) \
    MEMBER(StSavedEmployee, lMonths, 48, 4, 48, 4) \
    MEMBER(StSavedEmployee, llSalary, 56, 8, 56, 8) \
    MEMBER(StSavedEmployee, llBonus, 64, 8, 64, 8) \
    MEMBER(StSavedEmployee, llTax, 72, 8, 72, 8) \
    RECORD(StSavedEmployee, 80, 80) \
    MEMBER(StSavedFamilyEmployee, szName, 0, 41, 0, 41) \
    MEMBER(StSavedFamilyEmployee, szRelation, 41, 7, 41, 7) \
    MEMBER(StSavedFamilyEmployee, lAge, 48, 4, 48, 4) \
    MEMBER(StSavedFamilyEmployee, lMonths, 52, 4, 52, 4) \
    MEMBER(StSavedFamilyEmployee, llSalary, 56, 8, 56, 8) \
    MEMBER(StSavedFamilyEmployee, llBonus, 64, 8, 64, 8) \
    MEMBER(StSavedFamilyEmployee, llTax, 72, 8, 72, 8) \
    RECORD(StSavedFamilyEmployee, 80, 80) \
    MEMBER(StSavedPayee, szUpper, 0, 41, 0, 41) \
    MEMBER(StSavedPayee, szLower, 41, 41, 41, 41) \
    MEMBER(StSavedPayee, llAmount, 88, 24, 88, 24) \
    RECORD(StSavedPayee, 112, 112) \
    MEMBER(StSavedLandRent, szUpper, 0, 41, 0, 41) \
    MEMBER(StSavedLandRent, szLower, 41, 41, 41, 41) \
    MEMBER(StSavedLandRent, szProperty, 82, 21, 82, 21) \
    MEMBER(StSavedLandRent, cMoneyKind, 103, 1, 103, 1) \
    MEMBER(StSavedLandRent, llAmount, 104, 24, 104, 24) \
    RECORD(StSavedLandRent, 128, 128) \
    MEMBER(StSavedTradeRow, szName, 0, 21, 0, 21) \
    MEMBER(StSavedTradeRow, szLocation, 21, 41, 21, 41) \
    MEMBER(StSavedTradeRow, llAmount, 64, 8, 64, 8) \
    RECORD(StSavedTradeRow, 72, 72) \
    MEMBER(StIPPAN_BASE, szAssociation, 0, 128, 0, 128) \
    MEMBER(StIPPAN_BASE, llRealEstateIncome, 128, 8, 128, 8) \
    MEMBER(StIPPAN_BASE, cDeduction, 136, 1, 136, 1) \
    RECORD(StIPPAN_BASE, 144, 144) \
    MEMBER(StIPPAN_FAMILY, family, 0, 400, 0, 400) \
    MEMBER(StIPPAN_FAMILY, llBadDebtIndividual, 400, 8, 400, 8) \
    MEMBER(StIPPAN_FAMILY, llBadDebtLumpSumTotal, 408, 8, 408, 8) \
    MEMBER(StIPPAN_FAMILY, llBadDebtLumpSumLimit, 416, 8, 416, 8) \
    MEMBER(StIPPAN_FAMILY, llBadDebtLumpSum, 424, 8, 424, 8) \
    RECORD(StIPPAN_FAMILY, 432, 432) \
    MEMBER(StIPPAN_SALARY, salary, 0, 480, 0, 480) \
    RECORD(StIPPAN_SALARY, 480, 480) \
    MEMBER(StIPPAN_PAYEE, payee, 0, 448, 0, 448) \
    RECORD(StIPPAN_PAYEE, 448, 448) \
    MEMBER(StIPPAN_LANDRENT, landRent, 0, 256, 0, 256) \
    RECORD(StIPPAN_LANDRENT, 256, 256) \
    MEMBER(StIPPAN_NOTES, szSpecialMatters, 0, 1024, 0, 1024) \
    MEMBER(StIPPAN_NOTES, llReducedRateSales, 1024, 8, 1024, 8) \
    MEMBER(StIPPAN_NOTES, llReducedRatePurchases, 1032, 8, 1032, 8) \
    RECORD(StIPPAN_NOTES, 1040, 1040) \
    MEMBER(StIPPAN_TRADE, sales, 0, 288, 0, 288) \
    MEMBER(StIPPAN_TRADE, llOtherSales, 288, 8, 288, 8) \
    MEMBER(StIPPAN_TRADE, purchases, 296, 288, 296, 288) \
    MEMBER(StIPPAN_TRADE, llOtherPurchases, 584, 8, 584, 8) \
    MEMBER(StIPPAN_TRADE, llSalesReducedRate, 592, 8, 592, 8) \
    MEMBER(StIPPAN_TRADE, llPurchasesReducedRate, 600, 8, 600, 8) \
    RECORD(StIPPAN_TRADE, 608, 608) \
    MEMBER(StAOSIROSAVEINFO_IPPAN, pBase, 0, 4, 0, 8) \
    MEMBER(StAOSIROSAVEINFO_IPPAN, pFamily, 4, 4, 8, 8) \
    MEMBER(StAOSIROSAVEINFO_IPPAN, pSalary, 8, 4, 16, 8) \
    MEMBER(StAOSIROSAVEINFO_IPPAN, pPayee, 12, 4, 24, 8) \
    MEMBER(StAOSIROSAVEINFO_IPPAN, pLandRent, 16, 4, 32, 8) \
    MEMBER(StAOSIROSAVEINFO_IPPAN, pNotes, 20, 4, 40, 8) \
    MEMBER(StAOSIROSAVEINFO_IPPAN, pTrade, 24, 4, 48, 8) \
    RECORD(StAOSIROSAVEINFO_IPPAN, 28, 56) \
    MEMBER(StFUDOUSAN_BASE, llLiabilityInterest, 0, 8, 0, 8) \
    RECORD(StFUDOUSAN_BASE, 8, 8) \
    MEMBER(StFUDOUSAN_RENTAL, lLeading, 0, 4, 0, 4) \
    MEMBER(StFUDOUSAN_RENTAL, lMarker, 4, 4, 4, 4) \
    MEMBER(StFUDOUSAN_RENTAL, szTenantB, 8, 41, 8, 41) \
    MEMBER(StFUDOUSAN_RENTAL, szLocation, 49, 41, 49, 41) \
    MEMBER(StFUDOUSAN_RENTAL, szTenantA, 90, 41, 90, 41) \
    MEMBER(StFUDOUSAN_RENTAL, szHouseOrLand, 131, 11, 131, 11) \
    MEMBER(StFUDOUSAN_RENTAL, szUse, 142, 22, 142, 22) \
    MEMBER(StFUDOUSAN_RENTAL, lFrom, 164, 4, 164, 4) \
    MEMBER(StFUDOUSAN_RENTAL, lTo, 168, 4, 168, 4) \
    MEMBER(StFUDOUSAN_RENTAL, llArea, 176, 8, 176, 8) \
    MEMBER(StFUDOUSAN_RENTAL, llMonthlyRent, 184, 8, 184, 8) \
    MEMBER(StFUDOUSAN_RENTAL, llAnnualRent, 192, 8, 192, 8) \
    MEMBER(StFUDOUSAN_RENTAL, llKeyMoney, 200, 8, 200, 8) \
    MEMBER(StFUDOUSAN_RENTAL, llPremium, 208, 8, 208, 8) \
    MEMBER(StFUDOUSAN_RENTAL, llRenewal, 216, 8, 216, 8) \
    MEMBER(StFUDOUSAN_RENTAL, llNameChange, 224, 8, 224, 8) \
    MEMBER(StFUDOUSAN_RENTAL, llDeposit, 232, 8, 232, 8) \
    RECORD(StFUDOUSAN_RENTAL, 240, 240) \
    MEMBER(StFUDOUSAN_PAYEE, payee, 0, 560, 0, 560) \
    RECORD(StFUDOUSAN_PAYEE, 560, 560) \
    MEMBER(StFUDOUSAN_EMPLOYEE, salary, 0, 160, 0, 160) \
    MEMBER(StFUDOUSAN_EMPLOYEE, lOtherPersons, 160, 4, 160, 4) \
    MEMBER(StFUDOUSAN_EMPLOYEE, family, 168, 160, 168, 160) \
    RECORD(StFUDOUSAN_EMPLOYEE, 328, 328) \
    MEMBER(StFUDOUSAN_LANDRENT, landRent, 0, 256, 0, 256) \
    RECORD(StFUDOUSAN_LANDRENT, 256, 256) \
    MEMBER(StFUDOUSAN_NOTES, szSpecialMatters, 0, 1024, 0, 1024) \
    RECORD(StFUDOUSAN_NOTES, 1024, 1024) \
    MEMBER(StSavedRepair, szUpper, 0, 41, 0, 41) \
    MEMBER(StSavedRepair, szLower, 41, 41, 41, 41) \
    MEMBER(StSavedRepair, szWork, 82, 21, 82, 21) \
    MEMBER(StSavedRepair, lDate, 104, 4, 104, 4) \
    MEMBER(StSavedRepair, llPaid, 112, 8, 112, 8) \
    MEMBER(StSavedRepair, llExpense, 120, 8, 120, 8) \
    RECORD(StSavedRepair, 128, 128) \
    MEMBER(StFUDOUSAN_REPAIR, repair, 0, 384, 0, 384) \
    RECORD(StFUDOUSAN_REPAIR, 384, 384) \
    MEMBER(StScaleUse, lDetached, 0, 4, 0, 4) \
    MEMBER(StScaleUse, lOtherBuildings, 4, 4, 4, 4) \
    MEMBER(StScaleUse, lLandContracts, 8, 4, 8, 4) \
    MEMBER(StScaleUse, llLandArea, 16, 8, 16, 8) \
    RECORD(StScaleUse, 24, 24) \
    MEMBER(StFUDOUSAN_SCALE, lReserved, 0, 4, 0, 4) \
    MEMBER(StFUDOUSAN_SCALE, residential, 8, 24, 8, 24) \
    MEMBER(StFUDOUSAN_SCALE, nonResidential, 32, 24, 32, 24) \
    MEMBER(StFUDOUSAN_SCALE, lParkingRoofed, 56, 4, 56, 4) \
    MEMBER(StFUDOUSAN_SCALE, lParkingOpen, 60, 4, 60, 4) \
    RECORD(StFUDOUSAN_SCALE, 64, 64) \
    MEMBER(StAOSIROSAVEINFO_FUDOUSAN, pBase, 0, 4, 0, 8) \
    MEMBER(StAOSIROSAVEINFO_FUDOUSAN, pRentals, 4, 4, 8, 8) \
    MEMBER(StAOSIROSAVEINFO_FUDOUSAN, pPayee, 8, 4, 16, 8) \
    MEMBER(StAOSIROSAVEINFO_FUDOUSAN, pEmployee, 12, 4, 24, 8) \
    MEMBER(StAOSIROSAVEINFO_FUDOUSAN, pLandRent, 16, 4, 32, 8) \
    MEMBER(StAOSIROSAVEINFO_FUDOUSAN, pNotes, 20, 4, 40, 8) \
    MEMBER(StAOSIROSAVEINFO_FUDOUSAN, pRepair, 24, 4, 48, 8) \
    MEMBER(StAOSIROSAVEINFO_FUDOUSAN, pScale, 28, 4, 56, 8) \
    RECORD(StAOSIROSAVEINFO_FUDOUSAN, 32, 64)

// The host allocates its connection object; the programs write only these two members,
// so their places are what counts, not the object's size.
#define HOST_SESSION_LAYOUT(MEMBER) \
    MEMBER(ClAccConnect, m_pszCaption, 0, 4, 0, 8) \
    MEMBER(ClAccConnect, m_hOwnerWnd, 4, 4, 8, 8)

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "host layout: only x86 and x64 are known");

#define HOST_LAYOUT_BYTES(x86, x64) (sizeof(void*) == 4 ? std::size_t{x86} : std::size_t{x64})
#define HOST_CHECK_MEMBER(record, member, x86Offset, x86Size, x64Offset, x64Size) \
    static_assert(offsetof(record, member) == HOST_LAYOUT_BYTES(x86Offset, x64Offset), \
                  "host layout: offset of " #record "::" #member); \
    static_assert(sizeof(record::member) == HOST_LAYOUT_BYTES(x86Size, x64Size), \
                  "host layout: size of " #record "::" #member);
#define HOST_CHECK_RECORD(record, x86, x64) \
    static_assert(sizeof(record) == HOST_LAYOUT_BYTES(x86, x64), "host layout: size of " #record);
