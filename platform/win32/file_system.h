// IFileSystem on the wide-character Win32 file, path and profile calls.
#pragma once

#include "platform/services.h"

namespace platform::win32 {

class Win32FileSystem : public IFileSystem {
public:
    bool GetCurrentDir(std::string& dir) override;
    bool SetCurrentDir(const std::string& dir) override;
    std::string ModulePath() override;
    bool FileExists(const std::string& path) override;
    bool Access(const std::string& path, int mode) override;
    unsigned GetDriveType(const std::string& root) override;
    bool PathIsDirectory(const std::string& path) override;
    bool Stat(const std::string& path, bool* isDirectory) override;
    bool CreateDirectory(const std::string& path) override;
    bool RemoveDirectory(const std::string& path) override;
    std::string GetTempPath() override;
    std::unique_ptr<IWriteFile> CreateExclusive(const std::string& path) override;
    std::unique_ptr<IWriteFile> CreateNew(const std::string& path) override;
    std::unique_ptr<IWriteFile> HoldExclusive(const std::string& path) override;
    std::unique_ptr<IWriteFile> OpenLeftover(const std::string& path) override;
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix) override;
    bool ReadFile(const std::string& path, std::size_t maxBytes, std::string& data) override;
    bool SameFileName(const std::string& a, const std::string& b) override;
    ReplaceResult ReplaceFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;
    std::string LastErrorText() override;
    FileError LastError() override;
    std::string GetProfileString(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& defaultValue, std::size_t size) override;
};

}  // namespace platform::win32
