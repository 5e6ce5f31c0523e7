// The schedules of the report: employees, payees, breakdowns, notes, rental rows.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/services.h"
#include "report/sections/sections.h"
#include "tests/fakes/report_capture.h"
#include "tests/fakes/scoped_services.h"
#include "tests/fakes/saved_details.h"

using fakes::Element;
using fakes::Visible;

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string At(int depth, const Fields& fields)
{
    std::string out;
    for (const auto& [name, text] : fields) out += Element(depth, name, text);
    return out;
}

std::string Row(const std::string& name, int count, const std::string& body)
{
    return "\t\t\t\t<" + name + " COUNT=\"" + std::to_string(count) + "\">\r\n" + body + "\t\t\t\t</" + name +
           ">\r\n";
}

class Schedules : public ::testing::Test {
protected:
    void SetUp() override
    {
        figures.savedGeneral = &saved.general;
        figures.savedRealEstate = &saved.realEstate;
        blue.cReturnKind = 3;
        white.cReturnKind = 4;
    }
    fakes::SavedDetails saved;
    sections::StFigures figures;
    fakes::ReportCapture capture;
    StDATAINFO blue{};
    StDATAINFO white{};
};

const Fields kEmptySalary = {{"SIMEI", ""}, {"NENREI", ""}, {"JUUJITUKISUU", ""},
                             {"KYUURYOU", ""}, {"SYOUYO", ""}, {"GENSENZEIGAKU", ""}};
const Fields kEmptyOthers = {{"SONOTA_NINBUN", ""}, {"SONOTA_JUUJITUKISUU", ""}, {"SONOTA_KYUURYOU", ""},
                             {"SONOTA_SYOUYO", ""}, {"SONOTA_GENSENZEIGAKU", ""}};

// ---- employees ----

TEST_F(Schedules, WhiteGeneralSalariesHaveThreeEmptyRowsAndTheOthers)
{
    ASSERT_EQ(1, sections::WriteSalaries(capture.writer, figures, 3, 1));
    std::string expected;
    for (int n = 1; n <= 3; ++n) expected += Row("KYUURYOU_UTIWAKE", n, At(5, kEmptySalary));
    expected += At(4, kEmptyOthers);
    EXPECT_EQ(Visible(expected), Visible(capture.Bytes()));
}

TEST_F(Schedules, SalaryRowValuesAndAgeZeroEmptiesMonths)
{
    StSavedEmployee& a = saved.general.pSalary->salary[0];
    std::strcpy(a.szName, "\x8E\x52\x93\x63 A&B");   // 山田 A&B
    a.lAge = 0;
    a.lMonths = 12;
    a.llSalary = 99999;       // 9.9999 yen
    a.llBonus = 10000;
    a.llTax = -15000;
    StSavedEmployee& others = saved.general.pSalary->salary[5];
    others.lAge = 0;          // persons
    others.lMonths = 12;
    others.llSalary = 1234560000;
    ASSERT_EQ(1, sections::WriteSalaries(capture.writer, figures, 5, 1));
    std::string expected = Row("KYUURYOU_UTIWAKE", 1,
                               At(5, {{"SIMEI", "\x8E\x52\x93\x63 A&amp;B"}, {"NENREI", ""}, {"JUUJITUKISUU", ""},
                                      {"KYUURYOU", "9"}, {"SYOUYO", "1"}, {"GENSENZEIGAKU", "-1"}}));
    for (int n = 2; n <= 5; ++n) expected += Row("KYUURYOU_UTIWAKE", n, At(5, kEmptySalary));
    expected += At(4, {{"SONOTA_NINBUN", ""}, {"SONOTA_JUUJITUKISUU", "12"}, {"SONOTA_KYUURYOU", "123456"},
                       {"SONOTA_SYOUYO", ""}, {"SONOTA_GENSENZEIGAKU", ""}});
    EXPECT_EQ(Visible(expected), Visible(capture.Bytes()));
}

TEST_F(Schedules, SalaryRequestsBeyondTheBlockFail)
{
    EXPECT_EQ(0, sections::WriteSalaries(capture.writer, figures, 6, 0));
    std::string bytes = capture.Bytes();
    EXPECT_NE(std::string::npos, bytes.find("<KYUURYOU_UTIWAKE COUNT=\"6\">")) << "fails after its start tag";
    fakes::ReportCapture other;
    EXPECT_EQ(0, sections::WriteSalaries(other.writer, figures, 4, 1));   // no others slot after 4 rows
    fakes::ReportCapture none;
    EXPECT_EQ(1, sections::WriteSalaries(none.writer, figures, 0, 0));
    EXPECT_EQ("", none.Bytes());
}

TEST_F(Schedules, FamilyEmployeesBlueAndWhite)
{
    StSavedFamilyEmployee& f = saved.general.pFamily->family[0];
    std::strcpy(f.szName, "Hanako");
    std::strcpy(f.szRelation, "\x8D\xC8");   // 妻
    f.lAge = 40;
    f.lMonths = 12;
    f.llSalary = 12000000000;
    ASSERT_EQ(1, sections::WriteFamilyEmployees(capture.writer, figures, &blue, 1));
    EXPECT_EQ(Visible(Row("SENJUUSYA_UTIWAKE", 1,
                          At(5, {{"SIMEI", "Hanako"}, {"ZOKUGARA", "\x8D\xC8"}, {"NENREI", "40"},
                                 {"JUUJITUKISUU", "12"}, {"KYUURYOU", "1200000"}, {"SYOUYO", ""},
                                 {"GENSENZEIGAKU", ""}}))),
              Visible(capture.Bytes()));

    fakes::ReportCapture w;
    ASSERT_EQ(1, sections::WriteFamilyEmployees(w.writer, figures, &white, 1));
    EXPECT_EQ(Visible(Row("SENJUUSYA_UTIWAKE", 1,
                          At(5, {{"SIMEI", "Hanako"}, {"NENREI", "40"}, {"ZOKUGARA", "\x8D\xC8"},
                                 {"JUUJITUKISUU", "12"}}))),
              Visible(w.Bytes()));
}

TEST_F(Schedules, RealEstateSalariesWithAndWithoutRowElements)
{
    StFUDOUSAN_EMPLOYEE& e = *saved.realEstate.pEmployee;
    std::strcpy(e.salary[0].szName, "Taro");
    e.salary[0].lAge = 30;
    e.salary[0].lMonths = 6;
    e.salary[1].lMonths = 10;           // others' months in the white form
    e.salary[1].llBonus = 50000;
    e.lOtherPersons = 2;
    ASSERT_EQ(1, sections::WriteSalariesRealEstate(capture.writer, figures, 1, 1));
    EXPECT_EQ(Visible(At(4, {{"SIMEI", "Taro"}, {"NENREI", "30"}, {"JUUJITUKISUU", "6"}, {"KYUURYOU", ""},
                             {"SYOUYO", ""}, {"GENSENZEIGAKU", ""}, {"SONOTA_NINBUN", "2"},
                             {"SONOTA_JUUJITUKISUU", "10"}, {"SONOTA_KYUURYOU", ""}, {"SONOTA_SYOUYO", "5"},
                             {"SONOTA_GENSENZEIGAKU", ""}})),
              Visible(capture.Bytes()));

    fakes::ReportCapture two;
    ASSERT_EQ(1, sections::WriteSalariesRealEstate(two.writer, figures, 2, 0));
    std::string bytes = two.Bytes();
    EXPECT_NE(std::string::npos, bytes.find("\t\t\t\t<KYUURYOU_UTIWAKE COUNT=\"2\">\r\n\t\t\t\t\t<SIMEI></SIMEI>"));
    EXPECT_EQ(std::string::npos, bytes.find("SONOTA"));

    fakes::ReportCapture none;
    EXPECT_EQ(0, sections::WriteSalariesRealEstate(none.writer, figures, 0, 1));
    fakes::ReportCapture three;
    EXPECT_EQ(0, sections::WriteSalariesRealEstate(three.writer, figures, 3, 0));
}

TEST_F(Schedules, RealEstateFamilyEmployees)
{
    ASSERT_EQ(1, sections::WriteFamilyEmployeesRealEstate(capture.writer, figures, &blue, 1));
    EXPECT_EQ(Visible(At(4, {{"SIMEI", ""}, {"ZOKUGARA", ""}, {"NENREI", ""}, {"JUUJITUKISUU", ""},
                             {"KYUURYOU", ""}, {"SYOUYO", ""}, {"GENSENZEIGAKU", ""}})),
              Visible(capture.Bytes()));
    fakes::ReportCapture w;
    ASSERT_EQ(1, sections::WriteFamilyEmployeesRealEstate(w.writer, figures, &white, 2));
    const Fields whiteRow = {{"SIMEI", ""}, {"NENREI", ""}, {"ZOKUGARA", ""}, {"JUUJITUKISUU", ""}};
    EXPECT_EQ(Visible(Row("SENJUUSYA_UTIWAKE", 1, At(5, whiteRow)) + Row("SENJUUSYA_UTIWAKE", 2, At(5, whiteRow))),
              Visible(w.Bytes()));
}

// ---- payees ----

TEST_F(Schedules, LandRentMoneyKinds)
{
    StSavedLandRent& r = saved.general.pLandRent->landRent[0];
    std::strcpy(r.szUpper, "A&B");
    std::strcpy(r.szLower, "Tokyo");
    std::strcpy(r.szProperty, "Land");
    r.cMoneyKind = 1;
    r.llAmount[0] = 300000000;   // renewal fee 30000 yen
    r.llAmount[1] = 1200000000;
    r.llAmount[2] = 600000000;
    saved.general.pLandRent->landRent[1].cMoneyKind = 2;
    ASSERT_EQ(1, sections::WriteLandRent(capture.writer, figures, 2));
    std::string expected =
        Row("TIDAI_UTIWAKE", 1,
            At(5, {{"JUUSYO_SIMEI_JOUDAN", "A&amp;B"}, {"JUUSYO_SIMEI_GEDAN", "Tokyo"},
                   {"TINSYAKUBUKKEN_JOUDAN", "Land"}, {"TINSYAKUBUKKEN_GEDAN", ""}, {"KENRIKIN", ""},
                   {"KOUSINRYOU", "30000"}, {"TINSYAKURYOU", "120000"}, {"HITUYOUKEIHIGAKU", "60000"}})) +
        Row("TIDAI_UTIWAKE", 2,
            At(5, {{"JUUSYO_SIMEI_JOUDAN", ""}, {"JUUSYO_SIMEI_GEDAN", ""}, {"TINSYAKUBUKKEN_JOUDAN", ""},
                   {"TINSYAKUBUKKEN_GEDAN", ""}, {"TINSYAKURYOU", ""}, {"HITUYOUKEIHIGAKU", ""}}));
    EXPECT_EQ(Visible(expected), Visible(capture.Bytes()));
}

TEST_F(Schedules, LandRentKindZeroWritesBothColumns)
{
    saved.general.pLandRent->landRent[0].llAmount[0] = 50000;
    ASSERT_EQ(1, sections::WriteLandRent(capture.writer, figures, 1));
    std::string bytes = capture.Bytes();
    EXPECT_NE(std::string::npos,
              bytes.find("\t\t\t\t\t<KENRIKIN>5</KENRIKIN>\r\n\t\t\t\t\t<KOUSINRYOU></KOUSINRYOU>\r\n"));
}

TEST_F(Schedules, RealEstateLandRentByReturnKind)
{
    ASSERT_EQ(1, sections::WriteLandRentRealEstate(capture.writer, figures, &blue, 1));
    EXPECT_EQ(Visible(Row("TIDAI_UTIWAKE", 1,
                          At(5, {{"JUUSYO_SIMEI_1", ""}, {"JUUSYO_SIMEI_2", ""}, {"JUUSYO_SIMEI_3", ""},
                                 {"JUUSYO_SIMEI_4", ""}, {"TINSYAKUBUKKEN_1", ""}, {"TINSYAKUBUKKEN_2", ""},
                                 {"TINSYAKUBUKKEN_3", ""}, {"TINSYAKUBUKKEN_4", ""}, {"KENRIKIN", ""},
                                 {"KOUSINRYOU", ""}, {"TINSYAKURYOU", ""}, {"HITUYOUKEIHIGAKU", ""}}))),
              Visible(capture.Bytes()));
    fakes::ReportCapture w;
    ASSERT_EQ(1, sections::WriteLandRentRealEstate(w.writer, figures, &white, 2));
    EXPECT_NE(std::string::npos, w.Bytes().find("<TINSYAKUBUKKEN_JOUDAN>"));
    StDATAINFO other{};
    other.cReturnKind = 5;
    fakes::ReportCapture o;
    EXPECT_EQ(0, sections::WriteLandRentRealEstate(o.writer, figures, &other, 2));
    EXPECT_EQ(Visible("\t\t\t\t<TIDAI_UTIWAKE COUNT=\"1\">\r\n"), Visible(o.Bytes()));
}

TEST_F(Schedules, PayeeRowsOfEveryWriter)
{
    StSavedPayee& interest = saved.general.pPayee->payee[1];
    std::strcpy(interest.szUpper, "Bank");
    interest.llAmount[0] = 10000;
    interest.llAmount[1] = 20000;
    interest.llAmount[2] = 30000;
    StSavedPayee& fee = saved.general.pPayee->payee[2];
    std::strcpy(fee.szLower, "Office");
    fee.llAmount[2] = 40000;
    StSavedPayee& borrow = saved.realEstate.pPayee->payee[2];
    borrow.llAmount[1] = 70000;
    StSavedPayee& reFee = saved.realEstate.pPayee->payee[4];
    reFee.llAmount[0] = 90000;

    ASSERT_EQ(1, sections::WriteInterestDiscount(capture.writer, figures, 2));
    EXPECT_EQ(Visible(Row("RISI_UTIWAKE", 1,
                          At(5, {{"JUUSYO_SIMEI_JOUDAN", ""}, {"JUUSYO_SIMEI_GEDAN", ""}, {"KARIIREKIN_KINGAKU", ""},
                                 {"RISIWARIBIKIRYOU", ""}, {"HITUYOUKEIHIGAKU", ""}})) +
                      Row("RISI_UTIWAKE", 2,
                          At(5, {{"JUUSYO_SIMEI_JOUDAN", "Bank"}, {"JUUSYO_SIMEI_GEDAN", ""},
                                 {"KARIIREKIN_KINGAKU", "1"}, {"RISIWARIBIKIRYOU", "2"},
                                 {"HITUYOUKEIHIGAKU", "3"}}))),
              Visible(capture.Bytes()));

    fakes::ReportCapture f;
    ASSERT_EQ(1, sections::WriteTaxAccountantFees(f.writer, figures, 1));
    EXPECT_EQ(Visible(Row("ZEIRISI_UTIWAKE", 1,
                          At(5, {{"JUUSYO_SIMEI_JOUDAN", ""}, {"JUUSYO_SIMEI_GEDAN", "Office"},
                                 {"HOUSYUU_KINGAKU", ""}, {"HITUYOUKEIHIGAKU", ""}, {"GENSENZEIGAKU", "4"}}))),
              Visible(f.Bytes()));

    fakes::ReportCapture b;
    ASSERT_EQ(1, sections::WriteBorrowingInterest(b.writer, figures, 3));
    std::string borrowBytes = b.Bytes();
    EXPECT_NE(std::string::npos, borrowBytes.find("<KARIIRE_UTIWAKE COUNT=\"3\">\r\n"));
    EXPECT_NE(std::string::npos, borrowBytes.find("<KARIIREKINRISI>7</KARIIREKINRISI>"));
    fakes::ReportCapture b4;
    EXPECT_EQ(0, sections::WriteBorrowingInterest(b4.writer, figures, 4));

    fakes::ReportCapture rf;
    ASSERT_EQ(1, sections::WriteTaxAccountantFeesRealEstate(rf.writer, figures, 2));
    std::string rfBytes = rf.Bytes();
    EXPECT_NE(std::string::npos,
              rfBytes.find("<ZEIRISI_UTIWAKE COUNT=\"2\">\r\n\t\t\t\t\t<JUUSYO_SIMEI_JOUDAN></JUUSYO_SIMEI_JOUDAN>"
                           "\r\n\t\t\t\t\t<JUUSYO_SIMEI_GEDAN></JUUSYO_SIMEI_GEDAN>\r\n\t\t\t\t\t<HOUSYUU_KINGAKU>9<"));

    fakes::ReportCapture zero;
    EXPECT_EQ(1, sections::WriteInterestDiscount(zero.writer, figures, 0));
    EXPECT_EQ("", zero.Bytes());
}

// ---- special matters ----

struct NotesCase {
    const char* label;
    std::string text;
    int lineBytes;
    int lines;
    std::vector<std::string> expected;   // every element's text, in order
};

std::string NotesElements(const std::vector<std::string>& texts)
{
    std::string out;
    for (std::size_t i = 0; i < texts.size(); ++i)
        out += Element(4, "TOKUSYUJIJOU" + std::to_string(i + 1), texts[i]);
    return out;
}

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST_F(Schedules, SpecialMattersWrapping)
{
    std::string thirtyLines;
    for (int i = 1; i <= 30; ++i) thirtyLines += "L" + std::to_string(i) + "\r\n";
    std::vector<std::string> first25;
    for (int i = 1; i <= 25; ++i) first25.push_back("L" + std::to_string(i));
    // 59 single bytes then 亜 (88 9F): the 60th byte starts a character.
    std::string leadAt60 = std::string(59, 'a') + "\x88\x9F" + "b";
    // 亜 x 40 (80 bytes) with a 30-byte line: 15 characters a line.
    std::string kanji = Repeat("\x88\x9F", 40);
    // A 5C trail: 表 x 31 = 62 bytes.
    std::string hyou = Repeat("\x95\x5C", 31);
    // One single byte, then 亜 x 40: every 60-byte line would end inside a character.
    std::string shifted = "x" + Repeat("\x88\x9F", 40);
    // More than 960 bytes without a NUL in them: the line that would end at byte 960
    // is never ended within the scan, so 15 lines are written.
    std::string longText = std::string(1000, 'z');
    // A CR LF straddling the scan limit still ends its line; the empty lines after it
    // are the end of the scan, not lines of the text beyond it.
    std::string crlfAtLimit = std::string(959, 'y') + "\r\n\r\nbeyond";

    const NotesCase cases[] = {
        {"empty text", "", 60, 5, {"", "", "", "", ""}},
        {"130 bytes", std::string(130, 'x'), 60, 5,
         {std::string(60, 'x'), std::string(60, 'x'), std::string(10, 'x'), "", ""}},
        {"line breaks and an empty line", "a\r\n\r\nb", 60, 4, {"a", "", "b", ""}},
        {"30 lines into 25", thirtyLines, 30, 25, first25},
        {"lead byte at 60", leadAt60, 60, 3, {std::string(59, 'a'), "\x88\x9F" "b", ""}},
        {"kanji at 30", kanji, 30, 4, {Repeat("\x88\x9F", 15), Repeat("\x88\x9F", 15), Repeat("\x88\x9F", 10), ""}},
        {"5C trail bytes", hyou, 60, 2, {Repeat("\x95\x5C", 30), "\x95\x5C"}},
        {"trail in the lead range", shifted, 60, 2, {"x" + Repeat("\x88\x9F", 29), Repeat("\x88\x9F", 11)}},
        {"960-byte scan", longText, 60, 17,
         {std::string(60, 'z'), std::string(60, 'z'), std::string(60, 'z'), std::string(60, 'z'),
          std::string(60, 'z'), std::string(60, 'z'), std::string(60, 'z'), std::string(60, 'z'),
          std::string(60, 'z'), std::string(60, 'z'), std::string(60, 'z'), std::string(60, 'z'),
          std::string(60, 'z'), std::string(60, 'z'), std::string(60, 'z'), "", ""}},
        {"line break across the scan limit", crlfAtLimit, 60, 18,
         {std::string(60, 'y'), std::string(60, 'y'), std::string(60, 'y'), std::string(60, 'y'),
          std::string(60, 'y'), std::string(60, 'y'), std::string(60, 'y'), std::string(60, 'y'),
          std::string(60, 'y'), std::string(60, 'y'), std::string(60, 'y'), std::string(60, 'y'),
          std::string(60, 'y'), std::string(60, 'y'), std::string(60, 'y'), std::string(59, 'y'), "", ""}},
        {"trailing line break", "abc\r\n", 60, 3, {"abc", "", ""}},
        {"escaped", "a<b", 60, 1, {"a&lt;b"}},
    };
    for (const NotesCase& c : cases) {
        std::memset(saved.general.pNotes->szSpecialMatters, 0, sizeof saved.general.pNotes->szSpecialMatters);
        std::memcpy(saved.general.pNotes->szSpecialMatters, c.text.data(),
                    std::min(c.text.size(), sizeof saved.general.pNotes->szSpecialMatters));
        fakes::ReportCapture cap;
        EXPECT_EQ(1, sections::WriteSpecialMatters(cap.writer, figures, c.lineBytes, c.lines)) << c.label;
        EXPECT_EQ(Visible(NotesElements(c.expected)), Visible(cap.Bytes())) << c.label;
    }
}

TEST_F(Schedules, SpecialMattersOfTheRealEstateForm)
{
    std::strcpy(saved.realEstate.pNotes->szSpecialMatters, "RE note");
    ASSERT_EQ(1, sections::WriteSpecialMattersRealEstate(capture.writer, figures, 30, 2));
    EXPECT_EQ(Visible(NotesElements({"RE note", ""})), Visible(capture.Bytes()));
}

// ---- breakdowns, association, repairs ----

TEST_F(Schedules, SalesAndPurchaseBreakdowns)
{
    StIPPAN_TRADE& t = *saved.general.pTrade;
    std::strcpy(t.sales[0].szName, "Customer");
    std::strcpy(t.sales[0].szLocation, "Osaka");
    t.sales[0].llAmount = 10000000;
    t.llOtherSales = 20000;
    t.llSalesReducedRate = 30000;
    t.llPurchasesReducedRate = 40000;
    ASSERT_EQ(1, sections::WriteSalesBreakdown(capture.writer, figures, 4));
    std::string expected = Row("URIAGE_UTIWAKE", 1,
                               At(5, {{"URIAGESAKIMEI", "Customer"}, {"SYOZAITI", "Osaka"}, {"URIAGEKINGAKU", "1000"}}));
    for (int n = 2; n <= 4; ++n)
        expected += Row("URIAGE_UTIWAKE", n, At(5, {{"URIAGESAKIMEI", ""}, {"SYOZAITI", ""}, {"URIAGEKINGAKU", ""}}));
    expected += At(4, {{"JOUKIIGAI_URIAGESAKIKEI", "2"}, {"UKINOUTI_KEIGENZEIRITU", "3"}});
    EXPECT_EQ(Visible(expected), Visible(capture.Bytes()));

    fakes::ReportCapture p;
    ASSERT_EQ(1, sections::WritePurchaseBreakdown(p.writer, figures, 4));
    std::string bytes = p.Bytes();
    EXPECT_NE(std::string::npos, bytes.find("<SIIRE_UTIWAKE COUNT=\"4\">\r\n\t\t\t\t\t<SIIRESAKIMEI></SIIRESAKIMEI>"));
    EXPECT_NE(std::string::npos, bytes.find("\t\t\t\t<JOUKIIGAI_SIIRESAKIKEI></JOUKIIGAI_SIIRESAKIKEI>\r\n"
                                            "\t\t\t\t<UKINOUTI_KEIGENZEIRITU>4</UKINOUTI_KEIGENZEIRITU>\r\n"));
    fakes::ReportCapture five;
    EXPECT_EQ(0, sections::WriteSalesBreakdown(five.writer, figures, 5));
}

TEST_F(Schedules, AssociationAndRepairs)
{
    std::strcpy(saved.general.pBase->szAssociation, "\x8F\xA4\x8D\x48\x89\xEF");   // 商工会
    ASSERT_EQ(1, sections::WriteAssociation(capture.writer, figures));
    EXPECT_EQ(Visible(Element(4, "KANYUUDANTAIMEI", "\x8F\xA4\x8D\x48\x89\xEF")), Visible(capture.Bytes()));

    StSavedRepair& r = saved.realEstate.pRepair->repair[0];
    std::strcpy(r.szWork, "Roof");
    r.lDate = 20190630;
    r.llPaid = 1000000;
    fakes::ReportCapture rep;
    ASSERT_EQ(1, sections::WriteRepairs(rep.writer, figures, 1));
    EXPECT_EQ(Visible(Row("SYUUZENHI_UTIWAKE", 1,
                          At(5, {{"JUUSYO_SIMEI_JOUDAN", ""}, {"JUUSYO_SIMEI_GEDAN", ""},
                                 {"KOUJIMEI_SIZAIMEI_JOUDAN", "Roof"}, {"KOUJIMEI_SIZAIMEI_GEDAN", ""},
                                 {"SIHARAINENGAPPI", "20190630"}, {"SIHARAIKINGAKU", "100"},
                                 {"HITUYOUKEIHIGAKU", ""}}))),
              Visible(rep.Bytes()));
    fakes::ReportCapture four;
    EXPECT_EQ(0, sections::WriteRepairs(four.writer, figures, 4));
}

TEST_F(Schedules, UnterminatedSlotsAreReadOnlyWithinTheirSlot)
{
    std::memset(saved.general.pBase->szAssociation, 'q', sizeof saved.general.pBase->szAssociation);
    ASSERT_EQ(1, sections::WriteAssociation(capture.writer, figures));
    EXPECT_EQ(Visible(Element(4, "KANYUUDANTAIMEI", std::string(127, 'q'))), Visible(capture.Bytes()));
}

// ---- rental rows ----

TEST_F(Schedules, RentalRowsCutTextsAndAreas)
{
    saved.SetRentals(3, true);
    StFUDOUSAN_RENTAL& r = saved.realEstate.pRentals[0];
    std::strcpy(r.szHouseOrLand, "0123456789");                           // 10 bytes: whole
    std::strcpy(r.szUse, "\xB1\xDF\xB0\xC4\x20\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88");
    std::string location = std::string(29, 'L') + "\x88\x9F" "L";          // 32 bytes, byte 30 starts 亜
    std::strcpy(r.szLocation, location.c_str());
    std::strcpy(r.szTenantA, std::string(35, 'A').c_str());
    std::strcpy(r.szTenantB, "B&B");
    r.lFrom = 20190401;
    r.lTo = 20210331;
    r.llArea = 450050;
    r.llMonthlyRent = 800000000;
    r.llAnnualRent = 9600000000;
    r.llKeyMoney = 1;
    r.llDeposit = 1600000000;
    saved.realEstate.pRentals[1].llArea = -40;
    ASSERT_EQ(1, sections::WriteRentalIncomeRows(capture.writer, figures, 9999));
    std::string expected =
        Row("FUDOUSAN_UTIWAKE", 1,
            At(5, {{"KASIYA_KASITI", "0123456789"},
                   {"YOUTO", "\xB1\xDF\xB0\xC4\x20\x88\x9F\x88\x9F\x88\x9F"},
                   {"SYOZAITI_JOUDAN", std::string(29, 'L')},
                   {"SYOZAITI_GEDAN", ""},
                   {"JUUSYO_SIMEI_JOUDAN", std::string(30, 'A')},
                   {"JUUSYO_SIMEI_GEDAN", "B&amp;B"},
                   {"KEIYAKUKIKAN_FROM", "201904"},
                   {"KEIYAKUKIKAN_TO", "202103"},
                   {"KASITUKEMENSEKI", "45.01"},
                   {"TINTAIRYOU_TUKIGAKU", "80000"},
                   {"TINTAIRYOU_NENGAKU", "960000"},
                   {"REIKIN", ""},
                   {"KENRIKIN", ""},
                   {"KOUSINRYOU", ""},
                   {"MEIGISYOKANRYOU_SONOTA", ""},
                   {"HOSYOUKIN_SIKIKIN", "160000"}}));
    const Fields empty = {{"KASIYA_KASITI", ""}, {"YOUTO", ""}, {"SYOZAITI_JOUDAN", ""}, {"SYOZAITI_GEDAN", ""},
                          {"JUUSYO_SIMEI_JOUDAN", ""}, {"JUUSYO_SIMEI_GEDAN", ""}, {"KEIYAKUKIKAN_FROM", ""},
                          {"KEIYAKUKIKAN_TO", ""}, {"KASITUKEMENSEKI", ""}, {"TINTAIRYOU_TUKIGAKU", ""},
                          {"TINTAIRYOU_NENGAKU", ""}, {"REIKIN", ""}, {"KENRIKIN", ""}, {"KOUSINRYOU", ""},
                          {"MEIGISYOKANRYOU_SONOTA", ""}, {"HOSYOUKIN_SIKIKIN", ""}};
    Fields negativeArea = empty;
    negativeArea[8].second = "0.00";
    expected += Row("FUDOUSAN_UTIWAKE", 2, At(5, negativeArea));
    expected += Row("FUDOUSAN_UTIWAKE", 3, At(5, empty));
    EXPECT_EQ(Visible(expected), Visible(capture.Bytes()));
}

TEST_F(Schedules, RentalListEnds)
{
    saved.SetRentals(0, true);
    ASSERT_EQ(1, sections::WriteRentalIncomeRows(capture.writer, figures, 9999));
    EXPECT_EQ("", capture.Bytes());

    // Without its marker the list stops at the end of the block.
    saved.SetRentals(2, false);
    fakes::ReportCapture unmarked;
    ASSERT_EQ(1, sections::WriteRentalIncomeRows(unmarked.writer, figures, 9999));
    std::string bytes = unmarked.Bytes();
    EXPECT_NE(std::string::npos, bytes.find("COUNT=\"2\""));
    EXPECT_EQ(std::string::npos, bytes.find("COUNT=\"3\""));

    saved.SetRentals(5, true);
    saved.realEstate.pRentals[2].lMarker = -1;   // a marker in the middle ends the list there
    fakes::ReportCapture middle;
    ASSERT_EQ(1, sections::WriteRentalIncomeRows(middle.writer, figures, 9999));
    bytes = middle.Bytes();
    EXPECT_NE(std::string::npos, bytes.find("COUNT=\"2\""));
    EXPECT_EQ(std::string::npos, bytes.find("COUNT=\"3\""));

    // An allocator that cannot tell the block's size: the marker still ends the list.
    saved.SetRentals(4, true);
    int unknownResult = 0;
    fakes::ReportCapture unknownSize;
    {
        std::size_t (*cannotTell)(const void*) = [](const void*) { return platform::kTaskMemSizeUnknown; };
        fakes::ScopedServices installed(cannotTell);
        unknownResult = sections::WriteRentalIncomeRows(unknownSize.writer, figures, 9999);
    }
    ASSERT_EQ(1, unknownResult);
    bytes = unknownSize.Bytes();
    EXPECT_NE(std::string::npos, bytes.find("COUNT=\"4\""));
    EXPECT_EQ(std::string::npos, bytes.find("COUNT=\"5\""));

    fakes::ReportCapture limited;
    ASSERT_EQ(1, sections::WriteRentalIncomeRows(limited.writer, figures, 1));
    EXPECT_EQ(std::string::npos, limited.Bytes().find("COUNT=\"2\""));
    fakes::ReportCapture none;
    ASSERT_EQ(1, sections::WriteRentalIncomeRows(none.writer, figures, 0));
    EXPECT_EQ("", none.Bytes());
}

// ---- missing blocks ----

TEST(SchedulesWithoutBlocks, MissingBlocksReadAsEmptyOnes)
{
    // Each writer gives the same bytes without a block (or without the whole record)
    // as with a zeroed block; a missing rental list holds no property.
    fakes::SavedDetails zeroed;
    zeroed.SetRentals(0, true);
    StAOSIROSAVEINFO_IPPAN general{};
    StAOSIROSAVEINFO_FUDOUSAN realEstate{};
    StDATAINFO info{};
    info.cReturnKind = 3;
    using Writer = std::function<int(const sections::StFigures&, ClXmlWriter&)>;
    const std::vector<std::pair<const char*, Writer>> writers = {
        {"salaries", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteSalaries(w, b, 5, 1); }},
        {"salaries, real estate", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteSalariesRealEstate(w, b, 2, 0); }},
        {"family", [&info](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteFamilyEmployees(w, b, &info, 5); }},
        {"family, real estate",
         [&info](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteFamilyEmployeesRealEstate(w, b, &info, 1); }},
        {"interest", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteInterestDiscount(w, b, 2); }},
        {"land rent", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteLandRent(w, b, 2); }},
        {"land rent, real estate",
         [&info](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteLandRentRealEstate(w, b, &info, 2); }},
        {"borrowings", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteBorrowingInterest(w, b, 3); }},
        {"fees", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteTaxAccountantFees(w, b, 2); }},
        {"fees, real estate", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteTaxAccountantFeesRealEstate(w, b, 2); }},
        {"special matters", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteSpecialMatters(w, b, 60, 5); }},
        {"special matters, real estate",
         [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteSpecialMattersRealEstate(w, b, 30, 25); }},
        {"association", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteAssociation(w, b); }},
        {"sales", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteSalesBreakdown(w, b, 4); }},
        {"purchases", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WritePurchaseBreakdown(w, b, 4); }},
        {"repairs", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteRepairs(w, b, 3); }},
        {"rentals", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteRentalIncomeRows(w, b, 9999); }},
        {"bad-debt reserve", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteBadDebtReserve(w, b); }},
        {"liability interest", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteLiabilityInterest(w, b); }},
        {"rental scale", [](const sections::StFigures& b, ClXmlWriter& w) { return sections::WriteRentalScale(w, b); }},
    };
    for (const auto& [name, write] : writers) {
        sections::StFigures figures;
        figures.savedGeneral = &zeroed.general;
        figures.savedRealEstate = &zeroed.realEstate;
        fakes::ReportCapture expected;
        ASSERT_EQ(1, write(figures, expected.writer)) << name;
        for (int withRecords = 0; withRecords < 2; ++withRecords) {
            figures.savedGeneral = withRecords ? &general : nullptr;
            figures.savedRealEstate = withRecords ? &realEstate : nullptr;
            fakes::ReportCapture c;
            EXPECT_EQ(1, write(figures, c.writer)) << name;
            EXPECT_EQ(Visible(expected.Bytes()), Visible(c.Bytes())) << name << (withRecords ? ", no blocks" : ", no records");
        }
    }
}

}  // namespace
