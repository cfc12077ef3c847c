#include "db/conexao.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "apoio/banco_teste.h"
#include "base/regional.h"
#include "db/consulta.h"

namespace conversor::db {
namespace {

using teste::BancoTeste;
using ::testing::HasSubstr;

class ConexaoTeste : public BancoTeste {
public:
    static void SetUpTestSuite() {
        BancoTeste::SetUpTestSuite();
        Executa(
            "create table TESTE (ID integer not null primary key, TEXTO varchar(300), "
            "NUM double precision, INTEIRO integer, DATA date, NOTA blob sub_type text)");
    }

protected:
    void SetUp() override { Executa("delete from TESTE"); }

    void Insere(int id, const std::string& texto) {
        Consulta q(Banco());
        q.DefineSql("insert into TESTE (ID, TEXTO) values (:ID, :TEXTO)");
        q.ParamInteiro("ID", id);
        q.ParamTexto("texto", texto);
        q.Executa();
    }
};

TEST_F(ConexaoTeste, TransacaoComecaSozinhaEFicaAtiva) {
    Transacao& t = Banco().DBTransaction();
    ASSERT_FALSE(t.Ativa());
    Insere(1, "a");
    EXPECT_TRUE(t.Ativa());
    Insere(2, "b");
    EXPECT_TRUE(t.Ativa());
    t.Confirma();
    EXPECT_FALSE(t.Ativa());
    EXPECT_EQ(ContaLinhas("TESTE"), 2);
}

TEST_F(ConexaoTeste, ConfirmarEDesfazer) {
    Transacao& t = Banco().DBTransaction();
    t.Inicia();
    Insere(1, "fica");
    t.Confirma();
    t.Inicia();
    Insere(2, "some");
    t.Desfaz();
    EXPECT_FALSE(t.Ativa());
    EXPECT_EQ(ContaLinhas("TESTE"), 1);
    EXPECT_EQ(Valor("select TEXTO from TESTE"), "fica");
}

// The guard keeps only what it was told to confirm: an exception, or the end of its
// scope without Confirma, undoes the work; a connection gone meanwhile is no error.
TEST_F(ConexaoTeste, GuardaDesfazSalvoSeConfirmada) {
    {
        GuardaTransacao guarda(Banco());
        Insere(1, "fica");
        guarda.Confirma();
    }
    try {
        GuardaTransacao guarda(Banco());
        Insere(2, "some com a exceção");
        throw std::runtime_error("falha");
    } catch (const std::runtime_error&) {
    }
    {
        GuardaTransacao guarda(Banco());
        Insere(3, "some sem confirmar");
    }
    EXPECT_FALSE(Banco().DBTransaction().Ativa());
    EXPECT_EQ(ContaLinhas("TESTE"), 1);
    EXPECT_EQ(Valor("select TEXTO from TESTE"), "fica");

    // A rehearsal's confirmation keeps everything open for the guard to undo.
    {
        const EnsaioNaConexao ensaio(Banco());
        GuardaTransacao guarda(Banco());
        Insere(4, "ensaiada");
        guarda.Confirma();
        EXPECT_TRUE(Banco().DBTransaction().Ativa());
    }
    EXPECT_EQ(ContaLinhas("TESTE"), 1);

    Conexao semBanco;
    EXPECT_NO_THROW(GuardaTransacao{semBanco});
    EXPECT_EQ(db::ContaLinhas(semBanco, "TESTE"), std::nullopt);
    EXPECT_EQ(db::ContaLinhas(Banco(), "TESTE"), 1);
    EXPECT_EQ(db::ContaLinhas(Banco(), "NAO_EXISTE"), std::nullopt);
    Banco().DBTransaction().Desfaz();
}

TEST_F(ConexaoTeste, ComandoCommitConfirmaSoOQueVeioAntes) {
    Insere(1, "antes");
    Consulta commit(Banco());
    commit.DefineSql("Commit;");
    commit.Executa();
    EXPECT_FALSE(Banco().DBTransaction().Ativa());
    Insere(2, "depois");
    Banco().DBTransaction().Desfaz();
    EXPECT_EQ(ContaLinhas("TESTE"), 1);
    EXPECT_EQ(Valor("select TEXTO from TESTE"), "antes");
}

TEST_F(ConexaoTeste, EnsaioNaoConfirmaNadaEODesfazerLevaTudo) {
    Transacao& t = Banco().DBTransaction();
    {
        const EnsaioNaConexao ensaio(Banco());
        Insere(1, "antes do commit");
        Consulta commit(Banco());
        for (const char* texto : {"Commit", "COMMIT;"}) {
            commit.DefineSql(texto);
            commit.Executa();
            EXPECT_TRUE(t.Ativa()) << texto;
        }
        t.Confirma();
        EXPECT_TRUE(t.Ativa());
        Insere(2, "depois do commit");
        t.Desfaz();
    }
    EXPECT_FALSE(Banco().Ensaio());
    EXPECT_EQ(ContaLinhas("TESTE"), 0);
    // Out of the rehearsal, committing commits again.
    Insere(3, "fica");
    t.Confirma();
    EXPECT_FALSE(t.Ativa());
    EXPECT_EQ(ContaLinhas("TESTE"), 1);
}

TEST_F(ConexaoTeste, ParametrosDeCadaTipoVoltamComoForam) {
    const double data = CodificaData(2010, 3, 15) + 0.5;
    Consulta q(Banco());
    q.DefineSql(
        "insert into TESTE (ID, TEXTO, NUM, INTEIRO, DATA, NOTA) "
        "values (:ID, :TEXTO, :NUM, :INTEIRO, :DATA, :NOTA)");
    q.ParamInteiro("ID", 1);
    q.ParamTexto("TEXTO", "");
    q.ParamDouble("NUM", 1234567.891);
    q.ParamInteiro("INTEIRO", -42);
    q.ParamDataHora("DATA", data);
    const std::string nota(100000, 'x');
    q.ParamBlobTexto("NOTA", nota);
    q.Executa();
    q.DefineSql(
        "insert into TESTE (ID, TEXTO, NUM, INTEIRO, DATA, NOTA) "
        "values (:ID, :TEXTO, :NUM, :INTEIRO, :DATA, :NOTA)");
    q.ParamInteiro("ID", 2);  // every other parameter left unset: null
    q.Executa();

    q.DefineSql("select * from TESTE order by ID");
    q.Abre();
    EXPECT_FALSE(q.CampoNulo("TEXTO"));  // an empty text is not null
    EXPECT_EQ(q.CampoTexto("TEXTO"), "");
    EXPECT_DOUBLE_EQ(q.CampoNumero("NUM"), 1234567.891);
    EXPECT_EQ(q.CampoTexto("num"), "1234567,891");
    EXPECT_EQ(q.CampoInteiro("INTEIRO"), -42);
    EXPECT_DOUBLE_EQ(q.CampoNumero("DATA"), data);
    EXPECT_EQ(q.CampoTexto("DATA"), "15/03/2010 12:00:00");
    EXPECT_EQ(q.CampoTexto("NOTA"), nota);
    q.Proximo();
    ASSERT_FALSE(q.Eof());
    for (const char* campo : {"TEXTO", "NUM", "INTEIRO", "DATA", "NOTA"}) {
        EXPECT_TRUE(q.CampoNulo(campo)) << campo;
        EXPECT_EQ(q.CampoTexto(campo), "") << campo;
    }
    q.Proximo();
    EXPECT_TRUE(q.Eof());
}

TEST_F(ConexaoTeste, TextoWindows1252VoltaByteAByte) {
    // D'Ávila, ç, ã, € and the other bytes of the upper half, as the program holds them.
    std::string texto = "D'\xC1vila \xE7\xE3 \x80 ";
    for (int c = 0xA0; c <= 0xFF; ++c) texto += static_cast<char>(c);
    Insere(1, texto);
    EXPECT_EQ(Valor("select TEXTO from TESTE where ID = 1"), texto);
    Consulta q(Banco());
    q.DefineSql("select ID from TESTE where TEXTO = " + Aspas(texto));
    q.Abre();
    EXPECT_FALSE(q.Eof());
}

TEST_F(ConexaoTeste, MesmaConsultaReexecutadaComOutrosValores) {
    Consulta q(Banco());
    for (int id = 1; id <= 50; ++id) {
        q.DefineSql("insert into TESTE (ID, TEXTO) values (:ID, :TEXTO)");
        q.ParamInteiro("ID", id);
        q.ParamTexto("TEXTO", std::string(static_cast<size_t>(id), 'a'));
        q.Executa();
    }
    EXPECT_EQ(ContaLinhas("TESTE"), 50);
    EXPECT_EQ(Valor("select TEXTO from TESTE where ID = 3"), "aaa");
}

TEST_F(ConexaoTeste, ErrosTrazemAMensagemDoBanco) {
    Insere(1, "a");
    try {
        Insere(1, "b");
        FAIL() << "chave duplicada aceita";
    } catch (const ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("PRIMARY or UNIQUE KEY"));
        // A row's fault is told in the user's words, before the database's own.
        EXPECT_THAT(e.what(), HasSubstr("Código repetido: a tabela TESTE já tem uma linha com a "
                                        "mesma chave (\"ID\" = 1)."));
        EXPECT_FALSE(e.Grave());
    }
    try {
        Insere(2, std::string(301, 'x'));
        FAIL() << "texto maior que o campo aceito";
    } catch (const ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("maior que o campo do banco"));
        EXPECT_FALSE(e.Grave());
    }
    // The failed statement leaves the transaction and the earlier row alone.
    EXPECT_TRUE(Banco().DBTransaction().Ativa());
    EXPECT_EQ(ContaLinhas("TESTE"), 1);

    Consulta q(Banco());
    q.DefineSql("insert into NAO_EXISTE (A) values (1)");
    try {
        q.Executa();
        FAIL() << "tabela inexistente aceita";
    } catch (const ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("NAO_EXISTE"));
    }
    q.DefineSql("select X from TESTE where ID = :ID");
    EXPECT_THROW(q.ParamTexto("OUTRO", "1"), ErroBanco);
}

TEST(Conexao, BancoInexistenteFalhaComMensagemClara) {
    Conexao c;
    c.DefineNomeBanco("/tmp/nao-existe/vantora.fdb");
    try {
        c.Conecta();
        FAIL() << "conectou a um arquivo inexistente";
    } catch (const ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("/tmp/nao-existe/vantora.fdb"));
        EXPECT_THAT(e.what(), HasSubstr("conectar"));
    }
    EXPECT_FALSE(c.Conectado());
    Consulta q(c);
    q.DefineSql("select 1 from rdb$database");
    EXPECT_THROW(q.Abre(), ErroBanco);
    EXPECT_THROW(c.DBTransaction().Inicia(), ErroBanco);
}

TEST_F(ConexaoTeste, ReconectarDescartaOQueEstavaPendente) {
    Insere(1, "pendente");
    Consulta q(Banco());
    q.DefineSql("select count(*) as N from TESTE");
    q.Abre();
    Banco().Desconecta();  // rolls back
    EXPECT_FALSE(Banco().DBTransaction().Ativa());
    Banco().Conecta();
    q.Abre();  // prepared again on the new attachment
    EXPECT_EQ(q.CampoInteiro("N"), 0);
}

}  // namespace
}  // namespace conversor::db
