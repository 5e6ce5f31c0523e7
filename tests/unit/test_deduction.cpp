// Bad-debt reserve, the blue-return special deduction and its choice element, and the
// real-estate figures copied from the saved details.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "store/sum_lines.h"
#include "report/sections/sections.h"
#include "tests/fakes/report_capture.h"

namespace {

using fakes::Element;
using fakes::Elements;
using fakes::Visible;
using Items = std::vector<std::pair<std::string, std::string>>;

constexpr int64_t kYen = 10000;

// The figure store of a blue general export: 43 income-statement lines, the last of
// which carries the income before the deduction.
class BlueGeneralStore {
public:
    explicit BlueGeneralStore(int lines = 43)
    {
        for (int row = 1; row <= lines; ++row) {
            auto* line = new StAOSUMINFO{};
            line->lRowNo = row;
            line->lLineCode = 100 + row;
            sums.push_back(line);
        }
        general.pBase = &base;
        general.pFamily = &family;
        figures.sumLines = &sums;
        figures.savedGeneral = &general;
    }
    ~BlueGeneralStore() { FreeSumLines(sums); }

    void SetIncomeBefore(int64_t raw) { sums.back()->llAmount = raw; }

    ClSumLineList sums;
    StIPPAN_BASE base{};
    StIPPAN_FAMILY family{};
    StAOSIROSAVEINFO_IPPAN general{};
    sections::StFigures figures;
};

// ---- blue-return special deduction ----

struct DeductionCase {
    const char* label;
    int64_t realEstateIncome;   // raw
    int64_t incomeBefore;       // raw
    uint8_t selection;
    int result;
    Items expected;
};

void PrintTo(const DeductionCase& c, std::ostream* os) { *os << c.label; }

class BlueDeductionTest : public ::testing::TestWithParam<DeductionCase> {};

TEST_P(BlueDeductionTest, WritesTheShareLeftForThisStatement)
{
    const DeductionCase& c = GetParam();
    BlueGeneralStore store;
    store.base.llRealEstateIncome = c.realEstateIncome;
    store.base.cDeduction = c.selection;
    store.SetIncomeBefore(c.incomeBefore);
    fakes::ReportCapture capture;
    EXPECT_EQ(c.result, sections::WriteBlueDeduction(capture.writer, store.figures)) << c.label;
    EXPECT_EQ(Visible(Elements(c.expected)), Visible(capture.Bytes())) << c.label;
}

Items Full(const std::string& realEstate, const std::string& before, const std::string& deduction)
{
    return {{"FUDOUSANSYOTOKU", realEstate},
            {"AOIROKOUJOMAESYOTOKU", before},
            {"AOIROKOUJO_SENTAKU", "1"},
            {"AOIROKOUJO_KOUJYOGAKU", deduction},
            {"JOUKIIGAI_KOUJYOGAKU", ""}};
}

Items Small(const std::string& realEstate, const std::string& before, const std::string& deduction)
{
    return {{"FUDOUSANSYOTOKU", realEstate},
            {"AOIROKOUJOMAESYOTOKU", before},
            {"AOIROKOUJO_SENTAKU", "2"},
            {"AOIROKOUJO_KOUJYOGAKU", ""},
            {"JOUKIIGAI_KOUJYOGAKU", deduction}};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlueDeductionTest,
    ::testing::Values(
        DeductionCase{"650000 whole", 0, 800000 * kYen, 1, 1, Full("0", "800000", "650000")},
        DeductionCase{"real estate takes 500000", 500000 * kYen, 800000 * kYen, 1, 1,
                      Full("500000", "800000", "150000")},
        DeductionCase{"real estate takes it all", 700000 * kYen, 800000 * kYen, 1, 1,
                      Full("700000", "800000", "0")},
        DeductionCase{"100000 capped by the income", 30000 * kYen, 50000 * kYen, 0, 1,
                      Small("30000", "50000", "50000")},
        DeductionCase{"100000 left whole", 0, 500000 * kYen, 0, 1, Small("0", "500000", "100000")},
        DeductionCase{"exactly the limit", 650000 * kYen, 800000 * kYen, 1, 1, Full("650000", "800000", "0")},
        DeductionCase{"income equals the remainder", 0, 650000 * kYen, 1, 1, Full("0", "650000", "650000")},
        DeductionCase{"negative income before", 0, -120000 * kYen, 1, 1, Full("0", "0", "0")},
        DeductionCase{"negative real-estate income counts as none", -300000 * kYen, 800000 * kYen, 1, 1,
                      Full("0", "800000", "650000")},
        DeductionCase{"both negative", -1 * kYen, -1 * kYen, 0, 1, Small("0", "0", "0")},
        DeductionCase{"real estate 1234.5 rounds up", 12345000, 800000 * kYen, 1, 1,
                      Full("1235", "800000", "648765")},
        DeductionCase{"real estate 1234.4999 rounds down", 12344999, 800000 * kYen, 1, 1,
                      Full("1234", "800000", "648766")},
        DeductionCase{"income 999.5 rounds up and caps", 0, 9995000, 1, 1, Full("0", "1000", "1000")},
        DeductionCase{"income half a yen short of 1", 0, 4999, 1, 1, Full("0", "0", "0")},
        DeductionCase{"selection 2 fails after two elements", 0, 800000 * kYen, 2, 0,
                      {{"FUDOUSANSYOTOKU", "0"}, {"AOIROKOUJOMAESYOTOKU", "800000"}}},
        DeductionCase{"selection 255 fails", 100 * kYen, 800000 * kYen, 255, 0,
                      {{"FUDOUSANSYOTOKU", "100"}, {"AOIROKOUJOMAESYOTOKU", "800000"}}}));

TEST(BlueDeductionTest, FewerThan43LinesFailsAfterTheRealEstateIncome)
{
    BlueGeneralStore store(42);
    store.base.llRealEstateIncome = 12345 * kYen;
    store.base.cDeduction = 1;
    fakes::ReportCapture capture;
    EXPECT_EQ(0, sections::WriteBlueDeduction(capture.writer, store.figures));
    EXPECT_EQ(Visible(Element(4, "FUDOUSANSYOTOKU", "12345")), Visible(capture.Bytes()));
}

TEST(BlueDeductionTest, ReadsThe43rdLineWhateverItsCode)
{
    BlueGeneralStore store(50);
    auto it = store.sums.begin();
    std::advance(it, 42);
    (*it)->llAmount = 300000 * kYen;
    store.SetIncomeBefore(900000 * kYen);   // line 50 is not the one read
    store.base.cDeduction = 1;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteBlueDeduction(capture.writer, store.figures));
    EXPECT_EQ(Visible(Elements(Full("0", "300000", "300000"))), Visible(capture.Bytes()));
}

TEST(BlueDeductionTest, MissingSavedDetailsReadAsEmpty)
{
    // Without the block every field reads as an empty block's: selection byte 0.
    BlueGeneralStore store(50);
    store.SetIncomeBefore(800000 * kYen);
    fakes::ReportCapture zeroed;
    ASSERT_EQ(1, sections::WriteBlueDeduction(zeroed.writer, store.figures));
    store.general.pBase = nullptr;
    fakes::ReportCapture missing;
    ASSERT_EQ(1, sections::WriteBlueDeduction(missing.writer, store.figures));
    EXPECT_EQ(Visible(zeroed.Bytes()), Visible(missing.Bytes()));
}

class BlueDeductionFailureTest : public ::testing::TestWithParam<int> {};

TEST_P(BlueDeductionFailureTest, StopsAtTheFailedWrite)
{
    BlueGeneralStore store;
    store.base.cDeduction = 1;
    store.SetIncomeBefore(800000 * kYen);
    fakes::ReportCapture capture;
    capture.fs.FailWriteAt(GetParam());
    // A failed write is no refusal of the section: it stays with the writer.
    EXPECT_EQ(1, sections::WriteBlueDeduction(capture.writer, store.figures));
    EXPECT_TRUE(capture.writer.Failed());
    const Items all = Full("0", "800000", "650000");
    EXPECT_EQ(Visible(Elements(Items(all.begin(), all.begin() + GetParam() - 1))), Visible(capture.Bytes()));
}

INSTANTIATE_TEST_SUITE_P(Writes, BlueDeductionFailureTest, ::testing::Values(1, 2, 3, 4, 5));

// ---- choice element of the real-estate form ----

struct ChoiceCase {
    uint8_t selection;
    int result;
    std::string output;
};

class DeductionChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(DeductionChoiceTest, SelectionByte)
{
    StIPPAN_BASE base{};
    base.cDeduction = GetParam().selection;
    StAOSIROSAVEINFO_IPPAN general{};
    general.pBase = &base;
    sections::StFigures figures;
    figures.savedGeneral = &general;
    fakes::ReportCapture capture;
    EXPECT_EQ(GetParam().result, sections::WriteDeductionChoice(capture.writer, figures));
    EXPECT_EQ(Visible(GetParam().output), Visible(capture.Bytes()));
}

INSTANTIATE_TEST_SUITE_P(Bytes, DeductionChoiceTest,
                         ::testing::Values(ChoiceCase{1, 1, Element(4, "AOIROKOUJO_SENTAKU", "1")},
                                           ChoiceCase{0, 1, Element(4, "AOIROKOUJO_SENTAKU", "2")},
                                           ChoiceCase{2, 0, ""}, ChoiceCase{255, 0, ""}));

TEST(DeductionChoiceTest, MissingSavedDetailsReadAsSelectionZero)
{
    StAOSIROSAVEINFO_IPPAN general{};
    sections::StFigures figures;
    for (StAOSIROSAVEINFO_IPPAN* record : {static_cast<StAOSIROSAVEINFO_IPPAN*>(nullptr), &general}) {
        figures.savedGeneral = record;
        fakes::ReportCapture capture;
        EXPECT_EQ(1, sections::WriteDeductionChoice(capture.writer, figures));
        EXPECT_EQ(Visible(Element(4, "AOIROKOUJO_SENTAKU", "2")), Visible(capture.Bytes()));
    }
}

// ---- bad-debt reserve ----

TEST(BadDebtReserveTest, FiveElementsInOrder)
{
    BlueGeneralStore store;
    store.family.llBadDebtIndividual = 123456789;
    store.family.llBadDebtLumpSumTotal = -15000;
    store.family.llBadDebtLumpSumLimit = 9999;
    store.family.llBadDebtLumpSum = 10000;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteBadDebtReserve(capture.writer, store.figures));
    EXPECT_EQ(Visible(Elements({{"KOBETU_KURIIREGAKU", "12345"},
                                {"IKKATU_KURIIREGOUKEIGAKU", "-1"},
                                {"IKKATU_KURIIRERITU", "1"},
                                {"IKKATU_KURIIREGENDOGAKU", ""},
                                {"IKKATU_KURIIREGAKU", "1"}})),
              Visible(capture.Bytes()));
}

TEST(BadDebtReserveTest, MissingBlockReadsAsEmpty)
{
    BlueGeneralStore store;
    fakes::ReportCapture zeroed;
    ASSERT_EQ(1, sections::WriteBadDebtReserve(zeroed.writer, store.figures));
    store.general.pFamily = nullptr;
    fakes::ReportCapture missing;
    EXPECT_EQ(1, sections::WriteBadDebtReserve(missing.writer, store.figures));
    EXPECT_EQ(Visible(zeroed.Bytes()), Visible(missing.Bytes()));
}

TEST(BadDebtReserveTest, StopsAtTheFailedWrite)
{
    BlueGeneralStore store;
    fakes::ReportCapture capture;
    capture.fs.FailWriteAt(3);
    // A failed write is no refusal of the section: it stays with the writer.
    EXPECT_EQ(1, sections::WriteBadDebtReserve(capture.writer, store.figures));
    EXPECT_TRUE(capture.writer.Failed());
    EXPECT_EQ(Visible(Elements({{"KOBETU_KURIIREGAKU", ""}, {"IKKATU_KURIIREGOUKEIGAKU", ""}})),
              Visible(capture.Bytes()));
}

// ---- real-estate figures ----

class RealEstateStore {
public:
    RealEstateStore()
    {
        realEstate.pBase = &base;
        realEstate.pScale = &scale;
        figures.savedRealEstate = &realEstate;
    }
    StFUDOUSAN_BASE base{};
    StFUDOUSAN_SCALE scale{};
    StAOSIROSAVEINFO_FUDOUSAN realEstate{};
    sections::StFigures figures;
};

struct InterestCase {
    int64_t raw;
    const char* text;
};

class LiabilityInterestTest : public ::testing::TestWithParam<InterestCase> {};

TEST_P(LiabilityInterestTest, AmountText)
{
    RealEstateStore store;
    store.base.llLiabilityInterest = GetParam().raw;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteLiabilityInterest(capture.writer, store.figures));
    EXPECT_EQ(Visible(Element(4, "FUSAIRISIGAKU", GetParam().text)), Visible(capture.Bytes()));
}

INSTANTIATE_TEST_SUITE_P(Amounts, LiabilityInterestTest,
                         ::testing::Values(InterestCase{5000, ""}, InterestCase{0, ""}, InterestCase{10000, "1"},
                                           InterestCase{-15000, "-1"}, InterestCase{9999, ""},
                                           InterestCase{1234567890, "123456"}));

TEST(LiabilityInterestTest, FailedWriteGivesZeroAndAMissingBlockReadsAsEmpty)
{
    RealEstateStore store;
    {
        fakes::ReportCapture capture;
        capture.fs.FailWriteAt(1);
        // A failed write is no refusal of the section: it stays with the writer.
        EXPECT_EQ(1, sections::WriteLiabilityInterest(capture.writer, store.figures));
        EXPECT_TRUE(capture.writer.Failed());
    }
    const std::string empty = Element(4, "FUSAIRISIGAKU", "");
    store.realEstate.pBase = nullptr;
    fakes::ReportCapture noBlock;
    EXPECT_EQ(1, sections::WriteLiabilityInterest(noBlock.writer, store.figures));
    EXPECT_EQ(Visible(empty), Visible(noBlock.Bytes()));
    store.figures.savedRealEstate = nullptr;
    fakes::ReportCapture noRecord;
    EXPECT_EQ(1, sections::WriteLiabilityInterest(noRecord.writer, store.figures));
    EXPECT_EQ(Visible(empty), Visible(noRecord.Bytes()));
}

TEST(RentalScaleTest, AllZeroGivesTenEmptyElements)
{
    RealEstateStore store;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteRentalScale(capture.writer, store.figures));
    EXPECT_EQ(Visible(Elements({{"JUUTAKU_TATEMONO_IKKODATE", ""},
                                {"JUUTAKU_TATEMONO_IKKODATEIGAI", ""},
                                {"JUUTAKU_TOTI_KEIYAKU", ""},
                                {"JUUTAKU_TOTI_SOUMENSEKI", ""},
                                {"JUUTAKUIGAI_TATEMONO_IKKODATE", ""},
                                {"JUUTAKUIGAI_TATEMONO_IKKODATEIGAI", ""},
                                {"JUUTAKUIGAI_TOTI_KEIYAKU", ""},
                                {"JUUTAKUIGAI_TOTI_SOUMENSEKI", ""},
                                {"CHUUSYAJOU_YANETUKI", ""},
                                {"CHUUSYAJOU_AOZORA", ""}})),
              Visible(capture.Bytes()));
}

TEST(RentalScaleTest, CountsAndAreas)
{
    RealEstateStore store;
    store.scale.lReserved = 77;   // not read
    store.scale.residential = {1, 2, 3, 1234567};
    store.scale.nonResidential = {-4, 5, 6, -40};
    store.scale.lParkingRoofed = 7;
    store.scale.lParkingOpen = 8;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteRentalScale(capture.writer, store.figures));
    EXPECT_EQ(Visible(Elements({{"JUUTAKU_TATEMONO_IKKODATE", "1"},
                                {"JUUTAKU_TATEMONO_IKKODATEIGAI", "2"},
                                {"JUUTAKU_TOTI_KEIYAKU", "3"},
                                {"JUUTAKU_TOTI_SOUMENSEKI", "123.46"},
                                {"JUUTAKUIGAI_TATEMONO_IKKODATE", "-4"},
                                {"JUUTAKUIGAI_TATEMONO_IKKODATEIGAI", "5"},
                                {"JUUTAKUIGAI_TOTI_KEIYAKU", "6"},
                                {"JUUTAKUIGAI_TOTI_SOUMENSEKI", "0.00"},
                                {"CHUUSYAJOU_YANETUKI", "7"},
                                {"CHUUSYAJOU_AOZORA", "8"}})),
              Visible(capture.Bytes()));
}

struct AreaCase {
    int64_t raw;
    const char* text;
};

class RentalAreaTest : public ::testing::TestWithParam<AreaCase> {};

TEST_P(RentalAreaTest, TwoDecimalsHalfUp)
{
    RealEstateStore store;
    store.scale.nonResidential.llLandArea = GetParam().raw;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteRentalScale(capture.writer, store.figures));
    EXPECT_NE(std::string::npos,
              capture.Bytes().find(Element(4, "JUUTAKUIGAI_TOTI_SOUMENSEKI", GetParam().text)))
        << GetParam().raw;
}

INSTANTIATE_TEST_SUITE_P(Areas, RentalAreaTest,
                         ::testing::Values(AreaCase{1234567, "123.46"}, AreaCase{1234549, "123.45"},
                                           AreaCase{1234550, "123.46"}, AreaCase{0, ""}, AreaCase{1, "0.00"},
                                           AreaCase{50, "0.01"}, AreaCase{99950, "10.00"},
                                           AreaCase{-1234567, "-123.46"}, AreaCase{10000, "1.00"}));

class RentalScaleFailureTest : public ::testing::TestWithParam<int> {};

TEST_P(RentalScaleFailureTest, StopsAtTheFailedWrite)
{
    RealEstateStore store;
    fakes::ReportCapture capture;
    capture.fs.FailWriteAt(GetParam());
    // A failed write is no refusal of the section: it stays with the writer.
    EXPECT_EQ(1, sections::WriteRentalScale(capture.writer, store.figures));
    EXPECT_TRUE(capture.writer.Failed());
    EXPECT_EQ(GetParam(), capture.fs.CallCount("Write"));
}

INSTANTIATE_TEST_SUITE_P(Writes, RentalScaleFailureTest, ::testing::Values(1, 4, 8, 10));

TEST(RentalScaleTest, MissingBlockReadsAsEmpty)
{
    RealEstateStore store;
    fakes::ReportCapture zeroed;
    ASSERT_EQ(1, sections::WriteRentalScale(zeroed.writer, store.figures));
    store.realEstate.pScale = nullptr;
    fakes::ReportCapture missing;
    EXPECT_EQ(1, sections::WriteRentalScale(missing.writer, store.figures));
    EXPECT_EQ(Visible(zeroed.Bytes()), Visible(missing.Bytes()));
}

}  // namespace
