#include "convert/tipos.h"

#include "convert/mapeamentos.h"

namespace conversor::convert {

const std::vector<DescricaoTipo>& TiposRegistro() {
    // In the enumeration's order.
    static const std::vector<DescricaoTipo> tipos = {
        {TipoRegistro::Produtos,
         "produtos",
         "Produtos",
         "Convertendo Produtos, Aguarde!",
         {"MVGERAL", "PRODUTO", "PRODUTODETALHE"},
         false,
         ConverteProdutos},
        {TipoRegistro::Clientes,
         "clientes",
         "Clientes",
         "Convertendo Clientes, Aguarde!",
         {"CLIENTE", "COMPCLIE"},
         true,
         ConverteClientes},
        {TipoRegistro::Fornecedores,
         "fornecedores",
         "Fornecedores",
         "Convertendo Fornecedor, Aguarde!",
         {"FORNECE"},
         true,
         ConverteFornecedores},
        {TipoRegistro::Vendedores,
         "vendedores",
         "Vendedores",
         "Convertendo Vendedor, Aguarde!",
         {"VENDEND"},
         true,
         ConverteVendedores},
        {TipoRegistro::Transportadoras,
         "transportadoras",
         "Transportadoras",
         "Convertendo Transportador, Aguarde!",
         {"TRANSPT"},
         true,
         ConverteTransportadoras},
    };
    return tipos;
}

const DescricaoTipo& Descricao(TipoRegistro tipo) {
    return TiposRegistro()[static_cast<size_t>(tipo)];
}

const DescricaoTipo* ProcuraTipo(std::string_view nome) {
    for (const DescricaoTipo& d : TiposRegistro())
        if (nome == d.nome) return &d;
    return nullptr;
}

const LeiauteTipo& DescricaoTipo::Leiaute() const { return *LeiauteDoTipo(nome); }

}  // namespace conversor::convert
