// One seller as the sheet mapping fills it and the seller data-access object writes
// it into VENDEND. Values are stored as given; the cleaning happens when the row is
// written (TVendedorDAO), except the zero padding of the seller code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/conversao.h"

namespace conversor::convert {

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

    const std::string& GetCodvendedor() const { return Codvendedor_; }
    // Prefixes "0" up to four characters; a longer code stays whole (the insert
    // cuts it).
    void SetCodvendedor(std::string_view valor) {
        Codvendedor_ = TConversao::CompletaZeros(valor, 4);
    }
    const std::string& GetNome() const { return Nome_; }
    void SetNome(std::string_view valor) { Nome_ = valor; }
    const std::string& GetEndereco() const { return Endereco_; }
    void SetEndereco(std::string_view valor) { Endereco_ = valor; }
    const std::string& GetBairro() const { return Bairro_; }
    void SetBairro(std::string_view valor) { Bairro_ = valor; }
    const std::string& GetCodcidade() const { return Codcidade_; }
    void SetCodcidade(std::string_view valor) { Codcidade_ = valor; }
    const std::string& GetEstado() const { return Estado_; }
    void SetEstado(std::string_view valor) { Estado_ = valor; }
    const std::string& GetCep() const { return Cep_; }
    void SetCep(std::string_view valor) { Cep_ = valor; }
    const std::string& GetTelefone() const { return Telefone_; }
    void SetTelefone(std::string_view valor) { Telefone_ = valor; }
    double GetComissao() const { return Comissao_; }
    void SetComissao(double valor) { Comissao_ = valor; }
    const std::string& GetEmail() const { return Email_; }
    void SetEmail(std::string_view valor) { Email_ = valor; }
    const std::string& GetCodpraca() const { return Codpraca_; }
    void SetCodpraca(std::string_view valor) { Codpraca_ = valor; }
    const std::string& GetAtivo() const { return Ativo_; }
    void SetAtivo(std::string_view valor) { Ativo_ = valor; }
    const std::string& GetCodrota() const { return Codrota_; }
    void SetCodrota(std::string_view valor) { Codrota_ = valor; }
    const std::string& GetCodrota2() const { return Codrota2_; }
    void SetCodrota2(std::string_view valor) { Codrota2_ = valor; }
    const std::string& GetCodrota3() const { return Codrota3_; }
    void SetCodrota3(std::string_view valor) { Codrota3_ = valor; }
    const std::string& GetCodrota4() const { return Codrota4_; }
    void SetCodrota4(std::string_view valor) { Codrota4_ = valor; }
    const std::string& GetCodrota5() const { return Codrota5_; }
    void SetCodrota5(std::string_view valor) { Codrota5_ = valor; }
    const std::string& GetCodrota6() const { return Codrota6_; }
    void SetCodrota6(std::string_view valor) { Codrota6_ = valor; }
    const std::string& GetCodrota7() const { return Codrota7_; }
    void SetCodrota7(std::string_view valor) { Codrota7_ = valor; }
    const std::string& GetCodrota8() const { return Codrota8_; }
    void SetCodrota8(std::string_view valor) { Codrota8_ = valor; }
    const std::string& GetCodrota9() const { return Codrota9_; }
    void SetCodrota9(std::string_view valor) { Codrota9_ = valor; }
    const std::string& GetCodrota10() const { return Codrota10_; }
    void SetCodrota10(std::string_view valor) { Codrota10_ = valor; }
    const std::string& GetTipovendedor() const { return Tipovendedor_; }
    void SetTipovendedor(std::string_view valor) { Tipovendedor_ = valor; }
    double GetDataultimavisita() const { return Dataultimavisita_; }  // day number from 30/12/1899
    void SetDataultimavisita(double valor) { Dataultimavisita_ = valor; }
    const std::string& GetCgccpf() const { return Cgccpf_; }
    void SetCgccpf(std::string_view valor) { Cgccpf_ = valor; }
    const std::string& GetInscest() const { return Inscest_; }
    void SetInscest(std::string_view valor) { Inscest_ = valor; }
    const std::string& GetRg() const { return Rg_; }
    void SetRg(std::string_view valor) { Rg_ = valor; }
    const std::string& GetMudaprecopdv() const { return Mudaprecopdv_; }
    void SetMudaprecopdv(std::string_view valor) { Mudaprecopdv_ = valor; }
    const std::string& GetSenhatransf() const { return Senhatransf_; }
    void SetSenhatransf(std::string_view valor) { Senhatransf_ = valor; }
    const std::string& GetCodsupervisor() const { return Codsupervisor_; }
    void SetCodsupervisor(std::string_view valor) { Codsupervisor_ = valor; }
    const std::string& GetHoraini() const { return Horaini_; }
    void SetHoraini(std::string_view valor) { Horaini_ = valor; }
    const std::string& GetHorafim() const { return Horafim_; }
    void SetHorafim(std::string_view valor) { Horafim_ = valor; }
    const std::string& GetCodempresa() const { return Codempresa_; }
    void SetCodempresa(std::string_view valor) { Codempresa_ = valor; }
    const std::string& GetCodfornec() const { return Codfornec_; }
    void SetCodfornec(std::string_view valor) { Codfornec_ = valor; }
    std::int32_t GetPrecovendedor() const { return Precovendedor_; }
    void SetPrecovendedor(std::int32_t valor) { Precovendedor_ = valor; }
    double GetUltimavisitamarcada() const { return Ultimavisitamarcada_; }  // day number from 30/12/1899
    void SetUltimavisitamarcada(double valor) { Ultimavisitamarcada_ = valor; }
    const std::string& GetCodfid() const { return Codfid_; }
    void SetCodfid(std::string_view valor) { Codfid_ = valor; }
    const std::string& GetCodbarrasvend() const { return Codbarrasvend_; }
    void SetCodbarrasvend(std::string_view valor) { Codbarrasvend_ = valor; }
    const std::string& GetSenhafarmpop() const { return Senhafarmpop_; }
    void SetSenhafarmpop(std::string_view valor) { Senhafarmpop_ = valor; }
    double GetVersion() const { return Version_; }  // day number from 30/12/1899
    void SetVersion(double valor) { Version_ = valor; }
    const std::string& GetCod_vendedor_java() const { return Cod_vendedor_java_; }
    void SetCod_vendedor_java(std::string_view valor) { Cod_vendedor_java_ = valor; }

private:
    TConversao conversao_;
    std::string Codvendedor_;  // "0000" after construction
    std::string Nome_;
    std::string Endereco_;
    std::string Bairro_;
    std::string Codcidade_;
    std::string Estado_;
    std::string Cep_;
    std::string Telefone_;
    double Comissao_ = 0;
    std::string Email_;
    std::string Codpraca_;
    std::string Ativo_;
    std::string Codrota_;
    std::string Codrota2_;
    std::string Codrota3_;
    std::string Codrota4_;
    std::string Codrota5_;
    std::string Codrota6_;
    std::string Codrota7_;
    std::string Codrota8_;
    std::string Codrota9_;
    std::string Codrota10_;
    std::string Tipovendedor_;
    double Dataultimavisita_ = 0;
    std::string Cgccpf_;
    std::string Inscest_;
    std::string Rg_;
    std::string Mudaprecopdv_;
    std::string Senhatransf_;
    std::string Codsupervisor_;
    std::string Horaini_;
    std::string Horafim_;
    std::string Codempresa_;
    std::string Codfornec_;
    std::int32_t Precovendedor_ = 0;
    double Ultimavisitamarcada_ = 0;
    std::string Codfid_;
    std::string Codbarrasvend_;
    std::string Senhafarmpop_;
    double Version_ = 0;
    std::string Cod_vendedor_java_;
};

}  // namespace conversor::convert
