// The parts of the stand-in that differ when it is linked into a test or tool: the
// sample company is compiled in, and message boxes go to the program's own service.
#include <cstdio>

#include "common/cp932.h"
#include "hostsim/objects.h"

namespace hostsim {

const std::string& BuiltInSampleError()
{
    static const std::string none;
    return none;
}

unsigned ShowOwnMessageBox(HWND, const std::string& text, const std::string& caption, unsigned)
{
    std::fprintf(stderr, "[%s] %s\n", cp932::ToUtf8(caption).c_str(), cp932::ToUtf8(text).c_str());
    return 1;  // IDOK
}

}  // namespace hostsim
