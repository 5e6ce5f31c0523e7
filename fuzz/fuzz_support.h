// Shared pieces of the fuzz targets: invariant checks that abort with a message (so
// libFuzzer keeps the input as a crash), the fake services, and text checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/cp932.h"
#include "platform/services.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_message_boxes.h"

#define FUZZ_CHECK(condition, what)                                                        \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "invariant broken at %s:%d: %s\n  (%s)\n", __FILE__,     \
                         __LINE__, what, #condition);                                      \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

namespace fuzz {

// Installs a fresh fake file system and message boxes for one input; puts the
// previous services back when it goes.
class FakeServices {
public:
    FakeServices() : m_previous(platform::GetServices())
    {
        platform::Services services;
        services.fs = &fs;
        services.boxes = &boxes;
        platform::SetServices(services);
    }
    ~FakeServices() { platform::SetServices(m_previous); }
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    fakes::FakeFileSystem fs;
    fakes::FakeMessageBoxes boxes;

private:
    platform::Services m_previous;
};

// Reads the input front to back; running out gives zeros and empty texts.
class Reader {
public:
    Reader(const uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint32_t Number()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
        return v;
    }
    int64_t Wide()
    {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = (v << 8) | Byte();
        return static_cast<int64_t>(v);
    }
    // A text of at most limit bytes that ends at the separator byte 0x00 (not included).
    std::string Text(std::size_t limit = 4096)
    {
        std::string out;
        while (m_pos < m_size && out.size() < limit) {
            char c = static_cast<char>(m_data[m_pos++]);
            if (c == '\0') break;
            out += c;
        }
        return out;
    }
    std::string Rest()
    {
        std::string out(reinterpret_cast<const char*>(m_data + m_pos), m_size - m_pos);
        m_pos = m_size;
        return out;
    }

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// True when pos is a character boundary of text, walking from its start.
inline bool IsBoundary(std::string_view text, std::size_t pos)
{
    return pos >= text.size() ? pos == text.size() || pos == 0 : !cp932::IsTrailAt(text, pos);
}

// A character the report may hold: TAB, LF, CR, 0x20-0x7F, a half-width kana, or a
// double-byte character that code page 932 defines.
inline std::size_t DefinedCharAt(std::string_view text, std::size_t pos)
{
    const unsigned char b = static_cast<unsigned char>(text[pos]);
    if (b == 0x09 || b == 0x0A || b == 0x0D || (b >= 0x20 && b <= 0x7F) || (b >= 0xA1 && b <= 0xDF)) return 1;
    if (cp932::CharLengthAt(text, pos) == 2) {
        bool lossless = false;
        cp932::ToUtf16(text.substr(pos, 2), &lossless);
        if (lossless) return 2;
    }
    return 0;
}

// True when every character of text is one DefinedCharAt accepts.
inline bool AllDefined(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = DefinedCharAt(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

// The text with the five entities of the writer turned back into their characters;
// false when an "&" starts anything else.
inline bool Unescape(std::string_view text, std::string& out)
{
    static const struct {
        const char* entity;
        char c;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        bool known = false;
        for (const auto& e : kEntities) {
            std::string_view name(e.entity);
            if (text.substr(i, name.size()) == name) {
                out += e.c;
                i += name.size();
                known = true;
                break;
            }
        }
        if (!known) return false;
    }
    return true;
}

// No raw markup character may stand in an escaped text.
inline bool HasNoMarkup(std::string_view text)
{
    return text.find_first_of("<>\"'") == std::string_view::npos;
}

}  // namespace fuzz
