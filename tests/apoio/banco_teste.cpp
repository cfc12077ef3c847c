#include "apoio/banco_teste.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "db/esquema.h"

namespace conversor::teste {

PastaTemporaria::PastaTemporaria() {
    std::string modelo = (std::filesystem::temp_directory_path() / "conversor-XXXXXX").string();
    if (!mkdtemp(modelo.data())) throw std::runtime_error("mkdtemp falhou");
    caminho_ = modelo;
}

PastaTemporaria::~PastaTemporaria() {
    std::error_code erro;
    std::filesystem::remove_all(caminho_, erro);
}

std::unique_ptr<PastaTemporaria> BancoTeste::pasta_;
std::unique_ptr<db::Conexao> BancoTeste::conexao_;

void BancoTeste::SetUpTestSuite() {
    pasta_ = std::make_unique<PastaTemporaria>();
    db::CriaBancoVantora(ArquivoBanco());
    conexao_ = std::make_unique<db::Conexao>();
    conexao_->DefineNomeBanco(ArquivoBanco());
    conexao_->Conecta();
}

void BancoTeste::TearDownTestSuite() {
    conexao_.reset();
    pasta_.reset();
}

void BancoTeste::TearDown() {
    if (conexao_->Conectado() && conexao_->DBTransaction().Ativa())
        conexao_->DBTransaction().Desfaz();
}

std::string BancoTeste::ArquivoBanco() { return pasta_->Arquivo("vantora.fdb"); }

void BancoTeste::Executa(const std::string& sql) {
    db::Consulta q(*conexao_);
    q.DefineSql(sql);
    q.Executa();
    conexao_->DBTransaction().Confirma();
}

long long BancoTeste::ContaLinhas(const std::string& tabela) {
    db::Consulta q(*conexao_);
    q.DefineSql("select count(*) as N from " + tabela);
    q.Abre();
    return q.CampoInteiro("N");
}

std::string BancoTeste::Valor(const std::string& sql) {
    db::Consulta q(*conexao_);
    q.DefineSql(sql);
    q.Abre();
    return q.Eof() ? "" : q.CampoTexto(q.NomeCampo(0));
}

std::vector<std::string> TabelasDoBanco(db::Conexao& conexao) {
    std::vector<std::string> tabelas;
    db::Consulta q(conexao);
    q.DefineSql(
        "select trim(RDB$RELATION_NAME) as N from RDB$RELATIONS "
        "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$VIEW_BLR is null order by 1");
    for (q.Abre(); !q.Eof(); q.Proximo()) tabelas.push_back(q.CampoTexto("N"));
    return tabelas;
}

std::map<std::string, long long> ValoresDosGeradores(db::Conexao& conexao) {
    const bool transacaoAntes = conexao.DBTransaction().Ativa();
    std::map<std::string, long long> valores;
    db::Consulta q(conexao);
    q.DefineSql(
        "select trim(RDB$GENERATOR_NAME) as N from RDB$GENERATORS "
        "where coalesce(RDB$SYSTEM_FLAG, 0) <> 1");
    for (q.Abre(); !q.Eof(); q.Proximo()) valores[q.CampoTexto("N")] = 0;
    for (auto& [gerador, valor] : valores) {
        q.DefineSql("select gen_id(" + gerador + ", 0) as V from RDB$DATABASE");
        q.Abre();
        valor = q.CampoInteiro("V");
    }
    q.Fecha();
    if (!transacaoAntes) conexao.DBTransaction().Desfaz();
    return valores;
}

std::string RetratoDoBanco(db::Conexao& conexao, bool geradores) {
    const bool transacaoAntes = conexao.DBTransaction().Ativa();
    std::string retrato;
    const std::vector<std::string> tabelas = TabelasDoBanco(conexao);
    db::Consulta q(conexao);
    for (const std::string& tabela : tabelas) {
        // Text blobs are read as long texts.
        std::string colunas;
        q.DefineSql(
            "select trim(rf.RDB$FIELD_NAME) as N, f.RDB$FIELD_TYPE as T, "
            "rf.RDB$IDENTITY_TYPE as I from RDB$RELATION_FIELDS "
            "rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE where "
            "rf.RDB$RELATION_NAME = '" +
            tabela + "' order by rf.RDB$FIELD_POSITION");
        std::string primeira;
        for (q.Abre(); !q.Eof(); q.Proximo()) {
            if (primeira.empty()) primeira = q.CampoTexto("N");
            if (!geradores && !q.CampoNulo("I")) continue;
            if (!colunas.empty()) colunas += ", ";
            colunas += q.CampoInteiro("T") == 261 ? "cast(" + q.CampoTexto("N") +
                                                        " as varchar(8000)) as " + q.CampoTexto("N")
                                                  : q.CampoTexto("N");
        }
        retrato += "== " + tabela + "\n";
        q.DefineSql("select " + colunas + " from " + tabela + " order by " + primeira);
        for (q.Abre(); !q.Eof(); q.Proximo()) {
            for (int i = 0; i < q.NumeroCampos(); ++i) {
                const std::string& campo = q.NomeCampo(i);
                retrato += (i ? "|" : "") + (q.CampoNulo(campo) ? "<nulo>" : q.CampoTexto(campo));
            }
            retrato += "\n";
        }
    }
    q.Fecha();
    if (!transacaoAntes) conexao.DBTransaction().Desfaz();
    if (geradores)
        for (const auto& [gerador, valor] : ValoresDosGeradores(conexao))
            retrato += "gerador " + gerador + " = " + std::to_string(valor) + "\n";
    return retrato;
}

void EscreveTresTransportadoras(const std::string& arquivo) {
    std::ofstream saida(arquivo);
    int codigo = 0;
    for (const char* nome : {"Rapido Mineiro", "Expresso Paulista", "Trans Cerrado"}) {
        for (int coluna = 1; coluna <= 27; ++coluna) {
            if (coluna > 1) saida << ';';
            if (coluna == 14) saida << "MG";
            if (coluna == 20) saida << nome;
            if (coluna == 27) saida << ++codigo;
        }
        saida << '\n';
    }
}

}  // namespace conversor::teste
