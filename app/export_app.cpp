// The run sequence: connect to the host, read the launch, check the installation, let
// the user choose, collect, write, tell the outcome; the end step releases everything
// and hands the outcome to the host.
#include "app/export_app.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "app/edition.h"
#include "app/progress/progress_dlg.h"
#include "common/cp932.h"
#include "dialog/condition_dlg.h"
#include "figures/figure_collector.h"
#include "figures/saved_details.h"
#include "platform/services.h"
#include "report/report_builder.h"

namespace {

const char kCompletedText[] = "所得税情報の出力が終了しました。\n\nアプリケーションを終了します。";
const char kWriteFailedText[] = "XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。";
const char kCollectFailedText[] = "集計データの取得に失敗しました。\n\nアプリケーションを終了します。";
const char kDialogFailedText[] = "集計条件の画面でエラーが発生しました。\n\nアプリケーションを終了します。";
const char kHostPathTooLongText[] =
    "指定された出力先のパスが長すぎるため、出力できません。\n\nアプリケーションを終了します。";

const int kDialogRun = 1013;
const int kDialogCancel = 1014;
const short kBuilderProgressBase = 500;

void ShowMessage(HWND owner, const char* text, unsigned type)
{
    if (platform::IMessageBoxes* boxes = platform::GetServices().boxes)
        boxes->Show(owner, text, ClExportApp::kCaption, type);
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

// The folder of the executable, ending in its backslash; empty when the path has none.
// Scanned by characters, so a 0x5C trail byte is not taken for the separator.
std::string ExecutableFolder(const std::string& modulePath)
{
    std::string_view path(modulePath);
    std::size_t cut = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); i += cp932::CharLengthAt(path, i)) {
        if (path[i] == '\\' && cp932::CharLengthAt(path, i) == 1)
            cut = i;
    }
    return cut == std::string_view::npos ? std::string() : modulePath.substr(0, cut + 1);
}

}  // namespace

int ClExportApp::InitInstance()
{
    ClAccConnect* connection = ClAccConnect::Inst();
    connection->m_pszCaption = kCaption;
    connection->SetAppType(static_cast<ClSysEnvMgr::_AppType>(CurrentEdition().appType));
    connection->SetUseDataType(2);
    if (connection->Initiate() != 0) {
        // The launch has not been read yet: the host is neither disabled nor notified.
        resultCode = OUTCOME_FAILED;
        return 0;
    }

    if (ParseCommandLine(m_commandLine.c_str()) == 1) {
        launchedByHost = 1;
        hostWindow = hostWnd;
        // The host stays unusable until the end step has told it the outcome.
        EnableHostWindow(hostWnd, false);
        connection->m_hOwnerWnd = hostWnd;
        if (HostOutputPathTooLong()) {
            ShowMessage(hostWnd, kHostPathTooLongText, platform::MB_TYPE_ICONEXCLAMATION);
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

    const long link = connection->ExpSysLink();
    if (link != 0) {
        resultCode = link == 1 ? OUTCOME_CANCELLED : OUTCOME_FAILED;
        return 0;
    }

    auto dialog = std::make_unique<ClConditionDlg>(hostWindow);

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
    dialog->m_bPastResults = record.sDataKind == 99 ? 1 : 0;
    dialog->m_strCompanyName = FormatDataText(0, &record);
    dialog->m_strPeriod = FormatDataText(1, &record);
    dialog->m_strMfgCost = record.ulMfgCost != 0 ? "あり" : "なし";
    dialog->m_strHostPath.clear();
    if (launchedByHost == 1)
        dialog->m_strHostPath = hostOutputPath;

    const int chosen = dialog->DoModal();
    if (chosen == kDialogCancel) {
        resultCode = OUTCOME_CANCELLED;
        return 0;
    }
    // Only the execute command has checked the output path; a dialog that could not
    // be shown at all has chosen nothing to export, and the user must learn why.
    if (chosen != kDialogRun) {
        ShowMessage(hostWnd, kDialogFailedText, platform::MB_TYPE_ICONEXCLAMATION);
        resultCode = OUTCOME_FAILED;
        return 0;
    }

    // The path is taken whole: the dialog accepts none longer than the program handles,
    // and a shortened copy would name a different file.
    const std::string outputPath = dialog->m_strOutputPath;
    const short category = dialog->m_nCategory;

    auto progress = std::make_unique<ClProgressDlg>();
    progress->Create();
    if (hostWindow != nullptr)
        progress->SetParent(hostWnd);
    progress->Show();
    BeginWaitCursor();
    progress->ResetOverall();

    auto collector = std::make_unique<ClFigureCollector>();
    collector->progress = progress.get();
    collector->sumLines = &sumLines;
    collector->monthlyTotals = &monthlyTotals;
    collector->savedGeneral = &savedGeneral;
    collector->savedRealEstate = &savedRealEstate;

    auto builder = std::make_unique<ClReportBuilder>();
    builder->progress = progress.get();
    builder->sumLines = &sumLines;
    builder->monthlyTotals = &monthlyTotals;
    builder->savedGeneral = &savedGeneral;
    builder->savedRealEstate = &savedRealEstate;
    builder->category = category;
    builder->progressBase = kBuilderProgressBase;

    // Figures that could not be collected would give the tax product an empty or
    // partial statement presented as complete: no report is written then.
    const bool collected = collector->Collect(&record, category) != 0;
    const bool written = collected && builder->WriteReport(outputPath.c_str(), functionId, &record) != 0;
    m_reportWritten = written;

    if (!written) {
        ShowMessage(progress->Handle(), collected ? kWriteFailedText : kCollectFailedText,
                    platform::MB_TYPE_ICONEXCLAMATION);
        progress->Finish();
        RestoreWaitCursor();
        resultCode = OUTCOME_FAILED;
        builder.reset();
        collector.reset();
        EndWaitCursor();
        progress.reset();
        dialog.reset();
        return 0;
    }

    // A host-started run keeps the destination the user had remembered before.
    dialog->WriteRememberedDestination(0, 0, category, launchedByHost == 1 ? nullptr : outputPath.c_str());
    progress->Finish();
    RestoreWaitCursor();
    ShowMessage(hostWnd, kCompletedText, platform::MB_TYPE_ICONINFORMATION);
    builder.reset();
    collector.reset();
    EndWaitCursor();
    progress.reset();
    dialog.reset();
    return 1;
}

int ClExportApp::ExitInstance()
{
    // Only blocks the collector received are non-null: the records start zeroed.
    FreeSavedGeneral(savedGeneral);
    FreeSavedRealEstate(savedRealEstate);
    FreeSumLines(sumLines);

    ClAccConnect* connection = ClAccConnect::Inst();
    connection->LogOut();
    connection->Terminate();
    connection->Release();

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
