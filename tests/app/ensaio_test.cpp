// The rehearsal before a run: against a database holding earlier rows, a sheet that
// would stop the run leaves every table as it was (the generators as the rehearsal
// advanced them, never behind) and lists all its bad rows at once; a sheet without them
// converts exactly as a run without the rehearsal does, but for the generators' numbers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "app/execucao.h"
#include "convert/conferencia.h"
#include "db/consulta.h"

namespace conversor::app {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using Linha = std::map<int, std::string>;

// The cells of a product that converts.
Linha Produto(const std::string& descricao) {
    return {{3, "Setor A"}, {5, "True"},     {15, "84713012"}, {55, "TRAMONTINA"},
            {64, "12,5"},   {66, descricao}, {96, "2,5"},      {102, "39,9"},
            {111, "10"},    {129, "60"},     {130, "cx"},      {132, "x"}};
}

Linha Com(Linha linha, int coluna, const std::string& texto) {
    linha[coluna] = texto;
    return linha;
}

// Where a row failed: its sheet row and column (0 when the database refused it).
using Onde = std::pair<long long, int>;

struct Caso {
    const char* nome;
    TipoRegistro tipo;
    int colunas;
    std::vector<Linha> linhas;
    std::vector<Onde> falhas;
    // The same sheet with its bad rows mended; empty when the case has none to mend.
    std::vector<Linha> corrigidas;
    const char* trecho = "";  // in the first failure's reason
};

std::vector<Caso> Casos() {
    // Each client with a date of its own: the client record keeps the date of the row
    // before for a row without one.
    const Linha cliente{
        {18, "1"}, {108, "Ana"}, {15, "Belo Horizonte"}, {51, "MG"}, {30, "01/01/2020"}};
    const auto Cliente = [&](const char* codigo) { return Com(cliente, 18, codigo); };
    const auto Fornecedor = [](const char* codigo) {
        return Linha{{30, codigo}, {38, std::string("Fornecedor ") + codigo}, {28, "MG"}};
    };
    const auto Vendedor = [](const char* codigo) {
        return Linha{{57, codigo}, {40, std::string("Vendedor ") + codigo}, {12, "5"}};
    };
    const auto Transportadora = [](const char* codigo) {
        return Linha{{27, codigo}, {20, std::string("Transportadora ") + codigo}, {14, "MG"}};
    };
    return {
        {"produtos com células ruins em duas linhas do meio",
         TipoRegistro::Produtos,
         132,
         {Produto("A"), Com(Produto("B"), 102, "12abc"), Produto("C"), Com(Produto("D"), 64, "x"),
          Produto("E")},
         {{2, 102}, {4, 64}},
         {Produto("A"), Produto("B"), Produto("C"), Produto("D"), Produto("E")},
         "'12abc' não é um valor numérico válido"},
        {"produtos com linha de títulos",
         TipoRegistro::Produtos,
         132,
         {{{64, "Lucro"}, {66, "Descrição"}, {102, "Preço"}, {132, "Unidade"}}, Produto("A")},
         {{1, 64}},
         {},
         "'Lucro' não é um valor numérico válido"},
        {"produtos numa aba estreita demais",
         TipoRegistro::Produtos,
         27,
         {{{3, "a"}}, {{3, "b"}}},
         {{0, 0}},
         {},
         "A planilha de produtos deve ir até a coluna EB (132)"},
        {"clientes com código repetido",
         TipoRegistro::Clientes,
         130,
         {Cliente("1"), Cliente("2"), Cliente("1"), Cliente("3")},
         {{3, 0}},
         {Cliente("1"), Cliente("2"), Cliente("4"), Cliente("3")}},
        {"clientes com data que não é data",
         TipoRegistro::Clientes,
         130,
         {Cliente("1"), Com(Cliente("2"), 30, "ontem"), Cliente("3")},
         {{2, 0}},
         {Cliente("1"), Com(Cliente("2"), 30, "01/02/2020"), Cliente("3")}},
        {"fornecedores com código repetido",
         TipoRegistro::Fornecedores,
         48,
         {Fornecedor("1"), Fornecedor("1"), Fornecedor("2")},
         {{2, 0}},
         {Fornecedor("1"), Fornecedor("3"), Fornecedor("2")}},
        {"vendedores com comissão que não é número",
         TipoRegistro::Vendedores,
         57,
         {Vendedor("1"), Com(Vendedor("2"), 12, "cinco"), Vendedor("3")},
         {{2, 12}},
         {Vendedor("1"), Vendedor("2"), Vendedor("3")},
         "'cinco' não é um valor numérico válido"},
        {"transportadoras com código repetido",
         TipoRegistro::Transportadoras,
         27,
         {Transportadora("1"), Transportadora("2"), Transportadora("2")},
         {{3, 0}},
         {Transportadora("1"), Transportadora("2"), Transportadora("3")}},
    };
}

class EnsaioTeste : public teste::BancoTeste {
protected:
    void SetUp() override {
        for (const char* tabela :
             {"PRODUTO", "PRODUTODETALHE", "COMPPROD", "MVGERAL", "UNIDADES", "CLASFISC", "CADFABR",
              "CLIENTE", "COMPCLIE", "FORNECE", "VENDEND", "TRANSPT", "CIDADES"})
            Executa(std::string("delete from ") + tabela);
        // What earlier conversions left behind.
        Executa("insert into PRODUTO (CODPROD, DESCRICAO) values ('000099', 'Antigo')");
        Executa("insert into PRODUTODETALHE (CODPROD) values ('000099')");
        Executa("insert into COMPPROD (CODPROD) values ('000099')");
        Executa("insert into MVGERAL (CODPROD, QUANTIDADE) values ('000099', 5)");
        Executa("insert into UNIDADES (UNIDADE) values ('CX')");
        Executa("insert into CADFABR (CODFABRIC, DESCRICAO) values ('00003', 'TRAMONTINA')");
        Executa(
            "insert into CIDADES (CODCIDADE, CIDADE, ESTADO) values ('00001', 'Uberaba', 'MG')");
        Executa("insert into CLIENTE (CODCLIENTE, NOME) values ('00000099', 'Antigo')");
        Executa("insert into COMPCLIE (CODCLIENTE) values ('00000099')");
        Executa("insert into FORNECE (CODFORNEC, NOME) values ('000099', 'Antigo')");
        Executa("insert into VENDEND (CODVENDEDOR, NOME) values ('0099', 'Antigo')");
        Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')");
    }

    std::string Planilha(int colunas, const std::vector<Linha>& linhas) {
        const std::string arquivo =
            pasta_.Arquivo("planilha" + std::to_string(++planilhas_) + ".csv");
        std::ofstream saida(arquivo);
        for (const Linha& linha : linhas) {
            for (int coluna = 1; coluna <= colunas; ++coluna) {
                if (coluna > 1) saida << ';';
                if (const auto it = linha.find(coluna); it != linha.end()) saida << it->second;
            }
            saida << '\n';
        }
        return arquivo;
    }

    ResultadoConversao Roda(db::Conexao& banco, TipoRegistro tipo, const std::string& arquivo,
                            bool ensaiar, bool soConferir = false,
                            std::optional<long long> ultimaLinha = std::nullopt,
                            long long primeiraLinha = 1) {
        intake::TDMCotrolaExcel excel;
        intake::TTabelaTemp tabela;
        intake::ProgressoMudo progresso;
        excel.AbreArquivo(arquivo);
        ExecucaoConversao execucao(banco, excel, tabela, progresso, mensagens_,
                                   CONVERSOR_TABELA_CIDADES);
        PedidoConversao pedido;
        pedido.arquivo = arquivo;
        pedido.aba = 1;
        pedido.ateUltimaLinhaDaAba = !ultimaLinha;
        pedido.ultimaLinha = ultimaLinha;
        pedido.tipo = tipo;
        pedido.ensaiar = ensaiar;
        pedido.primeiraLinha = primeiraLinha;
        return soConferir ? execucao.Confere(pedido) : execucao.Converte(pedido);
    }

    teste::PastaTemporaria pasta_;
    teste::MensagensGravadas mensagens_;
    int planilhas_ = 0;
};

// Every generator of `antes` is still there, at its value or beyond it.
void GeradoresNaoVoltaram(const std::map<std::string, long long>& antes,
                          const std::map<std::string, long long>& depois) {
    for (const auto& [gerador, valor] : antes) {
        SCOPED_TRACE(gerador);
        ASSERT_TRUE(depois.count(gerador));
        EXPECT_GE(depois.at(gerador), valor);
    }
}

std::vector<Onde> Lugares(const std::vector<convert::Problema>& problemas) {
    std::vector<Onde> r;
    for (const convert::Problema& p : problemas) r.emplace_back(p.linha, p.coluna);
    return r;
}

TEST_F(EnsaioTeste, PlanilhaQueParariaAConversaoNaoMudaNadaEListaTodasAsLinhas) {
    for (const Caso& c : Casos()) {
        SCOPED_TRACE(c.nome);
        SetUp();
        mensagens_.Limpa();
        const std::string antes = teste::RetratoDoBanco(Banco(), false);
        const auto geradoresAntes = teste::ValoresDosGeradores(Banco());
        const ResultadoConversao r = Roda(Banco(), c.tipo, Planilha(c.colunas, c.linhas), true);
        EXPECT_EQ(r.desfecho, DesfechoConversao::Reprovada);
        EXPECT_TRUE(r.ensaio.feito);
        EXPECT_THAT(Lugares(r.ensaio.falhas), ElementsAreArray(c.falhas));
        if (!r.ensaio.falhas.empty()) {
            EXPECT_THAT(r.ensaio.falhas[0].motivo, HasSubstr(c.trecho));
        }
        // Nothing popped up: the list is the caller's to show.
        EXPECT_THAT(mensagens_.lista, IsEmpty());
        EXPECT_FALSE(Banco().DBTransaction().Ativa());
        EXPECT_FALSE(Banco().Ensaio());
        EXPECT_EQ(teste::RetratoDoBanco(Banco(), false), antes);
        GeradoresNaoVoltaram(geradoresAntes, teste::ValoresDosGeradores(Banco()));
    }
}

TEST_F(EnsaioTeste, FalhaDeCelulaNomeiaColunaLetraETexto) {
    const ResultadoConversao r =
        Roda(Banco(), TipoRegistro::Produtos,
             Planilha(132, {Produto("A"), Com(Produto("B"), 102, "12abc")}), false, true);
    ASSERT_EQ(r.desfecho, DesfechoConversao::Reprovada);
    ASSERT_EQ(r.ensaio.falhas.size(), 1u);
    const convert::Problema& p = r.ensaio.falhas[0];
    EXPECT_EQ(p.linha, 2);
    EXPECT_EQ(p.coluna, 102);
    EXPECT_EQ(p.letra, "CX");
    EXPECT_EQ(p.texto, "12abc");
    EXPECT_EQ(p.motivo, "'12abc' não é um valor numérico válido");
}

// The same sheet with its bad rows mended, on two copies of the same database: the
// run after its rehearsal writes exactly what the run without one writes; only the
// numbers its generators gave (MVGERAL's) start where the rehearsal left them.
TEST_F(EnsaioTeste, PlanilhaCorrigidaGravaOMesmoQueSemEnsaio) {
    for (const Caso& c : Casos()) {
        if (c.corrigidas.empty()) continue;
        SCOPED_TRACE(c.nome);
        SetUp();
        Banco().Desconecta();
        const std::string arquivo = Planilha(c.colunas, c.corrigidas);
        std::string retratos[2];
        std::map<std::string, long long> geradores[2];
        for (int ensaiar = 0; ensaiar < 2; ++ensaiar) {
            const std::string copia = pasta_.Arquivo("copia" + std::to_string(ensaiar) + ".fdb");
            std::filesystem::copy_file(ArquivoBanco(), copia,
                                       std::filesystem::copy_options::overwrite_existing);
            db::Conexao banco;
            banco.DefineNomeBanco(copia);
            banco.Conecta();
            const ResultadoConversao r = Roda(banco, c.tipo, arquivo, ensaiar == 1);
            EXPECT_EQ(r.desfecho, DesfechoConversao::Concluida)
                << ::testing::PrintToString(mensagens_.Erros());
            EXPECT_EQ(r.ensaio.feito, ensaiar == 1);
            EXPECT_THAT(r.ensaio.falhas, IsEmpty());
            if (ensaiar == 1) {
                // The rehearsal's counts are what the run then wrote.
                EXPECT_EQ(r.ensaio.linhasGravadas.size(), r.linhasGravadas.size());
                for (size_t i = 0;
                     i < r.linhasGravadas.size() && i < r.ensaio.linhasGravadas.size(); ++i)
                    EXPECT_EQ(r.ensaio.linhasGravadas[i].linhas, r.linhasGravadas[i].linhas);
            }
            retratos[ensaiar] = teste::RetratoDoBanco(banco, false);
            geradores[ensaiar] = teste::ValoresDosGeradores(banco);
        }
        EXPECT_EQ(retratos[1], retratos[0]);
        ASSERT_FALSE(geradores[0].empty());
        GeradoresNaoVoltaram(geradores[0], geradores[1]);
        Banco().Conecta();
    }
}

TEST_F(EnsaioTeste, AvisosNaoParamAConversao) {
    const auto Transportadora = [](const char* codigo, const std::string& nome,
                                   const char* cnpj = "") {
        return Linha{{27, codigo}, {20, nome}, {14, "MG"}, {5, cnpj}};
    };
    struct CasoAviso {
        const char* nome;
        TipoRegistro tipo;
        int colunas;
        std::vector<Linha> linhas;
        std::optional<long long> ultimaLinha;
        Onde onde;
        const char* trecho;
        convert::GeneroAviso genero;
        // The row also stops the run: a failure besides the warning.
        bool tambemFalha = false;
    };
    const CasoAviso casos[] = {
        {"texto maior que o campo",
         TipoRegistro::Transportadoras,
         27,
         {Transportadora("1", std::string(40, 'x'))},
         std::nullopt,
         {1, 20},
         "5 caractere(s) serão cortados",
         convert::GeneroAviso::TextoCortado},
        {"linha de títulos",
         TipoRegistro::Vendedores,
         57,
         {{{57, "Código"}, {12, "Comissão"}}, {{57, "1"}, {12, "5"}}},
         std::nullopt,
         {1, 12},
         "A primeira linha parece ser de títulos",
         convert::GeneroAviso::Titulos,
         true},
        {"código repetido que o banco não recusa",
         TipoRegistro::Vendedores,
         57,
         {{{57, "1"}, {40, "Ana"}}, {{57, "2"}, {40, "Bia"}}, {{57, "01"}, {40, "Caio"}}},
         std::nullopt,
         {3, 57},
         "a linha 1 tem o mesmo código",
         convert::GeneroAviso::CodigoRepetido},
        {"CNPJ com dígitos errados",
         TipoRegistro::Transportadoras,
         27,
         {Transportadora("1", "A", "11.222.333/0001-81"),
          Transportadora("2", "B", "12.345.678/0001-00")},
         std::nullopt,
         {2, 5},
         "CNPJ com dígitos verificadores errados",
         convert::GeneroAviso::NumeroFiscal},
        {"dados depois da última linha",
         TipoRegistro::Transportadoras,
         27,
         {Transportadora("1", "A"), Transportadora("2", "B"), Transportadora("3", "C")},
         2,
         {3, 0},
         "A aba tem dados até a linha 3",
         convert::GeneroAviso::LinhasDeFora},
        // The earlier rows hold the city Uberaba (MG).
        {"cidade nova parecida com uma que existe",
         TipoRegistro::Transportadoras,
         27,
         {{{27, "1"}, {20, "A"}, {14, "MG"}, {6, "Uberaba"}},
          {{27, "2"}, {20, "B"}, {14, "MG"}, {6, "Uberava"}}},
         std::nullopt,
         {2, 0},
         "'Uberava' não existe em CIDADES e será incluído. Já existe 'Uberaba'.",
         convert::GeneroAviso::CadastroNovo},
        {"fabricante novo sem parecido",
         TipoRegistro::Produtos,
         132,
         {Com(Produto("A"), 55, "TIGRE")},
         std::nullopt,
         {1, 0},
         "'TIGRE' não existe em CADFABR e será incluído.",
         convert::GeneroAviso::CadastroNovo},
        {"unidade nova",
         TipoRegistro::Produtos,
         132,
         {Com(Produto("A"), 130, "pc")},
         std::nullopt,
         {1, 0},
         "'PC' não existe em UNIDADES",
         convert::GeneroAviso::CadastroNovo},
        {"telefone sem DDD",
         TipoRegistro::Transportadoras,
         27,
         {{{27, "1"}, {20, "A"}, {14, "MG"}, {6, "Lugar Nenhum"}, {26, "3333-4444"}}},
         std::nullopt,
         {1, 0},
         "O telefone fica sem DDD: a cidade 'Lugar Nenhum' (MG)",
         convert::GeneroAviso::TelefoneSemDdd},
        {"linhas em branco entre as de dados",
         TipoRegistro::Transportadoras,
         27,
         {Transportadora("1", "A"), {}, {{1, "x"}}, Transportadora("2", "B")},
         std::nullopt,
         {2, 0},
         "As linhas 2 a 3 estão em branco: não serão gravadas.",
         convert::GeneroAviso::LinhasEmBranco},
    };
    for (const CasoAviso& c : casos) {
        SCOPED_TRACE(c.nome);
        const ResultadoConversao r =
            Roda(Banco(), c.tipo, Planilha(c.colunas, c.linhas), false, true, c.ultimaLinha);
        EXPECT_EQ(r.desfecho,
                  c.tambemFalha ? DesfechoConversao::Reprovada : DesfechoConversao::Conferida)
            << ::testing::PrintToString(Lugares(r.ensaio.falhas));
        bool achado = false;
        for (const convert::Problema& p : r.ensaio.avisos)
            achado = achado || (Onde(p.linha, p.coluna) == c.onde && p.genero == c.genero &&
                                p.motivo.find(c.trecho) != std::string::npos);
        EXPECT_TRUE(achado) << ::testing::PrintToString(Lugares(r.ensaio.avisos));
    }
}

// A sheet where every row is wrong keeps the first problems of each kind and counts
// the rest, so that a million bad rows do not fill the memory.
TEST(ListasDoEnsaio, GuardamOsPrimeirosDeCadaTipoEContamTodos) {
    convert::Ensaio ensaio;
    const long long limite = convert::Ensaio::kMaxPorGenero;
    for (long long i = 1; i <= limite + 5; ++i) {
        ensaio.Falha({i, 0, "", "", "falha"});
        convert::Problema aviso;
        aviso.linha = i;
        aviso.genero = convert::GeneroAviso::NumeroFiscal;
        ensaio.Aviso(aviso);
    }
    convert::Problema outro;
    outro.genero = convert::GeneroAviso::LinhasEmBranco;
    ensaio.Aviso(outro);
    EXPECT_EQ(ensaio.totalFalhas, limite + 5);
    EXPECT_EQ(static_cast<long long>(ensaio.falhas.size()), limite);
    EXPECT_EQ(ensaio.falhas.back().linha, limite);
    // A kind past its limit leaves room for the others.
    EXPECT_EQ(static_cast<long long>(ensaio.avisos.size()), limite + 1);
    EXPECT_EQ(ensaio.avisos.back().genero, convert::GeneroAviso::LinhasEmBranco);
    EXPECT_EQ(ensaio.avisosPorGenero.Total(), limite + 6);
    ASSERT_EQ(ensaio.avisosPorGenero.generos.size(), 2u);
    EXPECT_EQ(ensaio.avisosPorGenero.generos[0].second, limite + 5);
}

TEST(NumerosFiscais, DigitosVerificadores) {
    EXPECT_TRUE(convert::CpfValido("52998224725"));
    EXPECT_FALSE(convert::CpfValido("52998224726"));
    EXPECT_FALSE(convert::CpfValido("11111111111"));
    EXPECT_TRUE(convert::CnpjValido("11222333000181"));
    EXPECT_FALSE(convert::CnpjValido("11222333000180"));
    EXPECT_FALSE(convert::CpfValido("5299822472"));
}

// Rows above the first converted one are left out, and the rehearsal still names the
// sheet's own rows: the headings it warns about, the codes repeated, the failures.
// A request that leaves no row to write would only empty the kind's tables: it is
// refused before anything, rehearsed or not; blank rows among the data are skipped.
TEST_F(EnsaioTeste, SemLinhaParaGravarNadaMudaEBrancasNaoSaoGravadas) {
    struct CasoVazio {
        const char* nome;
        std::vector<Linha> linhas;
        std::optional<long long> ultimaLinha;
        long long primeiraLinha;
        const char* trecho;
    };
    const auto Transportadora = [](const char* codigo) {
        return Linha{{27, codigo}, {20, "Transportadora"}, {14, "MG"}};
    };
    const Linha soForaDoLeiaute = {{1, "x"}, {2, "  "}};
    const std::vector<CasoVazio> vazios = {
        {"última linha 0", {Transportadora("1")}, 0, 1, "a última linha informada (0)"},
        {"primeira linha depois da última",
         {Transportadora("1"), Transportadora("2")},
         1,
         2,
         "nenhuma linha seria convertida"},
        {"linhas em branco",
         {soForaDoLeiaute, {}, soForaDoLeiaute},
         std::nullopt,
         1,
         "as linhas 1 a 3 estão em branco"},
        {"linhas em branco depois da primeira",
         {Transportadora("1"), soForaDoLeiaute},
         std::nullopt,
         2,
         "a linha 2 está em branco"},
    };
    for (const CasoVazio& c : vazios) {
        for (const bool ensaiar : {true, false}) {
            SCOPED_TRACE(std::string(c.nome) + (ensaiar ? ", com ensaio" : ", sem ensaio"));
            mensagens_.Limpa();
            const std::string antes = teste::RetratoDoBanco(Banco());
            const ResultadoConversao r =
                Roda(Banco(), TipoRegistro::Transportadoras, Planilha(27, c.linhas), ensaiar, false,
                     c.ultimaLinha, c.primeiraLinha);
            EXPECT_NE(r.desfecho, DesfechoConversao::Concluida);
            EXPECT_THAT(mensagens_.Erros(), ElementsAre(HasSubstr(c.trecho)));
            EXPECT_EQ(teste::RetratoDoBanco(Banco()), antes);
        }
    }

    // Rows 2, 4 and 5 blank, 6 and 7 past the data: only rows 1 and 3 are products,
    // each keeping its row's code.
    const std::vector<Linha> comBrancas = {Produto("A"), {}, Produto("C"), soForaDoLeiaute, {}};
    for (const bool ensaiar : {true, false}) {
        SCOPED_TRACE(ensaiar ? "com ensaio" : "sem ensaio");
        SetUp();
        const ResultadoConversao r =
            Roda(Banco(), TipoRegistro::Produtos, Planilha(132, comBrancas), ensaiar, false, 7);
        ASSERT_EQ(r.desfecho, DesfechoConversao::Concluida)
            << ::testing::PrintToString(mensagens_.Erros());
        db::Consulta q(Banco());
        q.DefineSql("select CODPROD from PRODUTO order by CODPROD");
        std::vector<std::string> codigos;
        for (q.Abre(); !q.Eof(); q.Proximo()) codigos.push_back(q.CampoTexto("CODPROD"));
        EXPECT_THAT(codigos, ElementsAre("000001", "000003"));
        ASSERT_EQ(r.linhasEmBranco.size(), 2u);
        EXPECT_EQ(r.linhasEmBranco[0].primeira, 2);
        EXPECT_EQ(r.linhasEmBranco[1].primeira, 4);
        EXPECT_EQ(r.linhasEmBranco[1].ultima, 7);
    }
}

TEST_F(EnsaioTeste, PrimeiraLinhaInformadaNomeiaAsLinhasDaPlanilha) {
    const auto Vendedor = [](const char* codigo, const char* comissao) {
        return Linha{{57, codigo}, {40, std::string("Vendedor ") + codigo}, {12, comissao}};
    };
    const std::string arquivo = Planilha(57, {{{1, "Vendedores da loja"}},
                                              {{57, "Código"}, {40, "Nome"}, {12, "Comissão"}},
                                              Vendedor("1", "5"),
                                              Vendedor("2", "cinco"),
                                              Vendedor("1", "3")});
    struct CasoLinha {
        long long primeiraLinha;
        std::vector<Onde> falhas;
        std::vector<Onde> avisos;
        const char* primeiroAviso;
    };
    const CasoLinha casos[] = {
        {2,
         {{2, 12}, {4, 12}},
         {{2, 12}, {5, 57}, {5, 0}},
         "A primeira linha convertida parece ser de"},
        {3,
         {{4, 12}},
         {{5, 57}, {5, 0}},
         "Código repetido na planilha: a linha 3 tem o mesmo código."},
    };
    for (const CasoLinha& c : casos) {
        SCOPED_TRACE(c.primeiraLinha);
        const ResultadoConversao r = Roda(Banco(), TipoRegistro::Vendedores, arquivo, true, true,
                                          std::nullopt, c.primeiraLinha);
        EXPECT_EQ(r.desfecho, DesfechoConversao::Reprovada);
        EXPECT_THAT(Lugares(r.ensaio.falhas), ElementsAreArray(c.falhas));
        EXPECT_THAT(Lugares(r.ensaio.avisos), ElementsAreArray(c.avisos));
        if (!r.ensaio.avisos.empty()) {
            EXPECT_THAT(r.ensaio.avisos[0].motivo, HasSubstr(c.primeiroAviso));
        }
    }
}

// A generator a trigger advanced during the rehearsal stays advanced, as after any
// rolled-back transaction: putting it back could hand out again what another
// connection took meanwhile. The tables are as they were.
TEST_F(EnsaioTeste, GeradorUsadoPorGatilhoFicaAvancado) {
    Executa("create generator G_ENSAIO");
    Executa(
        "create trigger TRANSPT_NUMERA for TRANSPT before insert as "
        "declare variable n integer; begin n = gen_id(G_ENSAIO, 1); end");
    Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('0098', 'Numerada')");
    const std::string antes = teste::RetratoDoBanco(Banco(), false);
    ASSERT_EQ(teste::ValoresDosGeradores(Banco())["G_ENSAIO"], 1);
    const ResultadoConversao r =
        Roda(Banco(), TipoRegistro::Transportadoras,
             Planilha(27, {{{27, "1"}, {20, "A"}}, {{27, "2"}, {20, "B"}}}), false, true);
    EXPECT_EQ(r.desfecho, DesfechoConversao::Conferida);
    EXPECT_EQ(teste::RetratoDoBanco(Banco(), false), antes);
    EXPECT_EQ(teste::ValoresDosGeradores(Banco())["G_ENSAIO"], 3);
    Executa("drop trigger TRANSPT_NUMERA");
    Executa("drop generator G_ENSAIO");
}

}  // namespace
}  // namespace conversor::app
