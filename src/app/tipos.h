// The record kinds as the terminal commands name them (--tipo).
#pragma once

#include <string_view>
#include <vector>

#include "app/execucao.h"

namespace conversor::app {

struct TipoNomeado {
    const char* nome;
    TipoRegistro tipo;
    std::vector<const char*> tabelas;  // what the kind writes
};

inline const TipoNomeado kTipos[] = {
    {"produtos", TipoRegistro::Produtos, {"MVGERAL", "PRODUTO", "PRODUTODETALHE"}},
    {"clientes", TipoRegistro::Clientes, {"CLIENTE", "COMPCLIE"}},
    {"fornecedores", TipoRegistro::Fornecedores, {"FORNECE"}},
    {"vendedores", TipoRegistro::Vendedores, {"VENDEND"}},
    {"transportadoras", TipoRegistro::Transportadoras, {"TRANSPT"}},
};

// The kind --tipo names, or nullptr.
inline const TipoNomeado* ProcuraTipo(std::string_view nome) {
    for (const TipoNomeado& t : kTipos)
        if (nome == t.nome) return &t;
    return nullptr;
}

}  // namespace conversor::app
