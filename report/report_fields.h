// Small writers of one report line each, shared by the skeleton and the schedules.
// They return nothing: a failed write stays with the writer (ClXmlWriter::Failed).
#pragma once

#include <cstddef>
#include <cstdint>

class ClXmlWriter;

namespace report_fields {

void Text(ClXmlWriter& writer, const char* name, const char* text, int depth);
// A text kept in a fixed slot of slotSize bytes: read up to its NUL, and never past
// slotSize - 1 bytes (cut on a character boundary) should the NUL be missing.
void SlotText(ClXmlWriter& writer, const char* name, const char* slot, std::size_t slotSize, int depth);
void Amount(ClXmlWriter& writer, const char* name, int64_t value, int depth);
void Integer(ClXmlWriter& writer, const char* name, int32_t value, int depth);
void Number(ClXmlWriter& writer, const char* name, int32_t value, int depth);
// The start tag of a schedule row with COUNT = row number text of n.
void RowStart(ClXmlWriter& writer, const char* name, int32_t n, int depth);
void Start(ClXmlWriter& writer, const char* name, int depth);
void End(ClXmlWriter& writer, const char* name, int depth);

}  // namespace report_fields
