// Inputs the fuzz targets (fuzz/) found breaking an invariant, kept as plain tests so the
// fix stays: each case names the target that found it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialog/path_functions.h"
#include "report/sections/sections.h"
#include "report/xml_writer.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/report_capture.h"
#include "tests/fakes/saved_details.h"
#include "tests/fakes/scoped_services.h"

namespace {

class WithFakeFileSystem : public ::testing::Test {
protected:
    fakes::FakeFileSystem fs;
    fakes::ScopedServices installed{&fs};
};

// fuzz_path_functions: "\xE5" (a lead byte with nothing after it) got a backslash
// appended that became its trail byte, so the text ended in the character E5 5C instead
// of a separator.
TEST_F(WithFakeFileSystem, BackslashIsNotAppendedToAStrayLeadByte)
{
    std::string text = "\xE5";
    EXPECT_EQ(0, AppendBackslash(text, kPathBufferSize));
    EXPECT_EQ("\xE5", text);

    text = "C:\\a\\b\x81";
    EXPECT_EQ(0, AppendBackslash(text, kPathBufferSize));
    EXPECT_EQ("C:\\a\\b\x81", text);

    // A whole double-byte character ending in 0x5C is no separator either: one is added.
    text = "C:\\\x95\x5C";
    EXPECT_EQ(1, AppendBackslash(text, kPathBufferSize));
    EXPECT_EQ("C:\\\x95\x5C\\", text);

    // The trail byte of 亜 (88 9F) lies in the lead range; it still ends a character.
    text = "C:\\\x88\x9F";
    EXPECT_EQ(1, AppendBackslash(text, kPathBufferSize));
    EXPECT_EQ("C:\\\x88\x9F\\", text);
}

// fuzz_path_functions: after a doubled backslash the chain met the folder it had just
// created, took it for one that was there before, and left it behind when a later
// folder could not be created.
TEST_F(WithFakeFileSystem, FailedChainWithADoubledBackslashRemovesWhatItCreated)
{
    const std::vector<std::string> before = fs.Directories();
    fs.FailCall("CreateDirectory", 2);
    EXPECT_EQ(0, CreateFolderChain("C:\\n1\\\\n2\\n3\\x.xml"));
    EXPECT_EQ(before, fs.Directories());
    EXPECT_FALSE(fs.HasDirectory("C:\\n1"));
}

// fuzz_path_functions: with ".." the chain meets an existing folder after one it made;
// a later failure left the made one behind. It now removes exactly what it made.
TEST_F(WithFakeFileSystem, FailedChainThroughDotDotRemovesWhatItCreated)
{
    const std::vector<std::string> before = fs.Directories();
    fs.FailCall("CreateDirectory", 2);
    EXPECT_EQ(0, CreateFolderChain("C:\\S\\..\\\x95\x5C\\x.xml"));
    EXPECT_EQ(before, fs.Directories());
    EXPECT_EQ(1, fs.CallCount("RemoveDirectory"));
}

// fuzz_path_functions, in the fake itself: removing "C:\<95>" (a stray lead byte) was
// refused because "C:\表" (95 5C) looked like a folder inside it, byte by byte.
TEST_F(WithFakeFileSystem, FakeRemovesAFolderBesideOneWhoseNameContinuesItsBytes)
{
    ASSERT_TRUE(fs.AddDirectory("C:\\\x95\x5C\\sub"));
    ASSERT_TRUE(fs.CreateDirectory("C:\\\x95"));
    EXPECT_TRUE(fs.RemoveDirectory("C:\\\x95"));
    EXPECT_TRUE(fs.HasDirectory("C:\\\x95\x5C\\sub"));
    ASSERT_TRUE(fs.CreateDirectory("C:\\a"));
    ASSERT_TRUE(fs.CreateDirectory("C:\\a\\b"));
    EXPECT_FALSE(fs.RemoveDirectory("C:\\a")) << "a folder with a folder inside stays";
}

// fuzz_path_functions: a doubled backslash right after the root made the chain try to
// create the root itself ("=:\" counts as a root, as PathSkipRootA has it).
TEST_F(WithFakeFileSystem, ChainNeverCreatesTheRoot)
{
    fs.ResetCalls();
    CreateFolderChain("=:\\\\a\\x.xml");
    ASSERT_FALSE(fs.calls().empty());
    for (const std::string& call : fs.calls())
        EXPECT_TRUE(call != "CreateDirectory =:\\" && call != "CreateDirectory =:\\ FAILED") << call;
}

// fuzz_path_functions: a folder that is nothing but a root (here a share nobody offers)
// has no folder to create; the chain succeeds without touching anything and the write
// that follows meets the missing root.
TEST_F(WithFakeFileSystem, ChainOfABareRootCreatesNothing)
{
    const std::vector<std::string> before = fs.Directories();
    EXPECT_EQ(1, CreateFolderChain("\\\\nobody\\share\\x.xml"));
    EXPECT_EQ(before, fs.Directories());
    EXPECT_EQ(0, fs.CallCount("CreateDirectory"));
    EXPECT_EQ(0, IsExistingFolder("\\\\nobody\\share\\x.xml"));
}

// fuzz_special_matters: bytes left out between a lone CR and a lone LF join them into
// CR LF inside one element's text; the text stays well-formed and the element whole.
TEST(SpecialMattersRegression, LeftOutBytesBetweenCrAndLf)
{
    fakes::SavedDetails saved;
    std::strcpy(saved.general.pNotes->szSpecialMatters, "a\r\xFF\nb");
    sections::StFigures figures;
    figures.savedGeneral = &saved.general;
    fakes::ReportCapture capture;
    ASSERT_EQ(1, sections::WriteSpecialMatters(capture.writer, figures, 60, 2));
    EXPECT_EQ(fakes::Visible(fakes::Element(4, "TOKUSYUJIJOU1", "a\r\nb") + fakes::Element(4, "TOKUSYUJIJOU2", "")),
              fakes::Visible(capture.Bytes()));
}

// fuzz_escape: control bytes, lone lead bytes and undefined bytes went into the report
// as they were, making it ill-formed XML.
TEST(EscapeRegression, FirstFindings)
{
    EXPECT_EQ("ab", ClXmlWriter::Escape("a\x01" "b"));
    EXPECT_EQ(" ", ClXmlWriter::Escape("\x81 "));
    EXPECT_EQ("", ClXmlWriter::Escape("\xFF"));
}

}  // namespace
