#include "intake/grade.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace conversor::intake {

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

}  // namespace conversor::intake
