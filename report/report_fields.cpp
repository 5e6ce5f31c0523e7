#include "report/report_fields.h"

#include <cstring>
#include <string_view>

#include "common/cp932_cut.h"
#include "report/value_text.h"
#include "report/xml_writer.h"

namespace report_fields {

void Text(ClXmlWriter& writer, const char* name, const char* text, int depth)
{
    writer.WriteElement(name, text ? text : "", depth);
}

void SlotText(ClXmlWriter& writer, const char* name, const char* slot, std::size_t slotSize, int depth)
{
    char text[256];
    std::size_t limit = slotSize ? slotSize - 1 : 0;
    if (limit > sizeof text - 1) limit = sizeof text - 1;
    const std::size_t length = cp932::FitLength(std::string_view(slot, strnlen(slot, limit + 1)), limit);
    std::memcpy(text, slot, length);
    text[length] = '\0';
    Text(writer, name, text, depth);
}

void Amount(ClXmlWriter& writer, const char* name, int64_t value, int depth)
{
    char text[kValueTextSize];
    FormatAmount(value, text);
    Text(writer, name, text, depth);
}

void Integer(ClXmlWriter& writer, const char* name, int32_t value, int depth)
{
    char text[kValueTextSize];
    FormatInteger(value, text);
    Text(writer, name, text, depth);
}

void Number(ClXmlWriter& writer, const char* name, int32_t value, int depth)
{
    char text[kValueTextSize];
    FormatNumber(value, text);
    Text(writer, name, text, depth);
}

void RowStart(ClXmlWriter& writer, const char* name, int32_t n, int depth)
{
    char count[kValueTextSize];
    FormatRowNumber(n, count);
    writer.WriteStartTag(name, depth, "COUNT", count);
}

void Start(ClXmlWriter& writer, const char* name, int depth)
{
    writer.WriteStartTag(name, depth);
}

void End(ClXmlWriter& writer, const char* name, int depth)
{
    writer.WriteEndTag(name, depth);
}

}  // namespace report_fields
