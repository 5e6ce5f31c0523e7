// The Windows headers this layer uses. <windows.h> maps many calls to their ANSI or
// wide form with macros whose names clash with the platform interfaces' methods
// (GetDriveType, DeleteFile, PostMessage...). The macros are dropped here: this layer
// calls the W functions by their own names, always.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlwapi.h>

#undef CreateDirectory
#undef DeleteFile
#undef GetDriveType
#undef GetProfileString
#undef GetTempPath
#undef LoadString
#undef PathIsDirectory
#undef PostMessage
#undef RemoveDirectory
#undef ReplaceFile
