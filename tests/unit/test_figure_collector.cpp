// The figure collector against the host stand-in: dispatch per return kind and form,
// list walks with their counts, statuses and rewrites, the monthly totals, the
// real-estate income, progress, binding, and copies that cannot be allocated.
#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "app/progress/progress_dlg.h"
#include "figures/figure_collector.h"
#include "host/host.h"
#include "hostsim/hostsim.h"
#include "platform/services.h"
#include "tests/fakes/fake_progress_view.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/host_log.h"
#include "tests/fakes/scoped_services.h"

// ---- allocation failures: the Nth nothrow allocation while armed returns null ----

namespace {
int g_nothrowCalls = 0;
int g_failNothrowAt = 0;   // 0: none fails
bool g_nothrowArmed = false;
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_nothrowArmed && ++g_nothrowCalls == g_failNothrowAt)
        return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* block, const std::nothrow_t&) noexcept { ::operator delete(block); }

namespace {

// ---- the store ----

struct Line {
    int row;
    int code;
};

using Lines = std::vector<Line>;

// Lists of the data set; each line's amount is its code in whole yen.
const Lines kBluePl = {{1, 1001}, {2, 1002}, {3, 1003}, {4, 1004}, {5, 1005}};
const Lines kBlueAssets = {{1, 2001}, {2, 2002}, {3, 2003}};
const Lines kBlueLiabilities = {{23, 3023}, {24, 3024}, {25, 3025}};
const Lines kBlueManufacturing = {{1, 4001}, {2, 4002}};
const Lines kRealEstatePl = {{1, 5001}, {20, 5020}, {21, 5021}, {22, 5022}};
const Lines kRealEstateAssets = {{1, 6001}, {2, 6002}};
const Lines kRealEstateLiabilities = {{24, 7024}, {25, 7025}};
const Lines kWhitePl = {{1, 8001}, {19, 8019}, {37, 8037}, {38, 8038}};
const Lines kWhiteRealEstatePl = {{1, 9001}, {19, 9019}, {37, 9037}};

// What the collector keeps of them, after the rewrites.
const Lines kBlueGeneralCollected = {{1, 101},   {2, 1002},  {3, 1003}, {4, 1004},  {5, 1005},
                                     {1, 2001},  {2, 2002},  {3, 2003}, {23, 3023}, {24, 999},
                                     {25, 3025}, {1, 4001},  {2, 4002}};
const Lines kBlueRealEstateCollected = {{1, 5001}, {20, 5020}, {21, 5021}, {22, 5022},
                                        {1, 6001}, {2, 6002},  {24, 999},  {25, 7025}};
const Lines kWhiteGeneralCollected = {{1, 8001}, {19, 8019}, {37, 998}, {38, 8038}};
const Lines kWhiteRealEstateCollected = {{1, 9001}, {19, 998}, {37, 9037}};

constexpr int64_t kYen = 10000;
constexpr int64_t kSavedRealEstateIncome = 777 * kYen;
constexpr int64_t kRow21Amount = 5021 * kYen;

std::string LinesJson(const Lines& lines)
{
    std::string out = "[";
    for (const Line& line : lines) {
        if (out.size() > 1)
            out += ",";
        out += "{\"row\":" + std::to_string(line.row) + ",\"code\":" + std::to_string(line.code) +
               ",\"name\":\"L" + std::to_string(line.code) + "\",\"begin\":" + std::to_string(-line.code) +
               ",\"amount\":" + std::to_string(line.code * kYen) + "}";
    }
    return out + "]";
}

struct StoreOptions {
    int returnKind = 3;
    int businessKind = 3;
    std::string counts = "{}";
    std::string faults = "{}";
    Lines realEstatePl = kRealEstatePl;
};

std::string StoreJson(const StoreOptions& options)
{
    std::string monthly = "[";
    for (int slot = 0; slot < 27; ++slot)
        monthly += (slot ? "," : "") + std::to_string((slot + 1) * kYen);
    monthly += "]";
    return std::string("{\"connection\":{\"initiate\":0,\"link\":0},") +
           "\"user\":{\"id\":\"USER01\",\"selected\":[1,7]}," + "\"faults\":" + options.faults + "," +
           "\"dataSets\":[{\"number\":3,\"company\":\"other\",\"returnKind\":3},"
           "{\"number\":7,\"company\":\"Yamada\",\"returnKind\":" +
           std::to_string(options.returnKind) + ",\"businessKind\":" + std::to_string(options.businessKind) +
           ",\"blue\":{\"general\":{\"pl\":" + LinesJson(kBluePl) + ",\"assets\":" + LinesJson(kBlueAssets) +
           ",\"liabilities\":" + LinesJson(kBlueLiabilities) + ",\"manufacturing\":" +
           LinesJson(kBlueManufacturing) + "},\"realEstate\":{\"pl\":" + LinesJson(options.realEstatePl) +
           ",\"assets\":" + LinesJson(kRealEstateAssets) + ",\"liabilities\":" + LinesJson(kRealEstateLiabilities) +
           "},\"monthly\":" + monthly + "}," + "\"white\":{\"general\":{\"pl\":" + LinesJson(kWhitePl) +
           "},\"realEstate\":{\"pl\":" + LinesJson(kWhiteRealEstatePl) + "}}," + "\"counts\":" + options.counts +
           ",\"saved\":{\"general\":{\"realEstateIncome\":" + std::to_string(kSavedRealEstateIncome) +
           ",\"deduction\":1},\"realEstate\":{\"liabilityInterest\":" + std::to_string(12 * kYen) + "}}}]}";
}

std::string Describe(const Lines& lines)
{
    std::string out;
    for (const Line& line : lines)
        out += std::to_string(line.row) + ":" + std::to_string(line.code) + " ";
    return out;
}

Lines Concat(std::initializer_list<Lines> parts)
{
    Lines out;
    for (const Lines& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Lines Head(const Lines& lines, std::size_t count) { return Lines(lines.begin(), lines.begin() + count); }

// ---- the figure store of one export, released as the application releases it ----

class FigureStore {
public:
    FigureStore()
    {
        for (int slot = 0; slot < 27; ++slot)
            monthly.llSlot[slot] = -1;   // what the caller prepared
    }
    ~FigureStore()
    {
        FreeSumLines(sumLines);
        void* general[] = {savedGeneral.pBase,     savedGeneral.pFamily, savedGeneral.pSalary, savedGeneral.pPayee,
                           savedGeneral.pLandRent, savedGeneral.pNotes,  savedGeneral.pTrade};
        for (void* block : general)
            platform::TaskMemFree(block);
        void* realEstate[] = {savedRealEstate.pBase,  savedRealEstate.pRentals,  savedRealEstate.pPayee,
                              savedRealEstate.pEmployee, savedRealEstate.pLandRent, savedRealEstate.pNotes,
                              savedRealEstate.pRepair,   savedRealEstate.pScale};
        for (void* block : realEstate)
            platform::TaskMemFree(block);
    }
    void Attach(ClFigureCollector& collector)
    {
        collector.sumLines = &sumLines;
        collector.monthlyTotals = &monthly;
        collector.savedGeneral = &savedGeneral;
        collector.savedRealEstate = &savedRealEstate;
    }
    Lines Collected() const
    {
        Lines out;
        for (const StAOSUMINFO* line : sumLines)
            out.push_back({line->lRowNo, line->lLineCode});
        return out;
    }
    int64_t RealEstateIncome() const { return savedGeneral.pBase ? savedGeneral.pBase->llRealEstateIncome : -1; }

    ClSumLineList sumLines;
    StAOSUMINFO_TSUKIBETSU monthly{};
    StAOSIROSAVEINFO_IPPAN savedGeneral{};
    StAOSIROSAVEINFO_FUDOUSAN savedRealEstate{};
};

// The selected data set as the run finds it.
StDATAINFO SelectedData()
{
    auto* sets = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    return *sets->GetSelectedInfo();
}

class CollectorTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_nothrowArmed = false;
        hostsim::ResetForTests();
    }
    void Load(const StoreOptions& options)
    {
        ASSERT_TRUE(hostsim::LoadStoreFromText(StoreJson(options))) << hostsim::StoreError();
    }
    // Loads the store, runs one collection and returns its result.
    int Run(const StoreOptions& options, int category, FigureStore& store, ClProgressDlg* progress = nullptr)
    {
        Load(options);
        if (HasFatalFailure())
            return -1;
        StDATAINFO data = SelectedData();
        ClFigureCollector collector;
        collector.progress = progress;
        store.Attach(collector);
        return collector.Collect(&data, static_cast<int16_t>(category));
    }
};

// ---- dispatch ----

struct DispatchCase {
    const char* label;
    int returnKind;
    int businessKind;
    int category;
    int result;
    Lines collected;
    bool monthlyFilled;
    int64_t realEstateIncome;
};

void PrintTo(const DispatchCase& c, std::ostream* os) { *os << c.label; }

class DispatchTest : public CollectorTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(DispatchTest, CollectsTheChosenForm)
{
    const DispatchCase& c = GetParam();
    StoreOptions options;
    options.returnKind = c.returnKind;
    options.businessKind = c.businessKind;
    FigureStore store;
    fakes::HostLog log;
    EXPECT_EQ(c.result, Run(options, c.category, store)) << c.label;
    EXPECT_EQ(Describe(c.collected), Describe(store.Collected())) << c.label;
    EXPECT_EQ(c.monthlyFilled ? 1 * kYen : -1, store.monthly.llSlot[0]) << c.label;
    EXPECT_EQ(c.monthlyFilled ? 27 * kYen : -1, store.monthly.llSlot[26]) << c.label;
    EXPECT_EQ(c.realEstateIncome, store.RealEstateIncome()) << c.label;
    // The saved details of both forms are always fetched.
    ASSERT_NE(nullptr, store.savedRealEstate.pBase) << c.label;
    EXPECT_EQ(12 * kYen, store.savedRealEstate.pBase->llLiabilityInterest) << c.label;
    EXPECT_EQ(1, log.Index("GetDataIppan -> 0") >= 0) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DispatchTest,
    ::testing::Values(
        DispatchCase{"blue business, both kinds", 3, 3, 1, 1, kBlueGeneralCollected, true, kRow21Amount},
        DispatchCase{"blue other income, both kinds", 3, 3, 2, 1, kBlueGeneralCollected, true, kRow21Amount},
        DispatchCase{"blue business, general only", 3, 1, 1, 1, kBlueGeneralCollected, true, kSavedRealEstateIncome},
        DispatchCase{"blue business, real estate only", 3, 2, 1, 1, kBlueGeneralCollected, true,
                     kSavedRealEstateIncome},
        DispatchCase{"blue real estate", 3, 3, 3, 1, kBlueRealEstateCollected, false, kSavedRealEstateIncome},
        DispatchCase{"blue, category 0", 3, 3, 0, 1, {}, false, kSavedRealEstateIncome},
        DispatchCase{"blue, category 4", 3, 3, 4, 1, {}, false, kSavedRealEstateIncome},
        DispatchCase{"white business", 4, 3, 1, 1, kWhiteGeneralCollected, false, kSavedRealEstateIncome},
        DispatchCase{"white other income", 4, 3, 2, 1, kWhiteGeneralCollected, false, kSavedRealEstateIncome},
        DispatchCase{"white real estate", 4, 3, 3, 1, kWhiteRealEstateCollected, false, kSavedRealEstateIncome},
        DispatchCase{"white, category -1", 4, 3, -1, 1, {}, false, kSavedRealEstateIncome},
        DispatchCase{"return kind 0", 0, 3, 1, 0, {}, false, kSavedRealEstateIncome},
        DispatchCase{"return kind 5", 5, 3, 3, 0, {}, false, kSavedRealEstateIncome},
        DispatchCase{"return kind 255", 255, 3, 2, 0, {}, false, kSavedRealEstateIncome}));

TEST_F(CollectorTest, MissingDestinationAsksTheHostNothing)
{
    Load(StoreOptions{});
    StDATAINFO data = SelectedData();
    for (int missing = 0; missing < 5; ++missing) {
        FigureStore store;
        ClFigureCollector collector;
        store.Attach(collector);
        switch (missing) {
        case 0: collector.sumLines = nullptr; break;
        case 1: collector.monthlyTotals = nullptr; break;
        case 2: collector.savedGeneral = nullptr; break;
        case 3: collector.savedRealEstate = nullptr; break;
        default: break;
        }
        fakes::HostLog log;
        EXPECT_EQ(0, collector.Collect(missing == 4 ? nullptr : &data, 1)) << missing;
        EXPECT_TRUE(log.lines().empty()) << missing;
    }
}

// ---- statuses of every list ----

struct StatusCase {
    const char* label;
    int returnKind;
    int category;
    const char* faults;
    int result;
    Lines collected;
    int64_t realEstateIncome;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.label; }

class StatusTest : public CollectorTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTest, FailuresFailTheCollectionAndKeepWhatWasCopied)
{
    const StatusCase& c = GetParam();
    StoreOptions options;
    options.returnKind = c.returnKind;
    options.faults = c.faults;
    FigureStore store;
    EXPECT_EQ(c.result, Run(options, c.category, store)) << c.label;
    EXPECT_EQ(Describe(c.collected), Describe(store.Collected())) << c.label;
    EXPECT_EQ(c.realEstateIncome, store.RealEstateIncome()) << c.label;
}

const Lines kBgPlAssets = Concat({Head(kBlueGeneralCollected, 5), {{1, 2001}, {2, 2002}, {3, 2003}}});
const Lines kBgPlAssetsLiabilities = Head(kBlueGeneralCollected, 11);
const int64_t kSaved = kSavedRealEstateIncome;

INSTANTIATE_TEST_SUITE_P(
    BlueGeneral, StatusTest,
    ::testing::Values(
        // Income statement: 5 lines, MoveNext calls 1 to 5 (the 5th answers 5000).
        StatusCase{"pl first", 3, 1, R"({"MoveFirst_PL": {"call": 1, "status": 9}})", 0, {}, kSaved},
        StatusCase{"pl next 1", 3, 1, R"({"MoveNext_PL": {"call": 1, "status": 9}})", 0,
                   Head(kBlueGeneralCollected, 1), kSaved},
        StatusCase{"pl middle", 3, 1, R"({"MoveNext_PL": {"call": 3, "status": 9}})", 0,
                   Head(kBlueGeneralCollected, 3), kSaved},
        StatusCase{"pl last", 3, 1, R"({"MoveNext_PL": {"call": 5, "status": 9}})", 0,
                   Head(kBlueGeneralCollected, 5), kSaved},
        StatusCase{"assets first", 3, 1, R"({"MoveFirst_BS_Shisan": 9})", 0, Head(kBlueGeneralCollected, 5), kSaved},
        StatusCase{"assets middle", 3, 1, R"({"MoveNext_BS_Shisan": {"call": 2, "status": 9}})", 0,
                   Head(kBlueGeneralCollected, 7), kSaved},
        StatusCase{"assets last", 3, 1, R"({"MoveNext_BS_Shisan": {"call": 3, "status": 9}})", 0, kBgPlAssets,
                   kSaved},
        StatusCase{"liabilities first", 3, 1, R"({"MoveFirst_BS_FusaiShihon": 9})", 0, kBgPlAssets, kSaved},
        StatusCase{"liabilities middle", 3, 1, R"({"MoveNext_BS_FusaiShihon": {"call": 2, "status": 9}})", 0,
                   Head(kBlueGeneralCollected, 10), kSaved},
        StatusCase{"liabilities last", 3, 1, R"({"MoveNext_BS_FusaiShihon": {"call": 3, "status": -5}})", 0,
                   kBgPlAssetsLiabilities, kSaved},
        StatusCase{"manufacturing first", 3, 1, R"({"MoveFirst_SeizoGenka": 9})", 0, kBgPlAssetsLiabilities,
                   kSaved},
        StatusCase{"manufacturing middle", 3, 1, R"({"MoveNext_SeizoGenka": {"call": 1, "status": 9}})", 0,
                   Head(kBlueGeneralCollected, 12), kSaved},
        StatusCase{"manufacturing last", 3, 1, R"({"MoveNext_SeizoGenka": {"call": 2, "status": 9}})", 0,
                   kBlueGeneralCollected, kSaved},
        StatusCase{"ready", 3, 1, R"({"Ready": 7})", 0, {}, kSaved},
        StatusCase{"monthly", 3, 1, R"({"GetTsukibetsuUriageShiire": 5001})", 0, kBlueGeneralCollected, kSaved},
        // The real-estate income walk: the 2nd MoveFirst_PL, MoveNext_PL calls 6 and 7.
        StatusCase{"income first", 3, 1, R"({"MoveFirst_PL": {"call": 2, "status": 9}})", 0, kBlueGeneralCollected,
                   kSaved},
        StatusCase{"income middle", 3, 1, R"({"MoveNext_PL": {"call": 6, "status": 9}})", 0, kBlueGeneralCollected,
                   kSaved},
        StatusCase{"income last", 3, 1, R"({"MoveNext_PL": {"call": 7, "status": 9}})", 0, kBlueGeneralCollected,
                   kSaved},
        StatusCase{"income list empty", 3, 1, R"({"MoveFirst_PL": {"call": 2, "status": 5000}})", 1,
                   kBlueGeneralCollected, kSaved},
        StatusCase{"income list ends before row 21", 3, 1, R"({"MoveNext_PL": {"call": 7, "status": 5000}})", 1,
                   kBlueGeneralCollected, kSaved},
        // 5000 ends a list without failing.
        StatusCase{"pl 5000 at the first line", 3, 1, R"({"MoveFirst_PL": {"call": 1, "status": 5000}})", 1,
                   Concat({{{1, 2001}, {2, 2002}, {3, 2003}}, {{23, 3023}, {24, 999}, {25, 3025}}, {{1, 4001}, {2, 4002}}}),
                   kRow21Amount},
        StatusCase{"assets 5000 at the first line", 3, 1, R"({"MoveFirst_BS_Shisan": 5000})", 1,
                   Concat({Head(kBlueGeneralCollected, 5), {{23, 3023}, {24, 999}, {25, 3025}, {1, 4001}, {2, 4002}}}),
                   kRow21Amount},
        StatusCase{"liabilities 5000 at the first line", 3, 1, R"({"MoveFirst_BS_FusaiShihon": 5000})", 1,
                   Concat({kBgPlAssets, {{1, 4001}, {2, 4002}}}), kRow21Amount},
        StatusCase{"manufacturing 5000 at the first line", 3, 1, R"({"MoveFirst_SeizoGenka": 5000})", 1,
                   kBgPlAssetsLiabilities, kRow21Amount},
        StatusCase{"pl ends early with 5000", 3, 1, R"({"MoveNext_PL": {"call": 2, "status": 5000}})", 1,
                   Concat({Head(kBlueGeneralCollected, 2), Lines(kBlueGeneralCollected.begin() + 5,
                                                                 kBlueGeneralCollected.end())}),
                   kRow21Amount},
        StatusCase{"saved general", 3, 1, R"({"GetDataIppan": 3})", 0, {}, -1},
        StatusCase{"saved real estate", 3, 1, R"({"GetDataFudousan": 3})", 0, {}, kSaved}));

INSTANTIATE_TEST_SUITE_P(
    BlueRealEstate, StatusTest,
    ::testing::Values(
        StatusCase{"pl first", 3, 3, R"({"MoveFirst_PL": 9})", 0, {}, kSaved},
        StatusCase{"pl middle", 3, 3, R"({"MoveNext_PL": {"call": 2, "status": 9}})", 0,
                   Head(kBlueRealEstateCollected, 2), kSaved},
        StatusCase{"pl last", 3, 3, R"({"MoveNext_PL": {"call": 4, "status": 9}})", 0,
                   Head(kBlueRealEstateCollected, 4), kSaved},
        StatusCase{"assets first", 3, 3, R"({"MoveFirst_BS_Shisan": 9})", 0, Head(kBlueRealEstateCollected, 4),
                   kSaved},
        StatusCase{"assets middle", 3, 3, R"({"MoveNext_BS_Shisan": {"call": 1, "status": 9}})", 0,
                   Head(kBlueRealEstateCollected, 5), kSaved},
        StatusCase{"assets last", 3, 3, R"({"MoveNext_BS_Shisan": {"call": 2, "status": 9}})", 0,
                   Head(kBlueRealEstateCollected, 6), kSaved},
        StatusCase{"liabilities first", 3, 3, R"({"MoveFirst_BS_FusaiShihon": 9})", 0,
                   Head(kBlueRealEstateCollected, 6), kSaved},
        StatusCase{"liabilities middle", 3, 3, R"({"MoveNext_BS_FusaiShihon": {"call": 1, "status": 9}})", 0,
                   Head(kBlueRealEstateCollected, 7), kSaved},
        StatusCase{"liabilities last", 3, 3, R"({"MoveNext_BS_FusaiShihon": {"call": 2, "status": 9}})", 0,
                   kBlueRealEstateCollected, kSaved},
        StatusCase{"ready", 3, 3, R"({"Ready": 7})", 0, {}, kSaved},
        StatusCase{"assets 5000 at the first line", 3, 3, R"({"MoveFirst_BS_Shisan": 5000})", 1,
                   Concat({Head(kBlueRealEstateCollected, 4), {{24, 999}, {25, 7025}}}), kSaved}));

INSTANTIATE_TEST_SUITE_P(
    White, StatusTest,
    ::testing::Values(
        StatusCase{"general first", 4, 1, R"({"MoveFirst_PL": 9})", 0, {}, kSaved},
        StatusCase{"general middle", 4, 1, R"({"MoveNext_PL": {"call": 2, "status": 9}})", 0,
                   Head(kWhiteGeneralCollected, 2), kSaved},
        StatusCase{"general last", 4, 2, R"({"MoveNext_PL": {"call": 4, "status": 9}})", 0, kWhiteGeneralCollected,
                   kSaved},
        StatusCase{"general 5000 at the first line", 4, 1, R"({"MoveFirst_PL": 5000})", 1, {}, kSaved},
        StatusCase{"general ready", 4, 1, R"({"Ready": 2})", 0, {}, kSaved},
        StatusCase{"real estate first", 4, 3, R"({"MoveFirst_PL": 9})", 0, {}, kSaved},
        StatusCase{"real estate middle", 4, 3, R"({"MoveNext_PL": {"call": 1, "status": 9}})", 0,
                   Head(kWhiteRealEstateCollected, 1), kSaved},
        StatusCase{"real estate last", 4, 3, R"({"MoveNext_PL": {"call": 3, "status": 9}})", 0,
                   kWhiteRealEstateCollected, kSaved},
        StatusCase{"real estate ready", 4, 3, R"({"Ready": 2})", 0, {}, kSaved},
        StatusCase{"saved general", 4, 3, R"({"GetDataIppan": 3})", 0, {}, -1},
        StatusCase{"saved real estate", 4, 1, R"({"GetDataFudousan": 3})", 0, {}, kSaved}));

// ---- counts ----

struct CountCase {
    const char* label;
    int returnKind;
    int category;
    const char* counts;
    Lines collected;
    int64_t realEstateIncome;
};

void PrintTo(const CountCase& c, std::ostream* os) { *os << c.label; }

class CountTest : public CollectorTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CountTest, AtMostTheCountIsCopied)
{
    const CountCase& c = GetParam();
    StoreOptions options;
    options.returnKind = c.returnKind;
    options.counts = c.counts;
    FigureStore store;
    EXPECT_EQ(1, Run(options, c.category, store)) << c.label;
    EXPECT_EQ(Describe(c.collected), Describe(store.Collected())) << c.label;
    EXPECT_EQ(c.realEstateIncome, store.RealEstateIncome()) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountTest,
    ::testing::Values(
        CountCase{"pl smaller", 3, 1, R"({"blue.general.pl": 2})",
                  Concat({Head(kBlueGeneralCollected, 2),
                          Lines(kBlueGeneralCollected.begin() + 5, kBlueGeneralCollected.end())}),
                  kRow21Amount},
        CountCase{"pl larger", 3, 1, R"({"blue.general.pl": 9})", kBlueGeneralCollected, kRow21Amount},
        CountCase{"pl zero", 3, 1, R"({"blue.general.pl": 0})",
                  Lines(kBlueGeneralCollected.begin() + 5, kBlueGeneralCollected.end()), kRow21Amount},
        CountCase{"pl negative", 3, 1, R"({"blue.general.pl": -3})",
                  Lines(kBlueGeneralCollected.begin() + 5, kBlueGeneralCollected.end()), kRow21Amount},
        CountCase{"liabilities smaller: row 24 never reached", 3, 1, R"({"blue.general.liabilities": 1})",
                  Concat({kBgPlAssets, {{23, 3023}, {1, 4001}, {2, 4002}}}), kRow21Amount},
        CountCase{"manufacturing zero", 3, 1, R"({"blue.general.manufacturing": 0})", kBgPlAssetsLiabilities,
                  kRow21Amount},
        CountCase{"real-estate income row beyond the count", 3, 1, R"({"blue.realEstate.pl": 2})",
                  kBlueGeneralCollected, kSavedRealEstateIncome},
        CountCase{"real-estate income row is the last counted", 3, 1, R"({"blue.realEstate.pl": 3})",
                  kBlueGeneralCollected, kRow21Amount},
        CountCase{"blue real-estate assets larger", 3, 3, R"({"blue.realEstate.assets": 50})",
                  kBlueRealEstateCollected, kSavedRealEstateIncome},
        CountCase{"blue real-estate pl smaller", 3, 3, R"({"blue.realEstate.pl": 1})",
                  Concat({Head(kBlueRealEstateCollected, 1), Lines(kBlueRealEstateCollected.begin() + 4,
                                                                   kBlueRealEstateCollected.end())}),
                  kSavedRealEstateIncome},
        CountCase{"white smaller", 4, 1, R"({"white.general.pl": 3})", Head(kWhiteGeneralCollected, 3),
                  kSavedRealEstateIncome},
        CountCase{"white larger", 4, 3, R"({"white.realEstate.pl": 4})", kWhiteRealEstateCollected,
                  kSavedRealEstateIncome},
        CountCase{"white zero", 4, 3, R"({"white.realEstate.pl": 0})", {}, kSavedRealEstateIncome}));

TEST_F(CollectorTest, CountsAreReadBeforeTheFirstWalk)
{
    fakes::HostLog log;
    FigureStore store;
    ASSERT_EQ(1, Run(StoreOptions{}, 1, store));
    const std::vector<std::string> walk =
        log.Only({"GetCount_PL", "GetCount_BS_Shisan", "GetCount_BS_FusaiShihon", "GetCount_SeizoGenka",
                  "MoveFirst_PL", "MoveFirst_BS_Shisan", "MoveFirst_BS_FusaiShihon", "MoveFirst_SeizoGenka"});
    const std::vector<std::string> expected = {
        "GetCount_PL 0 -> 5",          "GetCount_BS_Shisan 0 -> 3",   "GetCount_BS_FusaiShihon 0 -> 3",
        "GetCount_SeizoGenka -> 2",    "MoveFirst_PL 0 -> 0",          "MoveFirst_BS_Shisan 0 -> 0",
        "MoveFirst_BS_FusaiShihon 0 -> 0", "MoveFirst_SeizoGenka -> 0", "GetCount_PL 1 -> 4",
        "MoveFirst_PL 1 -> 0"};
    EXPECT_EQ(expected, walk);
}

// ---- the real-estate income ----

struct IncomeCase {
    const char* label;
    Lines realEstatePl;
    int64_t realEstateIncome;
    int moveNextCalls;   // MoveNext_PL calls of the income walk
};

void PrintTo(const IncomeCase& c, std::ostream* os) { *os << c.label; }

class RealEstateIncomeTest : public CollectorTest, public ::testing::WithParamInterface<IncomeCase> {};

TEST_P(RealEstateIncomeTest, FirstRow21ReplacesTheSavedIncome)
{
    const IncomeCase& c = GetParam();
    StoreOptions options;
    options.realEstatePl = c.realEstatePl;
    fakes::HostLog log;
    FigureStore store;
    EXPECT_EQ(1, Run(options, 1, store)) << c.label;
    EXPECT_EQ(c.realEstateIncome, store.RealEstateIncome()) << c.label;
    int calls = 0;
    for (const std::string& line : log.lines())
        calls += line.rfind("MoveNext_PL 1 ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(c.moveNextCalls, calls) << c.label;
    EXPECT_EQ(Describe(kBlueGeneralCollected), Describe(store.Collected())) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RealEstateIncomeTest,
    ::testing::Values(IncomeCase{"row 21 third", kRealEstatePl, kRow21Amount, 2},
                      IncomeCase{"row 21 first", {{21, 1}, {21, 2}}, 1 * kYen, 0},
                      IncomeCase{"two rows 21", {{20, 1}, {21, 2}, {21, 3}}, 2 * kYen, 1},
                      IncomeCase{"no row 21", {{20, 1}, {22, 2}}, kSavedRealEstateIncome, 2},
                      IncomeCase{"empty list", {}, kSavedRealEstateIncome, 0}));

TEST_F(CollectorTest, NegativeRow21AmountIsStoredAsIs)
{
    StoreOptions options;
    options.realEstatePl = {{21, -42}};
    FigureStore store;
    EXPECT_EQ(1, Run(options, 2, store));
    EXPECT_EQ(-42 * kYen, store.RealEstateIncome());
}

TEST_F(CollectorTest, BlueSumsAreReadiedOnceForTheMonthlyTotalsAndIncome)
{
    fakes::HostLog log;
    FigureStore store;
    ASSERT_EQ(1, Run(StoreOptions{}, 1, store));
    EXPECT_EQ((std::vector<std::string>{"Ready 255 -> 0"}), log.Only({"Ready"}));
    EXPECT_EQ((std::vector<std::string>{"GetTsukibetsuUriageShiire -> 0"}), log.Only({"GetTsukibetsuUriageShiire"}));
}

TEST_F(CollectorTest, MonthlyTotalsAndIncomeReadyTheEngineWhenNothingElseDid)
{
    Load(StoreOptions{});
    StDATAINFO data = SelectedData();
    FigureStore store;
    ClFigureCollector collector;
    store.Attach(collector);
    ASSERT_EQ(1, collector.FetchSavedGeneral(&store.savedGeneral));
    fakes::HostLog log;
    EXPECT_EQ(1, collector.CollectMonthlyTotals());
    EXPECT_EQ(1, collector.blueReady);
    EXPECT_EQ(1, collector.CollectRealEstateIncome());
    EXPECT_EQ((std::vector<std::string>{"Ready 255 -> 0"}), log.Only({"Ready"}));
    EXPECT_EQ(27 * kYen, store.monthly.llSlot[26]);
    EXPECT_EQ(kRow21Amount, store.RealEstateIncome());
    (void)data;
}

// ---- binding ----

TEST_F(CollectorTest, EachHostObjectIsBoundOnceToTheSelectedDataSet)
{
    fakes::HostLog log;
    FigureStore store;
    ASSERT_EQ(1, Run(StoreOptions{}, 1, store));
    const std::vector<std::string> binding =
        log.Only({"GetSetMgr", "AttachSetMgr", "GetSetObject", "GetSelectedInfo", "SetCurDataID", "GetOptLink",
                  "AttachOptLink", "GetDataIppan", "GetDataFudousan", "Ready"});
    const std::vector<std::string> expected = {
        // The test's own look-up of the selected data set.
        "GetSetObject 5 1", "GetSelectedInfo",
        // The saved-data object: no option link.
        "GetSetMgr", "AttachSetMgr -> 0", "GetSetObject 5 1", "GetSelectedInfo", "SetCurDataID 7 -> 0",
        "GetDataIppan -> 0", "GetDataFudousan -> 0",
        // The blue engine, bound once although three collectors use it.
        "GetSetMgr", "AttachSetMgr -> 0", "GetSetObject 5 1", "GetSelectedInfo", "SetCurDataID 7 -> 0",
        "GetOptLink", "AttachOptLink -> 0", "Ready 255 -> 0"};
    EXPECT_EQ(expected, binding);
}

TEST_F(CollectorTest, WhiteEngineIsBoundWithTheOptionLink)
{
    fakes::HostLog log;
    FigureStore store;
    StoreOptions options;
    options.returnKind = 4;
    ASSERT_EQ(1, Run(options, 3, store));
    const std::vector<std::string> binding =
        log.Only({"SetCurDataID", "AttachOptLink", "Ready", "GetCount_PL", "GetTsukibetsuUriageShiire"});
    const std::vector<std::string> expected = {"SetCurDataID 7 -> 0", "SetCurDataID 7 -> 0", "AttachOptLink -> 0",
                                               "Ready -> 0", "GetCount_PL 1 -> 3"};
    EXPECT_EQ(expected, binding);
}

// ---- copies that cannot be allocated ----

struct AllocationCase {
    const char* label;
    int returnKind;
    int category;
    int failingAllocation;   // 1 saved-data object, 2 engine, 3 on the line copies
    Lines collected;
};

void PrintTo(const AllocationCase& c, std::ostream* os) { *os << c.label; }

class AllocationTest : public CollectorTest, public ::testing::WithParamInterface<AllocationCase> {};

TEST_P(AllocationTest, FailedAllocationFailsTheCollection)
{
    const AllocationCase& c = GetParam();
    StoreOptions options;
    options.returnKind = c.returnKind;
    Load(options);
    StDATAINFO data = SelectedData();
    FigureStore store;
    ClFigureCollector collector;
    store.Attach(collector);
    g_nothrowCalls = 0;
    g_failNothrowAt = c.failingAllocation;
    g_nothrowArmed = true;
    const int result = collector.Collect(&data, static_cast<int16_t>(c.category));
    g_nothrowArmed = false;
    EXPECT_EQ(0, result) << c.label;
    EXPECT_EQ(Describe(c.collected), Describe(store.Collected())) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Allocations, AllocationTest,
    ::testing::Values(AllocationCase{"saved-data object", 3, 1, 1, {}},
                      AllocationCase{"blue engine", 3, 1, 2, {}},
                      AllocationCase{"first copy", 3, 1, 3, {}},
                      AllocationCase{"middle copy", 3, 1, 9, Head(kBlueGeneralCollected, 6)},
                      AllocationCase{"last copy", 3, 1, 15, Head(kBlueGeneralCollected, 12)},
                      AllocationCase{"blue real-estate middle copy", 3, 3, 7, Head(kBlueRealEstateCollected, 4)},
                      AllocationCase{"white engine", 4, 1, 2, {}},
                      AllocationCase{"white first copy", 4, 1, 3, {}},
                      AllocationCase{"white last copy", 4, 3, 5, Head(kWhiteRealEstateCollected, 2)}));

TEST_F(CollectorTest, NoFailedAllocationCollectsEverything)
{
    Load(StoreOptions{});
    StDATAINFO data = SelectedData();
    FigureStore store;
    ClFigureCollector collector;
    store.Attach(collector);
    g_nothrowCalls = 0;
    g_failNothrowAt = 0;
    g_nothrowArmed = true;
    EXPECT_EQ(1, collector.Collect(&data, 1));
    g_nothrowArmed = false;
    // The saved-data object, the blue engine and one copy per line.
    EXPECT_EQ(2 + static_cast<int>(kBlueGeneralCollected.size()), g_nothrowCalls);
}

// ---- progress ----

struct ProgressCase {
    const char* label;
    int returnKind;
    int category;
    int pulses;   // one per line walked
    bool advanced;
};

void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.label; }

class ProgressTest : public CollectorTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(ProgressTest, AdvancesThroughItsStretchAndPulsesPerLine)
{
    const ProgressCase& c = GetParam();
    fakes::FakeUi ui;
    fakes::ScopedServices installed(&ui);
    ClProgressDlg progress;
    ASSERT_TRUE(progress.Create());
    const std::shared_ptr<fakes::FakeProgressState> state = ui.progressViews.back();
    StoreOptions options;
    options.returnKind = c.returnKind;
    FigureStore store;
    EXPECT_EQ(1, Run(options, c.category, store, &progress)) << c.label;

    std::vector<std::string> captions;
    if (c.advanced) {
        const int stretches[3][2] = {{100, 300}, {300, 400}, {400, 500}};
        for (const auto& stretch : stretches)
            for (int unit = stretch[0]; unit <= stretch[1]; unit += 10) {
                char caption[32];
                std::snprintf(caption, sizeof caption, "集計中 %d％", unit / 10);
                captions.push_back(caption);
            }
    }
    EXPECT_EQ(captions, state->captions) << c.label;
    const int advanceUnits = c.advanced ? 201 + 101 + 101 : 0;
    EXPECT_EQ(advanceUnits + c.pulses, state->counts["SetRange"]) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProgressTest,
    ::testing::Values(ProgressCase{"blue general with the income walk", 3, 1, 13 + 3, true},
                      ProgressCase{"blue real estate", 3, 3, 8, true},
                      ProgressCase{"white general", 4, 2, 4, true},
                      ProgressCase{"white real estate", 4, 3, 3, true},
                      ProgressCase{"no form", 4, 9, 0, false}));

TEST_F(CollectorTest, ProgressStopsWhereReadyFails)
{
    fakes::FakeUi ui;
    fakes::ScopedServices installed(&ui);
    ClProgressDlg progress;
    ASSERT_TRUE(progress.Create());
    StoreOptions options;
    options.faults = R"({"Ready": 7})";
    FigureStore store;
    EXPECT_EQ(0, Run(options, 1, store, &progress));
    const std::vector<std::string>& captions = ui.progressViews.back()->captions;
    ASSERT_FALSE(captions.empty());
    char last[32];
    std::snprintf(last, sizeof last, "集計中 %d％", 30);
    EXPECT_EQ(21u, captions.size());
    EXPECT_EQ(std::string(last), captions.back());
}

}  // namespace
