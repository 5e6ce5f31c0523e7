#include "report/report_fields.h"

#include "report/value_text.h"
#include "report/xml_writer.h"

namespace report_fields {

void Text(ClXmlWriter& writer, const char* name, const char* text, int depth)
{
    writer.WriteElement(name, text ? text : "", depth);
}

void SlotText(ClXmlWriter& writer, const char* name, const char* slot, std::size_t slotSize, int depth)
{
    writer.WriteCutElement(name, slot, slotSize ? slotSize - 1 : 0, depth);
}

void Amount(ClXmlWriter& writer, const char* name, int64_t value, int depth)
{
    char text[kValueTextSize];
    writer.WritePlainElement(name, text, FormatAmount(value, text), depth);
}

void Integer(ClXmlWriter& writer, const char* name, int32_t value, int depth)
{
    char text[kValueTextSize];
    writer.WritePlainElement(name, text, FormatInteger(value, text), depth);
}

void Number(ClXmlWriter& writer, const char* name, int32_t value, int depth)
{
    char text[kValueTextSize];
    writer.WritePlainElement(name, text, FormatNumber(value, text), depth);
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
