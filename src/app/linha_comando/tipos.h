// The record kinds as the terminal commands name them (--tipo).
#pragma once

#include <string_view>

#include "app/execucao.h"

namespace conversor::app {

struct TipoNomeado {
    const char* nome;
    TipoRegistro tipo;
};

inline const TipoNomeado kTipos[] = {
    {"produtos", TipoRegistro::Produtos},
    {"clientes", TipoRegistro::Clientes},
    {"fornecedores", TipoRegistro::Fornecedores},
    {"vendedores", TipoRegistro::Vendedores},
    {"transportadoras", TipoRegistro::Transportadoras},
};

// The kind --tipo names, or nullptr.
inline const TipoNomeado* ProcuraTipo(std::string_view nome) {
    for (const TipoNomeado& t : kTipos)
        if (nome == t.nome) return &t;
    return nullptr;
}

}  // namespace conversor::app
