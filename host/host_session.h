// hostsession: the connection to the running accounting host.
#pragma once

#include "host/host_layout.h"
#include "host/host_types.h"

class ClSysEnvMgr {
public:
    enum _AppType : long { APP_STANDARD = 0, APP_PROFESSIONAL = 3 };
};

class ClAccConnect {
public:
    static ClAccConnect* Inst();

    const char* m_pszCaption = nullptr;  // caption of the host's message boxes
    HWND m_hOwnerWnd = nullptr;          // owner window of the host's message boxes

    void SetAppType(ClSysEnvMgr::_AppType type);
    void SetUseDataType(long type);
    long Initiate();
    long ExpSysLink();
    // Message box through the host; texts may hold the ES_APRPACKAGENAME placeholder.
    unsigned DispMsg(HWND owner, char* text, char* caption, unsigned type);
    int LogOut();
    void Terminate();
    void Release();

private:
    ClAccConnect() = default;
};

HOST_SESSION_LAYOUT(HOST_CHECK_MEMBER)
