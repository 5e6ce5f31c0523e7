// Figures of the real-estate form copied from its saved details: the interest on
// liabilities and the scale of what is rented out.
#include "store/saved_details.h"
#include "report/sections/sections.h"
#include "report/value_text.h"
#include "report/xml_writer.h"

namespace sections {

namespace {

constexpr int kSectionDepth = 4;

// Two decimals rounded half up; empty for a zero area.
void FormatArea(int64_t area, char* out)
{
    out[0] = '\0';
    if (area != 0)
        FormatFixedPoint(area, out, kValueTextSize, 2);
}

}  // namespace

int WriteLiabilityInterest(ClXmlWriter& writer, const StFigures& figures)
{
    const StFUDOUSAN_BASE& base = *BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pBase : nullptr);
    char amount[kValueTextSize];
    FormatAmount(base.llLiabilityInterest, amount);
    writer.WriteElement("FUSAIRISIGAKU", amount, kSectionDepth);
    return 1;
}

int WriteRentalScale(ClXmlWriter& writer, const StFigures& figures)
{
    const StFUDOUSAN_SCALE& scale = *BlockOrEmpty(figures.savedRealEstate ? figures.savedRealEstate->pScale : nullptr);
    char text[kValueTextSize];

    auto writeCount = [&](const char* name, int32_t value) {
        FormatInteger(value, text);
        writer.WriteElement(name, text, kSectionDepth);
    };
    auto writeArea = [&](const char* name, int64_t area) {
        FormatArea(area, text);
        writer.WriteElement(name, text, kSectionDepth);
    };

    writeCount("JUUTAKU_TATEMONO_IKKODATE", scale.residential.lDetached);
    writeCount("JUUTAKU_TATEMONO_IKKODATEIGAI", scale.residential.lOtherBuildings);
    writeCount("JUUTAKU_TOTI_KEIYAKU", scale.residential.lLandContracts);
    writeArea("JUUTAKU_TOTI_SOUMENSEKI", scale.residential.llLandArea);
    writeCount("JUUTAKUIGAI_TATEMONO_IKKODATE", scale.nonResidential.lDetached);
    writeCount("JUUTAKUIGAI_TATEMONO_IKKODATEIGAI", scale.nonResidential.lOtherBuildings);
    writeCount("JUUTAKUIGAI_TOTI_KEIYAKU", scale.nonResidential.lLandContracts);
    writeArea("JUUTAKUIGAI_TOTI_SOUMENSEKI", scale.nonResidential.llLandArea);
    writeCount("CHUUSYAJOU_YANETUKI", scale.lParkingRoofed);
    writeCount("CHUUSYAJOU_AOZORA", scale.lParkingOpen);
    return 1;
}

}  // namespace sections
