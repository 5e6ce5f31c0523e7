// The host's launch line: "<window>,<message>,<function id>,<fixed path>".
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "app/export_app.h"

namespace {

struct LaunchCase {
    const char* name;
    std::string line;
    int result;
    intptr_t window;
    int32_t message;
    int16_t functionId;
    std::string path;
};

intptr_t WindowValue(HWND wnd) { return reinterpret_cast<intptr_t>(wnd); }

std::string LongPath(std::size_t bytes)
{
    std::string path = "C:\\out\\";
    while (path.size() + 4 < bytes)
        path += 'a';
    path += ".xml";
    return path;
}

const LaunchCase kCases[] = {
    {"empty line", "", 0, 0, 0, 1, ""},
    {"ends in the third comma", "123,1025,7,", 1, 123, 1025, 7, ""},
    {"two commas", "123,1025,7", 0, 123, 1025, 1, ""},
    {"one comma", "123,1025", 0, 123, 0, 1, ""},
    {"no comma", "123", 0, 0, 0, 1, ""},
    {"fixed path", "123,1025,7,C:\\out\\tax.xml", 1, 123, 1025, 7, "C:\\out\\tax.xml"},
    {"commas in the path", "123,1025,7,C:\\a,b\\c,d.xml", 1, 123, 1025, 7, "C:\\a,b\\c,d.xml"},
    {"function id cut to 16 bits", "123,1025,70000,", 1, 123, 1025, 4464, ""},
    {"negative function id", "123,1025,-1,", 1, 123, 1025, -1, ""},
    {"blanks, signs and letters", "  +77x,\t-3,9z9,p", 1, 77, -3, 9, "p"},
    {"fields without digits", "abc,,x,", 1, 0, 0, 0, ""},
    {"only commas", ",,,", 1, 0, 0, 0, ""},
    {"message beyond 32 bits", "1,4294967296,1,", 1, 1, 2147483647, 1, ""},
    {"window printed unsigned", "4294967295,1,1,", 1, -1, 1, 1, ""},
    // A 32-bit host's handle with its top bit set, printed unsigned or signed: the same
    // window in both bitnesses, sign-extended as Windows extends handles for 64-bit code.
    {"window above 2^31 printed unsigned", "2147549186,1,1,", 1, -2147418110, 1, 1, ""},
    {"window above 2^31 printed signed", "-2147418110,1,1,", 1, -2147418110, 1, 1, ""},
    {"window beyond 32 bits", "4294967298,1,1,", 1, 2, 1, 1, ""},
    {"path with a 0x5C trail byte", "1,2,3,C:\\\x95\x5C\\a.xml", 1, 1, 2, 3, "C:\\\x95\x5C\\a.xml"},
    {"path of 260 bytes", "1,2,3," + LongPath(260), 1, 1, 2, 3, LongPath(260)},
    {"path of 400 bytes", "1,2,3," + LongPath(400), 1, 1, 2, 3, LongPath(400)},
};

class LaunchArgsTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(LaunchArgsTest, StoresFieldsAsFarAsTheyGo)
{
    const LaunchCase& c = GetParam();
    ClExportApp app;
    EXPECT_EQ(c.result, app.ParseCommandLine(c.line.c_str()));
    EXPECT_EQ(c.window, WindowValue(app.hostWnd));
    EXPECT_EQ(c.message, app.notifyMessage);
    EXPECT_EQ(c.functionId, app.functionId);
    EXPECT_EQ(c.path, app.hostOutputPath);
    EXPECT_EQ(0, app.launchedByHost) << "the caller sets it";
}

INSTANTIATE_TEST_SUITE_P(Lines, LaunchArgsTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LaunchCase>& info) {
                             std::string name;
                             for (char ch : std::string(info.param.name))
                                 name += (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ? ch : '_';
                             return name;
                         });

TEST(LaunchArgs, NullLineIsNoLaunch)
{
    ClExportApp app;
    EXPECT_EQ(0, app.ParseCommandLine(nullptr));
    EXPECT_EQ(nullptr, app.hostWnd);
}

TEST(LaunchArgs, OverLongLineKeepsTheWholePathAndIsMarkedTooLong)
{
    // A line well past 259 characters: nothing overflows, the numbers still count, and
    // the path is neither cut nor accepted.
    const std::string path = LongPath(600);
    const std::string line = "65538,32769,12," + path;
    ASSERT_GT(line.size(), 259u);
    ClExportApp app;
    EXPECT_EQ(1, app.ParseCommandLine(line.c_str()));
    EXPECT_EQ(65538, WindowValue(app.hostWnd));
    EXPECT_EQ(32769, app.notifyMessage);
    EXPECT_EQ(12, app.functionId);
    EXPECT_EQ(path, app.hostOutputPath);
    EXPECT_TRUE(app.HostOutputPathTooLong());
}

TEST(LaunchArgs, PathLengthLimit)
{
    struct Row {
        std::size_t bytes;
        bool tooLong;
    };
    const Row rows[] = {{0, false}, {100, false}, {259, false}, {260, false}, {261, true}, {1000, true}};
    for (const Row& row : rows) {
        ClExportApp app;
        app.hostOutputPath = std::string(row.bytes, 'x');
        EXPECT_EQ(row.tooLong, app.HostOutputPathTooLong()) << row.bytes << " bytes";
    }
}

TEST(LaunchArgs, LongLineWithAShortPathIsAccepted)
{
    // Blanks before the numbers make the line long, yet the path itself fits.
    const std::string line = std::string(300, ' ') + "5,6,7,C:\\out\\a.xml";
    ClExportApp app;
    EXPECT_EQ(1, app.ParseCommandLine(line.c_str()));
    EXPECT_EQ(5, WindowValue(app.hostWnd));
    EXPECT_EQ("C:\\out\\a.xml", app.hostOutputPath);
    EXPECT_FALSE(app.HostOutputPathTooLong());
}

}  // namespace
