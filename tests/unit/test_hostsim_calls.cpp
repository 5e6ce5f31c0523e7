// The stand-in's call log, faults, count overrides, saved-details blocks and message box.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "hostsim/hostsim.h"
#include "platform/services.h"
#include "tests/fakes/scoped_services.h"

namespace {

void SetEnv(const char* name, const std::string& value)
{
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
#endif
}

// Points LEDGRA_HOST_LOG at a fresh file for the life of the object.
class LogFile {
public:
    LogFile() : path_(std::string(::testing::TempDir()) + "hostsim_calls.log")
    {
        std::remove(path_.c_str());
        SetEnv("LEDGRA_HOST_LOG", path_);
    }
    ~LogFile()
    {
        SetEnv("LEDGRA_HOST_LOG", "");
        std::remove(path_.c_str());
    }
    std::vector<std::string> Lines() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string Text() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

private:
    std::string path_;
};

const char* const kFiveLines = R"({
  "user": {"id": "U1", "selected": [2, 8]},
  "dataSets": [{"number": 8, "returnKind": 3,
    "blue": {"general": {"pl": [{"row": 1, "code": 101}, {"row": 2, "code": 102}, {"row": 3, "code": 103},
                                {"row": 4, "code": 104}, {"row": 5, "code": 105}],
                         "assets": [{"row": 1, "code": 201}, {"row": 2, "code": 202}]}}
  }]
})";

class HostCalls : public ::testing::Test {
protected:
    void TearDown() override { hostsim::ResetForTests(); }

    void Load(const std::string& json) { ASSERT_TRUE(hostsim::LoadStoreFromText(json)) << hostsim::StoreError(); }

    // A blue engine bound to data set "8" and readied.
    static void Prepare(ClRuleAo& engine)
    {
        engine.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
        ASSERT_EQ(engine.SetCurDataID("8"), 0);
        engine.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
        StAOSUMCONDITION condition{};
        condition.cTarget = 255;
        ASSERT_EQ(engine.Ready(&condition), 0);
    }

    // Statuses of MoveFirst_PL then MoveNext_PL until a nonzero status, at most 10 calls,
    // with the code of every delivered line after a slash.
    static std::string Walk(ClRuleAo& engine)
    {
        std::string out;
        StAOSUMINFO line{};
        long status = engine.MoveFirst_PL(RULEAO_GENERAL, &line);
        for (int i = 0; i < 10; ++i) {
            out += std::to_string(status);
            if (status == 0) out += "/" + std::to_string(line.lLineCode);
            if (status != 0) break;
            out += " ";
            status = engine.MoveNext_PL(RULEAO_GENERAL, &line);
        }
        return out;
    }
};

// ---- log ----

TEST_F(HostCalls, EveryCallAppendsOneLine)
{
    Load(kFiveLines);
    LogFile log;
    ClAccConnect* connection = ClAccConnect::Inst();
    connection->SetAppType(ClSysEnvMgr::APP_PROFESSIONAL);
    connection->SetUseDataType(2);
    connection->Initiate();
    connection->ExpSysLink();
    char user[65] = {};
    ClSysUser* users = ClDataMgr::Inst()->GetSysUserObject();
    users->GetCurUserID(user);
    long first = 0, second = 0;
    users->GetSelectedNo(user, &first, &second);
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    unsigned long cursor = 0;
    set->GetDatCursor(&cursor);
    set->ReadyDat(cursor, 0);
    StDATAINFO info{};
    set->WalkDat(&info, cursor);
    set->WalkDat(&info, cursor);
    set->ReleaseDatCursor(cursor);
    {
        ClRuleAo engine;
        Prepare(engine);
        engine.GetCount_PL(RULEAO_GENERAL);
        StAOSUMINFO line{};
        engine.MoveFirst_PL(RULEAO_GENERAL, &line);
        engine.MoveNext_PL(RULEAO_GENERAL, &line);
    }
    ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_SETTINGS);
    connection->LogOut();
    connection->Terminate();
    connection->Release();

    ASSERT_EQ(cursor, 1u);  // cursors count from 1 after every load
    const std::string c = std::to_string(cursor);
    const std::vector<std::string> expected = {
        "SetAppType 3",
        "SetUseDataType 2",
        "Initiate -> 0",
        "ExpSysLink -> 0",
        "GetSysUserObject",
        "GetCurUserID -> 0",
        "GetSelectedNo U1 -> 0",
        "GetSetObject 5 1",
        "GetDatCursor -> 0",
        "ReadyDat " + c + " 0 -> 0",
        "WalkDat " + c + " -> 0",
        "WalkDat " + c + " -> 5000",
        "ReleaseDatCursor " + c + " -> 0",
        "GetSetMgr",
        "AttachSetMgr -> 0",
        "SetCurDataID 8 -> 0",
        "GetOptLink",
        "AttachOptLink -> 0",
        "Ready 255 -> 0",
        "GetCount_PL 0 -> 5",
        "MoveFirst_PL 0 -> 0",
        "MoveNext_PL 0 -> 0",
        "GetAppFolderPath 1",
        "LogOut -> 0",
        "Terminate",
        "Release",
    };
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(log.Text().find('\r'), std::string::npos);
}

TEST_F(HostCalls, AppTypeOfTheStandardEdition)
{
    LogFile log;
    ClAccConnect::Inst()->SetAppType(ClSysEnvMgr::APP_STANDARD);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"SetAppType 0"});
}

TEST_F(HostCalls, LogTextsAreUtf8AndLinesSurviveEachCall)
{
    Load(u8R"({"user": {"id": "利用者", "selected": [1, 1]}})");
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    LogFile log;
    user->GetSelectedNo("\x97\x98\x97\x70\x8E\xD2", nullptr, nullptr);
    // Written and closed at once: the file holds the line before the next call.
    EXPECT_EQ(log.Text(), u8"GetSelectedNo 利用者 -> 87\n");
}

TEST_F(HostCalls, NoLogWithoutTheVariable)
{
    SetEnv("LEDGRA_HOST_LOG", "");
    ClAccConnect::Inst()->Terminate();  // must not fail or write anywhere
    SUCCEED();
}

// ---- faults ----

TEST_F(HostCalls, FaultOnEveryCall)
{
    Load(std::string(kFiveLines).insert(1, R"("faults": {"MoveNext_PL": 9},)"));
    ClRuleAo engine;
    Prepare(engine);
    EXPECT_EQ(Walk(engine), "0/101 9");
    EXPECT_EQ(Walk(engine), "0/101 9");
}

TEST_F(HostCalls, FaultOnTheNthCallCountsOverTheWholeRun)
{
    Load(std::string(kFiveLines).insert(1, R"("faults": {"MoveNext_PL": {"call": 3, "status": 9}},)"));
    ClRuleAo engine;
    Prepare(engine);
    EXPECT_EQ(Walk(engine), "0/101 0/102 0/103 9");
    // The fourth call is past the fault; a second engine does not restart the count.
    ClRuleAo other;
    Prepare(other);
    EXPECT_EQ(Walk(other), "0/101 0/102 0/103 0/104 0/105 5000");
}

TEST_F(HostCalls, FaultListAndFirstCall)
{
    Load(std::string(kFiveLines)
             .insert(1, R"("faults": {"MoveFirst_PL": [{"call": 1, "status": 5000}, {"call": 3, "status": 12}]},)"));
    ClRuleAo engine;
    Prepare(engine);
    EXPECT_EQ(Walk(engine), "5000");
    EXPECT_EQ(Walk(engine), "0/101 0/102 0/103 0/104 0/105 5000");
    EXPECT_EQ(Walk(engine), "12");
}

TEST_F(HostCalls, FaultCountersStartAgainAfterAReset)
{
    const std::string store = std::string(kFiveLines).insert(1, R"("faults": {"MoveFirst_PL": {"call": 1, "status": 7}},)");
    Load(store);
    ClRuleAo engine;
    Prepare(engine);
    EXPECT_EQ(Walk(engine), "7");
    EXPECT_EQ(Walk(engine).substr(0, 5), "0/101");
    Load(store);
    EXPECT_EQ(Walk(engine), "7");  // the engine keeps its binding, the count starts at 1
}

TEST_F(HostCalls, FailedReadyLeavesTheSumsUnready)
{
    Load(std::string(kFiveLines).insert(1, R"("faults": {"Ready": 7},)"));
    ClRuleAo engine;
    engine.SetCurDataID("8");
    StAOSUMCONDITION condition{};
    condition.cTarget = 255;
    EXPECT_EQ(engine.Ready(&condition), 7);
    StAOSUMINFO line{};
    EXPECT_EQ(engine.MoveFirst_PL(RULEAO_GENERAL, &line), hostsim::HOSTSIM_NOT_READY);
}

TEST_F(HostCalls, FaultOnACountIsTheCountAnswered)
{
    Load(std::string(kFiveLines)
             .insert(1, R"("faults": {"GetCount_PL": 12, "GetCount_BS_Shisan": {"call": 2, "status": 0}},)"));
    ClRuleAo engine;
    Prepare(engine);
    EXPECT_EQ(engine.GetCount_PL(RULEAO_GENERAL), 12);
    EXPECT_EQ(engine.GetCount_PL(RULEAO_REALESTATE), 12);
    EXPECT_EQ(engine.GetCount_BS_Shisan(RULEAO_GENERAL), 2);
    EXPECT_EQ(engine.GetCount_BS_Shisan(RULEAO_GENERAL), 0);
    EXPECT_EQ(engine.GetCount_BS_Shisan(RULEAO_GENERAL), 2);
}

TEST_F(HostCalls, ConnectionFaults)
{
    Load(R"({"connection": {"initiate": 0, "link": 0}, "faults": {"Initiate": 3, "ExpSysLink": {"call": 2, "status": 1},
             "LogOut": 4}})");
    EXPECT_EQ(ClAccConnect::Inst()->Initiate(), 3);
    EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), 0);
    EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), 1);
    EXPECT_EQ(ClAccConnect::Inst()->LogOut(), 4);
}

TEST_F(HostCalls, ConnectionFaultsByTheirConnectionKeys)
{
    Load(R"({"faults": {"connection.initiate": {"call": 2, "status": 8}, "connection.link": 2}})");
    EXPECT_EQ(ClAccConnect::Inst()->Initiate(), 0);
    EXPECT_EQ(ClAccConnect::Inst()->Initiate(), 8);
    EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), 2);
}

TEST_F(HostCalls, WalkAndDetailFaults)
{
    Load(std::string(kFiveLines)
             .insert(1, R"("faults": {"WalkDat": {"call": 1, "status": 5000}, "GetDataIppan": 30,
                                      "GetTsukibetsuUriageShiire": 31},)"));
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    unsigned long cursor = 0;
    set->GetDatCursor(&cursor);
    StDATAINFO info{};
    EXPECT_EQ(set->WalkDat(&info, cursor), 5000);
    EXPECT_EQ(set->WalkDat(&info, cursor), 0);
    EXPECT_EQ(info.lDataNo, 8);
    set->ReleaseDatCursor(cursor);

    ClSaveAoSiro saved;
    saved.SetCurDataID("8");
    StAOSIROSAVEINFO_IPPAN general{};
    EXPECT_EQ(saved.GetDataIppan(&general), 30);
    EXPECT_EQ(general.pBase, nullptr);  // nothing handed over on a failure
    ClRuleAo engine;
    Prepare(engine);
    StAOSUMINFO_TSUKIBETSU monthly{};
    EXPECT_EQ(engine.GetTsukibetsuUriageShiire(&monthly), 31);
}

// ---- counts ----

struct CountCase {
    const char* counts;
    long plCount;
    long assetsCount;
};

class CountOverrides : public HostCalls, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CountOverrides, ChangeOnlyTheCountNotTheList)
{
    std::string store = kFiveLines;
    store.insert(store.rfind(']'), std::string(", \"counts\": {") + GetParam().counts + "}");
    store = std::string(kFiveLines);
    const std::string marker = "\"returnKind\": 3,";
    store.insert(store.find(marker) + marker.size(), std::string(" \"counts\": {") + GetParam().counts + "},");
    Load(store);
    ClRuleAo engine;
    Prepare(engine);
    EXPECT_EQ(engine.GetCount_PL(RULEAO_GENERAL), GetParam().plCount);
    EXPECT_EQ(engine.GetCount_BS_Shisan(RULEAO_GENERAL), GetParam().assetsCount);
    EXPECT_EQ(Walk(engine), "0/101 0/102 0/103 0/104 0/105 5000");
}

const CountCase kCountCases[] = {
    {"", 5, 2},
    {"\"blue.general.pl\": 40", 40, 2},
    {"\"blue.general.pl\": 3, \"blue.general.assets\": 0", 3, 0},
    {"\"blue.general.assets\": 9, \"blue.realEstate.pl\": 1", 5, 9},
};

INSTANTIATE_TEST_SUITE_P(Cases, CountOverrides, ::testing::ValuesIn(kCountCases));

TEST_F(HostCalls, WhiteCountOverride)
{
    Load(R"({"dataSets": [{"number": 1, "white": {"realEstate": {"pl": [{"row": 19}]}},
             "counts": {"white.realEstate.pl": 4, "white.general.pl": 2}}]})");
    ClRuleSiro engine;
    engine.SetCurDataID("1");
    ASSERT_EQ(engine.Ready(), 0);
    EXPECT_EQ(engine.GetCount_PL(RULESIRO_GENERAL), 2);
    EXPECT_EQ(engine.GetCount_PL(RULESIRO_REALESTATE), 4);
    StSIROSUMINFO line{};
    EXPECT_EQ(engine.MoveFirst_PL(RULESIRO_GENERAL, &line), HOST_NO_MORE_RECORDS);
    EXPECT_EQ(engine.MoveFirst_PL(RULESIRO_REALESTATE, &line), 0);
    EXPECT_EQ(line.lRowNo, 19);
}

// ---- saved details ----

const char* const kSaved = u8R"({"dataSets": [{"number": 1, "saved": {
  "general": {"association": "青色会", "realEstateIncome": 5000000, "deduction": 1,
    "familyEmployees": [{"name": "山田 花子", "relation": "妻", "age": 52, "months": 12, "salary": 15600000000, "bonus": 1, "tax": 2}],
    "badDebt": {"individual": 11, "lumpSumTotal": 12, "lumpSumLimit": 13, "lumpSum": 14},
    "salaries": [{"name": "A"}, {}, {}, {}, {}, {"age": 2, "months": 9, "salary": 3}],
    "interest": [{"upper": "U1", "lower": "L1", "balance": 21, "interest": 22, "expense": 23}],
    "taxAccountantFees": [{"upper": "F1"}, {"upper": "F2", "lower": "L2", "fee": 31, "expense": 32, "withheld": 33}],
    "landRent": [{}, {"upper": "R", "property": "店舗", "kind": 1, "first": 41, "rent": 42, "expense": 43}],
    "specialMatters": "一行目\r\n二行目", "reducedRate": {"sales": 51, "purchases": 52},
    "sales": [{"customer": "C", "location": "P", "amount": 61}], "otherSales": 62, "salesReducedRate": 63,
    "purchases": [{}, {}, {}, {"supplier": "S4", "amount": 64}], "otherPurchases": 65, "purchasesReducedRate": 66},
  "realEstate": {"liabilityInterest": 70,
    "rentals": [{"tenantB": "B1", "area": 421500, "marker": 0}, {"tenantB": "B2", "marker": -1}, {"tenantB": "B3", "leading": 5}],
    "borrowings": [{}, {}, {"upper": "K3", "balance": 81}], "taxAccountantFees": [{}, {"lower": "Z2", "withheld": 82}],
    "salaries": [{"name": "E1", "age": 60}, {"months": 3, "salary": 83}], "otherPersons": 2,
    "familyEmployees": [{}, {"name": "F", "relation": "長男"}],
    "landRent": [{"kind": 0, "first": 84}], "specialMatters": "特記",
    "repairs": [{}, {}, {"work": "外壁", "date": 20190630, "paid": 85, "expense": 86}],
    "scale": {"residential": {"detached": 1, "other": 2, "landContracts": 3, "landArea": 4},
              "nonResidential": {"detached": 5, "other": 6, "landContracts": 7, "landArea": 8},
              "parking": {"roofed": 9, "open": 10}}}
}}]})";

TEST_F(HostCalls, GeneralDetailsLandInTheirBlocks)
{
    Load(kSaved);
    ClSaveAoSiro saved;
    saved.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    ASSERT_EQ(saved.SetCurDataID("1"), 0);
    StAOSIROSAVEINFO_IPPAN g{};
    ASSERT_EQ(saved.GetDataIppan(&g), 0);
    ASSERT_TRUE(g.pBase && g.pFamily && g.pSalary && g.pPayee && g.pLandRent && g.pNotes && g.pTrade);
    EXPECT_STREQ(g.pBase->szAssociation, "青色会");
    EXPECT_EQ(g.pBase->llRealEstateIncome, 5000000);
    EXPECT_EQ(g.pBase->cDeduction, 1);
    EXPECT_STREQ(g.pFamily->family[0].szName, "山田 花子");
    EXPECT_STREQ(g.pFamily->family[0].szRelation, "妻");
    EXPECT_EQ(g.pFamily->family[0].llSalary, 15600000000LL);
    EXPECT_STREQ(g.pFamily->family[1].szName, "");
    EXPECT_EQ(g.pFamily->llBadDebtIndividual, 11);
    EXPECT_EQ(g.pFamily->llBadDebtLumpSumTotal, 12);
    EXPECT_EQ(g.pFamily->llBadDebtLumpSumLimit, 13);
    EXPECT_EQ(g.pFamily->llBadDebtLumpSum, 14);
    EXPECT_STREQ(g.pSalary->salary[0].szName, "A");
    EXPECT_EQ(g.pSalary->salary[5].lAge, 2);  // the others row: persons in the age field
    EXPECT_EQ(g.pSalary->salary[5].lMonths, 9);
    EXPECT_EQ(g.pSalary->salary[5].llSalary, 3);
    // Interest rows in slots 1-2, fee rows in slots 3-4.
    EXPECT_STREQ(g.pPayee->payee[0].szUpper, "U1");
    EXPECT_EQ(g.pPayee->payee[0].llAmount[0], 21);
    EXPECT_EQ(g.pPayee->payee[0].llAmount[2], 23);
    EXPECT_STREQ(g.pPayee->payee[2].szUpper, "F1");
    EXPECT_STREQ(g.pPayee->payee[3].szLower, "L2");
    EXPECT_EQ(g.pPayee->payee[3].llAmount[0], 31);
    EXPECT_EQ(g.pPayee->payee[3].llAmount[1], 32);
    EXPECT_EQ(g.pPayee->payee[3].llAmount[2], 33);
    EXPECT_STREQ(g.pLandRent->landRent[1].szProperty, "店舗");
    EXPECT_EQ(g.pLandRent->landRent[1].cMoneyKind, 1);
    EXPECT_EQ(g.pLandRent->landRent[1].llAmount[0], 41);
    EXPECT_EQ(g.pLandRent->landRent[1].llAmount[2], 43);
    EXPECT_STREQ(g.pNotes->szSpecialMatters, "一行目\r\n二行目");
    EXPECT_EQ(g.pNotes->llReducedRateSales, 51);
    EXPECT_EQ(g.pNotes->llReducedRatePurchases, 52);
    EXPECT_STREQ(g.pTrade->sales[0].szName, "C");
    EXPECT_STREQ(g.pTrade->sales[0].szLocation, "P");
    EXPECT_EQ(g.pTrade->sales[0].llAmount, 61);
    EXPECT_EQ(g.pTrade->llOtherSales, 62);
    EXPECT_EQ(g.pTrade->llSalesReducedRate, 63);
    EXPECT_STREQ(g.pTrade->purchases[3].szName, "S4");
    EXPECT_EQ(g.pTrade->llOtherPurchases, 65);
    EXPECT_EQ(g.pTrade->llPurchasesReducedRate, 66);
    for (void* block : {static_cast<void*>(g.pBase), static_cast<void*>(g.pFamily), static_cast<void*>(g.pSalary),
                        static_cast<void*>(g.pPayee), static_cast<void*>(g.pLandRent), static_cast<void*>(g.pNotes),
                        static_cast<void*>(g.pTrade)})
        platform::TaskMemFree(block);
}

TEST_F(HostCalls, RealEstateDetailsLandInTheirBlocks)
{
    Load(kSaved);
    ClSaveAoSiro saved;
    ASSERT_EQ(saved.SetCurDataID("1"), 0);
    StAOSIROSAVEINFO_FUDOUSAN r{};
    ASSERT_EQ(saved.GetDataFudousan(&r), 0);
    ASSERT_TRUE(r.pBase && r.pRentals && r.pPayee && r.pEmployee && r.pLandRent && r.pNotes && r.pRepair && r.pScale);
    EXPECT_EQ(r.pBase->llLiabilityInterest, 70);
    // All rentals as stored, the -1 row among them kept, then the stand-in's own end row.
    EXPECT_STREQ(r.pRentals[0].szTenantB, "B1");
    EXPECT_EQ(r.pRentals[0].lMarker, 0);
    EXPECT_EQ(r.pRentals[0].llArea, 421500);
    EXPECT_STREQ(r.pRentals[1].szTenantB, "B2");
    EXPECT_EQ(r.pRentals[1].lMarker, -1);
    EXPECT_STREQ(r.pRentals[2].szTenantB, "B3");
    EXPECT_EQ(r.pRentals[2].lLeading, 5);
    EXPECT_EQ(r.pRentals[3].lMarker, -1);
    EXPECT_STREQ(r.pRentals[3].szTenantB, "");
    // Borrowings in slots 1-3, fee rows in slots 4-5.
    EXPECT_STREQ(r.pPayee->payee[2].szUpper, "K3");
    EXPECT_EQ(r.pPayee->payee[2].llAmount[0], 81);
    EXPECT_STREQ(r.pPayee->payee[4].szLower, "Z2");
    EXPECT_EQ(r.pPayee->payee[4].llAmount[2], 82);
    EXPECT_STREQ(r.pEmployee->salary[0].szName, "E1");
    EXPECT_EQ(r.pEmployee->salary[1].lMonths, 3);
    EXPECT_EQ(r.pEmployee->salary[1].llSalary, 83);
    EXPECT_EQ(r.pEmployee->lOtherPersons, 2);
    EXPECT_STREQ(r.pEmployee->family[1].szRelation, "長男");
    EXPECT_EQ(r.pLandRent->landRent[0].llAmount[0], 84);
    EXPECT_STREQ(r.pNotes->szSpecialMatters, "特記");
    EXPECT_STREQ(r.pRepair->repair[2].szWork, "外壁");
    EXPECT_EQ(r.pRepair->repair[2].lDate, 20190630);
    EXPECT_EQ(r.pRepair->repair[2].llPaid, 85);
    EXPECT_EQ(r.pRepair->repair[2].llExpense, 86);
    EXPECT_EQ(r.pScale->residential.lDetached, 1);
    EXPECT_EQ(r.pScale->residential.lOtherBuildings, 2);
    EXPECT_EQ(r.pScale->residential.lLandContracts, 3);
    EXPECT_EQ(r.pScale->residential.llLandArea, 4);
    EXPECT_EQ(r.pScale->nonResidential.lDetached, 5);
    EXPECT_EQ(r.pScale->nonResidential.llLandArea, 8);
    EXPECT_EQ(r.pScale->lParkingRoofed, 9);
    EXPECT_EQ(r.pScale->lParkingOpen, 10);
    for (void* block : {static_cast<void*>(r.pBase), static_cast<void*>(r.pRentals), static_cast<void*>(r.pPayee),
                        static_cast<void*>(r.pEmployee), static_cast<void*>(r.pLandRent), static_cast<void*>(r.pNotes),
                        static_cast<void*>(r.pRepair), static_cast<void*>(r.pScale)})
        platform::TaskMemFree(block);
}

TEST_F(HostCalls, NoRentalsIsJustTheEndRow)
{
    Load(R"({"dataSets": [{"number": 1}]})");
    ClSaveAoSiro saved;
    saved.SetCurDataID("1");
    StAOSIROSAVEINFO_FUDOUSAN r{};
    ASSERT_EQ(saved.GetDataFudousan(&r), 0);
    EXPECT_EQ(r.pRentals[0].lMarker, -1);
    EXPECT_EQ(r.pScale->lParkingOpen, 0);
    for (void* block : {static_cast<void*>(r.pBase), static_cast<void*>(r.pRentals), static_cast<void*>(r.pPayee),
                        static_cast<void*>(r.pEmployee), static_cast<void*>(r.pLandRent), static_cast<void*>(r.pNotes),
                        static_cast<void*>(r.pRepair), static_cast<void*>(r.pScale)})
        platform::TaskMemFree(block);
}

TEST_F(HostCalls, EachAnswerHandsOverFreshBlocks)
{
    Load(kSaved);
    ClSaveAoSiro saved;
    saved.SetCurDataID("1");
    StAOSIROSAVEINFO_IPPAN a{}, b{};
    ASSERT_EQ(saved.GetDataIppan(&a), 0);
    ASSERT_EQ(saved.GetDataIppan(&b), 0);
    EXPECT_NE(a.pNotes, b.pNotes);
    a.pNotes->szSpecialMatters[0] = 'X';  // the caller's copy is its own
    EXPECT_NE(b.pNotes->szSpecialMatters[0], 'X');
    for (StAOSIROSAVEINFO_IPPAN* g : {&a, &b})
        for (void* block : {static_cast<void*>(g->pBase), static_cast<void*>(g->pFamily), static_cast<void*>(g->pSalary),
                            static_cast<void*>(g->pPayee), static_cast<void*>(g->pLandRent),
                            static_cast<void*>(g->pNotes), static_cast<void*>(g->pTrade)})
            platform::TaskMemFree(block);
}

TEST_F(HostCalls, DetailsOfAnUnboundOrUnknownDataSetFail)
{
    Load(kSaved);
    ClSaveAoSiro saved;
    StAOSIROSAVEINFO_IPPAN g{};
    EXPECT_EQ(saved.GetDataIppan(&g), hostsim::HOSTSIM_NO_DATA_SET);
    EXPECT_EQ(saved.SetCurDataID("2"), hostsim::HOSTSIM_NO_DATA_SET);
    EXPECT_EQ(saved.GetDataIppan(&g), hostsim::HOSTSIM_NO_DATA_SET);
    EXPECT_EQ(saved.GetDataIppan(nullptr), hostsim::HOSTSIM_BAD_ARGUMENT);
    EXPECT_EQ(g.pBase, nullptr);
}

// ---- message box ----

class RecordingBoxes : public platform::IMessageBoxes {
public:
    int Show(HWND owner, const std::string& text, const std::string& caption, unsigned type) override
    {
        shown.push_back({owner, text, caption, type});
        return 6;  // IDYES
    }
    struct Box {
        HWND owner;
        std::string text;
        std::string caption;
        unsigned type;
    };
    std::vector<Box> shown;
};

class HostMessageBox : public HostCalls {
protected:
    RecordingBoxes boxes_;
    fakes::ScopedServices installed_{&boxes_};
};

TEST_F(HostMessageBox, PlaceholderBecomesTheProductName)
{
    char text[] = "ES_APRPACKAGENAMEの定義ファイルがありません。\nES_APRPACKAGENAMEを確認してください。";
    char caption[] = "所得税";
    LogFile log;
    EXPECT_EQ(ClAccConnect::Inst()->DispMsg(nullptr, text, caption, 0x30), 6u);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].owner, nullptr);
    EXPECT_EQ(boxes_.shown[0].text, "Taxvaneの定義ファイルがありません。\nTaxvaneを確認してください。");
    EXPECT_EQ(boxes_.shown[0].caption, "所得税");
    EXPECT_EQ(boxes_.shown[0].type, 0x30u);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"DispMsg 48 -> 6"});
}

TEST_F(HostMessageBox, PlaceholderBytesInsideACharacterAreLeftAlone)
{
    // 83 45 is one character whose trail byte is 'E': no placeholder starts there.
    char text[] = "\x83\x45S_APRPACKAGENAME";
    char caption[] = "c";
    ClAccConnect::Inst()->DispMsg(nullptr, text, caption, 0x30);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "\x83\x45S_APRPACKAGENAME");
}

TEST_F(HostMessageBox, CaptionDefaultsToTheConnectionsCaption)
{
    ClAccConnect::Inst()->m_pszCaption = "所得税";
    char text[] = "t";
    ClAccConnect::Inst()->DispMsg(nullptr, text, nullptr, 0x40);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].caption, "所得税");
    hostsim::ResetForTests();
    EXPECT_EQ(ClAccConnect::Inst()->m_pszCaption, nullptr);
}

TEST_F(HostCalls, MessageBoxWithoutTheServiceGoesToStderr)
{
    fakes::ScopedServices noBoxes(static_cast<platform::IMessageBoxes*>(nullptr));
    char text[] = "ES_APRPACKAGENAME";
    char caption[] = "cap";
    testing::internal::CaptureStderr();
    EXPECT_EQ(ClAccConnect::Inst()->DispMsg(nullptr, text, caption, 0x30), 1u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[cap] Taxvane\n");
}

}  // namespace
