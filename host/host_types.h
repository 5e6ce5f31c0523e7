// Basic types shared by the host's declarations.
#pragma once

#include <cstdint>

#include "common/window_handle.h"

// Host status codes of every host operation but the counts.
enum : long {
    HOST_OK = 0,
    HOST_NO_MORE_RECORDS = 5000,
};
