// The window ended by the system (SIGTERM) or by Ctrl+C on the terminal that started
// it, after a database was opened: the program ends, and what it had not committed
// is undone, idle or in the middle of a conversion. The window runs in a process of
// its own (janela_filha); every wait has a deadline.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <regex>

#include "apoio/banco_teste.h"
#include "apoio/processo.h"
#include "db/conexao.h"
#include "db/consulta.h"
#include "db/esquema.h"

namespace conversor::app {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

std::string U8(const char8_t* texto) { return reinterpret_cast<const char*>(texto); }

class JanelaSinais : public ::testing::Test {
protected:
    // Each statement committed; the connection closes at the end, so that the window
    // can open the file.
    static void Executa(const std::string& banco, const std::string& sql) {
        db::Conexao conexao;
        conexao.DefineNomeBanco(banco);
        conexao.Conecta();
        db::Consulta q(conexao);
        q.DefineSql(sql);
        q.Executa();
        conexao.DBTransaction().Confirma();
    }
    static std::vector<std::string> Nomes(const std::string& banco) {
        db::Conexao conexao;
        conexao.DefineNomeBanco(banco);
        conexao.Conecta();
        db::Consulta q(conexao);
        q.DefineSql("select NOME from TRANSPT order by CODTRANSPT");
        q.Abre();
        std::vector<std::string> nomes;
        for (; !q.Eof(); q.Proximo()) nomes.push_back(q.CampoTexto("NOME"));
        return nomes;
    }
    // Carriers in their layout: the code in column 27, the name in 20, the state in 14.
    std::string Planilha(int linhas) {
        const std::string arquivo = pasta_.Arquivo("transportadoras.csv");
        std::ofstream saida(arquivo);
        for (int i = 1; i <= linhas; ++i) {
            for (int coluna = 1; coluna <= 27; ++coluna) {
                if (coluna > 1) saida << ';';
                if (coluna == 14) saida << "MG";
                if (coluna == 20) saida << "Transportadora " << i;
                if (coluna == 27) saida << i;
            }
            saida << '\n';
        }
        return arquivo;
    }

    teste::PastaTemporaria pasta_;
};

TEST_F(JanelaSinais, EncerraEDesfazOQueNaoFoiConfirmado) {
    struct Caso {
        const char* modo;
        int sinal;
    };
    const Caso casos[] = {{"ocioso", SIGTERM}, {"convertendo", SIGTERM}, {"convertendo", SIGINT}};
    int n = 0;
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.modo) + " " + strsignal(c.sinal));
        const std::string banco = pasta_.Arquivo("vantora" + std::to_string(++n) + ".fdb");
        db::CriaBancoVantora(banco);
        Executa(banco, "insert into TRANSPT (CODTRANSPT, NOME) values ('0998', 'Antiga')");
        const bool converte = std::string(c.modo) == "convertendo";

        // Far more rows than the run can convert before the test reacts, each with a
        // code of its own (four digits), so that the rehearsal lets the run start.
        teste::Processo janela({JANELA_FILHA, banco, Planilha(converte ? 9999 : 1), c.modo});
        ASSERT_TRUE(janela.Espera(std::regex(converte ? "convertendo\n" : "pronto\n"), 120s))
            << janela.Saida();
        janela.Sinal(c.sinal);
        EXPECT_EQ(janela.Termina(60s), 128 + c.sinal) << janela.Saida();
        EXPECT_THAT(janela.Saida(), Not(HasSubstr("mensagem:"))) << "a message box was shown";
        EXPECT_THAT(janela.Saida(), Not(HasSubstr("sucesso")));
        if (converte) {
            // The run stopped itself and rolled back the carriers written since the
            // purge's commit.
            EXPECT_THAT(janela.Saida(),
                        HasSubstr(U8(u8"Conversão interrompida: o programa foi encerrado")));
            EXPECT_THAT(Nomes(banco), ::testing::IsEmpty());
        } else {
            EXPECT_THAT(Nomes(banco), ::testing::ElementsAre("Antiga"));
        }
        // Stopped cleanly: not even the orphan pages a killed process leaves.
        if (teste::ProgramaExiste("gfix")) {
            const teste::Resultado r =
                teste::Roda({"gfix", "-v", "-full", "-user", db::kUsuarioSysdba, "-password",
                             db::kSenhaSysdba, banco});
            EXPECT_EQ(r.status, 0) << r.saida;
            EXPECT_THAT(r.saida, Not(HasSubstr("errors"))) << r.saida;
            EXPECT_THAT(r.saida, Not(HasSubstr("warnings"))) << r.saida;
        }
    }
}

}  // namespace
}  // namespace conversor::app
