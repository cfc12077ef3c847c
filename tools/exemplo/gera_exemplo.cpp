// Writes the sample workbook: `gera_exemplo ARQUIVO.xlsx`. Sheet positions follow the
// order of the record kinds in the window: 1 Produtos, 2 Clientes, 3 Fornecedores,
// 4 Vendedores, 5 Transportadoras.
#include <cstdio>

#include "exemplo.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("Uso: gera_exemplo ARQUIVO.xlsx\n", stderr);
        return 2;
    }
    lxw_workbook* pasta = workbook_new(argv[1]);
    if (!pasta) {
        std::fprintf(stderr, "Não foi possível criar %s\n", argv[1]);
        return 1;
    }
    conversor::exemplo::EscreveProdutos(pasta);
    conversor::exemplo::EscreveClientes(pasta);
    conversor::exemplo::EscreveFornecedores(pasta);
    conversor::exemplo::EscreveVendedores(pasta);
    conversor::exemplo::EscreveTransportadoras(pasta);
    const lxw_error erro = workbook_close(pasta);
    if (erro != LXW_NO_ERROR) {
        std::fprintf(stderr, "Erro ao gravar %s: %s\n", argv[1], lxw_strerror(erro));
        return 1;
    }
    return 0;
}
