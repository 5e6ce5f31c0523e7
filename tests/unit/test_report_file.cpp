// The report file gathers lines and writes them a buffer at a time into a side file and
// puts that in the destination's place at Close: the bytes are the same as line by line,
// and every failed step fails the report and leaves the destination as it was, with no
// side file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "hostsim/hostsim.h"
#include "report/report_file.h"
#include "report/xml_writer.h"
#include "tests/fakes/export_run.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/scoped_services.h"

#ifdef _WIN32
#include "platform/win32/win32_services.h"
#else
#include "platform/posix/posix_services.h"
#endif

namespace {

void InstallNativeServices()
{
#ifdef _WIN32
    platform::win32::InstallServices();
#else
    platform::InstallPosixServices();
#endif
}

const char kOut[] = "C:\\out.xml";
const char kSide[] = "C:\\out.xml.1.unfinished";

// The files the fake holds in C:\ (the destination and side files).
std::vector<std::string> RootFiles(const fakes::FakeFileSystem& fs)
{
    std::vector<std::string> files;
    for (const std::string& f : fs.Files())
        if (f.find('\\', 3) == std::string::npos) files.push_back(f);
    return files;
}

// The lines of a small report: start tag, numbered elements, end tag.
std::vector<std::string> Lines(int count)
{
    std::vector<std::string> lines = {"<REPORT>\r\n"};
    for (int i = 1; i <= count; ++i) lines.push_back("\t<N>" + std::to_string(i * 7919) + "</N>\r\n");
    lines.push_back("</REPORT>\r\n");
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& l : lines) all += l;
    return all;
}

class ReportFileTest : public ::testing::Test {
protected:
    fakes::FakeFileSystem fs;
    fakes::ScopedServices installed{&fs};
};

TEST_F(ReportFileTest, BytesAreTheSameWhateverTheBufferSize)
{
    const std::vector<std::string> lines = Lines(300);
    const std::string whole = Joined(lines);
    // Gathered lines are written when the next one no longer fits, the rest at Close.
    auto gatheredWrites = [&](std::size_t buffer) {
        int writes = 0;
        std::size_t used = 0;
        for (const std::string& l : lines) {
            if (used + l.size() > buffer) {
                ++writes;
                used = 0;
            }
            used += l.size();
        }
        return writes + 1;
    };
    struct Row {
        std::size_t buffer;
        int writes;   // write calls the file sees
    };
    // 0: a write per line; 1 and 8: every line is at least as large as the buffer.
    const Row rows[] = {{0, 302}, {1, 302}, {8, 302}, {100, gatheredWrites(100)}, {4096, gatheredWrites(4096)},
                        {1u << 20, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE("buffer " + std::to_string(row.buffer));
        fakes::FakeFileSystem local;
        fakes::ScopedServices installedLocal(&local);
        local.SetWriteBufferSize(row.buffer);
        ClReportFile file;
        ASSERT_TRUE(file.Open(kOut));
        for (const std::string& l : lines) ASSERT_TRUE(file.Write(l.data(), l.size()));
        if (row.buffer > whole.size()) {
            EXPECT_EQ("", local.FileBytes(kOut)) << "nothing written before Close";
        }
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(whole, local.FileBytes(kOut));
        EXPECT_EQ(row.writes, local.CallCount("Write"));
        EXPECT_EQ(1, local.CallCount("Flush"));
        EXPECT_EQ(0, local.OpenFileCount());
    }
}

TEST_F(ReportFileTest, GatheredWritesHoldWholeLinesOnly)
{
    fs.SetWriteBufferSize(100);
    const std::vector<std::string> lines = Lines(50);
    ClReportFile file;
    ASSERT_TRUE(file.Open(kOut));
    std::size_t written = 0;
    for (const std::string& l : lines) {
        ASSERT_TRUE(file.Write(l.data(), l.size()));
        // Whatever reached the side file ends at a line end; the destination waits.
        EXPECT_FALSE(fs.HasFile(kOut));
        const std::string bytes = fs.FileBytes(kSide);
        if (!bytes.empty()) {
            EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
        }
        EXPECT_LE(bytes.size() - written, 100u);
        written = bytes.size();
    }
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Joined(lines), fs.FileBytes(kOut));
}

TEST_F(ReportFileTest, LargePieceFollowsTheGatheredBytesInOrder)
{
    fs.SetWriteBufferSize(16);
    const std::string small = "<A>\r\n";
    const std::string large(40, 'x');
    ClReportFile file;
    ASSERT_TRUE(file.Open(kOut));
    ASSERT_TRUE(file.Write(small.data(), small.size()));
    ASSERT_TRUE(file.Write(large.data(), large.size()));
    ASSERT_TRUE(file.Write(small.data(), small.size()));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(small + large + small, fs.FileBytes(kOut));
    EXPECT_EQ(3, fs.CallCount("Write")) << "gathered, large, gathered at Close";
}

// Every write call the file sees fails in turn, for several buffer sizes: the failing
// line (the one whose append needed that write) and every later one fail, Close
// fails, and the file holds exactly the bytes written before, ending on a line.
TEST_F(ReportFileTest, EveryFailingWriteFailsFromThereOn)
{
    const std::vector<std::string> lines = Lines(120);
    const std::string whole = Joined(lines);
    for (std::size_t buffer : {0u, 64u, 500u, 4096u}) {
        int writes = 0;
        {
            fakes::FakeFileSystem clean;
            clean.SetWriteBufferSize(buffer);
            fakes::ScopedServices installedClean(&clean);
            ClReportFile file;
            ASSERT_TRUE(file.Open(kOut));
            for (const std::string& l : lines) file.Write(l.data(), l.size());
            ASSERT_TRUE(file.Commit());
            writes = clean.CallCount("Write");
        }
        ASSERT_GE(writes, 1);
        for (int n = 1; n <= writes; ++n) {
            SCOPED_TRACE("buffer " + std::to_string(buffer) + ", write " + std::to_string(n) + " of " +
                         std::to_string(writes));
            fakes::FakeFileSystem failing;
            failing.SetWriteBufferSize(buffer);
            failing.FailWriteAt(n);
            fakes::ScopedServices installedFailing(&failing);
            ClReportFile file;
            ASSERT_TRUE(file.Open(kOut));
            std::size_t firstFailed = lines.size();
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const bool ok = file.Write(lines[i].data(), lines[i].size());
                if (!ok && firstFailed == lines.size()) firstFailed = i;
                if (i > firstFailed) {
                    EXPECT_FALSE(ok) << "line " << i << " after the failure";
                }
            }
            EXPECT_FALSE(file.Commit());
            EXPECT_TRUE(file.HasFailed());
            EXPECT_EQ(0, failing.OpenFileCount());
            EXPECT_EQ(std::vector<std::string>{}, RootFiles(failing)) << "no report and no side file";
            EXPECT_EQ(n, failing.CallCount("Write")) << "nothing is written after the failure";
            EXPECT_EQ(0, failing.CallCount("ReplaceFile"));
            if (n < writes) {
                EXPECT_LT(firstFailed, lines.size()) << "a line's Write reports the failure";
            }
        }
    }
}

// The new report takes the place of the previous one only at Close; until then the
// previous one is held, so no other program opens it, and stays whole.
TEST_F(ReportFileTest, PreviousReportStaysUntilTheReplacement)
{
    fs.AddFile(kOut, "previous");
    ClReportFile file;
    ASSERT_TRUE(file.Open(kOut));
    ASSERT_TRUE(file.Write("new\r\n", 5));
    EXPECT_EQ("previous", fs.FileBytes(kOut));
    EXPECT_FALSE(fs.CreateExclusive(kOut)) << "held shared with nobody";
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ("new\r\n", fs.FileBytes(kOut));
    EXPECT_EQ((std::vector<std::string>{kOut}), RootFiles(fs));
    EXPECT_EQ(0, fs.OpenFileCount());
}

// A destination another program has open fails at Open and is not touched; so is a
// folder of that name.
TEST_F(ReportFileTest, DestinationHeldElsewhereOrAFolderFailsAtOpen)
{
    fs.AddFile(kOut, "theirs");
    auto theirs = fs.HoldExclusive(kOut);
    ASSERT_TRUE(theirs);
    ClReportFile file;
    EXPECT_FALSE(file.Open(kOut));
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ("theirs", fs.FileBytes(kOut));
    EXPECT_EQ(0, fs.CallCount("CreateNew"));
    theirs.reset();

    ASSERT_TRUE(fs.AddDirectory("C:\\folder.xml"));
    EXPECT_FALSE(file.Open("C:\\folder.xml"));
    EXPECT_TRUE(fs.HasDirectory("C:\\folder.xml"));
    EXPECT_EQ(0, fs.CallCount("CreateNew"));
}

// Side files that killed runs left for this destination are removed once a report is in
// place, its name compared as the file system compares names; until then one with bytes
// may be the one copy of an earlier report and is neither reused nor emptied. Other
// destinations' side files, files of other programs that only look alike, side files
// elsewhere and those that running exports still have open stay. Numbers in use are
// passed over.
TEST_F(ReportFileTest, LeftSideFilesOfTheDestinationAreRemoved)
{
    fs.AddFile("C:\\out.xml.1.unfinished", "cut");
    fs.AddFile("C:\\OUT.XML.10.UNFINISHED", "cut");
    fs.AddFile("C:\\other.xml.12.UNFINISHED", "another destination's");
    fs.AddFile("C:\\video.mp4.3.unfinished", "another program's");
    fs.AddFile("C:\\out.xml.unfinished", "no number");
    fs.AddFile("C:\\out.xml.1a.unfinished", "not a number");
    fs.AddFile("C:\\xout.xml.1.unfinished", "a longer name");
    fs.AddFile("C:\\notes.unfinished", "someone's");
    fs.AddFile("C:\\.1.unfinished", "someone's");
    fs.AddFile("C:\\sub\\out.xml.1.unfinished", "another folder");
    fs.AddFile("C:\\out.xml.2.unfinished", "being written");
    auto running = fs.HoldExclusive("C:\\out.xml.2.unfinished");
    ClReportFile file;
    ASSERT_TRUE(file.Open(kOut));
    EXPECT_EQ("cut", fs.FileBytes(kSide)) << "may be a kept copy: waits until a report is in place";
    EXPECT_TRUE(fs.HasFile("C:\\out.xml.3.unfinished")) << "1 has bytes, 2 is in use";

    // Another export of the same destination meanwhile passes over all three; its
    // report in place, it removes the leftovers but none that an export has open.
    ClReportFile second;
    ASSERT_TRUE(second.Open(kOut));
    ASSERT_TRUE(fs.HasFile("C:\\out.xml.4.unfinished"));
    ASSERT_TRUE(second.Write("second", 6));
    ASSERT_TRUE(second.Commit());
    EXPECT_FALSE(fs.HasFile(kSide));
    EXPECT_FALSE(fs.HasFile("C:\\OUT.XML.10.UNFINISHED"));
    EXPECT_EQ("being written", fs.FileBytes("C:\\out.xml.2.unfinished"));
    EXPECT_TRUE(fs.HasFile("C:\\out.xml.3.unfinished"));
    ASSERT_TRUE(file.Write("first", 5));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ("first", fs.FileBytes(kOut)) << "each whole, the last one stays";
    for (const char* kept : {"C:\\other.xml.12.UNFINISHED", "C:\\video.mp4.3.unfinished", "C:\\out.xml.unfinished",
                             "C:\\out.xml.1a.unfinished", "C:\\xout.xml.1.unfinished", "C:\\notes.unfinished",
                             "C:\\.1.unfinished", "C:\\sub\\out.xml.1.unfinished", "C:\\out.xml.2.unfinished"})
        EXPECT_TRUE(fs.HasFile(kept)) << kept;
    EXPECT_EQ(0, fs.OpenFileCount() - 1) << "only the running export's file is open";
}

// The matching at its edges: a one-character name, side numbers holding a 0, and names
// of two-byte characters: the same name, and names of the same length that differ in
// one character, in its lead byte, its trail byte, or a trail byte that is an ASCII
// letter in another case (ア 83 41 against ァ 83 40 and ヂ 83 61).
TEST_F(ReportFileTest, LeftoverMatchingAtItsEdges)
{
    struct Row {
        const char* destination;
        const char* leftover;
        bool removed;
    };
    const Row rows[] = {{"C:\\a", "C:\\a.10.unfinished", true},
                        {"C:\\a", "C:\\A.0.unfinished", true},
                        {"C:\\a", "C:\\a.1.unfinished", true},
                        {"C:\\a", "C:\\b.10.unfinished", false},
                        {"C:\\a", "C:\\aa.1.unfinished", false},
                        {"C:\\a", "C:\\.1.unfinished", false},
                        {"C:\\a", "C:\\a..unfinished", false},
                        {"C:\\\x95\x5C.xml", "C:\\\x95\x5C.xml.2.unfinished", true},
                        {"C:\\\x95\x5C.xml", "C:\\\x95\x5C.XML.2.unfinished", true},
                        {"C:\\\x95\x5C.xml", "C:\\\x83\x5C.xml.2.unfinished", false},
                        {"C:\\\x95\x5C.xml", "C:\\\x95\x5B.xml.2.unfinished", false},
                        {"C:\\x\x83\x41.xml", "C:\\x\x83\x61.xml.1.unfinished", false},
                        {"C:\\x\x83\x41.xml", "C:\\X\x83\x41.xml.1.unfinished", true},
                        {"C:\\x\x83\x41.xml", "C:\\x\x83\x40.xml.1.unfinished", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.destination) + " / " + row.leftover);
        fakes::FakeFileSystem local;
        fakes::ScopedServices installedLocal(&local);
        local.AddFile(row.leftover, "left");
        ClReportFile file;
        ASSERT_TRUE(file.Open(row.destination));
        EXPECT_EQ("left", local.FileBytes(row.leftover)) << "nothing is removed before the report is in place";
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(row.removed, !local.HasFile(row.leftover));
    }
}

TEST_F(ReportFileTest, FileThatCannotBeCreatedFailsEveryWrite)
{
    fs.SetWriteBufferSize(4096);
    fs.FailCall("CreateNew", 1);
    ClReportFile file;
    EXPECT_FALSE(file.Open(kOut));
    EXPECT_FALSE(file.Write("<A>\r\n", 5));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(0, fs.CallCount("Write"));
}

// Through the writer: a failed gathered write fails the line whose append needed it,
// and the writer closes the file as after any failed write.
TEST_F(ReportFileTest, WriterLineFailsWhenItsGatheredWriteFails)
{
    fs.SetWriteBufferSize(64);
    fs.FailWriteAt(1);
    ClReportFile file;
    ClXmlWriter writer;
    writer.Open(&file, kOut);
    ASSERT_FALSE(writer.Failed());
    int firstFailure = 0;
    for (int i = 1; i <= 20 && !firstFailure; ++i) {
        writer.WriteElement("NAME", "value", 2);
        if (writer.Failed()) firstFailure = i;
    }
    // "\t\t<NAME>value</NAME>\r\n" is 22 bytes: the 3rd line no longer fits in 64.
    EXPECT_EQ(3, firstFailure);
    EXPECT_FALSE(file.IsOpen()) << "closed after the failure";
    writer.WriteEndTag("REPORT", 0);
    EXPECT_TRUE(writer.Failed());
    EXPECT_EQ("", fs.FileBytes(kOut));
}

// A whole export whose report is written in gathered pieces of 512 bytes: every one of
// those writes failing fails the run and leaves no report, as line by line.
TEST(ReportFileExport, GatheredReportWritesFailingInTurnFailTheRun)
{
    auto run = [](int failAt) {
        fakes::ExportRunSetup setup;
        setup.store = fakes::SampleStore(3);
        setup.category = 1;
        setup.logHostCalls = false;
        setup.prepare = [failAt](fakes::FakeFileSystem& fs) {
            fs.SetWriteBufferSize(512);
            if (failAt) fs.FailWriteAt(failAt);
        };
        return fakes::RunExport(setup);
    };
    const fakes::ExportRunResult clean = run(0);
    ASSERT_EQ(0, clean.resultCode);
    ASSERT_TRUE(clean.reportExists);
    const int reportWrites = static_cast<int>((clean.report.size() + 511) / 512);
    int lines = 0;
    for (char c : clean.report) lines += c == '\n';
    ASSERT_GT(lines, 10 * reportWrites) << "the report was gathered, not written line by line";
    for (int n = 1; n <= reportWrites; ++n) {
        const fakes::ExportRunResult failed = run(n);
        EXPECT_EQ(2, failed.resultCode) << "write " << n;
        EXPECT_FALSE(failed.reportExists) << "write " << n;
        EXPECT_EQ(0, failed.openFiles) << "write " << n;
    }
    hostsim::ResetForTests();
}

// A real file gathers 1 MiB at a time and writes the same bytes, over several pieces.
TEST(ReportFileNative, RealFileIsGatheredAndComplete)
{
    fakes::ScopedServices restored;   // puts back what was in force before the install
    InstallNativeServices();
    platform::IFileSystem* fs = platform::GetServices().fs;
    const std::string path = fs->GetTempPath() + "ledgra-report-file-test.xml";
    {
        std::unique_ptr<platform::IWriteFile> probe = fs->CreateExclusive(path);
        ASSERT_TRUE(probe);
        EXPECT_EQ(1024u * 1024u, probe->WriteBufferSize());
        probe->Close();
    }
    const std::vector<std::string> lines = Lines(80000);
    ClReportFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    for (const std::string& l : lines) ASSERT_TRUE(file.Write(l.data(), l.size()));
    ASSERT_TRUE(file.Commit());
    std::string bytes;
    ASSERT_TRUE(fs->ReadFile(path, 1u << 24, bytes));
    EXPECT_EQ(Joined(lines), bytes);
    EXPECT_TRUE(fs->DeleteFile(path));
}

// ---- exports of one destination at the same time, on the real file system ----

// A whole report that says whose it is, large enough to take several writes.
std::string ReportOf(const std::string& id)
{
    std::string report = "<REPORT ID=\"" + id + "\">\r\n";
    for (int i = 0; i < 3000; ++i) report += "\t<N>" + id + "." + std::to_string(i) + "</N>\r\n";
    return report + "</REPORT>\r\n";
}

// The export's outcome as the user would read it: "written" or its failure's cause.
std::string ExportOnce(const std::string& path, const std::string& id)
{
    ClReportFile file;
    const std::string report = ReportOf(id);
    file.Open(path.c_str());
    file.Write(report.data(), report.size());
    if (file.Commit()) return "written";
    const std::string& text = file.FailureText();
    return text.substr(std::min(text.size(), path.size() + 2));
}

// Whose whole report the bytes are; empty when they are nobody's whole report.
std::string WholeReportId(const std::string& bytes)
{
    const std::size_t start = bytes.find('"');
    const std::size_t end = start == std::string::npos ? start : bytes.find('"', start + 1);
    if (end == std::string::npos) return std::string();
    const std::string id = bytes.substr(start + 1, end - start - 1);
    return bytes == ReportOf(id) ? id : std::string();
}

class ReportFileRaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallNativeServices();
        fs = platform::GetServices().fs;
        static int s_folders = 0;
        folder = fs->GetTempPath() + "ledgra-races-" + std::to_string(std::rand()) + "-" + std::to_string(++s_folders);
        ASSERT_TRUE(fs->CreateDirectory(folder));
        folder += folder.find('\\') != std::string::npos ? "\\" : "/";
        out = folder + "out.xml";
    }
    void TearDown() override
    {
        for (const std::string& name : fs->ListFiles(folder, "")) fs->DeleteFile(folder + name);
        fs->RemoveDirectory(folder);
        ClReportFile::s_beforeReplace = nullptr;
    }
    std::string Read(const std::string& path)
    {
        std::string bytes;
        fs->ReadFile(path, 1u << 24, bytes);
        return bytes;
    }
    std::vector<std::string> SideFiles() { return fs->ListFiles(folder, ClReportFile::kSideSuffix); }
    void Put(const std::string& bytes)
    {
        auto file = fs->CreateExclusive(out);
        ASSERT_TRUE(file && file->Write(bytes.data(), bytes.size()) && file->Close());
    }

    fakes::ScopedServices restored;
    platform::IFileSystem* fs = nullptr;
    std::string folder;
    std::string out;
};

// A held between its finished side file and the replacement while X runs a whole
// export: X never takes or removes A's side file; each says truthfully what happened,
// and the destination ends as one whole report. Over an existing destination A still
// holds it, so X fails saying so.
std::function<void()> g_duringPause;
void RunDuringPause()
{
    ClReportFile::s_beforeReplace = nullptr;   // X's own replacement does not pause
    if (g_duringPause) g_duringPause();
}

TEST_F(ReportFileRaces, AnotherExportWhileOneIsAboutToReplace)
{
    struct Row {
        const char* what;
        bool existing;
        const char* x;        // X's outcome
        const char* a;        // A's outcome
        const char* stays;    // whose report is at the destination
    };
    const Row rows[] = {
        {"fresh destination", false, "written", "written", "A"},
        {"existing destination", true, "cannot be written: another program (or another export) has it open", "written",
         "A"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.existing) Put(ReportOf("earlier"));
        std::string x;
        g_duringPause = [&] { x = ExportOnce(out, "X"); };
        ClReportFile::s_beforeReplace = RunDuringPause;
        const std::string a = ExportOnce(out, "A");
        EXPECT_EQ(row.x, x);
        EXPECT_EQ(row.a, a);
        EXPECT_EQ(row.stays, WholeReportId(Read(out)));
        EXPECT_EQ(std::vector<std::string>{}, SideFiles());
        fs->DeleteFile(out);
    }
}

#ifndef _WIN32
// A folder that allows creating and writing files but neither deleting nor renaming
// them (chattr +a, which only root may set, on a file system that knows it).
TEST_F(ReportFileRaces, FolderWithoutDeleteRights)
{
    const std::string dir = folder.substr(0, folder.size() - 1);
    Put(ReportOf("earlier"));
    if (std::system(("chattr +a '" + dir + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "chattr +a is not allowed here (needs root and ext2/3/4, xfs or btrfs)";
    // The destination exists: X finds it held; A writes in place and keeps one empty side file.
    std::string x;
    g_duringPause = [&] { x = ExportOnce(out, "X"); };
    ClReportFile::s_beforeReplace = RunDuringPause;
    EXPECT_EQ("written", ExportOnce(out, "A"));
    EXPECT_EQ("cannot be written: another program (or another export) has it open", x);
    EXPECT_EQ("A", WholeReportId(Read(out)));
    EXPECT_EQ(std::vector<std::string>{"out.xml.1.unfinished"}, SideFiles());
    EXPECT_EQ("", Read(out + ".1.unfinished"));
    // The next export reuses it; a leftover that is a link is never written through.
    ASSERT_EQ(0, symlink((folder + "victim.txt").c_str(), (out + ".2.unfinished").c_str()));
    Put("");
    EXPECT_EQ("written", ExportOnce(out, "B"));
    EXPECT_EQ("B", WholeReportId(Read(out)));
    EXPECT_EQ("", Read(out + ".1.unfinished"));
    EXPECT_FALSE(fs->FileExists(folder + "victim.txt"));
    ASSERT_EQ(0, std::system(("chattr -a '" + dir + "'").c_str()));
    unlink((out + ".2.unfinished").c_str());
}

// Many exports of one destination at once, processes as on a share, over several rounds
// of a fresh and of an existing destination: each one that says it wrote finds a whole
// report at the destination right then; each failure says why; after each round the
// destination is one whole report and no side file is left.
TEST_F(ReportFileRaces, ManyExportsAtOnce)
{
    const int kRounds = 8;
    const int kExports = 16;
    int exports = 0;
    int written = 0;
    int wholeAfterRounds = 0;
    std::map<std::string, int> failures;
    for (int round = 1; round <= kRounds; ++round) {
        const bool existing = round % 2 == 0;
        if (existing) Put(ReportOf("earlier"));
        else fs->DeleteFile(out);
        int go[2], results[2];
        ASSERT_EQ(0, pipe(go));
        ASSERT_EQ(0, pipe(results));
        std::vector<pid_t> children;
        for (int e = 0; e < kExports; ++e) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                close(go[1]);
                char byte;
                (void)!read(go[0], &byte, 1);   // all start when the parent closes the pipe
                std::string outcome = ExportOnce(out, std::to_string(round) + "-" + std::to_string(e));
                // Said to have written: a whole report (its own or a later one) is there now.
                if (outcome == "written" && WholeReportId(Read(out)).empty()) outcome = "written, but not whole";
                outcome += "\n";
                (void)!write(results[1], outcome.data(), outcome.size());
                _exit(0);
            }
            children.push_back(pid);
        }
        close(go[0]);
        close(go[1]);
        close(results[1]);
        for (pid_t pid : children) waitpid(pid, nullptr, 0);
        std::string lines;
        char buffer[4096];
        for (ssize_t n; (n = read(results[0], buffer, sizeof buffer)) > 0;) lines.append(buffer, static_cast<std::size_t>(n));
        close(results[0]);
        for (std::size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string outcome = lines.substr(at, end - at);
            ++exports;
            if (outcome == "written") ++written;
            else ++failures[outcome];
        }
        const std::string id = WholeReportId(Read(out));
        EXPECT_FALSE(id.empty()) << "round " << round;
        EXPECT_TRUE(id != "earlier" || existing) << "round " << round;
        wholeAfterRounds += !id.empty();
        EXPECT_EQ(std::vector<std::string>{}, SideFiles()) << "round " << round;
    }
    EXPECT_EQ(kRounds * kExports, exports);
    EXPECT_GT(written, 0);
    EXPECT_EQ(0, failures.count("written, but not whole"));
    std::printf("[ concurrency ] %d exports in %d rounds of %d: %d written, %d destinations whole after %d rounds\n",
                exports, kRounds, kExports, written, wholeAfterRounds, kRounds);
    for (const auto& [reason, count] : failures) {
        std::printf("[ concurrency ]   failed %d: %s\n", count, reason.c_str());
        // Only the destination held by another export stops one.
        EXPECT_EQ("cannot be written: another program (or another export) has it open", reason);
    }
}
#endif

}  // namespace
