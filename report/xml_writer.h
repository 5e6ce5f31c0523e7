// Writes the report one complete line per call over a file object of ours.
//
// Every text and attribute value is taken up to 255 bytes (cut on a character
// boundary) and escaped; the escaped form is always written whole. Lines are composed
// straight into the report file's gathered bytes where it gathers them, else in the
// writer's own buffer; either has room for the longest possible line, so no composition
// can overflow it.
// Write calls return nothing: the file's failure is sticky (after a failed write every
// later write fails and nothing more reaches the disk), so the one error is read once,
// through Failed, when the report is finished.
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
    // A missing file or path leaves the writer failed.
    void Open(ClReportFile* file, const char* path);
    void Close();
    void WriteRaw(const char* text);
    void WriteStartTag(const char* name, int depth, const char* attr1 = nullptr, const char* value1 = nullptr,
                       const char* attr2 = nullptr, const char* value2 = nullptr);
    void WriteElement(const char* name, const char* text, int depth, const char* attr1 = nullptr,
                      const char* value1 = nullptr, const char* attr2 = nullptr, const char* value2 = nullptr);
    // An element whose text is at most the first maxBytes bytes of text (never more than
    // 255), cut on a character boundary: for fixed slots that may lack their NUL and for
    // fields narrower than their slot, without a cut copy first.
    void WriteCutElement(const char* name, const char* text, std::size_t maxBytes, int depth);
    // An element whose text the program formed itself from characters that need no
    // escaping (the digits, sign and point of a number), size bytes of it: copied as it is.
    void WritePlainElement(const char* name, const char* text, std::size_t size, int depth);
    void WriteEndTag(const char* name, int depth);
    // True when no file is attached or the file has failed: the report is then not whole.
    bool Failed() const;
    // The escaped form of text (its first maxBytes bytes, at most 255, cut on a
    // character boundary).
    static std::string Escape(const char* text, std::size_t maxBytes = kMaxValueBytes);

private:
    // Bytes to the file; a failure stays with the file.
    void WriteBytes(const char* bytes, std::size_t size);
    // Where the next line is composed, and its end: the line is then in the file.
    char* LineSpace();
    void EndLine(std::size_t size);
    // One element line; its text escaped up to size bytes, or when plain copied as it is.
    void WriteLine(const char* name, const char* text, std::size_t size, bool plain, int depth, const char* attr1,
                   const char* value1, const char* attr2, const char* value2);

    ClReportFile* m_file;
    std::string m_path;
    std::unique_ptr<char[]> m_line;   // where lines are composed when the file gathers nothing
    bool m_direct = false;
};
