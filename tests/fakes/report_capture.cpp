#include "tests/fakes/report_capture.h"

#include <cstdio>

namespace fakes {

ReportCapture::ReportCapture() { writer.Open(&file, kPath); }

ReportCapture::~ReportCapture() { writer.Close(); }

std::string ReportCapture::Bytes()
{
    writer.Close();
    file.Commit();
    // A failed report never takes the destination's place and its side file is removed:
    // what the sections wrote before the failure is what that file held.
    if (fs.HasFile(kPath)) return fs.FileBytes(kPath);
    return fs.DeletedBytes(std::string(kPath) + ".1.unfinished");
}

std::string Element(int depth, const std::string& name, const std::string& text)
{
    return std::string(static_cast<std::size_t>(depth), '\t') + "<" + name + ">" + text + "</" + name + ">\r\n";
}

std::string Elements(const std::vector<std::pair<std::string, std::string>>& items)
{
    std::string out;
    for (const auto& [name, text] : items)
        out += Element(4, name, text);
    return out;
}

std::string Visible(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n\n";
            break;
        default:
            if (c >= 0x20 && c < 0x7F && c != '\\') {
                out += static_cast<char>(c);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof(hex), "\\x%02X", c);
                out += hex;
            }
        }
    }
    return out;
}

}  // namespace fakes
