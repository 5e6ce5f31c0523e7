// ExportRun: one whole export in-process (ClExportApp's start and end steps inside its
// barrier) against the host stand-in and fresh recording fakes, for the sweeps that
// repeat a run hundreds of times with one fault each.
//
//   fakes::ExportRunSetup setup;
//   setup.store = fakes::SampleStore(4, R"({"MoveNext_PL": {"call": 3, "status": 7}})");
//   setup.category = 1;
//   fakes::ExportRunResult run = fakes::RunExport(setup);
//   EXPECT_EQ(2, run.resultCode);
//
// The program folder C:\Ledgra\ holds a TaxvaneDef.ini of level 2; the output folder of
// the path exists; the remembered-destination file holds setup.remembered when given.
// The user picks the form and types the path, then runs the export.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_message_boxes.h"

namespace fakes {

// Where the stand-in's sample company keeps the remembered destinations (Pro edition).
extern const char kSampleRememberedFile[];
// The host window of a host-started run.
extern const HWND kSweepHostWindow;

// The built-in sample company with the selected data set's return kind (3 blue, 4 white)
// and the given "faults" object.
std::string SampleStore(int returnKind, const std::string& faults = "{}");

struct ExportRunSetup {
    std::string store;                        // host data store (JSON)
    std::string commandLine;                  // "" for a stand-alone start
    short category = 1;                       // form the user picks: 1, 2 or 3
    std::string path = "C:\\Users\\Public\\Documents\\tax.xml";
    std::optional<std::string> remembered;    // remembered-destination file before the run
    std::function<void(FakeFileSystem&)> prepare;   // last set-up step (failures to inject)
    bool logHostCalls = true;                 // fill ExportRunResult::hostLog (a file per run)
};

struct ExportRunResult {
    int started = -1;
    int resultCode = -1;
    std::vector<ShownBox> boxes;
    std::vector<std::string> windowCalls;
    std::vector<std::string> hostLog;
    bool reportExists = false;
    std::string report;
    bool rememberedExists = false;
    std::string remembered;
    int openFiles = 0;
    int cursorDepth = 0;
    bool progressShown = false;
    bool progressDestroyed = true;            // true also when there was none
    HWND progressHandle = nullptr;
    std::vector<std::string> fileCalls;       // the fake file system's records
    std::vector<std::string> files;           // every file left, full paths
    std::vector<std::string> fileBytes;       // the bytes of each, in the same order
};

ExportRunResult RunExport(const ExportRunSetup& setup);

// Number of log lines whose operation (first word) is op.
int CountCalls(const std::vector<std::string>& log, const std::string& op);

}  // namespace fakes
