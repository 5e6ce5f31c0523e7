// The two numbers that choose a report's layout.
#pragma once

#include <cstdint>

// Statement form chosen in the conditions dialog; written as SYOTOKUSYURUI. Business and
// other income share the general form.
enum BusinessCategory : int16_t {
    kBusinessIncome = 1,
    kOtherIncome = 2,
    kRealEstateIncome = 3,
};

// Return kind of a data set (StDATAINFO::cReturnKind).
enum ReturnKind : uint8_t {
    kBlueReturn = 3,
    kWhiteReturn = 4,
};
