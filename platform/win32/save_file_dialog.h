// GetSaveFileNameW with CP932 texts.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>

#include "platform/services.h"

namespace platform::win32 {

// The "|"-separated filter of the request as the NUL-separated list Windows reads.
std::wstring FilterForDialog(const std::string& filter);

// True with the chosen full path when the user confirms.
bool ShowSaveFileDialog(HWND owner, const SaveFileRequest& request, std::string& path);

}  // namespace platform::win32
