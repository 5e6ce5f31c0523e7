// The collected summed lines: owned heap copies in collection order.
#pragma once

#include <list>

#include "host/host_records.h"

// White-engine lines are kept in the same record type; the fields read are the same.
static_assert(sizeof(StAOSUMINFO) == sizeof(StSIROSUMINFO), "summed-line records differ");

using ClSumLineList = std::list<StAOSUMINFO*>;

// Deletes every copy, then the nodes.
void FreeSumLines(ClSumLineList& lines);
