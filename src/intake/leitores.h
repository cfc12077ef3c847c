// The readers of each workbook format; AbreLeitor picks one by the file's content.
#pragma once

#include <memory>
#include <string>

#include "intake/leitor.h"

namespace conversor::intake {

// A zip package: an Office Open XML workbook (.xlsx, .xlsm) or an OpenDocument
// spreadsheet (.ods), told apart by the package's entries.
std::unique_ptr<LeitorPlanilha> AbrePacoteZip(const std::string& caminho);

// An Excel 97-2003 workbook or an older BIFF file.
std::unique_ptr<LeitorPlanilha> AbreXls(const std::string& caminho);

// A text file of separated values; its one sheet is named after the file.
std::unique_ptr<LeitorPlanilha> AbreCsv(const std::string& caminho);

// The file name without folder and extension, in Windows-1252: the sheet name of a
// file format that keeps none.
std::string NomeSemExtensao(const std::string& caminho);

}  // namespace conversor::intake
