// The section writers of the report's DATA part: each writes one section's elements
// from the figure store through the writer, and the layout calls them in form order.
// Write failures stay with the writer (ClXmlWriter::Failed), read once when the report
// ends; each returns 1, or 0 only when the figures cannot give the section as asked.
#pragma once

#include <cstdint>

#include "host/host_records.h"
#include "store/figure_store.h"
#include "store/sum_lines.h"

class ClXmlWriter;

namespace sections {

// The parts of the figure store that the sections read. A tool or test may leave any of
// them out: missing saved details read as empty blocks, while the statement tables and
// the monthly table refuse to write without their figures rather than write zeros.
struct StFigures {
    const ClSumLineList* sumLines = nullptr;
    const StAOSUMINFO_TSUKIBETSU* monthlyTotals = nullptr;
    const StAOSIROSAVEINFO_IPPAN* savedGeneral = nullptr;
    const StAOSIROSAVEINFO_FUDOUSAN* savedRealEstate = nullptr;
};

// Every part of store.
StFigures FiguresOf(const ClFigureStore& store);

// One row of an income-statement or manufacturing-cost table.
struct StLineRow {
    const char* name;
    int32_t code;
    int32_t withName;   // 1: also writes <name>_KAMOKU with the account name
};

// One row of a balance-sheet table.
struct StBalanceRow {
    const char* name;
    uint8_t column;     // 0 beginning, 1 end of period, 3 account name
    int32_t code;
};

// The seven constant tables.
extern const StLineRow BlueGeneralIncomeRows[35];
extern const StLineRow ManufacturingCostRows[20];
extern const StLineRow WhiteGeneralIncomeRows[30];
extern const StLineRow BlueRealEstateIncomeRows[17];
extern const StLineRow WhiteRealEstateIncomeRows[14];
extern const StBalanceRow BlueGeneralBalanceRows[114];
extern const StBalanceRow BlueRealEstateBalanceRows[116];

// Account statement sections. FindSumLine copies the line whose code is key (mode 0) or
// the key-th line (mode 1) into out.
int FindSumLine(const StFigures& figures, int32_t key, int mode, StAOSUMINFO* out);
int WriteLineTable(ClXmlWriter& writer, const StFigures& figures, const StLineRow* table, int rows);
int WriteBalanceTable(ClXmlWriter& writer, const StFigures& figures, const StBalanceRow* table, int rows);
int WriteMonthlyTable(ClXmlWriter& writer, const StFigures& figures);

// Removes blanks, brackets and the "(製)" marker from an account name, whole
// characters only. Reads at most length bytes of name; out holds length + 1 bytes.
// Returns 0 without writing when name is empty.
int StripAccountName(const char* name, char* out, int length);

// Bad-debt reserve, special deduction, real-estate figures.
int WriteBadDebtReserve(ClXmlWriter& writer, const StFigures& figures);
int WriteBlueDeduction(ClXmlWriter& writer, const StFigures& figures);
int WriteDeductionChoice(ClXmlWriter& writer, const StFigures& figures);   // AOIROKOUJO_SENTAKU of the real-estate form
int WriteLiabilityInterest(ClXmlWriter& writer, const StFigures& figures);
int WriteRentalScale(ClXmlWriter& writer, const StFigures& figures);

// Employee schedules.
int WriteSalaries(ClXmlWriter& writer, const StFigures& figures, int32_t rows, int32_t withOthers);
int WriteSalariesRealEstate(ClXmlWriter& writer, const StFigures& figures, int32_t rows, int32_t withOthers);
int WriteFamilyEmployees(ClXmlWriter& writer, const StFigures& figures, const StDATAINFO* dataInfo, int32_t rows);
int WriteFamilyEmployeesRealEstate(ClXmlWriter& writer, const StFigures& figures, const StDATAINFO* dataInfo,
                                   int32_t rows);

// Payee schedules.
int WriteInterestDiscount(ClXmlWriter& writer, const StFigures& figures, int32_t rows);
int WriteLandRent(ClXmlWriter& writer, const StFigures& figures, int32_t rows);
int WriteLandRentRealEstate(ClXmlWriter& writer, const StFigures& figures, const StDATAINFO* dataInfo, int32_t rows);
int WriteBorrowingInterest(ClXmlWriter& writer, const StFigures& figures, int32_t rows);
int WriteTaxAccountantFees(ClXmlWriter& writer, const StFigures& figures, int32_t rows);
int WriteTaxAccountantFeesRealEstate(ClXmlWriter& writer, const StFigures& figures, int32_t rows);

// Breakdowns and notes.
int WriteSpecialMatters(ClXmlWriter& writer, const StFigures& figures, int lineBytes, int lines);
int WriteSpecialMattersRealEstate(ClXmlWriter& writer, const StFigures& figures, int lineBytes, int lines);
int WriteAssociation(ClXmlWriter& writer, const StFigures& figures);
int WriteSalesBreakdown(ClXmlWriter& writer, const StFigures& figures, int32_t rows);
int WritePurchaseBreakdown(ClXmlWriter& writer, const StFigures& figures, int32_t rows);
int WriteRepairs(ClXmlWriter& writer, const StFigures& figures, int32_t rows);

// Rental income rows.
int WriteRentalIncomeRows(ClXmlWriter& writer, const StFigures& figures, int32_t maxRows);

}  // namespace sections
