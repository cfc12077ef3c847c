// The supplier converter: one FORNECE row held as text, cleaned by its setters and
// written with an INSERT whose values are written into the statement text.
#pragma once

#include <string>
#include <string_view>

#include "convert/conversao.h"

namespace conversor::convert {

// The values travel inside the statement as quoted strings, so the setters remove
// single quotes (and the quoting doubles any that would remain).
class TConverteFornece : public TConversao {
public:
    TConverteFornece(db::Conexao& database, Mensagens& mensagens);

    // Empties FORNECE and commits; a failure is raised.
    void ExcluiRegistros();

    void SetCodFornec(std::string_view valor);
    void SetNome(std::string_view valor);
    void SetNomeFantasia(std::string_view valor);
    void SetContato(std::string_view valor);
    void SetEndereco(std::string_view valor);
    void SetBairro(std::string_view valor);
    void SetCep(std::string_view valor);
    void SetCodCidade(std::string_view valor);
    void SetNumero(std::string_view valor);
    void SetComplemento(std::string_view valor);
    void SetEstado(std::string_view valor);
    void SetInscMunicipal(std::string_view valor);
    void SetPessoaFJ(std::string_view valor);
    void SetCgcCpf(std::string_view valor);
    void SetInscEst(std::string_view valor);
    void SetObservacao(std::string_view valor);
    void SetFone(std::string_view valor);
    void SetFax(std::string_view valor);
    void SetCelular(std::string_view valor);
    void SetEmail(std::string_view valor);
    void SetHomePage(std::string_view valor);
    void SetCampoLivre1(std::string_view valor);
    void SetCampoLivre2(std::string_view valor);
    void SetTipoFornece(std::string_view valor);
    void SetCodMunicipio(std::string_view valor);
    void SetAtivo(std::string_view valor);

    // The INSERT of the held supplier.
    std::string MontaInsert() const;
    // The same statement into `sql`, with the values written or as parameters.
    void MontaInsert(MontagemSql& sql) const;
    // Writes the held supplier in the connection's transaction, then Limpa. A refused
    // row is raised.
    void Inserir();
    // Every field back to its empty value, except `ativo`, which every row sets.
    void Limpa();

    const std::string& CodFornec() const { return CodFornec_; }
    const std::string& Nome() const { return Nome_; }
    const std::string& NomeFantasia() const { return NomeFantasia_; }
    const std::string& Contato() const { return Contato_; }
    const std::string& Endereco() const { return Endereco_; }
    const std::string& Bairro() const { return Bairro_; }
    const std::string& Cep() const { return Cep_; }
    const std::string& CodCidade() const { return CodCidade_; }
    const std::string& Numero() const { return Numero_; }
    const std::string& Complemento() const { return Complemento_; }
    const std::string& Estado() const { return Estado_; }
    const std::string& InscMunicipal() const { return InscMunicipal_; }
    const std::string& Pessoa_FJ() const { return Pessoa_FJ_; }
    const std::string& CgcCpf() const { return CgcCpf_; }
    const std::string& InscEst() const { return InscEst_; }
    const std::string& Fone() const { return Fone_; }
    const std::string& Fax() const { return Fax_; }
    const std::string& Celular() const { return Celular_; }
    const std::string& Email() const { return Email_; }
    const std::string& HomePage() const { return HomePage_; }
    const std::string& CampoLivre1() const { return CampoLivre1_; }
    const std::string& CampoLivre2() const { return CampoLivre2_; }
    const std::string& observacao() const { return observacao_; }
    const std::string& ativo() const { return ativo_; }
    const std::string& TipoFornece() const { return TipoFornece_; }
    const std::string& codmunicipio() const { return codmunicipio_; }

private:
    std::string CodFornec_;
    std::string codcliente_;  // no setter: always written empty
    std::string Nome_;
    std::string NomeFantasia_;
    std::string Contato_;
    std::string Endereco_;
    std::string Bairro_;
    std::string Cep_;
    std::string CodCidade_;
    std::string Numero_;
    std::string Complemento_;
    std::string Estado_;
    std::string InscMunicipal_;
    std::string Pessoa_FJ_;
    std::string CgcCpf_;
    std::string InscEst_;
    std::string Fone_;
    std::string Fax_;
    std::string Celular_;
    std::string Email_;
    std::string HomePage_;
    std::string CampoLivre1_;
    std::string CampoLivre2_;
    std::string contacx_;   // no setter: always written empty
    std::string ctctbred_;  // no setter: always written empty
    std::string observacao_;
    std::string ativo_;
    std::string TipoFornece_;
    std::string codmunicipio_;
};

}  // namespace conversor::convert
