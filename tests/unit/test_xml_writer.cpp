// Line composition, escaping and failure handling of the report writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/xml_writer.h"
#include "tests/fakes/report_capture.h"
#include "tests/fakes/scoped_services.h"

using fakes::Visible;

namespace {

TEST(XmlWriter, FourLineScheduleRowIsByteExact)
{
    fakes::ReportCapture c;
    c.writer.WriteStartTag("SENJUUSYA_UTIWAKE", 4, "COUNT", "1");
    c.writer.WriteElement("SIMEI", "A&B", 5);
    c.writer.WriteElement("KYUURYOU", "", 5);
    c.writer.WriteEndTag("SENJUUSYA_UTIWAKE", 4);
    ASSERT_FALSE(c.writer.Failed());
    EXPECT_EQ(Visible("\t\t\t\t<SENJUUSYA_UTIWAKE COUNT=\"1\">\r\n"
                      "\t\t\t\t\t<SIMEI>A&amp;B</SIMEI>\r\n"
                      "\t\t\t\t\t<KYUURYOU></KYUURYOU>\r\n"
                      "\t\t\t\t</SENJUUSYA_UTIWAKE>\r\n"),
              Visible(c.Bytes()));
}

struct LineCase {
    const char* label;
    int kind;   // 0 start tag, 1 element, 2 end tag
    const char* name;
    const char* text;
    int depth;
    const char* a1;
    const char* v1;
    const char* a2;
    const char* v2;
    const char* expected;
};

const LineCase kLines[] = {
    {"depth 0 start", 0, "REPORT", nullptr, 0, nullptr, nullptr, nullptr, nullptr, "<REPORT>\r\n"},
    {"negative depth", 2, "REPORT", nullptr, -3, nullptr, nullptr, nullptr, nullptr, "</REPORT>\r\n"},
    {"depth 2 element", 1, "VERSION", "1", 2, nullptr, nullptr, nullptr, nullptr, "\t\t<VERSION>1</VERSION>\r\n"},
    {"first value null suppresses both", 0, "ROW", nullptr, 1, "A", nullptr, "B", "2", "\t<ROW>\r\n"},
    {"first name null suppresses both", 1, "ROW", "t", 0, nullptr, "1", "B", "2", "<ROW>t</ROW>\r\n"},
    {"second value null", 1, "ROW", "t", 0, "A", "1", "B", nullptr, "<ROW A=\"1\">t</ROW>\r\n"},
    {"element with attributes", 1, "ROW", "t", 0, "A", "'", "B", "\"", "<ROW A=\"&apos;\" B=\"&quot;\">t</ROW>\r\n"},
    {"three specials", 1, "E", "&<>", 0, nullptr, nullptr, nullptr, nullptr, "<E>&amp;&lt;&gt;</E>\r\n"},
    {"null text is empty", 1, "E", nullptr, 0, nullptr, nullptr, nullptr, nullptr, "<E></E>\r\n"},
    // 表 is 95 5C and ソ is 83 5C, | trail: 8F 7C (録 is 98 5E; ･ stays)
    {"trail bytes 5C and 7C unchanged", 1, "E", "\x95\x5C\x83\x5C\x8F\x7C", 0, nullptr, nullptr, nullptr, nullptr,
     "<E>\x95\x5C\x83\x5C\x8F\x7C</E>\r\n"},
};

TEST(XmlWriter, LineComposition)
{
    for (const LineCase& t : kLines) {
        fakes::ReportCapture c;
        if (t.kind == 0) c.writer.WriteStartTag(t.name, t.depth, t.a1, t.v1, t.a2, t.v2);
        if (t.kind == 1) c.writer.WriteElement(t.name, t.text, t.depth, t.a1, t.v1, t.a2, t.v2);
        if (t.kind == 2) c.writer.WriteEndTag(t.name, t.depth);
        EXPECT_FALSE(c.writer.Failed()) << t.label;
        EXPECT_EQ(Visible(t.expected), Visible(c.Bytes())) << t.label;
    }
}

TEST(XmlWriter, TwoAttributesAreEscaped)
{
    fakes::ReportCapture c;
    c.writer.WriteStartTag("ROW", 1, "A", "1", "B", "x<y");
    EXPECT_EQ(Visible("\t<ROW A=\"1\" B=\"x&lt;y\">\r\n"), Visible(c.Bytes()));
}

TEST(XmlWriter, EscapedTextLongerThanTheLineIsWrittenWhole)
{
    fakes::ReportCapture c;
    std::string amps(60, '&');
    c.writer.WriteElement("TOKUSYUJIJOU1", amps.c_str(), 4);
    ASSERT_FALSE(c.writer.Failed());
    std::string escaped;
    for (int i = 0; i < 60; ++i) escaped += "&amp;";
    EXPECT_EQ(Visible("\t\t\t\t<TOKUSYUJIJOU1>" + escaped + "</TOKUSYUJIJOU1>\r\n"), Visible(c.Bytes()));
}

TEST(XmlWriter, WorstCaseValueIsWrittenWhole)
{
    fakes::ReportCapture c;
    std::string quotes(255, '"');
    c.writer.WriteElement("E", quotes.c_str(), 0, "A", quotes.c_str(), "B", quotes.c_str());
    ASSERT_FALSE(c.writer.Failed());
    std::string escaped;
    for (int i = 0; i < 255; ++i) escaped += "&quot;";
    EXPECT_EQ("<E A=\"" + escaped + "\" B=\"" + escaped + "\">" + escaped + "</E>\r\n", c.Bytes());
}

TEST(XmlWriter, OverlongValueIsCutOnACharacterBoundary)
{
    // 254 single bytes then 表 (95 5C): byte 255 would split the character.
    std::string text(254, 'a');
    text += "\x95\x5C";
    EXPECT_EQ(std::string(254, 'a'), ClXmlWriter::Escape(text.c_str()));
    // A trail byte in the lead-byte range: 亜 is 88 9F; 127 of them are 254 bytes.
    std::string kanji;
    for (int i = 0; i < 128; ++i) kanji += "\x88\x9F";
    EXPECT_EQ(254u, ClXmlWriter::Escape(kanji.c_str()).size());
    std::string exact(255, 'b');
    EXPECT_EQ(exact, ClXmlWriter::Escape((exact + "cc").c_str()));
}

TEST(XmlWriter, EscapeReplacesTheFiveCharacters)
{
    EXPECT_EQ("&amp;&gt;&lt;&quot;&apos;x", ClXmlWriter::Escape("&><\"'x"));
    EXPECT_EQ("", ClXmlWriter::Escape(nullptr));
}

TEST(XmlWriter, MissingArgumentsLeaveTheWriterFailed)
{
    ClXmlWriter writer;
    ClReportFile file;
    EXPECT_TRUE(writer.Failed()) << "no file attached yet";
    writer.Open(nullptr, "C:\\x.xml");
    EXPECT_TRUE(writer.Failed());
    writer.Open(&file, nullptr);
    EXPECT_TRUE(writer.Failed());
    writer.WriteEndTag("E", 0);   // no file attached: nothing to write to
    EXPECT_TRUE(writer.Failed());
    EXPECT_FALSE(file.IsOpen()) << "the file was never opened";
    writer.Close();
}

TEST(XmlWriter, FileThatCannotBeCreatedFailsAtTheFirstWrite)
{
    fakes::FakeFileSystem fs;
    fakes::ScopedServices installed(&fs);
    ClReportFile file;
    ClXmlWriter writer;
    writer.Open(&file, "C:\\missing\\report.xml");
    EXPECT_TRUE(writer.Failed()) << "remembered from the open";
    writer.WriteRaw("<?xml?>\r\n");
    writer.WriteStartTag("REPORT", 0);
    EXPECT_TRUE(writer.Failed());
    EXPECT_EQ(0, fs.CallCount("Write")) << "nothing reaches the disk";
    writer.Close();
    EXPECT_TRUE(file.HasFailed());
}

TEST(XmlWriter, FailedWriteClosesTheFileAndEveryLaterWriteFails)
{
    fakes::ReportCapture c;
    c.fs.FailWriteAt(2);
    c.writer.WriteStartTag("A", 0);
    EXPECT_FALSE(c.writer.Failed());
    EXPECT_EQ(1, c.fs.OpenFileCount());
    c.writer.WriteStartTag("B", 0);
    EXPECT_TRUE(c.writer.Failed());
    EXPECT_EQ(0, c.fs.OpenFileCount());
    c.writer.WriteStartTag("C", 0);
    EXPECT_TRUE(c.writer.Failed());
    EXPECT_EQ("<A>\r\n", c.Bytes()) << "what was written before the failure";
    EXPECT_FALSE(c.fs.HasFile(c.kPath)) << "a failed report never reaches its destination";
    EXPECT_EQ(std::vector<std::string>{}, c.fs.Files()) << "nor stays aside";
    EXPECT_TRUE(c.file.HasFailed());
}

TEST(ReportFile, FailedFlushOrCloseIsReported)
{
    for (const char* op : {"Flush", "ReplaceTo"}) {
        fakes::ReportCapture c;
        c.fs.FailCall(op, 1);
        c.writer.WriteStartTag("A", 0);
        EXPECT_FALSE(c.writer.Failed()) << op;
        EXPECT_FALSE(c.file.Commit()) << op;
        EXPECT_TRUE(c.file.HasFailed()) << op;
    }
}

TEST(ReportFile, ReplacesAnExistingFile)
{
    fakes::FakeFileSystem fs;
    fs.AddFile("C:\\r.xml", "old contents that are long");
    fakes::ScopedServices installed(&fs);
    {
        ClReportFile file;
        ASSERT_TRUE(file.Open("C:\\r.xml"));
        ASSERT_TRUE(file.Write("new", 3));
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_EQ("new", fs.FileBytes("C:\\r.xml"));
}

}  // namespace
