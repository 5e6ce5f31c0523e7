// Writes the whole report for one export. Every section writer is an operation of
// this class: the skeleton, layout and schedules live in report/, the statement
// sections, bad-debt reserve, deduction and real-estate scale in figures/.
#pragma once

#include <cstdint>
#include <string>

#include "host/host_records.h"
#include "platform/progress.h"
#include "store/figure_store.h"
#include "store/sum_lines.h"

class ClXmlWriter;

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

class ClReportBuilder {
public:
    ClReportBuilder();
    virtual ~ClReportBuilder();

    // Set by the run sequence before WriteReport.
    platform::IProgress* progress = nullptr;
    ClSumLineList* sumLines = nullptr;
    StAOSUMINFO_TSUKIBETSU* monthlyTotals = nullptr;
    StAOSIROSAVEINFO_IPPAN* savedGeneral = nullptr;
    StAOSIROSAVEINFO_FUDOUSAN* savedRealEstate = nullptr;
    // Points the four figure pointers at the members of store.
    void BindStore(ClFigureStore& store);
    short category = 0;   // BusinessCategory
    short progressBase = 500;
    // PROGRAMNAME when SUPPORT.INF names no product: the edition's own name.
    std::string defaultProgramName;

    int WriteReport(const char* path, short functionId, const StDATAINFO* dataInfo);
    // After a failed WriteReport: where the whole report stayed because it could not be
    // put in the destination's place (empty when the destination is as it was), and
    // what failed with the system's reason.
    const std::string& KeptPath() const { return m_keptPath; }
    const std::string& FailureText() const { return m_failureText; }

    // Skeleton and layout.
    int WriteSystem(ClXmlWriter& writer, short functionId);
    int WriteBasic(ClXmlWriter& writer, const StDATAINFO* dataInfo);
    int WriteData(ClXmlWriter& writer, const StDATAINFO* dataInfo);
    int WriteGeneralForm(ClXmlWriter& writer, const StDATAINFO* dataInfo);
    int WriteRealEstateForm(ClXmlWriter& writer, const StDATAINFO* dataInfo);

    // Account statement sections.
    int FindSumLine(int32_t key, int mode, StAOSUMINFO* out);
    int WriteLineTable(ClXmlWriter& writer, const StLineRow* table, int rows);
    int WriteBalanceTable(ClXmlWriter& writer, const StBalanceRow* table, int rows);
    int WriteMonthlyTable(ClXmlWriter& writer);

    // Bad-debt reserve, special deduction, real-estate figures.
    int WriteBadDebtReserve(ClXmlWriter& writer);
    int WriteBlueDeduction(ClXmlWriter& writer);
    int WriteDeductionChoice(ClXmlWriter& writer);   // AOIROKOUJO_SENTAKU of the real-estate form
    int WriteLiabilityInterest(ClXmlWriter& writer);
    int WriteRentalScale(ClXmlWriter& writer);

    // Employee schedules.
    int WriteSalaries(ClXmlWriter& writer, int32_t rows, int32_t withOthers);
    int WriteSalariesRealEstate(ClXmlWriter& writer, int32_t rows, int32_t withOthers);
    int WriteFamilyEmployees(ClXmlWriter& writer, const StDATAINFO* dataInfo, int32_t rows);
    int WriteFamilyEmployeesRealEstate(ClXmlWriter& writer, const StDATAINFO* dataInfo, int32_t rows);

    // Payee schedules.
    int WriteInterestDiscount(ClXmlWriter& writer, int32_t rows);
    int WriteLandRent(ClXmlWriter& writer, int32_t rows);
    int WriteLandRentRealEstate(ClXmlWriter& writer, const StDATAINFO* dataInfo, int32_t rows);
    int WriteBorrowingInterest(ClXmlWriter& writer, int32_t rows);
    int WriteTaxAccountantFees(ClXmlWriter& writer, int32_t rows);
    int WriteTaxAccountantFeesRealEstate(ClXmlWriter& writer, int32_t rows);

    // Breakdowns and notes.
    int WriteSpecialMatters(ClXmlWriter& writer, int lineBytes, int lines);
    int WriteSpecialMattersRealEstate(ClXmlWriter& writer, int lineBytes, int lines);
    int WriteAssociation(ClXmlWriter& writer);
    int WriteSalesBreakdown(ClXmlWriter& writer, int32_t rows);
    int WritePurchaseBreakdown(ClXmlWriter& writer, int32_t rows);
    int WriteRepairs(ClXmlWriter& writer, int32_t rows);

    // Rental income rows.
    int WriteRentalIncomeRows(ClXmlWriter& writer, int32_t maxRows);

    void Pulse();
    void Advance(short from, short to);

private:
    std::string m_keptPath;
    std::string m_failureText;
};

// Removes blanks, brackets and the "(製)" marker from an account name, whole
// characters only. Reads at most length bytes of name; out holds length + 1 bytes.
// Returns 0 without writing when name is empty.
int StripAccountName(const char* name, char* out, int length);

// The seven constant tables.
extern const StLineRow BlueGeneralIncomeRows[35];
extern const StLineRow ManufacturingCostRows[20];
extern const StLineRow WhiteGeneralIncomeRows[30];
extern const StLineRow BlueRealEstateIncomeRows[17];
extern const StLineRow WhiteRealEstateIncomeRows[14];
extern const StBalanceRow BlueGeneralBalanceRows[114];
extern const StBalanceRow BlueRealEstateBalanceRows[116];
