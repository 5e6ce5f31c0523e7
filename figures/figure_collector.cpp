#include "figures/figure_collector.h"

#include <cstring>
#include <new>

#include "common/kinds.h"
#include "host/host_books.h"
#include "host/host_data.h"
#include "host/host_types.h"
#include "store/saved_details.h"

namespace {

// Line codes under which the section tables find the special rows.
constexpr int32_t kSalesCode = 101;
constexpr int32_t kIncomeBeforeDeductionCode = 999;
constexpr int32_t kFamilyEmployeeDeductionCode = 998;

// The real-estate income-statement row whose amount is the real-estate income.
constexpr int32_t kRealEstateIncomeRow = 21;

bool IsWalkStatus(long status) { return status == HOST_OK || status == HOST_NO_MORE_RECORDS; }

// The id of the data set selected in the host, NUL-terminated even if the host's
// text fills its whole field; empty when the host offers no selection.
void SelectedDataId(char (&id)[sizeof(StDATAINFO::szDataId) + 1])
{
    id[0] = '\0';
    ClSetData* sets = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kCompanyDataSetsKind, kCompanyDataSetsMode));
    const StDATAINFO* info = sets ? sets->GetSelectedInfo() : nullptr;
    if (info == nullptr)
        return;
    std::memcpy(id, info->szDataId, sizeof(info->szDataId));
    id[sizeof(info->szDataId)] = '\0';
}

template <typename HostObject>
void BindToSelectedData(HostObject& object)
{
    object.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    char id[sizeof(StDATAINFO::szDataId) + 1];
    SelectedDataId(id);
    object.SetCurDataID(id);
}

StAOSUMINFO ToSumLine(const StAOSUMINFO& line) { return line; }

StAOSUMINFO ToSumLine(const StSIROSUMINFO& line)
{
    StAOSUMINFO copy{};
    copy.lRowNo = line.lRowNo;
    copy.lLineCode = line.lLineCode;
    std::memcpy(copy.szAccountName, line.szAccountName, sizeof(copy.szAccountName));
    copy.llBeginAmount = line.llBeginAmount;
    copy.llAmount = line.llAmount;
    return copy;
}

// The row-number rewrite of one list: lines of that row are filed under the code.
struct Rewrite {
    int32_t row = 0;    // 0: the list has none
    int32_t code = 0;
};

}  // namespace

// Walks one host list: at most count lines from the first-line call on, each handed
// to keep (which shows progress and copies it to the end of sumLines). Returns the
// last status; 0 or 5000 mean the list was read.
template <typename Record, typename First, typename Next, typename Keep>
static long WalkList(long count, First first, Next next, Rewrite rewrite, Keep keep)
{
    Record work{};
    long status = first(&work);
    if (status != HOST_OK)
        return status;
    for (long i = 0; i < count; ++i) {
        if (rewrite.row != 0 && work.lRowNo == rewrite.row)
            work.lLineCode = rewrite.code;
        if (!keep(ToSumLine(work)))
            return ClFigureCollector::kCopyFailed;
        status = next(&work);
        if (status != HOST_OK)
            break;
    }
    return status;
}

ClFigureCollector::ClFigureCollector() = default;

ClFigureCollector::~ClFigureCollector()
{
    delete savedData;
    delete whiteRules;
    delete blueRules;
}

void ClFigureCollector::BindStore(ClFigureStore& store)
{
    sumLines = &store.sumLines;
    monthlyTotals = &store.monthlyTotals;
    savedGeneral = &store.savedGeneral;
    savedRealEstate = &store.savedRealEstate;
}

int32_t ClFigureCollector::Collect(const StDATAINFO* selectedData, int16_t category)
{
    if (selectedData == nullptr || sumLines == nullptr || monthlyTotals == nullptr || savedGeneral == nullptr ||
        savedRealEstate == nullptr)
        return 0;
    if (!FetchSavedGeneral(savedGeneral))
        return 0;
    if (!FetchSavedRealEstate(savedRealEstate))
        return 0;

    const bool general = category == kBusinessIncome || category == kOtherIncome;
    const bool realEstate = category == kRealEstateIncome;
    // Figures that could not be collected would be exported as empty or partial
    // statements, so any failure below fails the whole collection.
    switch (selectedData->cReturnKind) {
    case kBlueReturn:
        if (general) {
            if (!CollectBlueGeneral() || !CollectMonthlyTotals())
                return 0;
            if (selectedData->cBusinessKind == 3 && !CollectRealEstateIncome())
                return 0;
            return 1;
        }
        if (realEstate)
            return CollectBlueRealEstate() ? 1 : 0;
        return 1;
    case kWhiteReturn:
        if (general)
            return CollectWhiteGeneral() ? 1 : 0;
        if (realEstate)
            return CollectWhiteRealEstate() ? 1 : 0;
        return 1;
    default:
        return 0;
    }
}

int ClFigureCollector::FetchSavedGeneral(StAOSIROSAVEINFO_IPPAN* record)
{
    if (record == nullptr || !PrepareSavedData())
        return 0;
    if (savedData->GetDataIppan(record) != HOST_OK)
        return 0;
    return FillMissingSavedGeneral(*record);
}

int ClFigureCollector::FetchSavedRealEstate(StAOSIROSAVEINFO_FUDOUSAN* record)
{
    if (record == nullptr || !PrepareSavedData())
        return 0;
    if (savedData->GetDataFudousan(record) != HOST_OK)
        return 0;
    return FillMissingSavedRealEstate(*record);
}

int ClFigureCollector::CollectBlueGeneral() { return CollectBlueLines(true); }

int ClFigureCollector::CollectBlueRealEstate() { return CollectBlueLines(false); }

int ClFigureCollector::CollectWhiteGeneral() { return CollectWhiteLines(true); }

int ClFigureCollector::CollectWhiteRealEstate() { return CollectWhiteLines(false); }

int ClFigureCollector::CollectMonthlyTotals()
{
    if (monthlyTotals == nullptr || !PrepareBlueRules())
        return 0;
    if (blueReady == 0 && !ReadyBlueRules())
        return 0;
    return blueRules->GetTsukibetsuUriageShiire(monthlyTotals) == HOST_OK ? 1 : 0;
}

int ClFigureCollector::CollectRealEstateIncome()
{
    if (savedGeneral == nullptr || savedGeneral->pBase == nullptr || !PrepareBlueRules())
        return 0;
    if (blueReady == 0 && !ReadyBlueRules())
        return 0;

    const long count = blueRules->GetCount_PL(RULEAO_REALESTATE);
    StAOSUMINFO work{};
    long status = blueRules->MoveFirst_PL(RULEAO_REALESTATE, &work);
    if (!IsWalkStatus(status))
        return 0;
    if (status == HOST_OK) {
        for (long i = 0; i < count; ++i) {
            Pulse();
            if (work.lRowNo == kRealEstateIncomeRow) {
                // The special deduction is first set against this income; its
                // writer reads it from the general saved details.
                savedGeneral->pBase->llRealEstateIncome = work.llAmount;
                break;
            }
            status = blueRules->MoveNext_PL(RULEAO_REALESTATE, &work);
            if (status != HOST_OK)
                break;
        }
    }
    return IsWalkStatus(status) ? 1 : 0;
}

int ClFigureCollector::CollectBlueLines(bool general)
{
    if (sumLines == nullptr || !PrepareBlueRules())
        return 0;
    Advance(100, 300);
    if (!ReadyBlueRules())
        return 0;
    Advance(300, 400);

    ClRuleAo& rules = *blueRules;
    const _RuleAoSumType type = general ? RULEAO_GENERAL : RULEAO_REALESTATE;
    const long plCount = rules.GetCount_PL(type);
    const long assetCount = rules.GetCount_BS_Shisan(type);
    const long liabilityCount = rules.GetCount_BS_FusaiShihon(type);
    const long manufacturingCount = general ? rules.GetCount_SeizoGenka() : 0;

    const Rewrite plRewrite = general ? Rewrite{1, kSalesCode} : Rewrite{};
    const Rewrite liabilityRewrite{24, kIncomeBeforeDeductionCode};
    const auto keep = [this](const StAOSUMINFO& line) { return KeepLine(line); };

    long status = WalkList<StAOSUMINFO>(
        plCount, [&](StAOSUMINFO* line) { return rules.MoveFirst_PL(type, line); },
        [&](StAOSUMINFO* line) { return rules.MoveNext_PL(type, line); }, plRewrite, keep);
    if (!IsWalkStatus(status))
        return 0;
    status = WalkList<StAOSUMINFO>(
        assetCount, [&](StAOSUMINFO* line) { return rules.MoveFirst_BS_Shisan(type, line); },
        [&](StAOSUMINFO* line) { return rules.MoveNext_BS_Shisan(type, line); }, Rewrite{}, keep);
    if (!IsWalkStatus(status))
        return 0;
    status = WalkList<StAOSUMINFO>(
        liabilityCount, [&](StAOSUMINFO* line) { return rules.MoveFirst_BS_FusaiShihon(type, line); },
        [&](StAOSUMINFO* line) { return rules.MoveNext_BS_FusaiShihon(type, line); }, liabilityRewrite, keep);
    if (!IsWalkStatus(status))
        return 0;
    if (general) {
        status = WalkList<StAOSUMINFO>(
            manufacturingCount, [&](StAOSUMINFO* line) { return rules.MoveFirst_SeizoGenka(line); },
            [&](StAOSUMINFO* line) { return rules.MoveNext_SeizoGenka(line); }, Rewrite{}, keep);
        if (!IsWalkStatus(status))
            return 0;
    }
    Advance(400, 500);
    return 1;
}

int ClFigureCollector::CollectWhiteLines(bool general)
{
    if (sumLines == nullptr || !PrepareWhiteRules())
        return 0;
    Advance(100, 300);
    if (whiteRules->Ready() != HOST_OK)
        return 0;
    Advance(300, 400);

    ClRuleSiro& rules = *whiteRules;
    const _RuleSiroSumType type = general ? RULESIRO_GENERAL : RULESIRO_REALESTATE;
    const long count = rules.GetCount_PL(type);
    const Rewrite rewrite{general ? 37 : 19, kFamilyEmployeeDeductionCode};
    const long status = WalkList<StSIROSUMINFO>(
        count, [&](StSIROSUMINFO* line) { return rules.MoveFirst_PL(type, line); },
        [&](StSIROSUMINFO* line) { return rules.MoveNext_PL(type, line); }, rewrite,
        [this](const StAOSUMINFO& line) { return KeepLine(line); });
    if (!IsWalkStatus(status))
        return 0;
    Advance(400, 500);
    return 1;
}

bool ClFigureCollector::PrepareSavedData()
{
    if (savedData != nullptr)
        return true;
    savedData = new (std::nothrow) ClSaveAoSiro();
    if (savedData == nullptr)
        return false;
    BindToSelectedData(*savedData);
    return true;
}

bool ClFigureCollector::PrepareBlueRules()
{
    if (blueRules != nullptr)
        return true;
    blueRules = new (std::nothrow) ClRuleAo();
    if (blueRules == nullptr)
        return false;
    BindToSelectedData(*blueRules);
    blueRules->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
    return true;
}

bool ClFigureCollector::PrepareWhiteRules()
{
    if (whiteRules != nullptr)
        return true;
    whiteRules = new (std::nothrow) ClRuleSiro();
    if (whiteRules == nullptr)
        return false;
    BindToSelectedData(*whiteRules);
    whiteRules->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
    return true;
}

bool ClFigureCollector::ReadyBlueRules()
{
    StAOSUMCONDITION condition{};
    condition.cTarget = 255;
    if (blueRules->Ready(&condition) != HOST_OK)
        return false;
    blueReady = 1;
    return true;
}

bool ClFigureCollector::KeepLine(const StAOSUMINFO& line)
{
    Pulse();
    StAOSUMINFO* copy = new (std::nothrow) StAOSUMINFO(line);
    if (copy == nullptr)
        return false;
    try {
        sumLines->push_back(copy);
    } catch (const std::bad_alloc&) {
        delete copy;
        return false;
    }
    return true;
}

void ClFigureCollector::Pulse()
{
    if (progress != nullptr)
        progress->Pulse();
}

void ClFigureCollector::Advance(short from, short to)
{
    if (progress != nullptr)
        progress->Advance(from, to);
}
