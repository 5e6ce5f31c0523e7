// hostsample.dll: the built-in sample company, which hoststore.dll loads when asked for it.
#include "hostsim/hostsim.h"

extern "C" __declspec(dllexport) const char* HostSampleCompany() { return hostsim::BuiltInSample().c_str(); }
