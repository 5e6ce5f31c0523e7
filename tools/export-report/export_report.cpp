// Collects the figures of the data set selected in the host data store and writes the
// report, as the program does after its conditions dialog, without any window.
#include "tools/export-report/export_report.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <exception>

#include "app/edition.h"
#include "app/export_pipeline.h"
#include "common/program_texts.h"
#include "host/host.h"
#include "hostsim/hostsim.h"
#include "platform/progress.h"
#include "platform/services.h"

namespace export_report {
namespace {

const char kUsageText[] =
    "usage: export-report --host-data FILE --category N --out FILE [--function-id N] [--edition pro|basic]\n"
    "                     [--progress]\n"
    "       export-report --help\n"
    "  N: 1 business income, 2 other income, 3 real-estate income\n"
    "  --progress: prints on stderr the percentages the progress window's caption shows\n"
    "  exit status: 0 written, 1 failed, 2 usage error";

struct Options {
    std::string hostData;
    std::string out;
    long category = 0;
    long functionId = 1;
    const ClEdition* edition = &ProEdition();
    bool help = false;
    bool progress = false;
};

bool ParseNumber(const std::string& text, long low, long high, long* value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || n < low || n > high) return false;
    *value = n;
    return true;
}

// The reason of a usage error, or empty when the arguments are good.
std::string ParseOptions(const std::vector<std::string>& args, Options* options)
{
    bool haveCategory = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options->help = true;
            return std::string();
        }
        if (name == "--progress") {
            options->progress = true;
            continue;
        }
        if (name != "--host-data" && name != "--out" && name != "--category" && name != "--function-id" &&
            name != "--edition")
            return name + ": unknown option";
        if (i + 1 >= args.size()) return name + ": value missing";
        const std::string& value = args[++i];
        if (name == "--host-data") {
            options->hostData = value;
        } else if (name == "--out") {
            options->out = value;
        } else if (name == "--category") {
            if (!ParseNumber(value, 1, 3, &options->category)) return "--category: 1, 2 or 3";
            haveCategory = true;
        } else if (name == "--function-id") {
            if (!ParseNumber(value, SHRT_MIN, SHRT_MAX, &options->functionId)) return "--function-id: a 16-bit number";
        } else if (value == "pro") {
            options->edition = &ProEdition();
        } else if (value == "basic") {
            options->edition = &BasicEdition();
        } else {
            return "--edition: pro or basic";
        }
    }
    if (options->hostData.empty()) return "--host-data is required";
    if (options->out.empty()) return "--out is required";
    if (!haveCategory) return "--category is required";
    return std::string();
}

// The progress window's caption in a terminal: each percentage once, on its own line.
class TerminalProgress : public platform::IProgress {
public:
    void Advance(short from, short to) override
    {
        for (int unit = from; unit <= to; ++unit) {
            if (unit % 10 != 0 || unit / 10 <= m_shown) continue;
            m_shown = unit / 10;
            char caption[32];
            std::snprintf(caption, sizeof caption, texts::kProgressFormat, m_shown);
            PrintMessage(caption);
        }
    }
    void Pulse() override {}

private:
    int m_shown = -1;
};

// The host connection for the life of one run; closed in the program's order. Close
// may fail (the stand-in allocates): called on the way out of a run, its failure is
// reported like any other; on an exception's way out the destructor closes, quietly.
class Connection {
public:
    ~Connection()
    {
        if (!m_open) return;
        try {
            DisconnectHost();
        } catch (...) {
        }
    }
    void Close()
    {
        m_open = false;
        DisconnectHost();
    }

private:
    bool m_open = true;
};

// Set once the new report is at its destination: from then on the run has succeeded,
// whatever fails after.
bool g_reportInPlace = false;

int Export(const Options& options)
{
    Connection connection;
    if (ConnectHost(*options.edition) != 0) {
        PrintMessage("ホストに接続できませんでした。");
        return kFailed;
    }
    if (ClAccConnect::Inst()->ExpSysLink() != 0) {
        PrintMessage("ホストのデータにリンクできませんでした。");
        return kFailed;
    }

    StDATAINFO selected;
    ClSetData* dataSet = nullptr;
    FindSelectedData(dataSet, &selected);
    if (selected.sDataKind == 99) {
        PrintMessage("過去実績データは、連携の対象として使用できません。");
        return kFailed;
    }

    ClExportRequest request;
    request.selection = &selected;
    request.category = static_cast<int16_t>(options.category);
    request.outputPath = options.out;
    request.functionId = static_cast<int16_t>(options.functionId);
    request.edition = options.edition;
    TerminalProgress progress;
    if (options.progress) {
        request.progress = &progress;
        progress.Advance(0, 0);
    }
    ClFigureStore store;
    ClExportFailure failure;
    switch (RunExport(request, store, &failure)) {
    case ExportStatus::kWritten:
        g_reportInPlace = true;
        if (platform::InterruptRequested()) PrintMessage("warning: interrupted after the report was in place");
        connection.Close();
        return kWritten;
    case ExportStatus::kCollectFailed:
        if (platform::InterruptRequested()) return kInterrupted;
        PrintMessage("集計データの取得に失敗しました。");
        return kFailed;
    case ExportStatus::kWriteFailed:
        break;
    }
    if (platform::InterruptRequested() && failure.keptPath.empty()) return kInterrupted;
    // A person at a terminal needs the file and the system's reason, not only the box's text.
    std::string text = "XMLファイルの出力に失敗しました。";
    if (!failure.reason.empty()) text += "\n" + failure.reason;
    if (!failure.keptPath.empty()) text += "\n出力したデータは次のファイルに残っています: " + failure.keptPath;
    PrintMessage(text);
    return kFailed;
}

}  // namespace

namespace {

int RunUnguarded(const std::vector<std::string>& args)
{
    Options options;
    std::string problem = ParseOptions(args, &options);
    if (options.help) {
        std::printf("%s\n", kUsageText);
        return kWritten;
    }
    if (!problem.empty()) {
        PrintMessage(problem + "\n" + kUsageText);
        return kUsage;
    }
    if (!platform::GetServices().fs) InstallPlatformServices();
    // The host data store must be in place before the first host call. A store that
    // cannot be loaded fails the connection as it would under the program: Initiate
    // tells why, the host log shows it, and the connection is still closed.
    hostsim::LoadStoreFromFile(options.hostData);
    return Export(options);
}

}  // namespace

int Run(const std::vector<std::string>& args)
{
    // As the program's barrier does: an exception (memory running out) ends the run
    // with its reason; the report file it was writing is given up and the destination
    // stays as it was. Once the report is in place the run has succeeded: what fails
    // after is only a warning.
    g_reportInPlace = false;
    int status = kFailed;
    const char* what = nullptr;
    try {
        status = RunUnguarded(args);
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {
        what = "";
    }
    if (!what && status != kInterrupted) return status;
    try {
        if (what) {
            const std::string reason = *what ? std::string(": ") + what : std::string("。");
            PrintMessage(g_reportInPlace ? "warning: the report is in place, but ending the run failed" + reason
                                         : "予期しないエラーが発生したため、処理を中断しました" + reason);
        }
        if (!g_reportInPlace && (status == kInterrupted || platform::InterruptRequested())) {
            PrintMessage("interrupted: the report was given up; the destination is as it was");
            status = kInterrupted;
        }
    } catch (...) {
    }
    if (g_reportInPlace) return kWritten;
    return status == kInterrupted || platform::InterruptRequested() ? kInterrupted : kFailed;
}

}  // namespace export_report
