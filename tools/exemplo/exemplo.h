// The sample workbook of the demo: one sheet per record kind, in the layout each
// kind's sheet mapping reads, filled with realistic Brazilian master data.
#pragma once

#include <xlsxwriter.h>

namespace conversor::exemplo {

// One cell of row `linha` (0-based, as libxlsxwriter counts); columns are 1-based, as
// the staging table names them. An empty text leaves the cell empty.
inline void Texto(lxw_worksheet* aba, lxw_row_t linha, int coluna, const char* texto) {
    if (texto && *texto)
        worksheet_write_string(aba, linha, static_cast<lxw_col_t>(coluna - 1), texto, nullptr);
}

inline void Numero(lxw_worksheet* aba, lxw_row_t linha, int coluna, double numero) {
    worksheet_write_number(aba, linha, static_cast<lxw_col_t>(coluna - 1), numero, nullptr);
}

// Each writes its sheet (named after the kind) into the workbook.
void EscreveProdutos(lxw_workbook* pasta);
void EscreveClientes(lxw_workbook* pasta);
void EscreveFornecedores(lxw_workbook* pasta);
void EscreveVendedores(lxw_workbook* pasta);
void EscreveTransportadoras(lxw_workbook* pasta);

}  // namespace conversor::exemplo
