// The record kinds: what the program knows of each kind, in one place. The command line,
// the window, the run, the walk over the staging table and the layout commands look a
// kind up here; adding a kind takes an entry here and its layout (convert/leiaute.cpp).
#pragma once

#include <string_view>
#include <vector>

#include "convert/contexto.h"
#include "convert/leiaute.h"

namespace conversor::convert {

// The record kinds, in the order the window offers them.
enum class TipoRegistro { Produtos, Clientes, Fornecedores, Vendedores, Transportadoras };

struct DescricaoTipo {
    TipoRegistro tipo;
    const char* nome;     // as --tipo and the layouts name it: "produtos"
    const char* legenda;  // the window's choice: "Produtos"
    const char* fase;     // the conversion's caption: "Convertendo Produtos, Aguarde!"
    // The tables the kind writes, in the order the summaries count them.
    std::vector<const char*> tabelas;
    // Whether its telephones take their area code from the city table.
    bool leCidades;
    // The sheet mapping.
    void (*converte)(ContextoConversao& contexto);

    // The kind's sheet layout: the columns it reads, the last of them included.
    const LeiauteTipo& Leiaute() const;
};

// The reference tables the mappings add to as they meet new values: cities, units,
// fiscal classifications and manufacturers.
inline const std::vector<const char*> kTabelasDeReferencia = {"CIDADES", "UNIDADES", "CLASFISC",
                                                              "CADFABR"};

// Every kind, in the window's order.
const std::vector<DescricaoTipo>& TiposRegistro();
const DescricaoTipo& Descricao(TipoRegistro tipo);
// The kind --tipo names, or nullptr.
const DescricaoTipo* ProcuraTipo(std::string_view nome);

}  // namespace conversor::convert
