#include "dialog/condition_dlg.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "common/kinds.h"
#include "common/program_texts.h"
#include "dialog/path_functions.h"
#include "host/host_paths.h"

namespace {

const char kDefaultName[] = "*.xml";

const char kSaveFilter[] = "Xml Files (*.xml)|*.xml||";
const char kSaveExtension[] = "XML";
// OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST
const unsigned kSaveFlags = 0x180C;

const int kTypedPathLimit = 255;

enum : int {
    VK_RETURN_KEY = 0x0D,
    VK_SHIFT_KEY = 0x10,
    VK_CONTROL_KEY = 0x11,
    VK_MENU_KEY = 0x12,
    VK_F12_KEY = 0x7B,
};

}  // namespace

ClConditionDlg::ClConditionDlg(HWND parent, std::string settingsFile)
    : m_parent(parent), m_strSettingsFile(std::move(settingsFile))
{
    std::memset(m_szRememberedPath, 0, sizeof m_szRememberedPath);
}

int ClConditionDlg::DoModal()
{
    platform::IUi* ui = platform::GetServices().ui;
    if (!ui) return -1;
    return ui->RunModal(IDD_CONDITIONS, m_parent, *this);
}

void ClConditionDlg::UpdateData(bool save)
{
    if (!m_view) return;
    if (save) {
        m_strCompanyName = m_view->GetItemText(IDC_COMPANY);
        m_strPeriod = m_view->GetItemText(IDC_PERIOD);
        m_strMfgCost = m_view->GetItemText(IDC_MFGCOST);
        m_strOutputPath = m_view->GetItemText(IDC_OUTPUT_PATH);
    } else {
        m_view->SetItemText(IDC_COMPANY, m_strCompanyName);
        m_view->SetItemText(IDC_PERIOD, m_strPeriod);
        m_view->SetItemText(IDC_MFGCOST, m_strMfgCost);
        m_view->SetItemText(IDC_OUTPUT_PATH, m_strOutputPath);
    }
}

int ClConditionDlg::ShowMessage(const char* text, unsigned type)
{
    platform::IMessageBoxes* boxes = platform::GetServices().boxes;
    if (!boxes) return platform::ID_CANCEL;
    return boxes->Show(m_view ? m_view->Handle() : nullptr, text, texts::kCaption, type);
}

void ClConditionDlg::Refocus()
{
    m_edtOutputPath.SetFocus();
    m_edtOutputPath.SelectAll();
}

// The folder offered when nothing is remembered: the host's output folder, else the
// temporary folder, followed by "*.xml". A folder too long for "*.xml" within the
// 260 bytes is passed over for the next one rather than cut, so the candidate is
// always a whole folder (or "*.xml" alone).
std::string ClConditionDlg::DefaultCandidate() const
{
    const std::size_t room = kMaxPathBytes - (sizeof kDefaultName - 1);
    std::string folder;
    if (const char* output = ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_OUTPUT)) folder = output;
    if (folder.size() > room) folder.clear();
    if (folder.empty()) {
        platform::IFileSystem* fs = platform::GetServices().fs;
        std::string temp = fs ? fs->GetTempPath() : std::string();
        if (temp.size() > kMaxPathBytes) temp.clear();   // GetTempPath with 261 bytes gives nothing
        if (!temp.empty()) AppendBackslash(temp, kPathBufferSize);
        folder = temp.size() > room ? std::string() : temp;
    }
    return folder + kDefaultName;
}

void ClConditionDlg::OnInitDialog(platform::IDialogView& view)
{
    m_view = &view;
    m_rdoBusiness.Bind(&view, IDC_RADIO_BUSINESS);
    m_rdoOther.Bind(&view, IDC_RADIO_OTHER);
    m_rdoRealEstate.Bind(&view, IDC_RADIO_REALESTATE);
    m_grpOutput.Bind(&view, IDC_GROUP_OUTPUT);
    m_btnCancel.Bind(&view, IDC_CANCEL_BUTTON);
    m_btnExecute.Bind(&view, IDC_EXECUTE);
    m_btnBrowse.Bind(&view, IDC_BROWSE);
    m_edtOutputPath.Bind(&view, IDC_OUTPUT_PATH);
    UpdateData(false);

    if (m_bPastResults == 1) {
        ShowMessage(texts::kPastResults, platform::MB_TYPE_ICONEXCLAMATION | platform::MB_TYPE_OK);
        view.End(IDC_CANCEL_BUTTON);
    }

    m_edtOutputPath.LimitText(kTypedPathLimit);

    switch (m_cBusinessKind) {
    case 1:
        m_rdoRealEstate.EnableWindow(false);
        m_rdoBusiness.SetCheck(true);
        m_nCategory = kBusinessIncome;
        break;
    case 2:
        m_rdoBusiness.EnableWindow(false);
        m_rdoOther.EnableWindow(false);
        m_rdoRealEstate.SetCheck(true);
        m_nCategory = kRealEstateIncome;
        break;
    default:
        m_rdoBusiness.SetCheck(true);
        m_nCategory = kBusinessIncome;
        break;
    }

    std::memset(m_szRememberedPath, 0, sizeof m_szRememberedPath);
    int16_t rememberedCategory = 0;
    char rememberedPath[kPathBufferSize] = {};
    ReadRememberedDestination(&rememberedCategory, rememberedPath);

    if (rememberedCategory != m_nCategory) {
        ClDlgItem* radios[] = {&m_rdoBusiness, &m_rdoOther, &m_rdoRealEstate};
        if (rememberedCategory >= 1 && rememberedCategory <= 3 && radios[rememberedCategory - 1]->IsWindowEnabled()) {
            for (int i = 0; i < 3; ++i) radios[i]->SetCheck(i == rememberedCategory - 1);
            m_nCategory = rememberedCategory;
        }
    }

    std::string candidate;
    if (rememberedPath[0] != '\0') {
        std::memcpy(m_szRememberedPath, rememberedPath, sizeof m_szRememberedPath);
        m_szRememberedPath[kMaxPathBytes] = '\0';
        candidate = m_szRememberedPath;
    } else {
        candidate = DefaultCandidate();
    }

    if (!m_strHostPath.empty()) {
        m_strOutputPath = m_strHostPath;
        m_btnBrowse.EnableWindow(false);
        m_edtOutputPath.EnableWindow(false);
        m_grpOutput.SetWindowText(texts::kFixedGroupCaption);
        m_bPathFixed = 1;
    } else {
        m_strOutputPath = candidate;
        m_bPathFixed = 0;
    }

    UpdateData(false);
}

void ClConditionDlg::OnBrowse()
{
    if (!m_view) return;
    UpdateData(true);
    std::string folder = PathFolderPart(m_strOutputPath);
    std::string name;
    if (!folder.empty()) {
        name = PathFilePart(m_strOutputPath);
    } else {
        folder = PathDrivePart(m_strOutputPath);
        name = PathAfterDrive(m_strOutputPath);
    }
    platform::SaveFileRequest request;
    request.defaultExtension = kSaveExtension;
    request.initialName = name;
    request.initialFolder = folder;
    request.filter = kSaveFilter;
    request.title = texts::kSaveTitle;
    request.flags = kSaveFlags;
    std::string chosen;
    platform::IUi* ui = platform::GetServices().ui;
    if (ui && ui->SaveFileDialog(m_view->Handle(), request, chosen)) {
        m_strOutputPath = chosen;
        UpdateData(false);
    }
    m_btnExecute.SetFocus();
}

void ClConditionDlg::OnExecute()
{
    if (!m_view) return;
    UpdateData(true);

    // Each radio is tested in turn, so with several checked the last one tested wins.
    m_nCategory = kBusinessIncome;
    if (m_rdoBusiness.GetCheck()) m_nCategory = kBusinessIncome;
    if (m_rdoOther.GetCheck()) m_nCategory = kOtherIncome;
    if (m_rdoRealEstate.GetCheck()) m_nCategory = kRealEstateIncome;

    const unsigned refusal = platform::MB_TYPE_ICONEXCLAMATION | platform::MB_TYPE_OK;
    const unsigned question = platform::MB_TYPE_ICONQUESTION | platform::MB_TYPE_YESNO;
    const std::string& path = m_strOutputPath;

    if (path.empty()) {
        ShowMessage(texts::kNoPath, refusal);
        Refocus();
        return;
    }
    // A path longer than the run's 260-byte buffer would reach the export cut into
    // another path; a deep folder of Japanese names gets there in about 130 characters,
    // so the user is told the real reason.
    if (path.size() > kMaxPathBytes) {
        ShowMessage(texts::kPathTooLong, refusal);
        Refocus();
        return;
    }
    if (!CheckPathChars(path)) {
        ShowMessage(texts::kBadChars, refusal);
        Refocus();
        return;
    }
    if (!CheckOutputDrive(path)) {
        ShowMessage(texts::kBadDrive, refusal);
        Refocus();
        return;
    }
    if (PathFilePart(path).empty()) {
        ShowMessage(texts::kNoFileName, refusal);
        Refocus();
        return;
    }
    platform::IFileSystem* fs = platform::GetServices().fs;
    std::string folder = PathFolderPart(path);
    if (!folder.empty() && !(fs && fs->Access(folder, 0))) {
        if (ShowMessage(texts::kCreateFolder, question) != platform::ID_YES) {
            Refocus();
            return;
        }
        if (!CreateFolderChain(folder)) {
            ShowMessage(texts::kCreateFailed, refusal);
            Refocus();
            return;
        }
    }
    bool isDirectory = false;
    if (m_bPathFixed == 0 && fs && fs->Stat(path, &isDirectory)) {
        if (isDirectory) {
            ShowMessage(texts::kNoFileName, refusal);
            Refocus();
            return;
        }
        if (ShowMessage(texts::kOverwrite, question) != platform::ID_YES) {
            Refocus();
            return;
        }
    }
    m_view->End(IDC_EXECUTE);
}

void ClConditionDlg::OnCancel()
{
    char text[128];
    std::snprintf(text, sizeof text, texts::kCancelFormat, texts::kCaption);
    ShowMessage(text, platform::MB_TYPE_ICONINFORMATION | platform::MB_TYPE_OK);
    if (m_view) m_view->End(IDC_CANCEL_BUTTON);
}

void ClConditionDlg::OnCommand(platform::IDialogView& view, int id)
{
    m_view = &view;
    switch (id) {
    case IDC_EXECUTE:
    // The dialog manager's OK (Enter with Shift or Ctrl held, no push button focused)
    // must not bypass the checks: it runs the execute command too.
    case platform::ID_OK:
        OnExecute();
        break;
    case IDC_CANCEL_BUTTON:
    case platform::ID_CANCEL:
        OnCancel();
        break;
    case IDC_BROWSE:
        OnBrowse();
        break;
    default:
        break;
    }
}

bool ClConditionDlg::PreTranslateKey(platform::IDialogView& view, int virtualKey, int focusId)
{
    m_view = &view;
    if (view.IsKeyDown(VK_SHIFT_KEY) || view.IsKeyDown(VK_CONTROL_KEY) || view.IsKeyDown(VK_MENU_KEY)) return false;

    if (virtualKey == VK_F12_KEY) {
        OnExecute();
        return true;
    }
    if (virtualKey != VK_RETURN_KEY) return false;

    auto focusBrowseOrExecute = [this]() {
        if (m_btnBrowse.IsWindowEnabled())
            m_btnBrowse.SetFocus();
        else
            m_btnExecute.SetFocus();
    };
    switch (focusId) {
    case IDC_RADIO_BUSINESS:
    case IDC_RADIO_OTHER:
    case IDC_RADIO_REALESTATE:
        if (m_edtOutputPath.IsWindowEnabled()) {
            m_edtOutputPath.SetFocus();
            m_edtOutputPath.SelectAll();
        } else {
            focusBrowseOrExecute();
        }
        return true;
    case IDC_OUTPUT_PATH:
        focusBrowseOrExecute();
        return true;
    case IDC_BROWSE:
        OnBrowse();
        return true;
    case IDC_EXECUTE:
        OnExecute();
        return true;
    default:
        return false;
    }
}
