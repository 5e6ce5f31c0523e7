// Special matters, association, sales and purchase breakdowns and repairs.
#include "report/sections/sections.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "common/cp932.h"
#include "store/saved_details.h"
#include "report/report_fields.h"
#include "report/xml_writer.h"

namespace sections {

using namespace report_fields;

namespace {

constexpr int kSpecialMattersScan = 960;   // only this much of the stored text is read

void WriteNumberedLine(ClXmlWriter& w, int number, const char* text)
{
    char name[32];
    std::snprintf(name, sizeof name, "TOKUSYUJIJOU%d", number);
    Text(w, name, text, 4);
}

// Splits the stored text into exactly `lines` elements: text lines first (wrapped at
// lineBytes without splitting a double-byte character), then empty ones.
int WriteSpecialMattersText(ClXmlWriter& w, const char* text, std::size_t textSize, int lineBytes, int lines)
{
    if (lines <= 0) return 1;
    if (!text) return 0;
    // A line must hold at least one double-byte character, or no wrap could progress.
    if (lineBytes < 2) lineBytes = 2;
    // Character boundaries come from walking the whole text from its start: a trail
    // byte can lie in the lead-byte range.
    const std::size_t viewSize = textSize < kSpecialMattersScan + 1 ? textSize : kSpecialMattersScan + 1;
    const std::string_view view(text, viewSize);
    char lineText[kSpecialMattersScan + 1];
    int written = 0;
    int start = 0;
    int p = 0;
    while (p < kSpecialMattersScan && static_cast<std::size_t>(p) < viewSize) {
        const bool crlf = text[p] == '\r' && static_cast<std::size_t>(p + 1) < viewSize && text[p + 1] == '\n';
        const bool nul = text[p] == '\0';
        if (crlf || nul || p - start == lineBytes) {
            int cut = p;
            if (!crlf && !nul && cp932::IsTrailAt(view, static_cast<std::size_t>(p))) cut = p - 1;
            const int length = cut > start ? cut - start : 0;
            std::memcpy(lineText, text + start, static_cast<std::size_t>(length));
            lineText[length] = '\0';
            ++written;
            WriteNumberedLine(w, written, lineText);
            if (text[cut] == '\0') break;
            if (written >= lines) return 1;
            start = crlf ? cut + 2 : cut;
            p = cut + 1;
            continue;
        }
        ++p;
    }
    while (written < lines) {
        ++written;
        WriteNumberedLine(w, written, "");
    }
    return 1;
}

int WriteTradeRows(ClXmlWriter& w, const char* rowName, const char* nameField, const char* amountField,
                   const StSavedTradeRow* rowsData, int32_t rows)
{
    for (int32_t n = 1; n <= rows; ++n) {
        RowStart(w, rowName, n, 4);
        if (n > 4) return 0;
        const StSavedTradeRow& row = rowsData[n - 1];
        SlotText(w, nameField, row.szName, sizeof row.szName, 5);
        SlotText(w, "SYOZAITI", row.szLocation, sizeof row.szLocation, 5);
        Amount(w, amountField, row.llAmount, 5);
        End(w, rowName, 4);
    }
    return 1;
}

}  // namespace

int WriteSpecialMatters(ClXmlWriter& w, const StFigures& figures, int lineBytes, int lines)
{
    const StIPPAN_NOTES* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pNotes : nullptr);
    return WriteSpecialMattersText(w, block->szSpecialMatters, sizeof block->szSpecialMatters, lineBytes, lines);
}

int WriteSpecialMattersRealEstate(ClXmlWriter& w, const StFigures& figures, int lineBytes, int lines)
{
    const StFUDOUSAN_NOTES* block = BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pNotes : nullptr);
    return WriteSpecialMattersText(w, block->szSpecialMatters, sizeof block->szSpecialMatters, lineBytes, lines);
}

int WriteAssociation(ClXmlWriter& w, const StFigures& figures)
{
    const StIPPAN_BASE* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pBase : nullptr);
    SlotText(w, "KANYUUDANTAIMEI", block->szAssociation, sizeof block->szAssociation, 4);
    return 1;
}

int WriteSalesBreakdown(ClXmlWriter& w, const StFigures& figures, int32_t rows)
{
    const StIPPAN_TRADE* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pTrade : nullptr);
    if (!WriteTradeRows(w, "URIAGE_UTIWAKE", "URIAGESAKIMEI", "URIAGEKINGAKU", block->sales, rows)) return 0;
    Amount(w, "JOUKIIGAI_URIAGESAKIKEI", block->llOtherSales, 4);
    Amount(w, "UKINOUTI_KEIGENZEIRITU", block->llSalesReducedRate, 4);
    return 1;
}

int WritePurchaseBreakdown(ClXmlWriter& w, const StFigures& figures, int32_t rows)
{
    const StIPPAN_TRADE* block = BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pTrade : nullptr);
    if (!WriteTradeRows(w, "SIIRE_UTIWAKE", "SIIRESAKIMEI", "SIIREKINGAKU", block->purchases, rows)) return 0;
    Amount(w, "JOUKIIGAI_SIIRESAKIKEI", block->llOtherPurchases, 4);
    Amount(w, "UKINOUTI_KEIGENZEIRITU", block->llPurchasesReducedRate, 4);
    return 1;
}

int WriteRepairs(ClXmlWriter& w, const StFigures& figures, int32_t rows)
{
    const StFUDOUSAN_REPAIR* block = BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pRepair : nullptr);
    for (int32_t n = 1; n <= rows; ++n) {
        RowStart(w, "SYUUZENHI_UTIWAKE", n, 4);
        if (n > 3) return 0;
        const StSavedRepair& row = block->repair[n - 1];
        SlotText(w, "JUUSYO_SIMEI_JOUDAN", row.szUpper, sizeof row.szUpper, 5);
        SlotText(w, "JUUSYO_SIMEI_GEDAN", row.szLower, sizeof row.szLower, 5);
        SlotText(w, "KOUJIMEI_SIZAIMEI_JOUDAN", row.szWork, sizeof row.szWork, 5);
        Text(w, "KOUJIMEI_SIZAIMEI_GEDAN", "", 5);
        Integer(w, "SIHARAINENGAPPI", row.lDate, 5);
        Amount(w, "SIHARAIKINGAKU", row.llPaid, 5);
        Amount(w, "HITUYOUKEIHIGAKU", row.llExpense, 5);
        End(w, "SYUUZENHI_UTIWAKE", 4);
    }
    return 1;
}

}  // namespace sections
