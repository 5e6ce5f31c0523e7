// The dialog texts of a company data set, and the lookup of the selected data set.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/export_app.h"
#include "hostsim/hostsim.h"
#include "tests/fakes/host_log.h"

namespace {

StDATAINFO Record(const std::string& company, int32_t start, int32_t end)
{
    StDATAINFO info;
    std::memset(&info, 0, sizeof info);
    std::memcpy(info.szCompanyName, company.data(), std::min(company.size(), sizeof info.szCompanyName));
    info.lPeriodStart = start;
    info.lPeriodEnd = end;
    return info;
}

// Bytes shown as hex so a failure shows where two texts part.
std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

struct TextCase {
    const char* name;
    short kind;
    std::string company;
    int32_t start;
    int32_t end;
    std::string expected;
};

const std::string kHyou = "\x95\x5C";  // 表: its trail byte is 0x5C

const TextCase kTextCases[] = {
    {"company", 0, "山田商店", 20190101, 20191231, " 山田商店"},
    {"period", 1, "山田商店", 20190101, 20191231, " 2019/01/01\x81\x60" "2019/12/31"},
    {"period of another year", 1, "", 20200401, 20210331, " 2020/04/01\x81\x60" "2021/03/31"},
    {"zeroed company", 0, "", 0, 0, " "},
    {"zeroed period", 1, "", 0, 0, " 0000/00/00\x81\x60" "0000/00/00"},
    {"other kind", 2, "山田商店", 20190101, 20191231, ""},
    {"negative kind", -1, "山田商店", 20190101, 20191231, ""},
    {"0x5C trail byte kept", 0, kHyou + "\\", 0, 0, " " + kHyou + "\\"},
    {"254 bytes fit", 0, std::string(254, 'a'), 0, 0, " " + std::string(254, 'a')},
    {"255 single bytes cut to 254", 0, std::string(255, 'b'), 0, 0, " " + std::string(254, 'b')},
    {"127 double-byte characters fit", 0, Repeat(kHyou, 127), 0, 0, " " + Repeat(kHyou, 127)},
    {"a cut never splits a character", 0, "a" + Repeat(kHyou, 127), 0, 0, " a" + Repeat(kHyou, 126)},
};

class FormatDataTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(FormatDataTextTest, GivesTheDialogText)
{
    const TextCase& c = GetParam();
    const StDATAINFO info = Record(c.company, c.start, c.end);
    const std::string text = ClExportApp::FormatDataText(c.kind, &info);
    EXPECT_EQ(Hex(c.expected), Hex(text));
    EXPECT_LE(text.size(), 255u);
}

INSTANTIATE_TEST_SUITE_P(Texts, FormatDataTextTest, ::testing::ValuesIn(kTextCases),
                         [](const ::testing::TestParamInfo<TextCase>& info) {
                             std::string name;
                             for (char ch : std::string(info.param.name))
                                 name += (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ? ch : '_';
                             return name;
                         });

TEST(FormatDataText, NullRecordGivesEmptyText)
{
    EXPECT_EQ("", ClExportApp::FormatDataText(0, nullptr));
    EXPECT_EQ("", ClExportApp::FormatDataText(1, nullptr));
}

// The name takes what fits after its blank, and a shorter text after a longer one
// keeps nothing of it.
TEST(FormatDataText, LongNameThenPeriod)
{
    const StDATAINFO longName = Record(std::string(255, 'z'), 20190101, 20191231);
    EXPECT_EQ(255u, ClExportApp::FormatDataText(0, &longName).size());
    EXPECT_EQ(23u, ClExportApp::FormatDataText(1, &longName).size());
}

TEST(FormatDataText, UnterminatedNameStaysInsideTheRecord)
{
    StDATAINFO info = Record("", 0, 0);
    std::memset(info.szCompanyName, 'q', sizeof info.szCompanyName);
    info.lPeriodStart = 0x41414141;  // would show up if the name ran on
    const std::string text = ClExportApp::FormatDataText(0, &info);
    EXPECT_EQ(" " + std::string(254, 'q'), text);
}

// ---- FindSelectedData against the host stand-in ----

class FindSelectedDataTest : public ::testing::Test {
protected:
    void Load(const std::string& json) { ASSERT_TRUE(hostsim::LoadStoreFromText(json)) << hostsim::StoreError(); }
    void TearDown() override { hostsim::ResetForTests(); }

    fakes::HostLog log;
};

const char kTwoFives[] = u8R"({
  "user": {"id": "USER01", "selected": [1, 5]},
  "dataSets": [
    {"number": 3, "company": "三番", "periodStart": 20180101, "periodEnd": 20181231},
    {"number": 5, "company": "最初の五番", "periodStart": 20190101, "periodEnd": 20191231,
     "manufacturingCost": 1, "dataKind": 99, "returnKind": 3, "businessKind": 2},
    {"number": 5, "company": "二つ目の五番", "periodStart": 20200101, "periodEnd": 20201231}
  ]})";

TEST_F(FindSelectedDataTest, FirstMatchWins)
{
    Load(kTwoFives);
    ClExportApp app;
    StDATAINFO out;
    std::memset(&out, 0x5A, sizeof out);
    EXPECT_EQ(1, app.FindSelectedData(&out));
    EXPECT_EQ(5, out.lDataNo);
    EXPECT_STREQ("最初の五番", out.szCompanyName);
    EXPECT_EQ(20190101, out.lPeriodStart);
    EXPECT_EQ(20191231, out.lPeriodEnd);
    EXPECT_EQ(1u, out.ulMfgCost);
    EXPECT_EQ(99, out.sDataKind);
    EXPECT_EQ(3, out.cReturnKind);
    EXPECT_EQ(2, out.cBusinessKind);
    // The walk stops at the match and the cursor is given back.
    const std::vector<std::string> walk = log.Only({"GetDatCursor", "ReadyDat", "WalkDat", "ReleaseDatCursor"});
    ASSERT_EQ(5u, walk.size());
    EXPECT_EQ("GetDatCursor", walk[0].substr(0, 12));
    EXPECT_EQ("ReleaseDatCursor", walk[4].substr(0, 16));
}

TEST_F(FindSelectedDataTest, NoMatchLeavesTheRecordZeroed)
{
    Load(u8R"({"user": {"id": "USER01", "selected": [1, 9]},
             "dataSets": [{"number": 3, "company": "三番"}, {"number": 5, "company": "五番"}]})");
    ClExportApp app;
    StDATAINFO out;
    std::memset(&out, 0x5A, sizeof out);
    EXPECT_EQ(1, app.FindSelectedData(&out));
    StDATAINFO zero;
    std::memset(&zero, 0, sizeof zero);
    EXPECT_EQ(0, std::memcmp(&zero, &out, sizeof out));
    EXPECT_EQ(1u, log.Only({"ReleaseDatCursor"}).size());
}

TEST_F(FindSelectedDataTest, NoDataSetsAtAll)
{
    Load(u8R"({"user": {"id": "USER01", "selected": [1, 5]}, "dataSets": []})");
    ClExportApp app;
    StDATAINFO out;
    std::memset(&out, 0x5A, sizeof out);
    EXPECT_EQ(1, app.FindSelectedData(&out));
    EXPECT_EQ(0, out.lDataNo);
    EXPECT_EQ('\0', out.szCompanyName[0]);
}

TEST_F(FindSelectedDataTest, WalkFailureEndsWithoutMatch)
{
    Load(u8R"({"user": {"id": "USER01", "selected": [1, 5]}, "faults": {"WalkDat": 7},
             "dataSets": [{"number": 5, "company": "五番"}]})");
    ClExportApp app;
    StDATAINFO out;
    EXPECT_EQ(1, app.FindSelectedData(&out));
    EXPECT_EQ(0, out.lDataNo);
}

TEST_F(FindSelectedDataTest, NullOutAsksNothing)
{
    Load(kTwoFives);
    ClExportApp app;
    EXPECT_EQ(0, app.FindSelectedData(nullptr));
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(nullptr, app.dataSet);
}

TEST_F(FindSelectedDataTest, DataSetObjectIsObtainedOnce)
{
    Load(kTwoFives);
    ClExportApp app;
    StDATAINFO out;
    app.FindSelectedData(&out);
    ASSERT_NE(nullptr, app.dataSet);
    ClSetData* first = app.dataSet;
    app.FindSelectedData(&out);
    EXPECT_EQ(first, app.dataSet);
    const std::vector<std::string> calls = log.Only({"GetSetObject"});
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("GetSetObject 5 1", calls[0]);
    EXPECT_STREQ("最初の五番", out.szCompanyName);
}

}  // namespace
