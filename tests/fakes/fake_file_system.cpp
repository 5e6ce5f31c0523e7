#include "tests/fakes/fake_file_system.h"

#include <new>

#include <algorithm>

#include "common/cp932.h"

namespace fakes {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Upper-cases single-byte letters only: a trail byte in the range of "a" to "z" stays.
std::string KeyOf(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = cp932::CharLengthAt(text, i);
        if (n == 1)
            out += Upper(text[i]);
        else
            out.append(text, i, n);
        i += n;
    }
    return out;
}

// Splits at single-byte separators ("\" or "/").
std::vector<std::string> SplitComponents(const std::string& text)
{
    std::vector<std::string> parts;
    std::string current;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = cp932::CharLengthAt(text, i);
        if (n == 1 && (text[i] == '\\' || text[i] == '/')) {
            parts.push_back(current);
            current.clear();
        } else {
            current.append(text, i, n);
        }
        i += n;
    }
    parts.push_back(current);
    return parts;
}

bool IsSeparator(const std::string& text, std::size_t pos)
{
    return pos < text.size() && (text[pos] == '\\' || text[pos] == '/') && !cp932::IsTrailAt(text, pos);
}

std::string Trim(const std::string& text)
{
    std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    std::size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

}  // namespace

// An open file of the fake: writes go straight into the node, as on a real disk.
class FakeFileSystem::WriteFile : public platform::IWriteFile {
public:
    WriteFile(FakeFileSystem* fs, std::string key, std::string path)
        : m_fs(fs), m_alive(fs->m_alive), m_key(std::move(key)), m_path(std::move(path)) {}
    ~WriteFile() override { Release(); }

    bool Write(const void* data, std::size_t size) override
    {
        if (!*m_alive || m_closed) return false;
        if (m_fs->Begin("Write", m_path)) return false;
        Node* node = m_fs->Find(m_key);
        if (!node) { m_fs->MarkFailed(); return false; }
        node->bytes.append(static_cast<const char*>(data), size);
        return true;
    }
    bool Flush() override
    {
        if (!*m_alive || m_closed) return false;
        return !m_fs->Begin("Flush", m_path);
    }
    bool Close() override
    {
        if (!*m_alive || m_closed) return false;
        bool failed = m_fs->Begin("Close", m_path);
        Release();
        return !failed;
    }
    std::size_t WriteBufferSize() const override { return *m_alive ? m_fs->m_writeBufferSize : 0; }
    bool ReadBack(std::size_t maxBytes, std::string& data) override
    {
        data.clear();
        if (!*m_alive || m_closed || m_fs->Begin("ReadBack", m_path)) return false;
        const Node* node = m_fs->Find(m_key);
        if (!node) { m_fs->MarkFailed(); return false; }
        data = node->bytes.substr(0, std::min(maxBytes, node->bytes.size()));
        return true;
    }
    bool Truncate() override
    {
        if (!*m_alive || m_closed || m_fs->Begin("Truncate", m_path)) return false;
        Node* node = m_fs->Find(m_key);
        if (!node) { m_fs->MarkFailed(); return false; }
        node->bytes.clear();
        return true;
    }
    platform::ReplaceResult ReplaceTo(const std::string& to) override
    {
        using platform::ReplaceResult;
        if (!*m_alive || m_closed || m_moved) return ReplaceResult::kRefused;
        if (m_fs->Begin("ReplaceTo", m_path, to)) return ReplaceResult::kRefused;
        std::string toFull, toKey;
        if (!m_fs->Resolve(to, toFull, toKey) || !m_fs->RootUsable(toKey) || !m_fs->ParentIsDirectory(toKey) ||
            !m_fs->Find(m_key)) {
            m_fs->MarkFailed(platform::FileError::kNotFound);
            return ReplaceResult::kRefused;
        }
        if (toKey == m_key) return ReplaceResult::kReplaced;
        const Node* target = m_fs->Find(toKey);
        if (target && (target->isDirectory || target->openWriters > 0)) {
            m_fs->MarkFailed(platform::FileError::kInUse);
            return ReplaceResult::kRefused;
        }
        if (!(m_fs->RightsOf(toKey) & 2) || !m_fs->MayDelete(m_key) || (target && !m_fs->MayDelete(toKey))) {
            m_fs->MarkFailed(platform::FileError::kDenied);
            return ReplaceResult::kDenied;
        }
        if (m_fs->m_replaceOutcome != ReplaceResult::kReplaced) {
            m_fs->MarkFailed();
            if (m_fs->m_replaceOutcome == ReplaceResult::kOnlyAtSource && target) {
                m_fs->m_deleted[toKey] = target->bytes;
                m_fs->m_nodes.erase(toKey);
            }
            return m_fs->m_replaceOutcome;
        }
        Node moved = *m_fs->Find(m_key);
        moved.path = toFull;
        m_fs->m_nodes.erase(m_key);
        m_fs->m_nodes[toKey] = moved;
        m_key = toKey;
        m_path = toFull;
        m_moved = true;
        return ReplaceResult::kReplaced;
    }
    bool Remove() noexcept override
    {
        const bool moved = m_moved;
        Release();
        if (!*m_alive || moved) return false;
        try {
            const bool failed = m_fs->Begin("Remove", m_path);
            Node* node = m_fs->Find(m_key);
            if (!node) return !failed;
            if (failed || node->openWriters > 0 || !m_fs->MayDelete(m_key)) {
                if (node->openWriters == 0) node->bytes.clear();
                m_fs->MarkFailed();
                return false;
            }
            m_fs->m_deleted[m_key] = node->bytes;
            m_fs->m_nodes.erase(m_key);
            return true;
        } catch (...) {
            return false;
        }
    }

private:
    void Release()
    {
        if (m_closed || !*m_alive) return;
        m_closed = true;
        if (Node* node = m_fs->Find(m_key)) node->openWriters--;
    }
    FakeFileSystem* m_fs;
    std::shared_ptr<bool> m_alive;
    std::string m_key;
    std::string m_path;
    bool m_closed = false;
    bool m_moved = false;   // put in another file's place: never removed by its new name
};

FakeFileSystem::FakeFileSystem() : m_alive(std::make_shared<bool>(true))
{
    AddDrive('C', platform::DRIVE_TYPE_FIXED, 6);
    m_currentDir = "C:\\";
    m_tempPath = "C:\\Temp\\";
    m_modulePath = "C:\\Ledgra\\LedgraProExport.exe";
    AddDirectory("C:\\Temp");
    AddDirectory("C:\\Ledgra");
}

FakeFileSystem::~FakeFileSystem() { *m_alive = false; }

// ---------------------------------------------------------------- set-up

void FakeFileSystem::AddDrive(char letter, unsigned driveType, int rights)
{
    char up = Upper(letter);
    m_drives[up] = Drive{driveType, rights};
    std::string root = std::string(1, up) + ":\\";
    if (driveType != platform::DRIVE_TYPE_UNKNOWN && driveType != platform::DRIVE_TYPE_NO_ROOT_DIR)
        m_nodes[root] = Node{root, true, "", 0, ""};
    else
        m_nodes.erase(root);
}

void FakeFileSystem::RemoveDrive(char letter)
{
    char up = Upper(letter);
    m_drives.erase(up);
    std::string prefix = std::string(1, up) + ":\\";
    for (auto it = m_nodes.begin(); it != m_nodes.end();)
        it = it->first.compare(0, prefix.size(), prefix) == 0 ? m_nodes.erase(it) : std::next(it);
}

void FakeFileSystem::AddShare(const std::string& share, int rights)
{
    std::string full, key;
    if (!share.empty() && share[0] == '\\' && share.size() > 2) {
        // Register first, so that Resolve accepts the root.
        std::vector<std::string> parts = SplitComponents(share.substr(2));
        if (parts.size() >= 2) {
            full = "\\\\" + parts[0] + "\\" + parts[1];
            key = KeyOf(full);
            m_shares[key] = rights;
            m_nodes[key] = Node{full, true, "", 0, ""};
        }
    }
}

void FakeFileSystem::SetAccess(const std::string& path, int rights)
{
    std::string full, key;
    if (Resolve(path, full, key)) m_rights[key] = rights;
}

bool FakeFileSystem::AddDirectory(const std::string& path)
{
    std::string full, key;
    if (!Resolve(path, full, key)) return false;
    // Build the chain from the root down.
    std::vector<std::string> chain;
    std::string k = key, f = full;
    while (!Find(k)) {
        chain.push_back(f);
        std::size_t cut = std::string::npos;
        for (std::size_t i = 0; i < k.size();) {
            std::size_t n = cp932::CharLengthAt(k, i);
            if (n == 1 && k[i] == '\\') cut = i;
            i += n;
        }
        if (cut == std::string::npos || cut < 2) return false;
        std::string pk = k.substr(0, cut), pf = f.substr(0, cut);
        if (pk.size() == 2 && pk[1] == ':') { pk += '\\'; pf += '\\'; }
        if (pk == k) return false;
        k = pk;
        f = pf;
        if (k.size() <= 3 && k.size() >= 2 && k[1] == ':' && !Find(k)) return false;
    }
    if (!Find(k)->isDirectory) return false;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) m_nodes[KeyOf(*it)] = Node{*it, true, "", 0, ""};
    return true;
}

bool FakeFileSystem::AddFile(const std::string& path, const std::string& bytes)
{
    std::string full, key;
    if (!Resolve(path, full, key)) return false;
    std::size_t cut = std::string::npos;
    for (std::size_t i = 0; i < full.size();) {
        std::size_t n = cp932::CharLengthAt(full, i);
        if (n == 1 && full[i] == '\\') cut = i;
        i += n;
    }
    if (cut == std::string::npos) return false;
    std::string parent = full.substr(0, cut);
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    if (!AddDirectory(parent)) return false;
    Node* existing = Find(key);
    if (existing && existing->isDirectory) return false;
    m_nodes[key] = Node{full, false, bytes, 0, ""};
    return true;
}

bool FakeFileSystem::AddLink(const std::string& path, const std::string& target)
{
    std::string full, key, targetFull, targetKey;
    if (!Resolve(target, targetFull, targetKey) || !AddFile(path, "") || !Resolve(path, full, key)) return false;
    Find(key)->linkTo = targetKey;
    return true;
}

// ---------------------------------------------------------------- inspection

bool FakeFileSystem::HasDirectory(const std::string& path) const
{
    std::string full, key;
    if (!Resolve(path, full, key)) return false;
    const Node* node = Find(key);
    return node && node->isDirectory;
}

bool FakeFileSystem::HasFile(const std::string& path) const
{
    std::string full, key;
    if (!Resolve(path, full, key)) return false;
    const Node* node = Find(key);
    return node && !node->isDirectory;
}

std::string FakeFileSystem::FileBytes(const std::string& path) const
{
    std::string full, key;
    if (!Resolve(path, full, key)) return "";
    const Node* node = Find(key);
    return node && !node->isDirectory ? node->bytes : std::string();
}

std::vector<std::string> FakeFileSystem::Directories() const
{
    std::vector<std::string> out;
    for (const auto& [key, node] : m_nodes) {
        bool isRoot = (key.size() == 3 && key[1] == ':') || m_shares.count(key);
        if (node.isDirectory && !isRoot) out.push_back(node.path);
    }
    return out;
}

std::vector<std::string> FakeFileSystem::Files() const
{
    std::vector<std::string> out;
    for (const auto& [key, node] : m_nodes)
        if (!node.isDirectory) out.push_back(node.path);
    return out;
}

int FakeFileSystem::OpenFileCount() const
{
    int count = 0;
    for (const auto& entry : m_nodes) count += entry.second.openWriters;
    return count;
}

// ---------------------------------------------------------------- failures and records

void FakeFileSystem::FailCall(const std::string& operation, int nth) { m_failOnce[operation].insert(nth); }

void FakeFileSystem::FailCallsFrom(const std::string& operation, int nth) { m_failFrom[operation] = nth; }

void FakeFileSystem::ClearFailures()
{
    m_failOnce.clear();
    m_failFrom.clear();
    m_failNthAny = 0;
    m_throwOn.clear();
}

int FakeFileSystem::CallCount(const std::string& operation) const
{
    auto it = m_counts.find(operation);
    return it == m_counts.end() ? 0 : it->second;
}

void FakeFileSystem::ResetCalls()
{
    m_calls.clear();
    m_counts.clear();
}

bool FakeFileSystem::Begin(const std::string& operation, const std::string& path, const std::string& path2)
{
    int n = ++m_counts[operation];
    std::string text = operation + " " + path;
    if (!path2.empty()) text += " -> " + path2;
    m_calls.push_back(text);
    bool fail = false;
    auto once = m_failOnce.find(operation);
    if (once != m_failOnce.end() && (once->second.count(n) || once->second.count(0))) fail = true;
    auto from = m_failFrom.find(operation);
    if (from != m_failFrom.end() && n >= from->second) fail = true;
    if (m_failNthAny > 0 && static_cast<int>(m_calls.size()) == m_failNthAny) fail = true;
    auto throwing = m_throwOn.find(operation);
    if (throwing != m_throwOn.end() && throwing->second.erase(n)) {
        m_calls.back() += " THREW";
        throw std::bad_alloc();
    }
    m_lastError = platform::FileError::kNone;
    if (fail) MarkFailed();
    return fail;
}


void FakeFileSystem::MarkFailed(platform::FileError error)
{
    m_lastError = error;
    if (!m_calls.empty() && m_calls.back().find(" FAILED") == std::string::npos) m_calls.back() += " FAILED";
}

// ---------------------------------------------------------------- paths

bool FakeFileSystem::Resolve(const std::string& path, std::string& full, std::string& key) const
{
    if (path.empty()) return false;
    std::string root;
    std::string rest;
    if (IsSeparator(path, 0) && IsSeparator(path, 1)) {
        std::vector<std::string> parts = SplitComponents(path.substr(2));
        if (parts.size() < 2 || parts[0].empty() || parts[1].empty()) return false;
        root = "\\\\" + parts[0] + "\\" + parts[1];
        for (std::size_t i = 2; i < parts.size(); ++i) rest += "\\" + parts[i];
    } else if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        root = std::string(1, Upper(path[0])) + ":";
        std::string after = path.substr(2);
        if (IsSeparator(after, 0)) {
            rest = after;
        } else {
            // Drive-relative: the current folder when it is on that drive.
            std::string base;
            if (m_currentDir.size() >= 2 && Upper(m_currentDir[0]) == root[0] && m_currentDir[1] == ':')
                base = m_currentDir.substr(2);
            rest = base + "\\" + after;
        }
    } else {
        std::string curFull, curKey;
        if (m_currentDir.empty() || m_currentDir == path) return false;
        if (!Resolve(m_currentDir, curFull, curKey)) return false;
        // Root of the current folder.
        std::string curRoot;
        if (curFull.size() >= 2 && curFull[1] == ':') {
            curRoot = curFull.substr(0, 2);
        } else {
            std::vector<std::string> parts = SplitComponents(curFull.substr(2));
            curRoot = "\\\\" + parts[0] + "\\" + parts[1];
        }
        root = curRoot;
        if (IsSeparator(path, 0))
            rest = path;
        else
            rest = curFull.substr(curRoot.size()) + "\\" + path;
    }
    std::vector<std::string> stack;
    for (const std::string& part : SplitComponents(rest)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!stack.empty()) stack.pop_back();
            continue;
        }
        stack.push_back(part);
    }
    full = root;
    if (root.size() == 2) {
        full += "\\";
        for (std::size_t i = 0; i < stack.size(); ++i) full += (i ? "\\" : "") + stack[i];
    } else {
        for (const std::string& part : stack) full += "\\" + part;
    }
    key = KeyOf(full);
    return true;
}

FakeFileSystem::Node* FakeFileSystem::Find(const std::string& key)
{
    auto it = m_nodes.find(key);
    return it == m_nodes.end() ? nullptr : &it->second;
}

const FakeFileSystem::Node* FakeFileSystem::Find(const std::string& key) const
{
    auto it = m_nodes.find(key);
    return it == m_nodes.end() ? nullptr : &it->second;
}

namespace {
// Key of the parent folder; empty for a root.
std::string ParentKey(const std::string& key, bool isShareRoot)
{
    if (isShareRoot || (key.size() == 3 && key[1] == ':')) return "";
    std::size_t cut = std::string::npos;
    for (std::size_t i = 0; i < key.size();) {
        std::size_t n = cp932::CharLengthAt(key, i);
        if (n == 1 && key[i] == '\\') cut = i;
        i += n;
    }
    if (cut == std::string::npos || cut < 2) return "";
    std::string parent = key.substr(0, cut);
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    return parent;
}
}  // namespace

bool FakeFileSystem::ParentIsDirectory(const std::string& key) const
{
    std::string parent = ParentKey(key, m_shares.count(key) > 0);
    if (parent.empty()) return false;
    const Node* node = Find(parent);
    return node && node->isDirectory;
}

bool FakeFileSystem::RootUsable(const std::string& key) const
{
    if (key.size() >= 2 && key[1] == ':') {
        auto it = m_drives.find(key[0]);
        return it != m_drives.end() && it->second.type != platform::DRIVE_TYPE_UNKNOWN &&
               it->second.type != platform::DRIVE_TYPE_NO_ROOT_DIR;
    }
    for (const auto& share : m_shares)
        if (key == share.first || key.compare(0, share.first.size() + 1, share.first + "\\") == 0) return true;
    return false;
}

int FakeFileSystem::RightsOf(const std::string& key) const
{
    std::string k = key;
    while (!k.empty()) {
        auto it = m_rights.find(k);
        if (it != m_rights.end()) return it->second;
        auto share = m_shares.find(k);
        if (share != m_shares.end()) return share->second;
        if (k.size() == 3 && k[1] == ':') {
            auto drive = m_drives.find(k[0]);
            return drive == m_drives.end() ? 0 : drive->second.rights;
        }
        k = ParentKey(k, false);
    }
    return 0;
}

// ---------------------------------------------------------------- IFileSystem

bool FakeFileSystem::GetCurrentDir(std::string& dir)
{
    if (Begin("GetCurrentDir", "")) return false;
    dir = m_currentDir;
    return true;
}

bool FakeFileSystem::SetCurrentDir(const std::string& dir)
{
    if (Begin("SetCurrentDir", dir)) return false;
    std::string full, key;
    if (!Resolve(dir, full, key) || !RootUsable(key)) return false;
    const Node* node = Find(key);
    if (!node || !node->isDirectory) return false;
    m_currentDir = full;
    return true;
}

std::string FakeFileSystem::ModulePath()
{
    if (Begin("ModulePath", "")) return "";
    return m_modulePath;
}

bool FakeFileSystem::FileExists(const std::string& path)
{
    if (Begin("FileExists", path)) return false;
    std::string full, key;
    return Resolve(path, full, key) && RootUsable(key) && Find(key);
}

bool FakeFileSystem::Access(const std::string& path, int mode)
{
    if (Begin("Access", path)) return false;
    std::string full, key;
    if (!Resolve(path, full, key) || !RootUsable(key) || !Find(key)) return false;
    int rights = RightsOf(key);
    if ((mode & 2) && !(rights & 2)) return false;
    if ((mode & 4) && !(rights & 4)) return false;
    return true;
}

unsigned FakeFileSystem::GetDriveType(const std::string& root)
{
    if (Begin("GetDriveType", root)) return platform::DRIVE_TYPE_UNKNOWN;
    if (root.size() >= 2 && IsAsciiLetter(root[0]) && root[1] == ':' &&
        (root.size() == 2 || (root.size() == 3 && root[2] == '\\'))) {
        auto it = m_drives.find(Upper(root[0]));
        return it == m_drives.end() ? platform::DRIVE_TYPE_NO_ROOT_DIR : it->second.type;
    }
    if (root.size() > 2 && root[0] == '\\' && root[1] == '\\') {
        std::string full, key;
        if (Resolve(root, full, key) && m_shares.count(key)) return platform::DRIVE_TYPE_REMOTE;
    }
    return platform::DRIVE_TYPE_NO_ROOT_DIR;
}

bool FakeFileSystem::PathIsDirectory(const std::string& path)
{
    if (Begin("PathIsDirectory", path)) return false;
    std::string full, key;
    if (!Resolve(path, full, key) || !RootUsable(key)) return false;
    const Node* node = Find(key);
    return node && node->isDirectory;
}

bool FakeFileSystem::Stat(const std::string& path, bool* isDirectory)
{
    if (Begin("Stat", path)) return false;
    std::string full, key;
    if (!Resolve(path, full, key) || !RootUsable(key)) return false;
    const Node* node = Find(key);
    if (!node) return false;
    if (isDirectory) *isDirectory = node->isDirectory;
    return true;
}

bool FakeFileSystem::CreateDirectory(const std::string& path)
{
    std::string full, key;
    if (Begin("CreateDirectory", path)) return false;
    if (!Resolve(path, full, key) || !RootUsable(key) || Find(key) || !ParentIsDirectory(key)) {
        MarkFailed();
        return false;
    }
    if (!(RightsOf(ParentKey(key, false)) & 2)) {
        MarkFailed();
        return false;
    }
    m_nodes[key] = Node{full, true, "", 0, ""};
    return true;
}

bool FakeFileSystem::RemoveDirectory(const std::string& path)
{
    std::string full, key;
    if (Begin("RemoveDirectory", path)) return false;
    Node* node = nullptr;
    if (!Resolve(path, full, key) || !RootUsable(key) || !(node = Find(key)) || !node->isDirectory ||
        ParentKey(key, m_shares.count(key) > 0).empty()) {
        MarkFailed();
        return false;
    }
    std::string prefix = key + "\\";
    for (const auto& entry : m_nodes)
        // The "\\" must be a separator of the entry, not the trail byte of a character
        // whose lead byte ends this key (C:\<95> holds nothing of C:\表).
        if (entry.first.compare(0, prefix.size(), prefix) == 0 && !cp932::IsTrailAt(entry.first, prefix.size() - 1)) {
            MarkFailed();
            return false;
        }
    m_nodes.erase(key);
    return true;
}

std::string FakeFileSystem::GetTempPath()
{
    if (Begin("GetTempPath", "")) return "";
    return m_tempPath;
}

std::unique_ptr<platform::IWriteFile> FakeFileSystem::Open(const std::string& operation, const std::string& path,
                                                           Disposition disposition)
{
    using platform::FileError;
    const bool mustBeNew = disposition == Disposition::createNew;
    const bool mustExist = disposition == Disposition::openExisting || disposition == Disposition::leftover;
    std::string full, key;
    if (Begin(operation, path)) return nullptr;
    if (!Resolve(path, full, key) || !RootUsable(key) || !ParentIsDirectory(key)) {
        MarkFailed(FileError::kNotFound);
        return nullptr;
    }
    Node* node = Find(key);
    if (node && mustBeNew) {
        MarkFailed(FileError::kExists);
        return nullptr;
    }
    if (node && (node->isDirectory || node->openWriters > 0)) {
        MarkFailed(node->isDirectory ? FileError::kDenied : FileError::kInUse);
        return nullptr;
    }
    if (!node && mustExist) {
        MarkFailed(FileError::kNotFound);
        return nullptr;
    }
    // A link is held like a file, but never emptied or taken as a leftover.
    if (node && !node->linkTo.empty() && disposition != Disposition::openExisting) {
        MarkFailed();
        return nullptr;
    }
    if (!(RightsOf(key) & 2)) {
        MarkFailed(FileError::kDenied);
        return nullptr;
    }
    if (node) {
        if (disposition == Disposition::createAlways) node->bytes.clear();
    } else {
        m_nodes[key] = Node{full, false, "", 0, ""};
        node = Find(key);
    }
    node->openWriters++;
    return std::make_unique<WriteFile>(this, key, node->path);
}

std::unique_ptr<platform::IWriteFile> FakeFileSystem::CreateExclusive(const std::string& path)
{
    return Open("CreateExclusive", path, Disposition::createAlways);
}

std::unique_ptr<platform::IWriteFile> FakeFileSystem::CreateNew(const std::string& path)
{
    return Open("CreateNew", path, Disposition::createNew);
}

std::unique_ptr<platform::IWriteFile> FakeFileSystem::HoldExclusive(const std::string& path)
{
    return Open("HoldExclusive", path, Disposition::openExisting);
}

std::unique_ptr<platform::IWriteFile> FakeFileSystem::OpenLeftover(const std::string& path)
{
    return Open("OpenLeftover", path, Disposition::leftover);
}

std::vector<std::string> FakeFileSystem::ListFiles(const std::string& folder, const std::string& suffix)
{
    std::vector<std::string> names;
    std::string full, key;
    if (Begin("ListFiles", folder, suffix)) return names;
    const Node* dir = nullptr;
    if (!Resolve(folder.empty() ? m_currentDir : folder, full, key) || !RootUsable(key) || !(dir = Find(key)) ||
        !dir->isDirectory || !(RightsOf(key) & 4)) {
        MarkFailed();
        return names;
    }
    const std::string wanted = KeyOf(suffix);
    for (const auto& entry : m_nodes) {
        const Node& node = entry.second;
        if (node.isDirectory || ParentKey(entry.first, false) != key) continue;
        if (entry.first.size() < wanted.size() ||
            entry.first.compare(entry.first.size() - wanted.size(), wanted.size(), wanted) != 0)
            continue;
        // The name is what follows the parent's path and its separator.
        const std::size_t skip = dir->path.size() + (dir->path.back() == '\\' ? 0 : 1);
        names.push_back(node.path.substr(skip));
    }
    return names;
}

bool FakeFileSystem::ReadFile(const std::string& path, std::size_t maxBytes, std::string& data)
{
    std::string full, key;
    if (Begin("ReadFile", path)) return false;
    const Node* node = nullptr;
    if (!Resolve(path, full, key) || !RootUsable(key) || !(node = Find(key)) || node->isDirectory ||
        !(RightsOf(key) & 4)) {
        MarkFailed();
        return false;
    }
    data = node->bytes.substr(0, std::min(maxBytes, node->bytes.size()));
    return true;
}

platform::ReplaceResult FakeFileSystem::ReplaceFile(const std::string& from, const std::string& to)
{
    using platform::ReplaceResult;
    std::string fromFull, fromKey, toFull, toKey;
    if (Begin("ReplaceFile", from, to)) return ReplaceResult::kRefused;
    Node* source = nullptr;
    if (!Resolve(from, fromFull, fromKey) || !Resolve(to, toFull, toKey) || !RootUsable(fromKey) ||
        !RootUsable(toKey) || !(source = Find(fromKey)) || source->isDirectory || source->openWriters > 0 ||
        !ParentIsDirectory(toKey) || !(RightsOf(toKey) & 2)) {
        MarkFailed();
        return ReplaceResult::kRefused;
    }
    if (fromKey == toKey) return ReplaceResult::kReplaced;
    const Node* target = Find(toKey);
    if (target && (target->isDirectory || target->openWriters > 0)) {
        MarkFailed();
        return ReplaceResult::kRefused;
    }
    // A rename needs the right to delete, in the source's folder and over the target.
    if (!MayDelete(fromKey) || (target && !MayDelete(toKey))) {
        MarkFailed();
        return ReplaceResult::kDenied;
    }
    if (m_replaceOutcome != ReplaceResult::kReplaced) {
        MarkFailed();
        if (m_replaceOutcome == ReplaceResult::kOnlyAtSource && target) {
            m_deleted[toKey] = target->bytes;
            m_nodes.erase(toKey);
        }
        return m_replaceOutcome;
    }
    Node moved = *source;
    moved.path = toFull;
    m_nodes.erase(fromKey);
    m_nodes[toKey] = moved;
    return ReplaceResult::kReplaced;
}

bool FakeFileSystem::DeleteFile(const std::string& path)
{
    std::string full, key;
    if (Begin("DeleteFile", path)) return false;
    const Node* node = nullptr;
    if (!Resolve(path, full, key) || !RootUsable(key) || !(node = Find(key)) || node->isDirectory ||
        node->openWriters > 0 || !node->linkTo.empty() || !(RightsOf(key) & 2) || !MayDelete(key)) {
        MarkFailed(!node ? platform::FileError::kNotFound
                         : node->openWriters > 0 ? platform::FileError::kInUse : platform::FileError::kDenied);
        return false;
    }
    m_deleted[key] = node->bytes;
    m_nodes.erase(key);
    return true;
}

std::string FakeFileSystem::DeletedBytes(const std::string& path) const
{
    std::string full, key;
    if (!Resolve(path, full, key)) return std::string();
    const auto it = m_deleted.find(key);
    return it == m_deleted.end() ? std::string() : it->second;
}

std::string FakeFileSystem::GetProfileString(const std::string& file, const std::string& section,
                                             const std::string& key, const std::string& defaultValue,
                                             std::size_t size)
{
    auto cut = [size](std::string text) {
        if (size == 0) return std::string();
        if (text.size() > size - 1) text.resize(size - 1);
        return text;
    };
    if (Begin("GetProfileString", file, section + "/" + key)) return cut(defaultValue);
    std::string full, nodeKey;
    const Node* node = nullptr;
    if (!Resolve(file, full, nodeKey) || !RootUsable(nodeKey) || !(node = Find(nodeKey)) || node->isDirectory)
        return cut(defaultValue);
    std::string wantSection = KeyOf(Trim(section));
    std::string wantKey = KeyOf(Trim(key));
    bool inSection = false;
    std::size_t pos = 0;
    const std::string& text = node->bytes;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = end + 1;
        std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed[0] == '[') {
            std::size_t close = trimmed.find(']');
            inSection = close != std::string::npos && KeyOf(Trim(trimmed.substr(1, close - 1))) == wantSection;
            continue;
        }
        if (!inSection) continue;
        std::size_t eq = trimmed.find('=');
        if (eq == std::string::npos) continue;
        if (KeyOf(Trim(trimmed.substr(0, eq))) != wantKey) continue;
        std::string value = Trim(trimmed.substr(eq + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        return cut(value);
    }
    return cut(defaultValue);
}

void FakeFileSystem::DenyDeleting(const std::string& folder)
{
    std::string full, key;
    if (Resolve(folder, full, key)) m_noDelete.insert(key);
}

bool FakeFileSystem::MayDelete(const std::string& key) const
{
    return m_noDelete.count(ParentKey(key, false)) == 0;
}

}  // namespace fakes
