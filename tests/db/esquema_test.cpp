#include "db/esquema.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "apoio/banco_teste.h"
#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::db {
namespace {

using teste::BancoTeste;
using ::testing::HasSubstr;

using EsquemaTeste = BancoTeste;

TEST_F(EsquemaTeste, BancoNovoTemAsTrezeTabelasEmDialeto1) {
    EXPECT_EQ(Valor("select MON$SQL_DIALECT from MON$DATABASE"), "1");
    EXPECT_EQ(Valor("select trim(RDB$CHARACTER_SET_NAME) from RDB$DATABASE"), "WIN1252");
    for (const char* tabela :
         {"PRODUTO", "PRODUTODETALHE", "COMPPROD", "MVGERAL", "CLIENTE", "COMPCLIE", "TRANSPT",
          "FORNECE", "VENDEND", "UNIDADES", "CIDADES", "CLASFISC", "CADFABR"}) {
        EXPECT_EQ(ContaLinhas(tabela), 0) << tabela;
    }
    EXPECT_EQ(Valor("select count(*) from RDB$RELATIONS where coalesce(RDB$SYSTEM_FLAG, 0) = 0"),
              "13");
}

TEST_F(EsquemaTeste, NaoSobrescreveArquivoExistente) {
    try {
        CriaBancoVantora(ArquivoBanco());
        FAIL() << "sobrescreveu";
    } catch (const ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("existe"));
    }
    EXPECT_EQ(ContaLinhas("UNIDADES"), 0);  // still the same, usable database
}

TEST(CriaBanco, ScriptComErroNaoDeixaArquivo) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta.Arquivo("ruim.fdb");
    EXPECT_THROW(Conexao::CriaBanco(arquivo, "create table A (X integer);\ncreate tabel B;\n"),
                 ErroBanco);
    EXPECT_FALSE(std::ifstream(arquivo).good());
}

TEST(CriaBanco, ComandoCriaBancoQueOIsqlAbre) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta.Arquivo("demo.fdb");
    const std::string comando = std::string(CONVERSOR_EXECUTAVEL) + " criar-banco " + arquivo;
    ASSERT_EQ(std::system((comando + " > /dev/null").c_str()), 0);
    EXPECT_NE(std::system((comando + " 2> /dev/null").c_str()), 0);  // refuses to overwrite
    const std::string saida = pasta.Arquivo("isql.txt");
    const std::string isql = std::string("echo 'show sql dialect; show tables;' | isql-fb -user ") +
                             kUsuarioSysdba + " -password " + kSenhaSysdba + " " + arquivo + " > " +
                             saida + " 2>&1";
    ASSERT_EQ(std::system(isql.c_str()), 0);
    std::ifstream in(saida);
    const std::string texto((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_THAT(texto, HasSubstr("database SQL dialect is: 1"));
    EXPECT_THAT(texto, HasSubstr("PRODUTODETALHE"));
    EXPECT_THAT(texto, HasSubstr("VENDEND"));
}

}  // namespace
}  // namespace conversor::db
