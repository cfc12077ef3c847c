// Inputs that once broke a reader or came close (found by the fuzz targets of fuzz/ or
// written after a hostile case), one folder per target under regressao/: each must
// read, or be refused with the reader's Portuguese error naming the file, in bounded
// time; the damaged ones of kRecusadas must be refused. fuzz/run.sh seeds the fuzzers
// with the same files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "apoio/banco_teste.h"
#include "convert/tabela_ddd.h"
#include "intake/leitores.h"
#include "pacote_fuzz.h"

namespace conversor::intake {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

const fs::path kRegressao = CONVERSOR_REGRESSAO;

class Descarta final : public VisitanteCelulas {
public:
    void Celula(int linha, int coluna, std::string_view) override {
        EXPECT_TRUE(linha >= 1 && linha <= kMaxLinhas && coluna >= 1 && coluna <= kMaxColunas)
            << "célula fora da planilha: linha " << linha << ", coluna " << coluna;
    }
};

// Opens and reads every sheet; returns the message of the ErroPlanilha raised, if any.
std::string LeTudo(const std::function<std::unique_ptr<LeitorPlanilha>()>& abre) {
    try {
        auto leitor = abre();
        const size_t abas = leitor->Abas().size();
        for (size_t i = 1; i <= abas; ++i) {
            Descarta descarta;
            leitor->LeAba(static_cast<int>(i), descarta);
        }
    } catch (const ErroPlanilha& e) {
        return e.what();
    }
    return {};
}

struct Alvo {
    const char* pasta;  // the fuzz target's name
    // Reads the fixture; returns the error message, empty when it read fine.
    std::function<std::string(const std::string& fixture, const std::string& temporario)> le;
    const char* extensao;  // of the file the fixture becomes
};

// The package targets' fixtures are parts in the targets' input form, put in a zip.
std::string LePacote(const std::string& fixture, const std::string& temporario) {
    std::ifstream entrada(fixture, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(entrada)), {});
    fuzz::GravaPacote(temporario, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return LeTudo([&] { return AbreLeitor(temporario); });
}

std::string LeTabela(const std::string& arquivo) {
    try {
        convert::TabelaDDD tabela(arquivo);
        tabela.Procura("SAO PAULO", "SP");
    } catch (const convert::ErroTabelaCidades& e) {
        return e.what();
    }
    return {};
}

const Alvo kAlvos[] = {
    {"fuzz_xlsx", LePacote, ".xlsx"},
    {"fuzz_ods", LePacote, ".ods"},
    {"fuzz_zip",
     [](const std::string& f, const std::string& t) {
         fs::copy_file(f, t, fs::copy_options::overwrite_existing);
         return LeTudo([&] { return AbreLeitor(t); });
     },
     ".xlsx"},
    {"fuzz_xls",
     [](const std::string& f, const std::string& t) {
         fs::copy_file(f, t, fs::copy_options::overwrite_existing);
         return LeTudo([&] { return AbreXls(t); });
     },
     ".xls"},
    {"fuzz_csv",
     [](const std::string& f, const std::string& t) {
         fs::copy_file(f, t, fs::copy_options::overwrite_existing);
         return LeTudo([&] { return AbreCsv(t); });
     },
     ".csv"},
    {"fuzz_tabela_ddd",
     [](const std::string& f, const std::string& t) {
         fs::copy_file(f, t, fs::copy_options::overwrite_existing);
         return LeTabela(t);
     },
     ".DBF"},
};

class Regressao : public testing::TestWithParam<Alvo> {};

TEST_P(Regressao, CadaEntradaLeOuDaOErroDoLeitorEmTempoLimitado) {
    const fs::path pasta = kRegressao / GetParam().pasta;
    if (!fs::is_directory(pasta)) GTEST_SKIP() << "sem casos em " << pasta;
    teste::PastaTemporaria temporaria;
    for (const auto& e : fs::directory_iterator(pasta)) {
        if (!e.is_regular_file()) continue;
        SCOPED_TRACE(e.path().filename().string());
        // Named after the fixture, so the message shows which file it names.
        const std::string arquivo =
            temporaria.Arquivo("regressao-" + e.path().stem().string() + GetParam().extensao);
        const auto inicio = std::chrono::steady_clock::now();
        const std::string erro = GetParam().le(e.path().string(), arquivo);
        const auto segundos =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
        if (!erro.empty()) {
            EXPECT_THAT(erro, HasSubstr("regressao-" + e.path().stem().string()));
        }
        // Generous for a sanitizer build on a busy machine; the fuzzer's own limit is 10 s.
        EXPECT_LT(segundos, 60.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Leitores, Regressao, testing::ValuesIn(kAlvos),
                         [](const testing::TestParamInfo<Alvo>& info) {
                             return std::string(info.param.pasta);
                         });

// Damaged files that a reader once took for a short or empty sheet, so that a
// conversion went through with rows missing: each must be refused, and the message
// must say what is wrong.
struct Recusada {
    const char* pasta;
    const char* arquivo;
    const char* motivo;
};

const Recusada kRecusadas[] = {
    {"fuzz_xls", "bof-a-mais-na-planilha.xls", "a planilha não é fechada"},
    {"fuzz_xls", "grafico-embutido-sem-eof.xls", "a planilha não é fechada"},
    {"fuzz_xls", "fluxo-cortado-na-planilha.xls", "acaba no byte 8192 sem o registro EOF"},
    {"fuzz_xls", "bit-trocado-eof-antes-da-hora.xls", "o registro EOF no byte 6864"},
    {"fuzz_csv", "aspas-nunca-fechadas.csv", "linha 31 do texto) não se fecham"},
    {"fuzz_zip", "content-xml-repetido.ods", "a parte 'content.xml' aparece duas vezes"},
    {"fuzz_zip", "folha-repetida.xlsx", "'xl/worksheets/sheet1.xml' aparece duas vezes"},
};

TEST(RegressaoDanificados, SaoRecusadosDizendoODefeito) {
    teste::PastaTemporaria temporaria;
    for (const Recusada& r : kRecusadas) {
        SCOPED_TRACE(r.arquivo);
        const Alvo* alvo = nullptr;
        for (const Alvo& a : kAlvos)
            if (std::string_view(a.pasta) == r.pasta) alvo = &a;
        ASSERT_NE(alvo, nullptr);
        const fs::path fixture = kRegressao / r.pasta / r.arquivo;
        ASSERT_TRUE(fs::is_regular_file(fixture));
        const std::string nome = "regressao-" + fixture.stem().string();
        const std::string erro =
            alvo->le(fixture.string(), temporaria.Arquivo(nome + alvo->extensao));
        EXPECT_THAT(erro, testing::AllOf(HasSubstr(nome), HasSubstr(r.motivo)));
    }
}

}  // namespace
}  // namespace conversor::intake
