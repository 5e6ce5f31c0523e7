// The store in force, the call log and the fault counters of the stand-in.
#include "hostsim/store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/cp932.h"
#include "hostsim/hostsim.h"
#include "hostsim/objects.h"

namespace hostsim {
namespace {

Store g_store;
std::string g_error;
bool g_loaded = false;
std::map<std::string, long> g_calls;                // operation name -> calls so far
std::map<unsigned long, std::size_t> g_cursors;
unsigned long g_lastCursor = 0;

bool ReadWholeFile(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *text = buffer.str();
    return !in.bad();
}

void AppendLogLine(const std::string& line)
{
    const char* path = std::getenv("LEDGRA_HOST_LOG");
    if (!path || !*path) return;
    // Opened and closed per line so that every line is on disk even if the caller crashes.
    std::FILE* file = std::fopen(path, "ab");
    if (!file) return;
    std::fwrite(line.data(), 1, line.size(), file);
    std::fputc('\n', file);
    std::fclose(file);
}

}  // namespace

bool LoadStore(const std::string* jsonText, const std::string* path)
{
    std::string text;
    std::string error;
    std::string source;
    if (jsonText) {
        text = *jsonText;
    } else {
        const char* env = std::getenv("LEDGRA_HOST_DATA");
        std::string file = path ? *path : (env ? env : "");
        if (file.empty()) {
            text = BuiltInSample();
            error = BuiltInSampleError();
        } else if (!ReadWholeFile(file, &text)) {
            error = "cannot read the host data file " + file;
        }
    }
    Store fresh;
    if (error.empty()) ParseStore(text, &fresh, &error);
    g_store = error.empty() ? std::move(fresh) : Store{};
    g_error = error;
    g_loaded = true;
    ClearRunState();
    return error.empty();
}

Store& CurrentStore()
{
    if (!g_loaded) LoadStore(nullptr, nullptr);
    return g_store;
}

const std::string& CurrentStoreError()
{
    CurrentStore();
    return g_error;
}

const std::string& StoreError() { return CurrentStoreError(); }

DataSet* FindDataSet(const char* id)
{
    if (!id) return nullptr;
    for (DataSet& ds : CurrentStore().dataSets)
        if (std::strncmp(ds.info.szDataId, id, sizeof(ds.info.szDataId)) == 0) return &ds;
    return nullptr;
}

bool TakeFault(const char* operation, long* status)
{
    const long call = ++g_calls[operation];
    auto it = CurrentStore().faults.find(operation);
    if (it == g_store.faults.end()) return false;
    // A fault for this very call wins over one for every call.
    const Fault* every = nullptr;
    for (const Fault& f : it->second) {
        if (f.call == call) {
            *status = f.status;
            return true;
        }
        if (f.call == 0 && !every) every = &f;
    }
    if (!every) return false;
    *status = every->status;
    return true;
}

void LogCall(const std::string& operation, const std::string& args)
{
    AppendLogLine(args.empty() ? operation : operation + " " + args);
}

void LogCall(const std::string& operation, const std::string& args, long status)
{
    AppendLogLine((args.empty() ? operation : operation + " " + args) + " -> " + std::to_string(status));
}

std::string LogText(const char* cp932Text)
{
    if (!cp932Text) return "null";
    if (!*cp932Text) return "\"\"";
    return cp932::ToUtf8(cp932Text);
}

std::map<unsigned long, std::size_t>& DataCursors() { return g_cursors; }

unsigned long NewDataCursor()
{
    g_cursors[++g_lastCursor] = 0;
    return g_lastCursor;
}

void ClearRunState()
{
    g_calls.clear();
    g_cursors.clear();
    g_lastCursor = 0;
}

}  // namespace hostsim
