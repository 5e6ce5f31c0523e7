// Interest, land rent, borrowing interest and tax-accountant fees of both forms.
#include "common/kinds.h"
#include "report/sections/sections.h"
#include "report/report_fields.h"
#include "report/xml_writer.h"
#include "store/saved_details.h"

namespace sections {

using namespace report_fields;

namespace {

struct PayeeFields {
    const char* row;          // row element
    const char* amount[3];    // the three amounts in storage order
};

const PayeeFields kInterest{"RISI_UTIWAKE", {"KARIIREKIN_KINGAKU", "RISIWARIBIKIRYOU", "HITUYOUKEIHIGAKU"}};
const PayeeFields kBorrowing{"KARIIRE_UTIWAKE", {"KARIIREKIN_KINGAKU", "KARIIREKINRISI", "HITUYOUKEIHIGAKU"}};
const PayeeFields kFees{"ZEIRISI_UTIWAKE", {"HOUSYUU_KINGAKU", "HITUYOUKEIHIGAKU", "GENSENZEIGAKU"}};

// rows slots of first[0 .. capacity); a slot beyond the capacity fails after its start tag.
int WritePayeeRows(ClXmlWriter& w, const PayeeFields& fields, const StSavedPayee* first, int32_t capacity,
                   int32_t rows)
{
    if (rows <= 0) return 1;
    if (!first) return 0;
    for (int32_t n = 1; n <= rows; ++n) {
        RowStart(w, fields.row, n, 4);
        if (n > capacity) return 0;
        const StSavedPayee& row = first[n - 1];
        SlotText(w, "JUUSYO_SIMEI_JOUDAN", row.szUpper, sizeof row.szUpper, 5);
        SlotText(w, "JUUSYO_SIMEI_GEDAN", row.szLower, sizeof row.szLower, 5);
        Amount(w, fields.amount[0], row.llAmount[0], 5);
        Amount(w, fields.amount[1], row.llAmount[1], 5);
        Amount(w, fields.amount[2], row.llAmount[2], 5);
        End(w, fields.row, 4);
    }
    return 1;
}

// Steps 5 to 7 of a land-rent row: the money kind says which column the first amount is.
void WriteLandRentMoney(ClXmlWriter& w, const StSavedLandRent& row)
{
    if (row.cMoneyKind == 0) {
        Amount(w, "KENRIKIN", row.llAmount[0], 5);
        Text(w, "KOUSINRYOU", "", 5);
    } else if (row.cMoneyKind == 1) {
        Text(w, "KENRIKIN", "", 5);
        Amount(w, "KOUSINRYOU", row.llAmount[0], 5);
    }
    Amount(w, "TINSYAKURYOU", row.llAmount[1], 5);
    Amount(w, "HITUYOUKEIHIGAKU", row.llAmount[2], 5);
}

void WriteLowerFormAddress(ClXmlWriter& w, const StSavedLandRent& row)
{
    SlotText(w, "JUUSYO_SIMEI_JOUDAN", row.szUpper, sizeof row.szUpper, 5);
    SlotText(w, "JUUSYO_SIMEI_GEDAN", row.szLower, sizeof row.szLower, 5);
    SlotText(w, "TINSYAKUBUKKEN_JOUDAN", row.szProperty, sizeof row.szProperty, 5);
    Text(w, "TINSYAKUBUKKEN_GEDAN", "", 5);
}

void WriteBlueRealEstateAddress(ClXmlWriter& w, const StSavedLandRent& row)
{
    SlotText(w, "JUUSYO_SIMEI_1", row.szUpper, sizeof row.szUpper, 5);
    SlotText(w, "JUUSYO_SIMEI_2", row.szLower, sizeof row.szLower, 5);
    Text(w, "JUUSYO_SIMEI_3", "", 5);
    Text(w, "JUUSYO_SIMEI_4", "", 5);
    SlotText(w, "TINSYAKUBUKKEN_1", row.szProperty, sizeof row.szProperty, 5);
    Text(w, "TINSYAKUBUKKEN_2", "", 5);
    Text(w, "TINSYAKUBUKKEN_3", "", 5);
    Text(w, "TINSYAKUBUKKEN_4", "", 5);
}

constexpr int32_t kLandRentSlots = 2;

}  // namespace

int WriteInterestDiscount(ClXmlWriter& w, const StFigures& figures, int32_t rows)
{
    const StIPPAN_PAYEE* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pPayee : nullptr);
    return WritePayeeRows(w, kInterest, &block->payee[0], 2, rows);
}

int WriteTaxAccountantFees(ClXmlWriter& w, const StFigures& figures, int32_t rows)
{
    const StIPPAN_PAYEE* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pPayee : nullptr);
    return WritePayeeRows(w, kFees, &block->payee[2], 2, rows);
}

int WriteBorrowingInterest(ClXmlWriter& w, const StFigures& figures, int32_t rows)
{
    const StFUDOUSAN_PAYEE* block = BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pPayee : nullptr);
    return WritePayeeRows(w, kBorrowing, &block->payee[0], 3, rows);
}

int WriteTaxAccountantFeesRealEstate(ClXmlWriter& w, const StFigures& figures, int32_t rows)
{
    const StFUDOUSAN_PAYEE* block = BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pPayee : nullptr);
    return WritePayeeRows(w, kFees, &block->payee[3], 2, rows);
}

int WriteLandRent(ClXmlWriter& w, const StFigures& figures, int32_t rows)
{
    if (rows <= 0) return 1;
    const StIPPAN_LANDRENT* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pLandRent : nullptr);
    for (int32_t n = 1; n <= rows; ++n) {
        RowStart(w, "TIDAI_UTIWAKE", n, 4);
        if (n > kLandRentSlots) return 0;
        const StSavedLandRent& row = block->landRent[n - 1];
        WriteLowerFormAddress(w, row);
        WriteLandRentMoney(w, row);
        End(w, "TIDAI_UTIWAKE", 4);
    }
    return 1;
}

int WriteLandRentRealEstate(ClXmlWriter& w, const StFigures& figures, const StDATAINFO* dataInfo, int32_t rows)
{
    if (rows <= 0) return 1;
    const StFUDOUSAN_LANDRENT* block = BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pLandRent : nullptr);
    if (!dataInfo) return 0;
    for (int32_t n = 1; n <= rows; ++n) {
        RowStart(w, "TIDAI_UTIWAKE", n, 4);
        if (n > kLandRentSlots) return 0;
        const StSavedLandRent& row = block->landRent[n - 1];
        // Only the blue and white forms have a land-rent address: any other return kind
        // cannot give the row.
        if (dataInfo->cReturnKind == kBlueReturn)
            WriteBlueRealEstateAddress(w, row);
        else if (dataInfo->cReturnKind == kWhiteReturn)
            WriteLowerFormAddress(w, row);
        else
            return 0;
        WriteLandRentMoney(w, row);
        End(w, "TIDAI_UTIWAKE", 4);
    }
    return 1;
}

}  // namespace sections
