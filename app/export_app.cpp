// The run sequence: connect to the host, read the launch, check the installation, let
// the user choose, collect, write, tell the outcome; the end step releases everything
// and hands the outcome to the host.
#include "app/export_app.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "app/export_pipeline.h"
#include "app/progress/progress_dlg.h"
#include "common/path_split.h"
#include "common/program_texts.h"
#include "dialog/condition_dlg.h"
#include "platform/services.h"
#include "resources/resource.h"

namespace {

void ShowMessage(HWND owner, const std::string& text, unsigned type)
{
    if (platform::IMessageBoxes* boxes = platform::GetServices().boxes)
        boxes->Show(owner, text, texts::kCaption, type);
}

// The failure message of the export: where the whole report stayed, when its
// destination could not take it, so the user can still use it.
std::string ExportFailedText(ExportStatus status, const ClExportFailure& failure)
{
    if (status == ExportStatus::kCollectFailed) return texts::kCollectFailed;
    if (failure.keptPath.empty()) return texts::kWriteFailed;
    std::string text = texts::kWriteKeptAside;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, failure.keptPath);
    return text;
}

void EnableHostWindow(HWND wnd, bool enable)
{
    if (platform::IWindows* windows = platform::GetServices().windows)
        windows->EnableWindow(wnd, enable);
}

// The wait cursor, if the platform has one.
platform::IWaitCursor* WaitCursor() { return platform::GetServices().cursor; }

void BeginWaitCursor()
{
    if (platform::IWaitCursor* cursor = WaitCursor())
        cursor->Begin();
}

void RestoreWaitCursor()
{
    if (platform::IWaitCursor* cursor = WaitCursor())
        cursor->Restore();
}

void EndWaitCursor()
{
    if (platform::IWaitCursor* cursor = WaitCursor())
        cursor->End();
}

// The wait cursor from its start to the end of the run: an exception on the way must
// not leave it on over the message that follows.
class WaitCursorScope {
public:
    WaitCursorScope() { BeginWaitCursor(); }
    ~WaitCursorScope()
    {
        try {
            End();
        } catch (...) {
        }
    }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;
    void End()
    {
        if (!m_on) return;
        m_on = false;
        EndWaitCursor();
    }

private:
    bool m_on = true;
};

// The folder of the executable, ending in its backslash; empty when the path has none.
// Scanned by characters, so a 0x5C trail byte is not taken for the separator.
std::string ExecutableFolder(const std::string& modulePath)
{
    return std::string(path_split::FolderPart(modulePath, path_split::Separators::kBackslash));
}

}  // namespace

int ClExportApp::InitInstance()
{
    if (ConnectHost(*m_edition) != 0) {
        // The launch has not been read yet: the host is neither disabled nor notified.
        resultCode = OUTCOME_FAILED;
        return 0;
    }

    if (ParseCommandLine(m_commandLine.c_str()) == 1) {
        launchedByHost = 1;
        // The host stays unusable until the end step has told it the outcome.
        EnableHostWindow(hostWnd, false);
        ClAccConnect::Inst()->m_hOwnerWnd = hostWnd;
        if (HostOutputPathTooLong()) {
            ShowMessage(hostWnd, texts::kHostPathTooLong, platform::MB_TYPE_ICONEXCLAMATION);
            resultCode = OUTCOME_FAILED;
            return 0;
        }
    }

    // The compatibility check reads its definitions file from the program's folder.
    if (platform::IFileSystem* fs = platform::GetServices().fs) {
        const std::string folder = ExecutableFolder(fs->ModulePath());
        if (!folder.empty())
            fs->SetCurrentDir(folder);
    }

    if (CheckEnvironment(1) == 0) {
        resultCode = OUTCOME_FAILED;
        return 0;
    }

    const long link = ClAccConnect::Inst()->ExpSysLink();
    if (link != 0) {
        resultCode = link == 1 ? OUTCOME_CANCELLED : OUTCOME_FAILED;
        return 0;
    }

    auto dialog = std::make_unique<ClConditionDlg>(HostParent(), m_edition->envFileName);

    StDATAINFO record;
    std::memset(&record, 0, sizeof record);
    FindSelectedData(&record);

    if (ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject()) {
        user->GetCurUserID(dialog->m_szUserId);
        long first = 0;
        long second = 0;
        user->GetSelectedNo(dialog->m_szUserId, &first, &second);
        dialog->m_lSelectedNo1 = static_cast<int32_t>(first);
        dialog->m_lSelectedNo2 = static_cast<int32_t>(second);
    }
    dialog->m_cBusinessKind = record.cBusinessKind;
    dialog->m_bPastResults = record.sDataKind == kPastResultsDataKind ? 1 : 0;
    dialog->m_strCompanyName = FormatDataText(kCompanyNameText, &record);
    dialog->m_strPeriod = FormatDataText(kPeriodText, &record);
    dialog->m_strMfgCost = record.ulMfgCost != 0 ? texts::kMfgCostYes : texts::kMfgCostNo;
    dialog->m_strHostPath.clear();
    if (launchedByHost == 1)
        dialog->m_strHostPath = hostOutputPath;

    const int chosen = dialog->DoModal();
    if (chosen == IDC_CANCEL_BUTTON) {
        resultCode = OUTCOME_CANCELLED;
        return 0;
    }
    // Only the execute command has checked the output path; a dialog that could not
    // be shown at all has chosen nothing to export, and the user must learn why.
    if (chosen != IDC_EXECUTE) {
        ShowMessage(hostWnd, texts::kDialogFailed, platform::MB_TYPE_ICONEXCLAMATION);
        resultCode = OUTCOME_FAILED;
        return 0;
    }

    // The path is taken whole: the dialog accepts none longer than the program handles,
    // and a shortened copy would name a different file.
    ClExportRequest request;
    request.selection = &record;
    request.category = dialog->m_nCategory;
    request.outputPath = dialog->m_strOutputPath;
    request.functionId = functionId;
    request.edition = m_edition;

    auto progress = std::make_unique<ClProgressDlg>();
    progress->Create();
    if (HostParent() != nullptr)
        progress->SetParent(hostWnd);
    progress->Show();
    WaitCursorScope cursor;
    progress->ResetOverall();
    request.progress = progress.get();

    ClExportFailure failure;
    const ExportStatus status = RunExport(request, figures, &failure);
    const bool written = status == ExportStatus::kWritten;
    m_reportWritten = written;
    if (written) {
        // A host-started run keeps the destination the user had remembered before.
        dialog->WriteRememberedDestination(0, 0, request.category,
                                           launchedByHost == 1 ? nullptr : request.outputPath.c_str());
    } else {
        ShowMessage(progress->Handle(), ExportFailedText(status, failure), platform::MB_TYPE_ICONEXCLAMATION);
        resultCode = OUTCOME_FAILED;
    }
    progress->Finish();
    RestoreWaitCursor();
    if (written)
        ShowMessage(hostWnd, texts::kCompleted, platform::MB_TYPE_ICONINFORMATION);
    cursor.End();
    progress.reset();
    dialog.reset();
    return written ? 1 : 0;
}

int ClExportApp::ExitInstance()
{
    // Each step runs whatever the one before it did: the host connection must be
    // closed and the host told, even when freeing the figures failed.
    try {
        figures.Release();
    } catch (...) {
    }
    try {
        DisconnectHost();
    } catch (...) {
    }
    TellHost();
    return 0;
}

void ClExportApp::TellHost()
{
    if (launchedByHost != 1 || m_hostTold) return;
    if (platform::IWindows* windows = platform::GetServices().windows) {
        windows->SetForegroundWindow(hostWnd);
        windows->EnableWindow(hostWnd, true);
        windows->PostMessage(hostWnd, static_cast<unsigned>(notifyMessage),
                             static_cast<std::intptr_t>(functionId), static_cast<std::intptr_t>(resultCode));
    }
    m_hostTold = true;
}
