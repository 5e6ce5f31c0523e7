// The path functions of the conditions dialog on any path: the splitting helpers cut
// only at single-byte separators and lose no byte, root helpers give prefixes, the
// checks answer without touching anything, and a folder chain that fails (also at an
// injected failure) leaves the folders as they were.
#include <cstring>

#include "dialog/path_functions.h"
#include "fuzz_support.h"

namespace {

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The cut between head and tail lies after a single-byte separator character.
bool CutAfterSeparator(const std::string& path, std::size_t cut, char separator)
{
    return cut > 0 && path[cut - 1] == separator && fuzz::IsBoundary(path, cut - 1);
}

// A folder part that is nothing but a root ("Z:\", "\\server\share\"): the chain has
// no folder to create there and leaves its existence to the write that follows.
bool OnlyRoot(const std::string& path)
{
    std::string folder = path;
    if (!NormalizeFolderPath(folder) || !AppendBackslash(folder, kPathBufferSize)) return false;
    return SkipRoot(folder) == folder.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    const uint8_t mode = in.Byte();
    const uint8_t failAt = in.Byte();
    std::string path = in.Text(300);

    fuzz::FakeServices services;
    services.fs.AddDrive('D', platform::DRIVE_TYPE_CDROM, 4);
    services.fs.AddDrive('E', platform::DRIVE_TYPE_REMOVABLE, 6);
    services.fs.AddDrive('R', platform::DRIVE_TYPE_REMOTE, 2);
    services.fs.AddShare("\\\\srv\\share", 6);
    services.fs.AddDirectory("C:\\\x95\x5C\\\x83\x5C");   // 表\ソ: trail bytes 0x5C
    if (mode & 1) services.fs.AddFile("C:\\file", "x");

    const std::string folder = PathFolderPart(path), file = PathFilePart(path);
    FUZZ_CHECK(folder + file == path, "folder and file parts lose bytes");
    if (!folder.empty()) FUZZ_CHECK(CutAfterSeparator(path, folder.size(), '\\'), "folder part cut off a separator");
    const std::string drive = PathDrivePart(path), after = PathAfterDrive(path);
    FUZZ_CHECK(drive + after == path, "drive part and rest lose bytes");
    if (!drive.empty()) FUZZ_CHECK(CutAfterSeparator(path, drive.size(), ':'), "drive part cut off a colon");

    const std::size_t skip = SkipRoot(path);
    FUZZ_CHECK(skip == std::string::npos || (skip <= path.size() && fuzz::IsBoundary(path, skip)), "skip root");
    std::string root = path;
    if (StripToRoot(root)) FUZZ_CHECK(StartsWith(path, root), "root is not a prefix of the path");
    std::string splitDrive, splitDir;
    SplitDriveDir(path, splitDrive, splitDir);
    FUZZ_CHECK(StartsWith(path, splitDrive + splitDir), "drive and directory are not a prefix of the path");
    std::string copiedRoot;
    if (CopyRootPath(path, &copiedRoot, kPathBufferSize)) FUZZ_CHECK(StartsWith(path, copiedRoot), "copied root");

    for (std::size_t i = 0; i < path.size(); ++i)
        FUZZ_CHECK((IsDoubleByteAt(path, i) != 0) == (cp932::IsLeadAt(path, i) || cp932::IsTrailAt(path, i)),
                   "double-byte classification");

    std::string withBackslash = path;
    if (AppendBackslash(withBackslash, kPathBufferSize)) {
        FUZZ_CHECK(withBackslash == path || withBackslash.size() <= kMaxPathBytes, "backslash appended past the buffer");
        FUZZ_CHECK(StartsWith(withBackslash, path), "text lost while appending a backslash");
        FUZZ_CHECK(CutAfterSeparator(withBackslash, withBackslash.size(), '\\'), "no single-byte final backslash");
    }
    std::string normalized = path;
    if (NormalizeFolderPath(normalized)) {
        // The drive and directory, with a final "\\" added where they had none (after a
        // "/" that _splitpath takes for a separator, or after a bare drive "G:").
        const bool added = !normalized.empty() && normalized.back() == '\\';
        FUZZ_CHECK(StartsWith(path, normalized) ||
                       (added && StartsWith(path, normalized.substr(0, normalized.size() - 1))),
                   "normalized folder");
    }

    const std::vector<std::string> before = services.fs.Directories();
    CheckPathChars(path);
    CheckOutputDrive(path);
    IsExistingFolder(path);
    for (char letter : std::string("ACDERZ")) IsUsableDrive(letter, 6);
    FUZZ_CHECK(services.fs.Directories() == before, "a check changed the folders");

    if (failAt) services.fs.FailCall("CreateDirectory", failAt % 8);
    if (!CreateFolderChain(path))
        FUZZ_CHECK(services.fs.Directories() == before, "failed chain left folders");
    else if (CheckPathChars(path) && !OnlyRoot(path))
        // For a path the dialog accepts (no doubled "\\", no forbidden character), a chain
        // that succeeded has made the folder.
        FUZZ_CHECK(IsExistingFolder(path), "chain reported created but the folder is missing");
    return 0;
}
