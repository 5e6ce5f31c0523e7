// Each golden report is the whole expected file of one export: store, form, edition,
// function id and SUPPORT.INF are fixed per case. A difference prints the first
// differing line with TABs, CR, LF and every non-ASCII byte spelled out.
//
// LEDGRA_WRITE_GOLDENS=1 writes the outputs over the goldens instead; a rewritten
// golden must be read through by hand before it is committed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "tools/export-report/export_report.h"

namespace {

struct GoldenCase {
    const char* golden;     // file in tests/golden
    const char* store;      // "sample" or a store file in tests/golden
    const char* category;
    const char* functionId;
    const char* edition;
    bool supportFile;       // SUPPORT.INF in the current folder
};

const GoldenCase kCases[] = {
    {"sample-blue-business.xml", "sample", "1", "1", "pro", false},
    {"sample-blue-other.xml", "sample", "2", "1", "pro", false},
    {"sample-blue-realestate.xml", "sample", "3", "1", "pro", false},
    {"rich-blue-business.xml", "store-rich-blue.json", "1", "3", "pro", true},
    {"rich-blue-other.xml", "store-rich-blue.json", "2", "3", "pro", true},
    {"rich-blue-realestate.xml", "store-rich-blue.json", "3", "3", "pro", true},
    {"rich-white-business.xml", "store-rich-white.json", "1", "-7", "basic", false},
    {"rich-white-other.xml", "store-rich-white.json", "2", "-7", "basic", false},
    {"rich-white-realestate.xml", "store-rich-white.json", "3", "-7", "basic", false},
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string Visible(const std::string& line)
{
    std::string out;
    for (unsigned char c : line) {
        char hex[8];
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c >= 0x20 && c < 0x7F && c != '\\')
            out += static_cast<char>(c);
        else {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        end = end == std::string::npos ? bytes.size() : end + 1;
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end;
    }
    return lines;
}

// Empty when equal; else the first differing line of each side.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
    if (expected == actual) return std::string();
    std::vector<std::string> e = Lines(expected), a = Lines(actual);
    for (std::size_t i = 0; i < e.size() || i < a.size(); ++i) {
        std::string el = i < e.size() ? e[i] : "(end of file)";
        std::string al = i < a.size() ? a[i] : "(end of file)";
        if (el != al)
            return "line " + std::to_string(i + 1) + "\n  expected: " + Visible(el) + "\n  actual:   " + Visible(al);
    }
    return "same lines, different bytes";
}

class GoldenReports : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenReports, ExportMatchesTheGoldenByteForByte)
{
    const GoldenCase& c = GetParam();
    const std::string goldenDir = LEDGRA_GOLDEN_DIR;
    const std::string store =
        std::string(c.store) == "sample" ? std::string(LEDGRA_SAMPLE_STORE) : goldenDir + "/" + c.store;

    // A folder of its own per case: the export reads SUPPORT.INF from the current folder.
    char base[] = "/tmp/ledgra-golden-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(base));
    const std::string folder = base;
    char previous[4096];
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir(folder.c_str()));
    if (c.supportFile) WriteFile("SUPPORT.INF", ReadFile(goldenDir + "/SUPPORT.INF"));

    const std::string out = folder + "/report.xml";
    int status = export_report::Run({"--host-data", store, "--category", c.category, "--out", out,
                                     "--function-id", c.functionId, "--edition", c.edition});
    const std::string actual = ReadFile(out);
    ASSERT_EQ(0, chdir(previous));
    std::remove(out.c_str());
    std::remove((folder + "/SUPPORT.INF").c_str());
    rmdir(folder.c_str());
    ASSERT_EQ(0, status) << c.golden;

    const std::string goldenPath = goldenDir + "/" + c.golden;
    const char* rewrite = std::getenv("LEDGRA_WRITE_GOLDENS");
    if (rewrite && std::string(rewrite) == "1") {
        WriteFile(goldenPath, actual);
        GTEST_SKIP() << "rewrote " << goldenPath << ": read it through before committing";
    }
    const std::string expected = ReadFile(goldenPath);
    ASSERT_FALSE(expected.empty()) << "missing golden " << goldenPath;
    EXPECT_EQ("", FirstDifference(expected, actual)) << c.golden;
}

INSTANTIATE_TEST_SUITE_P(AllForms, GoldenReports, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             std::string name = info.param.golden;
                             name = name.substr(0, name.size() - 4);
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

}  // namespace
