// The main window with files in folders named as Brazilian users name them (and
// beyond Windows-1252), under a C library locale that knows only ASCII, as with
// LANG=C.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <clocale>
#include <deque>
#include <filesystem>
#include <fstream>

#include "apoio/banco_teste.h"
#include "apoio/conversao_na_janela.h"
#include "apoio/dialogos_gravados.h"
#include "app/janela/principal.h"
#include "db/esquema.h"

namespace conversor::app {
namespace {

// Qt moves a "C" locale to "C.UTF-8" for itself; a user whose locale is not UTF-8
// gives the rest of the program an ASCII or Latin-1 one, which this brings back once
// the application is made (the tests' main makes it before running any test).
class LocaleSoAscii : public ::testing::Environment {
public:
    void SetUp() override { std::setlocale(LC_ALL, "C"); }
};
[[maybe_unused]] ::testing::Environment* const kLocaleSoAscii =
    ::testing::AddGlobalTestEnvironment(new LocaleSoAscii);

TEST(JanelaCaminhos, BancoPlanilhaEMensagensComOsNomesComoSaoNaPasta) {
    teste::PastaTemporaria raiz;
    for (const char8_t* nomeU8 : {u8"Área de Trabalho/vendas ção", u8"中文 目录 😀/表格 'x'"}) {
        const std::string nome = reinterpret_cast<const char*>(nomeU8);
        SCOPED_TRACE(nome);
        const std::string pasta = raiz.Arquivo(nome);
        std::filesystem::create_directories(pasta);
        const QString qpasta = QString::fromUtf8(pasta.c_str());
        // The database is made under an ASCII name and then moved into the folder, so
        // that only the window's own opening of it is on trial.
        db::CriaBancoVantora(raiz.Arquivo("novo.fdb"));
        std::filesystem::rename(raiz.Arquivo("novo.fdb"), pasta + "/banco.fdb");
        // One product: its margin (column 64) and its description (column 66).
        std::ofstream(pasta + "/planilha.csv")
            << std::string(63, ';') << "0;;Produto" << std::string(66, ';') << "\n";

        teste::DialogosGravados dialogos;
        TFPrincipal janela(dialogos, CONVERSOR_TABELA_CIDADES);
        janela.show();
        dialogos.arquivos = {qpasta + "/banco.fdb", qpasta + "/planilha.csv"};
        janela.findChild<QPushButton*>("btAbrirVantora")->click();
        janela.findChild<QPushButton*>("Btabrir")->click();
        EXPECT_TRUE(dialogos.mensagens.empty()) << dialogos.mensagens.front().second.toStdString();
        EXPECT_TRUE(janela.dbVantora().Conectado());
        EXPECT_EQ(janela.findChild<QComboBox*>("MostraPlanilha")->count(), 1);
        janela.findChild<QLineEdit*>("edtNumLinha")->setText("1");
        ASSERT_TRUE(teste::EfetuaConversao(janela));
        ASSERT_EQ(dialogos.mensagens.size(), 1u);
        EXPECT_EQ(dialogos.mensagens[0].first, Dialogos::Tipo::Informacao);

        // Files that are not there: the messages name them as they are in the folder.
        dialogos.mensagens.clear();
        dialogos.arquivos = {qpasta + "/ausente.fdb", qpasta + "/ausente.xlsx"};
        janela.findChild<QPushButton*>("btAbrirVantora")->click();
        janela.findChild<QPushButton*>("Btabrir")->click();
        ASSERT_EQ(dialogos.mensagens.size(), 2u);
        EXPECT_TRUE(dialogos.mensagens[0].second.contains(qpasta + "/ausente.fdb"))
            << dialogos.mensagens[0].second.toStdString();
        EXPECT_TRUE(dialogos.mensagens[1].second.contains(qpasta + "/ausente.xlsx"))
            << dialogos.mensagens[1].second.toStdString();
        janela.dbVantora().Desconecta();
    }
}

}  // namespace
}  // namespace conversor::app
