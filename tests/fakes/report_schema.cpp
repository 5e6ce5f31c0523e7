#include "tests/fakes/report_schema.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#endif

namespace fakes {

#ifdef _WIN32

std::string SchemaProblems(const std::string&) { return std::string(); }

bool SchemaCheckerAvailable() { return false; }

#else

namespace {

constexpr int kCheckerMissing = 77;

struct Tally {
    int reports = 0;
    int refused = 0;
    std::unordered_map<std::string, std::string> answers;   // report bytes -> problems
};

Tally& TheTally()
{
    static Tally* tally = [] {
        std::atexit([] {
            const Tally& t = TheTally();
            std::printf("[ schema ] %s: %d reports checked against docs/schema (%d valid, %d refused), %zu "
                        "distinct ones run through xmllint\n",
                        program_invocation_short_name, t.reports, t.reports - t.refused, t.refused,
                        t.answers.size());
        });
        return new Tally;
    }();
    return *tally;
}

// Runs the checker on the bytes; the exit status, with its output in *output.
int RunChecker(const std::string& report, std::string* output)
{
    char path[] = "/tmp/ledgra-schema-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        *output = "no temporary file for the report";
        return 1;
    }
    FILE* file = fdopen(fd, "wb");
    const bool written = std::fwrite(report.data(), 1, report.size(), file) == report.size();
    std::fclose(file);
    int status = 1;
    if (written) {
        const std::string command = std::string("bash '") + LEDGRA_SCHEMA_DIR + "/check-report.sh' " + path + " 2>&1";
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, pipe)) *output += buffer;
            const int raw = pclose(pipe);
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 1;
        }
    } else {
        *output = "the report could not be written to " + std::string(path);
    }
    std::remove(path);
    return status;
}

}  // namespace

bool SchemaCheckerAvailable()
{
    static const bool available =
        std::system("{ command -v bash && command -v iconv && command -v xmllint; } >/dev/null 2>&1") == 0;
    return available;
}

std::string SchemaProblems(const std::string& report)
{
    if (!SchemaCheckerAvailable()) return std::string();
    Tally& tally = TheTally();
    auto known = tally.answers.find(report);
    if (known == tally.answers.end()) {
        std::string output;
        const int status = RunChecker(report, &output);
        if (status == kCheckerMissing) return std::string();
        known = tally.answers.emplace(report, status == 0 ? std::string() : output).first;
    }
    ++tally.reports;
    if (!known->second.empty()) ++tally.refused;
    return known->second;
}

#endif

}  // namespace fakes
