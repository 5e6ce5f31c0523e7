// The rented properties of the real-estate form (FUDOUSANSYUUNYUU).
#include "report/sections/sections.h"

#include "platform/services.h"
#include "report/report_fields.h"
#include "report/value_text.h"
#include "report/xml_writer.h"

namespace sections {

using namespace report_fields;

namespace {

// A text of a fixed slot cut to the target form's width.
void CutText(ClXmlWriter& w, const char* name, const char* slot, std::size_t slotSize, std::size_t limit)
{
    w.WriteCutElement(name, slot, limit < slotSize - 1 ? limit : slotSize - 1, 5);
}

void WriteArea(ClXmlWriter& w, int64_t area)
{
    char text[kValueTextSize] = "";
    if (area != 0) FormatFixedPoint(area, text, sizeof text, 2);
    Text(w, "KASITUKEMENSEKI", text, 5);
}

void WriteRentalRow(ClXmlWriter& w, const StFUDOUSAN_RENTAL& row, int32_t n)
{
    RowStart(w, "FUDOUSAN_UTIWAKE", n, 4);
    CutText(w, "KASIYA_KASITI", row.szHouseOrLand, sizeof row.szHouseOrLand, 10);
    CutText(w, "YOUTO", row.szUse, sizeof row.szUse, 12);
    CutText(w, "SYOZAITI_JOUDAN", row.szLocation, sizeof row.szLocation, 30);
    Text(w, "SYOZAITI_GEDAN", "", 5);
    CutText(w, "JUUSYO_SIMEI_JOUDAN", row.szTenantA, sizeof row.szTenantA, 30);
    CutText(w, "JUUSYO_SIMEI_GEDAN", row.szTenantB, sizeof row.szTenantB, 30);
    Integer(w, "KEIYAKUKIKAN_FROM", row.lFrom / 100, 5);
    Integer(w, "KEIYAKUKIKAN_TO", row.lTo / 100, 5);
    WriteArea(w, row.llArea);
    Amount(w, "TINTAIRYOU_TUKIGAKU", row.llMonthlyRent, 5);
    Amount(w, "TINTAIRYOU_NENGAKU", row.llAnnualRent, 5);
    Amount(w, "REIKIN", row.llKeyMoney, 5);
    Amount(w, "KENRIKIN", row.llPremium, 5);
    Amount(w, "KOUSINRYOU", row.llRenewal, 5);
    Amount(w, "MEIGISYOKANRYOU_SONOTA", row.llNameChange, 5);
    Amount(w, "HOSYOUKIN_SIKIKIN", row.llDeposit, 5);
    End(w, "FUDOUSAN_UTIWAKE", 4);
}

}  // namespace

int WriteRentalIncomeRows(ClXmlWriter& w, const StFigures& figures, int32_t maxRows)
{
    if (maxRows <= 0) return 1;
    const StFUDOUSAN_RENTAL* rows = figures.savedRealEstate ? figures.savedRealEstate->pRentals : nullptr;
    if (!rows) return 1;   // a list the host left out holds no property
    // The list ends at its marker row or at the end of the host's block, whichever
    // comes first: a list without its marker is never read past the block. When the
    // allocator cannot tell the block's size, the marker the host always writes ends it:
    // a report silently without its properties would be a failure shown as a success.
    const std::size_t size = platform::TaskMemSize(rows);
    const std::size_t capacity =
        size == platform::kTaskMemSizeUnknown ? static_cast<std::size_t>(maxRows) : size / sizeof(StFUDOUSAN_RENTAL);
    for (int32_t n = 1; n <= maxRows; ++n) {
        if (static_cast<std::size_t>(n) > capacity) break;
        const StFUDOUSAN_RENTAL& row = rows[n - 1];
        if (row.lMarker == -1) break;
        WriteRentalRow(w, row, n);
    }
    return 1;
}

}  // namespace sections
