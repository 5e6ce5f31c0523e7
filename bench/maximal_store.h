// The largest host data store the report can meet, generated for the benchmark.
#pragma once

#include <string>

namespace bench {

// The built-in sample company with every schedule row and text slot filled to its limit
// and 9999 rented properties, as host data store JSON (UTF-8).
std::string MaximalStoreJson();

}  // namespace bench
