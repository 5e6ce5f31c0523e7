// The host data store: what the parser accepts, the errors it names, and the CP932
// bytes its texts become.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "host/host.h"
#include "hostsim/hostsim.h"
#include "tests/fakes/byte_text.h"

namespace {

using fakes::HexBytes;

// The company name of the first data set of the store in force.
std::string FirstCompany()
{
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    unsigned long cursor = 0;
    set->GetDatCursor(&cursor);
    set->ReadyDat(cursor, 0);
    StDATAINFO info{};
    EXPECT_EQ(set->WalkDat(&info, cursor), 0);
    set->ReleaseDatCursor(cursor);
    return info.szCompanyName;
}

// The company name of the first data set after loading the given store.
std::string CompanyOf(const std::string& json)
{
    EXPECT_TRUE(hostsim::LoadStoreFromText(json)) << hostsim::StoreError();
    return FirstCompany();
}

std::string Repeat(const std::string& unit, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) out += unit;
    return out;
}

class HostStore : public ::testing::Test {
protected:
    void TearDown() override { hostsim::ResetForTests(); }
};

// ---- texts ----

TEST_F(HostStore, Utf8TextsBecomeTheBytesWindowsWrites)
{
    // The JSON must stay UTF-8 here: u8 keeps it so whatever the execution charset.
    EXPECT_EQ(HexBytes(CompanyOf(u8R"({"dataSets": [{"company": "～＂"}]})")), "81 60 FA 57");
    EXPECT_EQ(HexBytes(CompanyOf(u8R"({"dataSets": [{"company": "表示"}]})")), "95 5C 8E A6");
    // Characters code page 932 lacks (é ¥ ¢ ゔ, as JSON escapes) take Windows' best fit.
    EXPECT_EQ(HexBytes(CompanyOf(R"({"dataSets": [{"company": "Caf\u00e9 \u00a5\u00a2\u3094"}]})")),
              "43 61 66 65 20 5C 81 91 83 94");
}

TEST_F(HostStore, SjisTextsAreTakenByteForByte)
{
    EXPECT_EQ(HexBytes(CompanyOf(R"({"dataSets": [{"company": {"sjis": "95 5C 8E 9A"}}]})")), "95 5C 8E 9A");
    EXPECT_EQ(HexBytes(CompanyOf(R"({"dataSets": [{"company": {"sjis": "955c8e9a41"}}]})")), "95 5C 8E 9A 41");
    // A lone lead byte at the end is kept as it is: tests need broken texts too.
    EXPECT_EQ(HexBytes(CompanyOf(R"({"dataSets": [{"company": {"sjis": "41 81"}}]})")), "41 81");
}

TEST_F(HostStore, TextsFillTheirWholeSlot)
{
    EXPECT_EQ(CompanyOf("{\"dataSets\": [{\"company\": \"" + Repeat("a", 255) + "\"}]}").size(), 255u);
    EXPECT_EQ(CompanyOf(u8"{\"dataSets\": [{\"company\": \"" + Repeat(u8"山", 127) + "a\"}]}").size(), 255u);
}

TEST_F(HostStore, MissingFieldsAreZeroOrEmpty)
{
    ASSERT_TRUE(hostsim::LoadStoreFromText(R"({"dataSets": [{}]})"));
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    unsigned long cursor = 0;
    set->GetDatCursor(&cursor);
    StDATAINFO info;
    std::memset(&info, 0x77, sizeof info);
    ASSERT_EQ(set->WalkDat(&info, cursor), 0);
    EXPECT_STREQ(info.szDataId, "0");
    EXPECT_EQ(info.lDataNo, 0);
    EXPECT_STREQ(info.szCompanyName, "");
    EXPECT_EQ(info.lPeriodStart, 0);
    EXPECT_EQ(info.ulMfgCost, 0u);
    EXPECT_EQ(info.sDataKind, 0);
    EXPECT_EQ(info.cReturnKind, 0);
    EXPECT_EQ(info.cBusinessKind, 0);
    set->ReleaseDatCursor(cursor);
    char id[65] = "x";
    ClDataMgr::Inst()->GetSysUserObject()->GetCurUserID(id);
    EXPECT_STREQ(id, "");
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_OUTPUT), "");
}

TEST_F(HostStore, GivenIdsAreKeptAndNumbersFillTheRest)
{
    ASSERT_TRUE(hostsim::LoadStoreFromText(
        R"({"dataSets": [{"number": 3}, {"id": "3", "number": 9}, {"number": 12, "id": "abc"}]})"))
        << hostsim::StoreError();
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    unsigned long cursor = 0;
    set->GetDatCursor(&cursor);
    StDATAINFO info{};
    set->WalkDat(&info, cursor);
    EXPECT_STREQ(info.szDataId, "3#1");
    set->WalkDat(&info, cursor);
    EXPECT_STREQ(info.szDataId, "3");
    set->WalkDat(&info, cursor);
    EXPECT_STREQ(info.szDataId, "abc");
    set->ReleaseDatCursor(cursor);
}

// ---- errors name the key path ----

struct ErrorCase {
    const char* name;
    std::string json;
    std::string error;
};

class StoreErrors : public ::testing::TestWithParam<ErrorCase> {
protected:
    void TearDown() override { hostsim::ResetForTests(); }
};

TEST_P(StoreErrors, NameTheKeyPath)
{
    EXPECT_FALSE(hostsim::LoadStoreFromText(GetParam().json));
    EXPECT_EQ(hostsim::StoreError(), GetParam().error);
    // Nothing of a broken store is served.
    ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
    unsigned long cursor = 0;
    set->GetDatCursor(&cursor);
    StDATAINFO info{};
    EXPECT_EQ(set->WalkDat(&info, cursor), HOST_NO_MORE_RECORDS);
    set->ReleaseDatCursor(cursor);
}

const ErrorCase kErrorCases[] = {
    {"SalaryNameTooLong",
     R"({"dataSets": [{"saved": {"general": {"salaries": [{}, {}, {"name": ")" + Repeat("n", 41) + R"("}]}}}]})",
     "dataSets[0].saved.general.salaries[2].name: text longer than 40 bytes"},
    {"CompanyTooLong", R"({"dataSets": [{"company": ")" + Repeat("c", 256) + R"("}]})",
     "dataSets[0].company: text longer than 255 bytes"},
    {"DoubleByteCompanyTooLong", u8R"({"dataSets": [{"company": ")" + Repeat(u8"山", 128) + u8R"("}]})",
     "dataSets[0].company: text longer than 255 bytes"},
    {"AccountNameTooLong",
     R"({"dataSets": [{"blue": {"general": {"pl": [{"row": 1, "name": ")" + Repeat("a", 41) + R"("}]}}}]})",
     "dataSets[0].blue.general.pl[0].name: text longer than 40 bytes"},
    {"SpecialMattersTooLong",
     R"({"dataSets": [{"saved": {"realEstate": {"specialMatters": ")" + Repeat("s", 1024) + R"("}}}]})",
     "dataSets[0].saved.realEstate.specialMatters: text longer than 1023 bytes"},
    {"RelationTooLong", u8R"({"dataSets": [{"saved": {"general": {"familyEmployees": [{"relation": "子の配偶者"}]}}}]})",
     "dataSets[0].saved.general.familyEmployees[0].relation: text longer than 6 bytes"},
    {"UseTooLong", R"({"dataSets": [{"saved": {"realEstate": {"rentals": [{"use": ")" + Repeat("u", 22) + R"("}]}}}]})",
     "dataSets[0].saved.realEstate.rentals[0].use: text longer than 21 bytes"},
    {"SjisTooLong", R"({"dataSets": [{"saved": {"general": {"sales": [{"customer": {"sjis": ")" + Repeat("41", 21) +
                        R"("}}]}}}]})",
     "dataSets[0].saved.general.sales[0].customer: text longer than 20 bytes"},
    {"UnknownTopLevelKey", R"({"dataSet": []})", "dataSet: unknown key"},
    {"UnknownDataSetField", R"({"dataSets": [{"numbr": 5}]})", "dataSets[0].numbr: unknown key"},
    {"UnknownLineField", R"({"dataSets": [{}, {"blue": {"general": {"pl": [{"nam": "x"}]}}}]})",
     "dataSets[1].blue.general.pl[0].nam: unknown key"},
    {"WhiteHasNoBalanceSheet", R"({"dataSets": [{"white": {"general": {"assets": []}}}]})",
     "dataSets[0].white.general.assets: unknown key"},
    {"UnknownCountKey", R"({"dataSets": [{"counts": {"blue.general.foo": 1}}]})",
     "dataSets[0].counts.blue.general.foo: unknown key"},
    {"UnknownScaleKey", R"({"dataSets": [{"saved": {"realEstate": {"scale": {"parking": {"covered": 1}}}}}]})",
     "dataSets[0].saved.realEstate.scale.parking.covered: unknown key"},
    {"TextForNumber", R"({"dataSets": [{"number": "5"}]})", "dataSets[0].number: expected an integer, found a text"},
    {"FractionForAmount", R"({"dataSets": [{"blue": {"general": {"pl": [{"amount": 1.5}]}}}]})",
     "dataSets[0].blue.general.pl[0].amount: expected an integer, found a number with a fraction"},
    {"NumberForText", R"({"user": {"id": 5}})", "user.id: expected a text, found a number"},
    {"ListForObject", R"({"dataSets": [{"saved": []}]})", "dataSets[0].saved: expected an object, found a list"},
    {"ObjectForList", R"({"dataSets": {}})", "dataSets: expected a list, found an object"},
    {"ByteOutOfRange", R"({"dataSets": [{"returnKind": 256}]})",
     "dataSets[0].returnKind: value 256 out of range 0 to 255"},
    {"NegativeByte", R"({"dataSets": [{"saved": {"general": {"deduction": -1}}}]})",
     "dataSets[0].saved.general.deduction: value -1 out of range 0 to 255"},
    {"Int16OutOfRange", R"({"dataSets": [{"dataKind": 40000}]})",
     "dataSets[0].dataKind: value 40000 out of range -32768 to 32767"},
    {"TooManyFamilyEmployees", R"({"dataSets": [{"saved": {"general": {"familyEmployees": [{}, {}, {}, {}, {}, {}]}}}]})",
     "dataSets[0].saved.general.familyEmployees: more than 5 rows"},
    {"TooManyBorrowings", R"({"dataSets": [{"saved": {"realEstate": {"borrowings": [{}, {}, {}, {}]}}}]})",
     "dataSets[0].saved.realEstate.borrowings: more than 3 rows"},
    {"TooManyMonthlySlots", R"({"dataSets": [{"blue": {"monthly": [)" + Repeat("0, ", 27) + R"(0]}}]})",
     "dataSets[0].blue.monthly: more than 27 rows"},
    {"FeeRowWithInterestKeys",
     R"({"dataSets": [{"saved": {"general": {"taxAccountantFees": [{"interest": 1}]}}}]})",
     "dataSets[0].saved.general.taxAccountantFees[0].interest: unknown key"},
    {"UnknownFaultOperation", R"({"faults": {"Redy": 7}})", "faults.Redy: unknown operation"},
    {"FaultCallFromOne", R"({"faults": {"Ready": {"call": 0, "status": 7}}})", "faults.Ready.call: calls count from 1"},
    {"FaultWithoutStatus", R"({"faults": {"Ready": {"call": 2}}})", "faults.Ready: missing \"status\""},
    {"FaultOfWrongType", R"({"faults": {"Ready": "7"}})",
     "faults.Ready: expected a status, {\"call\": N, \"status\": S} or a list of them, found a text"},
    {"SelectionNeedsTwoNumbers", R"({"user": {"selected": [5]}})",
     "user.selected: expected a list of two numbers [first, second]"},
    {"OddHexDigits", R"({"user": {"id": {"sjis": "95 5"}}})", "user.id.sjis: expected pairs of hex digits, e.g. \"95 5C\""},
    {"SjisWithAnotherKey", R"({"user": {"id": {"sjis": "41", "utf8": "A"}}})",
     "user.id: expected a text or {\"sjis\": \"hex bytes\"}"},
    {"NulByte", R"({"user": {"id": {"sjis": "41 00 42"}}})", "user.id: text holds a NUL byte"},
    {"CharacterWithoutCp932Code", u8R"({"folders": {"output": "C:\\😀\\"}})",
     "folders.output: text holds a character that CP932 lacks"},
    // The JIS wave dash (1月〜12月) has no best fit: Windows would write its default character.
    {"CharacterWithoutBestFit", R"({"dataSets": [{"company": "1\u6708\u301c12\u6708"}]})",
     "dataSets[0].company: text holds a character that CP932 lacks"},
    {"DuplicateId", R"({"dataSets": [{"id": "A"}, {"id": "A"}]})", "dataSets[1].id: id used by an earlier data set"},
    {"IdTooLong", R"({"dataSets": [{"id": "0123456789abcdef"}]})", "dataSets[0].id: text longer than 15 bytes"},
};

INSTANTIATE_TEST_SUITE_P(Cases, StoreErrors, ::testing::ValuesIn(kErrorCases),
                         [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST_F(HostStore, BrokenJsonIsReportedAsSuch)
{
    EXPECT_FALSE(hostsim::LoadStoreFromText("{\"dataSets\": [}"));
    EXPECT_EQ(hostsim::StoreError().rfind("not valid JSON: ", 0), 0u) << hostsim::StoreError();
}

TEST_F(HostStore, CommentsAreAllowedInEveryObject)
{
    EXPECT_TRUE(hostsim::LoadStoreFromText(
        R"({"comment": "x", "dataSets": [{"comment": ["any"], "saved": {"comment": 1, "general": {"comment": {}}}}]})"))
        << hostsim::StoreError();
}

TEST_F(HostStore, MissingFileIsAStoreError)
{
    EXPECT_FALSE(hostsim::LoadStoreFromFile("/nonexistent/host-data.json"));
    EXPECT_EQ(hostsim::StoreError(), "cannot read the host data file /nonexistent/host-data.json");
}

TEST_F(HostStore, LoadsTheFileNamedByLedgraHostData)
{
    const std::string path = std::string(::testing::TempDir()) + "hostsim_store.json";
    {
        std::ofstream out(path, std::ios::binary);
        out << u8R"({"dataSets": [{"number": 3, "company": "ファイル"}]})";
    }
#ifdef _WIN32
    _putenv_s("LEDGRA_HOST_DATA", path.c_str());
#else
    setenv("LEDGRA_HOST_DATA", path.c_str(), 1);
#endif
    ASSERT_TRUE(hostsim::ResetForTests()) << hostsim::StoreError();
    EXPECT_EQ(FirstCompany(), "ファイル");
    // A file that breaks the contract fails the load and names the key.
    {
        std::ofstream out(path, std::ios::binary);
        out << R"({"dataSets": [{"number": 3, "periodStart": "2019"}]})";
    }
    EXPECT_FALSE(hostsim::ResetForTests());
    EXPECT_EQ(hostsim::StoreError(), "dataSets[0].periodStart: expected an integer, found a text");
#ifdef _WIN32
    _putenv_s("LEDGRA_HOST_DATA", "");
#else
    unsetenv("LEDGRA_HOST_DATA");
#endif
    std::remove(path.c_str());
}

// The example of docs/host-data.md is a valid store (found next to the sources).
TEST_F(HostStore, DocumentedExampleLoads)
{
    std::string doc = __FILE__;
    doc = doc.substr(0, doc.rfind("tests")) + "docs/host-data.md";
    std::ifstream in(doc, std::ios::binary);
    if (!in) GTEST_SKIP() << "no " << doc;
    std::stringstream text;
    text << in.rdbuf();
    const std::string md = text.str();
    const std::size_t start = md.find("```json\n");
    ASSERT_NE(start, std::string::npos);
    const std::size_t end = md.find("```", start + 8);
    const std::string json = md.substr(start + 8, end - start - 8);
    ASSERT_TRUE(hostsim::LoadStoreFromText(json)) << hostsim::StoreError();
    StDATAINFO* info = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1))->GetSelectedInfo();
    EXPECT_EQ(info->lDataNo, 12);
    EXPECT_EQ(info->cReturnKind, 4);
}

}  // namespace
