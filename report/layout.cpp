// The DATA section: the form element and each form's sections in their fixed order.
#include "common/kinds.h"
#include "report/report_builder.h"

#include "report/report_fields.h"
#include "report/sections/sections.h"
#include "report/xml_writer.h"

namespace {

using namespace sections;

constexpr int kSectionDepth = 3;

// One section element at depth 3 around its writer; 0 when the writer refuses the
// section (the figures cannot give it as asked). Write failures stay with the writer.
template <typename Body>
int Section(ClXmlWriter& writer, const char* name, Body body)
{
    report_fields::Start(writer, name, kSectionDepth);
    if (!body()) return 0;
    report_fields::End(writer, name, kSectionDepth);
    return 1;
}

const char* FormElement(short category)
{
    switch (category) {
    case kBusinessIncome: return "EIGYOUSYOTOKU";
    case kOtherIncome: return "SONOTASYOTOKU";
    case kRealEstateIncome: return "FUDOUSANSYOTOKU";
    default: return nullptr;
    }
}

int WriteGeneralForm(ClXmlWriter& w, const StFigures& f, const StDATAINFO* dataInfo)
{
    if (!dataInfo) return 0;
    if (dataInfo->cReturnKind == kBlueReturn) {
        return Section(w, "SONEKIKEISANSYO", [&] { return WriteLineTable(w, f, BlueGeneralIncomeRows, 35); }) &&
               Section(w, "TUKIBETUURIAGESHIIRE", [&] { return WriteMonthlyTable(w, f); }) &&
               Section(w, "KYUURYOUTINGIN", [&] { return WriteSalaries(w, f, 5, 1); }) &&
               Section(w, "SENJUUSYA", [&] { return WriteFamilyEmployees(w, f, dataInfo, 5); }) &&
               Section(w, "KASIDAOREKURIIRE", [&] { return WriteBadDebtReserve(w, f); }) &&
               Section(w, "AOIROKOUJO", [&] { return WriteBlueDeduction(w, f); }) &&
               Section(w, "RISIWARIBIKIRYOU", [&] { return WriteInterestDiscount(w, f, 2); }) &&
               Section(w, "TIDAIYATIN", [&] { return WriteLandRent(w, f, 2); }) &&
               Section(w, "ZEIRISIHOUSYUU", [&] { return WriteTaxAccountantFees(w, f, 2); }) &&
               Section(w, "TOKUSYUJIJOU", [&] { return WriteSpecialMatters(w, f, 60, 5); }) &&
               Section(w, "TAISYAKUTAISYOUHYO", [&] { return WriteBalanceTable(w, f, BlueGeneralBalanceRows, 114); }) &&
               Section(w, "SEIZOUGENKA", [&] { return WriteLineTable(w, f, ManufacturingCostRows, 20); }) &&
               Section(w, "OTHER", [&] { return WriteAssociation(w, f); });
    }
    if (dataInfo->cReturnKind == kWhiteReturn) {
        return Section(w, "SONEKIKEISANSYO", [&] { return WriteLineTable(w, f, WhiteGeneralIncomeRows, 30); }) &&
               Section(w, "KYUURYOUTINGIN", [&] { return WriteSalaries(w, f, 3, 1); }) &&
               Section(w, "SENJUUSYA", [&] { return WriteFamilyEmployees(w, f, dataInfo, 3); }) &&
               Section(w, "RISIWARIBIKIRYOU", [&] { return WriteInterestDiscount(w, f, 2); }) &&
               Section(w, "TIDAIYATIN", [&] { return WriteLandRent(w, f, 2); }) &&
               Section(w, "ZEIRISIHOUSYUU", [&] { return WriteTaxAccountantFees(w, f, 2); }) &&
               Section(w, "TOKUSYUJIJOU", [&] { return WriteSpecialMatters(w, f, 60, 9); }) &&
               Section(w, "URIAGEMEISAI", [&] { return WriteSalesBreakdown(w, f, 4); }) &&
               Section(w, "SIIREMEISAI", [&] { return WritePurchaseBreakdown(w, f, 4); }) &&
               Section(w, "OTHER", [&] { return WriteAssociation(w, f); });
    }
    return 1;   // neither blue nor white: an empty form
}

int WriteRealEstateForm(ClXmlWriter& w, const StFigures& f, const StDATAINFO* dataInfo)
{
    if (!dataInfo) return 0;
    if (dataInfo->cReturnKind == kBlueReturn) {
        return Section(w, "SONEKIKEISANSYO",
                       [&] {
                           return WriteLineTable(w, f, BlueRealEstateIncomeRows, 17) && WriteDeductionChoice(w, f) &&
                                  WriteLiabilityInterest(w, f);
                       }) &&
               Section(w, "FUDOUSANSYUUNYUU", [&] { return WriteRentalIncomeRows(w, f, 9999); }) &&
               Section(w, "KYUURYOUTINGIN", [&] { return WriteSalariesRealEstate(w, f, 2, 0); }) &&
               Section(w, "SENJUUSYA", [&] { return WriteFamilyEmployeesRealEstate(w, f, dataInfo, 1); }) &&
               Section(w, "TIDAIYATIN", [&] { return WriteLandRentRealEstate(w, f, dataInfo, 2); }) &&
               Section(w, "KARIIREKINRISI", [&] { return WriteBorrowingInterest(w, f, 3); }) &&
               Section(w, "ZEIRISIHOUSYUU", [&] { return WriteTaxAccountantFeesRealEstate(w, f, 2); }) &&
               Section(w, "TAISYAKUTAISYOUHYO",
                       [&] { return WriteBalanceTable(w, f, BlueRealEstateBalanceRows, 116); }) &&
               Section(w, "TOKUSYUJIJOU", [&] { return WriteSpecialMattersRealEstate(w, f, 30, 25); });
    }
    if (dataInfo->cReturnKind == kWhiteReturn) {
        return Section(w, "SONEKIKEISANSYO",
                       [&] { return WriteLineTable(w, f, WhiteRealEstateIncomeRows, 14) && WriteLiabilityInterest(w, f); }) &&
               Section(w, "FUDOUSANSYUUNYUU", [&] { return WriteRentalIncomeRows(w, f, 9999); }) &&
               Section(w, "KYUURYOUTINGIN", [&] { return WriteSalariesRealEstate(w, f, 1, 1); }) &&
               Section(w, "SENJUUSYA", [&] { return WriteFamilyEmployeesRealEstate(w, f, dataInfo, 2); }) &&
               Section(w, "TIDAIYATIN", [&] { return WriteLandRentRealEstate(w, f, dataInfo, 2); }) &&
               Section(w, "KARIIREKINRISI", [&] { return WriteBorrowingInterest(w, f, 2); }) &&
               Section(w, "ZEIRISIHOUSYUU", [&] { return WriteTaxAccountantFeesRealEstate(w, f, 2); }) &&
               Section(w, "TOKUSYUJIJOU", [&] { return WriteSpecialMattersRealEstate(w, f, 60, 7); }) &&
               Section(w, "SYUUZENHI", [&] { return WriteRepairs(w, f, 3); }) &&
               Section(w, "KASITUKEFUDOUSAN", [&] { return WriteRentalScale(w, f); });
    }
    return 1;
}

}  // namespace

int ClReportBuilder::WriteData(ClXmlWriter& writer, const StDATAINFO* dataInfo)
{
    if (!dataInfo) return 0;
    report_fields::Start(writer, "DATA", 1);
    const char* form = FormElement(m_settings.category);
    if (!form) return 0;
    report_fields::Start(writer, form, 2);
    const short category = m_settings.category;
    int ok = (category == kBusinessIncome || category == kOtherIncome)
                 ? WriteGeneralForm(writer, m_figures, dataInfo)
                 : WriteRealEstateForm(writer, m_figures, dataInfo);
    if (!ok) return 0;
    report_fields::End(writer, form, 2);
    report_fields::End(writer, "DATA", 1);
    Advance(static_cast<short>(m_settings.progressBase + 200), 1000);
    return 1;
}

