#include "tests/fakes/host_log.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace fakes {
namespace {

int ProcessId()
{
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

void SetLogVariable(const std::string& value)
{
#ifdef _WIN32
    _putenv_s("LEDGRA_HOST_LOG", value.c_str());
#else
    if (value.empty())
        unsetenv("LEDGRA_HOST_LOG");
    else
        setenv("LEDGRA_HOST_LOG", value.c_str(), 1);
#endif
}

std::string TempFolder()
{
    for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return value;
    }
#ifdef _WIN32
    return ".";
#else
    return "/tmp";
#endif
}

}  // namespace

HostLog::HostLog()
{
    static std::atomic<int> counter{0};
    m_path = TempFolder() + "/ledgra-host-log-" + std::to_string(ProcessId()) + "-" +
             std::to_string(++counter) + ".txt";
    std::remove(m_path.c_str());
    SetLogVariable(m_path);
}

HostLog::~HostLog()
{
    SetLogVariable("");
    std::remove(m_path.c_str());
}

std::vector<std::string> HostLog::lines() const
{
    std::vector<std::string> out;
    std::ifstream in(m_path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::vector<std::string> HostLog::operations() const
{
    std::vector<std::string> out;
    for (const std::string& line : lines())
        out.push_back(line.substr(0, line.find(' ')));
    return out;
}

int HostLog::Index(const std::string& line) const
{
    const std::vector<std::string> all = lines();
    auto it = std::find(all.begin(), all.end(), line);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

std::vector<std::string> HostLog::Only(const std::vector<std::string>& names) const
{
    std::vector<std::string> out;
    for (const std::string& line : lines()) {
        const std::string op = line.substr(0, line.find(' '));
        if (std::find(names.begin(), names.end(), op) != names.end())
            out.push_back(line);
    }
    return out;
}

void HostLog::Clear() { std::remove(m_path.c_str()); }

}  // namespace fakes
