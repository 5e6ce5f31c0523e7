// The host's records: company data sets, summed lines and the saved statement details.
// Amounts are signed 64-bit ten-thousandths of a yen; texts are CP932, NUL-terminated.
#pragma once

#include <cstdint>

#include "host/host_layout.h"

#pragma pack(push, 8)

// One company data set, delivered by ClSetData::WalkDat.
// The data kind of a data set that holds past results.
constexpr int16_t kPastResultsDataKind = 99;

struct StDATAINFO {
    char szDataId[16];          // the id text SetCurDataID takes; always at the start
    int32_t lDataNo;            // data number, matched against the user's selection
    char szCompanyName[256];    // company name, at most 255 bytes
    int32_t lPeriodStart;       // yyyymmdd
    int32_t lPeriodEnd;         // yyyymmdd
    uint32_t ulMfgCost;         // nonzero: keeps a manufacturing cost statement
    int16_t sDataKind;          // kPastResultsDataKind or another kind
    uint8_t cReturnKind;        // 3 blue, 4 white
    uint8_t cBusinessKind;      // 1 general only, 2 real estate only, other: both
};

// Condition of ClRuleAo::Ready: first member 255, the rest zero.
struct StAOSUMCONDITION {
    uint8_t cTarget;
    uint8_t cReserved[3];
    int32_t lReserved[4];
};

// One summed line of the blue engine.
struct StAOSUMINFO {
    int32_t lRowNo;             // row on the host's statement, from 1
    int32_t lLineCode;          // code the statement tables look up
    char szAccountName[41];     // at most 40 bytes
    int64_t llBeginAmount;      // balance at the start of the period
    int64_t llAmount;           // end balance or period amount
};

// One summed line of the white engine; the same fields are read.
struct StSIROSUMINFO {
    int32_t lRowNo;
    int32_t lLineCode;
    char szAccountName[41];
    int64_t llBeginAmount;
    int64_t llAmount;
};

// Monthly sales and purchases: slots 0-11 sales per month, 12 own use, 13 other
// income, 14 total sales, 15-26 purchases per month.
struct StAOSUMINFO_TSUKIBETSU {
    int64_t llSlot[27];
};

// ---- saved statement details, general form (seven blocks) ----

struct StSavedEmployee {            // salary row
    char szName[41];
    int32_t lAge;
    int32_t lMonths;
    int64_t llSalary;
    int64_t llBonus;
    int64_t llTax;
};

struct StSavedFamilyEmployee {      // family-employee row
    char szName[41];
    char szRelation[7];
    int32_t lAge;
    int32_t lMonths;
    int64_t llSalary;
    int64_t llBonus;
    int64_t llTax;
};

struct StSavedPayee {               // interest, borrowing and fee rows
    char szUpper[41];
    char szLower[41];
    int64_t llAmount[3];
};

struct StSavedLandRent {            // land and house rent rows
    char szUpper[41];
    char szLower[41];
    char szProperty[21];
    uint8_t cMoneyKind;             // 0 premium, 1 renewal fee
    int64_t llAmount[3];            // premium or renewal fee, rent, necessary expense
};

struct StSavedTradeRow {            // sales or purchase breakdown row
    char szName[21];
    char szLocation[41];
    int64_t llAmount;
};

struct StIPPAN_BASE {               // block 1
    char szAssociation[128];
    int64_t llRealEstateIncome;
    uint8_t cDeduction;             // 1: 650000 yen, 0: 100000 yen
};

struct StIPPAN_FAMILY {             // block 2
    StSavedFamilyEmployee family[5];
    int64_t llBadDebtIndividual;
    int64_t llBadDebtLumpSumTotal;
    int64_t llBadDebtLumpSumLimit;
    int64_t llBadDebtLumpSum;
};

struct StIPPAN_SALARY {             // block 3
    StSavedEmployee salary[6];
};

struct StIPPAN_PAYEE {              // block 4: two interest rows, then two fee rows
    StSavedPayee payee[4];
};

struct StIPPAN_LANDRENT {           // block 5
    StSavedLandRent landRent[2];
};

struct StIPPAN_NOTES {              // block 6
    char szSpecialMatters[1024];
    int64_t llReducedRateSales;
    int64_t llReducedRatePurchases;
};

struct StIPPAN_TRADE {              // block 7
    StSavedTradeRow sales[4];
    int64_t llOtherSales;
    StSavedTradeRow purchases[4];
    int64_t llOtherPurchases;
    int64_t llSalesReducedRate;
    int64_t llPurchasesReducedRate;
};

struct StAOSIROSAVEINFO_IPPAN {
    StIPPAN_BASE* pBase;
    StIPPAN_FAMILY* pFamily;
    StIPPAN_SALARY* pSalary;
    StIPPAN_PAYEE* pPayee;
    StIPPAN_LANDRENT* pLandRent;
    StIPPAN_NOTES* pNotes;
    StIPPAN_TRADE* pTrade;
};

// ---- saved statement details, real-estate form (eight blocks) ----

struct StFUDOUSAN_BASE {            // block 1
    int64_t llLiabilityInterest;
};

struct StFUDOUSAN_RENTAL {          // block 2: one rented property; a marker of -1 ends the list
    int32_t lLeading;
    int32_t lMarker;
    char szTenantB[41];
    char szLocation[41];
    char szTenantA[41];
    char szHouseOrLand[11];
    char szUse[22];
    int32_t lFrom;
    int32_t lTo;
    int64_t llArea;
    int64_t llMonthlyRent;
    int64_t llAnnualRent;
    int64_t llKeyMoney;
    int64_t llPremium;
    int64_t llRenewal;
    int64_t llNameChange;
    int64_t llDeposit;
};

struct StFUDOUSAN_PAYEE {           // block 3: three borrowing rows, then two fee rows
    StSavedPayee payee[5];
};

struct StFUDOUSAN_EMPLOYEE {        // block 4
    StSavedEmployee salary[2];
    int32_t lOtherPersons;
    StSavedFamilyEmployee family[2];
};

struct StFUDOUSAN_LANDRENT {        // block 5
    StSavedLandRent landRent[2];
};

struct StFUDOUSAN_NOTES {           // block 6
    char szSpecialMatters[1024];
};

struct StSavedRepair {
    char szUpper[41];
    char szLower[41];
    char szWork[21];
    int32_t lDate;
    int64_t llPaid;
    int64_t llExpense;
};

struct StFUDOUSAN_REPAIR {          // block 7
    StSavedRepair repair[3];
};

struct StScaleUse {
    int32_t lDetached;
    int32_t lOtherBuildings;
    int32_t lLandContracts;
    int64_t llLandArea;
};

struct StFUDOUSAN_SCALE {           // block 8
    int32_t lReserved;
    StScaleUse residential;
    StScaleUse nonResidential;
    int32_t lParkingRoofed;
    int32_t lParkingOpen;
};

struct StAOSIROSAVEINFO_FUDOUSAN {
    StFUDOUSAN_BASE* pBase;
    StFUDOUSAN_RENTAL* pRentals;
    StFUDOUSAN_PAYEE* pPayee;
    StFUDOUSAN_EMPLOYEE* pEmployee;
    StFUDOUSAN_LANDRENT* pLandRent;
    StFUDOUSAN_NOTES* pNotes;
    StFUDOUSAN_REPAIR* pRepair;
    StFUDOUSAN_SCALE* pScale;
};

#pragma pack(pop)

HOST_RECORD_LAYOUT(HOST_CHECK_MEMBER, HOST_CHECK_RECORD)
