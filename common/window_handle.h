// A window handle: the same opaque pointer type as Win32's HWND, so that the portable
// code can carry one without the Windows headers.
#pragma once

struct HWND__;
typedef struct HWND__* HWND;
