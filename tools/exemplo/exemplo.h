// The sample workbook of the demo: one sheet per record kind, in the layout each
// kind's sheet mapping reads, filled with realistic Brazilian master data.
#pragma once

#include <xlsxwriter.h>

namespace conversor::exemplo {

// Each writes its sheet (named after the kind) into the workbook.
void EscreveProdutos(lxw_workbook* pasta);
void EscreveClientes(lxw_workbook* pasta);
void EscreveFornecedores(lxw_workbook* pasta);
void EscreveVendedores(lxw_workbook* pasta);
void EscreveTransportadoras(lxw_workbook* pasta);

}  // namespace conversor::exemplo
