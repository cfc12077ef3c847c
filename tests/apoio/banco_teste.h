// Test support: a fresh Vantora database per test suite, and temporary folders.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::teste {

// A folder under the system's temporary folder, removed with the object.
class PastaTemporaria {
public:
    PastaTemporaria();
    ~PastaTemporaria();
    const std::string& Caminho() const { return caminho_; }
    std::string Arquivo(const std::string& nome) const { return caminho_ + "/" + nome; }

private:
    std::string caminho_;
};

// Writes three carriers in the carriers' layout as a CSV: the code (1 to 3) in column
// 27, the name in 20, the state "MG" in 14, everything else blank.
void EscreveTresTransportadoras(const std::string& arquivo);

// The database's own tables (not the engine's, not views), by name.
std::vector<std::string> TabelasDoBanco(db::Conexao& conexao);

// Every row of every table of the database (ordered by the first column, nulls marked)
// and the value of every generator, identity columns' included, as one text: two
// pictures are equal only when nothing the database holds has changed.
// Without `geradores`, the generators and the columns they fill (identity columns) are
// left out: what a rehearsal, or any rolled-back transaction, leaves advanced.
std::string RetratoDoBanco(db::Conexao& conexao, bool geradores = true);

// Each generator of the database (identity columns' included) and its value.
std::map<std::string, long long> ValoresDosGeradores(db::Conexao& conexao);

// Each suite deriving from this gets a database created from the Vantora schema,
// connected before its first test and dropped after its last.
class BancoTeste : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    // Rolls back whatever a test left uncommitted, so tests don't see each other's
    // half-done work.
    void TearDown() override;

    static db::Conexao& Banco() { return *conexao_; }
    static std::string ArquivoBanco();
    // Runs a statement and commits it.
    static void Executa(const std::string& sql);
    // The number of rows of a table (reads in the current transaction).
    static long long ContaLinhas(const std::string& tabela);
    // The first column of the first row of a select, as text ("" when none).
    static std::string Valor(const std::string& sql);

private:
    static std::unique_ptr<PastaTemporaria> pasta_;
    static std::unique_ptr<db::Conexao> conexao_;
};

}  // namespace conversor::teste
