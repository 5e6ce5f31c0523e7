// The company data set selected in the host, and the texts the dialog shows of it.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/export_app.h"
#include "app/export_pipeline.h"
#include "common/cp932_cut.h"
#include "common/program_texts.h"

int ClExportApp::FindSelectedData(StDATAINFO* out) { return ::FindSelectedData(dataSet, out); }

std::string ClExportApp::FormatDataText(short kind, const StDATAINFO* info)
{
    char text[256];
    std::memset(text, 0, sizeof text);
    if (info == nullptr)
        return text;

    if (kind == kCompanyNameText) {
        // A blank, then as much of the name as fits, ending on a whole character.
        std::string_view name(info->szCompanyName, strnlen(info->szCompanyName, sizeof info->szCompanyName));
        const std::size_t length = cp932::FitLength(name, sizeof text - 2);
        text[0] = ' ';
        std::memcpy(text + 1, name.data(), length);
    } else if (kind == kPeriodText) {
        const int32_t start = info->lPeriodStart;
        const int32_t end = info->lPeriodEnd;
        std::snprintf(text, sizeof text, texts::kPeriodFormat, static_cast<int>(start / 10000),
                      static_cast<int>(start % 10000 / 100), static_cast<int>(start % 100),
                      static_cast<int>(end / 10000), static_cast<int>(end % 10000 / 100),
                      static_cast<int>(end % 100));
    }
    return text;
}
