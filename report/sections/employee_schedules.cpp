// Salaries and family employees (KYUURYOUTINGIN, SENJUUSYA) of both forms.
#include "common/kinds.h"
#include "report/sections/sections.h"
#include "report/report_fields.h"
#include "report/xml_writer.h"
#include "store/saved_details.h"

namespace sections {

using namespace report_fields;

namespace {

constexpr int32_t kGeneralNamedSalaryRows = 5;
constexpr int32_t kGeneralFamilyRows = 5;
constexpr int32_t kRealEstateRows = 2;

// The six fields of one salary row; months stay empty whenever the age is 0.
int WriteSalaryFields(ClXmlWriter& w, const StSavedEmployee& row, int depth)
{
    return SlotText(w, "SIMEI", row.szName, sizeof row.szName, depth) &&
           Integer(w, "NENREI", row.lAge, depth) &&
           Integer(w, "JUUJITUKISUU", row.lAge == 0 ? 0 : row.lMonths, depth) &&
           Amount(w, "KYUURYOU", row.llSalary, depth) &&
           Amount(w, "SYOUYO", row.llBonus, depth) &&
           Amount(w, "GENSENZEIGAKU", row.llTax, depth);
}

// A blue return puts the relation before the age and adds the amounts.
int WriteFamilyFields(ClXmlWriter& w, const StSavedFamilyEmployee& row, bool blue, int depth)
{
    if (!SlotText(w, "SIMEI", row.szName, sizeof row.szName, depth)) return 0;
    if (blue) {
        if (!SlotText(w, "ZOKUGARA", row.szRelation, sizeof row.szRelation, depth) ||
            !Integer(w, "NENREI", row.lAge, depth))
            return 0;
    } else {
        if (!Integer(w, "NENREI", row.lAge, depth) ||
            !SlotText(w, "ZOKUGARA", row.szRelation, sizeof row.szRelation, depth))
            return 0;
    }
    if (!Integer(w, "JUUJITUKISUU", row.lAge == 0 ? 0 : row.lMonths, depth)) return 0;
    if (!blue) return 1;
    return Amount(w, "KYUURYOU", row.llSalary, depth) && Amount(w, "SYOUYO", row.llBonus, depth) &&
           Amount(w, "GENSENZEIGAKU", row.llTax, depth);
}

int WriteOthers(ClXmlWriter& w, int32_t persons, const StSavedEmployee& slot)
{
    return Integer(w, "SONOTA_NINBUN", persons, 4) && Integer(w, "SONOTA_JUUJITUKISUU", slot.lMonths, 4) &&
           Amount(w, "SONOTA_KYUURYOU", slot.llSalary, 4) && Amount(w, "SONOTA_SYOUYO", slot.llBonus, 4) &&
           Amount(w, "SONOTA_GENSENZEIGAKU", slot.llTax, 4);
}

}  // namespace

int WriteSalaries(ClXmlWriter& w, const StFigures& figures, int32_t rows, int32_t withOthers)
{
    const StIPPAN_SALARY* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pSalary : nullptr);
    for (int32_t n = 1; n <= rows; ++n) {
        if (!RowStart(w, "KYUURYOU_UTIWAKE", n, 4)) return 0;
        if (n > kGeneralNamedSalaryRows) return 0;
        if (!WriteSalaryFields(w, block->salary[n - 1], 5)) return 0;
        if (!End(w, "KYUURYOU_UTIWAKE", 4)) return 0;
    }
    if (withOthers > 0) {
        // The others summary is the slot after the named rows, with the persons in
        // its age field; the forms have it only after 3 or 5 named rows.
        if (rows != 3 && rows != 5) return 0;
        const StSavedEmployee& slot = block->salary[rows];
        if (!WriteOthers(w, slot.lAge, slot)) return 0;
    }
    return 1;
}

int WriteFamilyEmployees(ClXmlWriter& w, const StFigures& figures, const StDATAINFO* dataInfo, int32_t rows)
{
    const StIPPAN_FAMILY* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pFamily : nullptr);
    if (!dataInfo) return 0;
    const bool blue = dataInfo->cReturnKind == kBlueReturn;
    for (int32_t n = 1; n <= rows; ++n) {
        if (!RowStart(w, "SENJUUSYA_UTIWAKE", n, 4)) return 0;
        if (n > kGeneralFamilyRows) return 0;
        if (!WriteFamilyFields(w, block->family[n - 1], blue, 5)) return 0;
        if (!End(w, "SENJUUSYA_UTIWAKE", 4)) return 0;
    }
    return 1;
}

int WriteSalariesRealEstate(ClXmlWriter& w, const StFigures& figures, int32_t rows, int32_t withOthers)
{
    const StFUDOUSAN_EMPLOYEE* block = BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pEmployee : nullptr);
    // With one row its fields stand directly in the section, without a row element.
    const bool rowElements = rows > 1;
    const int depth = rowElements ? 5 : 4;
    for (int32_t n = 1; n <= rows; ++n) {
        if (rowElements && !RowStart(w, "KYUURYOU_UTIWAKE", n, 4)) return 0;
        if (n > kRealEstateRows) return 0;
        if (!WriteSalaryFields(w, block->salary[n - 1], depth)) return 0;
        if (rowElements && !End(w, "KYUURYOU_UTIWAKE", 4)) return 0;
    }
    if (withOthers > 0) {
        // Only the one-row form has the others: months and amounts in slot 2, the
        // persons in their own field.
        if (rows != 1) return 0;
        if (!WriteOthers(w, block->lOtherPersons, block->salary[1])) return 0;
    }
    return 1;
}

int WriteFamilyEmployeesRealEstate(ClXmlWriter& w, const StFigures& figures, const StDATAINFO* dataInfo, int32_t rows)
{
    const StFUDOUSAN_EMPLOYEE* block = BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pEmployee : nullptr);
    if (!dataInfo) return 0;
    const bool blue = dataInfo->cReturnKind == kBlueReturn;
    const bool rowElements = rows > 1;
    const int depth = rowElements ? 5 : 4;
    for (int32_t n = 1; n <= rows; ++n) {
        if (rowElements && !RowStart(w, "SENJUUSYA_UTIWAKE", n, 4)) return 0;
        if (n > kRealEstateRows) return 0;
        if (!WriteFamilyFields(w, block->family[n - 1], blue, depth)) return 0;
        if (rowElements && !End(w, "SENJUUSYA_UTIWAKE", 4)) return 0;
    }
    return 1;
}

}  // namespace sections
