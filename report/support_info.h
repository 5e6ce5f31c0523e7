// The product information file "SUPPORT.INF" of the program's folder: tagged lines
// whose product name and version go into the report's SYSTEM section.
#pragma once

#include <cstddef>
#include <string>

class ClSupportInfo {
public:
    static constexpr std::size_t kBlockSize = 30000;
    static constexpr std::size_t kValueSize = 256;

    ClSupportInfo();
    virtual ~ClSupportInfo();
    ClSupportInfo(const ClSupportInfo&) = delete;
    ClSupportInfo& operator=(const ClSupportInfo&) = delete;

    // The field's text (at most 255 bytes, cut on a character boundary), or the empty
    // text when the file, the tag or the memory is missing. The text lives in the
    // reader and is overwritten by the next lookup.
    const char* GetProductName();
    const char* GetProductVersion();

protected:
    // The block of kBlockSize bytes; null when it cannot be had. Tests replace it.
    virtual char* AllocateBlock();

private:
    const char* Lookup(const char* tag);
    bool Load();

    char* m_block = nullptr;
    std::size_t m_loadedBytes = 0;   // bytes that came from the file
    std::string m_folderPrefix;      // always empty: the current folder is the program's
    char m_value[kValueSize];
};
