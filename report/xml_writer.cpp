#include "report/xml_writer.h"

#include <cstring>
#include <string_view>

#include "common/cp932.h"

namespace {

// A value is at most 255 bytes before escaping; its escaped form (up to six bytes a
// byte) is always written whole, so the buffers below are sized for the worst case.
constexpr std::size_t kMaxValueBytes = 255;
constexpr std::size_t kMaxNameBytes = 255;
constexpr int kMaxDepth = 32;
constexpr std::size_t kEscapedSize = kMaxValueBytes * 6 + 1;
constexpr std::size_t kLineSize = kMaxDepth + 2 * kMaxNameBytes + 2 * (kMaxNameBytes + kEscapedSize + 4) +
                                  kEscapedSize + 16;

char g_escaped[kEscapedSize];
char g_line[kLineSize];

// Length of the longest prefix of text within limit bytes that ends on a character
// boundary, found by walking from the start.
std::size_t BoundedLength(const char* text, std::size_t limit)
{
    if (!text) return 0;
    std::string_view view(text, strnlen(text, limit + 1));
    if (view.size() <= limit) return view.size();
    std::size_t i = 0;
    while (i < view.size()) {
        std::size_t n = cp932::CharLengthAt(view, i);
        if (i + n > limit) break;
        i += n;
    }
    return i;
}

// Appends into g_line; the sizes above make an overflow impossible, the check keeps
// it so should a limit ever change.
class LineBuilder {
public:
    LineBuilder() { g_line[0] = '\0'; }
    void Append(const char* text, std::size_t size)
    {
        if (size > kLineSize - 1 - m_size) size = kLineSize - 1 - m_size;
        std::memcpy(g_line + m_size, text, size);
        m_size += size;
        g_line[m_size] = '\0';
    }
    void Append(const char* text) { Append(text, std::strlen(text)); }
    void AppendName(const char* name) { Append(name ? name : "", BoundedLength(name, kMaxNameBytes)); }
    void AppendEscaped(const char* text) { Append(ClXmlWriter::Escape(text)); }
    void AppendTabs(int depth)
    {
        if (depth > kMaxDepth) depth = kMaxDepth;
        for (int i = 0; i < depth; ++i) Append("\t", 1);
    }
    // " name="value"" for each given pair; the second only when the first is written.
    void AppendAttributes(const char* attr1, const char* value1, const char* attr2, const char* value2)
    {
        if (!attr1 || !value1) return;
        AppendAttribute(attr1, value1);
        if (attr2 && value2) AppendAttribute(attr2, value2);
    }

private:
    void AppendAttribute(const char* name, const char* value)
    {
        Append(" ", 1);
        AppendName(name);
        Append("=\"", 2);
        AppendEscaped(value);
        Append("\"", 1);
    }
    std::size_t m_size = 0;
};

}  // namespace

ClXmlWriter::ClXmlWriter() : m_file(nullptr) {}

ClXmlWriter::~ClXmlWriter() { Close(); }

short ClXmlWriter::Open(ClReportFile* file, const char* path)
{
    if (!file || !path) return -1;
    m_path = path;
    m_file = file;
    // A file that cannot be created shows at the first write.
    m_file->Open(path);
    return 0;
}

short ClXmlWriter::Close()
{
    if (m_file) {
        m_file->Close();
        m_file = nullptr;
    }
    return 0;
}

int ClXmlWriter::WriteRaw(const char* text)
{
    if (!m_file || !text) return 0;
    if (!m_file->Write(text, std::strlen(text))) {
        // The file stays attached but closed, so every later write fails too.
        m_file->Close();
        return 0;
    }
    return 1;
}

int ClXmlWriter::WriteStartTag(char* line, const char* name, int depth, const char* attr1, const char* value1,
                               const char* attr2, const char* value2)
{
    (void)line;  // composed in the writer's own worst-case buffer
    LineBuilder b;
    b.AppendTabs(depth);
    b.Append("<", 1);
    b.AppendName(name);
    b.AppendAttributes(attr1, value1, attr2, value2);
    b.Append(">\r\n", 3);
    return WriteRaw(g_line);
}

int ClXmlWriter::WriteElement(char* line, const char* name, const char* text, int depth, const char* attr1,
                              const char* value1, const char* attr2, const char* value2)
{
    (void)line;
    LineBuilder b;
    b.AppendTabs(depth);
    b.Append("<", 1);
    b.AppendName(name);
    b.AppendAttributes(attr1, value1, attr2, value2);
    b.Append(">", 1);
    b.AppendEscaped(text);
    b.Append("</", 2);
    b.AppendName(name);
    b.Append(">\r\n", 3);
    return WriteRaw(g_line);
}

int ClXmlWriter::WriteEndTag(char* line, const char* name, int depth)
{
    (void)line;
    LineBuilder b;
    b.AppendTabs(depth);
    b.Append("</", 2);
    b.AppendName(name);
    b.Append(">\r\n", 3);
    return WriteRaw(g_line);
}

// Host texts may hold anything: a lead byte without its trail byte, control bytes, bytes
// that code page 932 leaves undefined. Such characters cannot stand in an XML 1.0 document
// (or could not be decoded by its reader), so they are left out; every character of
// valid text is kept as it is, so valid text escapes exactly as before.
namespace {

// Bytes of the character at pos when the report may hold it, else 0; *skip is then how
// many bytes to leave out (a whole undefined pair, or one stray byte).
std::size_t KeptCharAt(std::string_view text, std::size_t pos, std::size_t* skip)
{
    const unsigned char b = static_cast<unsigned char>(text[pos]);
    if (cp932::CharLengthAt(text, pos) == 2) {
        bool defined = false;
        cp932::ToUtf16(text.substr(pos, 2), &defined);
        *skip = 2;
        return defined ? 2 : 0;
    }
    *skip = 1;
    if (b < 0x20) return (b == 0x09 || b == 0x0A || b == 0x0D) ? 1 : 0;
    if (b < 0x80) return 1;
    return (b >= 0xA1 && b <= 0xDF) ? 1 : 0;   // half-width kana; the rest are lead or undefined bytes
}

}  // namespace

const char* ClXmlWriter::Escape(const char* text)
{
    std::size_t length = BoundedLength(text, kMaxValueBytes);
    const std::string_view view(text ? text : "", length);
    std::size_t out = 0;
    for (std::size_t i = 0; i < length;) {
        std::size_t skip = 1;
        const std::size_t kept = KeptCharAt(view, i, &skip);
        if (kept == 2) {
            g_escaped[out++] = text[i];
            g_escaped[out++] = text[i + 1];
        } else if (kept == 1) {
            const char* replacement = nullptr;
            switch (text[i]) {
            case '&': replacement = "&amp;"; break;
            case '>': replacement = "&gt;"; break;
            case '<': replacement = "&lt;"; break;
            case '"': replacement = "&quot;"; break;
            case '\'': replacement = "&apos;"; break;
            default: break;
            }
            if (replacement) {
                std::size_t n = std::strlen(replacement);
                std::memcpy(g_escaped + out, replacement, n);
                out += n;
            } else {
                g_escaped[out++] = text[i];
            }
        }
        i += skip;
    }
    g_escaped[out] = '\0';
    return g_escaped;
}
