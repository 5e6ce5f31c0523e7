// The built-in sample company fills every form: each statement code the report looks up
// is served, the special rows stand where the collector expects them, and every
// saved-details block holds something.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host/host.h"
#include "hostsim/hostsim.h"
#include "platform/services.h"

namespace {

std::vector<StAOSUMINFO> BlueList(ClRuleAo& engine, const char* which, _RuleAoSumType type)
{
    std::vector<StAOSUMINFO> lines;
    StAOSUMINFO line{};
    const std::string w = which;
    long status = w == "pl" ? engine.MoveFirst_PL(type, &line)
                  : w == "assets" ? engine.MoveFirst_BS_Shisan(type, &line)
                  : w == "liabilities" ? engine.MoveFirst_BS_FusaiShihon(type, &line)
                                       : engine.MoveFirst_SeizoGenka(&line);
    while (status == 0) {
        lines.push_back(line);
        status = w == "pl" ? engine.MoveNext_PL(type, &line)
                 : w == "assets" ? engine.MoveNext_BS_Shisan(type, &line)
                 : w == "liabilities" ? engine.MoveNext_BS_FusaiShihon(type, &line)
                                      : engine.MoveNext_SeizoGenka(&line);
    }
    EXPECT_EQ(status, HOST_NO_MORE_RECORDS) << which;
    return lines;
}

std::vector<StAOSUMINFO> WhiteList(ClRuleSiro& engine, _RuleSiroSumType type)
{
    std::vector<StAOSUMINFO> lines;
    StSIROSUMINFO line{};
    for (long status = engine.MoveFirst_PL(type, &line); status == 0; status = engine.MoveNext_PL(type, &line)) {
        StAOSUMINFO copy{};
        copy.lRowNo = line.lRowNo;
        copy.lLineCode = line.lLineCode;
        std::memcpy(copy.szAccountName, line.szAccountName, sizeof copy.szAccountName);
        copy.llAmount = line.llAmount;
        lines.push_back(copy);
    }
    return lines;
}

std::set<int> Codes(const std::vector<StAOSUMINFO>& lines)
{
    std::set<int> codes;
    for (const StAOSUMINFO& line : lines) codes.insert(line.lLineCode);
    return codes;
}

std::vector<int> Range(int from, int to)
{
    std::vector<int> out;
    for (int i = from; i <= to; ++i) out.push_back(i);
    return out;
}

// Codes the statement tables of the report look up, without the ones the collector sets
// itself (999 and 998 come from rows 24, 37 and 19).
const std::vector<int> kBlueGeneralIncome = {101, 104, 105, 106, 108, 109, 110, 111, 112, 113, 114, 115,
                                             116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127,
                                             128, 129, 130, 131, 135, 136, 137, 140, 141, 142, 143};
const std::vector<int> kManufacturing = {301, 302, 304, 306, 307, 308, 309, 310, 311, 312,
                                         313, 314, 315, 316, 317, 318, 319, 320, 323, 325};
const std::vector<int> kWhiteGeneral = {1,  2,  3,  5,  6,  8,  11, 12, 13, 14, 15, 16, 21, 22, 23,
                                        24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37};
const std::vector<int> kBlueRealEstate = {101, 102, 103, 105, 106, 107, 108, 109,
                                          110, 111, 112, 113, 114, 115, 116, 117, 120};
const std::vector<int> kWhiteRealEstate = {1, 2, 3, 6, 7, 8, 9, 10, 21, 22, 23, 24, 25};

void ExpectCodes(const std::vector<StAOSUMINFO>& lines, const std::vector<int>& wanted, const char* list)
{
    std::set<int> codes = Codes(lines);
    for (int code : wanted) EXPECT_TRUE(codes.count(code)) << list << " lacks code " << code;
}

const StAOSUMINFO* Row(const std::vector<StAOSUMINFO>& lines, int row)
{
    for (const StAOSUMINFO& line : lines)
        if (line.lRowNo == row) return &line;
    return nullptr;
}

bool AnyByteSet(const void* block, std::size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(block);
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i]) return true;
    return false;
}

class HostSampleCompany : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(hostsim::LoadStoreFromText(hostsim::BuiltInSample())) << hostsim::StoreError(); }
    void TearDown() override { hostsim::ResetForTests(); }

    static std::string SelectedId()
    {
        ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
        return set->GetSelectedInfo()->szDataId;
    }
};

TEST_F(HostSampleCompany, IsABlueBusinessWithRealEstate)
{
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    const StDATAINFO* info = set->GetSelectedInfo();
    EXPECT_EQ(info->lDataNo, 5);
    EXPECT_EQ(info->cReturnKind, 3);
    EXPECT_EQ(info->cBusinessKind, 3);
    EXPECT_NE(info->ulMfgCost, 0u);
    EXPECT_NE(info->sDataKind, 99);
    EXPECT_EQ(info->lPeriodStart, 20190101);
    EXPECT_EQ(info->lPeriodEnd, 20191231);
    char user[65] = {};
    ClDataMgr::Inst()->GetSysUserObject()->GetCurUserID(user);
    long first = 0, second = 0;
    EXPECT_EQ(ClDataMgr::Inst()->GetSysUserObject()->GetSelectedNo(user, &first, &second), 0);
    EXPECT_EQ(second, 5);
    EXPECT_STRNE(ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_OUTPUT), "");
    EXPECT_STRNE(ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_SETTINGS), "");
}

TEST_F(HostSampleCompany, BlueListsCarryEveryCodeAndTheSpecialRows)
{
    ClRuleAo engine;
    engine.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    ASSERT_EQ(engine.SetCurDataID(SelectedId().c_str()), 0);
    engine.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
    StAOSUMCONDITION condition{};
    condition.cTarget = 255;
    ASSERT_EQ(engine.Ready(&condition), 0);

    std::vector<StAOSUMINFO> pl = BlueList(engine, "pl", RULEAO_GENERAL);
    EXPECT_EQ(engine.GetCount_PL(RULEAO_GENERAL), static_cast<long>(pl.size()));
    ASSERT_GE(pl.size(), 43u);
    EXPECT_EQ(pl[0].lRowNo, 1);
    EXPECT_EQ(pl[0].lLineCode, 101);
    EXPECT_STREQ(pl[42].szAccountName, "青色申告特別控除前の所得金額");
    ExpectCodes(pl, kBlueGeneralIncome, "blue general pl");

    std::vector<StAOSUMINFO> assets = BlueList(engine, "assets", RULEAO_GENERAL);
    ExpectCodes(assets, Range(201, 224), "blue general assets");
    std::vector<StAOSUMINFO> liabilities = BlueList(engine, "liabilities", RULEAO_GENERAL);
    ExpectCodes(liabilities, Range(225, 247), "blue general liabilities");
    ASSERT_NE(Row(liabilities, 24), nullptr);
    // Row 24 is the income before the special deduction: the income statement's 43rd line.
    EXPECT_EQ(Row(liabilities, 24)->llAmount, pl[42].llAmount);
    std::vector<StAOSUMINFO> manufacturing = BlueList(engine, "manufacturing", RULEAO_GENERAL);
    ExpectCodes(manufacturing, kManufacturing, "manufacturing");

    std::vector<StAOSUMINFO> realEstate = BlueList(engine, "pl", RULEAO_REALESTATE);
    ExpectCodes(realEstate, kBlueRealEstate, "blue real-estate pl");
    ASSERT_NE(Row(realEstate, 21), nullptr);
    EXPECT_GT(Row(realEstate, 21)->llAmount, 0);
    ExpectCodes(BlueList(engine, "assets", RULEAO_REALESTATE), Range(201, 224), "blue real-estate assets");
    std::vector<StAOSUMINFO> reLiabilities = BlueList(engine, "liabilities", RULEAO_REALESTATE);
    ExpectCodes(reLiabilities, Range(225, 247), "blue real-estate liabilities");
    ASSERT_NE(Row(reLiabilities, 24), nullptr);
    EXPECT_EQ(Row(reLiabilities, 24)->llAmount, Row(realEstate, 21)->llAmount);

    StAOSUMINFO_TSUKIBETSU monthly{};
    ASSERT_EQ(engine.GetTsukibetsuUriageShiire(&monthly), 0);
    int64_t sales = 0;
    for (int i = 0; i <= 13; ++i) sales += monthly.llSlot[i];
    EXPECT_EQ(monthly.llSlot[14], sales);
    EXPECT_EQ(sales, pl[0].llAmount);
    for (int i = 0; i < 27; ++i) EXPECT_NE(monthly.llSlot[i], 0) << "slot " << i;
}

TEST_F(HostSampleCompany, WhiteListsCarryEveryCodeAndTheSpecialRows)
{
    ClRuleSiro engine;
    engine.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    ASSERT_EQ(engine.SetCurDataID(SelectedId().c_str()), 0);
    ASSERT_EQ(engine.Ready(), 0);
    std::vector<StAOSUMINFO> general = WhiteList(engine, RULESIRO_GENERAL);
    ExpectCodes(general, kWhiteGeneral, "white general pl");
    ASSERT_NE(Row(general, 37), nullptr);
    EXPECT_STREQ(Row(general, 37)->szAccountName, "専従者控除");
    std::vector<StAOSUMINFO> realEstate = WhiteList(engine, RULESIRO_REALESTATE);
    ExpectCodes(realEstate, kWhiteRealEstate, "white real-estate pl");
    ASSERT_NE(Row(realEstate, 19), nullptr);
    EXPECT_STREQ(Row(realEstate, 19)->szAccountName, "専従者控除");
}

TEST_F(HostSampleCompany, EverySavedDetailsBlockIsFilled)
{
    ClSaveAoSiro saved;
    saved.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    ASSERT_EQ(saved.SetCurDataID(SelectedId().c_str()), 0);
    StAOSIROSAVEINFO_IPPAN g{};
    ASSERT_EQ(saved.GetDataIppan(&g), 0);
    EXPECT_TRUE(AnyByteSet(g.pBase, sizeof *g.pBase));
    EXPECT_TRUE(AnyByteSet(g.pFamily, sizeof *g.pFamily));
    EXPECT_TRUE(AnyByteSet(g.pSalary, sizeof *g.pSalary));
    EXPECT_NE(g.pSalary->salary[5].lAge, 0);  // others row of the blue form
    EXPECT_NE(g.pPayee->payee[0].llAmount[1], 0);
    EXPECT_NE(g.pPayee->payee[2].llAmount[0], 0);
    EXPECT_NE(g.pLandRent->landRent[0].llAmount[1], 0);
    EXPECT_NE(std::strstr(g.pNotes->szSpecialMatters, "\r\n"), nullptr);
    EXPECT_NE(g.pNotes->llReducedRateSales, 0);
    EXPECT_NE(g.pTrade->sales[3].llAmount, 0);
    EXPECT_NE(g.pTrade->purchases[3].llAmount, 0);
    EXPECT_NE(g.pFamily->llBadDebtLumpSum, 0);
    EXPECT_EQ(g.pBase->cDeduction, 1);

    StAOSIROSAVEINFO_FUDOUSAN r{};
    ASSERT_EQ(saved.GetDataFudousan(&r), 0);
    EXPECT_NE(r.pBase->llLiabilityInterest, 0);
    int rentals = 0;
    while (r.pRentals[rentals].lMarker != -1) ++rentals;
    EXPECT_GE(rentals, 3);
    EXPECT_NE(r.pPayee->payee[0].llAmount[0], 0);
    EXPECT_NE(r.pPayee->payee[3].llAmount[0], 0);
    EXPECT_STRNE(r.pEmployee->salary[0].szName, "");
    EXPECT_NE(r.pEmployee->lOtherPersons, 0);
    EXPECT_STRNE(r.pEmployee->family[0].szName, "");
    EXPECT_NE(r.pLandRent->landRent[0].llAmount[1], 0);
    EXPECT_NE(std::strstr(r.pNotes->szSpecialMatters, "\r\n"), nullptr);
    EXPECT_NE(r.pRepair->repair[0].lDate, 0);
    EXPECT_NE(r.pScale->lParkingOpen, 0);
    EXPECT_NE(r.pScale->nonResidential.llLandArea, 0);

    for (void* block : {static_cast<void*>(g.pBase), static_cast<void*>(g.pFamily), static_cast<void*>(g.pSalary),
                        static_cast<void*>(g.pPayee), static_cast<void*>(g.pLandRent), static_cast<void*>(g.pNotes),
                        static_cast<void*>(g.pTrade), static_cast<void*>(r.pBase), static_cast<void*>(r.pRentals),
                        static_cast<void*>(r.pPayee), static_cast<void*>(r.pEmployee), static_cast<void*>(r.pLandRent),
                        static_cast<void*>(r.pNotes), static_cast<void*>(r.pRepair), static_cast<void*>(r.pScale)})
        platform::TaskMemFree(block);
}

TEST_F(HostSampleCompany, ServedWhenLedgraHostDataIsUnset)
{
#ifdef _WIN32
    _putenv_s("LEDGRA_HOST_DATA", "");
#else
    unsetenv("LEDGRA_HOST_DATA");
#endif
    ASSERT_TRUE(hostsim::ResetForTests()) << hostsim::StoreError();
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    EXPECT_STREQ(set->GetSelectedInfo()->szCompanyName, "山田ベーカリー");
    EXPECT_EQ(ClAccConnect::Inst()->Initiate(), 0);
}

}  // namespace
