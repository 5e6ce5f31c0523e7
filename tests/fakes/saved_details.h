// SavedDetails: the two saved-details records with every block allocated through the
// task allocator, zeroed, as the host hands them out; freed when the object goes.
//
//   fakes::SavedDetails saved;
//   saved.general.pSalary->salary[0].lAge = 30;
//   saved.SetRentals(3, true);        // three rows and the -1 marker row
//   builder.savedGeneral = &saved.general;
#pragma once

#include <cstddef>

#include "host/host_records.h"

namespace fakes {

class SavedDetails {
public:
    SavedDetails();
    ~SavedDetails();
    SavedDetails(const SavedDetails&) = delete;
    SavedDetails& operator=(const SavedDetails&) = delete;

    // Replaces the rental block with rows zeroed rows, plus a marker row when asked.
    void SetRentals(std::size_t rows, bool withMarker);

    StAOSIROSAVEINFO_IPPAN general{};
    StAOSIROSAVEINFO_FUDOUSAN realEstate{};
};

}  // namespace fakes
