// The clients sheet converted as the window converts it: the staging table filled
// (or a workbook loaded), the run's transaction bracket, the real database and the
// shipped city table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <map>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "apoio/progresso_gravado.h"
#include "app/execucao.h"
#include "base/regional.h"
#include "db/consulta.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {
namespace {

using app::ExecucaoConversao;
using app::TipoRegistro;
using teste::BancoTeste;
using teste::MensagensGravadas;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A staging row: column number -> text; columns not given are empty.
using Linha = std::map<int, std::string>;

// A database row: column name -> text ("" for null).
using Registro = std::map<std::string, std::string>;

class ConverteClientesTeste : public BancoTeste {
protected:
    void SetUp() override {
        for (const char* tabela : {"CLIENTE", "COMPCLIE", "CIDADES"})
            Executa(std::string("delete from ") + tabela);
    }

    void Carrega(const std::vector<Linha>& linhas, int colunas = 130) {
        tabela_.Recria(colunas);
        for (const Linha& linha : linhas) {
            tabela_.NovoRegistro();
            for (const auto& [coluna, texto] : linha) tabela_.DefineCampo(coluna, texto);
            tabela_.Grava();
        }
    }

    // The run's transaction bracket around the clients mapping; true on success.
    bool Converte() { return execucao_.ExecutaConversao(TipoRegistro::Clientes); }

    static Registro Le(const std::string& tabela, const std::string& codigo) {
        db::Consulta q(Banco());
        q.DefineSql("select * from " + tabela + " where CODCLIENTE = '" + codigo + "'");
        q.Abre();
        Registro r;
        if (q.Eof()) return r;
        for (int i = 0; i < q.NumeroCampos(); ++i) r[q.NomeCampo(i)] = q.CampoTexto(q.NomeCampo(i));
        return r;
    }
    static std::string CodigoCidade(const std::string& cidade, const std::string& estado) {
        return Valor("select CODCIDADE from CIDADES where CIDADE = '" + cidade +
                     "' and ESTADO = '" + estado + "'");
    }
    std::string PrimeiroErro() const {
        return mensagens_.Erros().empty() ? "" : mensagens_.Erros().front();
    }
    static std::vector<std::string> Codigos(const std::string& tabela) {
        db::Consulta q(Banco());
        q.DefineSql("select CODCLIENTE from " + tabela + " order by CODCLIENTE");
        std::vector<std::string> r;
        for (q.Abre(); !q.Eof(); q.Proximo()) r.push_back(q.CampoTexto("CODCLIENTE"));
        return r;
    }

    intake::TTabelaTemp tabela_;
    intake::TDMCotrolaExcel excel_;
    teste::ProgressoGravado progresso_;
    MensagensGravadas mensagens_;
    ExecucaoConversao execucao_{Banco(),    excel_,     tabela_,
                                progresso_, mensagens_, CONVERSOR_TABELA_CIDADES};
};

TEST_F(ConverteClientesTeste, LinhaCompleta) {
    Carrega({{{18, "42"},
              {108, "Padaria D'Ávila Ltda"},
              {76, "Padaria Pão Quente"},
              {10, "12.345.678/0001-90"},
              {65, "062.123.456/0078"},
              {66, "12.345-6"},
              {48, "Rua da Bahia"},
              {79, "1148"},
              {21, "Sala 1203"},
              {6, "Centro"},
              {9, "30.160-011"},
              {15, "Belo Horizonte"},
              {51, "MG"},
              {43, "Av. Brasil"},
              {49, "500"},
              {39, "Cambuí"},
              {40, "13025-000"},
              {41, "Campinas"},
              {44, "SP"},
              {123, "3333-4444"},
              {54, "(11) 98765-4321"},
              {47, "compras@padariadavila.com.br"},
              {25, "José Antônio"},
              {50, "Entregar pela manhã"},
              {30, "15/03/2010"},
              {130, "7"}}});
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    EXPECT_THAT(mensagens_.Avisos(), IsEmpty());
    EXPECT_THAT(mensagens_.Informacoes(), ElementsAre("Conversão concluída com sucesso!"));

    const std::string bh = CodigoCidade("Belo Horizonte", "MG");
    // The delivery city goes under the delivery state.
    const std::string campinas = CodigoCidade("Campinas", "SP");
    ASSERT_FALSE(bh.empty());
    ASSERT_FALSE(campinas.empty());
    Registro r = Le("CLIENTE", "00000042");
    const Registro esperado = {
        {"CODCLIENTE", "00000042"},
        {"NOME", "Padaria D'Ávila Ltda"},
        {"NOMEFANTASIA", "Padaria Pão Quente"},
        {"ENDERECO", "Rua da Bahia, 1148"},
        {"BAIRRO", "Centro"},
        {"CODCIDADE", bh},
        {"ESTADO", "MG"},
        {"CEP", "30160011"},
        {"CGCCPF", "12345678000190"},
        {"INSCEST", "0621234560078"},
        {"INSCMUNICIPAL", "123456"},
        {"PESSOA_FJ", "J"},
        {"FONE", "3133334444"},  // the area code of Belo Horizonte in front
        {"FAX", "11987654321"},  // already had its own
        {"PREFIXCELULAR", ""},
        {"CELULAR", ""},
        {"CAMPOLIVRE1", "compras@padariadavil"},
        {"CAMPOLIVRE2", ""},
        {"CAMPOLIVRE3", ""},
        {"CAMPOLIVRE4", ""},
        {"CAMPOLIVRE5", ""},
        {"CAMPOLIVRE6", ""},
        {"CAMPOLIVRE7", ""},
        {"CAMPOLIVRE8", ""},
        {"CAMPOLIVRE9", ""},
        {"CAMPOLIVRE10", ""},
        {"OBSERVACAO", "Entregar pela manhã"},
        {"EMAIL", "compras@padariadavila.com.br"},
        {"HOMEPAGE", ""},
        {"ENDERECOCOB", ""},
        {"BAIRROCOB", ""},
        {"CEPCOB", ""},
        {"CODCIDADECOB", ""},
        {"ESTADOCOB", ""},
        {"ENDERECOENT", "Av. Brasil, 500"},
        {"BAIRROENT", "Cambuí"},
        {"CEPENT", "13025000"},
        {"CODCIDADEENT", campinas},
        {"ESTADOENT", "SP"},
        {"CODFORNEC", ""},
        {"CONTATO", "José Antônio"},
        {"CODSEGMENTO", ""},
        {"CODCLASCLI", ""},
        {"CODVENDEND1", "0007"},
        {"LIMITECREDITO", "0"},
        {"NOMESOCIO", ""},
        {"DT_NASCIMENTO", ""},
        {"DT_ULTVENDA", ""},
        {"DT_CADASTRO", "15/03/2010"},
        {"DT_VALCAD", ""},
        {"ATIVO", "S"},
        {"CLIBLOQUEADO", "N"},
        {"TIPOCLIENTE", ""},
        {"MALADIRETAELETR", "N"},
        {"PROTESTARCLIENTE", "N"},
    };
    EXPECT_EQ(r, esperado);
    EXPECT_EQ(Le("COMPCLIE", "00000042"), (Registro{{"CODCLIENTE", "00000042"},
                                                    {"REFCOMERCIAIS", ""},
                                                    {"REFBANCARIAS", ""},
                                                    {"USUARIO", ""},
                                                    {"DATA_LIB", "01/01/1900"},
                                                    {"ENDERECONFE", "Rua da Bahia"},
                                                    {"NUMERONFE", "1148"},
                                                    {"COMPLEMENTONFE", "Sala 1203"}}));
}

// A row with nothing but its code: every other field takes its default. (A row with
// nothing at all is no record.)
TEST_F(ConverteClientesTeste, LinhaSoComOCodigoGanhaOsValoresPadrao) {
    Carrega({{{18, "0"}}});
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    const Registro r = Le("CLIENTE", "00000000");
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r.at("ENDERECO"), ",");
    EXPECT_EQ(r.at("ENDERECOENT"), ",");
    EXPECT_EQ(r.at("PESSOA_FJ"), "F");
    EXPECT_EQ(r.at("ATIVO"), "S");
    EXPECT_EQ(r.at("DT_CADASTRO"), DataParaTexto(Hoje()));
    EXPECT_EQ(r.at("CODCIDADE"), "");
    EXPECT_EQ(r.at("FONE"), "");
    EXPECT_EQ(r.at("CODVENDEND1"), "0000");
    EXPECT_EQ(Le("COMPCLIE", "00000000").at("ENDERECONFE"), "");
    EXPECT_EQ(ContaLinhas("CIDADES"), 0);  // no city, no lookup
}

TEST_F(ConverteClientesTeste, CodigoIgualNasDuasTabelas) {
    Carrega({{{18, "12A"}}, {{18, " 7 "}}, {{18, "123456789"}}});
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    EXPECT_THAT(Codigos("CLIENTE"), ElementsAre("00000007", "00000012", "12345678"));
    EXPECT_EQ(Codigos("COMPCLIE"), Codigos("CLIENTE"));
}

TEST_F(ConverteClientesTeste, DocumentoEPessoa) {
    struct Caso {
        const char* nome;
        std::string coluna10, coluna28, cgccpf, pessoa;
    };
    const Caso casos[] = {
        {"cnpj", "12.345.678/0001-90", "", "12345678000190", "J"},
        {"cpf", "123.456.789-09", "98.765.432/0001-10", "12345678909", "F"},
        {"10 em branco", "   ", "98.765.432/0001-10", "98765432000110", "J"},
        {"10 so pontuacao", " ./- ", "123.456.789-09", "12345678909", "F"},
        {"isento", "ISENTO", "", "ISENTO", "F"},
        {"nada", "", "", "", "F"},
    };
    std::vector<Linha> linhas;
    for (int i = 0; i < static_cast<int>(std::size(casos)); ++i)
        linhas.push_back(
            {{18, std::to_string(i + 1)}, {10, casos[i].coluna10}, {28, casos[i].coluna28}});
    Carrega(linhas);
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    for (int i = 0; i < static_cast<int>(std::size(casos)); ++i) {
        SCOPED_TRACE(casos[i].nome);
        const Registro r = Le("CLIENTE", "0000000" + std::to_string(i + 1));
        EXPECT_EQ(r.at("CGCCPF"), casos[i].cgccpf);
        EXPECT_EQ(r.at("PESSOA_FJ"), casos[i].pessoa);
    }
}

TEST_F(ConverteClientesTeste, TelefonesComODddDaCidadePrincipal) {
    struct Caso {
        const char* nome;
        std::string cidade, estado, fone, fax, foneEsperado, faxEsperado;
    };
    const Caso casos[] = {
        {"sao paulo", "São Paulo", "SP", "3333-4444", "98765-4321", "1133334444", "11987654321"},
        {"ponto e brancos", "Belo Horizonte", "MG", ".", "   ", "", ""},
        {"ja com ddd", "Recife", "PE", "(81) 3222-1111", "081 3222-1112", "8132221111",
         "8132221112"},
        // Without a city there is no area code: an eight-digit number gets the default.
        {"sem cidade", "", "MG", "3333-4444", "", "3133334444", ""},
        {"cidade fora da tabela", "Lugar Nenhum", "MG", "3333-4444", "", "3133334444", ""},
    };
    std::vector<Linha> linhas;
    for (int i = 0; i < static_cast<int>(std::size(casos)); ++i)
        linhas.push_back({{18, std::to_string(i + 1)},
                          {15, casos[i].cidade},
                          {51, casos[i].estado},
                          {123, casos[i].fone},
                          {54, casos[i].fax}});
    Carrega(linhas);
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    for (int i = 0; i < static_cast<int>(std::size(casos)); ++i) {
        SCOPED_TRACE(casos[i].nome);
        const Registro r = Le("CLIENTE", "0000000" + std::to_string(i + 1));
        EXPECT_EQ(r.at("FONE"), casos[i].foneEsperado);
        EXPECT_EQ(r.at("FAX"), casos[i].faxEsperado);
    }
}

TEST_F(ConverteClientesTeste, CidadeDeEntregaSemEstadoFicaNoEstadoPrincipal) {
    Carrega({{{18, "1"}, {15, "Betim"}, {51, "MG"}, {41, "Contagem"}},
             {{18, "2"}, {15, "Betim"}, {51, "MG"}, {41, "Betim"}, {44, "MG"}}});
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    EXPECT_EQ(Le("CLIENTE", "00000001").at("CODCIDADEENT"), CodigoCidade("Contagem", "MG"));
    EXPECT_EQ(Le("CLIENTE", "00000002").at("CODCIDADEENT"), CodigoCidade("Betim", "MG"));
    EXPECT_EQ(ContaLinhas("CIDADES"), 2);
}

TEST_F(ConverteClientesTeste, DataDeCadastro) {
    struct Caso {
        const char* nome;
        std::string coluna30, esperado;
    };
    const Caso casos[] = {
        {"em branco", "  ", DataParaTexto(Hoje())},
        {"com barras", "25/12/2020", "25/12/2020"},
        {"sem aparar", " 25/12/2020 ", "25/12/2020"},
        {"numero de serie", "44190", "25/12/2020"},
    };
    std::vector<Linha> linhas;
    for (int i = 0; i < static_cast<int>(std::size(casos)); ++i)
        linhas.push_back({{18, std::to_string(i + 1)}, {30, casos[i].coluna30}});
    Carrega(linhas);
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    for (int i = 0; i < static_cast<int>(std::size(casos)); ++i) {
        SCOPED_TRACE(casos[i].nome);
        EXPECT_EQ(Le("CLIENTE", "0000000" + std::to_string(i + 1)).at("DT_CADASTRO"),
                  casos[i].esperado);
    }
}

TEST_F(ConverteClientesTeste, TabelaVaziaEsvaziaELimpaOProgresso) {
    Executa("insert into CLIENTE (CODCLIENTE) values ('00000001')");
    Executa("insert into COMPCLIE (CODCLIENTE) values ('00000001')");
    Carrega({});
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    EXPECT_EQ(ContaLinhas("CLIENTE"), 0);
    EXPECT_EQ(ContaLinhas("COMPCLIE"), 0);
    EXPECT_THAT(progresso_.legendas, ElementsAre("Convertendo Clientes, Aguarde!", ""));
    EXPECT_THAT(progresso_.status, ElementsAre(""));
    EXPECT_EQ(progresso_.maximo, 0);
    EXPECT_EQ(progresso_.posicao, 0);
}

TEST_F(ConverteClientesTeste, ProgressoPorLinha) {
    Carrega({{{18, "1"}}, {{18, "2"}}});
    ASSERT_TRUE(Converte()) << PrimeiroErro();
    EXPECT_THAT(progresso_.status,
                ElementsAre("Processando Registro 1 de 2", "Processando Registro 2 de 2", ""));
    EXPECT_EQ(progresso_.maximo, 2);
    EXPECT_EQ(progresso_.mensagensProcessadas, 2);
    EXPECT_EQ(progresso_.posicao, 0);
}

TEST_F(ConverteClientesTeste, PlanilhaEstreitaFalhaDepoisDoEsvaziamentoAntesDaPrimeiraLinha) {
    Executa("insert into CLIENTE (CODCLIENTE) values ('00000001')");
    Executa("insert into COMPCLIE (CODCLIENTE) values ('00000001')");
    Carrega({{{18, "5"}, {15, "Sabará"}, {51, "MG"}}}, 129);
    EXPECT_FALSE(Converte());
    ASSERT_EQ(mensagens_.Erros().size(), 1u);
    const std::string erro = mensagens_.Erros().front();
    EXPECT_THAT(erro, HasSubstr("Houve um erro ao realizar a conversão. Motivo: \r"));
    EXPECT_THAT(erro, HasSubstr("A planilha de clientes deve ir até a coluna DZ (130)"));
    EXPECT_THAT(erro, HasSubstr("vai só até a coluna DY (129)"));
    // The purges were committed; nothing of the first row was looked up or created.
    EXPECT_EQ(ContaLinhas("CLIENTE"), 0);
    EXPECT_EQ(ContaLinhas("COMPCLIE"), 0);
    EXPECT_EQ(ContaLinhas("CIDADES"), 0);
}

TEST_F(ConverteClientesTeste, CodigoRepetidoDesfazAteOUltimoCommit) {
    // Row 2 creates a city, which commits row 1; row 2 itself is rolled back.
    Carrega({{{18, "1"}, {15, "Uberaba"}, {51, "MG"}},
             {{18, "2"}, {15, "Uberlândia"}, {51, "MG"}},
             {{18, "2"}, {15, "Uberaba"}, {51, "MG"}}});
    EXPECT_FALSE(Converte());
    ASSERT_EQ(mensagens_.Erros().size(), 1u);
    EXPECT_THAT(mensagens_.Erros().front(), HasSubstr("\r(linha 3 da planilha)"));
    EXPECT_THAT(mensagens_.Erros().front(), HasSubstr("PRIMARY or UNIQUE KEY"));
    EXPECT_THAT(Codigos("CLIENTE"), ElementsAre("00000001"));
    EXPECT_THAT(Codigos("COMPCLIE"), ElementsAre("00000001"));
    EXPECT_EQ(ContaLinhas("CIDADES"), 2);
    EXPECT_THAT(progresso_.legendas.back(), IsEmpty());  // the run cleared the display
}

TEST_F(ConverteClientesTeste, LinhaDeTitulosComDataFalhaNomeandoALinha) {
    // A title row is converted like any other: its "date" is refused by the database.
    Carrega({{{18, "Código"}, {108, "Nome"}, {30, "Data de Cadastro"}}, {{18, "1"}, {108, "Ana"}}});
    EXPECT_FALSE(Converte());
    ASSERT_EQ(mensagens_.Erros().size(), 1u);
    EXPECT_THAT(mensagens_.Erros().front(), HasSubstr("\r(linha 1 da planilha)"));
    EXPECT_THAT(mensagens_.Erros().front(), HasSubstr("Data de Cadastro"));
    EXPECT_EQ(ContaLinhas("CLIENTE"), 0);
}

// The whole road: a workbook on disk, loaded and converted through the button's run.
TEST_F(ConverteClientesTeste, PastaDeTrabalhoDePontaAPonta) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta.Arquivo("clientes.xlsx");
    {
        lxw_workbook* wb = workbook_new(arquivo.c_str());
        lxw_format* formatoData = workbook_add_format(wb);
        format_set_num_format(formatoData, "dd/mm/yyyy");
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Clientes");
        const auto texto = [&](int linha, int coluna, std::string_view t) {
            worksheet_write_string(ws, linha - 1, static_cast<lxw_col_t>(coluna - 1),
                                   Cp1252ParaUtf8(t).c_str(), nullptr);
        };
        worksheet_write_number(ws, 0, 17, 15, nullptr);  // code as a number
        texto(1, 108, "Açougue São Jorge");
        texto(1, 10, "123.456.789-09");
        texto(1, 15, "Curitiba");
        texto(1, 51, "PR");
        texto(1, 123, "3222-1100");
        lxw_datetime dia = {2010, 3, 15, 0, 0, 0};
        worksheet_write_datetime(ws, 0, 29, &dia, formatoData);
        worksheet_write_number(ws, 0, 129, 3, nullptr);
        texto(2, 18, "16");
        texto(2, 108, "Maria José");
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }
    excel_.AbreArquivo(arquivo);
    app::PedidoConversao pedido;
    pedido.ultimaLinha = 2;
    pedido.arquivo = arquivo;
    pedido.aba = 1;
    pedido.tipo = TipoRegistro::Clientes;
    ASSERT_EQ(execucao_.Converte(pedido).desfecho, app::DesfechoConversao::Concluida)
        << PrimeiroErro();

    const Registro r = Le("CLIENTE", "00000015");
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r.at("NOME"), "Açougue São Jorge");
    EXPECT_EQ(r.at("CGCCPF"), "12345678909");
    EXPECT_EQ(r.at("FONE"), "4132221100");
    EXPECT_EQ(r.at("DT_CADASTRO"), "15/03/2010");
    EXPECT_EQ(r.at("CODVENDEND1"), "0003");
    EXPECT_EQ(r.at("CODCIDADE"), CodigoCidade("Curitiba", "PR"));
    EXPECT_EQ(Le("CLIENTE", "00000016").at("NOME"), "Maria José");
    EXPECT_THAT(Codigos("COMPCLIE"), ElementsAre("00000015", "00000016"));
}

}  // namespace
}  // namespace conversor::convert
