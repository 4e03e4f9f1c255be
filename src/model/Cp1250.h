#pragma once

#include <string>
#include <string_view>

namespace qta {

// Every text that goes to a file or to the device is Windows-1250. The model
// keeps those bytes as they are; these two functions are the only place where
// they meet Unicode.

// Converts UTF-8 to Windows-1250. A character the code page lacks, or a byte
// sequence that is not UTF-8, becomes '?'.
std::string utf8ToCp1250(std::string_view utf8);

// Converts Windows-1250 to UTF-8. The five unassigned bytes become U+FFFD.
std::string cp1250ToUtf8(std::string_view cp1250);

} // namespace qta
