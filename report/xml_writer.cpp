#include "report/xml_writer.h"

#include <cstring>
#include <string_view>

#include "common/cp932_cut.h"

namespace {

// A value is at most 255 bytes before escaping; its escaped form (up to six bytes a
// byte) is always written whole, so the buffers below are sized for the worst case.
constexpr std::size_t kMaxValueBytes = ClXmlWriter::kMaxValueBytes;
constexpr std::size_t kMaxNameBytes = ClXmlWriter::kMaxNameBytes;
constexpr int kMaxDepth = ClXmlWriter::kMaxDepth;
constexpr std::size_t kEscapedSize = kMaxValueBytes * 6 + 1;
constexpr std::size_t kLineSize = ClXmlWriter::kLineSize;

// What the escape does with each byte: copies it, ends the text (its NUL), leaves it out
// (control bytes XML 1.0 does not allow), writes a markup character's reference, or
// looks at the next byte too (bytes from 0x80). One look-up a byte, as every text of the
// report passes here.
enum ByteClass : unsigned char { kCopy, kEnd, kDrop, kMarkup, kHigh };
struct ByteClasses {
    unsigned char of[256];
    constexpr ByteClasses() : of()
    {
        for (int b = 0; b < 256; ++b)
            of[b] = b >= 0x80 ? kHigh : (b < 0x20 && b != 0x09 && b != 0x0A && b != 0x0D) ? kDrop : kCopy;
        of[0] = kEnd;
        for (unsigned char b : {'&', '<', '>', '"', '\''}) of[b] = kMarkup;
    }
};
constexpr ByteClasses kClasses;

// Copies a short piece (a name, mostly) with a few fixed-size moves: a copy of a
// variable size would otherwise become a string instruction whose start-up costs more
// than the copy itself, twice a line.
inline void CopyShort(char* to, const char* from, std::size_t size)
{
    if (size >= 16) {
        for (std::size_t i = 0; i + 16 < size; i += 16) std::memcpy(to + i, from + i, 16);
        std::memcpy(to + size - 16, from + size - 16, 16);
    } else if (size >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size > 0) {
        to[0] = from[0];
        to[size / 2] = from[size / 2];
        to[size - 1] = from[size - 1];
    }
}

// Length of the longest prefix of text within limit bytes that ends on a character
// boundary, found by walking from the start.
std::size_t BoundedLength(const char* text, std::size_t limit)
{
    if (!text) return 0;
    const std::size_t size = strnlen(text, limit + 1);
    return size <= limit ? size : cp932::FitLength(std::string_view(text, size), limit);
}

// Host texts may hold anything: a lead byte without its trail byte, control bytes, bytes
// that code page 932 leaves undefined. Such characters cannot stand in an XML 1.0 document
// (or could not be decoded by its reader), so they are left out; every character of
// valid text is kept as it is, and the five markup characters are escaped.
//
// Writes the escaped form of text (at most limit bytes of it, and never more than
// kMaxValueBytes) to out, which holds kEscapedSize bytes, and returns its length; no NUL
// is added. Runs once for every text of the report, so it works byte by byte without
// any call per character.
std::size_t EscapeInto(const char* text, std::size_t limit, char* out)
{
    if (!text) return 0;
    if (limit > kMaxValueBytes) limit = kMaxValueBytes;
    // Reads to the NUL or to limit, whichever comes first, in the one pass: a character
    // that would end past the limit is cut off whole, so the text needs no cut copy.
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < limit) {
        unsigned char b = in[i];
        const unsigned char kind = kClasses.of[b];
        if (kind == kCopy) {
            // A run of plain characters, copied without going back through the classes.
            do {
                out[n++] = static_cast<char>(b);
                ++i;
            } while (i < limit && kClasses.of[b = in[i]] == kCopy);
            continue;
        }
        if (kind == kEnd) break;
        if (kind == kHigh) {
            if (i + 1 < limit) {
                unsigned char trail = in[i + 1];
                if (cp932::IsMappedPair(b, trail)) {
                    // A run of two-byte characters, the common case of Japanese text, a
                    // pair at a time. A byte from 0x80 is no NUL, so the byte after it is
                    // still the text's.
                    const unsigned char* pair = in + i;
                    const unsigned char* const lastLead = in + limit - 1;
                    char* to = out + n;
                    do {
                        std::memcpy(to, pair, 2);
                        to += 2;
                        pair += 2;
                    } while (pair < lastLead && pair[0] >= 0x80 && cp932::IsMappedPair(pair[0], pair[1]));
                    i = static_cast<std::size_t>(pair - in);
                    n = static_cast<std::size_t>(to - out);
                    continue;
                }
                if (cp932::IsLeadByte(b) && cp932::IsTrailByte(trail)) {
                    i += 2;   // a pair without a character: left out whole
                    continue;
                }
            }
            // Half-width kana stay; stray lead bytes and undefined bytes go.
            if (b >= 0xA1 && b <= 0xDF) out[n++] = static_cast<char>(b);
        } else if (kind == kMarkup) {
            switch (b) {
            case '&': std::memcpy(out + n, "&amp;", 5); n += 5; break;
            case '>': std::memcpy(out + n, "&gt;", 4); n += 4; break;
            case '<': std::memcpy(out + n, "&lt;", 4); n += 4; break;
            case '"': std::memcpy(out + n, "&quot;", 6); n += 6; break;
            default: std::memcpy(out + n, "&apos;", 6); n += 6; break;
            }
        }
        ++i;
    }
    return n;
}

// Composes one line at out, which holds kLineSize bytes. Every piece is bounded (depth,
// names and escaped values by the limits above), and kLineSize is the sum of those
// bounds, so no line can overflow it.
class LineBuilder {
public:
    explicit LineBuilder(char* out) : m_out(out) {}
    void Append(const char* text, std::size_t size)
    {
        CopyShort(m_out + m_size, text, size);
        m_size += size;
    }
    // Returns the bytes appended, so the closing tag can repeat the name without
    // measuring it again.
    std::size_t AppendName(const char* name)
    {
        const std::size_t size = BoundedLength(name, kMaxNameBytes);
        Append(name ? name : "", size);
        return size;
    }
    void AppendEscaped(const char* text, std::size_t limit = kMaxValueBytes)
    {
        m_size += EscapeInto(text, limit, m_out + m_size);
    }
    void AppendTabs(int depth)
    {
        if (depth > kMaxDepth) depth = kMaxDepth;
        if (depth <= 0) return;
        // The line has room for the deepest indent: one fixed fill, then what it needs.
        std::memset(m_out + m_size, '\t', kMaxDepth);
        m_size += static_cast<std::size_t>(depth);
    }
    // " name="value"" for each given pair; the second only when the first is written.
    void AppendAttributes(const char* attr1, const char* value1, const char* attr2, const char* value2)
    {
        if (!attr1 || !value1) return;
        AppendAttribute(attr1, value1);
        if (attr2 && value2) AppendAttribute(attr2, value2);
    }
    std::size_t size() const { return m_size; }

private:
    void AppendAttribute(const char* name, const char* value)
    {
        Append(" ", 1);
        AppendName(name);
        Append("=\"", 2);
        AppendEscaped(value);
        Append("\"", 1);
    }
    char* m_out;
    std::size_t m_size = 0;
};

}  // namespace

inline char* ClXmlWriter::LineSpace()
{
    // Straight into the file's gathered bytes where it gathers them: one copy less.
    char* space = m_file ? m_file->LineSpace(kLineSize) : nullptr;
    m_direct = space != nullptr;
    return m_direct ? space : m_line.get();
}

inline void ClXmlWriter::EndLine(std::size_t size)
{
    if (!m_direct) {
        WriteBytes(m_line.get(), size);
        return;
    }
    m_file->TakeLine(size);
}

ClXmlWriter::ClXmlWriter() : m_file(nullptr), m_line(new char[kLineSize]) {}

// Only detaches: the report is committed or abandoned by the file's owner.
ClXmlWriter::~ClXmlWriter() = default;

void ClXmlWriter::Open(ClReportFile* file, const char* path)
{
    // Without a file or a path nothing can be written: Failed stays true.
    if (!file || !path) return;
    m_path = path;
    m_file = file;
    // A file that cannot be created is remembered failed by the file itself.
    m_file->Open(path);
}

void ClXmlWriter::Close()
{
    m_file = nullptr;
}

bool ClXmlWriter::Failed() const
{
    return !m_file || m_file->HasFailed();
}

void ClXmlWriter::WriteRaw(const char* text)
{
    if (!text) return;
    WriteBytes(text, std::strlen(text));
}

void ClXmlWriter::WriteBytes(const char* bytes, std::size_t size)
{
    // The file's failure is sticky: every later write fails too, and Failed reports it.
    if (m_file) m_file->Write(bytes, size);
}

void ClXmlWriter::WriteStartTag(const char* name, int depth, const char* attr1, const char* value1, const char* attr2,
                                const char* value2)
{
    LineBuilder b(LineSpace());
    b.AppendTabs(depth);
    b.Append("<", 1);
    b.AppendName(name);
    b.AppendAttributes(attr1, value1, attr2, value2);
    b.Append(">\r\n", 3);
    EndLine(b.size());
}

void ClXmlWriter::WriteElement(const char* name, const char* text, int depth, const char* attr1, const char* value1,
                               const char* attr2, const char* value2)
{
    WriteLine(name, text, kMaxValueBytes, false, depth, attr1, value1, attr2, value2);
}

void ClXmlWriter::WriteCutElement(const char* name, const char* text, std::size_t maxBytes, int depth)
{
    WriteLine(name, text, maxBytes, false, depth, nullptr, nullptr, nullptr, nullptr);
}

void ClXmlWriter::WritePlainElement(const char* name, const char* text, std::size_t size, int depth)
{
    WriteLine(name, text, size, true, depth, nullptr, nullptr, nullptr, nullptr);
}

void ClXmlWriter::WriteLine(const char* name, const char* text, std::size_t size, bool plain, int depth,
                            const char* attr1, const char* value1, const char* attr2, const char* value2)
{
    LineBuilder b(LineSpace());
    b.AppendTabs(depth);
    b.Append("<", 1);
    const std::size_t nameSize = b.AppendName(name);
    b.AppendAttributes(attr1, value1, attr2, value2);
    b.Append(">", 1);
    if (!plain)
        b.AppendEscaped(text, size);
    else if (text)
        b.Append(text, size < kMaxValueBytes ? size : kMaxValueBytes);   // the line's room for a text
    b.Append("</", 2);
    b.Append(name ? name : "", nameSize);
    b.Append(">\r\n", 3);
    EndLine(b.size());
}

void ClXmlWriter::WriteEndTag(const char* name, int depth)
{
    LineBuilder b(LineSpace());
    b.AppendTabs(depth);
    b.Append("</", 2);
    b.AppendName(name);
    b.Append(">\r\n", 3);
    EndLine(b.size());
}

std::string ClXmlWriter::Escape(const char* text, std::size_t maxBytes)
{
    std::string escaped(kEscapedSize, '\0');
    escaped.resize(EscapeInto(text, maxBytes, escaped.data()));
    return escaped;
}
