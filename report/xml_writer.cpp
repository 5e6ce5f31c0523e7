#include "report/xml_writer.h"

#include <cstring>
#include <string_view>

#include "common/cp932.h"

namespace {

// A value is at most 255 bytes before escaping; its escaped form (up to six bytes a
// byte) is always written whole, so the buffers below are sized for the worst case.
constexpr std::size_t kMaxValueBytes = ClXmlWriter::kMaxValueBytes;
constexpr std::size_t kMaxNameBytes = ClXmlWriter::kMaxNameBytes;
constexpr int kMaxDepth = ClXmlWriter::kMaxDepth;
constexpr std::size_t kEscapedSize = kMaxValueBytes * 6 + 1;
constexpr std::size_t kLineSize = ClXmlWriter::kLineSize;

// What the escape does with each byte: copies it, leaves it out (control bytes XML 1.0
// does not allow), writes a markup character's reference, or looks at the next byte
// too (bytes from 0x80). One look-up a byte, as every text of the report passes here.
enum ByteClass : unsigned char { kCopy, kDrop, kMarkup, kHigh };
struct ByteClasses {
    unsigned char of[256];
    constexpr ByteClasses() : of()
    {
        for (int b = 0; b < 256; ++b)
            of[b] = b >= 0x80 ? kHigh : (b < 0x20 && b != 0x09 && b != 0x0A && b != 0x0D) ? kDrop : kCopy;
        for (unsigned char b : {'&', '<', '>', '"', '\''}) of[b] = kMarkup;
    }
};
constexpr ByteClasses kClasses;

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

// Host texts may hold anything: a lead byte without its trail byte, control bytes, bytes
// that code page 932 leaves undefined. Such characters cannot stand in an XML 1.0 document
// (or could not be decoded by its reader), so they are left out; every character of
// valid text is kept as it is, and the five markup characters are escaped.
//
// Writes the escaped form of text (at most kMaxValueBytes of it) to out, which holds
// kEscapedSize bytes, and returns its length; no NUL is added. Runs once for every
// text of the report, so it works byte by byte without any call per character.
std::size_t EscapeInto(const char* text, char* out)
{
    if (!text) return 0;
    // Reads to the NUL or to kMaxValueBytes, whichever comes first, in the one pass: a
    // character that would end past the limit is cut off whole.
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    std::size_t n = 0;
    for (std::size_t i = 0; i < kMaxValueBytes && in[i] != 0; ++i) {
        const unsigned char b = in[i];
        switch (kClasses.of[b]) {
        case kCopy:
            out[n++] = static_cast<char>(b);
            break;
        case kDrop:
            break;
        case kMarkup:
            switch (b) {
            case '&': std::memcpy(out + n, "&amp;", 5); n += 5; break;
            case '>': std::memcpy(out + n, "&gt;", 4); n += 4; break;
            case '<': std::memcpy(out + n, "&lt;", 4); n += 4; break;
            case '"': std::memcpy(out + n, "&quot;", 6); n += 6; break;
            default: std::memcpy(out + n, "&apos;", 6); n += 6; break;
            }
            break;
        default:
            if (i + 1 < kMaxValueBytes && cp932::IsMappedPair(b, in[i + 1])) {
                out[n++] = static_cast<char>(b);
                out[n++] = static_cast<char>(in[i + 1]);
                ++i;
            } else if (i + 1 < kMaxValueBytes && cp932::IsLeadByte(b) && cp932::IsTrailByte(in[i + 1])) {
                ++i;   // a pair without a character: left out whole
            } else if (b >= 0xA1 && b <= 0xDF) {
                // Half-width kana stay; stray lead bytes and undefined bytes go.
                out[n++] = static_cast<char>(b);
            }
            break;
        }
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
        std::memcpy(m_out + m_size, text, size);
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
    void AppendEscaped(const char* text) { m_size += EscapeInto(text, m_out + m_size); }
    void AppendTabs(int depth)
    {
        if (depth > kMaxDepth) depth = kMaxDepth;
        if (depth <= 0) return;
        std::memset(m_out + m_size, '\t', static_cast<std::size_t>(depth));
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

char* ClXmlWriter::LineSpace()
{
    // Straight into the file's gathered bytes where it gathers them: one copy less.
    char* space = m_file ? m_file->LineSpace(kLineSize) : nullptr;
    m_direct = space != nullptr;
    return m_direct ? space : m_line.get();
}

void ClXmlWriter::EndLine(std::size_t size)
{
    if (!m_direct) {
        WriteBytes(m_line.get(), size);
        return;
    }
    m_file->TakeLine(size);
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
    LineBuilder b(LineSpace());
    b.AppendTabs(depth);
    b.Append("<", 1);
    const std::size_t nameSize = b.AppendName(name);
    b.AppendAttributes(attr1, value1, attr2, value2);
    b.Append(">", 1);
    b.AppendEscaped(text);
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

std::string ClXmlWriter::Escape(const char* text)
{
    std::string escaped(kEscapedSize, '\0');
    escaped.resize(EscapeInto(text, escaped.data()));
    return escaped;
}
