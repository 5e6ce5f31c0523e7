// The figure store of one export: what the collector fills and the report builder reads.
// Its owner (the application object, or a tool without one) releases it once, when it
// is destroyed, as the program's end step does.
#pragma once

#include "host/host_records.h"
#include "store/saved_details.h"
#include "store/sum_lines.h"

struct ClFigureStore {
    ClSumLineList sumLines;
    StAOSUMINFO_TSUKIBETSU monthlyTotals{};
    StAOSIROSAVEINFO_IPPAN savedGeneral{};
    StAOSIROSAVEINFO_FUDOUSAN savedRealEstate{};

    ClFigureStore() = default;
    ClFigureStore(const ClFigureStore&) = delete;
    ClFigureStore& operator=(const ClFigureStore&) = delete;
    ~ClFigureStore() { Release(); }

    // Only blocks the collector received are non-null: the records start zeroed, and
    // release leaves them zeroed, so a second release frees nothing.
    void Release()
    {
        FreeSavedGeneral(savedGeneral);
        FreeSavedRealEstate(savedRealEstate);
        FreeSumLines(sumLines);
    }
};
