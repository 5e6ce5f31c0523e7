// The stand-in's connection, user, data-set walk and engines against small stores.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/host.h"
#include "hostsim/hostsim.h"
#include "platform/services.h"

namespace {

const char* const kStore = R"json({
  "connection": {"initiate": 0, "link": 0},
  "user": {"id": "USER01", "selected": [1, 7]},
  "folders": {"output": "C:\\out\\", "settings": "C:\\set\\"},
  "dataSets": [
    {"number": 7, "company": "first", "returnKind": 3, "businessKind": 3,
     "blue": {"general": {"pl": [{"row": 1, "code": 101, "name": "sales", "amount": 10000},
                                 {"row": 2, "code": 104, "name": "stock", "begin": 5, "amount": 20000}],
                          "manufacturing": [{"row": 1, "code": 301, "amount": 7}]},
              "realEstate": {"pl": [{"row": 21, "code": 121, "amount": 99}]},
              "monthly": [1, 2, 3]},
     "white": {"general": {"pl": [{"row": 37, "code": 41, "name": "deduction", "amount": 5}]}},
     "counts": {"blue.general.pl": 40}},
    {"number": 7, "company": "second", "returnKind": 4}
  ]
})json";

class HostEngines : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(hostsim::LoadStoreFromText(kStore)) << hostsim::StoreError(); }
    void TearDown() override { hostsim::ResetForTests(); }

    // The id text of the selected data set, as the collector binds it.
    static std::string SelectedId()
    {
        ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
        return set->GetSelectedInfo()->szDataId;
    }

    static void Bind(ClRuleAo& engine)
    {
        ASSERT_EQ(engine.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr()), 0);
        ASSERT_EQ(engine.SetCurDataID(SelectedId().c_str()), 0);
        ASSERT_EQ(engine.AttachOptLink(ClLinkMgr::Inst()->GetOptLink()), 0);
    }

    static StAOSUMCONDITION Everything()
    {
        StAOSUMCONDITION condition{};
        condition.cTarget = 255;
        return condition;
    }
};

TEST_F(HostEngines, UserAndSelection)
{
    char id[65] = "garbage";
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    EXPECT_EQ(user->GetCurUserID(id), 0);
    EXPECT_STREQ(id, "USER01");
    long first = -1, second = -1;
    EXPECT_EQ(user->GetSelectedNo(id, &first, &second), 0);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 7);
    EXPECT_EQ(user->GetSelectedNo("OTHER", &first, &second), hostsim::HOSTSIM_UNKNOWN_USER);
    EXPECT_EQ(second, 0);
}

TEST_F(HostEngines, WalkDeliversDataSetsInOrderThenEnds)
{
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(ClDataMgr::Inst()->GetSetObject(4, 1), nullptr);
    unsigned long cursor = 0;
    ASSERT_EQ(set->GetDatCursor(&cursor), 0);
    ASSERT_EQ(set->ReadyDat(cursor, 0), 0);
    StDATAINFO info{};
    ASSERT_EQ(set->WalkDat(&info, cursor), 0);
    EXPECT_STREQ(info.szCompanyName, "first");
    EXPECT_STREQ(info.szDataId, "7");
    EXPECT_EQ(info.cReturnKind, 3);
    EXPECT_EQ(info.cBusinessKind, 3);
    ASSERT_EQ(set->WalkDat(&info, cursor), 0);
    EXPECT_STREQ(info.szCompanyName, "second");
    EXPECT_STREQ(info.szDataId, "7#2");  // same number, still an id of its own
    EXPECT_EQ(set->WalkDat(&info, cursor), HOST_NO_MORE_RECORDS);
    EXPECT_EQ(set->ReleaseDatCursor(cursor), 0);
    EXPECT_EQ(set->WalkDat(&info, cursor), hostsim::HOSTSIM_NO_WALK);
}

TEST_F(HostEngines, SelectedInfoIsTheFirstMatch)
{
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    EXPECT_STREQ(set->GetSelectedInfo()->szCompanyName, "first");
}

TEST_F(HostEngines, SelectedInfoWithoutMatchIsAnEmptyRecordThatBindsNothing)
{
    ASSERT_TRUE(hostsim::LoadStoreFromText(R"({"user": {"id": "U", "selected": [1, 99]}, "dataSets": [{"number": 1}]})"));
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    StDATAINFO* info = set->GetSelectedInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->szDataId, "");
    ClRuleAo engine;
    EXPECT_EQ(engine.SetCurDataID(info->szDataId), hostsim::HOSTSIM_NO_DATA_SET);
    StAOSUMCONDITION condition = Everything();
    EXPECT_EQ(engine.Ready(&condition), hostsim::HOSTSIM_NO_DATA_SET);
}

TEST_F(HostEngines, FoldersByType)
{
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_OUTPUT), "C:\\out\\");
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_SETTINGS), "C:\\set\\");
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(static_cast<ClFileMgr::_FolderType>(7)), "");
}

TEST_F(HostEngines, BlueListsWalkToTheEnd)
{
    ClRuleAo engine;
    Bind(engine);
    StAOSUMCONDITION condition = Everything();
    ASSERT_EQ(engine.Ready(&condition), 0);
    EXPECT_EQ(engine.GetCount_PL(RULEAO_GENERAL), 40);  // overridden
    EXPECT_EQ(engine.GetCount_PL(RULEAO_REALESTATE), 1);
    EXPECT_EQ(engine.GetCount_BS_Shisan(RULEAO_GENERAL), 0);
    EXPECT_EQ(engine.GetCount_SeizoGenka(), 1);

    StAOSUMINFO line{};
    ASSERT_EQ(engine.MoveFirst_PL(RULEAO_GENERAL, &line), 0);
    EXPECT_EQ(line.lRowNo, 1);
    EXPECT_EQ(line.lLineCode, 101);
    EXPECT_STREQ(line.szAccountName, "sales");
    EXPECT_EQ(line.llAmount, 10000);
    ASSERT_EQ(engine.MoveNext_PL(RULEAO_GENERAL, &line), 0);
    EXPECT_EQ(line.lLineCode, 104);
    EXPECT_EQ(line.llBeginAmount, 5);
    EXPECT_EQ(engine.MoveNext_PL(RULEAO_GENERAL, &line), HOST_NO_MORE_RECORDS);
    EXPECT_EQ(engine.MoveNext_PL(RULEAO_GENERAL, &line), HOST_NO_MORE_RECORDS);
    // An empty list answers 5000 at once.
    EXPECT_EQ(engine.MoveFirst_BS_Shisan(RULEAO_GENERAL, &line), HOST_NO_MORE_RECORDS);
    ASSERT_EQ(engine.MoveFirst_PL(RULEAO_REALESTATE, &line), 0);
    EXPECT_EQ(line.lRowNo, 21);
    EXPECT_EQ(line.llAmount, 99);
}

TEST_F(HostEngines, SumsNeedReadyAndAKnownSumType)
{
    ClRuleAo engine;
    Bind(engine);
    StAOSUMINFO line{};
    EXPECT_EQ(engine.MoveFirst_PL(RULEAO_GENERAL, &line), hostsim::HOSTSIM_NOT_READY);
    EXPECT_EQ(engine.GetCount_PL(RULEAO_GENERAL), 0);
    StAOSUMCONDITION wrong{};
    EXPECT_EQ(engine.Ready(&wrong), hostsim::HOSTSIM_BAD_ARGUMENT);
    EXPECT_EQ(engine.Ready(nullptr), hostsim::HOSTSIM_BAD_ARGUMENT);
    StAOSUMCONDITION condition = Everything();
    ASSERT_EQ(engine.Ready(&condition), 0);
    EXPECT_EQ(engine.MoveFirst_PL(static_cast<_RuleAoSumType>(2), &line), hostsim::HOSTSIM_BAD_ARGUMENT);
    EXPECT_EQ(engine.MoveNext_SeizoGenka(&line), hostsim::HOSTSIM_NO_WALK);
    EXPECT_EQ(engine.MoveFirst_PL(RULEAO_GENERAL, nullptr), hostsim::HOSTSIM_BAD_ARGUMENT);
}

TEST_F(HostEngines, NullHandlesAndIdsAreRefused)
{
    ClRuleAo engine;
    EXPECT_EQ(engine.AttachSetMgr(nullptr), hostsim::HOSTSIM_BAD_ARGUMENT);
    EXPECT_EQ(engine.AttachOptLink(nullptr), hostsim::HOSTSIM_BAD_ARGUMENT);
    EXPECT_EQ(engine.SetCurDataID(nullptr), hostsim::HOSTSIM_BAD_ARGUMENT);
    StAOSUMINFO_TSUKIBETSU monthly{};
    EXPECT_EQ(engine.GetTsukibetsuUriageShiire(&monthly), hostsim::HOSTSIM_NO_DATA_SET);
    ClSaveAoSiro saved;
    EXPECT_EQ(saved.AttachSetMgr(nullptr), hostsim::HOSTSIM_BAD_ARGUMENT);
}

TEST_F(HostEngines, MonthlyRecordMissingSlotsAreZero)
{
    ClRuleAo engine;
    Bind(engine);
    StAOSUMCONDITION condition = Everything();
    ASSERT_EQ(engine.Ready(&condition), 0);
    StAOSUMINFO_TSUKIBETSU monthly;
    std::memset(&monthly, 0x5A, sizeof monthly);
    ASSERT_EQ(engine.GetTsukibetsuUriageShiire(&monthly), 0);
    EXPECT_EQ(monthly.llSlot[0], 1);
    EXPECT_EQ(monthly.llSlot[2], 3);
    for (int i = 3; i < 27; ++i) EXPECT_EQ(monthly.llSlot[i], 0) << "slot " << i;
}

TEST_F(HostEngines, WhiteEngineServesTheWhiteLists)
{
    ClRuleSiro engine;
    ASSERT_EQ(engine.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr()), 0);
    ASSERT_EQ(engine.SetCurDataID(SelectedId().c_str()), 0);
    ASSERT_EQ(engine.AttachOptLink(ClLinkMgr::Inst()->GetOptLink()), 0);
    ASSERT_EQ(engine.Ready(), 0);
    EXPECT_EQ(engine.GetCount_PL(RULESIRO_GENERAL), 1);
    EXPECT_EQ(engine.GetCount_PL(RULESIRO_REALESTATE), 0);
    StSIROSUMINFO line{};
    ASSERT_EQ(engine.MoveFirst_PL(RULESIRO_GENERAL, &line), 0);
    EXPECT_EQ(line.lRowNo, 37);
    EXPECT_EQ(line.lLineCode, 41);
    EXPECT_STREQ(line.szAccountName, "deduction");
    EXPECT_EQ(engine.MoveNext_PL(RULESIRO_GENERAL, &line), HOST_NO_MORE_RECORDS);
    EXPECT_EQ(engine.MoveFirst_PL(RULESIRO_REALESTATE, &line), HOST_NO_MORE_RECORDS);
}

TEST_F(HostEngines, ConnectionAnswersFromTheStore)
{
    ASSERT_TRUE(hostsim::LoadStoreFromText(R"({"connection": {"initiate": 0, "link": 2}})"));
    EXPECT_EQ(ClAccConnect::Inst()->Initiate(), 0);
    EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), 2);
    EXPECT_EQ(ClAccConnect::Inst()->LogOut(), 0);
    ASSERT_TRUE(hostsim::LoadStoreFromText(R"({"connection": {"initiate": 6}})"));
    EXPECT_EQ(ClAccConnect::Inst()->Initiate(), 6);
    EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), 0);
}

TEST_F(HostEngines, StoreErrorFailsInitiate)
{
    EXPECT_FALSE(hostsim::LoadStoreFromText(R"({"user": {"idd": "x"}})"));
    EXPECT_EQ(hostsim::StoreError(), "user.idd: unknown key");
    testing::internal::CaptureStderr();
    EXPECT_NE(ClAccConnect::Inst()->Initiate(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "host data store: user.idd: unknown key\n");
}

}  // namespace

namespace {

TEST(HostSample, BuiltInSampleLoadsWithoutLedgraHostData)
{
    ASSERT_TRUE(hostsim::LoadStoreFromText(hostsim::BuiltInSample())) << hostsim::StoreError();
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    const StDATAINFO* info = set->GetSelectedInfo();
    EXPECT_EQ(info->lDataNo, 5);
    EXPECT_STREQ(info->szCompanyName, "山田ベーカリー");
    EXPECT_EQ(info->cReturnKind, 3);
    EXPECT_EQ(info->cBusinessKind, 3);
    hostsim::ResetForTests();
}

}  // namespace
