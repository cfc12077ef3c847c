#include "intake/textos_compartilhados.h"

#include <algorithm>
#include <cstring>

#include "intake/leitor.h"

namespace conversor::intake {

namespace {

// The fastest level: the table packs a string about as fast as the worksheet reads
// it, and still shrinks sheets' texts about three times.
constexpr int kNivel = 1;

// The end of the block's k-th string: the ends follow the texts, `quantos` of them.
uint32_t Fim(const std::string& bytes, size_t quantos, size_t k) {
    uint32_t fim;
    std::memcpy(&fim, bytes.data() + bytes.size() - (quantos - k) * sizeof fim, sizeof fim);
    return fim;
}

}  // namespace

TextosCompartilhados::TextosCompartilhados() : compressor_(kNivel) {}

TextosCompartilhados::~TextosCompartilhados() = default;

bool TextosCompartilhados::Acrescenta(std::string_view t) {
    if (escritos_ >= kMaxTextosCompartilhados || bytes_ + t.size() > kMaxBytesCompartilhados)
        return false;
    const size_t tamanho = std::min(t.size(), kMaxTextoCelula);
    textos_.append(t.data(), tamanho);
    fins_.push_back(static_cast<uint32_t>(textos_.size()));
    bytes_ += tamanho;
    ++escritos_;
    if (fins_.size() == kPorBloco) {
        FechaBloco();
        Publica(false, nullptr);
    }
    return true;
}

void TextosCompartilhados::Termina(std::exception_ptr erro) {
    if (!erro && !fins_.empty()) {
        try {
            FechaBloco();
        } catch (...) {
            erro = std::current_exception();
        }
    }
    Publica(true, std::move(erro));
}

void TextosCompartilhados::FechaBloco() {
    textos_.append(reinterpret_cast<const char*>(fins_.data()), fins_.size() * sizeof(uint32_t));
    Bloco bloco = compressor_.Empacota(textos_);
    const size_t numero = (escritos_ - 1) / kPorBloco;
    auto& segmento = blocos_[numero / kPorSegmento];
    if (!segmento) segmento = std::make_unique<Bloco[]>(kPorSegmento);
    segmento[numero % kPorSegmento] = std::move(bloco);
    fins_.clear();
    textos_.clear();
}

void TextosCompartilhados::Publica(bool fim, std::exception_ptr erro) {
    {
        std::lock_guard<std::mutex> trava(mutex_);
        // Strings of the open block wait for it to be packed.
        publicados_.store(escritos_ - fins_.size(), std::memory_order_release);
        if (fim) {
            terminou_ = true;
            erro_ = std::move(erro);
        }
    }
    mudou_.notify_all();
}

bool TextosCompartilhados::Espera(uint64_t i) {
    if (i < Quantos()) return true;
    std::unique_lock<std::mutex> trava(mutex_);
    mudou_.wait(trava, [&] { return i < Quantos() || terminou_; });
    if (i < Quantos()) return true;
    if (erro_) std::rethrow_exception(erro_);
    return false;
}

std::string_view TextosCompartilhados::operator[](size_t i) {
    const size_t bloco = i / kPorBloco;
    if (const uint16_t onde = ondeAberto_ ? ondeAberto_[bloco] : 0)
        return TextoNoBloco(abertos_[onde - 1], i);
    if (const auto r = repetidos_.find(static_cast<uint32_t>(i)); r != repetidos_.end())
        return std::string_view(textosRepetidos_).substr(r->second.first, r->second.second);
    const std::string_view texto = TextoNoBloco(Abre(bloco), i);
    // A block given up and needed again: its string is one of those a sheet repeats
    // (the same city, the same supplier...), kept apart so that the next time it
    // costs no unpacking.
    if (bloco < novos_)
        Repete(i, texto);
    else
        novos_ = bloco + 1;
    return texto;
}

std::string_view TextosCompartilhados::TextoNoBloco(Aberto& aberto, size_t i) {
    aberto.usado = true;
    const size_t bloco = i / kPorBloco, k = i % kPorBloco;
    const size_t quantos = std::min(kPorBloco, Quantos() - bloco * kPorBloco);
    const uint32_t inicio = k == 0 ? 0 : Fim(aberto.bytes, quantos, k - 1);
    return std::string_view(aberto.bytes.data() + inicio, Fim(aberto.bytes, quantos, k) - inicio);
}

void TextosCompartilhados::Repete(size_t i, std::string_view texto) {
    // Past its bounds the keeping starts over: a sheet that repeats more strings
    // than that reads slower, never with more memory.
    constexpr size_t kPorRepetido = 64;  // about what the map takes for each
    if (textosRepetidos_.size() + texto.size() + kPorRepetido * (repetidos_.size() + 1) >
        kBytesRepetidos) {
        repetidos_.clear();
        textosRepetidos_.clear();
    }
    repetidos_.emplace(static_cast<uint32_t>(i),
                       std::pair<uint32_t, uint32_t>(static_cast<uint32_t>(textosRepetidos_.size()),
                                                     static_cast<uint32_t>(texto.size())));
    textosRepetidos_.append(texto);
}

// Unpacks a block into the place of one not used lately (each place has its turn;
// one used since its last turn is spared once), giving up more of them while the
// unpacked blocks would take too many bytes.
TextosCompartilhados::Aberto& TextosCompartilhados::Abre(size_t bloco) {
    if (!ondeAberto_) {
        ondeAberto_ = std::make_unique<uint16_t[]>(kMaxBlocos);
        abertos_.resize(kAbertos);
    }
    const Bloco& guardado = blocos_[bloco / kPorSegmento][bloco % kPorSegmento];
    const auto Vez = [&]() -> Aberto& {
        for (;;) {
            Aberto& a = abertos_[ponteiro_];
            ponteiro_ = (ponteiro_ + 1) % kAbertos;
            if (!a.usado) return a;
            a.usado = false;
        }
    };
    Aberto* destino = &Vez();
    Libera(*destino);
    while (bytesAbertos_ > 0 && bytesAbertos_ + guardado.bruto > kBytesAbertos) Libera(Vez());
    descompressor_.Desempacota(guardado, destino->bytes);
    destino->bloco = bloco;
    bytesAbertos_ += destino->bytes.capacity();
    ondeAberto_[bloco] = static_cast<uint16_t>(destino - abertos_.data() + 1);
    return *destino;
}

void TextosCompartilhados::Libera(Aberto& aberto) {
    if (aberto.bloco == kMaxBlocos) return;
    ondeAberto_[aberto.bloco] = 0;
    aberto.bloco = kMaxBlocos;
    bytesAbertos_ -= aberto.bytes.capacity();
    std::string().swap(aberto.bytes);
}

}  // namespace conversor::intake
