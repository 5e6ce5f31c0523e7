// HostLog: points LEDGRA_HOST_LOG at a fresh file for one test and reads it back, so a
// test can check which host calls were made and in what order.
//   lines()        every logged line, e.g. "SetAppType 3", "Initiate -> 0"
//   operations()   the first word of each line
//   Index(line)    position of the first line equal to line; -1 when none
#pragma once

#include <string>
#include <vector>

namespace fakes {

class HostLog {
public:
    HostLog();
    ~HostLog();
    HostLog(const HostLog&) = delete;
    HostLog& operator=(const HostLog&) = delete;

    std::vector<std::string> lines() const;
    std::vector<std::string> operations() const;
    int Index(const std::string& line) const;
    // Lines whose operation is one of names, in order.
    std::vector<std::string> Only(const std::vector<std::string>& names) const;
    void Clear();
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace fakes
