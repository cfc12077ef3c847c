// The rehearsal's findings as a workbook, to filter in a spreadsheet: one sheet of
// failures ("Falhas"), one of warnings ("Avisos"), one row per problem.
#pragma once

#include <string>
#include <vector>

#include "app/execucao.h"
#include "app/gravacao.h"

namespace conversor::app {

// Makes sure the report can be written to `arquivo` before any work, so a run is not
// spent for a report that cannot be saved: the folder must exist and take the file,
// and the file must not be one the run reads (`lidos`: the database, the workbook, the
// city table, the map). Raises ErroGravacao; leaves no file behind.
void ConfereDestinoDoRelatorio(const std::string& arquivo, const std::vector<ArquivoLido>& lidos);

// Writes `arquivo` (replacing a file of that name). Raises ErroGravacao when it
// cannot be written.
void GravaRelatorioEnsaio(const std::string& arquivo, const ResultadoEnsaio& ensaio);

// One problem on one line, as the terminal and the message box show it:
// "linha 15, coluna BL (64), '12abc': motivo". Windows-1252.
std::string DescreveProblema(const convert::Problema& problema);

}  // namespace conversor::app
