// The report schema refuses what it must: each case breaks one thing in a report the
// program wrote (order, a slot, a value's form, a COUNT, an extra element) and expects
// the checker to refuse it, while the unbroken report validates. The reports of the
// sweeps and the hostile-data tests are validated where those tests hold them.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <utility>

#include "hostsim/hostsim.h"
#include "tests/fakes/export_run.h"
#include "tests/fakes/report_schema.h"

namespace {

struct Broken {
    const char* label;
    int returnKind;     // 3 blue, 4 white
    short category;     // 1 business, 2 other, 3 real estate
    const char* pattern;       // the first match is replaced
    const char* replacement;   // ECMAScript format: $1, $2 ...
    const char* refusedAt;     // the element xmllint names first
};

const Broken kBroken[] = {
    {"element out of order", 3, 1, "(\t+<GYOUMUPREFIX>[^\r]*\r\n)(\t+<VERSION>[^\r]*\r\n)", "$2$1", "VERSION"},
    {"relation after the age in a blue family row", 3, 1, "(\t+<ZOKUGARA>[^\r]*\r\n)(\t+<NENREI>[^\r]*\r\n)",
     "$2$1", "NENREI"},
    {"missing slot", 3, 1, "\t+<KYUURYOU_UTIWAKE COUNT=\"5\">[\\s\\S]*?</KYUURYOU_UTIWAKE>\r\n", "", "SONOTA_NINBUN"},
    {"missing element", 4, 1, "\t+<SONOTA_NINBUN>[^\r]*\r\n", "", "SONOTA_JUUJITUKISUU"},
    {"missing section", 4, 3, "\t+<KASITUKEFUDOUSAN>[\\s\\S]*?</KASITUKEFUDOUSAN>\r\n", "", "FUDOUSANSYOTOKU"},
    {"letter in an amount", 3, 1, "<ZAPPI>([0-9]*)<", "<ZAPPI>1O$1<", "ZAPPI"},
    {"zero amount written as 0", 3, 1, "<SYOUYO></SYOUYO>", "<SYOUYO>0</SYOUYO>", "SYOUYO"},
    {"fraction of a yen", 4, 2, "<SYUNYUGAKU>[^<]*<", "<SYUNYUGAKU>1234.50<", "SYUNYUGAKU"},
    {"COUNT beyond the slots", 3, 1, "<RISI_UTIWAKE COUNT=\"2\">", "<RISI_UTIWAKE COUNT=\"3\">", "RISI_UTIWAKE"},
    {"COUNT twice", 4, 3, "<KARIIRE_UTIWAKE COUNT=\"2\">", "<KARIIRE_UTIWAKE COUNT=\"1\">", "KARIIRE_UTIWAKE"},
    {"row without COUNT", 3, 3, "<TIDAI_UTIWAKE COUNT=\"1\">", "<TIDAI_UTIWAKE>", "TIDAI_UTIWAKE"},
    {"extra element", 3, 2, "(\t+)</OTHER>", "$1\t<BIKOU>x</BIKOU>\r\n$1</OTHER>", "BIKOU"},
    {"extra special-matters line", 3, 1, "(\t+<TOKUSYUJIJOU5>[^\r]*\r\n)",
     "$1\t\t\t\t<TOKUSYUJIJOU6></TOKUSYUJIJOU6>\r\n", "TOKUSYUJIJOU6"},
    {"period date without its day", 3, 1, "<JIGYOUNENDOFROM>([0-9]{6})[0-9]{2}<", "<JIGYOUNENDOFROM>$1<",
     "JIGYOUNENDOFROM"},
    {"month 13", 4, 1, "<JIGYOUNENDOTO>[0-9]{6}([0-9]{2})<", "<JIGYOUNENDOTO>201913$1<", "JIGYOUNENDOTO"},
    {"contract month with a dash", 3, 3, "<KEIYAKUKIKAN_FROM>([0-9]{4})([0-9]{2})<", "<KEIYAKUKIKAN_FROM>$1-$2<",
     "KEIYAKUKIKAN_FROM"},
    {"area with one decimal", 4, 3, "<KASITUKEMENSEKI>([0-9]+\\.[0-9])[0-9]<", "<KASITUKEMENSEKI>$1<",
     "KASITUKEMENSEKI"},
    {"rented house wider than its column", 3, 3, "<KASIYA_KASITI>[^<]*<", "<KASIYA_KASITI>ABCDEFGHIJK<",
     "KASIYA_KASITI"},
    {"always-empty column filled", 4, 1, "<TINSYAKUBUKKEN_GEDAN></TINSYAKUBUKKEN_GEDAN>",
     "<TINSYAKUBUKKEN_GEDAN>x</TINSYAKUBUKKEN_GEDAN>", "TINSYAKUBUKKEN_GEDAN"},
    {"deduction choice 3", 3, 3, "<AOIROKOUJO_SENTAKU>[^<]*<", "<AOIROKOUJO_SENTAKU>3<", "AOIROKOUJO_SENTAKU"},
    {"white return under the blue form", 3, 1, "<AOSIROKUBUN>1<", "<AOSIROKUBUN>2<", "URIAGEKINGAKU"},
    {"other income under the business form", 4, 1, "<SYOTOKUSYURUI>1<", "<SYOTOKUSYURUI>2<", "EIGYOUSYOTOKU"},
};

class ReportSchema : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fakes::SchemaCheckerAvailable()) GTEST_SKIP() << "iconv or xmllint missing";
    }
    void TearDown() override { hostsim::ResetForTests(); }

    // The report the sample company gives for the form, written once per form.
    const std::string& Report(int returnKind, short category)
    {
        static std::map<std::pair<int, short>, std::string> reports;
        std::string& report = reports[{returnKind, category}];
        if (report.empty()) {
            fakes::ExportRunSetup setup;
            setup.store = fakes::SampleStore(returnKind);
            setup.category = category;
            setup.logHostCalls = false;
            const fakes::ExportRunResult run = fakes::RunExport(setup);
            EXPECT_EQ(0, run.resultCode);
            report = run.report;
        }
        return report;
    }
};

TEST_F(ReportSchema, EveryFormOfTheSampleCompanyValidates)
{
    for (int returnKind : {3, 4})
        for (short category : {1, 2, 3})
            EXPECT_EQ("", fakes::SchemaProblems(Report(returnKind, category)))
                << "return kind " << returnKind << ", category " << category;
}

TEST_F(ReportSchema, ReportsBrokenByHandAreRefused)
{
    for (const Broken& b : kBroken) {
        SCOPED_TRACE(b.label);
        const std::string& report = Report(b.returnKind, b.category);
        const std::string broken = std::regex_replace(report, std::regex(b.pattern), b.replacement,
                                                      std::regex_constants::format_first_only);
        ASSERT_NE(report, broken) << "the pattern matched nothing";
        const std::string problems = fakes::SchemaProblems(broken);
        EXPECT_NE(std::string::npos, problems.find("element " + std::string(b.refusedAt) + ":"))
            << (problems.empty() ? "the schema accepted it" : problems);
    }
}

}  // namespace
