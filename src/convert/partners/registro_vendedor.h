// One seller as the sheet mapping fills it and the seller data-access object writes
// it into VENDEND. Values are stored as given; the cleaning happens when the row is
// written (TVendedorDAO), except the zero padding of the seller code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/conversao.h"

namespace conversor::convert {

// The seller's values, named after the VENDEND columns; the dates are day numbers
// from 30/12/1899.
struct TCamposVendedor {
    std::string Codvendedor;  // "0000" after construction
    std::string Nome;
    std::string Endereco;
    std::string Bairro;
    std::string Codcidade;
    std::string Estado;
    std::string Cep;
    std::string Telefone;
    double Comissao = 0;
    std::string Email;
    std::string Codpraca;
    std::string Ativo;
    std::string Codrota;
    std::string Codrota2;
    std::string Codrota3;
    std::string Codrota4;
    std::string Codrota5;
    std::string Codrota6;
    std::string Codrota7;
    std::string Codrota8;
    std::string Codrota9;
    std::string Codrota10;
    std::string Tipovendedor;
    double Dataultimavisita = 0;
    std::string Cgccpf;
    std::string Inscest;
    std::string Rg;
    std::string Mudaprecopdv;
    std::string Senhatransf;
    std::string Codsupervisor;
    std::string Horaini;
    std::string Horafim;
    std::string Codempresa;
    std::string Codfornec;
    std::int32_t Precovendedor = 0;
    double Ultimavisitamarcada = 0;
    std::string Codfid;
    std::string Codbarrasvend;
    std::string Senhafarmpop;
    double Version = 0;
    std::string Cod_vendedor_java;

    bool operator==(const TCamposVendedor&) const = default;
};

// The record never resets itself: a caller that reuses it for the next seller
// overwrites only what it sets. It carries the converter base of the seller unit,
// which empties VENDEND before the sellers are written, so it must exist before
// that purge.
class TRegistroVendedor {
public:
    TRegistroVendedor(db::Conexao& database, Mensagens& mensagens)
        : conversao_(database, mensagens) {
        SetCodvendedor("");
    }
    TRegistroVendedor(const TRegistroVendedor&) = delete;
    TRegistroVendedor& operator=(const TRegistroVendedor&) = delete;

    // The converter base shared by the seller unit (the purge of VENDEND).
    TConversao& Conversao() { return conversao_; }

    // Prefixes "0" up to four characters; a longer code stays whole (the insert
    // cuts it).
    void SetCodvendedor(std::string_view valor) { campos_.Codvendedor = CompletaZeros(valor, 4); }
    void SetNome(std::string_view valor) { campos_.Nome = valor; }
    void SetEndereco(std::string_view valor) { campos_.Endereco = valor; }
    void SetBairro(std::string_view valor) { campos_.Bairro = valor; }
    void SetCodcidade(std::string_view valor) { campos_.Codcidade = valor; }
    void SetEstado(std::string_view valor) { campos_.Estado = valor; }
    void SetCep(std::string_view valor) { campos_.Cep = valor; }
    void SetTelefone(std::string_view valor) { campos_.Telefone = valor; }
    void SetComissao(double valor) { campos_.Comissao = valor; }
    void SetEmail(std::string_view valor) { campos_.Email = valor; }
    void SetCodpraca(std::string_view valor) { campos_.Codpraca = valor; }
    void SetAtivo(std::string_view valor) { campos_.Ativo = valor; }
    void SetCodrota(std::string_view valor) { campos_.Codrota = valor; }
    void SetCodrota2(std::string_view valor) { campos_.Codrota2 = valor; }
    void SetCodrota3(std::string_view valor) { campos_.Codrota3 = valor; }
    void SetCodrota4(std::string_view valor) { campos_.Codrota4 = valor; }
    void SetCodrota5(std::string_view valor) { campos_.Codrota5 = valor; }
    void SetCodrota6(std::string_view valor) { campos_.Codrota6 = valor; }
    void SetCodrota7(std::string_view valor) { campos_.Codrota7 = valor; }
    void SetCodrota8(std::string_view valor) { campos_.Codrota8 = valor; }
    void SetCodrota9(std::string_view valor) { campos_.Codrota9 = valor; }
    void SetCodrota10(std::string_view valor) { campos_.Codrota10 = valor; }
    void SetTipovendedor(std::string_view valor) { campos_.Tipovendedor = valor; }
    void SetDataultimavisita(double valor) { campos_.Dataultimavisita = valor; }
    void SetCgccpf(std::string_view valor) { campos_.Cgccpf = valor; }
    void SetInscest(std::string_view valor) { campos_.Inscest = valor; }
    void SetRg(std::string_view valor) { campos_.Rg = valor; }
    void SetMudaprecopdv(std::string_view valor) { campos_.Mudaprecopdv = valor; }
    void SetSenhatransf(std::string_view valor) { campos_.Senhatransf = valor; }
    void SetCodsupervisor(std::string_view valor) { campos_.Codsupervisor = valor; }
    void SetHoraini(std::string_view valor) { campos_.Horaini = valor; }
    void SetHorafim(std::string_view valor) { campos_.Horafim = valor; }
    void SetCodempresa(std::string_view valor) { campos_.Codempresa = valor; }
    void SetCodfornec(std::string_view valor) { campos_.Codfornec = valor; }
    void SetPrecovendedor(std::int32_t valor) { campos_.Precovendedor = valor; }
    void SetUltimavisitamarcada(double valor) { campos_.Ultimavisitamarcada = valor; }
    void SetCodfid(std::string_view valor) { campos_.Codfid = valor; }
    void SetCodbarrasvend(std::string_view valor) { campos_.Codbarrasvend = valor; }
    void SetSenhafarmpop(std::string_view valor) { campos_.Senhafarmpop = valor; }
    void SetVersion(double valor) { campos_.Version = valor; }
    void SetCod_vendedor_java(std::string_view valor) { campos_.Cod_vendedor_java = valor; }

    const TCamposVendedor& Campos() const { return campos_; }

private:
    TConversao conversao_;
    TCamposVendedor campos_;
};

}  // namespace conversor::convert
