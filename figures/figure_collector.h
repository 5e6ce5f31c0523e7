// Gathers the figures of one export from the host's rule engines into the figure
// store that the application object owns: the summed lines of the chosen form, the
// monthly sales and purchases, and the saved details of both forms.
#pragma once

#include <cstdint>

#include "host/host_records.h"
#include "platform/progress.h"
#include "store/figure_store.h"
#include "store/sum_lines.h"

class ClRuleAo;
class ClRuleSiro;
class ClSaveAoSiro;

class ClFigureCollector {
public:
    // Status of a walk whose copy of a line could not be allocated.
    enum : long { kCopyFailed = -1001 };

    ClFigureCollector();
    virtual ~ClFigureCollector();
    ClFigureCollector(const ClFigureCollector&) = delete;
    ClFigureCollector& operator=(const ClFigureCollector&) = delete;

    // Destinations, set by the caller before Collect; the caller owns them.
    platform::IProgress* progress = nullptr;   // may be null: no progress is shown
    ClSumLineList* sumLines = nullptr;
    StAOSUMINFO_TSUKIBETSU* monthlyTotals = nullptr;
    StAOSIROSAVEINFO_IPPAN* savedGeneral = nullptr;
    StAOSIROSAVEINFO_FUDOUSAN* savedRealEstate = nullptr;
    // Points the four destinations at the members of store.
    void BindStore(ClFigureStore& store);

    // Created on first use, owned and deleted by the collector.
    ClRuleAo* blueRules = nullptr;
    ClRuleSiro* whiteRules = nullptr;
    ClSaveAoSiro* savedData = nullptr;
    int32_t blueReady = 0;   // 1 once ClRuleAo::Ready has succeeded here

    // 1 when every figure of the chosen form was collected, 0 otherwise (a missing
    // destination, a failed fetch or collector, an unknown return kind).
    int32_t Collect(const StDATAINFO* selectedData, int16_t category);

    int FetchSavedGeneral(StAOSIROSAVEINFO_IPPAN* record);
    int FetchSavedRealEstate(StAOSIROSAVEINFO_FUDOUSAN* record);

    int CollectBlueGeneral();
    int CollectMonthlyTotals();
    int CollectRealEstateIncome();
    int CollectBlueRealEstate();
    int CollectWhiteGeneral();
    int CollectWhiteRealEstate();

private:
    bool PrepareSavedData();
    bool PrepareBlueRules();
    bool PrepareWhiteRules();
    bool ReadyBlueRules();
    int CollectBlueLines(bool general);
    int CollectWhiteLines(bool general);
    // One line of a walk: a pulse of the progress window, then a copy appended to
    // sumLines; false when the copy cannot be allocated.
    bool KeepLine(const StAOSUMINFO& line);
    void Pulse();
    void Advance(short from, short to);
};
