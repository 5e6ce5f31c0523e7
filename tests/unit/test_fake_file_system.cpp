// The in-memory file system the dialog and app tests stand on: Windows path rules,
// double-byte names, shares, drive types and failure injection.
#include <gtest/gtest.h>

#include "platform/replace_retry.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_progress_view.h"

using fakes::FakeFileSystem;

TEST(FakeFileSystem, ResolvesWindowsPaths)
{
    FakeFileSystem fs;
    struct Row { const char* in; const char* full; } rows[] = {
        {"C:\\a\\b", "C:\\a\\b"},
        {"c:/a//b\\", "C:\\a\\b"},
        {"C:\\a\\.\\x\\..\\b", "C:\\a\\b"},
        {"C:", "C:\\"},
        {"C:x", "C:\\x"},
        {"\\x", "C:\\x"},
        {"x\\y", "C:\\x\\y"},
        {"\\\\srv\\share\\d", "\\\\srv\\share\\d"},
        {"C:\\表\\ソ", "C:\\表\\ソ"},
    };
    for (const Row& row : rows) {
        std::string full, key;
        ASSERT_TRUE(fs.Resolve(row.in, full, key)) << row.in;
        EXPECT_EQ(full, row.full) << row.in;
    }
    std::string full, key;
    EXPECT_FALSE(fs.Resolve("\\\\srv", full, key));
    EXPECT_FALSE(fs.Resolve("", full, key));
}

TEST(FakeFileSystem, DoubleByteTrailIsNoSeparatorAndCaseIgnoresTrailBytes)
{
    FakeFileSystem fs;
    ASSERT_TRUE(fs.CreateDirectory("C:\\表"));   // 95 5C: one component
    EXPECT_TRUE(fs.PathIsDirectory("C:\\表\\"));
    EXPECT_FALSE(fs.PathIsDirectory("C:\\\x95"));
    // 82 61 ("Ｂ"-like full width) and 82 81 differ though 0x61 is "a".
    ASSERT_TRUE(fs.AddFile("C:\\\x82\x61.txt", "x"));
    EXPECT_FALSE(fs.FileExists("C:\\\x82\x41.txt"));
    EXPECT_TRUE(fs.FileExists("c:\\\x82\x61.TXT"));
}

TEST(FakeFileSystem, DirectoriesFilesAndRights)
{
    FakeFileSystem fs;
    EXPECT_FALSE(fs.CreateDirectory("C:\\a\\b"));          // parent missing
    EXPECT_TRUE(fs.CreateDirectory("C:\\a\\"));
    EXPECT_FALSE(fs.CreateDirectory("C:\\A"));             // exists
    EXPECT_TRUE(fs.CreateDirectory("C:\\a\\b"));
    EXPECT_FALSE(fs.RemoveDirectory("C:\\a"));             // not empty
    EXPECT_TRUE(fs.RemoveDirectory("C:\\a\\b\\"));
    EXPECT_FALSE(fs.RemoveDirectory("C:\\"));

    auto file = fs.CreateNew("C:\\a\\f.txt");
    ASSERT_TRUE(file);
    EXPECT_FALSE(fs.CreateNew("C:\\a\\f.txt"));
    EXPECT_FALSE(fs.CreateExclusive("C:\\a\\f.txt"));     // open elsewhere
    EXPECT_FALSE(fs.DeleteFile("C:\\a\\f.txt"));
    EXPECT_TRUE(file->Write("ab", 2));
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(fs.FileBytes("C:\\a\\F.TXT"), "ab");
    EXPECT_EQ(fs.OpenFileCount(), 0);

    // Holding keeps the bytes and everyone else out; only an existing file is held.
    auto held = fs.HoldExclusive("C:\\a\\F.txt");
    ASSERT_TRUE(held);
    EXPECT_FALSE(fs.HoldExclusive("C:\\a\\f.txt"));
    EXPECT_FALSE(fs.DeleteFile("C:\\a\\f.txt"));
    fs.AddFile("C:\\a\\g.txt", "g");
    EXPECT_EQ(platform::ReplaceResult::kRefused, fs.ReplaceFile("C:\\a\\g.txt", "C:\\a\\f.txt"));
    held.reset();
    EXPECT_EQ(fs.FileBytes("C:\\a\\f.txt"), "ab");
    EXPECT_TRUE(fs.DeleteFile("C:\\a\\g.txt"));
    EXPECT_FALSE(fs.HoldExclusive("C:\\a\\none.txt"));
    EXPECT_FALSE(fs.HoldExclusive("C:\\a"));
    fs.AddFile("C:\\a\\x.1.unfinished", "");
    fs.AddFile("C:\\a\\b\\y.1.unfinished", "");
    fs.AddDirectory("C:\\a\\z.unfinished");
    EXPECT_EQ(fs.ListFiles("C:\\A\\", ".UNFINISHED"), std::vector<std::string>{"x.1.unfinished"});
    EXPECT_EQ(fs.ListFiles("C:\\", ".unfinished"), std::vector<std::string>{});

    fs.AddDrive('R', platform::DRIVE_TYPE_REMOVABLE, 4);
    fs.AddFile("R:\\x.txt", "r");
    EXPECT_TRUE(fs.Access("R:\\", 4));
    EXPECT_FALSE(fs.Access("R:\\", 6));
    EXPECT_FALSE(fs.CreateExclusive("R:\\x.txt"));
    EXPECT_EQ(fs.GetDriveType("R:\\"), platform::DRIVE_TYPE_REMOVABLE);
    EXPECT_EQ(fs.GetDriveType("Q:\\"), platform::DRIVE_TYPE_NO_ROOT_DIR);

    fs.AddShare("\\\\srv\\share", 6);
    EXPECT_TRUE(fs.Access("\\\\SRV\\share", 6));
    EXPECT_TRUE(fs.CreateDirectory("\\\\srv\\share\\new\\"));
    EXPECT_TRUE(fs.PathIsDirectory("\\\\srv\\share\\NEW"));
    EXPECT_FALSE(fs.Access("\\\\srv\\other", 0));
}

TEST(FakeFileSystem, ReplaceAndProfileStrings)
{
    FakeFileSystem fs;
    fs.AddFile("C:\\d\\old.txt", "old");
    fs.AddFile("C:\\d\\new.tmp", "new");
    EXPECT_EQ(platform::ReplaceResult::kReplaced, fs.ReplaceFile("C:\\d\\new.tmp", "C:\\d\\old.txt"));
    EXPECT_EQ(fs.FileBytes("C:\\d\\old.txt"), "new");
    EXPECT_FALSE(fs.HasFile("C:\\d\\new.tmp"));

    // What Windows leaves: the destination gone and the new file under its own name.
    fs.AddFile("C:\\d\\newer.tmp", "newer");
    fs.SetReplaceOutcome(platform::ReplaceResult::kOnlyAtSource);
    EXPECT_EQ(platform::ReplaceResult::kOnlyAtSource, fs.ReplaceFile("C:\\d\\newer.tmp", "C:\\d\\old.txt"));
    EXPECT_FALSE(fs.HasFile("C:\\d\\old.txt"));
    EXPECT_EQ(fs.FileBytes("C:\\d\\newer.tmp"), "newer");
    fs.SetReplaceOutcome(platform::ReplaceResult::kReplaced);

    // A folder without the right to delete refuses renaming and keeps removed files, empty.
    fs.DenyDeleting("C:\\d");
    EXPECT_EQ(platform::ReplaceResult::kDenied, fs.ReplaceFile("C:\\d\\newer.tmp", "C:\\d\\old.txt"));
    EXPECT_FALSE(fs.DeleteFile("C:\\d\\newer.tmp"));
    auto side = fs.CreateExclusive("C:\\d\\newer.tmp");
    ASSERT_TRUE(side && side->Write("x", 1));
    EXPECT_FALSE(side->Remove());
    EXPECT_EQ(fs.FileBytes("C:\\d\\newer.tmp"), "");
    EXPECT_TRUE(fs.HasFile("C:\\d\\newer.tmp"));

    fs.AddFile("C:\\d\\a.ini", "[Other]\r\nLevel=1\r\n[ Main ]\r\n level = \"20\" \r\nName=abcdef\r\n");
    EXPECT_EQ(fs.GetProfileString("C:\\d\\a.ini", "main", "LEVEL", "x", 16), "20");
    EXPECT_EQ(fs.GetProfileString("C:\\d\\a.ini", "Main", "Name", "x", 4), "abc");
    EXPECT_EQ(fs.GetProfileString("C:\\d\\a.ini", "Main", "None", "dflt", 16), "dflt");
    EXPECT_EQ(fs.GetProfileString("C:\\d\\none.ini", "Main", "Level", "", 16), "");
}

TEST(FakeFileSystem, FailureInjectionAndRecords)
{
    FakeFileSystem fs;
    fs.ResetCalls();
    fs.FailCall("CreateDirectory", 2);
    EXPECT_TRUE(fs.CreateDirectory("C:\\a"));
    EXPECT_FALSE(fs.CreateDirectory("C:\\b"));
    EXPECT_FALSE(fs.HasDirectory("C:\\b"));
    EXPECT_TRUE(fs.CreateDirectory("C:\\c"));
    ASSERT_EQ(fs.calls().size(), 3u);
    EXPECT_EQ(fs.calls()[1], "CreateDirectory C:\\b FAILED");

    fs.FailCallsFrom("Write", 2);
    auto file = fs.CreateExclusive("C:\\a\\f");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Write("1", 1));
    EXPECT_FALSE(file->Write("2", 1));
    EXPECT_FALSE(file->Write("3", 1));
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(fs.FileBytes("C:\\a\\f"), "1");

    fs.ClearFailures();
    fs.FailCall("Close", 0);
    file = fs.CreateExclusive("C:\\a\\f");
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->Close());
    EXPECT_EQ(fs.OpenFileCount(), 0);
    EXPECT_EQ(fs.CallCount("CreateExclusive"), 2);
}

TEST(FakeProgressView, ClampsLikeTheCommonControl)
{
    fakes::FakeProgressView view;
    view.SetRange(1, 0, 1000);
    view.SetPos(1, 1200);
    EXPECT_EQ(view.state().bars[1].pos, 1000);
    view.SetRange(1, 0, 500);
    EXPECT_EQ(view.state().bars[1].pos, 500);
    view.DeltaPos(1, -700);
    EXPECT_EQ(view.state().bars[1].pos, 0);
    view.SetRange(2, 0, 70000);               // 16-bit words
    EXPECT_EQ(view.state().bars[2].high, 70000 & 0xFFFF);
    EXPECT_EQ(view.state().counts["SetPos"], 1);
}

// The replacement as Windows performs it: each documented outcome of ReplaceFileW played
// through, with the refusals that pass tried again after growing waits.
TEST(ReplaceWithRetries, EachDocumentedOutcome)
{
    using platform::ReplaceResult;
    enum : unsigned long {
        kInvalid = 1,
        kNotFound = platform::kWinErrorFileNotFound,
        kDenied = platform::kWinErrorAccessDenied,
        kSharing = platform::kWinErrorSharingViolation,
        kMoveReplacement = platform::kWinErrorUnableToMoveReplacement,
        kMoveReplacement2 = platform::kWinErrorUnableToMoveReplacement2,
    };
    struct Script : platform::IReplaceCalls {
        bool destination = true;
        std::vector<unsigned long> replaces, moves;   // answers in turn; the last repeats
        std::string calls;
        bool DestinationIsFile() override { return destination; }
        unsigned long Replace() override { return Next(replaces, "R"); }
        unsigned long Move() override { return Next(moves, "M"); }
        void Wait(int ms) override { calls += std::to_string(ms) + " "; }
        unsigned long Next(std::vector<unsigned long>& answers, const char* name)
        {
            calls += std::string(name) + " ";
            const unsigned long answer = answers.front();
            if (answers.size() > 1) answers.erase(answers.begin());
            return answer;
        }
    };
    struct Row {
        const char* name;
        bool destination;
        std::vector<unsigned long> replaces, moves;
        ReplaceResult result;
        std::string calls;
    };
    const std::string tenReplacesRefused = "R 25 R 50 R 75 R 100 R 125 R 150 R 175 R 200 R 225 R ";
    const Row rows[] = {
        {"replaced", true, {0}, {0}, ReplaceResult::kReplaced, "R "},
        {"nothing to replace: moved", false, {0}, {0}, ReplaceResult::kReplaced, "M "},
        {"a scanner holds it for a moment", true, {kSharing, kSharing, 0}, {0}, ReplaceResult::kReplaced,
         "R 25 R 50 R "},
        {"access denied to the end: rights", true, {kDenied}, {0}, ReplaceResult::kDenied, tenReplacesRefused},
        {"held to the end", true, {kSharing}, {0}, ReplaceResult::kRefused, tenReplacesRefused},
        {"another failure is not tried again", true, {kInvalid}, {0}, ReplaceResult::kRefused, "R "},
        {"destination removed, then moved", true, {kMoveReplacement}, {0}, ReplaceResult::kReplaced, "R M "},
        {"destination removed, the move held a moment", true, {kMoveReplacement}, {kSharing, 0},
         ReplaceResult::kReplaced, "R M 25 M "},
        {"destination renamed, the move refused", true, {kMoveReplacement2}, {kInvalid}, ReplaceResult::kOnlyAtSource,
         "R M "},
        {"destination removed, the move held to the end", true, {kMoveReplacement}, {kSharing},
         ReplaceResult::kOnlyAtSource, "R M 25 M 50 M 75 M 100 M 125 M 150 M 175 M 200 M 225 M "},
        {"destination vanished meanwhile", true, {kNotFound}, {0}, ReplaceResult::kReplaced, "R M "},
    };
    for (const Row& row : rows) {
        Script script;
        script.destination = row.destination;
        script.replaces = row.replaces;
        script.moves = row.moves;
        EXPECT_EQ(row.result, platform::ReplaceWithRetries(script)) << row.name;
        EXPECT_EQ(row.calls, script.calls) << row.name;
    }
}
