// hostdata: the data manager and link manager singletons.
#include "hostsim/objects.h"
#include "hostsim/store.h"

namespace {
ClSysUser g_user;
ClSetData g_dataSets;
ClSetMgr g_setMgr;
ClOptLink g_optLink;
}  // namespace

ClDataMgr* ClDataMgr::Inst()
{
    static ClDataMgr manager;
    return &manager;
}

ClSysUser* ClDataMgr::GetSysUserObject()
{
    hostsim::LogCall("GetSysUserObject", "");
    return &g_user;
}

// Kind 5 is the list of company data sets; the stand-in keeps no other set objects.
ClSetBase* ClDataMgr::GetSetObject(long kind, int mode)
{
    hostsim::LogCall("GetSetObject", std::to_string(kind) + " " + std::to_string(mode));
    return kind == 5 ? &g_dataSets : nullptr;
}

ClSetMgr* ClDataMgr::GetSetMgr()
{
    hostsim::LogCall("GetSetMgr", "");
    return &g_setMgr;
}

ClLinkMgr* ClLinkMgr::Inst()
{
    static ClLinkMgr manager;
    return &manager;
}

ClOptLink* ClLinkMgr::GetOptLink()
{
    hostsim::LogCall("GetOptLink", "");
    return &g_optLink;
}
