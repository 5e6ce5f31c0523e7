// Hostile host data: every text the host hands over may hold a lead byte without its
// trail byte, control bytes, "]]>", quotes, the five escaped characters, bytes and pairs
// code page 932 leaves undefined, a NUL in the middle or no NUL at all; amounts may sit
// at the ends of the 64-bit range. Every report must still be well-formed XML in code
// page 932: the characters XML 1.0 or the code page cannot hold are left out of element
// texts and attribute values, everything else is kept and escaped.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "hostsim/hostsim.h"
#include "report/sections/sections.h"
#include "report/value_text.h"
#include "report/xml_writer.h"
#include "tests/fakes/export_run.h"
#include "tests/fakes/report_capture.h"
#include "tests/fakes/report_schema.h"
#include "tests/fakes/saved_details.h"

namespace {

// A lone lead byte before a blank, control bytes, markup, undefined single bytes and an
// undefined pair, a valid 表 (trail 0x5C), a CR LF, a half-width kana, a lone lead at the end.
const std::string kHostile = std::string("A") + "\x81 " + "\x01\x1B" + "]]>" + "\"'&<>" + "\x7F\x80\xA0\xFD" +
                             "\x85\x40" + "\x95\x5C" + "\x0B\x0C" + "\r\n\t" + "\xB1" + "\xE5";

std::string Hex(const std::string& bytes)
{
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    return out;
}

// kHostile repeated and cut to limit bytes (a cut may leave another lone lead byte).
std::string HostileText(std::size_t limit)
{
    std::string text;
    while (text.size() < limit) text += kHostile;
    return text.substr(0, limit);
}

// The sample company with every text replaced by hostile bytes and, when asked, every
// amount at one end of the 64-bit range or the other.
std::string HostileStore(int returnKind, bool extremeAmounts)
{
    std::string json = fakes::SampleStore(returnKind);
    static const std::regex text(
        "\"(company|name|relation|location|upper|lower|use|tenantB|tenantA|houseOrLand|supplier|customer|property|"
        "work|specialMatters|association)\": \"(?:[^\"\\\\]|\\\\.)*\"");
    static const std::vector<std::pair<std::string, std::size_t>> limits = {
        {"company", 255}, {"name", 40},   {"relation", 6},       {"location", 40}, {"upper", 40},    {"lower", 40},
        {"use", 21},      {"tenantB", 40}, {"tenantA", 40},      {"houseOrLand", 10}, {"supplier", 20},
        {"customer", 20}, {"property", 20}, {"work", 20},        {"specialMatters", 1023}, {"association", 127}};
    std::string out;
    std::size_t last = 0;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), text); it != std::sregex_iterator(); ++it) {
        const std::string key = (*it)[1];
        std::size_t limit = 40;
        for (const auto& l : limits)
            if (l.first == key) limit = l.second;
        out += json.substr(last, static_cast<std::size_t>(it->position()) - last);
        out += "\"" + key + "\": {\"sjis\": \"" + Hex(HostileText(limit)) + "\"}";
        last = static_cast<std::size_t>(it->position() + it->length());
    }
    out += json.substr(last);
    if (!extremeAmounts) return out;

    static const std::regex amount(
        "\"(amount|begin|expense|salary|bonus|tax|renewal|premium|nameChange|monthlyRent|keyMoney|deposit|"
        "annualRent|withheld|rent|first|fee|paid|interest|balance|salesReducedRate|sales|realEstateIncome|"
        "purchasesReducedRate|purchases|otherSales|otherPurchases|lumpSumTotal|lumpSumLimit|lumpSum|"
        "liabilityInterest|individual)\": -?[0-9]+");
    std::string result;
    last = 0;
    int n = 0;
    for (auto it = std::sregex_iterator(out.begin(), out.end(), amount); it != std::sregex_iterator(); ++it) {
        result += out.substr(last, static_cast<std::size_t>(it->position()) - last);
        result += "\"" + std::string((*it)[1]) + "\": " + (n++ % 2 ? "9223372036854775807" : "-9223372036854775808");
        last = static_cast<std::size_t>(it->position() + it->length());
    }
    return result + out.substr(last);
}

// Where the report holds a byte sequence that is not a character it may hold: TAB, LF,
// CR, 0x20-0x7F, half-width kana, or a pair code page 932 defines. npos when none.
std::size_t FirstBadCharacter(const std::string& report)
{
    for (std::size_t i = 0; i < report.size();) {
        const unsigned char b = static_cast<unsigned char>(report[i]);
        if (cp932::CharLengthAt(report, i) == 2) {
            bool defined = false;
            cp932::ToUtf16(std::string_view(report).substr(i, 2), &defined);
            if (!defined) return i;
            i += 2;
            continue;
        }
        if (!(b == 0x09 || b == 0x0A || b == 0x0D || (b >= 0x20 && b <= 0x7F) || (b >= 0xA1 && b <= 0xDF))) return i;
        ++i;
    }
    return std::string::npos;
}

// Text between the tags of each line must hold no raw markup; every "&" starts an entity.
void ExpectEscapedLines(const std::string& report)
{
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < report.size()) {
        const std::size_t end = report.find("\r\n", start);
        ASSERT_NE(std::string::npos, end) << "line " << lineNumber << " has no CR LF";
        const std::string line = report.substr(start, end - start);
        start = end + 2;
        ++lineNumber;
        if (line.compare(0, 5, "<?xml") == 0) continue;
        // Strip tags: what remains between ">" and "</" is the text of an element.
        const std::size_t open = line.find('>');
        const std::size_t close = line.find("</", open == std::string::npos ? 0 : open);
        if (open != std::string::npos && close != std::string::npos && close > open) {
            const std::string text = line.substr(open + 1, close - open - 1);
            EXPECT_EQ(std::string::npos, text.find_first_of("<>\"'")) << "line " << lineNumber << ": " << Hex(line);
            for (std::size_t amp = text.find('&'); amp != std::string::npos; amp = text.find('&', amp + 1)) {
                const std::string rest = text.substr(amp);
                EXPECT_TRUE(rest.rfind("&amp;", 0) == 0 || rest.rfind("&lt;", 0) == 0 || rest.rfind("&gt;", 0) == 0 ||
                            rest.rfind("&quot;", 0) == 0 || rest.rfind("&apos;", 0) == 0)
                    << "line " << lineNumber;
            }
        }
    }
}

#ifndef _WIN32
// Decoded from code page 932 (as Windows reads "Shift_JIS"), the declaration changed to
// match, the report must parse. Skipped where iconv or xmllint is missing.
bool ParsesAsXml(const std::string& report, std::string* why)
{
    if (std::system("command -v iconv >/dev/null 2>&1 && command -v xmllint >/dev/null 2>&1") != 0) {
        *why = "iconv or xmllint missing";
        return true;
    }
    char path[] = "/tmp/ledgra-hostile-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return false;
    FILE* out = fdopen(fd, "wb");
    std::fwrite(report.data(), 1, report.size(), out);
    std::fclose(out);
    const std::string command = std::string("iconv -f CP932 -t UTF-8 ") + path +
                                " | sed 1s/Shift_JIS/UTF-8/ | xmllint --noout - 2>&1";
    // Every stage must succeed: iconv refuses bytes that are not code page 932.
    FILE* pipe = popen(("bash -c 'set -o pipefail; " + command + "'").c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    std::remove(path);
    *why = output;
    return status == 0;
}
#endif

#ifndef _WIN32
// The check itself refuses what it must: a control byte, a lone lead byte, raw markup.
TEST(HostileCheck, RefusesBrokenReports)
{
    const std::string head = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
    std::string why;
    ASSERT_TRUE(ParsesAsXml(head + "<A>\x95\x5C&amp;</A>\r\n", &why)) << why;
    if (!why.empty() && why.find("missing") != std::string::npos) GTEST_SKIP() << why;
    EXPECT_FALSE(ParsesAsXml(head + "<A>\x01</A>\r\n", &why));
    EXPECT_FALSE(ParsesAsXml(head + "<A>a\x81 </A>\r\n", &why));
    EXPECT_FALSE(ParsesAsXml(head + "<A>]]></A>\r\n<B>", &why));
    EXPECT_FALSE(ParsesAsXml(head + "<A>&</A>\r\n", &why));
    EXPECT_NE(std::string::npos, FirstBadCharacter("a\x81 "));
    EXPECT_NE(std::string::npos, FirstBadCharacter("\x85\x40"));
    EXPECT_EQ(std::string::npos, FirstBadCharacter("\x95\x5C\r\n\t"));
}
#endif

struct Scenario {
    const char* name;
    int returnKind;
    short category;
    bool extremeAmounts;
};

class HostileHostData : public ::testing::TestWithParam<Scenario> {
protected:
    void TearDown() override { hostsim::ResetForTests(); }
};

TEST_P(HostileHostData, EveryReportIsWellFormedShiftJisXml)
{
    fakes::ExportRunSetup setup;
    setup.store = HostileStore(GetParam().returnKind, GetParam().extremeAmounts);
    setup.category = GetParam().category;
    setup.logHostCalls = false;
    const fakes::ExportRunResult run = fakes::RunExport(setup);
    ASSERT_EQ(0, run.resultCode) << hostsim::StoreError();
    ASSERT_TRUE(run.reportExists);
    const std::string& report = run.report;

    const std::size_t bad = FirstBadCharacter(report);
    EXPECT_EQ(std::string::npos, bad) << "at " << bad << ": "
                                      << Hex(report.substr(bad == std::string::npos ? 0 : (bad > 20 ? bad - 20 : 0), 40));
    ExpectEscapedLines(report);
    // The hostile texts did arrive, cleaned: their markup escaped, their valid 表 kept.
    EXPECT_NE(std::string::npos, report.find("]]&gt;&quot;&apos;&amp;&lt;&gt;"));
    EXPECT_NE(std::string::npos, report.find("\x95\x5C"));
    EXPECT_EQ(std::string::npos, report.find("]]>"));
    if (GetParam().extremeAmounts) {
        const bool min = report.find(">-922337203685477<") != std::string::npos;
        const bool max = report.find(">922337203685477<") != std::string::npos;
        EXPECT_TRUE(min || max) << "no amount at the ends of the range was written";
    }
#ifndef _WIN32
    std::string why;
    EXPECT_TRUE(ParsesAsXml(report, &why)) << why;
#endif
    EXPECT_EQ("", fakes::SchemaProblems(report));
}

const Scenario kScenarios[] = {
    {"blue_business", 3, 1, false},       {"blue_other", 3, 2, false},
    {"blue_real_estate", 3, 3, false},    {"white_business", 4, 1, false},
    {"white_other", 4, 2, false},         {"white_real_estate", 4, 3, false},
    {"blue_business_extreme", 3, 1, true}, {"blue_real_estate_extreme", 3, 3, true},
    {"white_business_extreme", 4, 1, true}, {"white_real_estate_extreme", 4, 3, true},
};

INSTANTIATE_TEST_SUITE_P(Forms, HostileHostData, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

// ---- texts the store cannot express: a NUL inside a slot, a slot without any NUL ----

TEST(HostileSlots, NulEndsTheTextAndAFullSlotIsReadOnlyToItsEnd)
{
    fakes::SavedDetails saved;
    // The association: "A&B", a NUL, then bytes that must never be read.
    char* association = saved.general.pBase->szAssociation;
    const std::size_t associationSize = sizeof saved.general.pBase->szAssociation;
    std::memset(association, 'Z', associationSize);
    std::memcpy(association, "A&B\0<never>", 11);
    sections::StFigures figures;
    figures.savedGeneral = &saved.general;
    {
        fakes::ReportCapture capture;
        ASSERT_EQ(1, sections::WriteAssociation(capture.writer, figures));
        EXPECT_EQ(fakes::Visible(fakes::Element(4, "KANYUUDANTAIMEI", "A&amp;B")), fakes::Visible(capture.Bytes()));
    }
    // The whole slot filled with 表 and no NUL: read to the slot's end less one byte,
    // never past it, never splitting 表.
    for (std::size_t i = 0; i + 1 < associationSize; i += 2) {
        association[i] = '\x95';
        association[i + 1] = '\x5C';
    }
    {
        fakes::ReportCapture capture;
        ASSERT_EQ(1, sections::WriteAssociation(capture.writer, figures));
        std::string expected;
        for (std::size_t i = 0; i + 2 <= associationSize - 1; i += 2) expected += "\x95\x5C";
        EXPECT_EQ(fakes::Visible(fakes::Element(4, "KANYUUDANTAIMEI", expected)), fakes::Visible(capture.Bytes()));
    }
}

TEST(HostileSlots, SpecialMattersWithoutNulStopsAtTheScannedBytes)
{
    fakes::SavedDetails saved;
    char* text = saved.general.pNotes->szSpecialMatters;
    std::memset(text, '\x01', sizeof saved.general.pNotes->szSpecialMatters);   // control bytes only, no NUL
    sections::StFigures figures;
    figures.savedGeneral = &saved.general;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteSpecialMatters(capture.writer, figures, 60, 5));
    std::string expected;
    for (int n = 1; n <= 5; ++n) expected += fakes::Element(4, "TOKUSYUJIJOU" + std::to_string(n), "");
    EXPECT_EQ(fakes::Visible(expected), fakes::Visible(capture.Bytes()));
}

// ---- the escape itself, byte by byte ----

struct EscapeCase {
    const char* label;
    std::string input;
    std::string expected;
};

TEST(HostileEscape, WhatIsKeptWhatIsEscapedWhatIsLeftOut)
{
    const EscapeCase cases[] = {
        {"five markup characters", "&<>\"'", "&amp;&lt;&gt;&quot;&apos;"},
        {"CDATA end", "]]>", "]]&gt;"},
        {"TAB LF CR kept", "a\tb\nc\rd", "a\tb\nc\rd"},
        {"control bytes left out", std::string("a\x01\x08\x0B\x0C\x1F" "b", 7), "ab"},
        {"DEL kept", "a\x7F" "b", "a\x7F" "b"},
        {"lone lead before a blank", "\x81 x", " x"},
        {"lone lead at the end", "ab\xE5", "ab"},
        {"lone lead before a control byte", "\x95\x01" "c", "c"},
        {"undefined single bytes", "a\x80\xA0\xFD\xFE\xFF" "b", "ab"},
        {"undefined pair left out whole", "a\x85\x40" "b", "ab"},
        {"trail 0x5C kept with its lead", "\x95\x5C\x83\x5C", "\x95\x5C\x83\x5C"},
        {"trail in the lead range", "\x88\x9F\x88\x9F", "\x88\x9F\x88\x9F"},
        {"half-width kana", "\xB1\xDE", "\xB1\xDE"},
        {"NEC and IBM rows kept", "\x87\x40\xED\x40\xFA\x40", "\x87\x40\xED\x40\xFA\x40"},
        {"user-defined area kept", "\xF0\x40", "\xF0\x40"},
    };
    for (const EscapeCase& c : cases)
        EXPECT_EQ(Hex(c.expected), Hex(ClXmlWriter::Escape(c.input.c_str()))) << c.label;
}

// Every double-byte character that code page 932 defines survives the escape, and the
// whole set converts through iconv's CP932, which the well-formedness check relies on.
TEST(HostileEscape, EveryDefinedPairIsKept)
{
    int kept = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            bool defined = false;
            cp932::ToUtf16(pair, &defined);
            const std::string escaped = ClXmlWriter::Escape(pair.c_str());
            if (defined && cp932::IsTrailByte(static_cast<unsigned char>(trail))) {
                EXPECT_EQ(Hex(pair), Hex(escaped));
                ++kept;
            } else {
                EXPECT_EQ(std::string::npos, FirstBadCharacter(escaped)) << Hex(pair);
            }
        }
    }
    EXPECT_GT(kept, 7000);
}

// ---- amounts at the ends of the 64-bit range ----

TEST(HostileAmounts, TextsAtTheLimits)
{
    char text[kValueTextSize];
    FormatAmount(INT64_MIN, text);
    EXPECT_STREQ("-922337203685477", text);
    FormatAmount(INT64_MAX, text);
    EXPECT_STREQ("922337203685477", text);
    FormatAmount(INT64_MIN + 1, text);
    EXPECT_STREQ("-922337203685477", text);

    struct Fixed {
        int64_t value;
        int decimals;
        const char* expected;
    };
    const Fixed fixed[] = {
        {INT64_MIN, 4, "-922337203685477.5808"}, {INT64_MAX, 4, "922337203685477.5807"},
        {INT64_MIN, 2, "-922337203685477.58"},   {INT64_MAX, 2, "922337203685477.58"},
        {INT64_MIN, 0, "-922337203685478"},      {INT64_MAX, 0, "922337203685478"},
        {INT64_MIN, 3, "-922337203685477.581"},  {INT64_MAX, 1, "922337203685477.6"},
    };
    for (const Fixed& f : fixed) {
        char out[48] = "untouched";
        FormatFixedPoint(f.value, out, sizeof out, f.decimals);
        EXPECT_STREQ(f.expected, out) << f.value << " with " << f.decimals << " decimals";
    }
    char small[8] = "keep";
    FormatFixedPoint(INT64_MIN, small, sizeof small, 2);
    EXPECT_STREQ("keep", small) << "a destination too small is left as it was";

    FormatInteger(INT32_MIN, text);
    EXPECT_STREQ("-2147483648", text);
    FormatNumber(INT32_MAX, text);
    EXPECT_STREQ("2147483647", text);
}

}  // namespace
