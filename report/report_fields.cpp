#include "report/report_fields.h"

#include <cstring>
#include <string_view>

#include "common/cp932_cut.h"
#include "report/value_text.h"
#include "report/xml_writer.h"

namespace report_fields {

int Text(ClXmlWriter& writer, const char* name, const char* text, int depth)
{
    return writer.WriteElement(name, text ? text : "", depth);
}

int SlotText(ClXmlWriter& writer, const char* name, const char* slot, std::size_t slotSize, int depth)
{
    char text[256];
    std::size_t limit = slotSize ? slotSize - 1 : 0;
    if (limit > sizeof text - 1) limit = sizeof text - 1;
    const std::size_t length = cp932::FitLength(std::string_view(slot, strnlen(slot, limit + 1)), limit);
    std::memcpy(text, slot, length);
    text[length] = '\0';
    return Text(writer, name, text, depth);
}

int Amount(ClXmlWriter& writer, const char* name, int64_t value, int depth)
{
    char text[kValueTextSize];
    FormatAmount(value, text);
    return Text(writer, name, text, depth);
}

int Integer(ClXmlWriter& writer, const char* name, int32_t value, int depth)
{
    char text[kValueTextSize];
    FormatInteger(value, text);
    return Text(writer, name, text, depth);
}

int Number(ClXmlWriter& writer, const char* name, int32_t value, int depth)
{
    char text[kValueTextSize];
    FormatNumber(value, text);
    return Text(writer, name, text, depth);
}

int RowStart(ClXmlWriter& writer, const char* name, int32_t n, int depth)
{
    char count[kValueTextSize];
    FormatRowNumber(n, count);
    return writer.WriteStartTag(name, depth, "COUNT", count);
}

int Start(ClXmlWriter& writer, const char* name, int depth)
{
    return writer.WriteStartTag(name, depth);
}

int End(ClXmlWriter& writer, const char* name, int depth)
{
    return writer.WriteEndTag(name, depth);
}

}  // namespace report_fields
