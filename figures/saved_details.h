// Release of the saved-details records: every block the host allocated goes back to the
// task allocator, and the record is left all zero so nothing is freed twice.
#pragma once

#include "host/host_records.h"

void FreeSavedGeneral(StAOSIROSAVEINFO_IPPAN& saved);
void FreeSavedRealEstate(StAOSIROSAVEINFO_FUDOUSAN& saved);
