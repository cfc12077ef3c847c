// Workbooks saved by real spreadsheet programs, each read through AbreLeitor and set
// against what independent readers found in it (expected/<file>.json beside them).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "base/colunas.h"
#include "base/regional.h"
#include "intake/excel.h"
#include "intake/leitor.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::intake {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kPastas = CONVERSOR_PASTAS_REAIS;

// Every cell the reader hands over, by address, with the text in UTF-8.
class Coleta : public VisitanteCelulas {
public:
    void Celula(int linha, int coluna, std::string_view texto) override {
        const std::string endereco = EnderecoCelula(linha, coluna);
        if (!celulas.emplace(endereco, Cp1252ParaUtf8(texto)).second) repetidas.push_back(endereco);
    }
    std::map<std::string, std::string> celulas;
    std::vector<std::string> repetidas;
};

std::vector<std::string> Esperados() {
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(kPastas / "expected"))
        if (e.path().extension() == ".json") nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

std::string NomeDoTeste(const testing::TestParamInfo<std::string>& info) {
    std::string nome = info.param.substr(0, info.param.size() - std::string(".json").size());
    for (char& c : nome)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return nome;
}

class PastaReal : public testing::TestWithParam<std::string> {};

TEST_P(PastaReal, LeComoOsLeitoresIndependentes) {
    std::ifstream arquivoJson(kPastas / "expected" / GetParam());
    const json esperado = json::parse(arquivoJson);
    const std::string pasta = esperado.at("file");
    SCOPED_TRACE("arquivo " + pasta);

    std::unique_ptr<LeitorPlanilha> leitor;
    try {
        leitor = AbreLeitor((kPastas / pasta).string());
    } catch (const ErroPlanilha& e) {
        FAIL() << "AbreLeitor falhou: " << Cp1252ParaUtf8(e.what());
    }
    const std::vector<std::string> abas = leitor->Abas();
    const json& folhas = esperado.at("sheets");
    std::vector<std::string> nomes;
    for (const std::string& a : abas) nomes.push_back(Cp1252ParaUtf8(a));
    std::vector<std::string> nomesEsperados;
    for (const json& f : folhas) nomesEsperados.push_back(f.at("name"));
    EXPECT_EQ(nomes, nomesEsperados) << "lista de planilhas";

    for (const json& folha : folhas) {
        const int posicao = folha.at("position");
        const std::string aba = folha.at("name");
        SCOPED_TRACE("planilha " + std::to_string(posicao) + " '" + aba + "'");
        if (static_cast<size_t>(posicao) > abas.size()) continue;  // already reported above

        Coleta coleta;
        AreaUsada area;
        try {
            area = leitor->LeAba(posicao, coleta);
        } catch (const ErroPlanilha& e) {
            ADD_FAILURE() << "LeAba falhou: " << Cp1252ParaUtf8(e.what());
            continue;
        }
        EXPECT_THAT(coleta.repetidas, testing::IsEmpty()) << "celulas entregues mais de uma vez";

        const int linhaMin = folha.at("last_row")[0], linhaMax = folha.at("last_row")[1];
        const int colunaMin = folha.at("last_column")[0], colunaMax = folha.at("last_column")[1];
        EXPECT_TRUE(area.ultimaLinha >= linhaMin && area.ultimaLinha <= linhaMax)
            << "ultima linha " << area.ultimaLinha << ", esperada entre " << linhaMin << " e "
            << linhaMax;
        EXPECT_TRUE(area.ultimaColuna >= colunaMin && area.ultimaColuna <= colunaMax)
            << "ultima coluna " << area.ultimaColuna << ", esperada entre " << colunaMin << " e "
            << colunaMax;

        const std::set<std::string> pular = folha.at("skip").get<std::set<std::string>>();
        const json& celulas = folha.at("cells");
        for (const auto& [endereco, texto] : celulas.items()) {
            const auto lida = coleta.celulas.find(endereco);
            if (lida == coleta.celulas.end())
                ADD_FAILURE() << "celula " << endereco << ": lida vazia, esperado <"
                              << texto.get<std::string>() << ">";
            else
                EXPECT_EQ(lida->second, texto.get<std::string>()) << "celula " << endereco;
        }
        for (const auto& [endereco, texto] : coleta.celulas) {
            if (texto.empty() || pular.count(endereco) || celulas.contains(endereco)) continue;
            ADD_FAILURE() << "celula " << endereco << ": esperada vazia, lida <" << texto << ">";
        }
    }
}

// The cells in memory (the driver's grid and the staging table loaded from it) hold
// exactly what the reader handed over: however they are packed, no cell may change,
// move or go missing. The reader's own cells, kept plainly, are the reference.
TEST_P(PastaReal, GradeETabelaTempGuardamCadaCelula) {
    std::ifstream arquivoJson(kPastas / "expected" / GetParam());
    const json esperado = json::parse(arquivoJson);
    const std::string pasta = (kPastas / esperado.at("file").get<std::string>()).string();
    SCOPED_TRACE("arquivo " + esperado.at("file").get<std::string>());

    std::unique_ptr<LeitorPlanilha> leitor;
    TDMCotrolaExcel excel;
    try {
        leitor = AbreLeitor(pasta);
        excel.AbreArquivo(pasta);
    } catch (const ErroPlanilha&) {
        return;  // the reading test reports it
    }
    const int abas = static_cast<int>(leitor->Abas().size());
    for (int posicao = 1; posicao <= abas; ++posicao) {
        SCOPED_TRACE("planilha " + std::to_string(posicao));
        // Row by row, each row's cells by column: the order the grid keeps them in.
        class PorLinha : public VisitanteCelulas {
        public:
            void Celula(int linha, int coluna, std::string_view texto) override {
                if (!texto.empty())
                    linhas[linha][coluna] = std::string(texto.substr(0, kMaxTextoCelula));
            }
            std::map<int, std::map<int, std::string>> linhas;
        } referencia;
        std::shared_ptr<const GradePlanilha> grade;
        try {
            leitor->LeAba(posicao, referencia);
            excel.SelecionaPlanilha(posicao);
            grade = excel.Planilha();
        } catch (const ErroPlanilha&) {
            continue;
        }

        std::map<int, std::map<int, std::string>> naGrade;
        for (size_t r = 0; r < grade->QuantasLinhas(); ++r) {
            const LinhaPlanilha linha = grade->Linha(r);
            for (size_t k = 0; k < linha.Quantidade(); ++k)
                naGrade[grade->NumeroDaLinha(r)][linha.Coluna(k)] = std::string(linha.Texto(k));
        }
        EXPECT_EQ(naGrade, referencia.linhas);

        TTabelaTemp tabela;
        ProgressoMudo mudo;
        CarregaTabelaTemp(excel, tabela, excel.UltimaLinha(), mudo);
        ASSERT_EQ(tabela.RecordCount(), excel.UltimaLinha());
        tabela.First();
        for (const auto& [numero, celulas] : referencia.linhas) {
            // Records one after another, as the conversion walks them.
            while (tabela.RecNo() < numero) tabela.Next();
            for (int coluna = 1; coluna <= tabela.Colunas(); ++coluna) {
                const auto celula = celulas.find(coluna);
                const std::string texto =
                    celula == celulas.end() ? std::string()
                                            : celula->second.substr(0, TTabelaTemp::kTamanhoCampo);
                ASSERT_EQ(tabela.TextoVista(coluna), texto)
                    << "celula " << EnderecoCelula(numero, coluna);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Arquivos, PastaReal, testing::ValuesIn(Esperados()), NomeDoTeste);

}  // namespace
}  // namespace conversor::intake
