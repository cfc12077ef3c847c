#include "intake/grade.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>
#include <utility>

#include "intake/pacote_zstd.h"

namespace conversor::intake {

namespace {

// Rows are grouped until a group passes this size unpacked: big enough for the
// packing to find what repeats, small enough to unpack one quickly.
constexpr size_t kGrupo = size_t{128} << 10;
// The fastest level: it already takes most of what repeats in a sheet.
constexpr int kNivel = 1;
// Groups waiting to be packed before the reader waits for the packing.
constexpr size_t kMaxFila = 4;

void AnexaNumero(std::string& destino, uint32_t n) {
    while (n >= 0x80) {
        destino.push_back(static_cast<char>(n | 0x80));
        n >>= 7;
    }
    destino.push_back(static_cast<char>(n));
}

uint32_t LeNumero(const unsigned char*& p) {
    uint32_t n = 0;
    unsigned deslocamento = 0;
    unsigned char b;
    do {
        b = *p++;
        n |= uint32_t(b & 0x7F) << deslocamento;
        deslocamento += 7;
    } while (b & 0x80);
    return n;
}

// A packed group.
struct Pacote {
    size_t grupo = 0;
    BlocoZstd bloco;
};

}  // namespace

namespace detalhe {

// Packs the groups of one grid on a thread of its own, so that reading the sheet
// does not wait for the packing; falls back to packing on the caller's thread
// when no thread can be started.
class Compressor {
public:
    Compressor() {
        try {
            thread_ = std::thread([this] { Trabalha(); });
        } catch (const std::system_error&) {
            // Envia packs on the caller's thread.
        }
    }

    ~Compressor() {
        {
            std::lock_guard<std::mutex> trava(mutex_);
            parar_ = true;
        }
        temTrabalho_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    void Envia(size_t grupo, std::string bruto) {
        if (!thread_.joinable()) {
            prontos_.push_back({grupo, empacotador_.Empacota(bruto)});
            return;
        }
        std::unique_lock<std::mutex> trava(mutex_);
        mudou_.wait(trava, [&] { return fila_.size() < kMaxFila || erro_; });
        fila_.emplace_back(grupo, std::move(bruto));
        trava.unlock();
        temTrabalho_.notify_one();
    }

    // Hands over the groups packed so far; with `espera`, all of those sent.
    void Recolhe(std::vector<Pacote>& saida, bool espera) {
        std::unique_lock<std::mutex> trava(mutex_);
        if (espera) mudou_.wait(trava, [&] { return (fila_.empty() && !trabalhando_) || erro_; });
        if (erro_) std::rethrow_exception(erro_);
        for (Pacote& p : prontos_) saida.push_back(std::move(p));
        prontos_.clear();
    }

private:
    void Trabalha() {
        EmpacotadorZstd empacotador(kNivel);
        for (;;) {
            std::pair<size_t, std::string> item;
            {
                std::unique_lock<std::mutex> trava(mutex_);
                temTrabalho_.wait(trava, [&] { return parar_ || !fila_.empty(); });
                if (parar_) return;
                item = std::move(fila_.front());
                fila_.pop_front();
                trabalhando_ = true;
            }
            mudou_.notify_all();
            try {
                Pacote p{item.first, empacotador.Empacota(item.second)};
                std::lock_guard<std::mutex> trava(mutex_);
                prontos_.push_back(std::move(p));
                trabalhando_ = false;
            } catch (...) {
                std::lock_guard<std::mutex> trava(mutex_);
                erro_ = std::current_exception();
                trabalhando_ = false;
            }
            mudou_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable temTrabalho_;
    std::condition_variable mudou_;
    std::deque<std::pair<size_t, std::string>> fila_;
    std::vector<Pacote> prontos_;
    bool trabalhando_ = false;
    bool parar_ = false;
    std::exception_ptr erro_;
    EmpacotadorZstd empacotador_{kNivel};  // only without a thread
    std::thread thread_;
};

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

GradePlanilha::GradePlanilha() = default;
GradePlanilha::~GradePlanilha() = default;
GradePlanilha::GradePlanilha(GradePlanilha&& outra) noexcept { *this = std::move(outra); }

GradePlanilha& GradePlanilha::operator=(GradePlanilha&& outra) noexcept {
    if (this == &outra) return *this;
    area_ = outra.area_;
    celulas_ = std::exchange(outra.celulas_, 0);
    linhas_ = std::exchange(outra.linhas_, {});
    ultimaColuna_ = std::exchange(outra.ultimaColuna_, 0);
    bruto_ = std::exchange(outra.bruto_, {});
    grupos_ = std::exchange(outra.grupos_, {});
    bytesGuardados_ = std::exchange(outra.bytesGuardados_, 0);
    compressor_ = std::move(outra.compressor_);
    for (size_t i = 0; i < 2; ++i) cache_[i] = std::exchange(outra.cache_[i], {});
    proximoCache_ = 0;
    // The row read may lie in the group being filled, whose bytes have moved.
    linhaLida_ = outra.linhaLida_ = kNenhuma;
    soltas_ = std::move(outra.soltas_);
    textosSoltos_ = std::exchange(outra.textosSoltos_, {});
    return *this;
}

size_t GradePlanilha::ProcuraLinha(int linha) const {
    if (linha < 1 || linhas_.size() == 0) return kNenhuma;
    size_t inicio = 0, fim = linhas_.size();
    while (inicio < fim) {
        const size_t meio = inicio + (fim - inicio) / 2;
        if (linhas_[meio].numero < static_cast<uint32_t>(linha))
            inicio = meio + 1;
        else
            fim = meio;
    }
    return inicio < linhas_.size() && linhas_[inicio].numero == static_cast<uint32_t>(linha)
               ? inicio
               : kNenhuma;
}

void GradePlanilha::Recolhe(bool espera) const {
    if (!compressor_) return;
    std::vector<Pacote> prontos;
    compressor_->Recolhe(prontos, espera);
    for (Pacote& p : prontos) {
        Grupo& g = grupos_[p.grupo];
        g = std::move(p.bloco);
        bytesGuardados_ = bytesGuardados_ - g.bruto + g.tamanho;
    }
}

void GradePlanilha::FechaGrupo() {
    if (bruto_.empty()) return;
    if (!compressor_) compressor_ = std::make_unique<detalhe::Compressor>();
    Grupo g;
    g.bruto = static_cast<uint32_t>(bruto_.size());
    grupos_.push_back(std::move(g));
    bytesGuardados_ += bruto_.size() + sizeof(Grupo);
    std::string bruto;
    bruto.reserve(kGrupo + kGrupo / 4);
    bruto.swap(bruto_);
    compressor_->Envia(grupos_.size() - 1, std::move(bruto));
    Recolhe(false);
}

std::string_view GradePlanilha::BytesDoGrupo(size_t g) const {
    if (g == grupos_.size()) return bruto_;
    for (const Desempacotado& d : cache_)
        if (d.grupo == g) return d.bytes;
    if (!grupos_[g].dados) Recolhe(true);
    static thread_local DesempacotadorZstd desempacotador;
    Desempacotado& d = cache_[proximoCache_];
    proximoCache_ = 1 - proximoCache_;
    d.grupo = kNenhuma;
    desempacotador.Desempacota(grupos_[g], d.bytes);
    d.grupo = g;
    return d.bytes;
}

LinhaPlanilha GradePlanilha::Linha(size_t r) const {
    if (r != linhaLida_) {
        const LinhaIndice li = linhas_[r];
        const std::string_view grupo = BytesDoGrupo(li.grupo);
        const auto* p = reinterpret_cast<const unsigned char*>(grupo.data()) + li.inicio;
        colunasLidas_.resize(li.celulas);
        textosLidos_.resize(li.celulas);
        int coluna = 0;
        for (uint32_t k = 0; k < li.celulas; ++k) {
            coluna += static_cast<int>(LeNumero(p));
            const uint32_t tamanho = LeNumero(p);
            colunasLidas_[k] = coluna;
            textosLidos_[k] = std::string_view(reinterpret_cast<const char*>(p), tamanho);
            p += tamanho;
        }
        linhaLida_ = r;
    }
    LinhaPlanilha linha;
    linha.colunas_ = colunasLidas_.data();
    linha.textos_ = textosLidos_.data();
    linha.quantidade_ = colunasLidas_.size();
    return linha;
}

void GradePlanilha::Desordena() {
    auto soltas = std::make_unique<std::vector<Solta>>();
    std::string textos;
    for (size_t r = 0; r < linhas_.size(); ++r) {
        const LinhaPlanilha linha = Linha(r);
        for (size_t k = 0; k < linha.Quantidade(); ++k) {
            const std::string_view t = linha.Texto(k);
            soltas->push_back({linhas_[r].numero, static_cast<uint32_t>(linha.Coluna(k)),
                               textos.size(), static_cast<uint32_t>(t.size())});
            textos += t;
        }
    }
    const size_t celulas = celulas_;
    *this = GradePlanilha();
    celulas_ = celulas;
    soltas_ = std::move(soltas);
    textosSoltos_ = std::move(textos);
}

void GradePlanilha::Anexa(int linha, int coluna, std::string_view texto) {
    const auto l = static_cast<uint32_t>(linha);
    if (!soltas_) {
        linhaLida_ = kNenhuma;
        if (linhas_.size() == 0 || l > linhas_[linhas_.size() - 1].numero) {
            if (bruto_.size() >= kGrupo) FechaGrupo();
            if (bruto_.capacity() < kGrupo) bruto_.reserve(kGrupo + kGrupo / 4);
            linhas_.push_back({l, static_cast<uint32_t>(grupos_.size()),
                               static_cast<uint32_t>(bruto_.size()), 0});
            ultimaColuna_ = 0;
        } else if (l != linhas_[linhas_.size() - 1].numero || coluna <= ultimaColuna_) {
            // From here on the cells are kept loose; Termina sorts them out.
            Desordena();
        }
    }
    ++celulas_;
    if (soltas_) {
        soltas_->push_back({l, static_cast<uint32_t>(coluna), textosSoltos_.size(),
                            static_cast<uint32_t>(texto.size())});
        textosSoltos_ += texto;
        return;
    }
    AnexaNumero(bruto_, static_cast<uint32_t>(coluna - ultimaColuna_));
    AnexaNumero(bruto_, static_cast<uint32_t>(texto.size()));
    bruto_ += texto;
    ultimaColuna_ = coluna;
    ++linhas_.Ultimo().celulas;
}

void GradePlanilha::Termina(AreaUsada area) {
    if (soltas_) {
        const std::vector<Solta>& soltas = *soltas_;
        const size_t n = soltas.size();
        std::vector<uint32_t> ordem(n);
        std::iota(ordem.begin(), ordem.end(), 0u);
        std::stable_sort(ordem.begin(), ordem.end(), [&](uint32_t a, uint32_t b) {
            if (soltas[a].linha != soltas[b].linha) return soltas[a].linha < soltas[b].linha;
            return soltas[a].coluna < soltas[b].coluna;
        });
        GradePlanilha ordenada;
        for (size_t k = 0; k < n; ++k) {
            const Solta& s = soltas[ordem[k]];
            // A cell given twice: the later one counts.
            if (k + 1 < n && soltas[ordem[k + 1]].linha == s.linha &&
                soltas[ordem[k + 1]].coluna == s.coluna)
                continue;
            ordenada.Anexa(static_cast<int>(s.linha), static_cast<int>(s.coluna),
                           std::string_view(textosSoltos_).substr(s.inicio, s.tamanho));
        }
        *this = std::move(ordenada);
    }
    area_ = area;
    // The group being filled stays unpacked; the packing thread has done its work.
    Recolhe(true);
    compressor_.reset();
}

}  // namespace conversor::intake
