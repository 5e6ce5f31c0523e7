// Windows path handling of the conditions dialog: splitting, the root helpers, the
// checks of the output path and the creation (and clean-up) of missing folders.
//
// Every path is CP932 bytes and is walked by characters: a lead byte followed by a
// valid trail byte is one character, so the trail byte 0x5C of 表 or ソ is never a
// separator. File-system questions go through platform::GetServices().fs.
// The functions named after the dialog's operations return 1 (TRUE) or 0 (FALSE).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/path_limit.h"

// ---- root helpers (our versions of PathSkipRootA, PathStripToRootA, _splitpath) ----

// Offset of the part after the root ("C:\" or "\\server\share\"); npos when the path
// has no root that PathSkipRootA would skip.
std::size_t SkipRoot(std::string_view path);
// Reduces path to its root in place ("C:\", "\\server\share", "\"), as
// PathStripToRootA does; 0 when there is none (path is then left as that call leaves it).
int StripToRoot(std::string& path);
// The drive ("C:" when the second byte is ":") and the directory (after the drive,
// up to and including the last "\" or "/"), as _splitpath gives them.
void SplitDriveDir(std::string_view path, std::string& drive, std::string& dir);

// ---- character-wise splitting ----

std::string PathFolderPart(std::string_view path);    // up to and including the last "\"; empty when none
std::string PathFilePart(std::string_view path);      // after the last "\"; the whole text when none
std::string PathDrivePart(std::string_view path);     // up to and including the last ":"; empty when none
std::string PathAfterDrive(std::string_view path);    // after the last ":"; the whole text when none

// ---- checks and folders ----

// The character check of the output path: no doubled backslash after the root, none
// of / : , ; * ? " > < | after the drive (or after the leading "\\" of a share),
// including its first position.
int CheckPathChars(std::string_view path);
// The drive of the path (first byte) or its share must be usable for writing.
int CheckOutputDrive(std::string_view path);
// Drive letter A-Z (either case) whose drive may hold the output, tested with the
// access mode (0 exists, 2 write, 4 read, 6 both) where the drive type needs it.
int IsUsableDrive(char letter, int mode);
// Creates every missing folder of an absolute folder path; on a failure removes the
// folders this call created.
int CreateFolderChain(std::string_view folder);
// Removes the folders of target's chain that lie strictly below last, deepest first.
int RemoveCreatedFolders(std::string_view target, std::string_view last);
// Makes text end with a single-byte "\" when it fits in size - 1 bytes.
int AppendBackslash(std::string& text, std::size_t size);
// Reduces text to its drive and directory (C:\a\b -> C:\a\), see the tests.
int NormalizeFolderPath(std::string& text);
// True when the drive and directory part of text is an existing directory.
int IsExistingFolder(std::string_view text);
// True when the byte at position belongs to a double-byte character.
int IsDoubleByteAt(std::string_view text, std::size_t position);
// Copies text (shorter than size) into *out and strips the copy to its root.
int CopyRootPath(std::string_view text, std::string* out, std::size_t size);

// Compares two paths without regard to the case of single-byte letters.
bool PathEqualsNoCase(std::string_view a, std::string_view b);
