// The export itself, shared by the program (after its conditions dialog), the
// export-report tool and the benchmark: connect to the host, find the selected data
// set, collect its figures into a figure store and write the report from it.
#pragma once

#include <cstdint>
#include <string>

#include "app/edition.h"
#include "host/host.h"
#include "platform/progress.h"
#include "store/figure_store.h"

// Caption, application type and data type, then Initiate; returns Initiate's status.
long ConnectHost(const ClEdition& edition);
// LogOut, Terminate and Release, in the host's order; safe after a failed Initiate.
void DisconnectHost();

// Copies the record of the data set the current user has selected into out (zeroed
// first; stays zeroed when none matches). dataSet caches the host's data-set object:
// obtained on the first call, reused after, never released. 0 only when out is null.
int FindSelectedData(ClSetData*& dataSet, StDATAINFO* out);

struct ClExportRequest {
    const StDATAINFO* selection = nullptr;    // the data set to export
    int16_t category = 0;                     // BusinessCategory of the form
    std::string outputPath;
    int16_t functionId = 1;                   // FUNCTIONID of the report
    platform::IProgress* progress = nullptr;  // may be null: nothing is shown
    const ClEdition* edition = &ProEdition();
};

enum class ExportStatus { kWritten, kCollectFailed, kWriteFailed };

// Why a report was not written, for the message to the user.
struct ClExportFailure {
    std::string keptPath;   // the file that holds the whole report its destination could not take
    std::string reason;     // which file failed how, with the system's reason
};

// Collects into store (which the caller owns and releases) and writes the report.
// Figures that could not be collected would give the tax product an empty or partial
// statement presented as complete: then no report is written at all.
ExportStatus RunExport(const ClExportRequest& request, ClFigureStore& store, ClExportFailure* failure = nullptr);
