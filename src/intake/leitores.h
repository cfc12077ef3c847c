// The readers of each workbook format; AbreLeitor alone picks one, by the file's
// content.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "intake/leitor.h"

namespace conversor::intake {

class PacoteZip;

// An Office Open XML workbook (.xlsx, .xlsm) in an open package. ParteWorkbookXlsx
// gives the workbook part named by the package relationships ("xl/workbook.xml"), or
// empty when the package is not such a workbook.
std::string ParteWorkbookXlsx(PacoteZip& pacote);
std::unique_ptr<LeitorPlanilha> AbreXlsx(std::unique_ptr<PacoteZip> pacote,
                                         const std::string& parteWorkbook);

// An OpenDocument spreadsheet (.ods) in an open package; EhPlanilhaOds tells whether
// the package is one (its "mimetype" entry says so).
bool EhPlanilhaOds(PacoteZip& pacote);
std::unique_ptr<LeitorPlanilha> AbreOds(std::unique_ptr<PacoteZip> pacote);

// An Excel 97-2003 workbook or an older BIFF file.
std::unique_ptr<LeitorPlanilha> AbreXls(const std::string& caminho);

// A text file of separated values; its one sheet is named after the file.
std::unique_ptr<LeitorPlanilha> AbreCsv(const std::string& caminho);

// A C file closed by its owner, on every way out.
struct FechaArquivo {
    void operator()(std::FILE* arquivo) const { std::fclose(arquivo); }
};
using Arquivo = std::unique_ptr<std::FILE, FechaArquivo>;

// The file at `caminho` open for binary reading; a file that cannot be opened raises
// ErroPlanilha naming it as `nome` (see CaminhoParaMensagem) with the system's reason.
Arquivo AbreParaLeitura(const std::string& caminho, const std::string& nome);

// The file name without folder and extension, in Windows-1252: the sheet name of a
// file format that keeps none.
std::string NomeSemExtensao(const std::string& caminho);

}  // namespace conversor::intake
