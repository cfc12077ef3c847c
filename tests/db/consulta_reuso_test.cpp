// A statement run once per row keeps its preparation and the layout of the values it
// sends; what changes from one row to the next (a longer text, a null, another type
// in the same place) still reaches the database as given.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "apoio/banco_teste.h"
#include "base/regional.h"
#include "db/consulta.h"
#include "db/erro.h"

namespace conversor::db {
namespace {

using teste::BancoTeste;
using ::testing::HasSubstr;

class ConsultaReuso : public BancoTeste {
public:
    static void SetUpTestSuite() {
        BancoTeste::SetUpTestSuite();
        Executa(
            "create table REUSO (ID integer not null primary key, TEXTO varchar(8000), "
            "NUM double precision, QUANDO date)");
    }

protected:
    void SetUp() override { Executa("delete from REUSO"); }
};

TEST_F(ConsultaReuso, CadaLinhaChegaComoFoiDadaMesmoQuandoOFormatoMuda) {
    struct Caso {
        const char* nome;
        std::function<void(Consulta&)> liga;  // TEXTO, NUM, QUANDO by position
        std::string texto;                    // as read back ("<nulo>" for null)
        std::string num;
        std::string quando;
    };
    const std::string longo(5000, 'x');
    const Caso casos[] = {
        {"curtos",
         [](Consulta& q) {
             q.ParamTexto(1, "ab");
             q.ParamDouble(2, 12.5);
             q.ParamDataHora(3, CodificaData(2010, 3, 15));
         },
         "ab", "12,5", "15/03/2010"},
        {"nulos",
         [](Consulta& q) {
             q.ParamNulo(1);
             q.ParamNulo(2);
             q.ParamNulo(3);
         },
         "<nulo>", "<nulo>", "<nulo>"},
        {"texto mais longo que todos antes",
         [&](Consulta& q) {
             q.ParamTexto(1, longo);
             q.ParamDouble(2, -0.125);
             q.ParamDataHora(3, CodificaData(1900, 1, 1));
         },
         longo, "-0,125", "01/01/1900"},
        {"vazio depois do longo",
         [](Consulta& q) {
             q.ParamTexto(1, "");
             q.ParamDouble(2, 0);
             q.ParamDataHora(3, 0);
         },
         "", "0", "30/12/1899"},
        {"outros tipos no mesmo lugar",
         [](Consulta& q) {
             q.ParamInteiro(1, 42);
             q.ParamTexto(2, "7.25");
             q.ParamTexto(3, "25.12.2020");
         },
         "42", "7,25", "25/12/2020"},
        {"de volta aos primeiros",
         [](Consulta& q) {
             q.ParamTexto(1, "fim");
             q.ParamDouble(2, 1e-7);
             q.ParamNulo(3);
         },
         "fim", "1E-7", "<nulo>"},
    };
    Consulta q(Banco());
    int id = 0;
    for (const Caso& c : casos) {
        q.DefineSql(
            "insert into REUSO (ID, TEXTO, NUM, QUANDO) values (:ID, :TEXTO, :NUM, :QUANDO)");
        ASSERT_EQ(q.NumeroParametros(), 4);
        q.ParamInteiro(0, ++id);
        c.liga(q);
        q.Executa();
    }
    Consulta l(Banco());
    l.DefineSql("select * from REUSO order by ID");
    l.Abre();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        ASSERT_FALSE(l.Eof());
        const auto campo = [&l](const char* nome) {
            return l.CampoNulo(nome) ? std::string("<nulo>") : l.CampoTexto(nome);
        };
        EXPECT_EQ(campo("TEXTO"), c.texto);
        EXPECT_EQ(campo("NUM"), c.num);
        EXPECT_EQ(campo("QUANDO"), c.quando);
        l.Proximo();
    }
    EXPECT_TRUE(l.Eof());
}

TEST_F(ConsultaReuso, PosicaoInexistenteEErro) {
    Consulta q(Banco());
    // A name that repeats is one parameter: positions follow the first appearance.
    q.DefineSql("insert into REUSO (ID, TEXTO, NUM) values (:ID, :T, :ID)");
    EXPECT_EQ(q.NumeroParametros(), 2);
    try {
        q.ParamTexto(2, "x");
        FAIL() << "position 2 accepted";
    } catch (const ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("Parâmetro 3"));
    }
    EXPECT_THROW(q.ParamNulo(-1), ErroBanco);
    q.ParamInteiro(0, 7);
    q.ParamTexto(1, "sete");
    q.Executa();
    EXPECT_EQ(Valor("select TEXTO || '|' || cast(NUM as integer) from REUSO"), "sete|7");
}

TEST_F(ConsultaReuso, OutroTextoDescartaOsValoresDoAnterior) {
    Consulta q(Banco());
    q.DefineSql("insert into REUSO (ID, TEXTO) values (:ID, :TEXTO)");
    q.ParamInteiro("ID", 1);
    q.ParamTexto("TEXTO", "um");
    q.Executa();
    // The same text again: the values start over as nulls.
    q.DefineSql("insert into REUSO (ID, TEXTO) values (:ID, :TEXTO)");
    q.ParamInteiro("ID", 2);
    q.Executa();
    // Another text, then the first one again: prepared anew, values from nothing.
    q.DefineSql("update REUSO set TEXTO = :TEXTO where ID = :ID");
    q.ParamTexto("TEXTO", "dois");
    q.ParamInteiro("ID", 2);
    q.Executa();
    q.DefineSql("insert into REUSO (ID, TEXTO) values (:ID, :TEXTO)");
    q.ParamInteiro("ID", 3);
    q.Executa();
    EXPECT_EQ(Valor("select list(ID || '=' || coalesce(TEXTO, 'nulo'), ' ') from "
                    "(select * from REUSO order by ID)"),
              "1=um 2=dois 3=nulo");
}

}  // namespace
}  // namespace conversor::db
