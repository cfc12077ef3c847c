#include "intake/pacote_zip.h"

// The billion-laughs limits are declared only for a parser built with DTD support,
// which Debian's libexpat is.
#ifndef XML_DTD
#define XML_DTD
#endif
#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "base/regional.h"

namespace conversor::intake {

ErroPlanilha ErroLeitura(std::string_view arquivo, std::string_view onde, std::string_view motivo) {
    std::string m = "Erro ao ler o arquivo '";
    m += arquivo;
    m += '\'';
    if (!onde.empty()) {
        m += " (";
        m += onde;
        m += ')';
    }
    m += ": ";
    m += motivo;
    m += '.';
    return ErroPlanilha(m);
}

std::string EnderecoCelula(long long linha, long long coluna) {
    std::string letras;
    for (long long n = coluna; n > 0 && letras.size() < 8; n = (n - 1) / 26)
        letras.insert(letras.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letras + std::to_string(linha);
}

// --- The XML parser ----------------------------------------------------------------

namespace {

const char* const kGrande = "o XML tem um elemento ou comentário de tamanho descabido";

std::string MotivoXml(XML_Parser p, bool comPosicao) {
    const XML_Error codigo = XML_GetErrorCode(p);
    const std::string posicao =
        comPosicao ? " (linha " + std::to_string(XML_GetCurrentLineNumber(p)) + ", coluna " +
                         std::to_string(XML_GetCurrentColumnNumber(p)) + ")"
                   : "";
    switch (codigo) {
        case XML_ERROR_NO_MEMORY:
            return "memória insuficiente para ler o XML";
        case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
            return "o XML expande entidades além do limite aceitável" + posicao;
        case XML_ERROR_NO_ELEMENTS:
        case XML_ERROR_UNCLOSED_TOKEN:
        case XML_ERROR_PARTIAL_CHAR:
            return "o XML está incompleto ou vazio" + posicao;
        default:
            return "o XML está malformado" + posicao;
    }
}

}  // namespace

// What the expat callbacks share: the handler, the depth, the first failure.
struct ParserXml::Estado {
    XML_Parser parser = nullptr;
    ManipuladorXml* manipulador = nullptr;
    const std::string* arquivo = nullptr;
    const std::string* onde = nullptr;
    bool comPosicao = true;
    int profundidade = 0;
    bool parado = false;
    long long eventos = 0;
    size_t semEventos = 0;
    std::exception_ptr erro;

    void Falha(std::exception_ptr e) {
        if (!erro) erro = std::move(e);
        Para();
    }
    void Para() {
        if (!parado) {
            parado = true;
            XML_StopParser(parser, XML_FALSE);
        }
    }
    void Depois() {
        if (manipulador->Encerrado()) Para();
    }

    static void XMLCALL AoIniciar(void* dados, const XML_Char* nome, const XML_Char** atributos) {
        auto* e = static_cast<Estado*>(dados);
        if (e->parado) return;
        ++e->eventos;
        try {
            if (++e->profundidade > kMaxProfundidade)
                throw ErroLeitura(*e->arquivo, *e->onde,
                                  "elementos XML aninhados em mais de " +
                                      std::to_string(kMaxProfundidade) + " níveis");
            e->manipulador->Inicio(nome, atributos);
            e->Depois();
        } catch (...) {
            e->Falha(std::current_exception());
        }
    }

    static void XMLCALL AoTerminar(void* dados, const XML_Char* nome) {
        auto* e = static_cast<Estado*>(dados);
        if (e->parado) return;
        ++e->eventos;
        --e->profundidade;
        try {
            e->manipulador->Fim(nome);
            e->Depois();
        } catch (...) {
            e->Falha(std::current_exception());
        }
    }

    static void XMLCALL AoLerTexto(void* dados, const XML_Char* texto, int tamanho) {
        auto* e = static_cast<Estado*>(dados);
        if (e->parado) return;
        ++e->eventos;
        try {
            e->manipulador->Texto(texto, tamanho);
            e->Depois();
        } catch (...) {
            e->Falha(std::current_exception());
        }
    }

    // A workbook part has no business declaring a document type or entities: refusing
    // them closes the door on entity expansion bombs and external entities at once.
    static void XMLCALL AoDeclararTipo(void* dados, const XML_Char*, const XML_Char*,
                                       const XML_Char*, int) {
        auto* e = static_cast<Estado*>(dados);
        e->Falha(std::make_exception_ptr(ErroLeitura(
            *e->arquivo, *e->onde, "o XML traz uma declaração DOCTYPE, que não é aceita")));
    }

    static void XMLCALL AoDeclararEntidade(void* dados, const XML_Char*, int, const XML_Char*, int,
                                           const XML_Char*, const XML_Char*, const XML_Char*,
                                           const XML_Char*) {
        auto* e = static_cast<Estado*>(dados);
        e->Falha(std::make_exception_ptr(
            ErroLeitura(*e->arquivo, *e->onde, "o XML declara entidades, o que não é aceito")));
    }
};

ParserXml::ParserXml(bool comNamespaces, std::string arquivo, std::string onde)
    : comNamespaces_(comNamespaces),
      arquivo_(std::move(arquivo)),
      onde_(std::move(onde)),
      estado_(std::make_unique<Estado>()) {}

ParserXml::~ParserXml() {
    if (parser_) XML_ParserFree(parser_);
}

void ParserXml::Inicia(ManipuladorXml& manipulador, bool comPosicao) {
    if (!parser_) {
        parser_ = comNamespaces_ ? XML_ParserCreateNS(nullptr, '|') : XML_ParserCreate(nullptr);
        if (!parser_) throw ErroLeitura(arquivo_, onde_, "memória insuficiente para ler o XML");
    } else if (!XML_ParserReset(parser_, nullptr)) {
        throw ErroLeitura(arquivo_, onde_, "memória insuficiente para ler o XML");
    }
    *estado_ = Estado{};
    estado_->parser = parser_;
    estado_->manipulador = &manipulador;
    estado_->arquivo = &arquivo_;
    estado_->onde = &onde_;
    estado_->comPosicao = comPosicao;
    XML_SetUserData(parser_, estado_.get());
    XML_SetElementHandler(parser_, Estado::AoIniciar, Estado::AoTerminar);
    XML_SetCharacterDataHandler(parser_, Estado::AoLerTexto);
    XML_SetStartDoctypeDeclHandler(parser_, Estado::AoDeclararTipo);
    XML_SetEntityDeclHandler(parser_, Estado::AoDeclararEntidade);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    // Second line of defence should a declaration ever get through.
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser_, 20.0f);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser_, 1u << 20);
}

bool ParserXml::Analisa(const char* dados, size_t tamanho, bool final) {
    Estado& e = *estado_;
    if (e.parado) return !e.manipulador->Encerrado();
    do {
        const int parte = static_cast<int>(std::min<size_t>(tamanho, INT_MAX / 2));
        const bool ultima = final && static_cast<size_t>(parte) == tamanho;
        const long long eventosAntes = e.eventos;
        const XML_Status estado = XML_Parse(parser_, dados, parte, ultima);
        if (e.erro) std::rethrow_exception(e.erro);
        if (e.manipulador->Encerrado()) return false;
        if (estado != XML_STATUS_OK)
            throw ErroLeitura(arquivo_, onde_, MotivoXml(parser_, e.comPosicao));
        // Bytes fed since the parser last reported anything: a token that keeps growing
        // (a giant tag, attribute or comment) is held whole by the parser.
        if (e.eventos == eventosAntes) {
            e.semEventos += static_cast<size_t>(parte);
            if (e.semEventos > kMaxToken) throw ErroLeitura(arquivo_, onde_, kGrande);
        } else {
            e.semEventos = 0;
        }
        dados += parte;
        tamanho -= static_cast<size_t>(parte);
    } while (tamanho > 0);
    return true;
}

// --- The package -------------------------------------------------------------------

namespace {

std::string MotivoZip(int codigo) {
    switch (codigo) {
        case ZIP_ER_NOENT:
        case ZIP_ER_OPEN:
            return "o arquivo não existe ou não pode ser aberto";
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
        case ZIP_ER_TELL:
            return "falha de leitura do disco";
        case ZIP_ER_MEMORY:
            return "memória insuficiente";
        case ZIP_ER_NOZIP:
        case ZIP_ER_INCONS:
        case ZIP_ER_EOF:
        case ZIP_ER_MULTIDISK:
            return "o pacote zip está truncado ou corrompido";
        case ZIP_ER_CRC:
        case ZIP_ER_ZLIB:
        case ZIP_ER_COMPRESSED_DATA:
            return "os dados compactados estão corrompidos";
        case ZIP_ER_COMPNOTSUPP:
            return "o método de compressão não é suportado";
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            return "a planilha está protegida por senha";
        default:
            return "o pacote zip não pode ser lido (erro " + std::to_string(codigo) + ")";
    }
}

}  // namespace

void PacoteZip::Fechador::operator()(zip* z) const { zip_discard(z); }

// One part of the package, inflated block by block.
class PacoteZip::Parte {
public:
    Parte(PacoteZip& pacote, std::string_view parte, const std::string& lugar)
        : arquivo_(pacote.nome_), lugar_(lugar) {
        const std::string nome(parte);
        const zip_int64_t indice = zip_name_locate(pacote.zip_.get(), nome.c_str(), ZIP_FL_NOCASE);
        if (indice < 0)
            throw ErroLeitura(arquivo_, lugar_,
                              "a parte '" + Utf8ParaCp1252(nome) + "' não existe no pacote");
        arquivo_zip_ = zip_fopen_index(pacote.zip_.get(), static_cast<zip_uint64_t>(indice), 0);
        if (!arquivo_zip_)
            throw ErroLeitura(arquivo_, lugar_,
                              MotivoZip(zip_error_code_zip(zip_get_error(pacote.zip_.get()))));
    }
    ~Parte() { zip_fclose(arquivo_zip_); }
    Parte(const Parte&) = delete;
    Parte& operator=(const Parte&) = delete;

    // Up to `maximo` bytes; 0 at the end of the part.
    size_t Le(char* destino, size_t maximo) {
        const zip_int64_t lidos = zip_fread(arquivo_zip_, destino, maximo);
        if (lidos < 0)
            throw ErroLeitura(arquivo_, lugar_,
                              MotivoZip(zip_error_code_zip(zip_file_get_error(arquivo_zip_))));
        return static_cast<size_t>(lidos);
    }

    // Appends the next block to `buf`; false at the end of the part.
    bool LeMais(std::string& buf) {
        const size_t antes = buf.size();
        buf.resize(antes + kBloco);
        const size_t lidos = Le(buf.data() + antes, kBloco);
        buf.resize(antes + lidos);
        return lidos > 0;
    }

private:
    const std::string& arquivo_;
    const std::string& lugar_;
    zip_file_t* arquivo_zip_ = nullptr;
};

PacoteZip::PacoteZip(const std::string& caminho)
    : caminho_(caminho), nome_(CaminhoParaMensagem(caminho)) {
    int erro = 0;
    errno = 0;
    zip_t* z = zip_open(caminho.c_str(), ZIP_RDONLY, &erro);
    if (!z) {
        std::string motivo = MotivoZip(erro);
        if ((erro == ZIP_ER_OPEN || erro == ZIP_ER_NOENT || erro == ZIP_ER_READ) && errno != 0)
            motivo += " (" + Utf8ParaCp1252(std::strerror(errno)) + ")";
        throw ErroLeitura(nome_, {}, motivo);
    }
    zip_.reset(z);
}

PacoteZip::~PacoteZip() = default;

bool PacoteZip::Tem(std::string_view parte) const {
    return zip_name_locate(zip_.get(), std::string(parte).c_str(), ZIP_FL_NOCASE) >= 0;
}

std::string PacoteZip::LeInicio(std::string_view parte, size_t maximo) {
    if (!Tem(parte)) return {};
    const std::string lugar = "parte '" + Utf8ParaCp1252(parte) + "'";
    Parte entrada(*this, parte, lugar);
    std::string r(maximo, '\0');
    size_t total = 0;
    while (total < maximo) {
        const size_t n = entrada.Le(r.data() + total, maximo - total);
        if (n == 0) break;
        total += n;
    }
    r.resize(total);
    return r;
}

void PacoteZip::Percorre(std::string_view parte, ManipuladorXml& manipulador, bool comNamespaces,
                         std::string_view onde) {
    const std::string lugar =
        onde.empty() ? "parte '" + Utf8ParaCp1252(parte) + "'" : std::string(onde);
    Parte entrada(*this, parte, lugar);
    ParserXml parser(comNamespaces, nome_, lugar);
    parser.Inicia(manipulador);
    std::string buf;
    buf.reserve(kBloco);
    for (;;) {
        buf.clear();
        const bool mais = entrada.LeMais(buf);
        if (!parser.Analisa(buf.data(), buf.size(), !mais) || !mais) return;
    }
}

// --- Reading in pieces -------------------------------------------------------------

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
                        throw ErroLeitura(arquivo_, lugar_,
                                          "elementos XML aninhados em mais de " +
                                              std::to_string(ParserXml::kMaxProfundidade) +
                                              " níveis");
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
        if (n - i > ParserXml::kMaxToken) throw ErroLeitura(arquivo_, lugar_, kGrande);
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

}  // namespace

void PacoteZip::PercorreEmBlocos(std::string_view parte, std::string_view conteiner,
                                 LeituraEmBlocos& leitura, std::string_view onde) {
    const std::string lugar(onde);
    Parte entrada(*this, parte, lugar);
    std::string buf;
    buf.reserve(kAlvoPedaco + 2 * kBloco);
    bool mais = entrada.LeMais(buf);

    if (!EmUtf8(buf)) {
        ParserXml parser(false, nome_, lugar);
        parser.Inicia(leitura.Sequencial());
        for (;;) {
            if (!parser.Analisa(buf.data(), buf.size(), !mais) || !mais) return;
            buf.clear();
            mais = entrada.LeMais(buf);
        }
    }

    ParserXml moldura(false, nome_, lugar);
    moldura.Inicia(leitura.Moldura());
    Divisor divisor(conteiner, nome_, lugar);
    std::unique_ptr<Oficina> oficina;
    std::unique_ptr<ParserXml> cauda;  // the content read here, once it could not be cut

    // Hands the first n bytes of the buffer to `parser` and drops them.
    auto passa = [&](ParserXml& parser, size_t n, bool final) {
        parser.Analisa(buf.data(), n, final);
        buf.erase(0, n);
        divisor.Descarta(n);
    };

    for (;;) {
        if (divisor.fase() == Divisor::Fase::Epilogo) {
            for (;;) {
                moldura.Analisa(buf.data(), buf.size(), !mais);
                if (!mais) return;
                buf.clear();
                mais = entrada.LeMais(buf);
            }
        }
        const Divisor::Resultado r = divisor.Escaneia(buf);

        if (divisor.fase() == Divisor::Fase::Prologo || r == Divisor::Resultado::Estranho) {
            if (r == Divisor::Resultado::Estranho) {
                // A DOCTYPE or worse: the parser refuses it when it gets there.
                passa(moldura, buf.size(), !mais);
                while (mais) {
                    mais = entrada.LeMais(buf);
                    passa(moldura, buf.size(), !mais);
                }
                throw ErroLeitura(nome_, lugar, "o XML tem uma estrutura inesperada");
            }
            passa(moldura, divisor.Escaneado(), false);
        } else if (r == Divisor::Resultado::MudouFase &&
                   divisor.fase() == Divisor::Fase::Conteudo) {
            passa(moldura, divisor.Marca(), false);
            oficina = std::make_unique<Oficina>(leitura, nome_, lugar, divisor.NomeConteiner());
            continue;
        } else if (r == Divisor::Resultado::MudouFase) {  // the content's end tag
            const size_t fimConteudo = divisor.Marca();
            if (cauda) {
                cauda->Analisa(buf.data(), fimConteudo, false);
                const std::string fecha = "</" + divisor.NomeConteiner() + ">";
                cauda->Analisa(fecha.data(), fecha.size(), true);
                buf.erase(0, fimConteudo);
            } else {
                oficina->Envia(buf, fimConteudo, true);
            }
            oficina->EntregaTodos();
            continue;
        } else if (cauda) {
            passa(*cauda, divisor.Escaneado(), false);
        } else {
            if (divisor.Corte() >= kAlvoPedaco ||
                (buf.size() > kMaxPedaco && divisor.Corte() > 0)) {
                const size_t corte = divisor.Corte();
                oficina->Envia(buf, corte, false);
                divisor.Descarta(corte);
            }
            if (buf.size() > kMaxPedaco) {
                // One child too long to cut around: the rest of the content is read here.
                oficina->EntregaTodos();
                cauda = std::make_unique<ParserXml>(false, nome_, lugar);
                cauda->Inicia(leitura.Sequencial());
                const std::string abre = "<" + divisor.NomeConteiner() + ">";
                cauda->Analisa(abre.data(), abre.size(), false);
                passa(*cauda, divisor.Escaneado(), false);
            }
        }
        if (!mais) {
            if (divisor.fase() == Divisor::Fase::Prologo) {
                // A document without the container: all of it was the frame's.
                moldura.Analisa(buf.data(), buf.size(), true);
                return;
            }
            // The document ended inside the content.
            moldura.Analisa(nullptr, 0, true);
            throw ErroLeitura(nome_, lugar, "o XML está incompleto");
        }
        mais = entrada.LeMais(buf);
    }
}

namespace {

bool Digito(char c) { return c >= '0' && c <= '9'; }

bool BrancoXml(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view SemBrancosXml(std::string_view t) {
    while (!t.empty() && BrancoXml(t.front())) t.remove_prefix(1);
    while (!t.empty() && BrancoXml(t.back())) t.remove_suffix(1);
    return t;
}

// Reads exactly `n` digits at `i`.
bool LeDigitos(std::string_view t, size_t& i, size_t n, int& valor) {
    if (i + n > t.size()) return false;
    valor = 0;
    for (size_t k = 0; k < n; ++k) {
        if (!Digito(t[i + k])) return false;
        valor = valor * 10 + (t[i + k] - '0');
    }
    i += n;
    return true;
}

// Seconds with an optional fraction, as nanoseconds; digits past the ninth are dropped.
bool LeSegundos(std::string_view t, size_t& i, long long& nanos) {
    int s = 0;
    if (!LeDigitos(t, i, 2, s) || s > 59) return false;
    nanos = s * 1000000000LL;
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
        ++i;
        long long peso = 100000000;
        const size_t inicio = i;
        for (; i < t.size() && Digito(t[i]); ++i, peso /= 10) nanos += (t[i] - '0') * peso;
        if (i == inicio) return false;
    }
    return true;
}

// hh:mm[:ss[.f]] as nanoseconds from midnight.
bool LeHora(std::string_view t, size_t& i, long long& nanos) {
    int h = 0, m = 0;
    if (!LeDigitos(t, i, 2, h) || h > 23 || i >= t.size() || t[i] != ':') return false;
    ++i;
    if (!LeDigitos(t, i, 2, m) || m > 59) return false;
    long long segundos = 0;
    if (i < t.size() && t[i] == ':') {
        ++i;
        if (!LeSegundos(t, i, segundos)) return false;
    }
    nanos = (h * 3600LL + m * 60LL) * 1000000000LL + segundos;
    return true;
}

bool LeFuso(std::string_view t, size_t i) {
    if (i == t.size()) return true;
    if (t[i] == 'Z' || t[i] == 'z') return i + 1 == t.size();
    if (t[i] != '+' && t[i] != '-') return false;
    for (++i; i < t.size(); ++i)
        if (!Digito(t[i]) && t[i] != ':') return false;
    return true;
}

constexpr long double kNanosDia = 86400.0L * 1e9L;

}  // namespace

bool NumeroXmlParaTexto(std::string_view valor, std::string& saida) {
    const std::string_view t = SemBrancosXml(valor);
    const char* p = t.data();
    const char* const fim = p + t.size();
    bool negativo = false;
    if (p < fim && (*p == '-' || *p == '+')) negativo = *p++ == '-';
    const char* inteiros = p;
    while (p < fim && Digito(*p)) ++p;
    const char* fimInteiros = p;
    const char* decimais = p;
    const char* fimDecimais = p;
    if (p < fim && *p == '.') {
        decimais = ++p;
        while (p < fim && Digito(*p)) ++p;
        fimDecimais = p;
    }
    // A plain decimal of at most 15 significant digits is already its own 15-digit
    // rounding, so it is rewritten without going through a double.
    if (p == fim && (fimInteiros > inteiros || fimDecimais > decimais)) {
        while (inteiros < fimInteiros && *inteiros == '0') ++inteiros;
        while (fimDecimais > decimais && fimDecimais[-1] == '0') --fimDecimais;
        const size_t nInteiros = static_cast<size_t>(fimInteiros - inteiros);
        const size_t nDecimais = static_cast<size_t>(fimDecimais - decimais);
        size_t zeros = 0;
        while (zeros < nDecimais && decimais[zeros] == '0') ++zeros;
        const char sep = Regional().separadorDecimal;
        if (nInteiros == 0 && nDecimais == 0) {
            saida.assign(1, '0');
            return true;
        }
        if ((nInteiros > 0 && nInteiros + nDecimais <= 15) ||
            (nInteiros == 0 && zeros <= 4 && nDecimais - zeros <= 15)) {
            saida.clear();
            if (negativo) saida += '-';
            if (nInteiros == 0)
                saida += '0';
            else
                saida.append(inteiros, nInteiros);
            if (nDecimais > 0) {
                saida += sep;
                saida.append(decimais, nDecimais);
            }
            return true;
        }
    }
    std::string_view numero = t;
    if (!numero.empty() && numero.front() == '+') numero.remove_prefix(1);
    if (numero.empty()) return false;
    double x = 0;
    const auto [fimLido, erro] = std::from_chars(numero.data(), numero.data() + numero.size(), x);
    if (fimLido != numero.data() + numero.size()) return false;
    if (erro == std::errc::result_out_of_range) {
        // Below the smallest double reads as zero; above the largest is no number.
        x = std::strtod(std::string(numero).c_str(), nullptr);
        if (std::isinf(x)) return false;
    } else if (erro != std::errc() || !std::isfinite(x)) {
        return false;
    }
    saida = NumeroParaTexto(x);
    return true;
}

bool DataIsoParaDias(std::string_view texto, double diaZero, double& dias) {
    const std::string_view t = SemBrancosXml(texto);
    size_t i = 0;
    long long nanos = 0;
    double dia = 0;
    bool soHora = false;
    if (t.size() >= 3 && t[2] == ':') {
        soHora = true;
        if (!LeHora(t, i, nanos)) return false;
    } else {
        int ano = 0, mes = 0, d = 0;
        if (!LeDigitos(t, i, 4, ano) || i >= t.size() || t[i++] != '-') return false;
        if (!LeDigitos(t, i, 2, mes) || i >= t.size() || t[i++] != '-') return false;
        if (!LeDigitos(t, i, 2, d) || !DataValida(ano, mes, d)) return false;
        if (i < t.size() && (t[i] == 'T' || t[i] == 't' || t[i] == ' ')) {
            ++i;
            if (!LeHora(t, i, nanos)) return false;
        }
        dia = CodificaData(ano, mes, d);
        if (diaZero == 0 && dia < 61) dia -= 1;
    }
    if (!LeFuso(t, i)) return false;
    const long double base = soHora ? 0.0L : (static_cast<long double>(dia) - diaZero) * kNanosDia;
    dias = static_cast<double>((base + static_cast<long double>(nanos)) / kNanosDia);
    return true;
}

bool DuracaoParaDias(std::string_view texto, double& dias) {
    const std::string_view t = SemBrancosXml(texto);
    size_t i = 0;
    const bool negativo = i < t.size() && t[i] == '-';
    if (negativo) ++i;
    if (i >= t.size() || t[i++] != 'P') return false;
    long double nanos = 0;
    bool algum = false;
    bool emHora = false;
    char ultima = 0;
    // Designators must come in order: Y M D, then T, then H M S.
    static constexpr std::string_view kData = "YMD";
    static constexpr std::string_view kHora = "HMS";
    while (i < t.size()) {
        if (t[i] == 'T') {
            if (emHora) return false;
            emHora = true;
            ultima = 0;
            ++i;
            continue;
        }
        const size_t inicio = i;
        long double n = 0;
        for (; i < t.size() && Digito(t[i]); ++i) n = n * 10 + (t[i] - '0');
        if (i == inicio || i - inicio > 18) return false;
        long double fracao = 0;
        bool temFracao = false;
        if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
            temFracao = true;
            long double peso = 0.1L;
            const size_t ini = ++i;
            for (; i < t.size() && Digito(t[i]); ++i, peso /= 10) fracao += (t[i] - '0') * peso;
            if (i == ini) return false;
        }
        if (i >= t.size()) return false;
        const char designador = t[i++];
        const std::string_view ordem = emHora ? kHora : kData;
        const size_t pos = ordem.find(designador);
        if (pos == std::string_view::npos || (ultima && pos <= ordem.find(ultima))) return false;
        ultima = designador;
        if (temFracao && !(emHora && designador == 'S')) return false;
        if (!emHora && designador != 'D') {
            if (n != 0) return false;  // years and months have no fixed length in days
        } else if (!emHora) {
            nanos += n * kNanosDia;
        } else if (designador == 'H') {
            nanos += n * 3600e9L;
        } else if (designador == 'M') {
            nanos += n * 60e9L;
        } else {
            nanos += (n + fracao) * 1e9L;
        }
        algum = true;
    }
    if (!algum) return false;
    const long double d = nanos / kNanosDia;
    dias = static_cast<double>(negativo ? -d : d);
    return true;
}

std::unique_ptr<LeitorPlanilha> AbrePacoteZip(const std::string& caminho) {
    auto pacote = std::make_unique<PacoteZip>(caminho);
    if (EhPlanilhaOds(*pacote)) return AbreOds(std::move(pacote));
    std::string workbook = ParteWorkbookXlsx(*pacote);
    if (!workbook.empty()) return AbreXlsx(std::move(pacote), workbook);
    throw ErroPlanilha("O arquivo '" + pacote->Nome() +
                       "' não é uma planilha: o pacote zip não traz uma pasta de trabalho do "
                       "Excel (.xlsx) nem uma planilha OpenDocument (.ods).");
}

}  // namespace conversor::intake
