// Writes the report one complete line per call over a file object of ours.
//
// Every text and attribute value is taken up to 255 bytes (cut on a character
// boundary) and escaped; the escaped form is always written whole. Lines are composed
// straight into the report file's gathered bytes where it gathers them, else in the
// writer's own buffer; either has room for the longest possible line, so no composition
// can overflow it.
// After a failed write the file stays attached and failed: every later write fails.
// Close only detaches the file: committing the report is its owner's last step.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "report/report_file.h"

class ClXmlWriter {
public:
    // The bounds of one line's pieces, and of the line they make.
    static constexpr std::size_t kMaxValueBytes = 255;
    static constexpr std::size_t kMaxNameBytes = 255;
    static constexpr int kMaxDepth = 32;
    static constexpr std::size_t kLineSize =
        kMaxDepth + 2 * kMaxNameBytes + 2 * (kMaxNameBytes + kMaxValueBytes * 6 + 5) + kMaxValueBytes * 6 + 17;

    ClXmlWriter();
    ~ClXmlWriter();
    short Open(ClReportFile* file, const char* path);
    short Close();
    int WriteRaw(const char* text);
    int WriteStartTag(const char* name, int depth, const char* attr1 = nullptr, const char* value1 = nullptr,
                      const char* attr2 = nullptr, const char* value2 = nullptr);
    int WriteElement(const char* name, const char* text, int depth, const char* attr1 = nullptr,
                     const char* value1 = nullptr, const char* attr2 = nullptr, const char* value2 = nullptr);
    int WriteEndTag(const char* name, int depth);
    // The escaped form of text (its first 255 bytes, cut on a character boundary).
    static std::string Escape(const char* text);

private:
    // Bytes to the file; 0 after a file error.
    int WriteBytes(const char* bytes, std::size_t size);
    // Where the next line is composed, and its end: the line is then in the file.
    char* LineSpace();
    int EndLine(std::size_t size);

    ClReportFile* m_file;
    std::string m_path;
    std::unique_ptr<char[]> m_line;   // where lines are composed when the file gathers nothing
    bool m_direct = false;
};
