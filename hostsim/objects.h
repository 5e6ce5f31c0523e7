// The stand-in's definitions of the host objects the declarations only name, and the
// per-engine state behind ClHostBinding. Internal to hostsim.
#pragma once

#include <map>
#include <string>

#include "host/host.h"

// The host's data-set manager and option link: handles the engines are attached to.
class ClSetMgr {};
class ClOptLink {};

// What one engine or saved-data object is bound to, and where its walks stand.
struct ClHostBinding {
    ClSetMgr* setMgr = nullptr;
    ClOptLink* optLink = nullptr;
    std::string dataId;                    // as given to SetCurDataID
    bool bound = false;                    // SetCurDataID was called
    bool ready = false;                    // Ready succeeded since the last bind
    std::map<std::string, std::size_t> next;  // list key -> index of the next line
};

namespace hostsim {

// Why the built-in sample company could not be had; empty when it could.
const std::string& BuiltInSampleError();

// The host's own message box, for DispMsg in a program that installed no message-box
// service of the stand-in's (the stand-in built as DLLs has its own services, never
// installed); the box's result.
unsigned ShowOwnMessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned type);

// Text of a CP932 argument for the log (UTF-8, "null" for none, "\"\"" for empty).
std::string LogText(const char* cp932Text);

}  // namespace hostsim
