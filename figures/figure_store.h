// The figures of one export for a program without the application object (the
// export-report tool, the benchmark): what the collector fills and the builder reads,
// released as the program's end step releases them.
#pragma once

#include "figures/figure_collector.h"
#include "figures/saved_details.h"
#include "figures/sum_lines.h"
#include "report/report_builder.h"

struct ClFigureStore {
    ClSumLineList sumLines;
    StAOSUMINFO_TSUKIBETSU monthlyTotals{};
    StAOSIROSAVEINFO_IPPAN savedGeneral{};
    StAOSIROSAVEINFO_FUDOUSAN savedRealEstate{};

    ClFigureStore() = default;
    ClFigureStore(const ClFigureStore&) = delete;
    ClFigureStore& operator=(const ClFigureStore&) = delete;
    ~ClFigureStore()
    {
        FreeSavedGeneral(savedGeneral);
        FreeSavedRealEstate(savedRealEstate);
        FreeSumLines(sumLines);
    }

    void Bind(ClFigureCollector& collector)
    {
        collector.sumLines = &sumLines;
        collector.monthlyTotals = &monthlyTotals;
        collector.savedGeneral = &savedGeneral;
        collector.savedRealEstate = &savedRealEstate;
    }
    void Bind(ClReportBuilder& builder)
    {
        builder.sumLines = &sumLines;
        builder.monthlyTotals = &monthlyTotals;
        builder.savedGeneral = &savedGeneral;
        builder.savedRealEstate = &savedRealEstate;
    }
};
