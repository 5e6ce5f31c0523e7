// The DATA section: the form element and each form's sections in their fixed order.
#include "common/kinds.h"
#include "report/report_builder.h"

#include "report/report_fields.h"
#include "report/xml_writer.h"

namespace {

constexpr int kSectionDepth = 3;

// One section element at depth 3 around its writer; 0 as soon as any part fails.
template <typename Body>
int Section(ClXmlWriter& writer, const char* name, Body body)
{
    if (!report_fields::Start(writer, name, kSectionDepth)) return 0;
    if (!body()) return 0;
    return report_fields::End(writer, name, kSectionDepth);
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

}  // namespace

int ClReportBuilder::WriteData(ClXmlWriter& writer, const StDATAINFO* dataInfo)
{
    if (!dataInfo) return 0;
    if (!report_fields::Start(writer, "DATA", 1)) return 0;
    const char* form = FormElement(category);
    if (!form) return 0;
    if (!report_fields::Start(writer, form, 2)) return 0;
    int ok = (category == kBusinessIncome || category == kOtherIncome) ? WriteGeneralForm(writer, dataInfo)
                                              : WriteRealEstateForm(writer, dataInfo);
    if (!ok) return 0;
    if (!report_fields::End(writer, form, 2)) return 0;
    if (!report_fields::End(writer, "DATA", 1)) return 0;
    Advance(static_cast<short>(progressBase + 200), 1000);
    return 1;
}

int ClReportBuilder::WriteGeneralForm(ClXmlWriter& w, const StDATAINFO* dataInfo)
{
    if (!dataInfo) return 0;
    if (dataInfo->cReturnKind == kBlueReturn) {
        return Section(w, "SONEKIKEISANSYO", [&] { return WriteLineTable(w, BlueGeneralIncomeRows, 35); }) &&
               Section(w, "TUKIBETUURIAGESHIIRE", [&] { return WriteMonthlyTable(w); }) &&
               Section(w, "KYUURYOUTINGIN", [&] { return WriteSalaries(w, 5, 1); }) &&
               Section(w, "SENJUUSYA", [&] { return WriteFamilyEmployees(w, dataInfo, 5); }) &&
               Section(w, "KASIDAOREKURIIRE", [&] { return WriteBadDebtReserve(w); }) &&
               Section(w, "AOIROKOUJO", [&] { return WriteBlueDeduction(w); }) &&
               Section(w, "RISIWARIBIKIRYOU", [&] { return WriteInterestDiscount(w, 2); }) &&
               Section(w, "TIDAIYATIN", [&] { return WriteLandRent(w, 2); }) &&
               Section(w, "ZEIRISIHOUSYUU", [&] { return WriteTaxAccountantFees(w, 2); }) &&
               Section(w, "TOKUSYUJIJOU", [&] { return WriteSpecialMatters(w, 60, 5); }) &&
               Section(w, "TAISYAKUTAISYOUHYO", [&] { return WriteBalanceTable(w, BlueGeneralBalanceRows, 114); }) &&
               Section(w, "SEIZOUGENKA", [&] { return WriteLineTable(w, ManufacturingCostRows, 20); }) &&
               Section(w, "OTHER", [&] { return WriteAssociation(w); });
    }
    if (dataInfo->cReturnKind == kWhiteReturn) {
        return Section(w, "SONEKIKEISANSYO", [&] { return WriteLineTable(w, WhiteGeneralIncomeRows, 30); }) &&
               Section(w, "KYUURYOUTINGIN", [&] { return WriteSalaries(w, 3, 1); }) &&
               Section(w, "SENJUUSYA", [&] { return WriteFamilyEmployees(w, dataInfo, 3); }) &&
               Section(w, "RISIWARIBIKIRYOU", [&] { return WriteInterestDiscount(w, 2); }) &&
               Section(w, "TIDAIYATIN", [&] { return WriteLandRent(w, 2); }) &&
               Section(w, "ZEIRISIHOUSYUU", [&] { return WriteTaxAccountantFees(w, 2); }) &&
               Section(w, "TOKUSYUJIJOU", [&] { return WriteSpecialMatters(w, 60, 9); }) &&
               Section(w, "URIAGEMEISAI", [&] { return WriteSalesBreakdown(w, 4); }) &&
               Section(w, "SIIREMEISAI", [&] { return WritePurchaseBreakdown(w, 4); }) &&
               Section(w, "OTHER", [&] { return WriteAssociation(w); });
    }
    return 1;   // neither blue nor white: an empty form
}

int ClReportBuilder::WriteRealEstateForm(ClXmlWriter& w, const StDATAINFO* dataInfo)
{
    if (!dataInfo) return 0;
    if (dataInfo->cReturnKind == kBlueReturn) {
        return Section(w, "SONEKIKEISANSYO",
                       [&] {
                           return WriteLineTable(w, BlueRealEstateIncomeRows, 17) && WriteDeductionChoice(w) &&
                                  WriteLiabilityInterest(w);
                       }) &&
               Section(w, "FUDOUSANSYUUNYUU", [&] { return WriteRentalIncomeRows(w, 9999); }) &&
               Section(w, "KYUURYOUTINGIN", [&] { return WriteSalariesRealEstate(w, 2, 0); }) &&
               Section(w, "SENJUUSYA", [&] { return WriteFamilyEmployeesRealEstate(w, dataInfo, 1); }) &&
               Section(w, "TIDAIYATIN", [&] { return WriteLandRentRealEstate(w, dataInfo, 2); }) &&
               Section(w, "KARIIREKINRISI", [&] { return WriteBorrowingInterest(w, 3); }) &&
               Section(w, "ZEIRISIHOUSYUU", [&] { return WriteTaxAccountantFeesRealEstate(w, 2); }) &&
               Section(w, "TAISYAKUTAISYOUHYO",
                       [&] { return WriteBalanceTable(w, BlueRealEstateBalanceRows, 116); }) &&
               Section(w, "TOKUSYUJIJOU", [&] { return WriteSpecialMattersRealEstate(w, 30, 25); });
    }
    if (dataInfo->cReturnKind == kWhiteReturn) {
        return Section(w, "SONEKIKEISANSYO",
                       [&] { return WriteLineTable(w, WhiteRealEstateIncomeRows, 14) && WriteLiabilityInterest(w); }) &&
               Section(w, "FUDOUSANSYUUNYUU", [&] { return WriteRentalIncomeRows(w, 9999); }) &&
               Section(w, "KYUURYOUTINGIN", [&] { return WriteSalariesRealEstate(w, 1, 1); }) &&
               Section(w, "SENJUUSYA", [&] { return WriteFamilyEmployeesRealEstate(w, dataInfo, 2); }) &&
               Section(w, "TIDAIYATIN", [&] { return WriteLandRentRealEstate(w, dataInfo, 2); }) &&
               Section(w, "KARIIREKINRISI", [&] { return WriteBorrowingInterest(w, 2); }) &&
               Section(w, "ZEIRISIHOUSYUU", [&] { return WriteTaxAccountantFeesRealEstate(w, 2); }) &&
               Section(w, "TOKUSYUJIJOU", [&] { return WriteSpecialMattersRealEstate(w, 60, 7); }) &&
               Section(w, "SYUUZENHI", [&] { return WriteRepairs(w, 3); }) &&
               Section(w, "KASITUKEFUDOUSAN", [&] { return WriteRentalScale(w); });
    }
    return 1;
}
