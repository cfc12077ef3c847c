// The carrier converter: one TRANSPT row held as text, cleaned by its setters and
// written with a parameterised INSERT from its column table.
#pragma once

#include <string>
#include <string_view>

#include "convert/registro_base.h"

namespace conversor::convert {

// The row's values, named after the TRANSPT columns.
struct TCamposTransportadora {
    std::string CODTRANSPT, NOME, CGCCPF, INSCEST, PESSOA_FJ, CODCIDADE, ESTADO;
    std::string BAIRRO, CEP, ENDERECO, CONTATO, FONE, FAX;

    bool operator==(const TCamposTransportadora&) const = default;
};

// Every value is bound as a text parameter, so double quotes are the only quote
// character the setters remove; single quotes stay.
class TConverteTransportadora : public TRegistro<TCamposTransportadora, TConverteTransportadora> {
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
    using TRegistro::Inserir;

    // Empties the carrier's identity (code, name, documents, person kind, city and
    // state); the address, contact and telephones are set anew for every row.
    using TRegistro::Limpa;
};

}  // namespace conversor::convert
