// The host data store behind the stand-in: what the JSON file holds, in the host's own
// records, plus the call log and the configured faults. Internal to hostsim.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/host_records.h"

namespace hostsim {

// One configured fault of an operation.
struct Fault {
    long call = 0;      // 0: every call, else only the Nth (counting from 1)
    long status = 0;
};

// The lists a data set serves, by the key also used in "counts".
extern const char* const kListKeys[];
extern const std::size_t kListKeyCount;

struct DataSet {
    StDATAINFO info{};                                        // as WalkDat delivers it
    std::map<std::string, std::vector<StAOSUMINFO>> lists;   // "blue.general.pl" ...
    std::map<std::string, long> counts;                       // overrides of the counts
    StAOSUMINFO_TSUKIBETSU monthly{};

    StIPPAN_BASE generalBase{};
    StIPPAN_FAMILY generalFamily{};
    StIPPAN_SALARY generalSalary{};
    StIPPAN_PAYEE generalPayee{};
    StIPPAN_LANDRENT generalLandRent{};
    StIPPAN_NOTES generalNotes{};
    StIPPAN_TRADE generalTrade{};

    StFUDOUSAN_BASE realEstateBase{};
    std::vector<StFUDOUSAN_RENTAL> rentals;                   // without the terminator row
    StFUDOUSAN_PAYEE realEstatePayee{};
    StFUDOUSAN_EMPLOYEE realEstateEmployee{};
    StFUDOUSAN_LANDRENT realEstateLandRent{};
    StFUDOUSAN_NOTES realEstateNotes{};
    StFUDOUSAN_REPAIR realEstateRepair{};
    StFUDOUSAN_SCALE realEstateScale{};
};

struct Store {
    long initiate = 0;
    long link = 0;
    bool hasInitiate = false;   // connection.initiate was given
    bool hasLink = false;
    std::string userId;         // CP932
    long selectedFirst = 0;
    long selectedSecond = 0;
    std::string outputFolder;   // CP932
    std::string settingsFolder; // CP932
    std::map<std::string, std::vector<Fault>> faults;
    std::vector<DataSet> dataSets;
};

// Parses a store; on failure returns false and sets *error to "<key path>: <reason>".
bool ParseStore(const std::string& json, Store* store, std::string* error);

// The store in force (loaded on first use) and its load error.
Store& CurrentStore();
const std::string& CurrentStoreError();

// The data set whose id text equals id; null when none.
DataSet* FindDataSet(const char* id);

// Counts one call of the operation and tells whether a fault answers it (status in
// *status; a fault of status 0 lets the operation run as usual).
bool TakeFault(const char* operation, long* status);

// Appends "<operation>[ <args>][ -> <status>]" to the file named by LEDGRA_HOST_LOG.
void LogCall(const std::string& operation, const std::string& args);
void LogCall(const std::string& operation, const std::string& args, long status);

// Process-wide walk state of ClSetData: cursor id to next data-set index. Cursor ids
// count from 1 again after every load, so each run logs the same ids.
std::map<unsigned long, std::size_t>& DataCursors();
unsigned long NewDataCursor();

// Resets the per-run state (fault counters, cursors) after a store (re)load.
void ClearRunState();

// Loads the store: from the JSON text when given, else from LEDGRA_HOST_DATA, else
// the built-in sample. Returns false on an error (CurrentStoreError tells it).
bool LoadStore(const std::string* jsonText, const std::string* path);

}  // namespace hostsim
