// The bad-debt reserve and the blue-return special deduction of the general form, and
// the deduction choice of the blue real-estate form.
#include <cstring>

#include "store/fixed_decimal.h"
#include "store/saved_details.h"
#include "report/sections/sections.h"
#include "report/value_text.h"
#include "report/xml_writer.h"

namespace sections {

namespace {

constexpr int kSectionDepth = 4;
// In this form the 43rd income-statement line holds the income before the deduction.
constexpr int32_t kIncomeBeforeDeductionLine = 43;

// A whole-yen figure that is never below zero, rounded half up.
ClFixedDecimal WholeYenNotNegative(int64_t raw)
{
    ClFixedDecimal value(raw < 0 ? int64_t{0} : raw);
    value.RoundAt(ClFixedDecimal::kRoundHalfUp, 1);
    return value;
}

// The texts and limit that the selection byte stands for; false for an unknown byte.
bool ReadSelection(uint8_t selection, const char** choiceText, int32_t* limitYen)
{
    switch (selection) {
    case 1:
        *choiceText = "1";
        *limitYen = 650000;
        return true;
    case 0:
        *choiceText = "2";
        *limitYen = 100000;
        return true;
    default:
        return false;
    }
}

// Whole-yen text of a rounded figure; a figure too large to render (never one made
// from host amounts) refuses the section rather than giving a wrong text.
int WriteWholeYen(ClXmlWriter& writer, const char* name, ClFixedDecimal& value)
{
    const char* text = value.ToText(0, ClFixedDecimal::kRoundHalfUp);
    if (text == nullptr) return 0;
    writer.WriteElement(name, text, kSectionDepth);
    return 1;
}

}  // namespace

int WriteBadDebtReserve(ClXmlWriter& writer, const StFigures& figures)
{
    const StIPPAN_FAMILY& reserve = *BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pFamily : nullptr);
    char amount[kValueTextSize];

    FormatAmount(reserve.llBadDebtIndividual, amount);
    writer.WriteElement("KOBETU_KURIIREGAKU", amount, kSectionDepth);
    FormatAmount(reserve.llBadDebtLumpSumTotal, amount);
    writer.WriteElement("IKKATU_KURIIREGOUKEIGAKU", amount, kSectionDepth);
    writer.WriteElement("IKKATU_KURIIRERITU", "1", kSectionDepth);
    FormatAmount(reserve.llBadDebtLumpSumLimit, amount);
    writer.WriteElement("IKKATU_KURIIREGENDOGAKU", amount, kSectionDepth);
    FormatAmount(reserve.llBadDebtLumpSum, amount);
    writer.WriteElement("IKKATU_KURIIREGAKU", amount, kSectionDepth);
    return 1;
}

int WriteBlueDeduction(ClXmlWriter& writer, const StFigures& figures)
{
    const StIPPAN_BASE& base = *BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pBase : nullptr);

    ClFixedDecimal realEstateIncome = WholeYenNotNegative(base.llRealEstateIncome);
    if (!WriteWholeYen(writer, "FUDOUSANSYOTOKU", realEstateIncome))
        return 0;

    StAOSUMINFO work{};
    if (!FindSumLine(figures, kIncomeBeforeDeductionLine, 1, &work))
        return 0;
    ClFixedDecimal incomeBefore = WholeYenNotNegative(work.llAmount);
    if (!WriteWholeYen(writer, "AOIROKOUJOMAESYOTOKU", incomeBefore))
        return 0;

    const char* choiceText = nullptr;
    int32_t limitYen = 0;
    if (!ReadSelection(base.cDeduction, &choiceText, &limitYen))
        return 0;
    writer.WriteElement("AOIROKOUJO_SENTAKU", choiceText, kSectionDepth);

    // The real-estate income takes its share of the deduction first; what remains
    // cannot exceed the income of this statement.
    const ClFixedDecimal limit(limitYen, 0);
    const ClFixedDecimal takenByRealEstate =
        ClFixedDecimal::IsLess(limit, realEstateIncome) ? limit : realEstateIncome;
    ClFixedDecimal remaining;
    ClFixedDecimal::Subtract(remaining, limit, takenByRealEstate);
    if (ClFixedDecimal::IsGreater(remaining, incomeBefore))
        remaining = incomeBefore;
    const char* deduction = remaining.ToText(0, ClFixedDecimal::kRoundHalfUp);
    if (deduction == nullptr)
        return 0;

    const bool full = base.cDeduction == 1;
    writer.WriteElement("AOIROKOUJO_KOUJYOGAKU", full ? deduction : "", kSectionDepth);
    writer.WriteElement("JOUKIIGAI_KOUJYOGAKU", full ? "" : deduction, kSectionDepth);
    return 1;
}

int WriteDeductionChoice(ClXmlWriter& writer, const StFigures& figures)
{
    const StIPPAN_BASE& base = *BlockOrEmpty(figures.savedGeneral ? figures.savedGeneral->pBase : nullptr);
    const char* choiceText = nullptr;
    int32_t limitYen = 0;
    if (!ReadSelection(base.cDeduction, &choiceText, &limitYen))
        return 0;
    writer.WriteElement("AOIROKOUJO_SENTAKU", choiceText, kSectionDepth);
    return 1;
}

}  // namespace sections
