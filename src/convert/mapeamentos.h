// The sheet mappings: one per record kind, each turning the staging table into rows
// of its Vantora tables. Called with the staging table loaded and the connection's
// transaction active; a failure they do not handle themselves is raised and ends
// the run.
#pragma once

#include "convert/contexto.h"

namespace conversor::convert {

void ConverteProdutos(ContextoConversao& contexto);
void ConverteClientes(ContextoConversao& contexto);
void ConverteFornecedores(ContextoConversao& contexto);
void ConverteVendedores(ContextoConversao& contexto);
void ConverteTransportadoras(ContextoConversao& contexto);

}  // namespace conversor::convert
