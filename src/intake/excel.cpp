#include "intake/excel.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <numeric>

#include "base/colunas.h"
#include "base/regional.h"

namespace conversor::intake {

namespace {

// What one sheet may hold in memory (text plus six bytes per cell). A real sheet
// stays far below; a hostile file stops here with a message instead of eating
// the machine. Also keeps every offset within 32 bits.
constexpr uint64_t kMaxBytesAba = uint64_t(2) << 30;

std::string Decimal(long long n) { return std::to_string(n); }

AreaUsada DentroDosLimites(AreaUsada a) {
    return {std::clamp(a.ultimaLinha, 0, kMaxLinhas), std::clamp(a.ultimaColuna, 0, kMaxColunas)};
}

}  // namespace

// Gathers the cells that the reader streams into the grid, within the limits of
// a sheet, and works out the used area.
class TDMCotrolaExcel::Coletor final : public VisitanteCelulas {
public:
    Coletor(GradePlanilha& grade, std::string onde, std::atomic<int>& linhaLida)
        : g_(grade), onde_(std::move(onde)), linhaLida_(linhaLida) {}

    void Celula(int linha, int coluna, std::string_view texto) override {
        if (linha < 1 || linha > kMaxLinhas || coluna < 1 || coluna > kMaxColunas)
            throw ErroPlanilha("A célula da linha " + Decimal(linha) + ", coluna " +
                               Decimal(coluna) + " da planilha " + onde_ +
                               " está fora dos limites de uma planilha.");
        if (linha > maxLinha_) {
            maxLinha_ = linha;
            linhaLida_.store(linha, std::memory_order_relaxed);
        }
        maxColuna_ = std::max(maxColuna_, coluna);
        if (texto.empty()) return;
        // What a cell of the spreadsheet application can hold.
        texto = texto.substr(0, kMaxTextoCelula);
        if (g_.Bytes() + texto.size() + 14 > kMaxBytesAba)
            throw ErroPlanilha("A planilha " + onde_ +
                               " é grande demais para ser lida (mais de 2 GB de dados).");
        g_.Anexa(linha, coluna, texto);
    }

    void Termina(AreaUsada informada) {
        g_.Termina({std::max(std::clamp(informada.ultimaLinha, 0, kMaxLinhas), maxLinha_),
                    std::max(std::clamp(informada.ultimaColuna, 0, kMaxColunas), maxColuna_)});
    }

private:
    GradePlanilha& g_;
    std::string onde_;
    std::atomic<int>& linhaLida_;
    int maxLinha_ = 0;
    int maxColuna_ = 0;
};

TDMCotrolaExcel::TDMCotrolaExcel() : TDMCotrolaExcel(AbreLeitor) {}

TDMCotrolaExcel::TDMCotrolaExcel(FabricaLeitor fabrica) : fabrica_(std::move(fabrica)) {}

TDMCotrolaExcel::~TDMCotrolaExcel() = default;

void TDMCotrolaExcel::AbreArquivo(const std::string& caminho) {
    std::unique_ptr<LeitorPlanilha> leitor;
    std::vector<std::string> abas;
    try {
        leitor = fabrica_(caminho);
        if (!leitor)
            throw ErroPlanilha("Não foi possível abrir o arquivo '" + CaminhoParaMensagem(caminho) +
                               "'.");
        abas = leitor->Abas();
    } catch (const std::bad_alloc&) {
        leitor.reset();
        throw ErroPlanilha("Memória insuficiente para abrir o arquivo '" +
                           CaminhoParaMensagem(caminho) + "'.");
    }
    leitor_ = std::move(leitor);
    caminho_ = caminho;
    abas_ = std::move(abas);
    listaAbas_.clear();
    atual_ = 0;
    grade_.reset();
    area_.reset();
}

const std::vector<std::string>& TDMCotrolaExcel::ListaPlanilhas() {
    ExigeArquivo();
    listaAbas_ = abas_;
    const int ultima = static_cast<int>(abas_.size());
    if (ultima != atual_) {
        atual_ = ultima;
        grade_.reset();
        area_.reset();
    }
    return listaAbas_;
}

void TDMCotrolaExcel::LiberaLista() {
    listaAbas_.clear();
    listaAbas_.shrink_to_fit();
}

void TDMCotrolaExcel::SelecionaPlanilha(int posicao) {
    ExigeArquivo();
    const int total = static_cast<int>(abas_.size());
    if (posicao < 1 || posicao > total)
        throw ErroPlanilha("O arquivo '" + NomeArquivo() + "' não tem planilha na posição " +
                           Decimal(posicao) + " (tem " + Decimal(total) +
                           (total == 1 ? " planilha)." : " planilhas)."));
    if (posicao != atual_) {
        atual_ = posicao;
        grade_.reset();
        area_.reset();
    }
}

int TDMCotrolaExcel::UltimaLinha() { return AreaAtual().ultimaLinha; }

int TDMCotrolaExcel::UltimaColuna() { return AreaAtual().ultimaColuna; }

std::string TDMCotrolaExcel::LeCelula(int coluna, int linha) {
    const GradePlanilha& g = GradeAtual();  // no file or no sheet is the error to report first
    if (coluna < 1 || coluna > kMaxColunas || linha < 1 || linha > kMaxLinhas)
        throw ErroPlanilha("Célula inválida (coluna " + Decimal(coluna) + ", linha " +
                           Decimal(linha) + ") na planilha '" + NomeAba() + "' do arquivo '" +
                           NomeArquivo() + "'.");
    const size_t r = g.ProcuraLinha(linha);
    return r == GradePlanilha::kNenhuma ? std::string() : std::string(g.Linha(r).Procura(coluna));
}

std::string TDMCotrolaExcel::LetraColuna(int coluna) {
    if (coluna < 1) throw ErroPlanilha("Número de coluna inválido: " + Decimal(coluna) + ".");
    return conversor::LetraColuna(coluna);
}

std::shared_ptr<const GradePlanilha> TDMCotrolaExcel::Planilha() {
    GradeAtual();
    return grade_;
}

const GradePlanilha& TDMCotrolaExcel::GradeAtual() {
    ExigePlanilha();
    if (!grade_) {
        try {
            auto grade = std::make_shared<GradePlanilha>();
            linhaLida_ = 0;
            linhasPrevistas_ = area_ ? area_->ultimaLinha : 0;
            Coletor coletor(*grade, "'" + NomeAba() + "' do arquivo '" + NomeArquivo() + "'",
                            linhaLida_);
            coletor.Termina(leitor_->LeAba(atual_, coletor));
            grade_ = std::move(grade);
        } catch (const std::bad_alloc&) {
            throw ErroPlanilha("Memória insuficiente para ler a planilha '" + NomeAba() +
                               "' do arquivo '" + NomeArquivo() + "'.");
        }
    }
    return *grade_;
}

TDMCotrolaExcel::Andamento TDMCotrolaExcel::AndamentoLeitura() const {
    return {linhaLida_.load(std::memory_order_relaxed),
            linhasPrevistas_.load(std::memory_order_relaxed)};
}

// The cells in memory tell the area; else the reader's measure, which keeps none; a
// reader that cannot measure has the sheet read.
AreaUsada TDMCotrolaExcel::AreaAtual() {
    ExigePlanilha();
    if (grade_) return grade_->Area();
    if (!area_) {
        std::optional<AreaUsada> medida;
        try {
            medida = leitor_->MedeAba(atual_);
        } catch (const std::bad_alloc&) {
            throw ErroPlanilha("Memória insuficiente para ler a planilha '" + NomeAba() +
                               "' do arquivo '" + NomeArquivo() + "'.");
        }
        if (!medida) return GradeAtual().Area();
        area_ = DentroDosLimites(*medida);
    }
    return *area_;
}

void TDMCotrolaExcel::ExigePlanilha() const {
    ExigeArquivo();
    if (atual_ == 0)
        throw ErroPlanilha("Nenhuma planilha do arquivo '" + NomeArquivo() + "' foi selecionada.");
}

void TDMCotrolaExcel::ExigeArquivo() const {
    if (!leitor_) throw ErroPlanilha("Nenhum arquivo de planilha foi aberto.");
}

std::string TDMCotrolaExcel::NomeArquivo() const { return CaminhoParaMensagem(caminho_); }

std::string TDMCotrolaExcel::NomeAba() const {
    return atual_ >= 1 && atual_ <= static_cast<int>(abas_.size()) ? abas_[atual_ - 1]
                                                                   : std::string();
}

}  // namespace conversor::intake
