// The commands of `conversor` for the terminal. Each takes the arguments after the
// command's name and returns the process exit status: 0 success, 1 the work failed,
// 2 a usage error or an input refused before any work.
#pragma once

#include <string>
#include <vector>

namespace conversor::app {

using Argumentos = std::vector<std::string>;

int ComandoCriarBanco(const Argumentos& args);

// `planilhas ARQUIVO`: each worksheet's position, name, last row and last column.
int ComandoPlanilhas(const Argumentos& args);

// `mostrar ARQUIVO [--aba N] [--ultima-linha N]`: the sheet's rows as the staging
// table holds them, cells separated by tabs.
int ComandoMostrar(const Argumentos& args);

// `mapa --tipo TIPO --planilha ARQUIVO [--aba N] [--linha-titulos N]`: a column map
// proposed from the sheet's headings, on stdout.
int ComandoMapa(const Argumentos& args);

// `converter --banco BANCO --planilha ARQUIVO --tipo TIPO [...]`: the window's
// conversion run without the window.
int ComandoConverter(const Argumentos& args);

// `conferir --banco BANCO --planilha ARQUIVO --tipo TIPO [...]`: the rehearsal of that
// run alone; the database is left as it was.
int ComandoConferir(const Argumentos& args);

// `colunas --tipo TIPO`: the sheet columns a kind reads and the fields they feed.
int ComandoColunas(const Argumentos& args);

// `modelo --tipo TIPO ARQUIVO.xlsx`: a workbook to fill for the kind, with its layout.
int ComandoModelo(const Argumentos& args);

}  // namespace conversor::app
