// The remembered-destination file: format byte for byte, records found only at a line
// start, the rewrite through a temporary file and a lock, and what every failure leaves.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/edition.h"
#include "dialog/condition_dlg.h"
#include "dialog/remembered_destination.h"
#include "hostsim/hostsim.h"
#include "tests/fakes/byte_text.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/scoped_services.h"

namespace {

using fakes::HexBytes;

// Bytes with LF, CR and non-ASCII made visible, for readable failures.
std::string Visible(const std::string& text)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "<LF>\n";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "<";
            out += digits[c >> 4];
            out += digits[c & 15];
            out += ">";
        }
    }
    return out;
}

// Host folders given as exact CP932 bytes.
void SetHostFolders(const std::string& output, const std::string& settings)
{
    std::string json = "{\"folders\": {\"output\": {\"sjis\": \"" + HexBytes(output) + "\"}, \"settings\": {\"sjis\": \"" +
                       HexBytes(settings) + "\"}}}";
    ASSERT_TRUE(hostsim::LoadStoreFromText(json)) << hostsim::StoreError();
}

const char kSettings[] = "C:\\Ledgra\\Settings\\";
const char kFile[] = "C:\\Ledgra\\Settings\\LedgraProExport.env";

class Remembered : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetHostFolders("C:\\Out\\", kSettings);
        RememberedDestinationLockWait() = RememberedLockWait{3, 0, nullptr};
        dlg = MakeDialog("USER01", 1, 5);
    }
    void TearDown() override
    {
        RememberedDestinationLockWait() = RememberedLockWait{};
        hostsim::ResetForTests();
    }
    static std::unique_ptr<ClConditionDlg> MakeDialog(const std::string& user, int32_t first, int32_t second)
    {
        auto dialog = std::make_unique<ClConditionDlg>(nullptr, ProEdition().envFileName);
        std::strncpy(dialog->m_szUserId, user.c_str(), 64);
        dialog->m_lSelectedNo1 = first;
        dialog->m_lSelectedNo2 = second;
        return dialog;
    }
    struct Found {
        int result = 0;
        int16_t category = 0;
        std::string path;
    };
    static Found Read(ClConditionDlg& dialog)
    {
        Found found;
        char path[261];
        std::memset(path, 0x55, sizeof path);   // untouched bytes stay visible
        found.result = dialog.ReadRememberedDestination(&found.category, path);
        found.path = found.result ? std::string(path) : std::string();
        if (!found.result) {
            EXPECT_EQ(static_cast<unsigned char>(path[0]), 0x55) << "outs touched without a record";
        }
        return found;
    }

    fakes::FakeFileSystem fs;
    std::unique_ptr<ClConditionDlg> dlg;
    fakes::ScopedServices installed{&fs};
};

}  // namespace

TEST_F(Remembered, NoFileNoRecordThenOneExactRecord)
{
    EXPECT_EQ(Read(*dlg).result, 0);
    EXPECT_FALSE(fs.HasDirectory(kSettings));
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 3, "C:\\out\\tax.xml"), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)), Visible("USER01/1/5:0/0/3/C:\\out\\tax.xml\n"));
    Found found = Read(*dlg);
    EXPECT_EQ(found.result, 1);
    EXPECT_EQ(found.category, 3);
    EXPECT_EQ(found.path, "C:\\out\\tax.xml");
    // Nothing but the file is left in the folder: no lock, no temporary file.
    EXPECT_EQ(fs.Files(), std::vector<std::string>{kFile});
    EXPECT_EQ(fs.OpenFileCount(), 0);
}

TEST_F(Remembered, ReplacingMovesTheRecordToTheEndAndKeepsOtherLines)
{
    const std::string others1 = "OTHER/1/5:0/0/1/C:\\表\\ソ.xml\n";
    const std::string mine = "USER01/1/5:0/0/1/C:\\old.xml\n";
    const std::string others2 = "USER01/1/6:0/0/2/D:\\x.xml\r\n";
    fs.AddFile(kFile, others1 + mine + others2);
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "C:\\new.xml"), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)), Visible(others1 + others2 + "USER01/1/5:0/0/2/C:\\new.xml\n"));

    // Another user and data set: appended at the end, the rest byte for byte.
    auto other = MakeDialog("USER02", 1, 5);
    EXPECT_EQ(other->WriteRememberedDestination(0, 0, 3, "E:\\y.xml"), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)),
              Visible(others1 + others2 + "USER01/1/5:0/0/2/C:\\new.xml\nUSER02/1/5:0/0/3/E:\\y.xml\n"));
}

TEST_F(Remembered, HostStartedRunKeepsTheRememberedPath)
{
    // Nothing remembered: the record gets an empty path.
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 3, nullptr), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)), Visible("USER01/1/5:0/0/3/\n"));
    Found found = Read(*dlg);
    EXPECT_EQ(found.result, 1);
    EXPECT_EQ(found.category, 3);
    EXPECT_EQ(found.path, "");

    // A remembered path survives a host-started run; its category is updated.
    std::strcpy(dlg->m_szRememberedPath, "C:\\kept\\a.xml");
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 1, nullptr), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)), Visible("USER01/1/5:0/0/1/C:\\kept\\a.xml\n"));
}

TEST_F(Remembered, KeyMatchesOnlyAtALineStart)
{
    // "XUSER01" ends with "USER01": its record must not be taken for USER01's.
    fs.AddFile(kFile, "XUSER01/1/5:0/0/2/C:\\x.xml\n");
    EXPECT_EQ(Read(*dlg).result, 0);
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 3, "C:\\mine.xml"), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)),
              Visible("XUSER01/1/5:0/0/2/C:\\x.xml\nUSER01/1/5:0/0/3/C:\\mine.xml\n"));
    Found found = Read(*dlg);
    EXPECT_EQ(found.category, 3);
    EXPECT_EQ(found.path, "C:\\mine.xml");
    auto x = MakeDialog("XUSER01", 1, 5);
    EXPECT_EQ(Read(*x).path, "C:\\x.xml");
    // Numbers are part of the key: 1/50 is not 1/5.
    auto fifty = MakeDialog("USER01", 1, 50);
    EXPECT_EQ(Read(*fifty).result, 0);
}

TEST_F(Remembered, ReaderEdgeCases)
{
    struct Row { std::string content; int result; int16_t category; std::string path; };
    const std::string p260 = "C:\\" + std::string(253, 'a') + ".xml";
    const std::vector<Row> rows = {
        {"USER01/1/5:0/0/2/C:\\a.xml\n", 1, 2, "C:\\a.xml"},
        {"USER01/1/5:0/0/2/C:\\a.xml", 1, 2, "C:\\a.xml"},                 // no final LF
        {"USER01/1/5:0/0/3/C:\\a.xml\r\n", 1, 3, "C:\\a.xml\r"},           // CR stays in the path
        {"USER01/1/5:0/0/1/\n", 1, 1, ""},
        {"USER01/1/5:7/9/3/C:\\表\\ソ.xml\n", 1, 3, "C:\\表\\ソ.xml"},
        {"USER01/1/5:0/0/3/" + p260 + "\n", 1, 3, p260},
        {"USER01/1/5:0/0/3/" + p260 + "x\n", 0, 0, ""},                    // 261 bytes: no record
        {"USER01/1/5:garbage\n", 0, 0, ""},                                  // no "/"
        {"USER01/1/5:/C:\\a.xml\n", 1, 0, "C:\\a.xml"},
        {"USER01/1/5:0/0/x/C:\\a.xml\n", 1, 0, "C:\\a.xml"},
        {"", 0, 0, ""},
        {"\n\nUSER01/1/5:0/0/2/B\n", 1, 2, "B"},
        {"USER01/1/5:0/0/2/first\nUSER01/1/5:0/0/3/second\n", 1, 2, "first"},
    };
    for (const Row& row : rows) {
        fs.AddFile(kFile, row.content);
        Found found = Read(*dlg);
        EXPECT_EQ(found.result, row.result) << Visible(row.content);
        EXPECT_EQ(found.category, row.category) << Visible(row.content);
        EXPECT_EQ(Visible(found.path), Visible(row.path));
    }
}

TEST_F(Remembered, NoLimitOnKeysOrFileSize)
{
    // A 64-byte user id and large numbers make a key far over 50 bytes.
    const std::string user(64, 'U');
    auto longKey = MakeDialog(user, -2147483647 - 1, 2147483647);
    std::string others;
    for (int i = 0; others.size() < 40000; ++i) others += "U" + std::to_string(i) + "/1/1:0/0/1/C:\\" + std::string(100, 'p') + "\n";
    fs.AddFile(kFile, others);
    EXPECT_EQ(longKey->WriteRememberedDestination(0, 0, 2, "C:\\long.xml"), 1);
    const std::string record = user + "/-2147483648/2147483647:0/0/2/C:\\long.xml\n";
    EXPECT_EQ(fs.FileBytes(kFile), others + record);
    Found found = Read(*longKey);
    EXPECT_EQ(found.result, 1);
    EXPECT_EQ(found.path, "C:\\long.xml");
    // Replaced again far beyond 32767 bytes: still one record, at the end.
    EXPECT_EQ(longKey->WriteRememberedDestination(0, 0, 3, "C:\\again.xml"), 1);
    EXPECT_EQ(fs.FileBytes(kFile), others + user + "/-2147483648/2147483647:0/0/3/C:\\again.xml\n");
}

TEST_F(Remembered, UnterminatedLastLineGetsItsLineFeed)
{
    fs.AddFile(kFile, "OTHER/1/5:0/0/1/C:\\o.xml");
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "C:\\m.xml"), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)), Visible("OTHER/1/5:0/0/1/C:\\o.xml\nUSER01/1/5:0/0/2/C:\\m.xml\n"));
    EXPECT_EQ(Read(*dlg).path, "C:\\m.xml");
}

TEST_F(Remembered, DoubledRecordsAreAllReplaced)
{
    fs.AddFile(kFile, "USER01/1/5:0/0/1/a\nB/1/1:0/0/1/b\nUSER01/1/5:0/0/2/c\n");
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 3, "d"), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)), Visible("B/1/1:0/0/1/b\nUSER01/1/5:0/0/3/d\n"));
}

TEST_F(Remembered, RefusesWhatCouldNotBeReadBack)
{
    fs.AddFile(kFile, "OTHER/1/5:0/0/1/o\n");
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "C:\\a\nUSER02/1/5:0/0/1/C:\\b.xml"), 0);
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, ("C:\\" + std::string(258, 'a')).c_str()), 0);
    EXPECT_EQ(fs.FileBytes(kFile), "OTHER/1/5:0/0/1/o\n");
}

TEST_F(Remembered, UserIdWithALineFeedIsNeitherStoredNorRead)
{
    // "EVIL\nUSER01/1/5:..." would plant a line that reads as USER01's record.
    fs.AddFile(kFile, "OTHER/1/5:0/0/1/o\n");
    auto evil = MakeDialog("EVIL\nUSER01", 1, 5);
    EXPECT_EQ(evil->WriteRememberedDestination(0, 0, 2, "C:\\x.xml"), 0);
    EXPECT_EQ(fs.FileBytes(kFile), "OTHER/1/5:0/0/1/o\n");
    fs.AddFile(kFile, "EVIL\nUSER01/1/5:0/0/2/C:\\x.xml\n");
    EXPECT_EQ(Read(*evil).result, 0);
}

TEST_F(Remembered, FolderOfTypeOne)
{
    // Missing folder chain is created with the file.
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 1, "x"), 1);
    EXPECT_TRUE(fs.HasDirectory("C:\\Ledgra\\Settings"));

    // No folder: nothing is written.
    SetHostFolders("C:\\Out\\", "");
    fs.ResetCalls();
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 1, "x"), 0);
    EXPECT_EQ(Read(*dlg).result, 0);
    EXPECT_EQ(fs.CallCount("CreateNew") + fs.CallCount("CreateExclusive"), 0);

    // Folder creation failing: nothing written, nothing created left behind.
    SetHostFolders("C:\\Out\\", "C:\\New\\Deeper\\");
    fs.FailCall("CreateDirectory", 0);
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 1, "x"), 0);
    EXPECT_FALSE(fs.HasDirectory("C:\\New"));

    // A folder so long that the file name does not fit in 260 bytes: no record either way.
    fs.ClearFailures();
    const std::string longFolder = "C:\\" + std::string(240, 'f') + "\\";
    fs.AddDirectory(longFolder);
    SetHostFolders("C:\\Out\\", longFolder);
    EXPECT_EQ(RememberedDestinationFile(ProEdition().envFileName), "");
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 1, "x"), 0);
    EXPECT_EQ(Read(*dlg).result, 0);
}

TEST_F(Remembered, EditionNamesTheFile)
{
    ClConditionDlg basic(nullptr, BasicEdition().envFileName);
    std::strcpy(basic.m_szUserId, dlg->m_szUserId);
    basic.m_lSelectedNo1 = dlg->m_lSelectedNo1;
    basic.m_lSelectedNo2 = dlg->m_lSelectedNo2;
    EXPECT_EQ(basic.WriteRememberedDestination(0, 0, 1, "b"), 1);
    EXPECT_TRUE(fs.HasFile("C:\\Ledgra\\Settings\\LedgraBasicExport.env"));
    EXPECT_FALSE(fs.HasFile(kFile));
    EXPECT_EQ(Read(*dlg).result, 0);
}

// Every file operation of a rewrite, failed in turn: the file is either the old one
// byte for byte (result 0) or the new one (result 1), and nothing stays open.
TEST_F(Remembered, FailureAtEachOperationLeavesTheOldFileWhole)
{
    const std::string old = "A/1/1:0/0/1/C:\\a.xml\nUSER01/1/5:0/0/1/C:\\old.xml\nB/2/2:0/0/3/C:\\表.xml\n";
    const std::string expected = "A/1/1:0/0/1/C:\\a.xml\nB/2/2:0/0/3/C:\\表.xml\nUSER01/1/5:0/0/2/C:\\new.xml\n";

    // How many operations a successful rewrite takes.
    fakes::FakeFileSystem probe;
    fakes::ScopedServices installedProbe(&probe);
    probe.AddFile(kFile, old);
    probe.ResetCalls();
    ASSERT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "C:\\new.xml"), 1);
    const int total = probe.TotalCalls();
    ASSERT_GE(total, 8);

    int refused = 0;
    int harmless = 0;
    for (int failAt = 1; failAt <= total; ++failAt) {
        fakes::FakeFileSystem local;
        fakes::ScopedServices installedLocal(&local);
        local.AddFile(kFile, old);
        local.ResetCalls();
        local.FailNthOperation(failAt);
        int result = dlg->WriteRememberedDestination(0, 0, 2, "C:\\new.xml");
        const std::string failed = failAt <= static_cast<int>(local.calls().size()) ? local.calls()[failAt - 1] : "?";
        SCOPED_TRACE("failing " + failed);
        const std::string now = local.FileBytes(kFile);
        if (result == 1) {
            EXPECT_EQ(Visible(now), Visible(expected));
            // Only checks with a safe answer, the lock's taking (tried again) and clean-up,
            // the search for leftovers and the close after the move may fail harmlessly.
            const std::string lock = std::string(kFile) + ".lock";
            EXPECT_TRUE(failed.rfind("PathIsDirectory ", 0) == 0 || failed == "Remove " + lock + " FAILED" ||
                        failed == "CreateExclusive " + lock + " FAILED" || failed.rfind("ListFiles ", 0) == 0 ||
                        failed == "Close " + std::string(kFile) + " FAILED")
                << failed;
            ++harmless;
        } else {
            EXPECT_EQ(Visible(now), Visible(old));
            ++refused;
        }
        EXPECT_EQ(local.OpenFileCount(), 0);
        for (const std::string& file : local.Files())
            EXPECT_TRUE(file == kFile || file == std::string(kFile) + ".lock") << file;
    }
    EXPECT_EQ(refused, total - harmless);
    EXPECT_GE(refused, total - 7);
}

TEST_F(Remembered, FailingWritesOfTheNewContentKeepTheOldFile)
{
    const std::string old = "USER01/1/5:0/0/1/C:\\old.xml\n";
    for (const char* operation : {"Write", "Flush", "CreateNew", "ReplaceTo", "ReadFile"}) {
        fakes::FakeFileSystem local;
        fakes::ScopedServices installedLocal(&local);
        local.AddFile(kFile, old);
        local.FailCall(operation, 1);
        EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "C:\\new.xml"), 0) << operation;
        EXPECT_EQ(local.FileBytes(kFile), old) << operation;
        EXPECT_EQ(local.Files(), std::vector<std::string>{kFile}) << operation;
    }
}

// Temporary files that earlier runs left, under the lock: an empty one is reused, so
// that a folder which keeps them never fills up with them; one that holds every record
// while the file is cut or gone (a write in place that failed or was killed) is where
// the rewrite starts, and it stays until the records are whole under the file's name
// again; one cut while it was written is not taken. A link is never written through.
TEST_F(Remembered, LeftoverTemporaryFiles)
{
    const std::string temp = std::string(kFile) + ".1.tmp";
    const std::string records = "A/1/1:0/0/1/a\nB/2/2:0/0/3/b\n";
    struct Row {
        const char* what;
        std::optional<std::string> file;   // the file before; none: missing
        std::string left;                  // in <file>.1.tmp
        std::string after;                 // the file after the rewrite
    };
    const Row rows[] = {
        {"an empty one is reused", std::string("A/1/1:0/0/1/a\n"), "", "A/1/1:0/0/1/a\nUSER01/1/5:0/0/2/n\n"},
        {"a stale cut one is passed and removed", std::nullopt, "stale", "USER01/1/5:0/0/2/n\n"},
        {"kept: the file cut", std::string("A/1/1:0/0/1/a\nB/2/2"), records, records + "USER01/1/5:0/0/2/n\n"},
        {"kept: the file emptied", std::string(""), records, records + "USER01/1/5:0/0/2/n\n"},
        {"kept: the file gone", std::nullopt, records, records + "USER01/1/5:0/0/2/n\n"},
        {"cut itself while the file is whole", records, "A/1/1:0/0/1/a\nB/2/2:0/0/3/b\nUSER01/1/5:0/0/1/",
         records + "USER01/1/5:0/0/2/n\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fakes::FakeFileSystem local;
        fakes::ScopedServices installedLocal(&local);
        local.AddDirectory(kSettings);
        if (row.file) local.AddFile(kFile, *row.file);
        local.AddFile(temp, row.left);
        EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "n"), 1);
        EXPECT_EQ(Visible(local.FileBytes(kFile)), Visible(row.after));
        EXPECT_EQ(local.Files(), std::vector<std::string>{kFile});
    }
}

// A folder that allows writing but no deleting or renaming: the records are written in
// place; when that fails after the file was emptied, the temporary file keeps every
// record, and the next rewrite starts from it. A leftover that is a link is left alone.
TEST_F(Remembered, NoDeleteRightsNeverLoseARecord)
{
    const std::string temp = std::string(kFile) + ".1.tmp";
    const std::string old = "A/1/1:0/0/1/a\nB/2/2:0/0/3/b\n";
    fs.AddFile(kFile, old);
    fs.AddFile("C:\\victim.txt", "someone's");
    fs.AddLink(std::string(kFile) + ".2.tmp", "C:\\victim.txt");
    fs.DenyDeleting(kSettings);
    fs.FailCall("Write", 2);   // the temporary file's write passes, the one in place fails
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "n"), 0);
    EXPECT_EQ(fs.FileBytes(kFile), "");
    EXPECT_EQ(Visible(fs.FileBytes(temp)), Visible(old + "USER01/1/5:0/0/2/n\n"));
    fs.ClearFailures();
    std::strcpy(dlg->m_szUserId, "USER02");
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 3, "m"), 1);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)), Visible(old + "USER01/1/5:0/0/2/n\nUSER02/1/5:0/0/3/m\n"));
    EXPECT_EQ(fs.FileBytes(temp), "") << "emptied once the records are whole";
    EXPECT_EQ(fs.FileBytes("C:\\victim.txt"), "someone's");
    EXPECT_EQ(fs.OpenFileCount(), 0);
}

// The holder lets go in the moment after this writer's open failed: the lock is taken
// on the next try, not given up.
TEST_F(Remembered, LockTakenWhenTheHolderLetsGoMeanwhile)
{
    class LettingGo : public fakes::FakeFileSystem {
    public:
        std::unique_ptr<platform::IWriteFile> CreateExclusive(const std::string& path) override
        {
            auto file = FakeFileSystem::CreateExclusive(path);
            if (!file && holder) {
                holder->Remove();
                holder.reset();
            }
            return file;
        }
        std::unique_ptr<platform::IWriteFile> holder;
    } local;
    fakes::ScopedServices installedLocal(&local);
    local.AddFile(kFile, "A/1/1:0/0/1/a\n");
    local.holder = local.CreateExclusive(std::string(kFile) + ".lock");
    ASSERT_TRUE(local.holder);
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "mine"), 1);
    EXPECT_EQ(Visible(local.FileBytes(kFile)), Visible("A/1/1:0/0/1/a\nUSER01/1/5:0/0/2/mine\n"));
}

TEST_F(Remembered, StaleLockFileDoesNotBlock)
{
    fs.AddFile(std::string(kFile) + ".lock", "");
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "C:\\n.xml"), 1);
    EXPECT_FALSE(fs.HasFile(std::string(kFile) + ".lock"));
}

TEST_F(Remembered, WriterWaitsForAnotherWriterAndKeepsItsRecord)
{
    fs.AddFile(kFile, "A/1/1:0/0/1/a\n");
    // The other exporter holds the lock; while this one pauses, it stores its own
    // record and lets go.
    auto otherLock = fs.CreateExclusive(std::string(kFile) + ".lock");
    ASSERT_TRUE(otherLock);
    int pauses = 0;
    RememberedDestinationLockWait().onPause = [&](int) {
        if (++pauses == 2) {
            fs.AddFile(kFile, "A/1/1:0/0/1/a\nUSER02/1/5:0/0/3/other\n");
            otherLock->Close();
        }
    };
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "mine"), 1);
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(Visible(fs.FileBytes(kFile)), Visible("A/1/1:0/0/1/a\nUSER02/1/5:0/0/3/other\nUSER01/1/5:0/0/2/mine\n"));
}

TEST_F(Remembered, WriterGivesUpWhileTheLockStaysHeld)
{
    fs.AddFile(kFile, "A/1/1:0/0/1/a\n");
    auto otherLock = fs.CreateExclusive(std::string(kFile) + ".lock");
    ASSERT_TRUE(otherLock);
    fs.ResetCalls();
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "mine"), 0);
    EXPECT_EQ(fs.CallCount("CreateExclusive"), 3);
    EXPECT_EQ(fs.FileBytes(kFile), "A/1/1:0/0/1/a\n");
    EXPECT_EQ(fs.CallCount("CreateNew"), 0);
    otherLock->Close();
}

TEST_F(Remembered, ReadOnlyFolderFailsWithoutWaiting)
{
    fs.AddDirectory(kSettings);
    fs.SetAccess(kSettings, 4);
    fs.ResetCalls();
    EXPECT_EQ(dlg->WriteRememberedDestination(0, 0, 2, "mine"), 0);
    EXPECT_EQ(fs.CallCount("CreateExclusive"), 1);
}
