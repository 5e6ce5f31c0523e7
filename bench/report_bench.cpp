// report-bench: where an export's time goes, side by side with the physical limit and
// with a mature XML library.
//
// For the built-in sample company and for the maximal store (bench/maximal_store.cpp):
//   whole-export   connection, figure collection from the host stand-in and report build
//                  into a real file, as one run of the program does after its dialog
//   build          the report build alone into a real file (figures collected once)
//   limit          the same report bytes written with one write call through the same
//                  durable protocol as the report (side file, flush, replacement): no
//                  export can be faster
//   pugixml        the same elements, attributes and texts built as a pugixml document and
//                  saved with its own formatting, through the same durable protocol
// then the ratios, and how many allocations one build and one whole export make.
//
// Usage: report-bench [Google Benchmark flags]; files go to $TMPDIR/ledgra-bench.
//        report-bench --write-maximal-store FILE   writes the maximal store's JSON
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "app/edition.h"
#include "app/export_pipeline.h"
#include "bench/maximal_store.h"
#include "host/host.h"
#include "hostsim/hostsim.h"
#include "platform/posix/posix_services.h"
#include "platform/services.h"
#include "report/report_builder.h"
#include "report/report_file.h"

// ---- allocation counting: every operator new of the program goes through here ----

namespace {
long long g_allocations = 0;

void* CountedAllocation(std::size_t size)
{
    ++g_allocations;
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    return block;
}
}  // namespace

void* operator new(std::size_t size) { return CountedAllocation(size); }
void* operator new[](std::size_t size) { return CountedAllocation(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace {

// ---- one export, as the program runs it after its conditions dialog ----

bool Connect() { return ConnectHost(ProEdition()) == 0 && ClAccConnect::Inst()->ExpSysLink() == 0; }

// The whole export into store, as the program runs it; selected receives the data set.
bool Export(ClFigureStore& store, StDATAINFO& selected, short category, const std::string& path)
{
    bool ok = false;
    if (Connect()) {
        ClSetData* dataSet = nullptr;
        FindSelectedData(dataSet, &selected);
        ClExportRequest request;
        request.selection = &selected;
        request.category = category;
        request.outputPath = path;
        ok = RunExport(request, store) == ExportStatus::kWritten;
    }
    DisconnectHost();
    return ok;
}

// The report alone, from figures collected before.
bool Build(ClFigureStore& store, const StDATAINFO& selected, short category, const std::string& path)
{
    StReportSettings settings;
    settings.category = category;
    settings.defaultProgramName = ProEdition().defaultProgramName;
    ClReportBuilder builder(sections::FiguresOf(store), settings);
    return builder.WriteReport(path.c_str(), 1, &selected) == 1;
}

bool WholeExport(short category, const std::string& path)
{
    ClFigureStore store;
    StDATAINFO selected;
    return Export(store, selected, category, path);
}

// ---- the report as a sequence of elements, for pugixml ----

struct Event {
    enum Kind { kStart, kElement, kEnd } kind;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;
};

std::string Unescape(const std::string& text)
{
    static const std::pair<const char*, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& e : kEntities) {
                const std::size_t n = std::strlen(e.first);
                if (text.compare(i, n, e.first) == 0) {
                    out += e.second;
                    i += n;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

// Reads the report back into the calls that wrote it: one start tag, element or end tag
// a line (the declaration is left to pugixml).
std::vector<Event> ReadEvents(const std::string& report)
{
    std::vector<Event> events;
    std::size_t pos = 0;
    while (pos < report.size()) {
        std::size_t end = report.find("\r\n", pos);
        if (end == std::string::npos) end = report.size();
        std::string line = report.substr(pos, end - pos);
        pos = end + 2;
        std::size_t i = line.find_first_not_of('\t');
        if (i == std::string::npos || line.compare(i, 2, "<?") == 0) continue;
        Event e;
        if (line.compare(i, 2, "</") == 0) {
            e.kind = Event::kEnd;
            events.push_back(e);
            continue;
        }
        ++i;
        const std::size_t nameEnd = line.find_first_of(" >", i);
        e.name = line.substr(i, nameEnd - i);
        i = nameEnd;
        while (line[i] == ' ') {
            const std::size_t eq = line.find('=', i);
            const std::size_t close = line.find('"', eq + 2);
            e.attributes.emplace_back(line.substr(i + 1, eq - i - 1), Unescape(line.substr(eq + 2, close - eq - 2)));
            i = close + 1;
        }
        ++i;   // '>'
        const std::size_t textEnd = line.find("</", i);
        if (textEnd == std::string::npos) {
            e.kind = Event::kStart;
        } else {
            e.kind = Event::kElement;
            e.text = Unescape(line.substr(i, textEnd - i));
        }
        events.push_back(std::move(e));
    }
    return events;
}

bool SaveWithPugixml(const std::vector<Event>& events, const std::string& path)
{
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "Shift_JIS";
    std::vector<pugi::xml_node> open{doc};
    for (const Event& e : events) {
        if (e.kind == Event::kEnd) {
            open.pop_back();
            continue;
        }
        pugi::xml_node node = open.back().append_child(e.name.c_str());
        for (const auto& a : e.attributes) node.append_attribute(a.first.c_str()) = a.second.c_str();
        if (e.kind == Event::kStart)
            open.push_back(node);
        else if (!e.text.empty())
            node.text().set(e.text.c_str());
    }
    // Saved through the report's own file object, so both pay the same for the side
    // file, the flush and the replacement that a crash-safe write needs. The texts are
    // code page 932 bytes; "utf8" output passes them through unconverted.
    struct FileWriter : pugi::xml_writer {
        ClReportFile file;
        void write(const void* data, std::size_t size) override { file.Write(data, size); }
    } writer;
    if (!writer.file.Open(path.c_str())) return false;
    doc.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    return writer.file.Commit();
}

bool WriteOnce(const std::string& bytes, const std::string& path)
{
    ClReportFile file;
    return file.Open(path.c_str()) && file.Write(bytes.data(), bytes.size()) && file.Commit();
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    platform::GetServices().fs->ReadFile(path, 1u << 30, bytes);
    return bytes;
}

// ---- the two stores ----

struct Case {
    std::string name;
    std::string json;
    short category = 0;
    std::string folder;
    // Filled by Prepare.
    ClFigureStore* store = nullptr;
    StDATAINFO selected{};
    std::string report;
    std::vector<Event> events;
    long long lines = 0;
    long long buildAllocations = 0;
    long long exportAllocations = 0;

    std::string Path(const char* what) const { return folder + "/" + name + "-" + what + ".xml"; }
};

bool Prepare(Case& c)
{
    if (!hostsim::LoadStoreFromText(c.json)) {
        std::fprintf(stderr, "%s: host data store: %s\n", c.name.c_str(), hostsim::StoreError().c_str());
        return false;
    }
    // The figures for the build alone stay collected for the whole run.
    c.store = new ClFigureStore;
    if (!Export(*c.store, c.selected, c.category, c.Path("build"))) {
        std::fprintf(stderr, "%s: the export failed\n", c.name.c_str());
        return false;
    }
    c.report = ReadAll(c.Path("build"));
    c.events = ReadEvents(c.report);
    for (char ch : c.report) c.lines += ch == '\n';

    long long before = g_allocations;
    Build(*c.store, c.selected, c.category, c.Path("build"));
    c.buildAllocations = g_allocations - before;
    before = g_allocations;
    WholeExport(c.category, c.Path("export"));
    c.exportAllocations = g_allocations - before;

    if (ReadAll(c.Path("export")) != c.report) {
        std::fprintf(stderr, "%s: the whole export wrote other bytes than the build\n", c.name.c_str());
        return false;
    }
    return true;
}

// Each timed write creates its file afresh: removing the previous one (untimed) keeps the
// file system's freeing of its blocks, which varies by milliseconds on a busy disk, out
// of every measurement alike.
void RemoveUntimed(benchmark::State& state, const std::string& path)
{
    state.PauseTiming();
    std::remove(path.c_str());
    state.ResumeTiming();
}

double Fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

void Register(Case& c)
{
    // Each case serves its own store: the registered runs go case after case.
    benchmark::RegisterBenchmark((c.name + "/whole-export").c_str(), [&c](benchmark::State& state) {
        hostsim::LoadStoreFromText(c.json);
        for (auto _ : state) {
            RemoveUntimed(state, c.Path("export"));
            if (!WholeExport(c.category, c.Path("export"))) state.SkipWithError("export failed");
        }
    })->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
    benchmark::RegisterBenchmark((c.name + "/build").c_str(), [&c](benchmark::State& state) {
        for (auto _ : state) {
            RemoveUntimed(state, c.Path("build"));
            if (!Build(*c.store, c.selected, c.category, c.Path("build"))) state.SkipWithError("build failed");
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.report.size()));
    })->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
    benchmark::RegisterBenchmark((c.name + "/limit").c_str(), [&c](benchmark::State& state) {
        for (auto _ : state) {
            RemoveUntimed(state, c.Path("limit"));
            if (!WriteOnce(c.report, c.Path("limit"))) state.SkipWithError("write failed");
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.report.size()));
    })->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
    benchmark::RegisterBenchmark((c.name + "/pugixml").c_str(), [&c](benchmark::State& state) {
        for (auto _ : state) {
            RemoveUntimed(state, c.Path("pugixml"));
            if (!SaveWithPugixml(c.events, c.Path("pugixml"))) state.SkipWithError("save failed");
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.report.size()));
    })->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
}

// Keeps each benchmark's mean wall time per run (ms) besides printing the usual table;
// with --benchmark_repetitions=N the best of the N, which a busy machine disturbs least.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min") continue;
            const std::string name = run.run_name.function_name;
            auto known = milliseconds.find(name);
            if (known == milliseconds.end() || run.GetAdjustedRealTime() < known->second)
                milliseconds[name] = run.GetAdjustedRealTime();
            auto knownCpu = cpuMilliseconds.find(name);
            if (knownCpu == cpuMilliseconds.end() || run.GetAdjustedCPUTime() < knownCpu->second)
                cpuMilliseconds[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> milliseconds;
    std::map<std::string, double> cpuMilliseconds;
};

}  // namespace

int main(int argc, char** argv)
{
    // bench/wine-export.sh runs the real program on the same maximal store.
    if (argc == 3 && std::strcmp(argv[1], "--write-maximal-store") == 0) {
        std::FILE* f = std::fopen(argv[2], "wb");
        const std::string json = bench::MaximalStoreJson();
        const bool ok = f && std::fwrite(json.data(), 1, json.size(), f) == json.size();
        if (f && std::fclose(f) != 0) return 1;
        return ok ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

    platform::InstallPosixServices();
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/ledgra-bench";
    std::filesystem::create_directories(folder);

    // The sample's business-income form; the maximal store's real-estate form, the one
    // that carries the rented properties.
    std::vector<Case> cases(2);
    cases[0].name = "sample";
    cases[0].json = hostsim::BuiltInSample();
    cases[0].category = 1;
    cases[1].name = "maximal";
    cases[1].json = bench::MaximalStoreJson();
    cases[1].category = 3;
    for (Case& c : cases) {
        c.folder = folder;
        if (!Prepare(c)) return 1;
        Register(c);
    }

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nstore     lines    bytes      whole-export  build     limit     pugixml   "
                "build/limit  build/pugixml  whole/limit\n");
    for (const Case& c : cases) {
        auto ms = [&](const char* what) { return reporter.milliseconds[c.name + "/" + what]; };
        const double whole = ms("whole-export"), build = ms("build"), limit = ms("limit"), pugi = ms("pugixml");
        std::printf("%-9s %-8lld %-10zu %-13.3f %-9.3f %-9.3f %-9.3f %-12.2f %-14.2f %.2f\n", c.name.c_str(), c.lines,
                    c.report.size(), whole, build, limit, pugi, limit > 0 ? build / limit : 0.0,
                    pugi > 0 ? build / pugi : 0.0, limit > 0 ? whole / limit : 0.0);
    }
    std::printf("(times in ms: mean wall time per run, the best repetition when repeated)\n\n");
    // CPU time leaves out the waits for the disk, which the build and its comparisons
    // share through the same durable protocol: it compares the work.
    std::printf("store     cpu: build     limit     pugixml   build/limit  build/pugixml\n");
    for (const Case& c : cases) {
        auto cpu = [&](const char* what) { return reporter.cpuMilliseconds[c.name + "/" + what]; };
        const double build = cpu("build"), limit = cpu("limit"), pugi = cpu("pugixml");
        std::printf("%-9s      %-9.3f %-9.3f %-9.3f %-12.2f %.2f\n", c.name.c_str(), build, limit, pugi,
                    limit > 0 ? build / limit : 0.0, pugi > 0 ? build / pugi : 0.0);
    }
    std::printf("(CPU times in ms per run)\n\nallocations\n");
    for (const Case& c : cases)
        std::printf("%-9s build %lld (%lld lines written), whole export %lld\n", c.name.c_str(), c.buildAllocations,
                    c.lines, c.exportAllocations);
    for (Case& c : cases) delete c.store;
    return 0;
}
