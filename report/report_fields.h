// Small writers of one report line each, shared by the skeleton and the schedules.
// Every one returns 1 when the line was written and 0 when the write failed.
#pragma once

#include <cstddef>
#include <cstdint>

class ClXmlWriter;

namespace report_fields {

int Text(ClXmlWriter& writer, const char* name, const char* text, int depth);
// A text kept in a fixed slot of slotSize bytes: read up to its NUL, and never past
// slotSize - 1 bytes (cut on a character boundary) should the NUL be missing.
int SlotText(ClXmlWriter& writer, const char* name, const char* slot, std::size_t slotSize, int depth);
int Amount(ClXmlWriter& writer, const char* name, int64_t value, int depth);
int Integer(ClXmlWriter& writer, const char* name, int32_t value, int depth);
int Number(ClXmlWriter& writer, const char* name, int32_t value, int depth);
// The start tag of a schedule row with COUNT = row number text of n.
int RowStart(ClXmlWriter& writer, const char* name, int32_t n, int depth);
int Start(ClXmlWriter& writer, const char* name, int depth);
int End(ClXmlWriter& writer, const char* name, int depth);

}  // namespace report_fields
