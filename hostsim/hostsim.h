// Controls of the host stand-in for tests and tools: which host data store it serves,
// and a fresh start between runs in one process.
#pragma once

#include <string>

namespace hostsim {

// Statuses the stand-in answers on its own (besides 0, 5000 and configured faults).
constexpr long HOSTSIM_STORE_ERROR = 1;      // Initiate: the host data store could not be loaded
constexpr long HOSTSIM_NO_DATA_SET = 2;      // no data set bound, or the bound id names none
constexpr long HOSTSIM_NOT_READY = 3;        // a sum was read before Ready succeeded
constexpr long HOSTSIM_NO_WALK = 4;          // MoveNext before MoveFirst, or an unknown cursor
constexpr long HOSTSIM_UNKNOWN_USER = 5;     // GetSelectedNo for a user other than the current one
constexpr long HOSTSIM_OUT_OF_MEMORY = 8;    // a saved-details block could not be allocated
constexpr long HOSTSIM_BAD_ARGUMENT = 87;    // null record, unknown sum type, wrong Ready condition

// Reloads the store from LEDGRA_HOST_DATA (the built-in sample when unset), clears the
// fault counters, the data-set cursors and the connection's members. Returns false when
// the store could not be loaded (StoreError() tells why; Initiate then fails).
bool ResetForTests();

// Replaces the store with the given JSON text / file and clears what ResetForTests clears.
bool LoadStoreFromText(const std::string& json);
bool LoadStoreFromFile(const std::string& path);

// The error of the last load, e.g. "dataSets[0].company: text longer than 255 bytes";
// empty after a successful load.
const std::string& StoreError();

// The built-in sample company as JSON (UTF-8), exactly as served without LEDGRA_HOST_DATA.
const std::string& BuiltInSample();

}  // namespace hostsim
