#include "intake/leitura_blocos.h"

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/regional.h"
#include "intake/leitor.h"

namespace conversor::intake {

namespace {

// Pieces are cut at the first place between children past this size.
constexpr size_t kAlvoPedaco = size_t{1} << 20;
// Content that offers no place to cut for this long is read on the calling thread.
constexpr size_t kMaxPedaco = size_t{64} << 20;

// Finds, in a UTF-8 XML document read piece by piece, the content of one container
// element and, inside it, the places between its children where it may be cut. It
// knows tags, comments, CDATA sections and processing instructions, and nothing more:
// the parsers that read the pieces judge everything else.
class Divisor {
public:
    enum class Fase { Prologo, Conteudo, Epilogo };
    enum class Resultado { Precisa, MudouFase, Estranho };

    Divisor(std::string_view conteiner, const std::string& arquivo, const std::string& lugar)
        : conteiner_(conteiner), arquivo_(arquivo), lugar_(lugar) {}

    Fase fase() const { return fase_; }
    // Bytes of the buffer already scanned: whole tokens and text.
    size_t Escaneado() const { return pos_; }
    // Conteudo: the end of the last token that left the content's own level (0: none).
    size_t Corte() const { return corte_; }
    // At a phase change: the end of the container's start tag or the start of its end tag.
    size_t Marca() const { return marca_; }
    const std::string& NomeConteiner() const { return nome_; }

    // The buffer lost its first n bytes.
    void Descarta(size_t n) {
        pos_ -= std::min(pos_, n);
        corte_ = corte_ > n ? corte_ - n : 0;
    }

    // Scans on from the scanned position; stops at a token not yet whole (Precisa), at a
    // phase change, or at markup other than the known (Estranho, before the content).
    Resultado Escaneia(const std::string& buf) {
        const char* const b = buf.data();
        const size_t n = buf.size();
        while (pos_ < n) {
            const size_t i = Proximo(b, n, pos_, '<');
            if (i == std::string_view::npos) {
                pos_ = n;
                break;
            }
            if (i + 1 >= n) return Pendente(i, n);
            size_t fim = std::string_view::npos;
            const char c = b[i + 1];
            if (c == '?') {
                fim = Procura(b, n, i + 2, "?>");
            } else if (c == '!') {
                const std::string_view resto(b + i, n - i);
                if (resto.starts_with("<!--")) {
                    fim = Procura(b, n, i + 4, "-->");
                } else if (resto.starts_with("<![CDATA[")) {
                    fim = Procura(b, n, i + 9, "]]>");
                } else if (std::string_view("<!--").starts_with(resto) ||
                           std::string_view("<![CDATA[").starts_with(resto)) {
                    return Pendente(i, n);
                } else if (fase_ == Fase::Prologo) {
                    pos_ = i;
                    return Resultado::Estranho;
                } else {
                    fim = Procura(b, n, i + 2, ">");
                }
            } else if (c == '/') {
                fim = Proximo(b, n, i + 2, '>');
                if (fim != std::string_view::npos) ++fim;
                if (fim != std::string_view::npos) {
                    if (fase_ == Fase::Conteudo && profundidade_ == 0) {
                        marca_ = i;
                        pos_ = fim;
                        fase_ = Fase::Epilogo;
                        return Resultado::MudouFase;
                    }
                    --profundidade_;
                }
            } else {
                fim = FimDaMarca(b, n, i + 1);
                if (fim != std::string_view::npos) {
                    const bool vazia = b[fim - 2] == '/';
                    if (fase_ == Fase::Prologo && profundidade_ == 1 && !vazia) {
                        const std::string_view nome = NomeDaMarca(b, i + 1, fim);
                        if (NomeLocal(nome) == conteiner_) {
                            nome_ = nome;
                            marca_ = pos_ = fim;
                            fase_ = Fase::Conteudo;
                            profundidade_ = 0;
                            corte_ = 0;
                            return Resultado::MudouFase;
                        }
                    }
                    if (!vazia && ++profundidade_ > ParserXml::kMaxProfundidade)
                        throw ErroLeitura(arquivo_, lugar_, ParserXml::MotivoProfundo());
                }
            }
            if (fim == std::string_view::npos) return Pendente(i, n);
            pos_ = fim;
            if (fase_ == Fase::Conteudo && profundidade_ == 0) corte_ = fim;
        }
        return Resultado::Precisa;
    }

private:
    Resultado Pendente(size_t i, size_t n) {
        pos_ = i;
        if (n - i > ParserXml::kMaxToken)
            throw ErroLeitura(arquivo_, lugar_, ParserXml::kMotivoTokenGrande);
        return Resultado::Precisa;
    }

    // The position of the next `c` from `de`; npos when not there yet. Tags mostly
    // follow each other or a short value, so a few bytes are looked at one by one
    // before the library search.
    static size_t Proximo(const char* b, size_t n, size_t de, char c) {
        for (const size_t perto = std::min(n, de + 16); de < perto; ++de)
            if (b[de] == c) return de;
        if (de >= n) return std::string_view::npos;
        const void* achado = std::memchr(b + de, c, n - de);
        return achado ? static_cast<size_t>(static_cast<const char*>(achado) - b)
                      : std::string_view::npos;
    }

    // The position after `fecho`, searched from `de`; npos when not there yet.
    static size_t Procura(const char* b, size_t n, size_t de, std::string_view fecho) {
        if (de > n) return std::string_view::npos;
        const size_t achado = std::string_view(b + de, n - de).find(fecho);
        return achado == std::string_view::npos ? achado : de + achado + fecho.size();
    }

    // The position after the '>' that closes a start tag; quoted values may hold '>'.
    static size_t FimDaMarca(const char* b, size_t n, size_t de) {
        for (size_t k = de; k < n; ++k) {
            const char ch = b[k];
            if (ch == '>') return k + 1;
            if (ch == '"' || ch == '\'') {
                k = Proximo(b, n, k + 1, ch);
                if (k == std::string_view::npos) return k;
            }
        }
        return std::string_view::npos;
    }

    static std::string_view NomeDaMarca(const char* b, size_t de, size_t fim) {
        size_t k = de;
        while (k < fim && b[k] != ' ' && b[k] != '\t' && b[k] != '\n' && b[k] != '\r' &&
               b[k] != '/' && b[k] != '>')
            ++k;
        return std::string_view(b + de, k - de);
    }

    std::string conteiner_;
    const std::string& arquivo_;
    const std::string& lugar_;
    Fase fase_ = Fase::Prologo;
    int profundidade_ = 0;
    size_t pos_ = 0;
    size_t corte_ = 0;
    size_t marca_ = 0;
    std::string nome_;
};

// Whether the document begins as UTF-8 (or ASCII) text: the byte scanning of the
// Divisor holds only for it. Anything else is left whole to the parser.
bool EmUtf8(std::string_view inicio) {
    if (inicio.starts_with("\xEF\xBB\xBF")) inicio.remove_prefix(3);
    if (inicio.size() < 2 || inicio[0] == '\0' || inicio[1] == '\0') return false;
    if (!inicio.starts_with("<?xml")) return inicio[0] == '<';
    const size_t fim = inicio.find("?>");
    if (fim == std::string_view::npos) return false;
    const std::string_view declaracao = inicio.substr(0, fim);
    const size_t enc = declaracao.find("encoding");
    if (enc == std::string_view::npos) return true;
    const size_t aspas = declaracao.find_first_of("\"'", enc);
    if (aspas == std::string_view::npos) return false;
    const size_t fecha = declaracao.find(declaracao[aspas], aspas + 1);
    if (fecha == std::string_view::npos) return false;
    std::string nome(declaracao.substr(aspas + 1, fecha - aspas - 1));
    for (char& ch : nome) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return nome == "utf-8" || nome == "utf8" || nome == "us-ascii";
}

// The worker threads that parse the pieces, and the pieces in flight, in order.
class Oficina {
public:
    Oficina(LeituraEmBlocos& leitura, const std::string& arquivo, const std::string& lugar,
            const std::string& nomeConteiner)
        : leitura_(leitura),
          arquivo_(arquivo),
          lugar_(lugar),
          abertura_("<" + nomeConteiner + ">"),
          fechamento_("</" + nomeConteiner + ">") {
        const unsigned nucleos = std::thread::hardware_concurrency();
        trabalhadores_ = std::clamp(nucleos, 1u, 3u);
    }

    ~Oficina() {
        {
            std::lock_guard<std::mutex> trava(mutex_);
            parar_ = true;
        }
        temTrabalho_.notify_all();
        for (auto& t : threads_) t.join();
    }

    // Sends the first `tamanho` bytes of `texto` to be parsed and leaves the rest in it;
    // `ultimo` when no more will follow. Waits, delivering, while too many pieces are
    // in flight.
    void Envia(std::string& texto, size_t tamanho, bool ultimo) {
        while (emVoo_.size() >= 2 * trabalhadores_ + 2) EntregaProximo(true);
        std::unique_ptr<Trabalho> t;
        if (livres_.empty()) {
            t = std::make_unique<Trabalho>();
            t->bloco = leitura_.NovoBloco();
        } else {
            t = std::move(livres_.back());
            livres_.pop_back();
        }
        // The piece keeps the buffer; the few bytes after the cut move to another.
        t->texto.swap(texto);
        texto.assign(t->texto, tamanho, std::string::npos);
        t->texto.resize(tamanho);
        t->pronto = false;
        t->bloco->erro = nullptr;
        // A part that is one piece in all is parsed here, with no thread started.
        if (ultimo && threads_.empty()) {
            if (!local_) local_ = std::make_unique<ParserXml>(false, arquivo_, lugar_);
            Analisa(*local_, *t);
            leitura_.Entrega(*t->bloco);
            return;
        }
        Trabalho* p = t.get();
        emVoo_.push_back(std::move(t));
        if (threads_.empty())
            for (unsigned i = 0; i < trabalhadores_; ++i)
                threads_.emplace_back([this] { Trabalha(); });
        {
            std::lock_guard<std::mutex> trava(mutex_);
            fila_.push_back(p);
        }
        temTrabalho_.notify_one();
        while (EntregaProximo(false)) {
        }
    }

    void EntregaTodos() {
        while (EntregaProximo(true)) {
        }
    }

private:
    struct Trabalho {
        std::string texto;
        std::unique_ptr<LeituraEmBlocos::BlocoXml> bloco;
        bool pronto = false;
    };

    void Analisa(ParserXml& parser, Trabalho& t) {
        try {
            parser.Inicia(t.bloco->Reinicia(), false);
            parser.Analisa(abertura_.data(), abertura_.size(), false);
            parser.Analisa(t.texto.data(), t.texto.size(), false);
            parser.Analisa(fechamento_.data(), fechamento_.size(), true);
        } catch (...) {
            t.bloco->erro = std::current_exception();
        }
    }

    void Trabalha() {
        ParserXml parser(false, arquivo_, lugar_);
        for (;;) {
            Trabalho* t = nullptr;
            {
                std::unique_lock<std::mutex> trava(mutex_);
                temTrabalho_.wait(trava, [this] { return parar_ || !fila_.empty(); });
                if (parar_) return;
                t = fila_.front();
                fila_.pop_front();
            }
            Analisa(parser, *t);
            {
                std::lock_guard<std::mutex> trava(mutex_);
                t->pronto = true;
            }
            temPronto_.notify_all();
        }
    }

    // Delivers the oldest piece in flight, waiting for it if `espera`.
    bool EntregaProximo(bool espera) {
        if (emVoo_.empty()) return false;
        Trabalho* t = emVoo_.front().get();
        {
            std::unique_lock<std::mutex> trava(mutex_);
            if (!t->pronto) {
                if (!espera) return false;
                temPronto_.wait(trava, [t] { return t->pronto; });
            }
        }
        std::unique_ptr<Trabalho> dono = std::move(emVoo_.front());
        emVoo_.pop_front();
        leitura_.Entrega(*dono->bloco);
        livres_.push_back(std::move(dono));
        return true;
    }

    LeituraEmBlocos& leitura_;
    const std::string& arquivo_;
    const std::string& lugar_;
    const std::string abertura_;
    const std::string fechamento_;
    unsigned trabalhadores_ = 1;

    std::mutex mutex_;
    std::condition_variable temTrabalho_;
    std::condition_variable temPronto_;
    std::deque<Trabalho*> fila_;  // waiting for a worker
    bool parar_ = false;

    std::deque<std::unique_ptr<Trabalho>> emVoo_;  // sent, in document order
    std::vector<std::unique_ptr<Trabalho>> livres_;
    std::unique_ptr<ParserXml> local_;
    std::vector<std::thread> threads_;  // last: joined before the pieces go
};

// One reading in pieces of one part: the bytes read and not yet parsed, the frame's
// parser, the divisor, and whichever reads the content: the workshop, or this thread
// once the content could not be cut.
class PercursoEmBlocos {
public:
    PercursoEmBlocos(PacoteZip& pacote, std::string_view parte, std::string_view conteiner,
                     LeituraEmBlocos& leitura, std::string_view onde)
        : leitura_(leitura),
          arquivo_(pacote.Nome()),
          lugar_(onde),
          entrada_(pacote, parte, lugar_),
          moldura_(false, arquivo_, lugar_),
          divisor_(conteiner, arquivo_, lugar_) {
        buf_.reserve(kAlvoPedaco + 2 * PacoteZip::kBloco);
    }

    void Executa() {
        mais_ = entrada_.LeMais(buf_);
        if (!EmUtf8(buf_)) return LeSequencial();
        moldura_.Inicia(leitura_.Moldura());
        for (;;) {
            if (divisor_.fase() == Divisor::Fase::Epilogo) return LeEpilogo();
            const Divisor::Resultado r = divisor_.Escaneia(buf_);
            if (r == Divisor::Resultado::Estranho) RecusaEstrutura();
            if (divisor_.fase() == Divisor::Fase::Prologo) {
                Passa(moldura_, divisor_.Escaneado(), false);
            } else if (r == Divisor::Resultado::MudouFase &&
                       divisor_.fase() == Divisor::Fase::Conteudo) {
                AbreConteudo();
                continue;
            } else if (r == Divisor::Resultado::MudouFase) {
                FechaConteudo();
                continue;
            } else {
                AvancaConteudo();
            }
            if (!mais_) return TerminaDocumento();
            mais_ = entrada_.LeMais(buf_);
        }
    }

private:
    // A document not in UTF-8: the whole of it on this thread.
    void LeSequencial() {
        ParserXml parser(false, arquivo_, lugar_);
        parser.Inicia(leitura_.Sequencial());
        for (;;) {
            if (!parser.Analisa(buf_.data(), buf_.size(), !mais_) || !mais_) return;
            buf_.clear();
            mais_ = entrada_.LeMais(buf_);
        }
    }

    // After the content: the rest of the document is the frame's.
    void LeEpilogo() {
        for (;;) {
            moldura_.Analisa(buf_.data(), buf_.size(), !mais_);
            if (!mais_) return;
            buf_.clear();
            mais_ = entrada_.LeMais(buf_);
        }
    }

    // A DOCTYPE or worse before the content: the parser refuses it when it gets there.
    [[noreturn]] void RecusaEstrutura() {
        Passa(moldura_, buf_.size(), !mais_);
        while (mais_) {
            mais_ = entrada_.LeMais(buf_);
            Passa(moldura_, buf_.size(), !mais_);
        }
        throw ErroLeitura(arquivo_, lugar_, "o XML tem uma estrutura inesperada");
    }

    // The container's start tag closes the frame's share; the pieces begin.
    void AbreConteudo() {
        Passa(moldura_, divisor_.Marca(), false);
        oficina_ = std::make_unique<Oficina>(leitura_, arquivo_, lugar_, divisor_.NomeConteiner());
    }

    // The content's end tag: the last piece goes and every block comes back.
    void FechaConteudo() {
        const size_t fimConteudo = divisor_.Marca();
        if (cauda_) {
            cauda_->Analisa(buf_.data(), fimConteudo, false);
            const std::string fecha = "</" + divisor_.NomeConteiner() + ">";
            cauda_->Analisa(fecha.data(), fecha.size(), true);
            buf_.erase(0, fimConteudo);
        } else {
            oficina_->Envia(buf_, fimConteudo, true);
        }
        oficina_->EntregaTodos();
    }

    // Inside the content: sends a piece once there is a place to cut past the target
    // size, and reads the rest here once a child runs too long to cut around.
    void AvancaConteudo() {
        if (cauda_) {
            Passa(*cauda_, divisor_.Escaneado(), false);
            return;
        }
        if (divisor_.Corte() >= kAlvoPedaco || (buf_.size() > kMaxPedaco && divisor_.Corte() > 0)) {
            const size_t corte = divisor_.Corte();
            oficina_->Envia(buf_, corte, false);
            divisor_.Descarta(corte);
        }
        if (buf_.size() > kMaxPedaco) LeRestoAqui();
    }

    // One child too long to cut around: the rest of the content is read here.
    void LeRestoAqui() {
        oficina_->EntregaTodos();
        cauda_ = std::make_unique<ParserXml>(false, arquivo_, lugar_);
        cauda_->Inicia(leitura_.Sequencial());
        const std::string abre = "<" + divisor_.NomeConteiner() + ">";
        cauda_->Analisa(abre.data(), abre.size(), false);
        Passa(*cauda_, divisor_.Escaneado(), false);
    }

    // The part ended before the content's end tag.
    void TerminaDocumento() {
        if (divisor_.fase() == Divisor::Fase::Prologo) {
            // A document without the container: all of it was the frame's.
            moldura_.Analisa(buf_.data(), buf_.size(), true);
            return;
        }
        // The document ended inside the content.
        moldura_.Analisa(nullptr, 0, true);
        throw ErroLeitura(arquivo_, lugar_, "o XML está incompleto");
    }

    // Hands the first n bytes of the buffer to `parser` and drops them.
    void Passa(ParserXml& parser, size_t n, bool final) {
        parser.Analisa(buf_.data(), n, final);
        buf_.erase(0, n);
        divisor_.Descarta(n);
    }

    LeituraEmBlocos& leitura_;
    const std::string& arquivo_;
    const std::string lugar_;
    EntradaZip entrada_;
    std::string buf_;
    bool mais_ = false;
    ParserXml moldura_;
    Divisor divisor_;
    std::unique_ptr<Oficina> oficina_;
    std::unique_ptr<ParserXml> cauda_;  // the content read here, once it could not be cut
};

}  // namespace

void PercorreParte(PacoteZip& pacote, std::string_view parte, ManipuladorXml& manipulador,
                   bool comNamespaces, std::string_view onde) {
    const std::string lugar =
        onde.empty() ? "parte '" + Utf8ParaCp1252(parte) + "'" : std::string(onde);
    EntradaZip entrada(pacote, parte, lugar);
    ParserXml parser(comNamespaces, pacote.Nome(), lugar);
    parser.Inicia(manipulador);
    std::string buf;
    buf.reserve(PacoteZip::kBloco);
    for (;;) {
        buf.clear();
        const bool mais = entrada.LeMais(buf);
        if (!parser.Analisa(buf.data(), buf.size(), !mais) || !mais) return;
    }
}

void PercorreEmBlocos(PacoteZip& pacote, std::string_view parte, std::string_view conteiner,
                      LeituraEmBlocos& leitura, std::string_view onde) {
    PercursoEmBlocos(pacote, parte, conteiner, leitura, onde).Executa();
}

}  // namespace conversor::intake
