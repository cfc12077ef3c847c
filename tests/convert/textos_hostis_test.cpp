// Cell texts that could break a statement (quotes, comments, a semicolon, an injected
// DROP TABLE, parameter-looking names, control characters, a full cell of accents)
// through every record kind's sheet mapping, run by the conversion run against a real
// database: each lands as the kind's normalisation leaves it, nothing else runs, and
// the other tables stay as they were.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "app/execucao.h"
#include "convert/conversao.h"
#include "db/consulta.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {
namespace {

using namespace std::string_literals;
using app::TipoRegistro;
using ::testing::ElementsAre;

// The hostile texts, one staging row each, in this order.
constexpr size_t kCasos = 7;
const char* const kNomesCasos[kCasos] = {"aspas",      "comentário", "ponto e vírgula", "injeção",
                                         "parâmetros", "controle",   "acentos"};

std::string Acentos(size_t n) {
    const std::string letras = "ÁÉÍÓÚÂÊÔÃÕÇáéíóúâêôãõçàÀüÜ";
    std::string r;
    while (r.size() < 100) r += letras;
    return r.substr(0, n);
}

const std::array<std::string, kCasos> kHostis = {
    "D'Ávila \"o Velho\""s,
    "Rua A -- fim"s,
    "Loja; DELETE FROM CIDADES; COMMIT;"s,
    "'); DROP TABLE PRODUTO; --"s,
    "Sala :PARAM, :NOME e ? /* x"s,
    // A NUL, other controls, DEL, a line break; blanks and controls around it.
    "\tTab\x01Um\0Zero\x7F"
    "Del\r\nFim\x1F"s,
    Acentos(100),
};
const std::string kControleAparado =
    "Tab\x01Um\0Zero\x7F"
    "Del\r\nFim"s;

// One column a kind writes from a hostile cell, and what each case leaves in it.
struct Alvo {
    int coluna;           // the staging column that gets the hostile text
    const char* selecao;  // the stored value; "#" stands for the row's code
    std::array<std::string, kCasos> esperado;
};

struct Tipo {
    const char* nome;
    TipoRegistro tipo;
    int colunas;
    const char* tabela;
    int colunaCodigo;
    int larguraCodigo;                 // the code column's text, zero-padded to this
    std::map<int, std::string> fixos;  // cells every row needs
    std::vector<Alvo> alvos;
};

const Tipo kTipos[] = {
    {"transportadoras",
     TipoRegistro::Transportadoras,
     27,
     "TRANSPT",
     27,
     4,
     {{14, "MG"}},
     {
         // Double quotes go, the name is trimmed.
         {20,
          "select NOME from TRANSPT where CODTRANSPT = '#'",
          {"D'Ávila o Velho", kHostis[1], kHostis[2], kHostis[3], kHostis[4], kControleAparado,
           Acentos(35)}},
         // Double quotes go, nothing is trimmed.
         {3,
          "select BAIRRO from TRANSPT where CODTRANSPT = '#'",
          {"D'Ávila o Velho", kHostis[1], "Loja; DELETE FROM CIDADES; COM", kHostis[3], kHostis[4],
           kHostis[5], Acentos(30)}},
         // The city is looked up and created with the text as it is, bound as a value.
         {6,
          "select c.CIDADE from TRANSPT t join CIDADES c on c.CODCIDADE = t.CODCIDADE "
          "where t.CODTRANSPT = '#'",
          {kHostis[0], kHostis[1], "Loja; DELETE FROM CIDADES; COM", kHostis[3], kHostis[4],
           kHostis[5], Acentos(30)}},
     }},
    {"fornecedores",
     TipoRegistro::Fornecedores,
     48,
     "FORNECE",
     30,
     6,
     {{28, "MG"}},
     {
         // Single quotes go (the statement is built as text), the name is trimmed.
         {38,
          "select NOME from FORNECE where CODFORNEC = '#'",
          {"DÁvila \"o Velho\"", kHostis[1], kHostis[2], "); DROP TABLE PRODUTO; --", kHostis[4],
           kControleAparado, Acentos(50)}},
         // Cut to ten before the single quotes go.
         {40,
          "select NUMERO from FORNECE where CODFORNEC = '#'",
          {"DÁvila \"o", "Rua A -- f", "Loja; DELE", "); DROP T", "Sala :PARA", "\tTab\x01Um\0Ze"s,
           Acentos(10)}},
     }},
    {"vendedores",
     TipoRegistro::Vendedores,
     57,
     "VENDEND",
     57,
     4,
     {{27, "MG"}},
     {
         {40,
          "select NOME from VENDEND where CODVENDEDOR = '#'",
          {kHostis[0], kHostis[1], kHostis[2], kHostis[3], kHostis[4], kHostis[5], Acentos(40)}},
         {26,
          "select ENDERECO from VENDEND where CODVENDEDOR = '#'",
          {kHostis[0], kHostis[1], kHostis[2], kHostis[3], kHostis[4], kHostis[5], Acentos(50)}},
     }},
    {"clientes",
     TipoRegistro::Clientes,
     130,
     "CLIENTE",
     18,
     8,
     {{51, "MG"}},
     {
         // Double quotes go (the statement is built as text), the name is trimmed.
         {108,
          "select NOME from CLIENTE where CODCLIENTE = '#'",
          {"D'Ávila o Velho", kHostis[1], kHostis[2], kHostis[3], kHostis[4], kControleAparado,
           Acentos(60)}},
         {50,
          "select OBSERVACAO from CLIENTE where CODCLIENTE = '#'",
          {"D'Ávila o Velho", kHostis[1], kHostis[2], kHostis[3], kHostis[4], kHostis[5],
           Acentos(80)}},
         // The complement binds its values.
         {21,
          "select COMPLEMENTONFE from COMPCLIE where CODCLIENTE = '#'",
          {kHostis[0], kHostis[1], kHostis[2], kHostis[3], kHostis[4], kHostis[5], Acentos(60)}},
     }},
    {"produtos",
     TipoRegistro::Produtos,
     132,
     "PRODUTO",
     0,
     6,
     {{64, "1"}},
     {
         // Double quotes go, the description is trimmed.
         {66,
          "select DESCRICAO from PRODUTO where CODPROD = '#'",
          {"D'Ávila o Velho", kHostis[1], kHostis[2], kHostis[3], kHostis[4], kControleAparado,
           Acentos(50)}},
         // Kept as it is, single quotes doubled in the statement.
         {103,
          "select REFERENCIA from PRODUTO where CODPROD = '#'",
          {kHostis[0], kHostis[1], "Loja; DELETE FROM CI", "'); DROP TABLE PRODU",
           "Sala :PARAM, :NOME e",
           "\tTab\x01Um\0Zero\x7F"
           "Del\r\nFi"s,
           Acentos(20)}},
         // The manufacturer is looked up and created with the text as it is.
         {55,
          "select DESCRICAO from CADFABR where CODFABRIC = "
          "(select CODFABRIC from PRODUTO where CODPROD = '#')",
          {kHostis[0], kHostis[1], "Loja; DELETE FROM CIDADES; COM", kHostis[3], kHostis[4],
           kHostis[5], Acentos(30)}},
     }},
};

void PrintTo(const Tipo& t, std::ostream* saida) { *saida << t.nome; }

// The kind, and whether the statements built as text go to the database as text (so
// that the parameter names are looked for in a text full of literals) or prepared.
using Parametro = std::tuple<Tipo, bool>;

class TextosHostis : public teste::BancoTeste, public ::testing::WithParamInterface<Parametro> {
protected:
    void SetUp() override {
        for (const char* tabela :
             {"TRANSPT", "FORNECE", "VENDEND", "CLIENTE", "COMPCLIE", "PRODUTO", "PRODUTODETALHE",
              "COMPPROD", "MVGERAL", "CIDADES", "CADFABR", "CLASFISC", "UNIDADES"})
            Executa(std::string("delete from ") + tabela);
        // What the injected statements would remove.
        Executa("insert into CIDADES (CODCIDADE, CIDADE, ESTADO) values ('00090', 'Antiga', 'SP')");
        Executa("insert into PRODUTO (CODPROD, DESCRICAO) values ('999999', 'Antigo')");
    }

    static std::string Codigo(const Tipo& t, size_t caso) {
        return std::string(t.larguraCodigo - 1, '0') + std::to_string(caso + 1);
    }

    static std::string Le(std::string selecao, const std::string& codigo) {
        selecao.replace(selecao.find('#'), 1, codigo);
        return Valor(selecao);
    }

    intake::TTabelaTemp tabela_;
    intake::TDMCotrolaExcel excel_;
    intake::ProgressoMudo progresso_;
    teste::MensagensGravadas mensagens_;
};

TEST_P(TextosHostis, ChegamNormalizadosESemExecutarNada) {
    const Tipo& t = std::get<0>(GetParam());
    struct Modo {
        bool antes = TConversao::ComandosPreparados();
        explicit Modo(bool preparados) { TConversao::DefineComandosPreparados(preparados); }
        ~Modo() { TConversao::DefineComandosPreparados(antes); }
    } modo(std::get<1>(GetParam()));
    tabela_.Recria(t.colunas);
    for (size_t caso = 0; caso < kCasos; ++caso) {
        tabela_.NovoRegistro();
        // Products are numbered by their row; the other kinds read their code.
        if (t.colunaCodigo) tabela_.DefineCampo(t.colunaCodigo, std::to_string(caso + 1));
        for (const auto& [coluna, texto] : t.fixos) tabela_.DefineCampo(coluna, texto);
        for (const Alvo& alvo : t.alvos) tabela_.DefineCampo(alvo.coluna, kHostis[caso]);
        tabela_.Grava();
    }
    app::ExecucaoConversao execucao(Banco(), excel_, tabela_, progresso_, mensagens_,
                                    CONVERSOR_TABELA_CIDADES);
    ASSERT_TRUE(execucao.ExecutaConversao(t.tipo)) << ::testing::PrintToString(mensagens_.Erros());
    EXPECT_THAT(mensagens_.lista,
                ElementsAre(::testing::Field(&teste::MensagensGravadas::Mensagem::texto,
                                             "Conversão concluída com sucesso!")));

    for (size_t caso = 0; caso < kCasos; ++caso) {
        SCOPED_TRACE(kNomesCasos[caso]);
        for (const Alvo& alvo : t.alvos) {
            SCOPED_TRACE(alvo.selecao);
            EXPECT_EQ(Le(alvo.selecao, Codigo(t, caso)), alvo.esperado[caso]);
        }
    }
    // One row per staging row and nothing else: no statement smuggled in a cell ran.
    EXPECT_EQ(ContaLinhas(t.tabela), static_cast<long long>(kCasos));
    EXPECT_EQ(Valor("select CIDADE from CIDADES where CODCIDADE = '00090'"), "Antiga");
    EXPECT_EQ(Valor("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'PRODUTO'"), "1");
    EXPECT_EQ(Valor("select DESCRICAO from PRODUTO where CODPROD = '999999'"),
              t.tipo == TipoRegistro::Produtos ? "" : "Antigo");
}

// Carriers and sellers bind every value whichever the mode; the others run both ways.
std::vector<Parametro> Parametros() {
    std::vector<Parametro> r;
    for (const Tipo& t : kTipos) {
        r.emplace_back(t, true);
        if (t.tipo != TipoRegistro::Transportadoras && t.tipo != TipoRegistro::Vendedores)
            r.emplace_back(t, false);
    }
    return r;
}

INSTANTIATE_TEST_SUITE_P(Tipos, TextosHostis, ::testing::ValuesIn(Parametros()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).nome) +
                                    (std::get<1>(info.param) ? "_preparados" : "_como_texto");
                         });

}  // namespace
}  // namespace conversor::convert
