// Bytes spelled out for expectations and failure messages, so CP932 texts compare
// and print as the exact bytes they are.
#pragma once

#include <string>
#include <string_view>

namespace fakes {

// Each byte as two hex digits, blank-separated: "95 5C".
std::string HexBytes(std::string_view bytes);

// Printable ASCII as it is, every other byte as <HH>: "C:\<95><5C>".
std::string PrintableBytes(std::string_view bytes);

}  // namespace fakes
