// Writes the report one complete line per call over a file object of ours.
//
// Every text and attribute value is taken up to 255 bytes (cut on a character
// boundary) and escaped; the escaped form is always written whole. Lines are composed
// in the writer's own buffer, sized for the longest possible line, so no composition
// can overflow it.
// After a failed write the file stays attached and failed: every later write fails.
// Close only detaches the file: committing the report is its owner's last step.
#pragma once

#include <cstddef>
#include <string>

#include "report/report_file.h"

class ClXmlWriter {
public:
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
    static const char* Escape(const char* text);

private:
    // One composed line to the file; 0 after a file error (the file is then closed).
    int WriteBytes(const char* bytes, std::size_t size);

    ClReportFile* m_file;
    std::string m_path;
};
