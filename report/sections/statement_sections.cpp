// The account-line sections: income statement, balance sheet, manufacturing cost and
// the monthly sales and purchases, one element per row at depth 4.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "common/cp932.h"
#include "common/program_texts.h"
#include "report/sections/sections.h"
#include "report/value_text.h"
#include "report/xml_writer.h"
#include "store/saved_details.h"

namespace sections {

namespace {

constexpr int kSectionDepth = 4;
// Longest element name of the tables plus "_KAMOKU", with room to spare.
constexpr std::size_t kElementNameSize = 64;
constexpr std::size_t kAccountNameBytes = sizeof(StAOSUMINFO::szAccountName);

// Tested in this order at each character.

// The account name of a line without blanks, brackets or the marker; empty when none.
void CleanAccountName(const StAOSUMINFO& line, char* out)
{
    out[0] = '\0';
    StripAccountName(line.szAccountName, out, static_cast<int>(kAccountNameBytes));
}

}  // namespace

int StripAccountName(const char* name, char* out, int length)
{
    if (name == nullptr || out == nullptr || length <= 0 || name[0] == '\0')
        return 0;
    const std::string_view text(name, strnlen(name, static_cast<std::size_t>(length)));
    std::size_t in = 0;
    std::size_t written = 0;
    while (in < text.size()) {
        // Tokens are matched only where a character starts, so the trail byte of one
        // character and the next byte are never taken for a token.
        bool skipped = false;
        for (const char* token : texts::kAccountNameTokens) {
            const std::size_t size = std::strlen(token);
            if (text.compare(in, size, token) == 0) {
                in += size;
                skipped = true;
                break;
            }
        }
        if (skipped)
            continue;
        const std::size_t size = cp932::CharLengthAt(text, in);
        if (size == 1 && cp932::IsLeadByte(static_cast<unsigned char>(text[in])) && in + 1 == text.size())
            break;   // a lead byte whose trail lies beyond the input is not copied alone
        std::memcpy(out + written, text.data() + in, size);
        written += size;
        in += size;
    }
    out[written] = '\0';
    return 1;
}

StFigures FiguresOf(const ClFigureStore& store)
{
    return StFigures{&store.sumLines, &store.monthlyTotals, &store.savedGeneral, &store.savedRealEstate};
}

int FindSumLine(const StFigures& figures, int32_t key, int mode, StAOSUMINFO* out)
{
    if (out == nullptr || figures.sumLines == nullptr || (mode != 0 && mode != 1))
        return 0;
    int32_t position = 0;
    for (const StAOSUMINFO* line : *figures.sumLines) {
        ++position;
        if (line == nullptr)
            continue;
        if ((mode == 0 && line->lLineCode == key) || (mode == 1 && position == key)) {
            *out = *line;
            return 1;
        }
    }
    return 0;
}

int WriteLineTable(ClXmlWriter& writer, const StFigures& figures, const StLineRow* table, int rows)
{
    // Without the collected lines every amount would be written empty as if it were 0.
    if (figures.sumLines == nullptr || (table == nullptr && rows > 0))
        return 0;
    char elementName[kElementNameSize];
    char accountName[kAccountNameBytes + 1];
    char amount[kValueTextSize];
    for (int i = 0; i < rows; ++i) {
        const StLineRow& row = table[i];
        StAOSUMINFO work{};
        FindSumLine(figures, row.code, 0, &work);
        if (row.withName == 1) {
            std::snprintf(elementName, sizeof(elementName), "%s_KAMOKU", row.name);
            CleanAccountName(work, accountName);
            writer.WriteElement(elementName, accountName, kSectionDepth);
        }
        FormatAmount(work.llAmount, amount);
        writer.WriteElement(row.name, amount, kSectionDepth);
    }
    return 1;
}

int WriteBalanceTable(ClXmlWriter& writer, const StFigures& figures, const StBalanceRow* table, int rows)
{
    // Without the collected lines every amount would be written empty as if it were 0.
    if (figures.sumLines == nullptr || (table == nullptr && rows > 0))
        return 0;
    char text[kAccountNameBytes + kValueTextSize];
    StAOSUMINFO work{};
    int32_t currentCode = -1;
    for (int i = 0; i < rows; ++i) {
        const StBalanceRow& row = table[i];
        // Rows of one item share a code and reuse the line looked up for the first.
        if (row.code != currentCode) {
            work = StAOSUMINFO{};
            FindSumLine(figures, row.code, 0, &work);
            currentCode = row.code;
        }
        text[0] = '\0';
        switch (row.column) {
        case 3:
            CleanAccountName(work, text);
            break;
        case 0:
            FormatAmount(work.llBeginAmount, text);
            break;
        case 1:
            FormatAmount(work.llAmount, text);
            break;
        default:
            break;
        }
        writer.WriteElement(row.name, text, kSectionDepth);
    }
    return 1;
}

int WriteMonthlyTable(ClXmlWriter& writer, const StFigures& figures)
{
    static const char* const kSales[12] = {"URIAGEKINGAKU1", "URIAGEKINGAKU2",  "URIAGEKINGAKU3",  "URIAGEKINGAKU4",
                                           "URIAGEKINGAKU5", "URIAGEKINGAKU6",  "URIAGEKINGAKU7",  "URIAGEKINGAKU8",
                                           "URIAGEKINGAKU9", "URIAGEKINGAKU10", "URIAGEKINGAKU11", "URIAGEKINGAKU12"};
    static const char* const kPurchases[12] = {"SIIREKINGAKU1", "SIIREKINGAKU2",  "SIIREKINGAKU3",  "SIIREKINGAKU4",
                                               "SIIREKINGAKU5", "SIIREKINGAKU6",  "SIIREKINGAKU7",  "SIIREKINGAKU8",
                                               "SIIREKINGAKU9", "SIIREKINGAKU10", "SIIREKINGAKU11", "SIIREKINGAKU12"};
    // Without the monthly figures there is nothing trustworthy to write.
    if (figures.monthlyTotals == nullptr)
        return 0;
    const StAOSUMINFO_TSUKIBETSU& monthly = *figures.monthlyTotals;
    const StIPPAN_NOTES& notes = *BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pNotes : nullptr);

    char amount[kValueTextSize];
    auto write = [&](const char* name, int64_t value) {
        FormatAmount(value, amount);
        writer.WriteElement(name, amount, kSectionDepth);
    };

    for (int month = 0; month < 12; ++month) write(kSales[month], monthly.llSlot[month]);
    write("KAJISYOUHI", monthly.llSlot[12]);
    write("ZATUSYUNYU", monthly.llSlot[13]);
    write("URIAGE_UTI_KEIGENZEIRITU", notes.llReducedRateSales);
    for (int month = 0; month < 12; ++month) write(kPurchases[month], monthly.llSlot[15 + month]);
    write("SIIRE_UTI_KEIGENZEIRITU", notes.llReducedRatePurchases);
    return 1;
}

}  // namespace sections
