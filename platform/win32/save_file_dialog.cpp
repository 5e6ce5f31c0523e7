#include "platform/win32/save_file_dialog.h"


#include <vector>

#include "platform/win32/wide.h"

namespace platform::win32 {

std::wstring FilterForDialog(const std::string& filter)
{
    // Convert first: in CP932 the byte 0x7C can be the second byte of a character.
    std::wstring wide = ToWide(filter);
    for (wchar_t& c : wide)
        if (c == L'|') c = L'\0';
    // The list ends with two NULs whatever the request's text ends with.
    wide.push_back(L'\0');
    wide.push_back(L'\0');
    return wide;
}

bool ShowSaveFileDialog(HWND owner, const SaveFileRequest& request, std::string& path)
{
    const std::wstring filter = FilterForDialog(request.filter);
    const std::wstring extension = ToWide(request.defaultExtension);
    const std::wstring folder = ToWide(request.initialFolder);
    const std::wstring title = ToWide(request.title);
    const std::wstring name = ToWide(request.initialName);

    std::vector<wchar_t> file(std::max<std::size_t>(name.size() + 1, 4096), L'\0');
    std::copy(name.begin(), name.end(), file.begin());

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.Flags = request.flags;
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    if (!::GetSaveFileNameW(&ofn)) return false;
    path = FromWide(file.data());
    return true;
}

}  // namespace platform::win32
