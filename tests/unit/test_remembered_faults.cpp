// Remembered destinations under faults: every file operation of the read and of the
// rewrite fails in turn (once, and from that point on as a full disk would), and each
// time the file holds the old bytes or the new ones, never a mix, never without the
// other users' records; a rewrite that reports success has written the new file, one
// that reports failure has left the old one. Then several exporters rewrite one real
// file at the same moment, and every record survives.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "app/edition.h"
#include "dialog/condition_dlg.h"
#include "dialog/remembered_destination.h"
#include "hostsim/hostsim.h"
#include "platform/services.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/scoped_services.h"
#ifndef _WIN32
#include "platform/posix/posix_services.h"
#endif

namespace {

const char kFile[] = "C:\\Users\\Public\\Ledgra\\LedgraProExport.env";

struct Content {
    const char* name;
    bool exists;
    std::string bytes;
};

// Files the rewrite meets: none, one without the record, one with it among others,
// one whose last line has no line feed, one with the record twice.
const std::vector<Content> kContents = {
    {"no_file", false, ""},
    {"empty_file", true, ""},
    {"other_records", true, "USER02/1/5:0/0/3/C:\\Other\\a.xml\nXUSER01/1/5:0/0/2/D:\\x.xml\n"},
    {"record_in_the_middle", true,
     "USER02/1/5:0/0/3/C:\\Other\\a.xml\nUSER01/1/5:0/0/1/C:\\old.xml\nUSER01/1/6:0/0/2/C:\\\x95\x5C\\b.xml\n"},
    {"no_final_line_feed", true, "USER02/1/5:0/0/3/C:\\Other\\a.xml\nUSER01/1/5:0/0/1/C:\\old.xml"},
    {"record_twice", true, "USER01/1/5:0/0/1/C:\\a.xml\nUSER03/2/2:0/0/1/\nUSER01/1/5:0/0/2/C:\\b.xml\n"},
};

std::string Visible(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        char hex[8];
        if (c == '\n') out += "\\n";
        else if (c >= 0x20 && c < 0x7F && c != '\\') out += static_cast<char>(c);
        else {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// What a good rewrite of USER01/1/5 with category 2 and C:\new.xml leaves.
std::string Rewritten(const std::string& old)
{
    std::string out;
    for (std::size_t start = 0; start < old.size();) {
        std::size_t lf = old.find('\n', start);
        std::size_t next = lf == std::string::npos ? old.size() : lf + 1;
        if (old.compare(start, 11, "USER01/1/5:") != 0) out.append(old, start, next - start);
        start = next;
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out + "USER01/1/5:0/0/2/C:\\new.xml\n";
}

class RememberedFaults : public ::testing::TestWithParam<Content> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(hostsim::LoadStoreFromText(
            "{\"folders\": {\"output\": \"C:\\\\Out\\\\\", \"settings\": \"C:\\\\Users\\\\Public\\\\Ledgra\\\\\"}}"))
            << hostsim::StoreError();
        RememberedDestinationLockWait() = RememberedLockWait{2, 0, nullptr};
        dialog = std::make_unique<ClConditionDlg>(nullptr, ProEdition().envFileName);
        std::strcpy(dialog->m_szUserId, "USER01");
        dialog->m_lSelectedNo1 = 1;
        dialog->m_lSelectedNo2 = 5;
        std::memset(dialog->m_szRememberedPath, 0, sizeof dialog->m_szRememberedPath);
    }
    void TearDown() override
    {
        RememberedDestinationLockWait() = RememberedLockWait{};
        hostsim::ResetForTests();
    }

    // A fresh file system holding the case's file, installed as the service.
    std::unique_ptr<fakes::FakeFileSystem> Prepare()
    {
        auto fs = std::make_unique<fakes::FakeFileSystem>();
        fs->AddDirectory("C:\\Users\\Public\\Ledgra\\");
        if (GetParam().exists) fs->AddFile(kFile, GetParam().bytes);
        installed.emplace(fs.get());
        return fs;
    }

    std::unique_ptr<ClConditionDlg> dialog;
    std::optional<fakes::ScopedServices> installed;
};

TEST_P(RememberedFaults, EveryOperationOfTheRewriteFailingInTurn)
{
    const std::string old = GetParam().bytes;
    const std::string wanted = Rewritten(old);
    std::vector<std::string> clean;
    {
        auto fs = Prepare();
        ASSERT_EQ(1, dialog->WriteRememberedDestination(0, 0, 2, "C:\\new.xml"));
        ASSERT_EQ(Visible(wanted), Visible(fs->FileBytes(kFile)));
        clean = fs->calls();
    }
    const int operations = static_cast<int>(clean.size());
    ASSERT_GT(operations, 3);

    int points = 0;
    for (int mode = 0; mode < 2; ++mode) {
        for (int n = 1; n <= operations; ++n) {
            // The n-th operation of a clean rewrite: its name and which of its kind it is.
            const std::string& call = clean[static_cast<std::size_t>(n - 1)];
            const std::string name = call.substr(0, call.find(' '));
            int ordinal = 0;
            for (int k = 0; k < n; ++k)
                if (clean[static_cast<std::size_t>(k)].compare(0, name.size() + 1, name + " ") == 0 ||
                    clean[static_cast<std::size_t>(k)] == name)
                    ++ordinal;
            auto fs = Prepare();
            if (mode == 0)
                fs->FailNthOperation(n);              // that one operation fails
            else
                fs->FailCallsFrom(name, ordinal);     // it and every later one of its kind fail
            const int result = dialog->WriteRememberedDestination(0, 0, 2, "C:\\new.xml");
            fs->ClearFailures();
            fs->FailNthOperation(0);
            const std::string what = std::string(mode == 0 ? "only " : "from ") + call + " (operation " +
                                     std::to_string(n) + " of " + std::to_string(operations) + ") failing";
            const bool exists = fs->HasFile(kFile);
            const std::string now = fs->FileBytes(kFile);
            if (result == 1) {
                EXPECT_TRUE(exists) << what;
                EXPECT_EQ(Visible(wanted), Visible(now)) << what;
            } else {
                EXPECT_EQ(GetParam().exists, exists) << what;
                EXPECT_EQ(Visible(old), Visible(now)) << what << " (reported failed, so the old file must stay)";
            }
            EXPECT_EQ(0, fs->OpenFileCount()) << what;
            ++points;
        }
    }
    std::printf("[ remembered sweep ] %s: %d fault points (%d operations in a clean rewrite)\n", GetParam().name,
                points, operations);
}

TEST_P(RememberedFaults, EveryOperationOfTheReadFailingInTurn)
{
    int operations = 0;
    int cleanResult = 0;
    int16_t cleanCategory = 0;
    std::string cleanPath;
    {
        auto fs = Prepare();
        char path[261];
        cleanResult = dialog->ReadRememberedDestination(&cleanCategory, path);
        if (cleanResult) cleanPath = path;
        operations = fs->TotalCalls();
    }
    for (int n = 1; n <= operations + 1; ++n) {
        auto fs = Prepare();
        fs->FailNthOperation(n);
        int16_t category = -7;
        char path[261];
        std::memset(path, 0x55, sizeof path);
        const int result = dialog->ReadRememberedDestination(&category, path);
        const std::string what = "read operation " + std::to_string(n) + " of " + std::to_string(operations);
        if (result) {
            // A record found despite a failure is the true one.
            EXPECT_EQ(cleanResult, result) << what;
            EXPECT_EQ(cleanCategory, category) << what;
            EXPECT_EQ(cleanPath, std::string(path)) << what;
        } else {
            EXPECT_EQ(-7, category) << what;
            EXPECT_EQ(0x55, static_cast<unsigned char>(path[0])) << what;
            if (n > operations) {
                EXPECT_EQ(cleanResult, 0) << "a read that met no failure must find what the clean read found";
            }
        }
        EXPECT_EQ(GetParam().bytes, fs->FileBytes(kFile)) << what << ": a read changed the file";
        EXPECT_EQ(0, fs->OpenFileCount()) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, RememberedFaults, ::testing::ValuesIn(kContents),
                         [](const ::testing::TestParamInfo<Content>& info) { return std::string(info.param.name); });

}  // namespace

#ifndef _WIN32
// Several exporters (processes, as on a shared machine) rewrite one real file at the
// same moment, each its own record many times, beside records of other users: at the
// end every other record is there once, byte for byte, and every exporter's record is
// there once with the last value it stored.
TEST(RememberedConcurrency, ExportersRewritingAtTheSameMomentLoseNoRecord)
{
    char folderTemplate[] = "/tmp/ledgra-remembered-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folderTemplate));
    const std::string folder = std::string(folderTemplate) + "/";
    const std::string file = folder + "LedgraProExport.env";
    std::string others;
    for (int i = 0; i < 20; ++i) others += "OTHER" + std::to_string(i) + "/1/" + std::to_string(i) + ":0/0/1/C:\\o\\" + std::to_string(i) + ".xml\n";
    {
        FILE* out = std::fopen(file.c_str(), "wb");
        ASSERT_NE(nullptr, out);
        std::fwrite(others.data(), 1, others.size(), out);
        std::fclose(out);
    }
    ASSERT_TRUE(hostsim::LoadStoreFromText("{\"folders\": {\"settings\": \"" + folder + "\"}}")) << hostsim::StoreError();

    const int kExporters = 4;
    const int kRewrites = 40;
    int barrier[2];
    ASSERT_EQ(0, pipe(barrier));
    std::vector<pid_t> children;
    for (int e = 0; e < kExporters; ++e) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(barrier[1]);
            char go;
            (void)!read(barrier[0], &go, 1);   // all start together when the parent closes the pipe
            fakes::ScopedServices installed(&platform::PosixFileSystem());
            RememberedDestinationLockWait() = RememberedLockWait{100000, 0, nullptr};
            ClConditionDlg dialog(nullptr, ProEdition().envFileName);
            std::snprintf(dialog.m_szUserId, sizeof dialog.m_szUserId, "EXPORTER%d", e);
            dialog.m_lSelectedNo1 = 1;
            dialog.m_lSelectedNo2 = 5;
            int last = 0;
            for (int i = 1; i <= kRewrites; ++i) {
                const std::string path = "C:\\e" + std::to_string(e) + "\\" + std::to_string(i) + ".xml";
                if (dialog.WriteRememberedDestination(0, 0, 1, path.c_str()) == 1) last = i;
            }
            _exit(last);
        }
        children.push_back(pid);
    }
    close(barrier[0]);
    close(barrier[1]);
    std::vector<int> last;
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(pid, waitpid(pid, &status, 0));
        ASSERT_TRUE(WIFEXITED(status));
        last.push_back(WEXITSTATUS(status));
    }

    std::string now;
    {
        FILE* in = std::fopen(file.c_str(), "rb");
        ASSERT_NE(nullptr, in);
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) now.append(buffer, n);
        std::fclose(in);
    }
    EXPECT_EQ(0, now.compare(0, others.size(), others)) << "other users' records changed:\n" << now;
    std::string expected = others;
    for (int e = 0; e < kExporters; ++e) {
        // A writer that gives up stores nothing (and says so); what it stored before stays.
        EXPECT_GT(last[static_cast<std::size_t>(e)], 0) << "exporter " << e << " never stored its record";
        if (last[static_cast<std::size_t>(e)] != kRewrites)
            std::printf("[ concurrency ] exporter %d gave up after its rewrite %d\n", e, last[static_cast<std::size_t>(e)]);
        const std::string record = "EXPORTER" + std::to_string(e) + "/1/5:0/0/1/C:\\e" + std::to_string(e) + "\\" +
                                   std::to_string(last[static_cast<std::size_t>(e)]) + ".xml\n";
        EXPECT_NE(std::string::npos, now.find(record)) << "exporter " << e << "'s last record is lost:\n" << now;
    }
    EXPECT_EQ(others.size(), now.find("EXPORTER")) << "exporters' records must follow the others";
    std::size_t lines = 0;
    for (char c : now) lines += c == '\n';
    EXPECT_EQ(static_cast<std::size_t>(20 + kExporters), lines) << now;

    std::remove(file.c_str());
    std::remove((file + ".lock").c_str());
    rmdir(folderTemplate);
    hostsim::ResetForTests();
}
// The posix file system behaves as the lock needs, like an open without sharing on
// Windows: a second exclusive open fails without truncating the held file, and a held
// file is not deleted.
TEST(RememberedConcurrency, HeldFileIsNeitherTruncatedNorDeleted)
{
    platform::IFileSystem& fs = platform::PosixFileSystem();
    char path[] = "/tmp/ledgra-held-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    auto holder = fs.CreateExclusive(path);
    ASSERT_TRUE(holder);
    ASSERT_TRUE(holder->Write("kept", 4));
    EXPECT_FALSE(fs.CreateExclusive(path)) << "a second writer got the held file";
    std::string data;
    ASSERT_TRUE(fs.ReadFile(path, 100, data));
    EXPECT_EQ("kept", data) << "the refused open truncated the file";
    EXPECT_FALSE(fs.DeleteFile(path)) << "a held file was deleted";
    EXPECT_TRUE(fs.FileExists(path));
    EXPECT_TRUE(holder->Close());
    EXPECT_TRUE(fs.DeleteFile(path));
    EXPECT_FALSE(fs.FileExists(path));
}
#endif
