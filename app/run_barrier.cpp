// The barrier around the start and end steps. The host window stays disabled from the
// start step until the end step tells it the outcome: an exception that ended the
// process in between (memory running out while the destination is remembered, say)
// would leave the host unusable for good and the user without a word.
#include "app/export_app.h"

#include "common/program_texts.h"
#include "platform/services.h"

int ClExportApp::Run(std::string (*readCommandLine)())
{
    int started = 0;
    try {
        if (readCommandLine) m_commandLine = readCommandLine();
        started = InitInstance();
    } catch (...) {
        // The host learns what the tax product will find: a report written whole stands.
        resultCode = m_reportWritten ? OUTCOME_COMPLETED : OUTCOME_FAILED;
        try {
            if (platform::IMessageBoxes* boxes = platform::GetServices().boxes)
                boxes->Show(hostWnd, m_reportWritten ? texts::kUnexpectedAfterWrite : texts::kUnexpected, texts::kCaption,
                            platform::MB_TYPE_ICONEXCLAMATION);
        } catch (...) {
        }
    }
    try {
        ExitInstance();
    } catch (...) {
        // Whatever of the release failed, the host must not stay disabled.
        try {
            TellHost();
        } catch (...) {
        }
    }
    return started;
}
