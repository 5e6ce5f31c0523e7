#include "report/support_info.h"

#include <cstring>
#include <new>
#include <string_view>

#include "common/cp932_cut.h"
#include "common/program_texts.h"
#include "platform/services.h"

namespace {
const char kFileName[] = "SUPPORT.INF";
}  // namespace

ClSupportInfo::ClSupportInfo() { m_value[0] = '\0'; }

ClSupportInfo::~ClSupportInfo() { delete[] m_block; }

char* ClSupportInfo::AllocateBlock() { return new (std::nothrow) char[kBlockSize]; }

const char* ClSupportInfo::GetProductName() { return Lookup(texts::kProductNameTag); }

const char* ClSupportInfo::GetProductVersion() { return Lookup(texts::kProductVersionTag); }

bool ClSupportInfo::Load()
{
    if (m_block) return true;
    m_block = AllocateBlock();
    if (!m_block) {
        // Every lookup that finds no memory says so and tries again the next time.
        if (platform::IMessageBoxes* boxes = platform::GetServices().boxes)
            boxes->Show(nullptr, texts::kNoMemory, texts::kCaption, platform::MB_TYPE_OK | platform::MB_TYPE_ICONEXCLAMATION);
        return false;
    }
    std::memset(m_block, 0xFF, kBlockSize);
    m_loadedBytes = 0;
    std::string data;
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (fs && fs->ReadFile(m_folderPrefix + kFileName, kBlockSize, data)) {
        m_loadedBytes = data.size() < kBlockSize ? data.size() : kBlockSize;
        std::memcpy(m_block, data.data(), m_loadedBytes);
    }
    // CR LF pairs and the end mark 0x1A become NUL, so each value ends with its line.
    for (std::size_t i = 0; i < m_loadedBytes; ++i) {
        if (m_block[i] == '\r' && i + 1 < m_loadedBytes && m_block[i + 1] == '\n') {
            m_block[i] = m_block[i + 1] = '\0';
            ++i;
        } else if (m_block[i] == 0x1A) {
            m_block[i] = '\0';
        }
    }
    return true;
}

const char* ClSupportInfo::Lookup(const char* tag)
{
    m_value[0] = '\0';
    if (!Load()) return m_value;
    // Only the file's own bytes are searched: the rest of the block has no end mark.
    std::string_view block(m_block, m_loadedBytes);
    std::size_t at = block.find(tag);
    if (at == std::string_view::npos) return m_value;
    std::string_view rest = block.substr(at + std::strlen(tag));
    std::size_t end = rest.find('\0');
    if (end != std::string_view::npos) rest = rest.substr(0, end);
    const std::size_t length = cp932::FitLength(rest, kValueSize - 1);
    std::memcpy(m_value, rest.data(), length);
    m_value[length] = '\0';
    return m_value;
}
