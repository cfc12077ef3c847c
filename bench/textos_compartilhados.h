// A workbook's inline strings turned into shared strings, as spreadsheet programs
// save them. libxlsxwriter keeps every cell of a shared-strings workbook in memory
// until it closes, which a million rows by 132 columns does not fit; its
// constant-memory mode writes inline strings row by row. So the large workbooks are
// written inline and then rewritten here: the sheet streamed, each inline text
// replaced by its index in a table of distinct texts, in the order first seen.
#pragma once

#include <string>

namespace conversor::bench {

// Writes to `destino` the workbook `origem` (one sheet, "xl/worksheets/sheet1.xml",
// as libxlsxwriter writes it) with its inline texts shared; `temporaria` is a folder
// for the parts while they are written. False, with a message on stderr, on failure.
bool CompartilhaTextos(const std::string& origem, const std::string& destino,
                       const std::string& temporaria);

}  // namespace conversor::bench
