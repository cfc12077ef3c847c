// Excel 97-2003 workbooks (BIFF8), Excel 5.0/95 workbooks (BIFF5) and the Excel 2.x to
// 4.0 worksheet files (BIFF2 to BIFF4).
//
// libgsf takes the workbook stream out of the OLE2 compound file; the BIFF records are
// walked here. A cell reads as Excel's Value2 gives it: a number as stored (a date is
// its serial day number in the workbook's own date system), a text, the cached result
// of a formula, "True"/"False", or the error's text.
#include <glib.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>
#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/colunas.h"
#include "base/regional.h"
#include "intake/leitores.h"

namespace conversor::intake {
namespace {

// The workbook stream is held in memory; no genuine .xls comes near this.
constexpr size_t kMaxFluxo = size_t{1} << 30;
// What a .xls sheet can address: DIMENSIONS and merged ranges are cut to it.
constexpr int kLinhasXls = 65536;
constexpr int kColunasXls = 256;

enum : uint16_t {
    kDimensoes2 = 0x0000,
    kBlank2 = 0x0001,
    kInteger2 = 0x0002,
    kNumber2 = 0x0003,
    kLabel2 = 0x0004,
    kBoolErr2 = 0x0005,
    kFormula = 0x0006,  // BIFF2 layout in BIFF2, BIFF3 layout in BIFF5/8
    kString2 = 0x0007,
    kBof2 = 0x0009,
    kEof = 0x000A,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kCodePage = 0x0042,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
    kRString = 0x00D6,
    kMergedCells = 0x00E5,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kDimensoes = 0x0200,
    kBlank = 0x0201,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kFormula3 = 0x0206,
    kString = 0x0207,
    kBof3 = 0x0209,
    kArray = 0x0221,
    kTable = 0x0236,
    kRk = 0x027E,
    kFormula4 = 0x0406,
    kBof4 = 0x0409,
    kShrFmla = 0x04BC,
    kBof = 0x0809,
};

// BOF substream types.
enum : uint16_t {
    kTipoGlobais = 0x0005,
    kTipoPlanilha = 0x0010,
    kTipoGrafico = 0x0020,
    kTipoMacro = 0x0040,
    kTipoPastaBiff4 = 0x0100,
};

bool EhBof(uint16_t id) { return id == kBof2 || id == kBof3 || id == kBof4 || id == kBof; }

// A structure fault of the file; the reader turns it into ErroPlanilha naming the file.
class ErroEstrutura : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------- records

struct Registro {
    uint16_t id = 0;
    std::string_view dados;
    size_t posicao = 0;  // offset of the record header in the stream
};

class Registros {
public:
    Registros(std::string_view fluxo, size_t inicio) : fluxo_(fluxo), pos_(inicio) {}

    // False at the end of the stream; a record cut short by it is a fault.
    bool Proximo(Registro& r) {
        if (pos_ >= fluxo_.size()) return false;
        if (fluxo_.size() - pos_ < 4)
            throw ErroEstrutura("registro incompleto no fim do arquivo (byte " +
                                std::to_string(pos_) + ")");
        const auto* p = reinterpret_cast<const unsigned char*>(fluxo_.data() + pos_);
        const uint16_t id = static_cast<uint16_t>(p[0] | p[1] << 8);
        const size_t tamanho = static_cast<size_t>(p[2] | p[3] << 8);
        if (fluxo_.size() - pos_ - 4 < tamanho)
            throw ErroEstrutura("registro truncado no byte " + std::to_string(pos_));
        r.id = id;
        r.dados = fluxo_.substr(pos_ + 4, tamanho);
        r.posicao = pos_;
        pos_ += 4 + tamanho;
        return true;
    }

    // Takes the CONTINUE records that follow, which carry on the last record's data.
    std::vector<std::string_view> Continuacoes() {
        std::vector<std::string_view> partes;
        Registro r;
        for (;;) {
            const size_t antes = pos_;
            if (!Proximo(r)) break;
            if (r.id != kContinue) {
                pos_ = antes;
                break;
            }
            partes.push_back(r.dados);
        }
        return partes;
    }

    // Where the next record starts.
    size_t Posicao() const { return pos_; }

private:
    std::string_view fluxo_;
    size_t pos_;
};

// Reads the little-endian fields of a record and of the CONTINUE records after it.
class Cursor {
public:
    explicit Cursor(std::string_view dados, const std::vector<std::string_view>* resto = nullptr)
        : atual_(dados), resto_(resto) {}

    size_t RestaNoSegmento() const { return atual_.size() - pos_; }
    bool Fim() {
        while (pos_ == atual_.size()) {
            if (!ProximoSegmento()) return true;
        }
        return false;
    }

    uint8_t U8() {
        while (pos_ == atual_.size())
            if (!ProximoSegmento()) throw ErroEstrutura("registro mais curto que o esperado");
        return static_cast<uint8_t>(atual_[pos_++]);
    }
    uint16_t U16() {
        const uint16_t a = U8();
        return static_cast<uint16_t>(a | U8() << 8);
    }
    uint32_t U32() {
        const uint32_t a = U16();
        return a | static_cast<uint32_t>(U16()) << 16;
    }
    double F64() {
        uint64_t bits = U32();
        bits |= static_cast<uint64_t>(U32()) << 32;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    std::string_view Bytes(size_t n) {
        if (RestaNoSegmento() < n) throw ErroEstrutura("registro mais curto que o esperado");
        const std::string_view r = atual_.substr(pos_, n);
        pos_ += n;
        return r;
    }
    void Pula(size_t n) {
        while (n > 0) {
            while (pos_ == atual_.size())
                if (!ProximoSegmento()) throw ErroEstrutura("registro mais curto que o esperado");
            const size_t k = std::min(n, RestaNoSegmento());
            pos_ += k;
            n -= k;
        }
    }

    // The characters of a BIFF8 text: one byte each (the low byte of the code unit) or
    // two. A text carried on in a CONTINUE record starts it with a new options byte.
    void Caracteres(size_t quantos, bool duplos, std::u16string& saida) {
        for (;;) {
            const size_t cabem = duplos ? RestaNoSegmento() / 2 : RestaNoSegmento();
            const size_t n = std::min(quantos, cabem);
            for (size_t i = 0; i < n; ++i) {
                if (duplos) {
                    saida +=
                        static_cast<char16_t>(static_cast<unsigned char>(atual_[pos_]) |
                                              static_cast<unsigned char>(atual_[pos_ + 1]) << 8);
                    pos_ += 2;
                } else {
                    saida += static_cast<char16_t>(static_cast<unsigned char>(atual_[pos_++]));
                }
            }
            quantos -= n;
            if (quantos == 0) return;
            if (RestaNoSegmento() != 0 || !ProximoSegmento())
                throw ErroEstrutura("texto mais curto que o esperado");
            duplos = (U8() & 0x01) != 0;
        }
    }

private:
    bool ProximoSegmento() {
        if (!resto_ || proximo_ >= resto_->size()) return false;
        atual_ = (*resto_)[proximo_++];
        pos_ = 0;
        return true;
    }

    std::string_view atual_;
    size_t pos_ = 0;
    const std::vector<std::string_view>* resto_;
    size_t proximo_ = 0;
};

// ---------------------------------------------------------------- texts

// UTF-16 to Windows-1252 by way of UTF-8: a surrogate pair is one character, so it
// becomes one "?", and a lone surrogate is "?" too.
std::string Utf16ParaCp1252(const std::u16string& u) {
    std::string utf8;
    utf8.reserve(u.size());
    for (size_t i = 0; i < u.size(); ++i) {
        char32_t cp = u[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 &&
            u[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (u[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AnexaUtf8(utf8, cp);
    }
    return Utf8ParaCp1252(utf8);
}

// A BIFF8 text whose length is already read: options byte, run count and phonetic
// size when flagged, the characters, then the runs and the phonetic data, skipped.
std::string TextoUnicode(Cursor& c, size_t caracteres) {
    const uint8_t opcoes = c.U8();
    const uint16_t trechos = (opcoes & 0x08) ? c.U16() : 0;
    const uint32_t fonetica = (opcoes & 0x04) ? c.U32() : 0;
    std::u16string u;
    c.Caracteres(caracteres, (opcoes & 0x01) != 0, u);
    c.Pula(size_t{trechos} * 4);
    c.Pula(fonetica);
    return Utf16ParaCp1252(u);
}

// The 8-bit texts of BIFF2 to BIFF5 are in the workbook's code page.
class PaginaDeCodigo {
public:
    PaginaDeCodigo() = default;
    PaginaDeCodigo(const PaginaDeCodigo&) = delete;
    PaginaDeCodigo& operator=(const PaginaDeCodigo&) = delete;
    ~PaginaDeCodigo() { Fecha(); }

    void Define(int codigo) {
        if (codigo == codigo_) return;
        Fecha();
        codigo_ = codigo;
        const std::string nome = NomeIconv(codigo);
        if (!nome.empty()) conversor_ = iconv_open("UTF-8", nome.c_str());
    }

    std::string Texto(std::string_view bytes) {
        if (conversor_ == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
        iconv(conversor_, nullptr, nullptr, nullptr, nullptr);
        std::string utf8(bytes.size() * 4 + 8, '\0');
        char* entrada = const_cast<char*>(bytes.data());
        size_t resta = bytes.size();
        char* saida = utf8.data();
        size_t livre = utf8.size();
        while (resta > 0) {
            if (iconv(conversor_, &entrada, &resta, &saida, &livre) != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG) break;  // cannot happen: four bytes per input byte suffice
            // A byte the code page does not define: one "?" and go on.
            if (livre == 0) break;
            *saida++ = '?';
            --livre;
            ++entrada;
            --resta;
            iconv(conversor_, nullptr, nullptr, nullptr, nullptr);
        }
        utf8.resize(utf8.size() - livre);
        return Utf8ParaCp1252(utf8);
    }

private:
    // The iconv name of a code page; empty for those whose bytes are Windows-1252
    // already (or close enough: ASCII, and UTF-16 declared by a pre-BIFF8 writer).
    static std::string NomeIconv(int codigo) {
        switch (codigo) {
            case 0:
            case 367:
            case 1200:
            case 1252:
            case 32769:
                return "";
            case 10000:
            case 32768:
                return "MACINTOSH";
            case 1361:
                return "JOHAB";
            default:
                return "CP" + std::to_string(codigo);
        }
    }

    void Fecha() {
        if (conversor_ != reinterpret_cast<iconv_t>(-1)) iconv_close(conversor_);
        conversor_ = reinterpret_cast<iconv_t>(-1);
    }

    int codigo_ = 1252;
    iconv_t conversor_ = reinterpret_cast<iconv_t>(-1);
};

// ---------------------------------------------------------------- values

double DeRk(uint32_t rk) {
    double d;
    if (rk & 0x02) {
        d = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&d, &bits, sizeof d);
    }
    return (rk & 0x01) ? d / 100 : d;
}

std::string TextoErro(uint8_t codigo) {
    switch (codigo) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2B:
            return "#GETTING_DATA";
        default:
            return "#N/A";
    }
}

// Excel keeps no infinity or NaN in a cell; a file that does is shown as the error
// Excel gives for an impossible number.
std::string TextoNumero(double valor) {
    return std::isfinite(valor) ? NumeroParaTexto(valor) : "#NUM!";
}

// Which cells already went to the visitor, so that a file that repeats one delivers
// it once: a bitmap of the addressable .xls sheet, a set for anything beyond it.
class CelulasEntregues {
public:
    bool Marca(int linha, int coluna) {
        if (linha <= kLinhasXls && coluna <= kColunasXls) {
            if (mapa_.empty()) mapa_.assign(size_t{kLinhasXls} * kColunasXls / 64, 0);
            const size_t bit = size_t(linha - 1) * kColunasXls + size_t(coluna - 1);
            uint64_t& palavra = mapa_[bit / 64];
            const uint64_t mascara = uint64_t{1} << (bit % 64);
            if (palavra & mascara) return false;
            palavra |= mascara;
            return true;
        }
        return fora_.insert(uint64_t(linha) << 32 | uint32_t(coluna)).second;
    }

private:
    std::vector<uint64_t> mapa_;
    std::unordered_set<uint64_t> fora_;
};

// ---------------------------------------------------------------- file access

struct LiberaGObject {
    void operator()(void* p) const {
        if (p) g_object_unref(p);
    }
};
template <typename T>
using Ref = std::unique_ptr<T, LiberaGObject>;

// libgsf tells what it finds wrong in a damaged OLE2 file through GLib's log: English
// warnings and assertion texts on stderr. The reader gives its own Portuguese error
// for a file it cannot read, so those messages are dropped while the reader is using
// libgsf on this thread; any other GLib message goes on to the handler before.
thread_local int usandoGsf = 0;
GLogFunc logAnterior = nullptr;

void FiltraLogGsf(const gchar* dominio, GLogLevelFlags nivel, const gchar* mensagem,
                  gpointer dados) {
    if (usandoGsf > 0) return;
    if (logAnterior)
        logAnterior(dominio, nivel, mensagem, dados);
    else
        g_log_default_handler(dominio, nivel, mensagem, dados);
}

void IniciaGsf() {
    static std::once_flag iniciado;
    std::call_once(iniciado, [] {
        gsf_init();
        logAnterior = g_log_set_default_handler(FiltraLogGsf, nullptr);
    });
}

// While alive, libgsf's messages on this thread are dropped. Declared before the
// objects it covers, so that their release is covered too.
class SilencioGsf {
public:
    SilencioGsf() { ++usandoGsf; }
    ~SilencioGsf() { --usandoGsf; }
    SilencioGsf(const SilencioGsf&) = delete;
    SilencioGsf& operator=(const SilencioGsf&) = delete;
};

bool MesmoNome(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// ---------------------------------------------------------------- the reader

class LeitorXls final : public LeitorPlanilha {
public:
    explicit LeitorXls(const std::string& caminho)
        : caminho_(caminho), nome_(CaminhoParaMensagem(caminho)) {
        CarregaFluxo();
        try {
            LeGlobais();
        } catch (const ErroEstrutura& e) {
            throw ErroPlanilha("O arquivo '" + nome_ + "' está corrompido: " + e.what() + ".");
        }
    }

    std::vector<std::string> Abas() override {
        std::vector<std::string> nomes;
        for (const Aba& a : abas_) nomes.push_back(a.nome);
        return nomes;
    }

    AreaUsada LeAba(int posicao, VisitanteCelulas& visitante) override {
        if (posicao < 1 || static_cast<size_t>(posicao) > abas_.size())
            throw ErroPlanilha("A pasta '" + nome_ + "' não tem a planilha de número " +
                               std::to_string(posicao) + ".");
        const Aba& aba = abas_[posicao - 1];
        try {
            return LeSubfluxo(aba, visitante);
        } catch (const ErroEstrutura& e) {
            throw ErroPlanilha("O arquivo '" + nome_ + "' está corrompido (planilha '" + aba.nome +
                               "'): " + e.what() + ".");
        }
    }

private:
    struct Aba {
        std::string nome;
        size_t inicio = 0;
        // Listed by the workbook globals with where it starts, rather than the file's
        // lone worksheet.
        bool listada = false;
    };

    [[noreturn]] void NaoEhPasta(const std::string& motivo) const {
        throw ErroPlanilha("O arquivo '" + nome_ + "' não é uma pasta do Excel válida: " + motivo +
                           ".");
    }

    void CarregaFluxo() {
        Arquivo arquivo = AbreParaLeitura(caminho_, nome_);
        unsigned char assinatura[8] = {};
        const size_t lidos = std::fread(assinatura, 1, sizeof assinatura, arquivo.get());
        long tamanhoArquivo = -1;
        if (std::fseek(arquivo.get(), 0, SEEK_END) == 0) tamanhoArquivo = std::ftell(arquivo.get());
        static const unsigned char kOle2[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        const bool ole = lidos == 8 && std::memcmp(assinatura, kOle2, 8) == 0;
        if (tamanhoArquivo < 0)
            throw ErroPlanilha("Não foi possível ler o arquivo '" + nome_ + "'.");
        if (!ole) {
            // An Excel 2.x to 4.0 file (or a bare BIFF5/8 stream): the file is the stream.
            if (static_cast<unsigned long>(tamanhoArquivo) > kMaxFluxo)
                throw ErroPlanilha("O arquivo '" + nome_ +
                                   "' é grande demais para uma pasta do Excel.");
            fluxo_.resize(static_cast<size_t>(tamanhoArquivo));
            std::rewind(arquivo.get());
            const size_t n = std::fread(fluxo_.data(), 1, fluxo_.size(), arquivo.get());
            if (n != fluxo_.size())
                throw ErroPlanilha("Não foi possível ler o arquivo '" + nome_ + "'.");
            return;
        }
        // libgsf opens the file again.
        arquivo.reset();
        CarregaFluxoOle(static_cast<size_t>(tamanhoArquivo));
    }

    void CarregaFluxoOle(size_t tamanhoArquivo) {
        IniciaGsf();
        const SilencioGsf silencio;
        GError* erro = nullptr;
        Ref<GsfInput> entrada(gsf_input_stdio_new(caminho_.c_str(), &erro));
        if (erro) g_error_free(erro);
        if (!entrada) throw ErroPlanilha("Não foi possível abrir o arquivo '" + nome_ + "'.");
        erro = nullptr;
        Ref<GsfInfile> ole(gsf_infile_msole_new(entrada.get(), &erro));
        if (erro) g_error_free(erro);
        if (!ole) NaoEhPasta("o contêiner OLE2 está danificado");

        // Excel 97 and later write "Workbook", Excel 5.0/95 "Book".
        Ref<GsfInput> fluxo;
        for (const char* procurado : {"Workbook", "Book"}) {
            const int n = gsf_infile_num_children(ole.get());
            for (int i = 0; i < n && !fluxo; ++i) {
                const char* nome = gsf_infile_name_by_index(ole.get(), i);
                if (nome && MesmoNome(nome, procurado))
                    fluxo.reset(gsf_infile_child_by_index(ole.get(), i));
            }
            if (fluxo) break;
        }
        if (!fluxo) {
            throw ErroPlanilha("O arquivo '" + nome_ +
                               "' não contém uma pasta de trabalho do Excel (é outro documento do "
                               "Office?).");
        }
        const gsf_off_t tamanho = gsf_input_size(fluxo.get());
        if (tamanho < 0 || static_cast<uint64_t>(tamanho) > tamanhoArquivo)
            NaoEhPasta("o tamanho declarado da pasta de trabalho passa do tamanho do arquivo");
        if (static_cast<uint64_t>(tamanho) > kMaxFluxo)
            throw ErroPlanilha("O arquivo '" + nome_ +
                               "' é grande demais para uma pasta do Excel.");
        fluxo_.resize(static_cast<size_t>(tamanho));
        constexpr size_t kBloco = size_t{1} << 20;
        for (size_t lidos = 0; lidos < fluxo_.size();) {
            const size_t n = std::min(kBloco, fluxo_.size() - lidos);
            if (!gsf_input_read(fluxo.get(), n, reinterpret_cast<guint8*>(fluxo_.data() + lidos)))
                NaoEhPasta("a pasta de trabalho está truncada ou danificada");
            lidos += n;
        }
    }

    // The first BOF tells the BIFF version and whether a workbook globals substream
    // (BIFF5/8: sheet names, shared texts, code page) or a lone worksheet follows.
    void LeGlobais() {
        Registros registros(fluxo_, 0);
        const uint16_t tipo = LeBofInicial(registros);
        if (tipo == kTipoPastaBiff4)
            throw ErroPlanilha(
                "O arquivo '" + nome_ +
                "' é uma pasta de trabalho do Excel 4.0, formato não suportado; salve-o "
                "no formato do Excel 97-2003.");
        if (tipo == kTipoGrafico || tipo == kTipoMacro)
            throw ErroPlanilha("O arquivo '" + nome_ +
                               "' não contém uma planilha (é um gráfico ou "
                               "uma folha de macros do Excel).");
        if (tipo != kTipoGlobais) {
            // A worksheet file keeps no sheet name: the sheet is named after the file.
            abas_.push_back({NomeSemExtensao(caminho_), 0});
            return;
        }
        LeFolhasETextos(registros);
    }

    // The stream's first record: the BIFF version, kept in biff_, and the kind of
    // substream (workbook globals, a worksheet, a chart...), returned.
    uint16_t LeBofInicial(Registros& registros) {
        Registro r;
        if (!registros.Proximo(r) || !EhBof(r.id)) NaoEhPasta("falta o registro inicial (BOF)");
        Cursor c(r.dados);
        const uint16_t versao = c.U16();
        const uint16_t tipo = c.U16();
        switch (r.id) {
            case kBof2:
                biff_ = 2;
                break;
            case kBof3:
                biff_ = 3;
                break;
            case kBof4:
                biff_ = 4;
                break;
            default:
                biff_ = versao == 0x0600 ? 8 : 5;
                break;
        }
        return tipo;
    }

    // The rest of the workbook globals: the code page, the worksheets listed with where
    // each starts, and the shared texts.
    void LeFolhasETextos(Registros& registros) {
        Registro r;
        struct Listada {
            size_t inicio;
            std::string nome;  // already Windows-1252 (BIFF8) or in the code page (BIFF5)
        };
        std::vector<Listada> folhas;
        bool fechada = false;
        while (registros.Proximo(r)) {
            if (r.id == kEof) {
                fechada = true;
                break;
            }
            switch (r.id) {
                case kFilePass:
                    Protegida();
                case kCodePage: {
                    Cursor c(r.dados);
                    paginaDeCodigo_.Define(c.U16());
                    break;
                }
                case kBoundSheet: {
                    Cursor c(r.dados);
                    const uint32_t inicio = c.U32();
                    c.U8();  // visibility: hidden sheets are listed too
                    const uint8_t tipoFolha = c.U8();
                    const uint8_t tamanho = c.U8();
                    std::string nome =
                        biff_ == 8 ? TextoUnicode(c, tamanho) : std::string(c.Bytes(tamanho));
                    // Only worksheets: chart sheets, macro sheets and modules are not.
                    if (tipoFolha == 0) folhas.push_back({inicio, std::move(nome)});
                    break;
                }
                case kSst: {
                    const std::vector<std::string_view> resto = registros.Continuacoes();
                    LeTextosCompartilhados(r.dados, resto);
                    break;
                }
                default:
                    break;
            }
        }
        // Cut short, the list of sheets may be missing some of them.
        if (!fechada)
            throw ErroEstrutura(
                "a parte inicial da pasta, com a lista das planilhas, não é "
                "fechada: a pasta de trabalho acaba no byte " +
                std::to_string(fluxo_.size()) + " sem o registro EOF dela");
        ConfereDepoisDoFim(r.posicao, registros.Posicao(), "a parte inicial da pasta");
        for (Listada& f : folhas)
            abas_.push_back(
                {biff_ == 8 ? std::move(f.nome) : paginaDeCodigo_.Texto(f.nome), f.inicio, true});
    }

    [[noreturn]] void Protegida() const {
        throw ErroPlanilha("A pasta do Excel '" + nome_ +
                           "' está protegida por senha; salve-a sem senha e tente de novo.");
    }

    // The shared string table. A table cut short keeps what it has; a cell that points
    // past it is reported when read.
    void LeTextosCompartilhados(std::string_view dados,
                                const std::vector<std::string_view>& resto) {
        Cursor c(dados, &resto);
        try {
            c.U32();  // total references
            const uint32_t unicos = c.U32();
            for (uint32_t i = 0; i < unicos && !c.Fim(); ++i) {
                const uint16_t tamanho = c.U16();
                const std::string texto = TextoUnicode(c, tamanho);
                inicios_.push_back(static_cast<uint32_t>(textos_.size()));
                textos_ += texto;
            }
        } catch (const ErroEstrutura&) {
        }
        inicios_.push_back(static_cast<uint32_t>(textos_.size()));
    }

    // A BIFF2-5 text of the worksheet: length of 1 or 2 bytes, then 8-bit characters.
    std::string Texto8(Cursor& c, bool tamanhoDeUmByte) {
        const size_t tamanho = tamanhoDeUmByte ? c.U8() : c.U16();
        return paginaDeCodigo_.Texto(c.Bytes(tamanho));
    }

    // The text of a LABEL, RSTRING or STRING record in the reader's BIFF version.
    std::string TextoDeCelula(Cursor& c, bool biff2) {
        if (biff_ == 8) return TextoUnicode(c, c.U16());
        return Texto8(c, biff2);
    }

    class Folha {
    public:
        explicit Folha(VisitanteCelulas& visitante) : visitante_(visitante) {}

        // A cell the file records, with or without a value.
        void Ocupa(int linha0, int coluna0) {
            area_.ultimaLinha = std::max(area_.ultimaLinha, linha0 + 1);
            area_.ultimaColuna = std::max(area_.ultimaColuna, std::min(coluna0 + 1, kMaxColunas));
        }
        // A range the file records (DIMENSIONS, merged cells), cut to what .xls addresses.
        void OcupaAte(uint32_t linhas, uint32_t colunas) {
            area_.ultimaLinha =
                std::max<int>(area_.ultimaLinha, std::min<uint32_t>(linhas, kLinhasXls));
            area_.ultimaColuna =
                std::max<int>(area_.ultimaColuna, std::min<uint32_t>(colunas, kColunasXls));
        }
        void Celula(int linha0, int coluna0, const std::string& texto) {
            if (coluna0 >= kMaxColunas)
                throw ErroEstrutura("célula além da última coluna possível (" +
                                    EnderecoCelula(linha0 + 1, coluna0 + 1) + ")");
            Ocupa(linha0, coluna0);
            if (!texto.empty() && entregues_.Marca(linha0 + 1, coluna0 + 1))
                visitante_.Celula(linha0 + 1, coluna0 + 1, texto);
        }
        const AreaUsada& Area() const { return area_; }

    private:
        VisitanteCelulas& visitante_;
        AreaUsada area_;
        CelulasEntregues entregues_;
    };

    // The cell of a formula whose text comes in the STRING record that follows it.
    using FormulaDeTexto = std::optional<std::pair<int, int>>;

    AreaUsada LeSubfluxo(const Aba& aba, VisitanteCelulas& visitante) {
        if (aba.inicio >= fluxo_.size()) throw ErroEstrutura("a planilha começa fora do arquivo");
        Registros registros(fluxo_, aba.inicio);
        Registro r;
        if (!registros.Proximo(r) || !EhBof(r.id))
            throw ErroEstrutura("a planilha não começa por um registro BOF");
        if (aba.listada) {
            // A damaged sheet list may point at another substream; read as a worksheet,
            // it would be a sheet without cells.
            Cursor c(r.dados);
            c.U16();  // version
            const uint16_t tipo = c.U16();
            if (tipo != kTipoPlanilha) throw ErroEstrutura(InicioEmOutraParte(tipo));
        }

        Folha folha(visitante);
        FormulaDeTexto formulaDeTexto;
        // Charts and objects drawn on the worksheet are substreams of their own inside
        // it, each closed by its EOF; the worksheet ends at the EOF that closes its BOF.
        int aninhados = 0;
        size_t abertoEm = 0;  // where the last embedded substream opened on the sheet starts
        bool fechada = false;
        while (registros.Proximo(r)) {
            if (EhBof(r.id)) {
                if (aninhados++ == 0) abertoEm = r.posicao;
                continue;
            }
            if (r.id == kEof) {
                if (aninhados == 0) {
                    fechada = true;
                    break;
                }
                --aninhados;
                continue;
            }
            if (aninhados > 0) continue;
            if (r.id != kString && r.id != kString2 && r.id != kShrFmla && r.id != kArray &&
                r.id != kTable && r.id != kContinue)
                formulaDeTexto.reset();
            LeRegistroDaFolha(r, registros, folha, formulaDeTexto);
        }
        // A sheet whose end never comes was cut short, or a stray BOF took its EOF: what
        // was read may be any part of it.
        if (!fechada) {
            const std::string fim = "a pasta de trabalho acaba no byte " +
                                    std::to_string(fluxo_.size()) + " sem o registro EOF ";
            if (aninhados > 0)
                throw ErroEstrutura(
                    "o trecho embutido que começa no byte " + std::to_string(abertoEm) +
                    " (registro BOF) não é fechado: " + fim + "dele nem o da planilha");
            if (abertoEm != 0)
                throw ErroEstrutura("a planilha não é fechada: " + fim +
                                    "que a fecha (um registro BOF no byte " +
                                    std::to_string(abertoEm) + " abriu um trecho embutido)");
            throw ErroEstrutura("a planilha não é fechada: " + fim + "que a fecha");
        }
        ConfereDepoisDoFim(r.posicao, registros.Posicao(), "a planilha");
        return folha.Area();
    }

    // After the EOF that closes a substream comes the next substream's BOF or the end of
    // the stream, zeros that pad it included. Anything else means that this EOF is not
    // the file's: a damaged record length led the walk into the middle of a record.
    void ConfereDepoisDoFim(size_t eof, size_t depois, const char* parte) const {
        const std::string_view resto = std::string_view(fluxo_).substr(depois);
        if (resto.size() >= 2 &&
            EhBof(static_cast<uint16_t>(static_cast<unsigned char>(resto[0]) |
                                        static_cast<unsigned char>(resto[1]) << 8)))
            return;
        if (std::all_of(resto.begin(), resto.end(), [](char c) { return c == '\0'; })) return;
        throw ErroEstrutura("o registro EOF no byte " + std::to_string(eof) + " fecharia " + parte +
                            ", mas o que vem depois dele (byte " + std::to_string(depois) +
                            ") não é o começo de outra parte da pasta nem o fim dela");
    }

    // Why a sheet whose listed start holds a substream of kind `tipo` is refused.
    static std::string InicioEmOutraParte(uint16_t tipo) {
        std::string onde;
        switch (tipo) {
            case kTipoGlobais:
                onde = "no começo da pasta de trabalho";
                break;
            case kTipoGrafico:
                onde = "num gráfico";
                break;
            case kTipoMacro:
                onde = "numa folha de macros";
                break;
            default: {
                char hexa[8];
                std::snprintf(hexa, sizeof hexa, "%04X", tipo);
                onde = std::string("num trecho de outro tipo (0x") + hexa + ")";
                break;
            }
        }
        return "o início registrado da planilha cai " + onde + ", não numa planilha de células";
    }

    // One record of the worksheet's own substream, handed to the step its kind calls for.
    void LeRegistroDaFolha(const Registro& r, Registros& registros, Folha& folha,
                           FormulaDeTexto& formulaDeTexto) {
        Cursor c(r.dados);
        switch (r.id) {
            case kFilePass:
                Protegida();
            case kCodePage:
                paginaDeCodigo_.Define(c.U16());
                break;
            case kDimensoes:
            case kDimensoes2:
            case kMergedCells:
                LeExtensao(r.id, c, folha);
                break;
            case kNumber:
            case kRk:
            case kMulRk:
            case kLabel:
            case kRString:
            case kLabelSst:
            case kBoolErr:
            case kBlank:
            case kMulBlank:
                LeCelula(r.id, c, registros, folha);
                break;
            case kFormula3:
            case kFormula4:
            case kFormula:
                LeFormula(r.id, c, folha, formulaDeTexto);
                break;
            case kString:
            case kString2:
                LeTextoDaFormula(r, registros, folha, formulaDeTexto);
                break;
            case kNumber2:
            case kInteger2:
            case kLabel2:
            case kBoolErr2:
            case kBlank2:
                LeCelulaExcel2(r.id, c, folha);
                break;
            default:
                break;
        }
    }

    // The used area the file records: DIMENSIONS and merged ranges.
    void LeExtensao(uint16_t id, Cursor& c, Folha& folha) {
        const bool biff2 = biff_ == 2;
        switch (id) {
            case kDimensoes: {
                uint32_t linhas, colunas;
                if (biff_ == 8) {
                    c.U32();
                    linhas = c.U32();
                } else {
                    c.U16();
                    linhas = c.U16();
                }
                c.U16();
                colunas = c.U16();
                folha.OcupaAte(linhas, colunas);
                break;
            }
            case kDimensoes2:
                if (biff2) {
                    c.U16();
                    const uint32_t linhas = c.U16();
                    c.U16();
                    folha.OcupaAte(linhas, c.U16());
                }
                break;
            case kMergedCells: {
                const uint16_t n = c.U16();
                for (uint16_t i = 0; i < n && c.RestaNoSegmento() >= 8; ++i) {
                    c.U16();
                    const uint32_t ultimaLinha = c.U16();
                    c.U16();
                    const uint32_t ultimaColuna = c.U16();
                    folha.OcupaAte(ultimaLinha + 1, ultimaColuna + 1);
                }
                break;
            }
        }
    }

    // A cell of BIFF3 to BIFF8: a value, a text, or only its format.
    void LeCelula(uint16_t id, Cursor& c, Registros& registros, Folha& folha) {
        switch (id) {
            case kNumber: {
                const int linha = c.U16(), coluna = c.U16();
                c.U16();
                folha.Celula(linha, coluna, TextoNumero(c.F64()));
                break;
            }
            case kRk: {
                const int linha = c.U16(), coluna = c.U16();
                c.U16();
                folha.Celula(linha, coluna, TextoNumero(DeRk(c.U32())));
                break;
            }
            case kMulRk: {
                const int linha = c.U16(), primeira = c.U16();
                for (int k = 0; c.RestaNoSegmento() >= 8; ++k) {
                    c.U16();
                    folha.Celula(linha, primeira + k, TextoNumero(DeRk(c.U32())));
                }
                break;
            }
            case kLabel:
            case kRString: {
                const int linha = c.U16(), coluna = c.U16();
                c.U16();
                std::vector<std::string_view> resto;
                if (biff_ == 8) resto = registros.Continuacoes();
                Cursor texto(c.Bytes(c.RestaNoSegmento()), &resto);
                folha.Celula(linha, coluna, TextoDeCelula(texto, false));
                break;
            }
            case kLabelSst: {
                const int linha = c.U16(), coluna = c.U16();
                c.U16();
                const uint32_t indice = c.U32();
                if (inicios_.empty() || indice >= inicios_.size() - 1)
                    throw ErroEstrutura("a célula " + EnderecoCelula(linha + 1, coluna + 1) +
                                        " aponta para um texto compartilhado que não existe");
                folha.Celula(
                    linha, coluna,
                    textos_.substr(inicios_[indice], inicios_[indice + 1] - inicios_[indice]));
                break;
            }
            case kBoolErr: {
                const int linha = c.U16(), coluna = c.U16();
                c.U16();
                const uint8_t valor = c.U8();
                folha.Celula(linha, coluna, c.U8() ? TextoErro(valor) : valor ? "True" : "False");
                break;
            }
            case kBlank: {
                const int linha = c.U16(), coluna = c.U16();
                folha.Ocupa(linha, coluna);
                break;
            }
            case kMulBlank: {
                const int linha = c.U16(), primeira = c.U16();
                const size_t n = c.RestaNoSegmento() >= 2 ? (c.RestaNoSegmento() - 2) / 2 : 0;
                if (n > 0) folha.Ocupa(linha, primeira + static_cast<int>(n) - 1);
                break;
            }
        }
    }

    // A formula's cached result; a text result waits for its STRING record.
    void LeFormula(uint16_t id, Cursor& c, Folha& folha, FormulaDeTexto& formulaDeTexto) {
        const bool layout2 = biff_ == 2 && id == kFormula;
        const int linha = c.U16(), coluna = c.U16();
        c.Pula(layout2 ? 3 : 2);
        const std::string_view resultado = c.Bytes(8);
        const auto byte = [&](int i) { return static_cast<uint8_t>(resultado[i]); };
        if (byte(6) == 0xFF && byte(7) == 0xFF) {
            folha.Ocupa(linha, coluna);
            switch (byte(0)) {
                case 0:
                    formulaDeTexto.emplace(linha, coluna);
                    break;
                case 1:
                    folha.Celula(linha, coluna, byte(2) ? "True" : "False");
                    break;
                case 2:
                    folha.Celula(linha, coluna, TextoErro(byte(2)));
                    break;
                default:
                    break;  // an empty text
            }
        } else {
            Cursor valor(resultado);
            folha.Celula(linha, coluna, TextoNumero(valor.F64()));
        }
    }

    // The text result of the formula just read.
    void LeTextoDaFormula(const Registro& r, Registros& registros, Folha& folha,
                          FormulaDeTexto& formulaDeTexto) {
        const bool biff2 = biff_ == 2;
        if (!formulaDeTexto || (r.id == kString2) != biff2) return;
        std::vector<std::string_view> resto;
        if (biff_ == 8) resto = registros.Continuacoes();
        Cursor texto(r.dados, &resto);
        const auto [linha, coluna] = *formulaDeTexto;
        formulaDeTexto.reset();
        folha.Celula(linha, coluna, TextoDeCelula(texto, biff2));
    }

    // Excel 2.x cells: a 3-byte attribute field instead of the format index.
    void LeCelulaExcel2(uint16_t id, Cursor& c, Folha& folha) {
        if (biff_ != 2) return;
        const int linha = c.U16(), coluna = c.U16();
        c.Pula(3);
        if (id == kNumber2) {
            folha.Celula(linha, coluna, TextoNumero(c.F64()));
        } else if (id == kInteger2) {
            folha.Celula(linha, coluna, NumeroParaTexto(c.U16()));
        } else if (id == kLabel2) {
            folha.Celula(linha, coluna, Texto8(c, true));
        } else if (id == kBoolErr2) {
            const uint8_t valor = c.U8();
            folha.Celula(linha, coluna, c.U8() ? TextoErro(valor) : valor ? "True" : "False");
        } else {
            folha.Ocupa(linha, coluna);
        }
    }

    std::string caminho_;
    std::string nome_;  // the file name as messages show it
    std::string fluxo_;
    int biff_ = 8;
    PaginaDeCodigo paginaDeCodigo_;
    std::vector<Aba> abas_;
    // The shared texts, one after another; text i is [inicios_[i], inicios_[i+1]).
    std::string textos_;
    std::vector<uint32_t> inicios_;
};

}  // namespace

std::unique_ptr<LeitorPlanilha> AbreXls(const std::string& caminho) {
    return std::make_unique<LeitorXls>(caminho);
}

}  // namespace conversor::intake
