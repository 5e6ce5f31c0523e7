// The account statement sections: the seven tables, summed-line lookup, account-name
// cleaning and the line, balance and monthly writers, checked byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "store/sum_lines.h"
#include "report/sections/sections.h"
#include "tests/fakes/report_capture.h"

namespace {

using namespace sections;
using fakes::Element;
using fakes::Elements;
using fakes::Visible;
using Items = std::vector<std::pair<std::string, std::string>>;

// ---- the tables as the statements list them ----

struct ExpectedLine {
    const char* name;
    int32_t code;
    bool withName;
};

enum Column : unsigned { kName = 1, kBegin = 2, kEnd = 4 };

struct ExpectedItem {
    const char* stem;
    int32_t code;
    unsigned columns;   // written in the order name, beginning, end
};

const ExpectedLine kBlueGeneralIncomeRows[] = {
    {"URIAGEKINGAKU", 101, false},
    {"KISYUSYOHINTANAOROSIDAKA", 104, false},
    {"SIIREKINGAKU", 105, false},
    {"KIMATUSYOHINTANAOROSIDAKA", 106, false},
    {"SOZEIKOUKA", 108, false},
    {"NIZUKURIUNTIN", 109, false},
    {"SUIDOUKOUNETUHI", 110, false},
    {"RYOHIKOUTUUHI", 111, false},
    {"TUUSINHI", 112, false},
    {"KOUKOKUSENDENHI", 113, false},
    {"SETTAIKOUSAIHI", 114, false},
    {"SONGAIHOKENRYOU", 115, false},
    {"SYUUZENHI", 116, false},
    {"SYOUMOUHINHI", 117, false},
    {"GENKASHOUKYAKUHI", 118, false},
    {"FUKURIKOUSEIHI", 119, false},
    {"KYUURYOUTINGIN", 120, false},
    {"GAICHUUKOUTIN", 121, false},
    {"RISIWARIBIKIRYOU", 122, false},
    {"TIDAIYATIN", 123, false},
    {"KASIDAOREKIN", 124, false},
    {"KEIHI_YOBI1", 125, true},
    {"KEIHI_YOBI2", 126, true},
    {"KEIHI_YOBI3", 127, true},
    {"KEIHI_YOBI4", 128, true},
    {"KEIHI_YOBI5", 129, true},
    {"KEIHI_YOBI6", 130, true},
    {"ZAPPI", 131, false},
    {"KURIMODOSI_KASIDAOREHIKIATEKIN", 135, false},
    {"KURIMODOSI_YOBI1", 136, true},
    {"KURIMODOSI_YOBI2", 137, true},
    {"SENJYUUSYAKYUUYO", 140, false},
    {"KURIIRE_KASIDAOREHIKIATEKIN", 141, false},
    {"KURIIRE_YOBI1", 142, true},
    {"KURIIRE_YOBI2", 143, true},
};
const ExpectedLine kManufacturingCostRows[] = {
    {"KISYUGENZAIRYOUTANAOROSIDAKA", 301, false},
    {"GENZAIRYOUSIIREDAKA", 302, false},
    {"KIMATUGENZAIRYOUTANAOROSIDAKA", 304, false},
    {"ROUMUHI", 306, false},
    {"GAICHUUKOUTIN", 307, false},
    {"DENNRYOKUHI", 308, false},
    {"SUIDOUKOUNETUHI", 309, false},
    {"SYUZENHI", 310, false},
    {"GENKASYOUKYAKUHI", 311, false},
    {"SEIZOUKEIHI_YOBI1", 312, true},
    {"SEIZOUKEIHI_YOBI2", 313, true},
    {"SEIZOUKEIHI_YOBI3", 314, true},
    {"SEIZOUKEIHI_YOBI4", 315, true},
    {"SEIZOUKEIHI_YOBI5", 316, true},
    {"SEIZOUKEIHI_YOBI6", 317, true},
    {"SEIZOUKEIHI_YOBI7", 318, true},
    {"SEIZOUKEIHI_YOBI8", 319, true},
    {"ZAPPI", 320, false},
    {"KISYUHANSEIHIN", 323, false},
    {"KIMATUHANSEIHIN", 325, false},
};
const ExpectedLine kWhiteGeneralIncomeRows[] = {
    {"SYUNYUGAKU", 1, false},
    {"KAJISYOUHI", 2, false},
    {"SONOTASYUNYU", 3, false},
    {"KISYUSYOHINTANAOROSIDAKA", 5, false},
    {"SIIREKINGAKU", 6, false},
    {"KIMATUSYOHINTANAOROSIDAKA", 8, false},
    {"KYUURYOUTINGIN", 11, false},
    {"GAICHUUKOUTIN", 12, false},
    {"GENKASHOUKYAKUHI", 13, false},
    {"KASIDAOREKIN", 14, false},
    {"TIDAIYATIN", 15, false},
    {"RISIWARIBIKIRYOU", 16, false},
    {"SOZEIKOUKA", 21, false},
    {"NIZUKURIUNTIN", 22, false},
    {"SUIDOUKOUNETUHI", 23, false},
    {"RYOHIKOUTUUHI", 24, false},
    {"TUUSINHI", 25, false},
    {"KOUKOKUSENDENHI", 26, false},
    {"SETTAIKOUSAIHI", 27, false},
    {"SONGAIHOKENRYOU", 28, false},
    {"SYUUZENHI", 29, false},
    {"SYOUMOUHINHI", 30, false},
    {"FUKURIKOUSEIHI", 31, false},
    {"KEIHI_YOBI1", 32, true},
    {"KEIHI_YOBI2", 33, true},
    {"KEIHI_YOBI3", 34, true},
    {"KEIHI_YOBI4", 35, true},
    {"KEIHI_YOBI5", 36, true},
    {"ZAPPI", 37, false},
    {"SENJYUSYAKOUJYO", 998, false},
};
const ExpectedLine kBlueRealEstateIncomeRows[] = {
    {"TINTAIRYO", 101, false},
    {"REIKIN_KENRIKIN_KOUSINRYOU", 102, false},
    {"SYUUNYUUKINGAKU_YOBI", 103, true},
    {"SOZEIKOUKA", 105, false},
    {"SONGAIHOKENRYOU", 106, false},
    {"SYUUZENHI", 107, false},
    {"GENKASHOUKYAKUHI", 108, false},
    {"SYAKUNYUUKINRISI", 109, false},
    {"TIDAIYATIN", 110, false},
    {"KYUURYOUTINGIN", 111, false},
    {"HITUYOUKEIHI_YOBI1", 112, true},
    {"HITUYOUKEIHI_YOBI2", 113, true},
    {"HITUYOUKEIHI_YOBI3", 114, true},
    {"HITUYOUKEIHI_YOBI4", 115, true},
    {"HITUYOUKEIHI_YOBI5", 116, true},
    {"SONOTANOKEIHI", 117, false},
    {"SENJYUUSYAKYUUYO", 120, false},
};
const ExpectedLine kWhiteRealEstateIncomeRows[] = {
    {"TINTAIRYO", 1, false},
    {"REIKIN_KENRIKIN_KOUSINRYOU", 2, false},
    {"MEIGIKAKIKAERYOU_SONOTA", 3, false},
    {"KYUURYOUTINGIN", 6, false},
    {"GENKASHOUKYAKUHI", 7, false},
    {"KASIDAOREKIN", 8, false},
    {"TIDAIYATIN", 9, false},
    {"SYAKUNYUUKINRISI", 10, false},
    {"SOZEIKOUKA", 21, false},
    {"SONGAIHOKENRYOU", 22, false},
    {"SYUUZENHI", 23, false},
    {"HITUYOUKEIHI_YOBI", 24, true},
    {"ZAPPI", 25, false},
    {"SENJYUSYAKOUJYO", 998, false},
};
const ExpectedItem kBlueGeneralBalanceRows[] = {
    {"GENKIN", 201, kBegin|kEnd},
    {"TOUZAYOKIN", 202, kBegin|kEnd},
    {"TEIKIYOKIN", 203, kBegin|kEnd},
    {"SONOTANOYOKIN", 204, kBegin|kEnd},
    {"UKETORITEGATA", 205, kBegin|kEnd},
    {"URIKAKEKIN", 206, kBegin|kEnd},
    {"YUUKASYOUKEN", 207, kBegin|kEnd},
    {"TANAOROSISISAN", 208, kBegin|kEnd},
    {"MAEBARAIKIN", 209, kBegin|kEnd},
    {"KASITUKEKIN", 210, kBegin|kEnd},
    {"TATEMONO", 211, kBegin|kEnd},
    {"TATEMONOFUZOKUSETUBI", 212, kBegin|kEnd},
    {"KIKAISOUTI", 213, kBegin|kEnd},
    {"SYARYOUUNPANGU", 214, kBegin|kEnd},
    {"KOUGUKIGUBIHIN", 215, kBegin|kEnd},
    {"TOTI", 216, kBegin|kEnd},
    {"SISAN_YOBI1", 217, kName|kBegin|kEnd},
    {"SISAN_YOBI2", 218, kName|kBegin|kEnd},
    {"SISAN_YOBI3", 219, kName|kBegin|kEnd},
    {"SISAN_YOBI4", 220, kName|kBegin|kEnd},
    {"SISAN_YOBI5", 221, kName|kBegin|kEnd},
    {"SISAN_YOBI6", 222, kName|kBegin|kEnd},
    {"SISAN_YOBI7", 223, kName|kBegin|kEnd},
    {"JIGYOUNUSIKASI", 224, kEnd},
    {"SIHARAITEGATA", 225, kBegin|kEnd},
    {"KAIKAKEKIN", 226, kBegin|kEnd},
    {"SYUKUNYUUKIN", 227, kBegin|kEnd},
    {"MIBARAIKIN", 228, kBegin|kEnd},
    {"MAIUKEKIN", 229, kBegin|kEnd},
    {"AZUKARIKIN", 230, kBegin|kEnd},
    {"FUSAISIHON_YOBI1", 231, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI2", 232, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI3", 233, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI4", 234, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI5", 235, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI6", 236, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI7", 237, kName|kBegin|kEnd},
    {"KASIDAOREHIKIATEKIN", 238, kBegin|kEnd},
    {"FUSAISIHON_YOBI8", 239, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI9", 240, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI10", 241, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI11", 242, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI12", 243, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI13", 244, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI14", 245, kName|kBegin|kEnd},
    {"JIGYOUNUSIKARI", 246, kEnd},
    {"MOTOIREKIN", 247, kBegin|kEnd},
    {"KOUJYOMAESYOTOKUKINNGAKU", 999, kEnd},
};
const ExpectedItem kBlueRealEstateBalanceRows[] = {
    {"GENKIN", 201, kBegin|kEnd},
    {"FUTUUYOKIN", 202, kBegin|kEnd},
    {"TEIKIYOKIN", 203, kBegin|kEnd},
    {"SONOTANOYOKIN", 204, kBegin|kEnd},
    {"UKETORITEGATA", 205, kBegin|kEnd},
    {"MISYUUTINTAIRYO", 206, kBegin|kEnd},
    {"MISYUUKIN", 207, kBegin|kEnd},
    {"YUUKASYOUKEN", 208, kBegin|kEnd},
    {"MAEBARAIKIN", 209, kBegin|kEnd},
    {"KASITUKEKIN", 210, kBegin|kEnd},
    {"TATEMONO", 211, kBegin|kEnd},
    {"TATEMONOFUZOKUSETUBI", 212, kBegin|kEnd},
    {"KOUTIKUBUTU", 213, kBegin|kEnd},
    {"SENPAKU", 214, kBegin|kEnd},
    {"KOUGUKIGUBIHIN", 215, kBegin|kEnd},
    {"TOTI", 216, kBegin|kEnd},
    {"SYAKUTIKEN", 217, kBegin|kEnd},
    {"KOUKYOUSISETUFUTANKIN", 218, kBegin|kEnd},
    {"SISAN_YOBI1", 219, kName|kBegin|kEnd},
    {"SISAN_YOBI2", 220, kName|kBegin|kEnd},
    {"SISAN_YOBI3", 221, kName|kBegin|kEnd},
    {"SISAN_YOBI4", 222, kName|kBegin|kEnd},
    {"SISAN_YOBI5", 223, kName|kBegin|kEnd},
    {"JIGYOUNUSIKASI", 224, kEnd},
    {"SYUKUNYUUKIN", 225, kBegin|kEnd},
    {"MIBARAIKIN", 226, kBegin|kEnd},
    {"HOSYOUKIN_SIKIKIN", 227, kBegin|kEnd},
    {"FUSAISIHON_YOBI1", 228, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI2", 229, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI3", 230, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI4", 231, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI5", 232, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI6", 233, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI7", 234, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI8", 235, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI9", 236, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI10", 237, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI11", 238, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI12", 239, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI13", 240, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI14", 241, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI15", 242, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI16", 243, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI17", 244, kName|kBegin|kEnd},
    {"FUSAISIHON_YOBI18", 245, kName|kBegin|kEnd},
    {"JIGYOUNUSIKARI", 246, kEnd},
    {"MOTOIREKIN", 247, kBegin|kEnd},
    {"KOUJYOMAESYOTOKUKINNGAKU", 999, kEnd},
};

// ---- helpers ----

class SumLines {
public:
    ~SumLines() { FreeSumLines(lines); }
    void Add(int32_t row, int32_t code, const char* name, int64_t begin, int64_t amount)
    {
        auto* line = new StAOSUMINFO{};
        line->lRowNo = row;
        line->lLineCode = code;
        std::strncpy(line->szAccountName, name, sizeof(line->szAccountName) - 1);
        line->llBeginAmount = begin;
        line->llAmount = amount;
        lines.push_back(line);
    }
    ClSumLineList lines;
};

// Figures that make every code visible: the period amount reads as the code (the
// fraction is cut), the beginning amount as its negative, the name in brackets.
std::string NameFor(int32_t code) { return "【費 目" + std::to_string(code) + "】"; }
std::string CleanNameFor(int32_t code) { return "費目" + std::to_string(code); }
int64_t AmountFor(int32_t code) { return int64_t{code} * 10000 + 9999; }
int64_t BeginFor(int32_t code) { return -(int64_t{code} * 10000 + 5000); }

void AddLineFor(SumLines& sums, int32_t code)
{
    sums.Add(static_cast<int32_t>(sums.lines.size()) + 1, code, NameFor(code).c_str(), BeginFor(code),
             AmountFor(code));
}

template <std::size_t N>
Items ExpectedLineItems(const ExpectedLine (&rows)[N], bool filled)
{
    Items items;
    for (const ExpectedLine& row : rows) {
        if (row.withName)
            items.emplace_back(std::string(row.name) + "_KAMOKU", filled ? CleanNameFor(row.code) : "");
        items.emplace_back(row.name, filled ? std::to_string(row.code) : "");
    }
    return items;
}

template <std::size_t N>
Items ExpectedBalanceItems(const ExpectedItem (&items)[N], bool filled)
{
    Items out;
    for (const ExpectedItem& item : items) {
        const std::string stem = item.stem;
        if (item.columns & kName)
            out.emplace_back(stem + "_KAMOKU", filled ? CleanNameFor(item.code) : "");
        if (item.columns & kBegin)
            out.emplace_back(stem + "_KISYU", filled ? "-" + std::to_string(item.code) : "");
        if (item.columns & kEnd)
            out.emplace_back(stem + "_KIMATU", filled ? std::to_string(item.code) : "");
    }
    return out;
}

template <std::size_t N>
void CheckLineTable(const StLineRow* table, int rows, const ExpectedLine (&expected)[N])
{
    ASSERT_EQ(static_cast<int>(N), rows);
    for (std::size_t i = 0; i < N; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(expected[i].name, table[i].name);
        EXPECT_EQ(expected[i].code, table[i].code);
        EXPECT_EQ(expected[i].withName ? 1 : 0, table[i].withName);
    }

    // Without lines every element is written empty.
    {
        SumLines none;
        sections::StFigures figures;
        figures.sumLines = &none.lines;
        fakes::ReportCapture capture;
        EXPECT_EQ(1, sections::WriteLineTable(capture.writer, figures, table, rows));
        EXPECT_EQ(Visible(Elements(ExpectedLineItems(expected, false))), Visible(capture.Bytes()));
    }
    // With a line for every code, in reverse order so the lookup is by code.
    {
        SumLines sums;
        for (std::size_t i = N; i-- > 0;)
            AddLineFor(sums, expected[i].code);
        sections::StFigures figures;
        figures.sumLines = &sums.lines;
        fakes::ReportCapture capture;
        EXPECT_EQ(1, sections::WriteLineTable(capture.writer, figures, table, rows));
        EXPECT_EQ(Visible(Elements(ExpectedLineItems(expected, true))), Visible(capture.Bytes()));
    }
}

template <std::size_t N>
void CheckBalanceTable(const StBalanceRow* table, int rows, const ExpectedItem (&expected)[N], int expectedRows)
{
    ASSERT_EQ(expectedRows, rows);
    int index = 0;
    for (const ExpectedItem& item : expected) {
        const std::pair<unsigned, const char*> columns[] = {{kName, "_KAMOKU"}, {kBegin, "_KISYU"}, {kEnd, "_KIMATU"}};
        for (const auto& [bit, suffix] : columns) {
            if (!(item.columns & bit))
                continue;
            ASSERT_LT(index, rows);
            SCOPED_TRACE(index);
            EXPECT_EQ(std::string(item.stem) + suffix, table[index].name);
            EXPECT_EQ(item.code, table[index].code);
            EXPECT_EQ(bit == kName ? 3 : bit == kBegin ? 0 : 1, table[index].column);
            ++index;
        }
    }
    EXPECT_EQ(rows, index);

    {
        SumLines none;
        sections::StFigures figures;
        figures.sumLines = &none.lines;
        fakes::ReportCapture capture;
        EXPECT_EQ(1, sections::WriteBalanceTable(capture.writer, figures, table, rows));
        EXPECT_EQ(Visible(Elements(ExpectedBalanceItems(expected, false))), Visible(capture.Bytes()));
    }
    {
        SumLines sums;
        for (std::size_t i = N; i-- > 0;)
            AddLineFor(sums, expected[i].code);
        sections::StFigures figures;
        figures.sumLines = &sums.lines;
        fakes::ReportCapture capture;
        EXPECT_EQ(1, sections::WriteBalanceTable(capture.writer, figures, table, rows));
        EXPECT_EQ(Visible(Elements(ExpectedBalanceItems(expected, true))), Visible(capture.Bytes()));
    }
}

// ---- the tables ----

TEST(StatementTablesTest, BlueGeneralIncome)
{
    CheckLineTable(BlueGeneralIncomeRows, 35, kBlueGeneralIncomeRows);
}

TEST(StatementTablesTest, ManufacturingCost) { CheckLineTable(ManufacturingCostRows, 20, kManufacturingCostRows); }

TEST(StatementTablesTest, WhiteGeneralIncome)
{
    CheckLineTable(WhiteGeneralIncomeRows, 30, kWhiteGeneralIncomeRows);
}

TEST(StatementTablesTest, BlueRealEstateIncome)
{
    CheckLineTable(BlueRealEstateIncomeRows, 17, kBlueRealEstateIncomeRows);
}

TEST(StatementTablesTest, WhiteRealEstateIncome)
{
    CheckLineTable(WhiteRealEstateIncomeRows, 14, kWhiteRealEstateIncomeRows);
}

TEST(StatementTablesTest, BlueGeneralBalance)
{
    CheckBalanceTable(BlueGeneralBalanceRows, 114, kBlueGeneralBalanceRows, 114);
}

TEST(StatementTablesTest, BlueRealEstateBalance)
{
    CheckBalanceTable(BlueRealEstateBalanceRows, 116, kBlueRealEstateBalanceRows, 116);
}

// ---- amount texts ----

struct AmountCase {
    int64_t amount;
    const char* text;
};

class LineAmountTest : public ::testing::TestWithParam<AmountCase> {};

TEST_P(LineAmountTest, PeriodAmountIsWholeYenCutTowardZero)
{
    const StLineRow table[] = {{"URIAGEKINGAKU", 101, 0}};
    SumLines sums;
    sums.Add(1, 101, "売上", 0, GetParam().amount);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteLineTable(capture.writer, figures, table, 1));
    EXPECT_EQ(Visible(Element(4, "URIAGEKINGAKU", GetParam().text)), Visible(capture.Bytes()));
}

TEST_P(LineAmountTest, BalanceColumnsUseTheirOwnAmount)
{
    const StBalanceRow table[] = {{"GENKIN_KISYU", 0, 201}, {"GENKIN_KIMATU", 1, 201}};
    SumLines sums;
    sums.Add(1, 201, "現金", GetParam().amount, 10000);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteBalanceTable(capture.writer, figures, table, 2));
    EXPECT_EQ(Visible(Elements({{"GENKIN_KISYU", GetParam().text}, {"GENKIN_KIMATU", "1"}})),
              Visible(capture.Bytes()));
}

INSTANTIATE_TEST_SUITE_P(Amounts, LineAmountTest,
                         ::testing::Values(AmountCase{-15000, "-1"}, AmountCase{9999, ""}, AmountCase{10000, "1"},
                                           AmountCase{-9999, ""}, AmountCase{5000, ""}, AmountCase{-10000, "-1"},
                                           AmountCase{0, ""}, AmountCase{123456789, "12345"},
                                           AmountCase{-123456789, "-12345"},
                                           AmountCase{INT64_MAX, "922337203685477"}));

// ---- line and balance writers ----

TEST(LineTableTest, FirstLineWithTheCodeWinsAndNamesAreCleaned)
{
    const StLineRow table[] = {{"KEIHI_YOBI1", 125, 1}, {"ZAPPI", 131, 0}, {"KEIHI_YOBI2", 126, 1}};
    SumLines sums;
    sums.Add(1, 125, "（製）　会議費 ", 0, 20000);
    sums.Add(2, 125, "二番目", 0, 30000);
    sums.Add(3, 131, "雑費", 0, 40000);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteLineTable(capture.writer, figures, table, 3));
    // The full-width brackets around 製 are tokens of their own; the half-width marker is not there.
    EXPECT_EQ(Visible(Elements({{"KEIHI_YOBI1_KAMOKU", "製会議費"},
                                {"KEIHI_YOBI1", "2"},
                                {"ZAPPI", "4"},
                                {"KEIHI_YOBI2_KAMOKU", ""},
                                {"KEIHI_YOBI2", ""}})),
              Visible(capture.Bytes()));
}

TEST(LineTableTest, NamesAreEscaped)
{
    const StLineRow table[] = {{"KEIHI_YOBI1", 125, 1}};
    SumLines sums;
    sums.Add(1, 125, "A&B<C>", 0, 0);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteLineTable(capture.writer, figures, table, 1));
    EXPECT_EQ(Visible(Elements({{"KEIHI_YOBI1_KAMOKU", "A&amp;B&lt;C&gt;"}, {"KEIHI_YOBI1", ""}})),
              Visible(capture.Bytes()));
}

TEST(LineTableTest, MissingSumLinesFailWithoutWriting)
{
    const StLineRow lineTable[] = {{"TINTAIRYO", 101, 0}, {"SYUUNYUUKINGAKU_YOBI", 103, 1}};
    const StBalanceRow balanceTable[] = {{"GENKIN_KISYU", 0, 201}};
    sections::StFigures figures;   // sumLines left null
    fakes::ReportCapture capture;
    EXPECT_EQ(0, sections::WriteLineTable(capture.writer, figures, lineTable, 2));
    EXPECT_EQ(0, sections::WriteBalanceTable(capture.writer, figures, balanceTable, 1));
    EXPECT_EQ("", capture.Bytes());
}

TEST(LineTableTest, NoRowsWriteNothing)
{
    ClSumLineList none;
    sections::StFigures figures;
    figures.sumLines = &none;
    fakes::ReportCapture capture;
    EXPECT_EQ(1, sections::WriteLineTable(capture.writer, figures, nullptr, 0));
    EXPECT_EQ(1, sections::WriteBalanceTable(capture.writer, figures, nullptr, 0));
    EXPECT_EQ(0, sections::WriteLineTable(capture.writer, figures, nullptr, 3));
    EXPECT_EQ("", capture.Bytes());
}

struct FailCase {
    int failingWrite;
    int linesKept;
};

class LineTableFailureTest : public ::testing::TestWithParam<FailCase> {};

TEST_P(LineTableFailureTest, StopsAtTheFirstFailedWrite)
{
    const StLineRow table[] = {{"A", 1, 0}, {"B", 2, 1}, {"C", 3, 0}};
    SumLines sums;
    AddLineFor(sums, 1);
    AddLineFor(sums, 2);
    AddLineFor(sums, 3);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    capture.fs.FailWriteAt(GetParam().failingWrite);
    // A failed write is no refusal of the section: it stays with the writer.
    EXPECT_EQ(1, sections::WriteLineTable(capture.writer, figures, table, 3));
    EXPECT_TRUE(capture.writer.Failed());
    const Items all = {{"A", "1"}, {"B_KAMOKU", CleanNameFor(2)}, {"B", "2"}, {"C", "3"}};
    EXPECT_EQ(Visible(Elements(Items(all.begin(), all.begin() + GetParam().linesKept))), Visible(capture.Bytes()));
    EXPECT_EQ(GetParam().failingWrite, capture.fs.CallCount("Write"));
}

INSTANTIATE_TEST_SUITE_P(Writes, LineTableFailureTest,
                         ::testing::Values(FailCase{1, 0}, FailCase{2, 1}, FailCase{3, 2}, FailCase{4, 3}));

TEST(BalanceTableTest, ColumnsAndMissingCodes)
{
    const StBalanceRow table[] = {{"SISAN_YOBI1_KAMOKU", 3, 217}, {"SISAN_YOBI1_KISYU", 0, 217},
                                  {"SISAN_YOBI1_KIMATU", 1, 217}, {"SISAN_YOBI2_KAMOKU", 3, 218},
                                  {"SISAN_YOBI2_KISYU", 0, 218},  {"SISAN_YOBI2_KIMATU", 1, 218},
                                  {"JIGYOUNUSIKASI_KIMATU", 1, 224}};
    SumLines sums;
    sums.Add(1, 224, "事業主貸", 70000, -30000);
    sums.Add(2, 217, "［預け金］", 15000, 25000);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteBalanceTable(capture.writer, figures, table, 7));
    EXPECT_EQ(Visible(Elements({{"SISAN_YOBI1_KAMOKU", "預け金"},
                                {"SISAN_YOBI1_KISYU", "1"},
                                {"SISAN_YOBI1_KIMATU", "2"},
                                {"SISAN_YOBI2_KAMOKU", ""},
                                {"SISAN_YOBI2_KISYU", ""},
                                {"SISAN_YOBI2_KIMATU", ""},
                                {"JIGYOUNUSIKASI_KIMATU", "-3"}})),
              Visible(capture.Bytes()));
}

TEST(BalanceTableTest, RepeatedCodesAfterAnotherCodeAreLookedUpAgain)
{
    const StBalanceRow table[] = {{"A_KISYU", 0, 5}, {"B_KIMATU", 1, 6}, {"A_KIMATU", 1, 5}};
    SumLines sums;
    sums.Add(1, 5, "a", 10000, 20000);
    sums.Add(2, 6, "b", 30000, 40000);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteBalanceTable(capture.writer, figures, table, 3));
    EXPECT_EQ(Visible(Elements({{"A_KISYU", "1"}, {"B_KIMATU", "4"}, {"A_KIMATU", "2"}})), Visible(capture.Bytes()));
}

TEST(BalanceTableTest, StopsAtTheFirstFailedWrite)
{
    SumLines sums;
    AddLineFor(sums, 201);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    capture.fs.FailWriteAt(2);
    // A failed write is no refusal of the section: it stays with the writer.
    EXPECT_EQ(1, sections::WriteBalanceTable(capture.writer, figures, BlueGeneralBalanceRows, 114));
    EXPECT_TRUE(capture.writer.Failed());
    EXPECT_EQ(Visible(Element(4, "GENKIN_KISYU", "-201")), Visible(capture.Bytes()));
    EXPECT_EQ(2, capture.fs.CallCount("Write"));
}

TEST(BalanceTableTest, SpecialCodesSetByTheCollectorAreFound)
{
    SumLines sums;
    sums.Add(24, 999, "控除前所得", 0, 8000000000);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteBalanceTable(capture.writer, figures, BlueGeneralBalanceRows, 114));
    const std::string bytes = capture.Bytes();
    EXPECT_NE(std::string::npos,
              bytes.find(Element(4, "KOUJYOMAESYOTOKUKINNGAKU_KIMATU", "800000")))
        << Visible(bytes);
    EXPECT_EQ(std::string::npos, bytes.find("KOUJYOMAESYOTOKUKINNGAKU_KISYU"));
}

// ---- FindSumLine ----

struct FindCase {
    const char* label;
    int32_t key;
    int mode;
    int result;
    int32_t row;   // row of the line copied when result is 1
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.label; }

class FindSumLineTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindSumLineTest, CopiesTheLineOrLeavesOutAlone)
{
    const FindCase& c = GetParam();
    SumLines sums;
    sums.Add(1, 101, "一", 0, 10000);
    sums.Add(2, 104, "二", 0, 20000);
    sums.Add(3, 101, "三", 0, 30000);
    sums.Add(4, 998, "四", 0, 40000);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    StAOSUMINFO out{};
    out.lRowNo = -7;
    EXPECT_EQ(c.result, sections::FindSumLine(figures, c.key, c.mode, &out)) << c.label;
    EXPECT_EQ(c.result ? c.row : -7, out.lRowNo) << c.label;
    if (c.result) {
        EXPECT_EQ(int64_t{c.row} * 10000, out.llAmount) << c.label;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, FindSumLineTest,
    ::testing::Values(FindCase{"first of two with the code", 101, 0, 1, 1}, FindCase{"code", 104, 0, 1, 2},
                      FindCase{"last code", 998, 0, 1, 4}, FindCase{"missing code", 105, 0, 0, 0},
                      FindCase{"first line", 1, 1, 1, 1}, FindCase{"third line", 3, 1, 1, 3},
                      FindCase{"last line", 4, 1, 1, 4}, FindCase{"past the end", 5, 1, 0, 0},
                      FindCase{"position 0", 0, 1, 0, 0}, FindCase{"negative position", -1, 1, 0, 0},
                      FindCase{"unknown mode", 101, 2, 0, 0}, FindCase{"negative mode", 101, -1, 0, 0}));

TEST(FindSumLineTest, MissingOutOrListGivesZero)
{
    SumLines sums;
    sums.Add(1, 101, "一", 0, 10000);
    sections::StFigures figures;
    figures.sumLines = &sums.lines;
    EXPECT_EQ(0, sections::FindSumLine(figures, 101, 0, nullptr));
    figures.sumLines = nullptr;
    StAOSUMINFO out{};
    EXPECT_EQ(0, sections::FindSumLine(figures, 101, 0, &out));
    EXPECT_EQ(0, out.lLineCode);
}

// ---- StripAccountName ----

struct StripCase {
    const char* label;
    std::string name;
    int length;
    int result;
    std::string expected;   // out after the call ("untouched" for result 0)
};

void PrintTo(const StripCase& c, std::ostream* os) { *os << c.label; }

class StripAccountNameTest : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripAccountNameTest, RemovesWholeTokensOnly)
{
    const StripCase& c = GetParam();
    char out[64];
    std::memset(out, 0, sizeof(out));
    std::strcpy(out, "untouched");
    EXPECT_EQ(c.result, StripAccountName(c.name.c_str(), out, c.length)) << c.label;
    EXPECT_EQ(Visible(c.expected), Visible(out)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Names, StripAccountNameTest,
    ::testing::Values(
        StripCase{"plain", "消耗品費", 40, 1, "消耗品費"},
        StripCase{"marker", "(製)材料費", 40, 1, "材料費"},
        StripCase{"marker inside", "仕入(製)高", 40, 1, "仕入高"},
        StripCase{"other half-width brackets kept", "(株)X", 40, 1, "(株)X"},
        StripCase{"all bracket kinds", "【A】《B》（C）［D］", 40, 1, "ABCD"},
        StripCase{"blanks", " 旅費　交通費 ", 40, 1, "旅費交通費"},
        StripCase{"only blanks", "  　 　", 40, 1, ""},
        StripCase{"empty", "", 40, 0, "untouched"},
        // メ is 83 81: its trail byte and the next byte would spell a token byte-wise.
        StripCase{"trail 81 then 74 (》)", "\x83\x81t", 40, 1, "\x83\x81t"},
        StripCase{"trail 81 then 73 (《)", "メs", 40, 1, "メs"},
        StripCase{"trail 81 then 40 (full-width blank)", "メ@", 40, 1, "メ@"},
        StripCase{"trail 81 then 69 (（)", "メi)", 40, 1, "メi)"},
        StripCase{"trail 5C kept", "ソフト費", 40, 1, "ソフト費"},
        StripCase{"token after a two-byte character", "メ》t", 40, 1, "メt"},
        StripCase{"length limits the input", "abcdef", 3, 1, "abc"},
        StripCase{"limit inside a two-byte character", "aメt", 2, 1, "a"},
        StripCase{"limit after a two-byte character", "aメt", 3, 1, "aメ"},
        StripCase{"limit inside a token", "a(製)b", 3, 1, "a("},
        StripCase{"forty bytes", "１２３４５６７８９０１２３４５６７８９０", 40, 1,
                  "１２３４５６７８９０１２３４５６７８９０"}));

TEST(StripAccountNameTest, NullNameIsEmpty)
{
    char out[8] = "x";
    EXPECT_EQ(0, StripAccountName(nullptr, out, 40));
    EXPECT_STREQ("x", out);
}

// ---- monthly table ----

TEST(MonthlyTableTest, TwentyEightElementsInOrder)
{
    StAOSUMINFO_TSUKIBETSU monthly{};
    for (int slot = 0; slot < 27; ++slot)
        monthly.llSlot[slot] = int64_t{slot + 1} * 10000 + 9999;
    StIPPAN_NOTES notes{};
    notes.llReducedRateSales = -15000;
    notes.llReducedRatePurchases = 10000;
    StAOSIROSAVEINFO_IPPAN general{};
    general.pNotes = &notes;

    sections::StFigures figures;
    figures.monthlyTotals = &monthly;
    figures.savedGeneral = &general;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteMonthlyTable(capture.writer, figures));

    Items items;
    for (int month = 1; month <= 12; ++month)
        items.emplace_back("URIAGEKINGAKU" + std::to_string(month), std::to_string(month));
    items.emplace_back("KAJISYOUHI", "13");
    items.emplace_back("ZATUSYUNYU", "14");
    items.emplace_back("URIAGE_UTI_KEIGENZEIRITU", "-1");
    for (int month = 1; month <= 12; ++month)   // slots 15 to 26; slot 14 is never read
        items.emplace_back("SIIREKINGAKU" + std::to_string(month), std::to_string(month + 15));
    items.emplace_back("SIIRE_UTI_KEIGENZEIRITU", "1");
    EXPECT_EQ(Visible(Elements(items)), Visible(capture.Bytes()));
}

TEST(MonthlyTableTest, MissingMonthlyFiguresFailAndMissingNotesReadAsEmpty)
{
    StAOSUMINFO_TSUKIBETSU monthly{};
    StIPPAN_NOTES notes{};
    StAOSIROSAVEINFO_IPPAN general{};   // no notes block
    StAOSIROSAVEINFO_IPPAN withNotes{};
    withNotes.pNotes = &notes;
    {
        sections::StFigures figures;
        figures.savedGeneral = &withNotes;
        fakes::ReportCapture capture;
        EXPECT_EQ(0, sections::WriteMonthlyTable(capture.writer, figures)) << "no monthly figures";
        EXPECT_EQ("", capture.Bytes());
    }
    sections::StFigures figures;
    figures.monthlyTotals = &monthly;
    figures.savedGeneral = &withNotes;
    fakes::ReportCapture empty;
    ASSERT_EQ(1, sections::WriteMonthlyTable(empty.writer, figures));
    for (StAOSIROSAVEINFO_IPPAN* record : {static_cast<StAOSIROSAVEINFO_IPPAN*>(nullptr), &general}) {
        figures.savedGeneral = record;
        fakes::ReportCapture capture;
        EXPECT_EQ(1, sections::WriteMonthlyTable(capture.writer, figures));
        EXPECT_EQ(Visible(empty.Bytes()), Visible(capture.Bytes()));
    }
}

TEST(MonthlyTableTest, StopsAtTheFirstFailedWrite)
{
    StAOSUMINFO_TSUKIBETSU monthly{};
    StIPPAN_NOTES notes{};
    StAOSIROSAVEINFO_IPPAN general{};
    general.pNotes = &notes;
    sections::StFigures figures;
    figures.monthlyTotals = &monthly;
    figures.savedGeneral = &general;
    fakes::ReportCapture capture;
    capture.fs.FailWriteAt(15);
    // A failed write is no refusal of the section: it stays with the writer.
    EXPECT_EQ(1, sections::WriteMonthlyTable(capture.writer, figures));
    EXPECT_TRUE(capture.writer.Failed());
    EXPECT_EQ(15, capture.fs.CallCount("Write"));
}

}  // namespace
