#include "db/parametros.h"

#include <gtest/gtest.h>

namespace conversor::db {
namespace {

TEST(TraduzParametros, SoNomesForaDeLiteraisComentariosEIdentificadores) {
    struct Caso {
        const char* nome;
        const char* sql;
        const char* posicional;
        std::vector<std::string> nomes;
    };
    const Caso casos[] = {
        {"simples",
         "Select X from T Where A = :PCIDADE AND B = :pEstado",
         "Select X from T Where A = ? AND B = ?",
         {"PCIDADE", "PESTADO"}},
        {"repetido",
         "insert into T values (:A, :a, :B)",
         "insert into T values (?, ?, ?)",
         {"A", "A", "B"}},
        {"literal",
         "select ':NAO' from T where A = :SIM and B = 'it''s :X'",
         "select ':NAO' from T where A = ? and B = 'it''s :X'",
         {"SIM"}},
        {"aspas duplas",
         "select \"A:B\" from T where C = :C",
         "select \"A:B\" from T where C = ?",
         {"C"}},
        {"comentario de linha",
         "select 1 from T -- :NAO\nwhere A = :SIM",
         "select 1 from T -- :NAO\nwhere A = ?",
         {"SIM"}},
        {"comentario de bloco",
         "select /* :NAO */ 1 from T where A=:SIM_2$",
         "select /* :NAO */ 1 from T where A=?",
         {"SIM_2$"}},
        {"literal sem fim", "select 'abc :X", "select 'abc :X", {}},
        {"dois pontos soltos", "select a: from T", "select a: from T", {}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const TextoPosicional r = TraduzParametros(c.sql);
        EXPECT_EQ(r.sql, c.posicional);
        EXPECT_EQ(r.nomes, c.nomes);
    }
}

TEST(EhComandoCommit, GrafiasAceitas) {
    for (const char* sim : {"Commit", "COMMIT", "Commit;", "COMMIT;", "  commit ; ", "\ncOmMiT\n"})
        EXPECT_TRUE(EhComandoCommit(sim)) << sim;
    for (const char* nao : {"", "COMMIT WORK", "Commit;;", "ROLLBACK", "select 'COMMIT' from T"})
        EXPECT_FALSE(EhComandoCommit(nao)) << nao;
}

}  // namespace
}  // namespace conversor::db
