// The supplier converter: one FORNECE row held as text, cleaned by its setters and
// written with an INSERT whose values are written into the statement text, from its
// column table.
#pragma once

#include <string>
#include <string_view>

#include "convert/registro_base.h"

namespace conversor::convert {

// The row's values, named after the FORNECE columns. codcliente, contacx and ctctbred
// have no setter and are always written empty.
struct TCamposFornecedor {
    std::string CodFornec, codcliente, Nome, NomeFantasia, Contato, Endereco, Bairro, Cep;
    std::string CodCidade, Numero, Complemento, Estado, InscMunicipal, Pessoa_FJ, CgcCpf;
    std::string InscEst, Fone, Fax, Celular, Email, HomePage, CampoLivre1, CampoLivre2;
    std::string contacx, ctctbred, observacao, ativo, TipoFornece, codmunicipio;

    bool operator==(const TCamposFornecedor&) const = default;
};

// The values travel inside the statement as quoted strings, so the setters remove
// single quotes (and the quoting doubles any that would remain).
class TConverteFornece : public TRegistro<TCamposFornecedor, TConverteFornece> {
public:
    TConverteFornece(db::Conexao& database, Mensagens& mensagens, bool comandosPreparados = true);

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
    std::string MontaInsert() const { return TextoInsert(); }
    // The same statement into `sql`, with the values written or as parameters.
    using TRegistro::MontaInsert;
    // Writes the held supplier in the connection's transaction, then Limpa. A refused
    // row is raised.
    using TRegistro::Inserir;
    // Every field back to its empty value, except `ativo`, which every row sets.
    using TRegistro::Limpa;
};

}  // namespace conversor::convert
