// The report skeleton (declaration, REPORT, SYSTEM, BASIC), SUPPORT.INF and the layout
// of DATA for every form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/edition.h"
#include "report/report_builder.h"
#include "report/support_info.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_message_boxes.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/report_capture.h"
#include "tests/fakes/saved_details.h"
#include "tests/fakes/scoped_services.h"

using fakes::Visible;

namespace {

const char kOut[] = "C:\\out.xml";
// Where the report is written until it is whole.
const char kSide[] = "C:\\out.xml.1.unfinished";

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        figures.sumLines = &sumLines;
        figures.monthlyTotals = &monthly;
        figures.savedGeneral = &saved.general;
        figures.savedRealEstate = &saved.realEstate;
        settings.category = 1;
        settings.defaultProgramName = ProEdition().defaultProgramName;
        info.cReturnKind = 3;
        info.lPeriodStart = 20190101;
        info.lPeriodEnd = 20191231;
        std::strcpy(info.szCompanyName, "Yamada");
        saved.general.pBase->cDeduction = 1;
        // The blue deduction reads the 43rd collected line.
        for (int i = 1; i <= 43; ++i) {
            StAOSUMINFO* line = new StAOSUMINFO{};
            line->lRowNo = i;
            line->lLineCode = 900000 + i;
            sumLines.push_back(line);
        }
    }
    void TearDown() override { FreeSumLines(sumLines); }
    std::string Run(int expectedResult = 1, short functionId = 1)
    {
        EXPECT_EQ(expectedResult, ClReportBuilder(figures, settings).WriteReport(kOut, functionId, &info));
        return fs.FileBytes(kOut);
    }
    fakes::FakeFileSystem fs;
    fakes::FakeMessageBoxes boxes;
    fakes::SavedDetails saved;
    ClSumLineList sumLines;
    StAOSUMINFO_TSUKIBETSU monthly{};
    sections::StFigures figures;
    StReportSettings settings;
    StDATAINFO info{};
    fakes::ScopedServices installed{&fs, &boxes};
};

const char kSystemDefault[] =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<REPORT>\r\n"
    "\t<SYSTEM>\r\n"
    "\t\t<GYOUMUPREFIX>TV14</GYOUMUPREFIX>\r\n"
    "\t\t<VERSION>1</VERSION>\r\n"
    "\t\t<FUNCTIONID>1</FUNCTIONID>\r\n"
    "\t\t<CONNECTEDPROGRAMVER>20.01.01</CONNECTEDPROGRAMVER>\r\n"
    "\t\t<PROGRAMNAME>Ledgra\x82\x51\x82\x4F PRO</PROGRAMNAME>\r\n"
    "\t\t<PROGRAMVER>20.00.0X</PROGRAMVER>\r\n"
    "\t</SYSTEM>\r\n"
    "\t<BASIC>\r\n"
    "\t\t<KOMONSAKINAME>\x82\x78\x82\x81\x82\x8D\x82\x81\x82\x84\x82\x81</KOMONSAKINAME>\r\n"
    "\t\t<AOSIROKUBUN>1</AOSIROKUBUN>\r\n"
    "\t\t<JIGYOUNENDOFROM>20190101</JIGYOUNENDOFROM>\r\n"
    "\t\t<JIGYOUNENDOTO>20191231</JIGYOUNENDOTO>\r\n"
    "\t\t<SYOTOKUSYURUI>1</SYOTOKUSYURUI>\r\n"
    "\t</BASIC>\r\n"
    "\t<DATA>\r\n"
    "\t\t<EIGYOUSYOTOKU>\r\n";

TEST_F(ReportTest, SkeletonWithoutSupportFile)
{
    std::string report = Run();
    ASSERT_GE(report.size(), std::strlen(kSystemDefault));
    EXPECT_EQ(Visible(kSystemDefault), Visible(report.substr(0, std::strlen(kSystemDefault))));
    EXPECT_EQ(Visible("\t\t</EIGYOUSYOTOKU>\r\n\t</DATA>\r\n</REPORT>\r\n"),
              Visible(report.substr(report.size() - 41)));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(0, fs.OpenFileCount());
}

std::string SystemBlock(const std::string& report)
{
    std::size_t b = report.find("\t\t<PROGRAMNAME>");
    std::size_t e = report.find("\t</SYSTEM>");
    return report.substr(b, e - b);
}

struct SupportCase {
    const char* label;
    std::string file;
    std::string name;
    std::string version;
};

TEST_F(ReportTest, SupportFileFields)
{
    const std::string nameTag = "[=\x90\xBB\x95\x69\x96\xBC=]";   // [=製品名=]
    const std::string versionTag = "[=\x90\xBB\x95\x69\xCA\xDE\xB0\xBC\xDE\xAE\xDD=]";   // [=製品ﾊﾞｰｼﾞｮﾝ=]
    std::string longValue;
    for (int i = 0; i < 200; ++i) longValue += "\x88\x9F";   // 400 bytes of 亜
    const SupportCase cases[] = {
        {"both fields", "[=Customer=]X\r\n" + nameTag + "Taxvane\r\n" + versionTag + "1.2.3\r\n", "Taxvane", "1.2.3"},
        {"empty name line gives the default", nameTag + "\r\n" + versionTag + "9\r\n",
         "Ledgra\x82\x51\x82\x4F PRO", "9"},
        {"version twice gives the first", versionTag + "first\r\n" + versionTag + "second\r\n",
         "Ledgra\x82\x51\x82\x4F PRO", "first"},
        {"value ended by the end mark", nameTag + "Name\x1A" + "junk", "Name", "20.00.0X"},
        {"value at the end of the file", versionTag + "7.0", "Ledgra\x82\x51\x82\x4F PRO", "7.0"},
        {"lone LF stays in the value", nameTag + "A\nB\r\n", "A\nB", "20.00.0X"},
        {"overlong value cut on a character boundary", "x" + nameTag + longValue + "\r\n",
         longValue.substr(0, 254), "20.00.0X"},
    };
    for (const SupportCase& c : cases) {
        fakes::FakeFileSystem local;
        local.AddFile("C:\\SUPPORT.INF", c.file);
        fakes::ScopedServices installedLocal(&local);
        EXPECT_EQ(1, ClReportBuilder(figures, settings).WriteReport(kOut, 1, &info)) << c.label;
        std::string expected = "\t\t<PROGRAMNAME>" + std::string(ClXmlWriter::Escape(c.name.c_str())) +
                               "</PROGRAMNAME>\r\n\t\t<PROGRAMVER>" + c.version + "</PROGRAMVER>\r\n";
        EXPECT_EQ(Visible(expected), Visible(SystemBlock(local.FileBytes(kOut)))) << c.label;
    }
}

class NoMemorySupportInfo : public ClSupportInfo {
protected:
    char* AllocateBlock() override { return nullptr; }
};

TEST_F(ReportTest, SupportInfoWithoutMemoryTellsEachLookup)
{
    fs.AddFile("C:\\SUPPORT.INF", "[=\x90\xBB\x95\x69\x96\xBC=]Name\r\n");
    NoMemorySupportInfo support;
    EXPECT_STREQ("", support.GetProductName());
    EXPECT_STREQ("", support.GetProductVersion());
    ASSERT_EQ(2u, boxes.shown.size());
    for (const fakes::ShownBox& box : boxes.shown) {
        EXPECT_EQ("\xD2\xD3\xD8\x82\xAA\x95\x73\x91\xAB\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42", box.text);
        EXPECT_EQ("\x8F\x8A\x93\xBE\x90\xC5", box.caption);
        EXPECT_EQ(0x30u, box.type);
    }
    ClSupportInfo real;
    EXPECT_STREQ("Name", real.GetProductName());
}

TEST_F(ReportTest, StandardEditionDefaultName)
{
    settings.defaultProgramName = BasicEdition().defaultProgramName;
    std::string report = Run();
    EXPECT_NE(std::string::npos, report.find("\t\t<PROGRAMNAME>Ledgra\x82\x51\x82\x4F</PROGRAMNAME>\r\n"));
}

TEST_F(ReportTest, BasicSection)
{
    struct Case {
        uint8_t returnKind;
        short category;
        short functionId;
        const char* kubun;
    };
    const Case cases[] = {{3, 1, 1, "1"}, {4, 2, 7, "2"}, {0, 3, -2, "1"}, {5, 1, 0, "1"}};
    for (const Case& c : cases) {
        info.cReturnKind = c.returnKind;
        settings.category = c.category;
        std::string report = Run(1, c.functionId);
        std::string expected = "\t\t<AOSIROKUBUN>" + std::string(c.kubun) + "</AOSIROKUBUN>\r\n" +
                               "\t\t<JIGYOUNENDOFROM>20190101</JIGYOUNENDOFROM>\r\n" +
                               "\t\t<JIGYOUNENDOTO>20191231</JIGYOUNENDOTO>\r\n" + "\t\t<SYOTOKUSYURUI>" +
                               std::to_string(c.category) + "</SYOTOKUSYURUI>\r\n";
        EXPECT_NE(std::string::npos, report.find(expected)) << int(c.returnKind);
        EXPECT_NE(std::string::npos,
                  report.find("\t\t<FUNCTIONID>" + std::to_string(c.functionId) + "</FUNCTIONID>\r\n"));
    }
}

TEST_F(ReportTest, CompanyNameIsFullWidthAndEscaped)
{
    std::strcpy(info.szCompanyName, "A&B \xB6\xDE");   // A&B ｶﾞ
    std::string report = Run();
    EXPECT_NE(std::string::npos,
              report.find("\t\t<KOMONSAKINAME>\x82\x60\x81\x95\x82\x61\x81\x40\x83\x4B</KOMONSAKINAME>\r\n"));
    // An unterminated 256-byte name field is read to 255 bytes and cut to 63.
    std::memset(info.szCompanyName, 'z', sizeof info.szCompanyName);
    report = Run();
    std::string z31;
    for (int i = 0; i < 31; ++i) z31 += "\x82\x9A";
    EXPECT_NE(std::string::npos, report.find("<KOMONSAKINAME>" + z31 + "</KOMONSAKINAME>"));
}

TEST_F(ReportTest, ReportInAMissingFolderFails)
{
    EXPECT_EQ(0, ClReportBuilder(figures, settings).WriteReport("C:\\missing\\out.xml", 1, &info));
    EXPECT_FALSE(fs.HasFile("C:\\missing\\out.xml"));
}

TEST_F(ReportTest, MissingDataSetFailsTheReport)
{
    // A failed report never reaches its destination, and its side file is removed;
    // what it held shows what was written.
    EXPECT_EQ(0, ClReportBuilder(figures, settings).WriteReport(kOut, 1, nullptr));
    EXPECT_FALSE(fs.HasFile(kOut));
    EXPECT_FALSE(fs.HasFile(kSide));
    std::string report = fs.DeletedBytes(kSide);
    EXPECT_EQ(std::string::npos, report.find("<BASIC>\r\n\t\t"));
    EXPECT_EQ("</REPORT>\r\n", report.substr(report.size() - 11));
}

// ---- layout ----

const char kBlueGeneralFrame[] =
    "1<DATA>\n2<EIGYOUSYOTOKU>\n"
    "3<SONEKIKEISANSYO>\n3</SONEKIKEISANSYO>\n3<TUKIBETUURIAGESHIIRE>\n3</TUKIBETUURIAGESHIIRE>\n"
    "3<KYUURYOUTINGIN>\n3</KYUURYOUTINGIN>\n3<SENJUUSYA>\n3</SENJUUSYA>\n"
    "3<KASIDAOREKURIIRE>\n3</KASIDAOREKURIIRE>\n3<AOIROKOUJO>\n3</AOIROKOUJO>\n"
    "3<RISIWARIBIKIRYOU>\n3</RISIWARIBIKIRYOU>\n3<TIDAIYATIN>\n3</TIDAIYATIN>\n"
    "3<ZEIRISIHOUSYUU>\n3</ZEIRISIHOUSYUU>\n3<TOKUSYUJIJOU>\n3</TOKUSYUJIJOU>\n"
    "3<TAISYAKUTAISYOUHYO>\n3</TAISYAKUTAISYOUHYO>\n3<SEIZOUGENKA>\n3</SEIZOUGENKA>\n"
    "3<OTHER>\n3</OTHER>\n2</EIGYOUSYOTOKU>\n1</DATA>\n";

const char kWhiteGeneralFrame[] =
    "1<DATA>\n2<SONOTASYOTOKU>\n"
    "3<SONEKIKEISANSYO>\n3</SONEKIKEISANSYO>\n3<KYUURYOUTINGIN>\n3</KYUURYOUTINGIN>\n"
    "3<SENJUUSYA>\n3</SENJUUSYA>\n3<RISIWARIBIKIRYOU>\n3</RISIWARIBIKIRYOU>\n"
    "3<TIDAIYATIN>\n3</TIDAIYATIN>\n3<ZEIRISIHOUSYUU>\n3</ZEIRISIHOUSYUU>\n"
    "3<TOKUSYUJIJOU>\n3</TOKUSYUJIJOU>\n3<URIAGEMEISAI>\n3</URIAGEMEISAI>\n"
    "3<SIIREMEISAI>\n3</SIIREMEISAI>\n3<OTHER>\n3</OTHER>\n2</SONOTASYOTOKU>\n1</DATA>\n";

const char kBlueRealEstateFrame[] =
    "1<DATA>\n2<FUDOUSANSYOTOKU>\n"
    "3<SONEKIKEISANSYO>\n3</SONEKIKEISANSYO>\n3<FUDOUSANSYUUNYUU>\n3</FUDOUSANSYUUNYUU>\n"
    "3<KYUURYOUTINGIN>\n3</KYUURYOUTINGIN>\n3<SENJUUSYA>\n3</SENJUUSYA>\n"
    "3<TIDAIYATIN>\n3</TIDAIYATIN>\n3<KARIIREKINRISI>\n3</KARIIREKINRISI>\n"
    "3<ZEIRISIHOUSYUU>\n3</ZEIRISIHOUSYUU>\n3<TAISYAKUTAISYOUHYO>\n3</TAISYAKUTAISYOUHYO>\n"
    "3<TOKUSYUJIJOU>\n3</TOKUSYUJIJOU>\n2</FUDOUSANSYOTOKU>\n1</DATA>\n";

const char kWhiteRealEstateFrame[] =
    "1<DATA>\n2<FUDOUSANSYOTOKU>\n"
    "3<SONEKIKEISANSYO>\n3</SONEKIKEISANSYO>\n3<FUDOUSANSYUUNYUU>\n3</FUDOUSANSYUUNYUU>\n"
    "3<KYUURYOUTINGIN>\n3</KYUURYOUTINGIN>\n3<SENJUUSYA>\n3</SENJUUSYA>\n"
    "3<TIDAIYATIN>\n3</TIDAIYATIN>\n3<KARIIREKINRISI>\n3</KARIIREKINRISI>\n"
    "3<ZEIRISIHOUSYUU>\n3</ZEIRISIHOUSYUU>\n3<TOKUSYUJIJOU>\n3</TOKUSYUJIJOU>\n"
    "3<SYUUZENHI>\n3</SYUUZENHI>\n3<KASITUKEFUDOUSAN>\n3</KASITUKEFUDOUSAN>\n"
    "2</FUDOUSANSYOTOKU>\n1</DATA>\n";

std::string DataFrame(const std::string& report)
{
    std::string out;
    std::size_t pos = report.find("\t<DATA>\r\n");
    while (pos != std::string::npos && pos < report.size()) {
        std::size_t end = report.find("\r\n", pos);
        std::string line = report.substr(pos, end - pos);
        std::size_t tabs = line.find_first_not_of('\t');
        if (tabs <= 3) out += std::to_string(tabs) + line.substr(tabs) + "\n";
        pos = end + 2;
    }
    return out;
}

TEST_F(ReportTest, SectionsOfEveryForm)
{
    struct Case {
        uint8_t returnKind;
        short category;
        std::string frame;
    };
    std::string blueOther = kBlueGeneralFrame;
    blueOther.replace(blueOther.find("EIGYOUSYOTOKU"), 13, "SONOTASYOTOKU");
    blueOther.replace(blueOther.find("EIGYOUSYOTOKU"), 13, "SONOTASYOTOKU");
    std::string whiteBusiness = kWhiteGeneralFrame;
    whiteBusiness.replace(whiteBusiness.find("SONOTASYOTOKU"), 13, "EIGYOUSYOTOKU");
    whiteBusiness.replace(whiteBusiness.find("SONOTASYOTOKU"), 13, "EIGYOUSYOTOKU");
    const Case cases[] = {
        {3, 1, kBlueGeneralFrame}, {3, 2, blueOther}, {4, 1, whiteBusiness}, {4, 2, kWhiteGeneralFrame},
        {3, 3, kBlueRealEstateFrame}, {4, 3, kWhiteRealEstateFrame},
        {0, 1, "1<DATA>\n2<EIGYOUSYOTOKU>\n2</EIGYOUSYOTOKU>\n1</DATA>\n"},
        {7, 3, "1<DATA>\n2<FUDOUSANSYOTOKU>\n2</FUDOUSANSYOTOKU>\n1</DATA>\n"},
    };
    for (const Case& c : cases) {
        info.cReturnKind = c.returnKind;
        settings.category = c.category;
        std::string report = Run();
        EXPECT_EQ(c.frame + "0</REPORT>\n", DataFrame(report)) << int(c.returnKind) << "/" << c.category;
        EXPECT_EQ("</REPORT>\r\n", report.substr(report.size() - 11));
    }
}

TEST_F(ReportTest, CategoryOutsideTheFormsFailsAfterData)
{
    settings.category = 4;
    Run(0);
    EXPECT_FALSE(fs.HasFile(kOut));
    std::string report = fs.DeletedBytes(kSide);
    EXPECT_EQ(Visible("\t</BASIC>\r\n\t<DATA>\r\n</REPORT>\r\n"), Visible(report.substr(report.find("\t</BASIC>"))));
}

TEST_F(ReportTest, DeductionChoiceSitsBetweenStatementAndLiabilityInterest)
{
    info.cReturnKind = 3;
    settings.category = 3;
    saved.general.pBase->cDeduction = 0;
    std::string report = Run();
    std::size_t choice = report.find("\t\t\t\t<AOIROKOUJO_SENTAKU>2</AOIROKOUJO_SENTAKU>\r\n");
    ASSERT_NE(std::string::npos, choice);
    std::size_t end = report.find("\t\t\t</SONEKIKEISANSYO>");
    EXPECT_LT(choice, end);
    std::string between = report.substr(choice, end - choice);
    // Only the liability interest follows the choice inside the statement.
    EXPECT_EQ(2, std::count(between.begin(), between.end(), '\n')) << Visible(between);

    saved.general.pBase->cDeduction = 2;   // no such choice: the report fails
    Run(0);
}

}  // namespace

namespace {
// A program whose resources carry its version text.
class VersionUi : public fakes::FakeUi {
public:
    explicit VersionUi(std::string text) : m_text(std::move(text)) {}
    bool LoadString(int id, std::string& text) override
    {
        if (id != 1 || m_text.empty()) return false;
        text = m_text;
        return true;
    }

private:
    std::string m_text;
};
}  // namespace

TEST_F(ReportTest, ConnectedProgramVersionComesFromStringResourceOne)
{
    VersionUi ui("20.01.02");
    fakes::ScopedServices withVersion(&ui);
    EXPECT_NE(std::string::npos, Run().find("\t\t<CONNECTEDPROGRAMVER>20.01.02</CONNECTEDPROGRAMVER>\r\n"));

    VersionUi none("");
    fakes::ScopedServices withoutVersion(&none);
    EXPECT_NE(std::string::npos, Run().find("\t\t<CONNECTEDPROGRAMVER>20.01.01</CONNECTEDPROGRAMVER>\r\n"));
}
