#include "app/export_pipeline.h"

#include <cstring>

#include "common/program_texts.h"
#include "figures/figure_collector.h"
#include "report/report_builder.h"

namespace {
// Where the builder's stretch of the progress starts: the collector has the first half.
const short kBuilderProgressBase = 500;
}  // namespace

long ConnectHost(const ClEdition& edition)
{
    ClAccConnect* connection = ClAccConnect::Inst();
    connection->m_pszCaption = texts::kCaption;
    connection->SetAppType(edition.appType);
    connection->SetUseDataType(2);
    return connection->Initiate();
}

void DisconnectHost()
{
    ClAccConnect* connection = ClAccConnect::Inst();
    connection->LogOut();
    connection->Terminate();
    connection->Release();
}

int FindSelectedData(ClSetData*& dataSet, StDATAINFO* out)
{
    if (out == nullptr)
        return 0;
    if (dataSet == nullptr)
        dataSet = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kCompanyDataSetsKind, kCompanyDataSetsMode));

    std::memset(out, 0, sizeof *out);
    char userId[65] = {};
    long first = 0;
    long second = 0;
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    if (user != nullptr) {
        user->GetCurUserID(userId);
        user->GetSelectedNo(userId, &first, &second);
    }
    // Without a data-set list nothing can match; the record stays zeroed.
    if (dataSet == nullptr)
        return 1;

    unsigned long cursor = 0;
    dataSet->GetDatCursor(&cursor);
    dataSet->ReadyDat(cursor, 0);
    for (;;) {
        StDATAINFO scratch;
        std::memset(&scratch, 0, sizeof scratch);
        if (dataSet->WalkDat(&scratch, cursor) != 0)
            break;
        if (scratch.lDataNo == second) {
            std::memcpy(out, &scratch, sizeof scratch);
            break;
        }
    }
    dataSet->ReleaseDatCursor(cursor);
    return 1;
}

ExportStatus RunExport(const ClExportRequest& request, ClFigureStore& store, ClExportFailure* failure)
{
    // The collector owns the host's engines until the report is written.
    ClFigureCollector collector;
    collector.progress = request.progress;
    collector.BindStore(store);
    if (collector.Collect(request.selection, request.category) == 0)
        return ExportStatus::kCollectFailed;

    StReportSettings settings;
    settings.category = request.category;
    settings.defaultProgramName = request.edition->defaultProgramName;
    settings.progress = request.progress;
    settings.progressBase = kBuilderProgressBase;
    ClReportBuilder builder(sections::FiguresOf(store), settings);
    if (builder.WriteReport(request.outputPath.c_str(), request.functionId, request.selection) == 0) {
        if (failure) {
            failure->keptPath = builder.KeptPath();
            failure->reason = builder.FailureText();
        }
        return ExportStatus::kWriteFailed;
    }
    return ExportStatus::kWritten;
}
