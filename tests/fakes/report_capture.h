// ReportCapture: a ClXmlWriter writing into an in-memory file, for tests of the section
// writers. It installs a FakeFileSystem as the file system while it lives.
//
//   fakes::ReportCapture capture;
//   builder.WriteLineTable(capture.writer, table, rows);
//   EXPECT_EQ(fakes::Visible(expected), fakes::Visible(capture.Bytes()));
//
// Element(depth, name, text) composes the line the writer gives for one text element,
// so expectations read as lists of (name, text).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/services.h"
#include "report/report_file.h"
#include "report/xml_writer.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/scoped_services.h"

namespace fakes {

class ReportCapture {
public:
    static constexpr const char* kPath = "C:\\report.xml";

    ReportCapture();
    ~ReportCapture();
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    // Closes the writer, commits the report and returns every byte written so far,
    // whole report or not.
    std::string Bytes();

    FakeFileSystem fs;
    ClReportFile file;     // outlives the writer, which only detaches from it
    ClXmlWriter writer;

private:
    ScopedServices m_installed{&fs};
};

// Depth TABs, "<name>", text, "</name>", CR LF.
std::string Element(int depth, const std::string& name, const std::string& text);
// Elements at depth 4, one per (name, text) pair, in order.
std::string Elements(const std::vector<std::pair<std::string, std::string>>& items);
// The bytes with TAB, CR and LF spelled out (LF also starts a new line) and every
// byte outside printable ASCII as \xHH, so failure messages show exact bytes.
std::string Visible(const std::string& bytes);

}  // namespace fakes
