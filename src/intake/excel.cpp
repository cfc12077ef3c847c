#include "intake/excel.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <numeric>

#include "base/regional.h"

namespace conversor::intake {

namespace {

// What one sheet may hold in memory (text plus six bytes per cell). A real sheet
// stays far below; a hostile file stops here with a message instead of eating
// the machine. Also keeps every offset within 32 bits.
constexpr uint64_t kMaxBytesAba = uint64_t(2) << 30;
constexpr size_t kMaxTextoCelula = 32767;

std::string Decimal(long long n) { return std::to_string(n); }

AreaUsada DentroDosLimites(AreaUsada a) {
    return {std::clamp(a.ultimaLinha, 0, kMaxLinhas), std::clamp(a.ultimaColuna, 0, kMaxColunas)};
}

}  // namespace

namespace detalhe {

uint64_t TextosEmBlocos::Anexa(std::string_view texto) {
    uint64_t inicio = fim_;
    size_t bloco = static_cast<size_t>(inicio >> kBits);
    size_t posicao = static_cast<size_t>(inicio & (kBloco - 1));
    if (posicao + texto.size() > kBloco) {
        ++bloco;
        posicao = 0;
        inicio = static_cast<uint64_t>(bloco) << kBits;
    }
    while (blocos_.size() <= bloco)
        blocos_.push_back(std::make_unique_for_overwrite<char[]>(kBloco));
    std::memcpy(blocos_[bloco].get() + posicao, texto.data(), texto.size());
    fim_ = inicio + texto.size();
    return fim_;
}

}  // namespace detalhe

std::string_view LinhaPlanilha::Procura(int coluna) const {
    // Columns are unique and ascending, so column k is never further than k-1
    // places in; in a full row it is exactly there.
    size_t fim = quantidade_;
    if (coluna >= 1 && static_cast<size_t>(coluna) <= quantidade_) {
        if (Coluna(static_cast<size_t>(coluna) - 1) == coluna)
            return Texto(static_cast<size_t>(coluna) - 1);
        fim = static_cast<size_t>(coluna) - 1;
    }
    size_t inicio = 0;
    while (inicio < fim) {
        const size_t meio = inicio + (fim - inicio) / 2;
        if (Coluna(meio) < coluna)
            inicio = meio + 1;
        else
            fim = meio;
    }
    return inicio < quantidade_ && Coluna(inicio) == coluna ? Texto(inicio) : std::string_view();
}

size_t GradePlanilha::ProcuraLinha(int linha) const {
    if (linha < 1) return kNenhuma;
    const auto achada =
        std::lower_bound(linhas_.begin(), linhas_.end(), static_cast<uint32_t>(linha));
    if (achada == linhas_.end() || *achada != static_cast<uint32_t>(linha)) return kNenhuma;
    return static_cast<size_t>(achada - linhas_.begin());
}

LinhaPlanilha GradePlanilha::Linha(size_t r) const {
    LinhaPlanilha linha;
    linha.grade_ = this;
    linha.primeira_ = primeiras_[r];
    linha.quantidade_ = (r + 1 < primeiras_.size() ? primeiras_[r + 1] : Celulas()) - primeiras_[r];
    return linha;
}

void GradePlanilha::Anexa(int linha, int coluna, std::string_view texto) {
    const auto l = static_cast<uint32_t>(linha);
    const auto c = static_cast<uint16_t>(coluna);
    const size_t n = Celulas();
    if (emOrdem_) {
        if (linhas_.empty() || l > linhas_.back()) {
            linhas_.push_back(l);
            primeiras_.push_back(static_cast<uint32_t>(n));
        } else if (l != linhas_.back() || c <= colunas_[n - 1]) {
            // From here on each cell keeps its row; Termina sorts them out.
            emOrdem_ = false;
            linhaDaCelula_ = std::make_unique<detalhe::VetorEmBlocos<uint32_t>>();
            for (size_t r = 0; r < linhas_.size(); ++r) {
                const size_t fim = r + 1 < linhas_.size() ? primeiras_[r + 1] : n;
                for (size_t i = primeiras_[r]; i < fim; ++i) linhaDaCelula_->push_back(linhas_[r]);
            }
            linhas_.clear();
            primeiras_.clear();
        }
    }
    if (!emOrdem_) linhaDaCelula_->push_back(l);
    fins_.push_back(static_cast<uint32_t>(textos_.Anexa(texto)));
    colunas_.push_back(c);
}

void GradePlanilha::Termina(AreaUsada area) {
    if (!emOrdem_) {
        const size_t n = Celulas();
        const detalhe::VetorEmBlocos<uint32_t>& linhaDe = *linhaDaCelula_;
        std::vector<uint32_t> ordem(n);
        std::iota(ordem.begin(), ordem.end(), 0u);
        std::stable_sort(ordem.begin(), ordem.end(), [&](uint32_t a, uint32_t b) {
            if (linhaDe[a] != linhaDe[b]) return linhaDe[a] < linhaDe[b];
            return colunas_[a] < colunas_[b];
        });
        GradePlanilha ordenada;
        for (size_t k = 0; k < n; ++k) {
            const uint32_t i = ordem[k];
            // A cell given twice: the later one counts.
            if (k + 1 < n && linhaDe[ordem[k + 1]] == linhaDe[i] &&
                colunas_[ordem[k + 1]] == colunas_[i])
                continue;
            ordenada.Anexa(static_cast<int>(linhaDe[i]), colunas_[i], Texto(i));
        }
        *this = std::move(ordenada);
    }
    area_ = area;
    linhas_.shrink_to_fit();
    primeiras_.shrink_to_fit();
}

// Gathers the cells that the reader streams into the grid, within the limits of
// a sheet, and works out the used area.
class TDMCotrolaExcel::Coletor final : public VisitanteCelulas {
public:
    Coletor(GradePlanilha& grade, std::string onde) : g_(grade), onde_(std::move(onde)) {}

    void Celula(int linha, int coluna, std::string_view texto) override {
        if (linha < 1 || linha > kMaxLinhas || coluna < 1 || coluna > kMaxColunas)
            throw ErroPlanilha("A célula da linha " + Decimal(linha) + ", coluna " +
                               Decimal(coluna) + " da planilha " + onde_ +
                               " está fora dos limites de uma planilha.");
        maxLinha_ = std::max(maxLinha_, linha);
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
        throw ErroPlanilha("Memória insuficiente para abrir o arquivo '" + CaminhoParaMensagem(caminho) +
                           "'.");
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
    std::string letras;
    for (long long n = coluna; n > 0; n = (n - 1) / 26)
        letras.insert(letras.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letras;
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
            Coletor coletor(*grade, "'" + NomeAba() + "' do arquivo '" + NomeArquivo() + "'");
            coletor.Termina(leitor_->LeAba(atual_, coletor));
            grade_ = std::move(grade);
        } catch (const std::bad_alloc&) {
            throw ErroPlanilha("Memória insuficiente para ler a planilha '" + NomeAba() +
                               "' do arquivo '" + NomeArquivo() + "'.");
        }
    }
    return *grade_;
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
