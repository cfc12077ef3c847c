// The carrier converter: one TRANSPT row held as text, cleaned by its setters and
// written with a parameterised INSERT.
#pragma once

#include <string>
#include <string_view>

#include "convert/conversao.h"

namespace conversor::convert {

// Every value is bound as a text parameter, so double quotes are the only quote
// character the setters remove; single quotes stay.
class TConverteTransportadora : public TConversao {
public:
    TConverteTransportadora(db::Conexao& database, Mensagens& mensagens);

    // Empties TRANSPT and commits; a failure is raised.
    void ExcluiRegistros();

    void SetCodTransp(std::string_view valor);
    void SetNome(std::string_view valor);
    void SetCgcCpf(std::string_view valor);
    void SetInscEst(std::string_view valor);
    void SetPessoaFJ(std::string_view valor);
    void SetCodCidade(std::string_view valor);
    void SetEstado(std::string_view valor);
    void SetBairro(std::string_view valor);
    void SetCep(std::string_view valor);
    void SetEndereco(std::string_view valor);
    void SetContato(std::string_view valor);
    void SetFone(std::string_view valor);
    void SetFax(std::string_view valor);

    // Writes the held carrier in the connection's transaction, then Limpa. A refused
    // row is raised; when it returns, the result is true.
    bool Inserir();

    // Empties the carrier's identity (code, name, documents, person kind, city and
    // state); the address, contact and telephones are set anew for every row.
    void Limpa();

    const std::string& CODTRANSPT() const { return CODTRANSPT_; }
    const std::string& NOME() const { return NOME_; }
    const std::string& CGCCPF() const { return CGCCPF_; }
    const std::string& INSCEST() const { return INSCEST_; }
    const std::string& PESSOA_FJ() const { return PESSOA_FJ_; }
    const std::string& CODCIDADE() const { return CODCIDADE_; }
    const std::string& ESTADO() const { return ESTADO_; }
    const std::string& BAIRRO() const { return BAIRRO_; }
    const std::string& CEP() const { return CEP_; }
    const std::string& ENDERECO() const { return ENDERECO_; }
    const std::string& CONTATO() const { return CONTATO_; }
    const std::string& FONE() const { return FONE_; }
    const std::string& FAX() const { return FAX_; }

private:
    std::string CODTRANSPT_;
    std::string NOME_;
    std::string CGCCPF_;
    std::string INSCEST_;
    std::string PESSOA_FJ_;
    std::string CODCIDADE_;
    std::string ESTADO_;
    std::string BAIRRO_;
    std::string CEP_;
    std::string ENDERECO_;
    std::string CONTATO_;
    std::string FONE_;
    std::string FAX_;
};

}  // namespace conversor::convert
