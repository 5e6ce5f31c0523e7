// Basic types shared by the host's declarations. A window handle is the same
// opaque pointer type as Win32's HWND, so the portable core can carry one.
#pragma once

#include <cstdint>

#ifndef _WIN32
struct HWND__;
typedef struct HWND__* HWND;
#else
struct HWND__;
typedef struct HWND__* HWND;
#endif

// Host status codes of every host operation but the counts.
enum : long {
    HOST_OK = 0,
    HOST_NO_MORE_RECORDS = 5000,
};
