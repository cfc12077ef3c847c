#include "convert/ferramentas.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <shapefil.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "base/regional.h"
#include "convert/conversao.h"
#include "convert/tabela_ddd.h"
#include "db/consulta.h"

namespace conversor::convert {
namespace {

using teste::BancoTeste;
using teste::MensagensGravadas;
using teste::PastaTemporaria;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

struct CasoTexto {
    const char* nome;
    std::string entrada;
    std::string esperado;
};

TEST(TFerramentasTexto, FormataTelefone) {
    const CasoTexto casos[] = {
        {"com ddd pontuado", "(31) 3333-4444", "3133334444"},
        {"local", "3333-4444", "3133334444"},
        {"zero de tronco e brancos", "0 31 3333 4444", "3133334444"},
        {"oito digitos so sem o zero", "0 3333 4444", "3133334444"},
        {"texto no fim", "99 8888-7777 ramal 2", "9988887777ramal2"},
        {"vazio", "", ""},
        {"so zeros", "0000", ""},
        {"oito digitos", "12345678", "3112345678"},
        {"nove digitos", "123456789", "123456789"},
        {"brancos em volta", "  3333 4444\t", "3133334444"},
    };
    for (const CasoTexto& c : casos) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(TFerramentas::FormataTelefone(c.entrada), c.esperado);
    }
}

// ---------------------------------------------------------------------------------
// The city table.

struct LinhaCidade {
    std::string cidade, estado, ddd;  // Windows-1252
    bool excluida = false;
};

// Writes a small DCETCIDA-like table; `arquivo` must end in ".dbf".
void EscreveTabela(const std::string& arquivo, const std::vector<LinhaCidade>& linhas,
                   bool comDDD = true) {
    DBFHandle h = DBFCreateEx(arquivo.c_str(), "LDID/87");
    ASSERT_NE(h, nullptr);
    DBFAddField(h, "CIDADE", FTString, 30, 0);
    DBFAddField(h, "ESTADO", FTString, 2, 0);
    if (comDDD) DBFAddField(h, "DDD", FTString, 3, 0);
    for (int i = 0; i < static_cast<int>(linhas.size()); ++i) {
        DBFWriteStringAttribute(h, i, 0, linhas[i].cidade.c_str());
        DBFWriteStringAttribute(h, i, 1, linhas[i].estado.c_str());
        if (comDDD) DBFWriteStringAttribute(h, i, 2, linhas[i].ddd.c_str());
        if (linhas[i].excluida) DBFMarkRecordDeleted(h, i, 1);
    }
    DBFClose(h);
}

class TabelaCidadesTeste : public ::testing::Test {
protected:
    void SetUp() override {
        EscreveTabela(arquivo, {{"CIDADE TRES", "MG", "031"},
                                {"CIDADE DOIS", "MG", "31"},
                                {"JUIZ DE FORA", "MG", "032"},
                                {"JUIZ DE FORA", "MG", "099"},  // a later duplicate
                                {"APAGADA", "MG", "037", true},
                                {"ÁGUA BOA", "MT", "66"}});
    }

    PastaTemporaria pasta;
    std::string arquivo = pasta.Arquivo("cidades.dbf");
    db::Conexao semBanco;
    MensagensGravadas mensagens;
};

TEST_F(TabelaCidadesTeste, BuscaDDD) {
    TFerramentas ferramentas(semBanco, mensagens, arquivo);
    struct Caso {
        std::string cidade, estado, esperado;
    };
    const Caso casos[] = {
        {"CIDADE TRES", "MG", "31"},   {"CIDADE DOIS", "MG", "31"},
        {"Juiz de Fora", "mg", "32"},  {"Juiz de Fora   ", "MG", "32"},
        {" Juiz de Fora", "MG", ""},   {"Juiz de Fora", "SP", ""},
        {"agua boa", "MT", "66"},      {"APAGADA", "MG", ""},
        {"CIDADE QUALQUER", "MG", ""}, {"", "", ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE("'" + c.cidade + "' " + c.estado);
        EXPECT_EQ(ferramentas.BuscaDDD(c.cidade, c.estado), c.esperado);
    }
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_F(TabelaCidadesTeste, TabelaLidaUmaVez) {
    TFerramentas ferramentas(semBanco, mensagens, arquivo);
    EXPECT_EQ(ferramentas.BuscaDDD("CIDADE TRES", "MG"), "31");
    std::filesystem::remove(arquivo);
    EXPECT_EQ(ferramentas.BuscaDDD("JUIZ DE FORA", "MG"), "32");
}

TEST_F(TabelaCidadesTeste, TabelaAusenteFalhaNaConsultaENaoAntes) {
    const std::string ausente = pasta.Arquivo("nao-existe.dbf");
    TFerramentas ferramentas(semBanco, mensagens, ausente);  // nothing read yet
    try {
        ferramentas.BuscaDDD("CIDADE TRES", "MG");
        ADD_FAILURE() << "no error";
    } catch (const ErroTabelaCidades& e) {
        EXPECT_THAT(e.what(), HasSubstr("Tabela de cidades não encontrada"));
        EXPECT_THAT(e.what(), HasSubstr(ausente));
    }
    // Put in place later, it is read at the next lookup.
    std::filesystem::copy_file(arquivo, ausente);
    EXPECT_EQ(ferramentas.BuscaDDD("CIDADE TRES", "MG"), "31");
}

TEST_F(TabelaCidadesTeste, TabelaIlegivelFalhaComMensagem) {
    struct Caso {
        const char* nome;
        std::function<void(const std::string&)> escreve;
        const char* trecho;
    };
    const Caso casos[] = {
        {"nao e dbase",
         [](const std::string& f) { std::ofstream(f) << "CIDADE;ESTADO;DDD\nX;MG;31\n"; },
         "não é uma tabela dBASE válida"},
        {"vazio", [](const std::string& f) { std::ofstream{f}; }, "não é uma tabela dBASE válida"},
        {"sem coluna DDD",
         [](const std::string& f) {
             EscreveTabela(f, {{"X", "MG", ""}}, false);
         },
         "falta a coluna DDD"},
        {"truncado",
         [this](const std::string& f) {
             std::filesystem::copy_file(arquivo, f);
             std::filesystem::resize_file(f, std::filesystem::file_size(f) - 40);
         },
         "não pôde ser lido"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const std::string f = pasta.Arquivo(std::string(c.nome) + ".dbf");
        c.escreve(f);
        TFerramentas ferramentas(semBanco, mensagens, f);
        try {
            ferramentas.BuscaDDD("X", "MG");
            ADD_FAILURE() << "no error";
        } catch (const ErroTabelaCidades& e) {
            EXPECT_THAT(e.what(), HasSubstr("Não foi possível ler a tabela de cidades"));
            EXPECT_THAT(e.what(), HasSubstr(f));
            EXPECT_THAT(e.what(), HasSubstr(c.trecho));
        }
    }
}

TEST_F(TabelaCidadesTeste, ArquivoPadraoFicaAoLadoDoExecutavel) {
    // The test executable has no city table beside it.
    TFerramentas ferramentas(semBanco, mensagens);
    const std::string esperado =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "DCETCIDA.DBF").string();
    try {
        ferramentas.BuscaDDD("CIDADE TRES", "MG");
        ADD_FAILURE() << "no error";
    } catch (const ErroTabelaCidades& e) {
        EXPECT_THAT(e.what(), HasSubstr(esperado));
    }
}

TEST_F(TabelaCidadesTeste, Telefone) {
    TFerramentas ferramentas(semBanco, mensagens, arquivo);
    struct Caso {
        const char* nome;
        std::string cidade, numero, esperado;
    };
    const Caso casos[] = {
        {"ddd de tres caracteres", "CIDADE TRES", "3333-4444", "3133334444"},
        {"ddd da cidade", "JUIZ DE FORA", "3333-4444", "3233334444"},
        {"celular", "JUIZ DE FORA", "99999-8888", "32999998888"},
        {"ja tem ddd", "JUIZ DE FORA", "(31) 3333-4444", "3133334444"},
        {"ja tem ddd com zero", "JUIZ DE FORA", "0 31 3333 4444", "3133334444"},
        {"celular com ddd", "JUIZ DE FORA", "(11) 98888-7777", "11988887777"},
        {"cidade fora da tabela", "CIDADE QUALQUER", "3333-4444", "3133334444"},
        {"vazio", "JUIZ DE FORA", "", ""},
        {"brancos", "JUIZ DE FORA", "   ", ""},
        {"ponto", "JUIZ DE FORA", " . ", ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(ferramentas.Telefone(c.cidade, "MG", c.numero), c.esperado);
    }
}

TEST_F(TabelaCidadesTeste, TelefoneSemTabelaSoFalhaComNumero) {
    TFerramentas ferramentas(semBanco, mensagens, pasta.Arquivo("nao-existe.dbf"));
    EXPECT_EQ(ferramentas.Telefone("CIDADE TRES", "MG", "."), "");
    EXPECT_THROW(ferramentas.Telefone("CIDADE TRES", "MG", "3333-4444"), ErroTabelaCidades);
}

TEST(TabelaCidadesEntregue, CodigosDeArea) {
    db::Conexao semBanco;
    MensagensGravadas mensagens;
    TFerramentas ferramentas(semBanco, mensagens, CONVERSOR_TABELA_CIDADES);
    struct Caso {
        std::string cidade, estado, ddd;
    };
    const Caso casos[] = {
        {"Belo Horizonte", "MG", "31"},  {"BELO HORIZONTE", "MG", "31"},
        {"São Paulo", "SP", "11"},       {"SAO PAULO", "SP", "11"},
        {"Rio de Janeiro", "RJ", "21"},  {"Uberlândia", "MG", "34"},
        {"Juiz de Fora", "MG", "32"},    {"Montes Claros", "MG", "38"},
        {"Campinas", "SP", "19"},        {"Santos", "SP", "13"},
        {"Ribeirão Preto", "SP", "16"},  {"Governador Valadares", "MG", "33"},
        {"Poços de Caldas", "MG", "35"}, {"Divinópolis", "MG", "37"},
        {"Brasília", "DF", "61"},        {"Porto Alegre", "RS", "51"},
        {"Belo Horizonte", "SP", ""},    {"Cidade Inexistente", "MG", ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.cidade + " " + c.estado);
        EXPECT_EQ(ferramentas.BuscaDDD(c.cidade, c.estado), c.ddd);
    }
    EXPECT_GE(TabelaDDD(CONVERSOR_TABELA_CIDADES).Tamanho(), 27u + 40u);
}

// ---------------------------------------------------------------------------------
// Reference tables.

struct Referencia {
    const char* nome;
    const char* tabela;
    const char* colunaCodigo;
    const char* colunaChave;
    const char* extraColunas;  // further columns the lookup's key needs
    const char* extraValores;
    int largura;
    const char* maiorCodigoQueCabe;
    const char* prefixo;
    std::function<std::string(TFerramentas&, const std::string&)> busca;
};

const Referencia kReferencias[] = {
    {"Cidade", "CIDADES", "CODCIDADE", "CIDADE", ", ESTADO", ", 'MG'", 5, "999999",
     "Erro ao converter Cidades. Motivo: ",
     [](TFerramentas& f, const std::string& chave) { return f.BuscaCidade(chave, "MG"); }},
    {"ClassificacaoFiscal", "CLASFISC", "CODCLASFIS", "CODIGONCM", "", "", 4, "99999",
     "Erro ao converter Classificação Fiscal. Motivo: ",
     [](TFerramentas& f, const std::string& chave) { return f.BuscaClassificacaoFiscal(chave); }},
    {"Fabricante", "CADFABR", "CODFABRIC", "DESCRICAO", "", "", 5, "999999",
     "Erro ao converter Fabricante. Motivo: ",
     [](TFerramentas& f, const std::string& chave) { return f.BuscaFabricante(chave); }},
};

void PrintTo(const Referencia& r, std::ostream* os) { *os << r.nome; }

class ReferenciaBase : public BancoTeste {
protected:
    void SetUp() override {
        for (const char* t : {"CIDADES", "CLASFISC", "CADFABR", "UNIDADES"})
            Executa(std::string("delete from ") + t);
    }

    MensagensGravadas mensagens;
    TFerramentas ferramentas{Banco(), mensagens};
};

class ReferenciaTeste : public ReferenciaBase, public ::testing::WithParamInterface<Referencia> {
protected:
    const Referencia& ref = GetParam();

    void Insere(const std::string& codigo, const std::string& chave) {
        Executa(std::string("insert into ") + ref.tabela + " (" + ref.colunaCodigo + ", " +
                ref.colunaChave + ref.extraColunas + ") values (" + Aspas(codigo) + ", " +
                Aspas(chave) + ref.extraValores + ")");
    }
    std::string CodigoDe(const std::string& chave) {
        return Valor(std::string("select ") + ref.colunaCodigo + " from " + ref.tabela + " where " +
                     ref.colunaChave + " = " + Aspas(chave));
    }
};

TEST_P(ReferenciaTeste, EncontraLinhaExistente) {
    Insere("00007", "ACHADO");
    Insere("00008", "OUTRO");
    EXPECT_EQ(ref.busca(ferramentas, "ACHADO"), "00007");
    EXPECT_EQ(ContaLinhas(ref.tabela), 2);
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_P(ReferenciaTeste, PrimeiroCodigoEmTabelaVaziaEConfirmado) {
    const std::string primeiro = std::string(ref.largura - 1, '0') + "1";
    EXPECT_EQ(ref.busca(ferramentas, "NOVO"), primeiro);
    EXPECT_FALSE(Banco().DBTransaction().Ativa()) << "the creation commits";
    EXPECT_EQ(CodigoDe("NOVO"), primeiro);
    // Found, not created again.
    EXPECT_EQ(ref.busca(ferramentas, "NOVO"), primeiro);
    EXPECT_EQ(ContaLinhas(ref.tabela), 1);
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_P(ReferenciaTeste, ProximoCodigoEOMaiorNumeroMaisUm) {
    struct Caso {
        std::vector<std::string> existentes;
        std::string proximo;
    };
    auto codigo = [this](const std::string& n) { return CompletaZeros(n, ref.largura); };
    const Caso casos[] = {
        {{codigo("41"), codigo("7")}, codigo("42")},
        {{"0999"}, codigo("1000")},
        {{"9999"}, "10000"},
        {{"9999", "10000"}, "10001"},
        {{"10000", "9999", "00005"}, "10001"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.proximo);
        SetUp();
        for (size_t i = 0; i < c.existentes.size(); ++i)
            Insere(c.existentes[i], "E" + std::to_string(i));
        EXPECT_EQ(ref.busca(ferramentas, "NOVO"), c.proximo);
        EXPECT_EQ(CodigoDe("NOVO"), c.proximo);
    }
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_P(ReferenciaTeste, CriacaoConfirmaOQueVeioAntes) {
    {
        db::Consulta q(Banco());
        q.DefineSql("insert into UNIDADES (UNIDADE) values ('ZZ')");
        q.Executa();
    }
    const std::string codigo = ref.busca(ferramentas, "NOVO");
    if (Banco().DBTransaction().Ativa()) Banco().DBTransaction().Desfaz();
    EXPECT_EQ(Valor("select count(*) from UNIDADES where UNIDADE = 'ZZ'"), "1");
    EXPECT_EQ(CodigoDe("NOVO"), codigo);
}

TEST_P(ReferenciaTeste, InsercaoRecusadaViraAvisoEDevolveONovoCodigo) {
    // The next code no longer fits the column.
    Insere(ref.maiorCodigoQueCabe, "ULTIMO");
    const std::string proximo = std::to_string(std::stoll(ref.maiorCodigoQueCabe) + 1);
    EXPECT_EQ(ref.busca(ferramentas, "NOVO"), proximo);
    ASSERT_THAT(mensagens.Avisos(), ElementsAre(StartsWith(std::string(ref.prefixo) + "\r")));
    EXPECT_THAT(mensagens.Avisos()[0], HasSubstr("truncation"));
    EXPECT_EQ(CodigoDe("NOVO"), "");

    // The run goes on.
    mensagens.Limpa();
    EXPECT_EQ(ref.busca(ferramentas, "ULTIMO"), ref.maiorCodigoQueCabe);
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_P(ReferenciaTeste, CodigoNaoNumericoViraAvisoSemCodigo) {
    Insere("00A12", "ESTRANHO");
    EXPECT_EQ(ref.busca(ferramentas, "NOVO"), "");
    ASSERT_THAT(mensagens.Avisos(), ElementsAre(StartsWith(std::string(ref.prefixo) + "\r")));
    EXPECT_THAT(mensagens.Avisos()[0], HasSubstr("00A12"));
    EXPECT_EQ(ContaLinhas(ref.tabela), 1);
}

TEST_P(ReferenciaTeste, SemBancoViraAviso) {
    db::Conexao semBanco;
    TFerramentas semConexao(semBanco, mensagens);
    EXPECT_EQ(ref.busca(semConexao, "X"), "");
    EXPECT_THAT(mensagens.Avisos(), ElementsAre(StartsWith(std::string(ref.prefixo) + "\r")));
}

INSTANTIATE_TEST_SUITE_P(Tabelas, ReferenciaTeste, ::testing::ValuesIn(kReferencias),
                         [](const auto& info) { return std::string(info.param.nome); });

using BuscaCidadeTeste = ReferenciaBase;

TEST_F(BuscaCidadeTeste, AbreviaturaDeBeloHorizonte) {
    Executa(
        "insert into CIDADES (CODCIDADE, CIDADE, ESTADO) values ('00010', 'Belo Horizonte', 'MG')");
    EXPECT_EQ(ferramentas.BuscaCidade("BHTE", "MG"), "00010");
    EXPECT_EQ(ferramentas.BuscaCidade("  BHTE ", "MG"), "00010");
    // In another state it is created under the full name.
    EXPECT_EQ(ferramentas.BuscaCidade("BHTE", "SP"), "00011");
    EXPECT_EQ(Valor("select CIDADE from CIDADES where CODCIDADE = '00011'"), "Belo Horizonte");
    // Only the upper-case abbreviation is replaced.
    EXPECT_EQ(ferramentas.BuscaCidade("bhte", "MG"), "00012");
    EXPECT_EQ(Valor("select CIDADE from CIDADES where CODCIDADE = '00012'"), "bhte");
    EXPECT_EQ(ferramentas.CriadosCidades(), 2);
}

TEST_F(BuscaCidadeTeste, MesmoNomeEmDoisEstadosEChavesCortadas) {
    EXPECT_EQ(ferramentas.BuscaCidade("Itu", "SP"), "00001");
    EXPECT_EQ(ferramentas.BuscaCidade("Itu", "MG"), "00002");
    EXPECT_EQ(ferramentas.BuscaCidade("Itu", "SPX"), "00001") << "state cut to 2";

    const std::string longa = "Cidade com um nome bem maior que trinta letras";
    EXPECT_EQ(ferramentas.BuscaCidade(longa, "MG"), "00003");
    EXPECT_EQ(Valor("select CIDADE from CIDADES where CODCIDADE = '00003'"), longa.substr(0, 30));
    EXPECT_EQ(ferramentas.BuscaCidade(longa.substr(0, 30) + " outro fim", "MG"), "00003");
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_F(BuscaCidadeTeste, ClassificacaoFiscalGuardaNcmNasDuasColunas) {
    EXPECT_EQ(ferramentas.BuscaClassificacaoFiscal("8471300099"), "0001");
    EXPECT_EQ(Valor("select CODIGONCM || '|' || CODNBM from CLASFISC"), "84713000|84713000");
    EXPECT_EQ(ferramentas.BuscaClassificacaoFiscal("84713000"), "0001");

    EXPECT_EQ(ferramentas.BuscaClassificacaoFiscal(""), "0002");
    EXPECT_EQ(Valor("select CODIGONCM || '|' || CODNBM from CLASFISC where CODCLASFIS = '0002'"),
              "|");
    EXPECT_EQ(ferramentas.CriadosClassificacoes(), 2);
}

TEST_F(BuscaCidadeTeste, FabricanteSemNomeNaoCria) {
    EXPECT_EQ(ferramentas.BuscaFabricante(""), "");
    EXPECT_EQ(ContaLinhas("CADFABR"), 0);
    Executa("insert into CADFABR (CODFABRIC, DESCRICAO) values ('00003', '')");
    EXPECT_EQ(ferramentas.BuscaFabricante(""), "00003");
    EXPECT_EQ(ferramentas.BuscaFabricante("ACME"), "00004");
    EXPECT_EQ(ferramentas.CriadosFabricantes(), 1);
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

}  // namespace
}  // namespace conversor::convert
