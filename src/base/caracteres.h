// Character classes the readers and the value conversions share, on single bytes
// (Windows-1252 or UTF-8 alike: none of them is above code 127).
#pragma once

namespace conversor {

// '0' to '9' only: no locale's other digits.
constexpr bool Digito(char c) { return c >= '0' && c <= '9'; }

// The blanks of XML (space, tab, line feed, carriage return): what the workbook
// packages' parts may put around a value, and what a spreadsheet's text runs fold.
constexpr bool BrancoXml(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace conversor
