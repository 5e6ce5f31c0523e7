// The application object: the whole export runs in its start step, the end step
// releases the figure store and the host connection and tells the host the outcome.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/edition.h"
#include "host/host.h"
#include "store/figure_store.h"

class ClExportApp {
public:
    enum Outcome { OUTCOME_COMPLETED = 0, OUTCOME_CANCELLED = 1, OUTCOME_FAILED = 2 };

    explicit ClExportApp(const ClEdition& edition = ProEdition()) : m_edition(&edition) {}
    ClExportApp(const ClExportApp&) = delete;
    ClExportApp& operator=(const ClExportApp&) = delete;

    // The command-line text after the program name; set by the entry point.
    void SetCommandLine(const std::string& text) { m_commandLine = text; }

    int InitInstance();   // the run; 1 (TRUE) or 0 (FALSE)
    int ExitInstance();   // the end step; always runs after InitInstance
    // The start step and then the end step, neither letting an exception out: the end
    // step still runs, the host is told the outcome and the user sees a message. The
    // entry point calls this; InitInstance's result. readCommandLine, when given, reads
    // the command line inside the barrier (its conversion may run out of memory too).
    int Run(std::string (*readCommandLine)() = nullptr);

    int ParseCommandLine(const char* line);
    int CheckEnvironment(int showMessage);
    int FindSelectedData(StDATAINFO* out);
    // The texts FormatDataText gives for the conditions dialog.
    enum DataText : short { kCompanyNameText = 0, kPeriodText = 1 };
    static std::string FormatDataText(short kind, const StDATAINFO* info);
    // True when the host fixed an output path longer than the program can handle; the
    // run then refuses it instead of writing to a shortened path.
    bool HostOutputPathTooLong() const;

    int32_t launchedByHost = 0;
    HWND hostWnd = nullptr;
    int32_t notifyMessage = 0;
    int16_t functionId = 1;
    std::string hostOutputPath;
    int32_t resultCode = 0;
    // Filled by the collector, read by the builder, released by the end step.
    ClFigureStore figures;
    ClSetData* dataSet = nullptr;

private:
    // The parent of the dialogs and the progress window: the host's window when the host
    // started the run, none otherwise.
    HWND HostParent() const { return launchedByHost == 1 ? hostWnd : nullptr; }

    const ClEdition* m_edition;
    // Re-enables the host, brings it to the front and posts the outcome, once.
    void TellHost();

    std::string m_commandLine;
    bool m_reportWritten = false;   // the report file is complete, whatever comes after
    bool m_hostTold = false;
};
