// The conditions dialog (template 130): the user sees the company data set, chooses
// the statement form and names the output XML file. The logic runs against
// platform::IDialogView, so tests drive it with a fake view and platform/win32 binds
// it to the real controls.
//
// The run fills the information members, calls DoModal (1013 run, 1014 cancel, -1 when
// the dialog could not be shown), then reads m_strOutputPath and m_nCategory. After a
// successful export it stores the destination with WriteRememberedDestination.
#pragma once

#include <cstdint>
#include <string>

#include "common/kinds.h"
#include "common/path_limit.h"
#include "host/host_types.h"
#include "platform/services.h"
#include "resources/resource.h"

// One control of the running dialog, reached through its view.
class ClDlgItem {
public:
    void Bind(platform::IDialogView* view, int id)
    {
        m_view = view;
        m_id = id;
    }
    int Id() const { return m_id; }
    bool GetCheck() const { return m_view && m_view->IsChecked(m_id); }
    void SetCheck(bool checked) { if (m_view) m_view->SetCheck(m_id, checked); }
    bool IsWindowEnabled() const { return m_view && m_view->IsItemEnabled(m_id); }
    void EnableWindow(bool enable) { if (m_view) m_view->EnableItem(m_id, enable); }
    void SetWindowText(const std::string& text) { if (m_view) m_view->SetItemText(m_id, text); }
    void SetFocus() { if (m_view) m_view->SetFocus(m_id); }
    // EM_SETSEL 0, -1 and EM_SCROLLCARET.
    void SelectAll() { if (m_view) m_view->SelectAllText(m_id); }
    void LimitText(int bytes) { if (m_view) m_view->LimitText(m_id, bytes); }

private:
    platform::IDialogView* m_view = nullptr;
    int m_id = 0;
};

class ClConditionDlg : public platform::IDialogHandler {
public:
    // settingsFile: the name of the remembered-destination file of the edition.
    ClConditionDlg(HWND parent, std::string settingsFile);

    int DoModal();

    void OnBrowse();
    void OnExecute();
    void OnCancel();

    // The remembered destination of this user and data set (remembered_destination.cpp).
    // Read: TRUE with *category and path (a kPathBufferSize-byte buffer) filled when a record was
    // found; FALSE with both untouched otherwise.
    int ReadRememberedDestination(int16_t* category, char* path);
    // Write: stores value1/value2/category and path (m_szRememberedPath when null).
    int WriteRememberedDestination(int16_t value1, int16_t value2, int16_t category, const char* path);

    // platform::IDialogHandler
    void OnInitDialog(platform::IDialogView& view) override;
    void OnCommand(platform::IDialogView& view, int id) override;
    bool PreTranslateKey(platform::IDialogView& view, int virtualKey, int focusId) override;

    ClDlgItem m_rdoBusiness;     // 1010
    ClDlgItem m_rdoOther;        // 1012
    ClDlgItem m_rdoRealEstate;   // 1011
    ClDlgItem m_grpOutput;       // 1015
    ClDlgItem m_btnCancel;       // 1014
    ClDlgItem m_btnExecute;      // 1013
    ClDlgItem m_btnBrowse;       // 1017
    ClDlgItem m_edtOutputPath;   // 1016
    std::string m_strCompanyName;
    std::string m_strPeriod;
    std::string m_strMfgCost;
    std::string m_strOutputPath;
    int32_t m_lSelectedNo1 = 0;
    int32_t m_lSelectedNo2 = 0;
    int32_t m_bPastResults = 0;
    unsigned char m_cBusinessKind = 0;
    std::string m_strHostPath;
    char m_szUserId[65] = {};
    int16_t m_nCategory = kBusinessIncome;   // BusinessCategory
    int32_t m_bPathFixed = 0;
    char m_szRememberedPath[kPathBufferSize];

private:
    // Data exchange: pushes (save false) or pulls (save true) the four texts.
    void UpdateData(bool save);
    // Path box focused with its whole text selected.
    void Refocus();
    int ShowMessage(const char* text, unsigned type);
    std::string DefaultCandidate() const;

    HWND m_parent;
    std::string m_strSettingsFile;
    platform::IDialogView* m_view = nullptr;
};
