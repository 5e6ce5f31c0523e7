// The modeless progress window (template 131): overall bar 1018 with the percentage in
// the caption, activity bar 1019 that sweeps once per unit of work.
#pragma once

#include <memory>

#include "platform/services.h"

class ClProgressDlg {
public:
    enum { IDD = 131, IDC_OVERALL = 1018, IDC_ACTIVITY = 1019 };

    ClProgressDlg();
    ~ClProgressDlg();
    bool Create();
    HWND Handle();
    void SetParent(HWND parent);
    void Show();
    void ResetOverall();
    void Advance(short from, short to);
    void Pulse();
    void Finish();
    void Destroy();

private:
    std::unique_ptr<platform::IProgressView> m_view;
};
