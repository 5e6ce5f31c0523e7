// The report file gathers lines and writes them a buffer at a time into a side file and
// puts that in the destination's place at Close: the bytes are the same as line by line,
// and every failed step fails the report and leaves the destination as it was, with no
// side file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
