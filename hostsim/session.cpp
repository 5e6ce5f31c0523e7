// hostsession: the connection to the host, answered from the host data store.
#include <cstdio>
#include <string>

#include "common/cp932.h"
#include "host/host_session.h"
#include "hostsim/hostsim.h"
#include "hostsim/objects.h"
#include "hostsim/store.h"
#include "platform/services.h"

namespace {

const char kPlaceholder[] = "ES_APRPACKAGENAME";
const char kPackageName[] = "Taxvane";

// Replaces every placeholder that starts on a character boundary, so that the bytes of
// a double-byte character are never taken for part of it.
std::string FillPlaceholder(const char* text)
{
    std::string in = text ? text : "";
    std::string out;
    const std::size_t n = sizeof(kPlaceholder) - 1;
    std::size_t pos = 0;
    while (pos < in.size()) {
        if (in.compare(pos, n, kPlaceholder) == 0) {
            out += kPackageName;
            pos += n;
            continue;
        }
        std::size_t len = cp932::CharLengthAt(in, pos);
        out.append(in, pos, len);
        pos += len;
    }
    return out;
}

}  // namespace

ClAccConnect* ClAccConnect::Inst()
{
    static ClAccConnect connection;
    return &connection;
}

void ClAccConnect::SetAppType(ClSysEnvMgr::_AppType type)
{
    hostsim::LogCall("SetAppType", std::to_string(static_cast<long>(type)));
}

void ClAccConnect::SetUseDataType(long type) { hostsim::LogCall("SetUseDataType", std::to_string(type)); }

long ClAccConnect::Initiate()
{
    const hostsim::Store& store = hostsim::CurrentStore();
    const std::string& error = hostsim::CurrentStoreError();
    long status = store.hasInitiate ? store.initiate : 0;
    long fault = 0;
    if (hostsim::TakeFault("Initiate", &fault)) status = fault;
    if (!error.empty()) {
        std::fprintf(stderr, "host data store: %s\n", error.c_str());
        status = hostsim::HOSTSIM_STORE_ERROR;
    }
    hostsim::LogCall("Initiate", "", status);
    return status;
}

long ClAccConnect::ExpSysLink()
{
    const hostsim::Store& store = hostsim::CurrentStore();
    long status = store.hasLink ? store.link : 0;
    long fault = 0;
    if (hostsim::TakeFault("ExpSysLink", &fault)) status = fault;
    hostsim::LogCall("ExpSysLink", "", status);
    return status;
}

unsigned ClAccConnect::DispMsg(HWND owner, char* text, char* caption, unsigned type)
{
    long fault = 0;
    if (hostsim::TakeFault("DispMsg", &fault) && fault != 0) {
        hostsim::LogCall("DispMsg", std::to_string(type), fault);
        return static_cast<unsigned>(fault);
    }
    const std::string body = FillPlaceholder(text);
    const std::string title = FillPlaceholder(caption ? caption : m_pszCaption);
    unsigned result = 1;  // IDOK
    if (platform::IMessageBoxes* boxes = platform::GetServices().boxes) {
        result = static_cast<unsigned>(boxes->Show(owner, body, title, type));
    } else {
        result = hostsim::ShowOwnMessageBox(owner, body, title, type);
    }
    hostsim::LogCall("DispMsg", std::to_string(type), static_cast<long>(result));
    return result;
}

int ClAccConnect::LogOut()
{
    long status = 0;
    long fault = 0;
    if (hostsim::TakeFault("LogOut", &fault)) status = fault;
    hostsim::LogCall("LogOut", "", status);
    return static_cast<int>(status);
}

void ClAccConnect::Terminate() { hostsim::LogCall("Terminate", ""); }

void ClAccConnect::Release() { hostsim::LogCall("Release", ""); }

namespace hostsim {

namespace {
void ResetConnection()
{
    ClAccConnect::Inst()->m_pszCaption = nullptr;
    ClAccConnect::Inst()->m_hOwnerWnd = nullptr;
}
}  // namespace

bool ResetForTests()
{
    ResetConnection();
    return LoadStore(nullptr, nullptr);
}

bool LoadStoreFromText(const std::string& json)
{
    ResetConnection();
    return LoadStore(&json, nullptr);
}

bool LoadStoreFromFile(const std::string& path)
{
    ResetConnection();
    return LoadStore(nullptr, &path);
}

}  // namespace hostsim
