#include "dialog/path_functions.h"

#include <vector>

#include "common/cp932.h"
#include "common/path_split.h"
#include "platform/services.h"

namespace {

bool IsSingleAt(std::string_view text, std::size_t pos, char c)
{
    return pos < text.size() && text[pos] == c && !cp932::IsTrailAt(text, pos);
}

// Start offsets of every character, walking from the beginning of the text.
std::vector<std::size_t> CharStarts(std::string_view text)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i += cp932::CharLengthAt(text, i)) starts.push_back(i);
    return starts;
}

// First single-byte c at or after from; npos when there is none.
std::size_t FindChar(std::string_view text, char c, std::size_t from = 0)
{
    for (std::size_t i = 0; i < text.size(); i += cp932::CharLengthAt(text, i))
        if (i >= from && text[i] == c && cp932::CharLengthAt(text, i) == 1) return i;
    return std::string_view::npos;
}

// Last single-byte c; npos when there is none.
std::size_t FindLastChar(std::string_view text, char c)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += cp932::CharLengthAt(text, i))
        if (text[i] == c && cp932::CharLengthAt(text, i) == 1) found = i;
    return found;
}

// First "\\" (two single-byte backslashes) starting at or after from.
std::size_t FindDoubleBackslash(std::string_view text, std::size_t from)
{
    for (std::size_t i = 0; i < text.size(); i += cp932::CharLengthAt(text, i))
        if (i >= from && text[i] == '\\' && cp932::CharLengthAt(text, i) == 1 && i + 1 < text.size() &&
            text[i + 1] == '\\')
            return i;
    return std::string_view::npos;
}

bool EndsWithBackslash(std::string_view text)
{
    return !text.empty() && IsSingleAt(text, text.size() - 1, '\\');
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// PathIsRootA: "\", "X:\", or "\\server" / "\\server\share" without a further "\".
bool IsRootText(std::string_view path)
{
    if (path.empty()) return false;
    if (path[0] == '\\') {
        if (path.size() == 1) return true;
        if (path[1] != '\\') return false;
        bool seenSlash = false;
        for (std::size_t i = 2; i < path.size(); i += cp932::CharLengthAt(path, i)) {
            if (path[i] == '\\' && cp932::CharLengthAt(path, i) == 1) {
                if (seenSlash) return false;
                seenSlash = true;
            }
        }
        return true;
    }
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

// PathRemoveFileSpecA: cuts the last component (and a drive's colon keeps its "\").
bool RemoveFileSpec(std::string& path)
{
    std::size_t p = 0;
    std::size_t filespec = 0;
    if (p < path.size() && path[p] == '\\') filespec = ++p;
    if (p < path.size() && path[p] == '\\') filespec = ++p;
    while (p < path.size()) {
        if (path[p] == '\\') {
            filespec = p;
        } else if (path[p] == ':') {
            filespec = ++p;
            if (p < path.size() && path[p] == '\\') filespec++;
            if (p >= path.size()) break;
        }
        // The walk goes on by characters from the current position.
        std::size_t n = 1;
        if (p + 1 < path.size() && cp932::IsLeadByte(static_cast<unsigned char>(path[p])) &&
            cp932::IsTrailByte(static_cast<unsigned char>(path[p + 1])))
            n = 2;
        p += n;
    }
    if (filespec < path.size()) {
        path.resize(filespec);
        return true;
    }
    return false;
}

// Root and rest of a folder already ending with "\": false when it has no root.
bool SplitRoot(const std::string& folder, std::string& root, std::string& rest)
{
    std::size_t after = SkipRoot(folder);
    if (after == std::string_view::npos) return false;
    rest = folder.substr(after);
    return CopyRootPath(folder, &root, kPathBufferSize) && AppendBackslash(root, kPathBufferSize);
}

}  // namespace

// ---------------------------------------------------------------- root helpers

std::size_t SkipRoot(std::string_view path)
{
    if (path.empty()) return std::string_view::npos;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        std::size_t server = FindChar(path, '\\', 2);
        if (server == std::string_view::npos) return std::string_view::npos;
        std::size_t share = FindChar(path, '\\', server + 1);
        if (share == std::string_view::npos) return std::string_view::npos;
        return share + 1;
    }
    if (cp932::IsLeadByte(static_cast<unsigned char>(path[0]))) return std::string_view::npos;
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
    return std::string_view::npos;
}

int StripToRoot(std::string& path)
{
    while (!IsRootText(path))
        if (!RemoveFileSpec(path)) return 0;
    return 1;
}

void SplitDriveDir(std::string_view path, std::string& drive, std::string& dir)
{
    drive.clear();
    dir.clear();
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        drive = std::string(path.substr(0, 2));
        start = 2;
    }
    dir = std::string(path_split::FolderPart(path.substr(start), path_split::Separators::kBoth));
}

// ---------------------------------------------------------------- splitting

std::string PathFolderPart(std::string_view path)
{
    return std::string(path_split::FolderPart(path, path_split::Separators::kBackslash));
}

std::string PathFilePart(std::string_view path)
{
    return std::string(path_split::NamePart(path, path_split::Separators::kBackslash));
}

std::string PathDrivePart(std::string_view path)
{
    std::size_t last = FindLastChar(path, ':');
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string PathAfterDrive(std::string_view path)
{
    std::size_t last = FindLastChar(path, ':');
    return last == std::string_view::npos ? std::string(path) : std::string(path.substr(last + 1));
}

// ---------------------------------------------------------------- checks

int CheckPathChars(std::string_view path)
{
    std::string_view remainder;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        if (FindDoubleBackslash(path, 3) != std::string_view::npos) return 0;
        remainder = path.substr(2);
    } else {
        if (FindDoubleBackslash(path, 1) != std::string_view::npos) return 0;
        std::size_t colon = FindChar(path, ':');
        remainder = colon == std::string_view::npos ? path : path.substr(colon + 1);
    }
    // Every position counts, the first one included: a name beginning with one of
    // these characters is as unusable as one containing it.
    static const char kForbidden[] = {'/', ':', ',', ';', '*', '?', '"', '>', '<', '|'};
    for (char c : kForbidden)
        if (FindChar(remainder, c) != std::string_view::npos) return 0;
    return 1;
}

int CheckOutputDrive(std::string_view path)
{
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // The share is \\server\share, ended by the backslash that follows it; without
        // both backslashes the path names no share, and the share text stays empty.
        std::string share;
        std::size_t server = FindChar(path, '\\', 3);
        if (server != std::string_view::npos) {
            std::size_t end = FindChar(path, '\\', server + 1);
            if (end != std::string_view::npos) share = std::string(path.substr(0, end));
        }
        if (share.empty() || !fs) return 0;
        return fs->Access(share, 6) ? 1 : 0;
    }
    if (path.empty() || FindDoubleBackslash(path, 1) != std::string_view::npos) return 0;
    return IsUsableDrive(path[0], 6);
}

int IsUsableDrive(char letter, int mode)
{
    if (!IsAsciiLetter(letter)) return 0;
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (!fs) return 0;
    std::string root = std::string(1, UpperAscii(letter)) + ":\\";
    switch (fs->GetDriveType(root)) {
    case platform::DRIVE_TYPE_UNKNOWN:
        return 0;
    case platform::DRIVE_TYPE_NO_ROOT_DIR:
        return 1;
    case platform::DRIVE_TYPE_REMOVABLE:
    case platform::DRIVE_TYPE_FIXED:
    case platform::DRIVE_TYPE_REMOTE:
        return fs->Access(root, mode) ? 1 : 0;
    case platform::DRIVE_TYPE_CDROM:
    case platform::DRIVE_TYPE_RAMDISK:
        return 0;
    default:
        return 1;
    }
}

// ---------------------------------------------------------------- folders

int AppendBackslash(std::string& text, std::size_t size)
{
    if (text.empty()) return 0;
    if (EndsWithBackslash(text)) return 1;
    if (size == 0 || text.size() >= size - 1) return 0;
    // After a stray lead byte the backslash would be read as its trail byte: the text
    // would end in a double-byte character, not in a separator.
    const std::size_t last = text.size() - 1;
    if (cp932::IsLeadByte(static_cast<unsigned char>(text[last])) && !cp932::IsTrailAt(text, last)) return 0;
    text += '\\';
    return 1;
}

int NormalizeFolderPath(std::string& text)
{
    if (text.empty()) return 0;
    std::string drive, dir;
    SplitDriveDir(text, drive, dir);
    std::string folder = drive + dir;
    if (folder.empty()) return 0;
    if (!EndsWithBackslash(folder) && folder.size() < text.size()) folder += '\\';
    text = folder;
    return 1;
}

int IsExistingFolder(std::string_view text)
{
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (!fs) return 0;
    std::string folder(text);
    if (!NormalizeFolderPath(folder)) folder = std::string(text);
    return fs->PathIsDirectory(folder) ? 1 : 0;
}

int IsDoubleByteAt(std::string_view text, std::size_t position)
{
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = cp932::CharLengthAt(text, i);
        if (position < i + n) return n == 2 ? 1 : 0;
        i += n;
    }
    return 0;
}

int CopyRootPath(std::string_view text, std::string* out, std::size_t size)
{
    if (text.empty() || !out || size == 0 || text.size() >= size) return 0;
    *out = std::string(text);
    return StripToRoot(*out);
}

int CreateFolderChain(std::string_view folder)
{
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (folder.empty() || !fs) return 0;
    std::string whole(folder);
    if (!NormalizeFolderPath(whole) || !AppendBackslash(whole, kPathBufferSize)) return 0;
    std::size_t after = SkipRoot(whole);
    if (after == std::string_view::npos) return 0;   // relative folders are never created
    std::string rest = whole.substr(after);
    std::string root;
    if (!CopyRootPath(whole, &root, kPathBufferSize) || !AppendBackslash(root, kPathBufferSize)) return 0;

    // The folders this call made, so that a failure removes exactly those, deepest
    // first: a path with ".." or a doubled "\\" can name a folder it made again, or an
    // existing folder after a new one.
    std::vector<std::string> created;
    for (std::size_t i = 0; i < rest.size(); i += cp932::CharLengthAt(rest, i)) {
        // A separator right after the root (a doubled one) names the root itself,
        // which is never created.
        if (i == 0 || rest[i] != '\\' || cp932::CharLengthAt(rest, i) != 1) continue;
        std::string step = root + rest.substr(0, i);
        const bool stepOk = AppendBackslash(step, kPathBufferSize) != 0;
        if (stepOk && IsExistingFolder(step)) continue;
        if (!stepOk || !fs->CreateDirectory(step)) {
            for (auto it = created.rbegin(); it != created.rend(); ++it) fs->RemoveDirectory(*it);
            return 0;
        }
        created.push_back(step);
    }
    return 1;
}

int RemoveCreatedFolders(std::string_view target, std::string_view last)
{
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (!fs) return 0;
    std::string targetPath(target), lastPath(last);
    if (!NormalizeFolderPath(targetPath) || !AppendBackslash(targetPath, kPathBufferSize)) return 0;
    if (!NormalizeFolderPath(lastPath) || !AppendBackslash(lastPath, kPathBufferSize)) return 0;
    std::string targetRoot, targetRest, lastRoot, lastRest;
    if (!SplitRoot(targetPath, targetRoot, targetRest) || !SplitRoot(lastPath, lastRoot, lastRest)) return 0;
    if (!PathEqualsNoCase(targetRoot, lastRoot)) return 0;
    if (lastRest.size() > targetRest.size() || !PathEqualsNoCase(targetRest.substr(0, lastRest.size()), lastRest))
        return 0;

    std::vector<std::size_t> starts = CharStarts(targetRest);
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        std::size_t k = *it;
        if (k == 0) break;
        if (targetRest[k] != '\\' || cp932::CharLengthAt(targetRest, k) != 1) continue;
        if (lastRest.size() >= k && PathEqualsNoCase(lastRest.substr(0, k), targetRest.substr(0, k))) break;
        std::string folder = targetRoot + targetRest.substr(0, k) + "\\";
        if (IsExistingFolder(folder) && !fs->RemoveDirectory(folder)) return 0;
    }
    return 1;
}

bool PathEqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        std::size_t n = cp932::CharLengthAt(a, i);
        if (n != cp932::CharLengthAt(b, i)) return false;
        if (n == 1) {
            if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
        } else if (a.compare(i, n, b.substr(i, n)) != 0) {
            return false;
        }
        i += n;
    }
    return true;
}
