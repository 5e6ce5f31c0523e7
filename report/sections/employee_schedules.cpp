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
void WriteSalaryFields(ClXmlWriter& w, const StSavedEmployee& row, int depth)
{
    SlotText(w, "SIMEI", row.szName, sizeof row.szName, depth);
    Integer(w, "NENREI", row.lAge, depth);
    Integer(w, "JUUJITUKISUU", row.lAge == 0 ? 0 : row.lMonths, depth);
    Amount(w, "KYUURYOU", row.llSalary, depth);
    Amount(w, "SYOUYO", row.llBonus, depth);
    Amount(w, "GENSENZEIGAKU", row.llTax, depth);
}

// A blue return puts the relation before the age and adds the amounts.
void WriteFamilyFields(ClXmlWriter& w, const StSavedFamilyEmployee& row, bool blue, int depth)
{
    SlotText(w, "SIMEI", row.szName, sizeof row.szName, depth);
    if (blue) {
        SlotText(w, "ZOKUGARA", row.szRelation, sizeof row.szRelation, depth);
        Integer(w, "NENREI", row.lAge, depth);
    } else {
        Integer(w, "NENREI", row.lAge, depth);
        SlotText(w, "ZOKUGARA", row.szRelation, sizeof row.szRelation, depth);
    }
    Integer(w, "JUUJITUKISUU", row.lAge == 0 ? 0 : row.lMonths, depth);
    if (!blue) return;
    Amount(w, "KYUURYOU", row.llSalary, depth);
    Amount(w, "SYOUYO", row.llBonus, depth);
    Amount(w, "GENSENZEIGAKU", row.llTax, depth);
}

void WriteOthers(ClXmlWriter& w, int32_t persons, const StSavedEmployee& slot)
{
    Integer(w, "SONOTA_NINBUN", persons, 4);
    Integer(w, "SONOTA_JUUJITUKISUU", slot.lMonths, 4);
    Amount(w, "SONOTA_KYUURYOU", slot.llSalary, 4);
    Amount(w, "SONOTA_SYOUYO", slot.llBonus, 4);
    Amount(w, "SONOTA_GENSENZEIGAKU", slot.llTax, 4);
}

}  // namespace

int WriteSalaries(ClXmlWriter& w, const StFigures& figures, int32_t rows, int32_t withOthers)
{
    const StIPPAN_SALARY* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pSalary : nullptr);
    for (int32_t n = 1; n <= rows; ++n) {
        RowStart(w, "KYUURYOU_UTIWAKE", n, 4);
        if (n > kGeneralNamedSalaryRows) return 0;
        WriteSalaryFields(w, block->salary[n - 1], 5);
        End(w, "KYUURYOU_UTIWAKE", 4);
    }
    if (withOthers > 0) {
        // The others summary is the slot after the named rows, with the persons in
        // its age field; the forms have it only after 3 or 5 named rows.
        if (rows != 3 && rows != 5) return 0;
        const StSavedEmployee& slot = block->salary[rows];
        WriteOthers(w, slot.lAge, slot);
    }
    return 1;
}

int WriteFamilyEmployees(ClXmlWriter& w, const StFigures& figures, const StDATAINFO* dataInfo, int32_t rows)
{
    const StIPPAN_FAMILY* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pFamily : nullptr);
    if (!dataInfo) return 0;
    const bool blue = dataInfo->cReturnKind == kBlueReturn;
    for (int32_t n = 1; n <= rows; ++n) {
        RowStart(w, "SENJUUSYA_UTIWAKE", n, 4);
        if (n > kGeneralFamilyRows) return 0;
        WriteFamilyFields(w, block->family[n - 1], blue, 5);
        End(w, "SENJUUSYA_UTIWAKE", 4);
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
        if (rowElements) RowStart(w, "KYUURYOU_UTIWAKE", n, 4);
        if (n > kRealEstateRows) return 0;
        WriteSalaryFields(w, block->salary[n - 1], depth);
        if (rowElements) End(w, "KYUURYOU_UTIWAKE", 4);
    }
    if (withOthers > 0) {
        // Only the one-row form has the others: months and amounts in slot 2, the
        // persons in their own field.
        if (rows != 1) return 0;
        WriteOthers(w, block->lOtherPersons, block->salary[1]);
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
        if (rowElements) RowStart(w, "SENJUUSYA_UTIWAKE", n, 4);
        if (n > kRealEstateRows) return 0;
        WriteFamilyFields(w, block->family[n - 1], blue, depth);
        if (rowElements) End(w, "SENJUUSYA_UTIWAKE", 4);
    }
    return 1;
}

}  // namespace sections
