// A statement on a connection: text with named parameters, execution, and the rows
// of a select.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/conexao.h"
#include "db/posse_fb.h"

namespace Firebird {
class IStatement;
class IResultSet;
class IMessageMetadata;
}  // namespace Firebird

namespace conversor::db {

// A query object attached to a connection, running in the connection's transaction.
// It keeps its statement prepared while its text stays the same, so executing it
// again with other parameter values costs no new preparation; the layout of the
// values it sends is kept too while their types stay and their texts fit, so a
// statement run once per sheet row costs the database's own work and little more.
// It must not outlive its connection.
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

    // The same by position: the parameters numbered from 0 in the order their names
    // first appear in the text. For statements run once per row, where looking the
    // names up would cost more than the statement.
    int NumeroParametros() const;
    void ParamTexto(int posicao, std::string_view valor);
    void ParamDouble(int posicao, double valor);
    void ParamInteiro(int posicao, std::int32_t valor);
    void ParamDataHora(int posicao, double dataHora);
    void ParamBlobTexto(int posicao, std::string_view valor);
    void ParamNulo(int posicao);

    // Runs the statement (a select is opened and closed). "Commit" in any of its
    // spellings commits the connection's transaction instead (nothing while the
    // connection rehearses).
    void Executa();

    // Opens a select positioned on its first row.
    void Abre();
    bool Aberta() const { return static_cast<bool>(cursor_) || !linha_.empty(); }
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
    struct Posicao;
    void Prepara();
    void MontaEntrada();
    void PreencheEntrada();
    void ExigeTextosCabem() const;
    Valor& Parametro(std::string_view nome);
    Valor& Parametro(int posicao);
    unsigned IndiceCampo(std::string_view nome) const;
    void LiberaPreparo();
    void LiberaEntrada();

    Conexao& conexao_;
    std::string sql_;
    std::string sqlPosicional_;       // every ":NAME" turned into "?"
    std::vector<std::string> nomes_;  // parameter name of each position
    std::vector<Valor> valores_;      // one per distinct name
    std::vector<int> valorDaPosicao_;

    fb::Posse<Firebird::IStatement> preparo_;
    std::uint64_t geracaoPreparo_ = 0;
    unsigned tipoComando_ = 0;
    bool commit_ = false;
    fb::Posse<Firebird::IMessageMetadata> saida_;
    std::vector<unsigned char> bufferSaida_;
    std::vector<std::string> nomesCampos_;
    fb::Posse<Firebird::IResultSet> cursor_;
    std::vector<unsigned char> linha_;
    bool eof_ = true;

    // The layout of the values sent, kept from one execution to the next.
    fb::Posse<Firebird::IMessageMetadata> entrada_;
    std::vector<Posicao> posicoes_;
    std::vector<unsigned char> bufferEntrada_;
};

// The rows of a table, counted in the connection's transaction; nothing when they
// cannot be counted (a table the database lacks, a connection gone).
std::optional<long long> ContaLinhas(Conexao& conexao, std::string_view tabela);

}  // namespace conversor::db
