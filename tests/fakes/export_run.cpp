#include "tests/fakes/export_run.h"

#include <cstdint>

#include "app/export_app.h"
#include "hostsim/hostsim.h"
#include "platform/services.h"
#include "resources/resource.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/fake_wait_cursor.h"
#include "tests/fakes/fake_windows.h"
#include "tests/fakes/host_log.h"
#include "tests/fakes/scoped_services.h"

namespace fakes {

const char kSampleRememberedFile[] = "C:\\Users\\Public\\Ledgra\\LedgraProExport.env";
const HWND kSweepHostWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(12345));

namespace {

int RadioOf(short category)
{
    switch (category) {
    case 2: return IDC_RADIO_OTHER;
    case 3: return IDC_RADIO_REALESTATE;
    default: return IDC_RADIO_BUSINESS;
    }
}

}  // namespace

std::string SampleStore(int returnKind, const std::string& faults)
{
    std::string json = hostsim::BuiltInSample();
    const std::string emptyFaults = "\"faults\": {}";
    const std::size_t faultsAt = json.find(emptyFaults);
    if (faultsAt != std::string::npos) json.replace(faultsAt, emptyFaults.size(), "\"faults\": " + faults);
    // The selected data set (number 5) is the second one; its return kind follows its number.
    const std::size_t selected = json.find("\"number\": 5");
    const std::string kind = "\"returnKind\": 3";
    const std::size_t kindAt = selected == std::string::npos ? selected : json.find(kind, selected);
    if (kindAt != std::string::npos) json.replace(kindAt, kind.size(), "\"returnKind\": " + std::to_string(returnKind));
    return json;
}

int CountCalls(const std::vector<std::string>& log, const std::string& op)
{
    int n = 0;
    for (const std::string& line : log)
        if (line.compare(0, op.size(), op) == 0 && (line.size() == op.size() || line[op.size()] == ' ')) ++n;
    return n;
}

ExportRunResult RunExport(const ExportRunSetup& setup)
{
    ExportRunResult result;
    FakeFileSystem fs;
    FakeMessageBoxes boxes;
    FakeWindows windows;
    FakeWaitCursor cursor;
    FakeUi ui;
    std::optional<HostLog> log;
    if (setup.logHostCalls) log.emplace();

    fs.AddFile("C:\\Ledgra\\TaxvaneDef.ini", "[ProgramLevel]\r\nTV14=2\r\n");
    fs.AddDirectory("C:\\Users\\Public\\Documents\\");
    if (setup.remembered) fs.AddFile(kSampleRememberedFile, *setup.remembered);
    if (setup.prepare) setup.prepare(fs);

    ScopedServices installed(&fs, &boxes, &windows, &cursor, &ui);

    if (hostsim::LoadStoreFromText(setup.store)) {
        ui.Click(RadioOf(setup.category));
        ui.SetText(IDC_OUTPUT_PATH, setup.path);
        ui.Click(IDC_EXECUTE);
        ClExportApp app;
        app.SetCommandLine(setup.commandLine);
        result.started = app.Run();
        result.resultCode = app.resultCode;
    }

    fs.ClearFailures();
    result.boxes = boxes.shown;
    result.windowCalls = windows.calls;
    if (log) result.hostLog = log->lines();
    result.reportExists = fs.HasFile(setup.path);
    result.report = fs.FileBytes(setup.path);
    result.rememberedExists = fs.HasFile(kSampleRememberedFile);
    result.remembered = fs.FileBytes(kSampleRememberedFile);
    result.openFiles = fs.OpenFileCount();
    result.cursorDepth = cursor.depth;
    for (const auto& progress : ui.progressViews) {
        result.progressShown = result.progressShown || progress->shown;
        result.progressDestroyed = result.progressDestroyed && (progress->destroyed || !progress->created);
        result.progressHandle = progress->handle;
    }
    result.fileCalls = fs.calls();
    result.files = fs.Files();
    for (const std::string& file : result.files) result.fileBytes.push_back(fs.FileBytes(file));
    return result;
}

}  // namespace fakes
