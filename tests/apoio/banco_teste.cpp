#include "apoio/banco_teste.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

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
