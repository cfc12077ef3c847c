// A statement on a connection: text with named parameters, execution, and the rows
// of a select.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/conexao.h"

namespace Firebird {
class IStatement;
class IResultSet;
class IMessageMetadata;
}  // namespace Firebird

namespace conversor::db {

// A query object attached to a connection, running in the connection's transaction.
// It keeps its statement prepared while its text stays the same, so executing it
// again with other parameter values costs no new preparation. It must not outlive
// its connection.
class Consulta {
public:
    explicit Consulta(Conexao& conexao);
    ~Consulta();
    Consulta(const Consulta&) = delete;
    Consulta& operator=(const Consulta&) = delete;

    // Setting a text closes an open select and clears the parameter values.
    void DefineSql(std::string_view sql);
    const std::string& Sql() const { return sql_; }

    // Parameter values by name (any case). A parameter left unset is null. A text is
    // bound as a text, never as null, even when empty.
    void ParamTexto(std::string_view nome, std::string_view valor);
    void ParamDouble(std::string_view nome, double valor);
    void ParamInteiro(std::string_view nome, std::int32_t valor);
    void ParamDataHora(std::string_view nome, double dataHora);
    void ParamBlobTexto(std::string_view nome, std::string_view valor);
    void ParamNulo(std::string_view nome);

    // Runs the statement (a select is opened and closed). "Commit" in any of its
    // spellings commits the connection's transaction instead.
    void Executa();

    // Opens a select positioned on its first row.
    void Abre();
    bool Aberta() const { return cursor_ != nullptr || !linha_.empty(); }
    bool Eof() const { return eof_; }
    void Proximo();
    void Fecha();

    // Fields of the current row by name (any case). A null field
    // reads as an empty text or zero. Numbers read as text follow the number rule.
    std::string CampoTexto(std::string_view nome) const;
    double CampoNumero(std::string_view nome) const;
    long long CampoInteiro(std::string_view nome) const;
    bool CampoNulo(std::string_view nome) const;
    int NumeroCampos() const;
    const std::string& NomeCampo(int posicao) const { return nomesCampos_.at(posicao); }

private:
    struct Valor;
    void Prepara();
    void MontaEntrada(std::vector<unsigned char>& buffer, Firebird::IMessageMetadata*& meta);
    Valor& Parametro(std::string_view nome);
    unsigned IndiceCampo(std::string_view nome) const;
    void LiberaPreparo();

    Conexao& conexao_;
    std::string sql_;
    std::vector<std::string> nomes_;  // parameter name of each position
    std::vector<Valor> valores_;      // one per distinct name
    std::vector<int> valorDaPosicao_;

    Firebird::IStatement* preparo_ = nullptr;
    std::uint64_t geracaoPreparo_ = 0;
    bool commit_ = false;
    Firebird::IMessageMetadata* saida_ = nullptr;
    std::vector<std::string> nomesCampos_;
    Firebird::IResultSet* cursor_ = nullptr;
    std::vector<unsigned char> linha_;
    bool eof_ = true;
};

}  // namespace conversor::db
