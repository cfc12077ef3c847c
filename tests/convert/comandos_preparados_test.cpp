// The statements built with the values in their text (products, product detail,
// stock movement, clients, suppliers) land the same when they are prepared once and
// run with the values bound: the same records written both ways into two fresh
// databases, then every column of every table compared byte for byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "base/regional.h"
#include "convert/clients/registro_cliente.h"
#include "convert/conversao.h"
#include "convert/ferramentas.h"
#include "convert/mapeamentos.h"
#include "convert/montagem_sql.h"
#include "convert/partners/registro_fornecedor.h"
#include "convert/products/registro_produto.h"
#include "convert/products/registro_produto_detalhe.h"
#include "db/erro.h"
#include "db/esquema.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {
namespace {

using teste::MensagensGravadas;
using teste::PastaTemporaria;
using teste::TabelasDoBanco;
using ::testing::HasSubstr;

// Amounts as the sheets and the converters give them: zero and minus zero, negative,
// the usual prices and rates, doubles that no short decimal writes exactly, 15
// digits, the edges of the fixed notation, and the ones the text writes with an
// exponent (those rows go as text either way).
const double kNumeros[] = {0,
                           -0.0,
                           1,
                           -1,
                           12.5,
                           -12.5,
                           51.11,
                           18,
                           0.65,
                           7.6,
                           1.65,
                           0.1 + 0.2,
                           1.0 / 3,
                           -2.0 / 3 * 1e6,
                           1234567.891,
                           -987654.321,
                           123456789012345,
                           999999999999999,
                           99999999999999.99,
                           0.00001,
                           0.000012345678901234,
                           0.0001,
                           1e15,
                           1e20,
                           -1.5e-7,
                           9.87654321e-6,
                           1e-300,
                           4503599627370497.0};

// Texts: empty, blanks, quotes of both kinds, accents, a parameter look-alike and
// every byte but zero.
std::string TodosOsBytes() {
    std::string t;
    for (int c = 1; c <= 255; ++c) t += static_cast<char>(c);
    return t;
}
const std::string kTextos[] = {"",
                               " ",
                               "D'AGUA",
                               "''",
                               "\"aspas\" duplas",
                               "A\xE7\xE3o \xC9 \xFAnica \x80",  // Ação É única €
                               ":P1 e :NOME",
                               "fim com brancos   ",
                               "   come\xE7o com brancos"};

void PreencheProduto(TConverteProduto& p, int caso) {
    const auto N = [caso](int k) { return kNumeros[(caso + k) % std::size(kNumeros)]; };
    const auto T = [caso](int k) { return kTextos[(caso + k) % std::size(kTextos)]; };
    p.SetCODPROD(std::to_string(caso + 1));
    p.SetDESCRICAO(T(0));
    p.SetDESCRICAO2(T(1));
    p.SetDESCRICAO3(T(2));
    p.SetREFERENCIA(T(3).substr(0, 20));
    p.SetOBSERVACAO(caso == 0 ? TodosOsBytes() : T(4));
    p.Setmensagem00(T(5));
    p.SetCAMPOLIVRE1(T(6));
    p.SetCODGRUPO(T(7));
    p.SetCODSUBGRUPO(caso % 2 ? "5" : "");
    p.SetCODCLASFIS(caso % 3 ? " 12" : "");
    p.SetATIVO(caso % 2 ? "Sim" : "N");
    p.SetPRECO(N(0));
    p.SetPRECO2(N(1));
    p.SetPRECO3(N(2));
    p.SetPRECO4(N(3));
    p.SetPESO(N(4));
    p.SetALIQICMSREG00(N(5));
    p.SetBASEICMSREG00(N(6));
    p.SetLucro(N(7));
    p.SetLucro4(N(8));
    p.SetEstMinimo(N(9));
    p.SetPerc_Iva(N(10));
    p.SetFatorConversao(N(11));
    p.SetPrecoPromo(N(12));
    p.SetPercIcmsSubsTribSaidaR4(N(13));
    p.Setgrade(caso % 2 ? -caso : caso * 1000);
    // The optional registration date: in some rows only, so the column list varies.
    if (caso % 4 == 1) p.SetDT_CADASTRO("15.03.2010");
    if (caso % 4 == 3) p.SetDT_CADASTRO("29.02.2024");
}

void PreencheDetalhe(TConverteProdutoDetalhe& d, int caso) {
    const auto N = [caso](int k) { return kNumeros[(caso + 3 * k) % std::size(kNumeros)]; };
    d.SetCODPROD(CompletaZeros(std::to_string(caso + 1), 6));
    d.SetALIQPIS(N(0));
    d.SetALIQCOFINS(N(1));
    if (caso % 3 == 0) {
        d.SetALIQPISENT(N(2));
        d.SetALIQCOFINSENT(N(3));
    }
    d.SetPIS_CST(kTextos[caso % std::size(kTextos)].substr(0, 2));
    d.SetCOFINS_CST(caso % 2 ? "01" : "");
}

void PreencheCliente(TConverteCliente& c, int caso) {
    const auto T = [caso](int k) { return kTextos[(caso + k) % std::size(kTextos)]; };
    c.SetCodCliente(std::to_string(caso + 1));
    c.SetNome(T(0));
    c.SetNomeFantasia(T(1));
    c.SetEndereco(T(2));
    c.SetBairro(T(3));
    c.SetCodCidade(caso % 2 ? "7" : "");
    c.SetEstado("MG");
    c.SetObservacao(T(4));
    c.SetContato(T(5));
    c.SetCampoLivre3(T(6));
    c.SetFone(caso % 2 ? "33334444" : "");
    if (caso % 3 == 1) c.SetDtNascimento("25/12/1980");
    if (caso % 3 == 2) c.SetDtCadastro("01/02/2003");
}

void PreencheFornecedor(TConverteFornece& f, int caso) {
    const auto T = [caso](int k) { return kTextos[(caso + k) % std::size(kTextos)]; };
    f.SetCodFornec(std::to_string(caso + 1));
    f.SetNome(T(0));
    f.SetNomeFantasia(T(1));
    f.SetEndereco(T(2));
    f.SetComplemento(T(3));
    f.SetEmail(T(4));
    f.SetEstado("mg");
    f.SetPessoaFJ("J");
    f.SetAtivo("S");
}

// A staging row of `colunas` columns with the given cells (text as the sheet gives it).
void Registro(intake::TTabelaTemp& t, const std::vector<std::pair<int, std::string>>& celulas) {
    t.NovoRegistro();
    for (const auto& [coluna, texto] : celulas) t.DefineCampo(coluna, texto);
    t.Grava();
}

// Rows for the sheet mappings: amounts written with the decimal comma, cities and
// classifications repeated so the remembered codes are used, a failed number-less
// lookup or two.
void Produtos(intake::TTabelaTemp& t) {
    t.Recria(132);
    for (int i = 0; i < 24; ++i) {
        const auto N = [i](int k) { return NumeroParaTexto(kNumeros[(i + k) % 22]); };
        Registro(t, {{3, kTextos[i % std::size(kTextos)]},
                     {5, i % 2 ? "True" : "False"},
                     {15, i % 4 ? std::to_string(84713010 + i % 3) : ""},
                     {20, kTextos[(i + 1) % std::size(kTextos)]},
                     {27, std::to_string(i % 7)},
                     {30, i % 2 ? "1" : "04"},
                     {44, "07"},
                     {55, i % 5 ? "FABRICANTE D'OESTE " + std::to_string(i % 3) : ""},
                     {64, N(0)},
                     {66, kTextos[(i + 2) % std::size(kTextos)] + " produto"},
                     {81, N(1)},
                     {85, kTextos[(i + 3) % std::size(kTextos)]},
                     {86, N(2)},
                     {87, i % 3 ? N(3) : " "},
                     {88, N(4)},
                     {91, N(5)},
                     {96, N(6)},
                     {102, N(7)},
                     {103, "REF-" + std::to_string(i)},
                     {111, i % 4 ? N(8) : ""},
                     {126, "789" + std::to_string(1000000 + i)},
                     {129, i % 3 ? "60" : "0"},
                     {130, i % 2 ? "pc" : "CX"},
                     {132, i % 5 ? "S" : ""}});
    }
}

void Clientes(intake::TTabelaTemp& t) {
    t.Recria(130);
    for (int i = 0; i < 12; ++i) {
        const std::string& texto = kTextos[i % std::size(kTextos)];
        Registro(t, {{18, std::to_string(i + 1)},
                     {108, texto + " Ltda"},
                     {76, texto},
                     {10, i % 3 ? "52.601.815/0001-20" : ""},
                     {28, "291.703.423-85"},
                     {48, "Rua D'Ajuda"},
                     {79, std::to_string(i * 10)},
                     {21, texto},
                     {6, "Centro"},
                     {9, "30130-005"},
                     {15, i % 4 ? "Belo Horizonte" : ""},
                     {51, "MG"},
                     {41, i % 2 ? "Contagem" : ""},
                     {44, "MG"},
                     {123, i % 3 ? "(31) 3274-5500" : "."},
                     {54, "3222-4455"},
                     {47, "a@b.com.br"},
                     {50, texto},
                     {30, i % 2 ? "40252" : ""},
                     {130, std::to_string(i)}});
    }
}

void Fornecedores(intake::TTabelaTemp& t) {
    t.Recria(48);
    for (int i = 0; i < 12; ++i) {
        const std::string& texto = kTextos[i % std::size(kTextos)];
        Registro(t, {{30, std::to_string(i + 1)},
                     {28, i % 2 ? "mg" : "SP"},
                     {8, i % 3 ? "Itu" : ""},
                     {38, texto + " S.A."},
                     {39, texto},
                     {36, "Rua D'Ajuda"},
                     {27, texto},
                     {12, texto + "   "},
                     {48, "(11) 3061-2200"},
                     {26, "vendas@x.com.br"}});
    }
}

// The converters on their own, with values no sheet mapping gives them.
void GravaConversores(db::Conexao& conexao, bool preparados) {
    MensagensGravadas mensagens;
    conexao.DBTransaction().Inicia();
    {
        TConverteProduto produto(conexao, mensagens, preparados);
        TConverteProdutoDetalhe detalhe(conexao, mensagens, preparados);
        TConversao conversao(conexao, mensagens, preparados);
        for (int caso = 0; caso < 40; ++caso) {
            PreencheProduto(produto, caso);
            produto.Inserir();
            PreencheDetalhe(detalhe, caso);
            detalhe.Inserir();
            conversao.GravaMovimento(conexao, kTextos[caso % std::size(kTextos)].substr(0, 6),
                                     kNumeros[caso % std::size(kNumeros)],
                                     kNumeros[(caso + 5) % std::size(kNumeros)],
                                     kNumeros[(caso + 11) % std::size(kNumeros)]);
        }
        TConverteCliente cliente(conexao, mensagens, preparados);
        for (int caso = 0; caso < 20; ++caso) {
            PreencheCliente(cliente, caso);
            cliente.GravaCliente(1);
        }
        // The update rewrites the first ten with other values, dates emptied included.
        for (int caso = 0; caso < 10; ++caso) {
            PreencheCliente(cliente, caso + 5);
            cliente.SetCodCliente(std::to_string(caso + 1));
            cliente.GravaCliente(2);
        }
        TConverteFornece fornecedor(conexao, mensagens, preparados);
        for (int caso = 0; caso < 20; ++caso) {
            PreencheFornecedor(fornecedor, caso);
            fornecedor.Inserir();
        }
    }
    conexao.DBTransaction().Confirma();
    EXPECT_EQ(mensagens.lista.size(), 0u);
}

// The sheet mappings as a run calls them (each empties its tables first).
void GravaMapeamentos(db::Conexao& conexao, bool preparados) {
    MensagensGravadas mensagens;
    const auto roda = [&](void (*carrega)(intake::TTabelaTemp&),
                          void (*mapeamento)(ContextoConversao&)) {
        intake::TTabelaTemp tabela;
        carrega(tabela);
        intake::ProgressoMudo progresso;
        TFerramentas ferramentas(conexao, mensagens, CONVERSOR_TABELA_CIDADES);
        ferramentas.LembraCodigos(true);
        ContextoConversao contexto{conexao, tabela, progresso, mensagens, ferramentas, preparados};
        conexao.DBTransaction().Inicia();
        mapeamento(contexto);
        conexao.DBTransaction().Confirma();
    };
    roda(Produtos, ConverteProdutos);
    roda(Clientes, ConverteClientes);
    roda(Fornecedores, ConverteFornecedores);
    EXPECT_EQ(mensagens.lista.size(), 0u);
}

struct Coluna {
    std::string nome;
    int tipo;  // RDB$FIELD_TYPE
};

std::vector<Coluna> Colunas(db::Conexao& c, const std::string& tabela) {
    std::vector<Coluna> r;
    db::Consulta q(c);
    q.DefineSql(
        "select trim(rf.RDB$FIELD_NAME) as NOME, f.RDB$FIELD_TYPE as TIPO "
        "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
        "where rf.RDB$RELATION_NAME = :T order by rf.RDB$FIELD_POSITION");
    q.ParamTexto("T", tabela);
    for (q.Abre(); !q.Eof(); q.Proximo())
        r.push_back({q.CampoTexto("NOME"), static_cast<int>(q.CampoInteiro("TIPO"))});
    return r;
}

// Every row of the table, each field as its bytes: a text as stored, a number as the
// bits of its double, a date as its day number's bits, null as a mark of its own.
std::vector<std::vector<std::string>> Linhas(db::Conexao& c, const std::string& tabela,
                                             const std::vector<Coluna>& colunas) {
    constexpr int kBlob = 261, kCurto = 7, kInteiro = 8, kDouble = 27, kData = 35, kGrande = 16;
    std::string ordem;
    for (size_t i = 0; i < colunas.size(); ++i)
        if (colunas[i].tipo != kBlob) ordem += (ordem.empty() ? "" : ", ") + std::to_string(i + 1);
    db::Consulta q(c);
    q.DefineSql("select * from " + tabela + (ordem.empty() ? "" : " order by " + ordem));
    std::vector<std::vector<std::string>> r;
    for (q.Abre(); !q.Eof(); q.Proximo()) {
        std::vector<std::string> linha;
        for (const Coluna& col : colunas) {
            if (q.CampoNulo(col.nome)) {
                linha.push_back("<null>");
            } else if (col.tipo == kDouble || col.tipo == kData || col.tipo == kInteiro ||
                       col.tipo == kCurto || col.tipo == kGrande) {
                const auto bits = std::bit_cast<std::uint64_t>(q.CampoNumero(col.nome));
                linha.push_back("#" + std::to_string(bits) + " " + q.CampoTexto(col.nome));
            } else {
                linha.push_back("'" + q.CampoTexto(col.nome));
            }
        }
        r.push_back(std::move(linha));
    }
    return r;
}

class ComandosPreparados : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        pasta_ = new PastaTemporaria();
        for (int i = 0; i < 2; ++i) {
            const std::string arquivo = pasta_->Arquivo(i ? "preparado.fdb" : "texto.fdb");
            db::CriaBancoVantora(arquivo);
            conexoes_[i] = new db::Conexao();
            conexoes_[i]->DefineNomeBanco(arquivo);
            conexoes_[i]->Conecta();
        }
    }
    static void TearDownTestSuite() {
        for (db::Conexao*& c : conexoes_) {
            delete c;
            c = nullptr;
        }
        delete pasta_;
    }
    static db::Conexao& Texto() { return *conexoes_[0]; }
    static db::Conexao& Preparado() { return *conexoes_[1]; }

    static PastaTemporaria* pasta_;
    static db::Conexao* conexoes_[2];
};

PastaTemporaria* ComandosPreparados::pasta_ = nullptr;
db::Conexao* ComandosPreparados::conexoes_[2] = {nullptr, nullptr};

// The two databases compared whole.
void ComparaBancos(db::Conexao& texto, db::Conexao& preparado) {
    const std::vector<std::string> tabelas = TabelasDoBanco(texto);
    ASSERT_EQ(tabelas, TabelasDoBanco(preparado));
    long long linhas = 0;
    for (const std::string& tabela : tabelas) {
        SCOPED_TRACE(tabela);
        const std::vector<Coluna> colunas = Colunas(texto, tabela);
        const auto a = Linhas(texto, tabela, colunas);
        const auto b = Linhas(preparado, tabela, colunas);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i)
            for (size_t k = 0; k < colunas.size(); ++k)
                EXPECT_EQ(a[i][k], b[i][k]) << "linha " << i + 1 << ", coluna " << colunas[k].nome;
        linhas += static_cast<long long>(a.size());
    }
    EXPECT_GT(linhas, 100);
    // The reads leave no transaction behind.
    for (db::Conexao* c : {&texto, &preparado})
        if (c->DBTransaction().Ativa()) c->DBTransaction().Desfaz();
}

TEST_F(ComandosPreparados, ConversoresGravamAsMesmasLinhasPelosDoisCaminhos) {
    GravaConversores(Texto(), false);
    GravaConversores(Preparado(), true);
    ComparaBancos(Texto(), Preparado());
}

TEST_F(ComandosPreparados, MapeamentosGravamAsMesmasLinhasPelosDoisCaminhos) {
    GravaMapeamentos(Texto(), false);
    GravaMapeamentos(Preparado(), true);
    ComparaBancos(Texto(), Preparado());
    // What the mappings left: products, their detail and movement, clients and their
    // complement, suppliers and the reference rows made on the way.
    for (const char* tabela : {"PRODUTO", "PRODUTODETALHE", "MVGERAL", "CLIENTE", "COMPCLIE",
                               "FORNECE", "CLASFISC", "CADFABR", "CIDADES", "UNIDADES"}) {
        db::Consulta q(Preparado());
        q.DefineSql(std::string("select count(*) as N from ") + tabela);
        q.Abre();
        EXPECT_GT(q.CampoInteiro("N"), 0) << tabela;
    }
}

TEST_F(ComandosPreparados, NumerosChegamComoOTextoOsEscreve) {
    struct Caso {
        double valor;
        bool fiel;
        double lido;
    };
    const Caso casos[] = {
        {0, true, 0},
        {-0.0, true, 0},  // the text writes 0: no minus zero reaches the database
        {12.5, true, 12.5},
        {-51.11, true, -51.11},
        {0.1 + 0.2, true, 0.3},  // 15 digits: 0.3
        {1.0 / 3, true, 0.333333333333333},
        {123456789012345, true, 123456789012345},
        {0.00001, true, 0.00001},
        {1e15, false, 0},  // "1E15"
        {-1.5e-7, false, 0},
        {std::nan(""), false, 0},
        {std::numeric_limits<double>::infinity(), false, 0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(NumeroParaSql(c.valor));
        double lido = -1;
        EXPECT_EQ(MontagemSql::DoubleDoTexto(c.valor, lido), c.fiel);
        if (c.fiel) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(lido), std::bit_cast<std::uint64_t>(c.lido));
        }
    }
}

TEST_F(ComandosPreparados, LinhaQueOTextoRecusaOPreparadoRecusaTambem) {
    // A number the text writes as NAN is no number to the database either way.
    for (db::Conexao* c : {&Texto(), &Preparado()}) {
        const bool preparados = c == &Preparado();
        MensagensGravadas mensagens;
        TConversao conversao(*c, mensagens, preparados);
        try {
            conversao.GravaMovimento(*c, "000001", std::nan(""), 0, 0);
            ADD_FAILURE() << "NAN gravado";
        } catch (const db::ErroBanco& e) {
            EXPECT_THAT(e.what(), HasSubstr("NAN"));
        }
        // A text longer than the column is refused both ways, and the statement is
        // still usable after it.
        TConverteFornece fornecedor(*c, mensagens, preparados);
        fornecedor.SetCodFornec("1234567");
        EXPECT_THROW(fornecedor.Inserir(), db::ErroBanco);
        fornecedor.SetCodFornec("999");
        fornecedor.Inserir();
        db::Consulta q(*c);
        q.DefineSql("select count(*) as N from FORNECE where CODFORNEC = '000999'");
        q.Abre();
        EXPECT_EQ(q.CampoInteiro("N"), 1);
        q.Fecha();
        c->DBTransaction().Desfaz();
    }
}

}  // namespace
}  // namespace conversor::convert
