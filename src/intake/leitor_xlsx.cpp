// Excel 2007+ workbooks (.xlsx, .xlsm): SpreadsheetML parts of a zip package.
//
// The package relationships lead to the workbook part, its relationships to the
// worksheets and the shared strings. Worksheets are streamed cell by cell; only the
// shared strings are kept, converted once, loaded alongside the sheet on a thread of
// their own.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "base/colunas.h"
#include "base/regional.h"
#include "intake/leitores.h"
#include "intake/leitura_blocos.h"
#include "intake/pacote_zip.h"
#include "intake/textos_compartilhados.h"
#include "intake/valores_xml.h"

namespace conversor::intake {
namespace {

// Raw text kept for one cell: enough for kMaxTextoCelula characters even when every
// one of them is written as a seven-byte _xHHHH_ escape.
constexpr size_t kMaxBrutoCelula = kMaxTextoCelula * 7;

// Bounds of the workbook's structure: Excel itself stays far below them.
constexpr size_t kMaxAbas = 32767;
constexpr size_t kMaxRelacoes = 100000;

// Day number of 1/1/1904, day 0 of the Macintosh date system, in the 1899 count.
constexpr double kDiaZero1904 = 1462;

// The local part of a qualified name, without building anything.
inline const char* Local(const char* nome) {
    for (const char* p = nome; *p; ++p)
        if (*p == ':') return p + 1;
    return nome;
}

inline bool Igual(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

inline void Acumula(std::string& destino, const char* texto, int tamanho) {
    if (destino.size() >= kMaxBrutoCelula) return;
    destino.append(texto, std::min(static_cast<size_t>(tamanho), kMaxBrutoCelula - destino.size()));
}

int ValorHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "_xHHHH_" at `i`: the UTF-16 unit it stands for, or -1.
long EscapeEm(std::string_view t, size_t i) {
    if (i + 7 > t.size() || t[i] != '_' || t[i + 1] != 'x' || t[i + 6] != '_') return -1;
    long v = 0;
    for (size_t k = 2; k < 6; ++k) {
        const int h = ValorHex(t[i + k]);
        if (h < 0) return -1;
        v = v * 16 + h;
    }
    return v;
}

// OOXML writes characters that XML cannot carry as _xHHHH_ (UTF-16 units, so a
// character beyond the basic plane takes two); "_x005F_" is the escaped underscore.
void DecodificaEscapes(std::string_view t, std::string& saida) {
    saida.clear();
    for (size_t i = 0; i < t.size();) {
        const long v = t[i] == '_' ? EscapeEm(t, i) : -1;
        if (v < 0) {
            saida += t[i++];
            continue;
        }
        i += 7;
        if (v >= 0xD800 && v <= 0xDBFF) {
            const long baixa = EscapeEm(t, i);
            if (baixa >= 0xDC00 && baixa <= 0xDFFF) {
                i += 7;
                AnexaUtf8(saida, 0x10000 + ((static_cast<char32_t>(v) - 0xD800) << 10) +
                                     (static_cast<char32_t>(baixa) - 0xDC00));
                continue;
            }
        }
        if (v >= 0xD800 && v <= 0xDFFF)
            saida += '?';
        else
            AnexaUtf8(saida, static_cast<char32_t>(v));
    }
}

bool SoAscii(std::string_view t) {
    for (char c : t)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A cell's text as the file writes it (UTF-8, with escapes) in Windows-1252, cut at
// kMaxTextoCelula characters. Returns a view of `saida` or of `bruto`.
std::string_view TextoCelula(const std::string& bruto, std::string& auxiliar, std::string& saida) {
    std::string_view t = bruto;
    if (t.find('_') != std::string_view::npos) {
        DecodificaEscapes(t, auxiliar);
        t = auxiliar;
    }
    if (!SoAscii(t)) {
        Utf8ParaCp1252(t, saida);
        t = saida;
    }
    return t.substr(0, kMaxTextoCelula);
}

// "B12" -> column 2, row 12. At most three letters and seven digits; false otherwise.
bool LeReferencia(const char* r, long long& linha, long long& coluna) {
    long long c = 0;
    int letras = 0;
    for (; *r; ++r, ++letras) {
        char l = *r;
        if (l >= 'a' && l <= 'z') l = static_cast<char>(l - 'a' + 'A');
        if (l < 'A' || l > 'Z') break;
        if (letras == 3) return false;
        c = c * 26 + (l - 'A' + 1);
    }
    if (letras == 0) return false;
    long long n = 0;
    int digitos = 0;
    // Digits past the seventh are only counted: the number is refused anyway.
    for (; *r >= '0' && *r <= '9'; ++r, ++digitos)
        if (digitos < 7) n = n * 10 + (*r - '0');
    if (digitos == 0 || digitos > 7 || *r) return false;
    linha = n;
    coluna = c;
    return true;
}

// "A1:W890" or "B2" -> the bottom-right corner, within the sheet's bounds.
bool LeIntervalo(const char* ref, AreaUsada& area) {
    std::string_view t(ref);
    const size_t doisPontos = t.find(':');
    const std::string fim(doisPontos == std::string_view::npos ? t : t.substr(doisPontos + 1));
    long long linha = 0, coluna = 0;
    if (!LeReferencia(fim.c_str(), linha, coluna)) return false;
    if (linha < 1 || linha > kMaxLinhas || coluna < 1 || coluna > kMaxColunas) return false;
    area.ultimaLinha = std::max(area.ultimaLinha, static_cast<int>(linha));
    area.ultimaColuna = std::max(area.ultimaColuna, static_cast<int>(coluna));
    return true;
}

// Why a cell's shared-string index is refused.
std::string ForaDaTabela(uint64_t indice, size_t quantos) {
    return "o índice de texto compartilhado " + std::to_string(indice) +
           " está fora da tabela, que tem " + std::to_string(quantos) + " textos";
}

// --- Package structure -------------------------------------------------------------

struct Relacao {
    std::string id;
    std::string tipo;  // the last segment of the relationship type URI
    std::string alvo;  // resolved part name
};

// The folder of a part name, with its slash ("xl/workbook.xml" -> "xl/").
std::string Pasta(const std::string& parte) {
    const size_t barra = parte.rfind('/');
    return barra == std::string::npos ? "" : parte.substr(0, barra + 1);
}

// A relationship target as a part name: absolute targets from the package root,
// relative ones from the source part's folder, "." and ".." resolved.
std::string ResolveAlvo(const std::string& pastaOrigem, std::string_view alvo) {
    std::string caminho = !alvo.empty() && alvo.front() == '/' ? std::string(alvo.substr(1))
                                                               : pastaOrigem + std::string(alvo);
    std::vector<std::string> partes;
    size_t inicio = 0;
    while (inicio <= caminho.size()) {
        size_t barra = caminho.find('/', inicio);
        if (barra == std::string::npos) barra = caminho.size();
        const std::string segmento = caminho.substr(inicio, barra - inicio);
        if (segmento == "..") {
            if (!partes.empty()) partes.pop_back();
        } else if (!segmento.empty() && segmento != ".") {
            partes.push_back(segmento);
        }
        inicio = barra + 1;
    }
    std::string r;
    for (const auto& p : partes) {
        if (!r.empty()) r += '/';
        r += p;
    }
    return r;
}

// The relationships part of a part ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels").
std::string ParteRelacoes(const std::string& parte) {
    const std::string pasta = Pasta(parte);
    return pasta + "_rels/" + parte.substr(pasta.size()) + ".rels";
}

class LeituraRelacoes : public ManipuladorXml {
public:
    LeituraRelacoes(std::string pastaOrigem, const std::string& arquivo)
        : pasta_(std::move(pastaOrigem)), arquivo_(arquivo) {}
    std::vector<Relacao> relacoes;

    void Inicio(const char* nome, const char** atributos) override {
        if (!Igual(Local(nome), "Relationship")) return;
        if (relacoes.size() >= kMaxRelacoes)
            throw ErroLeitura(arquivo_, {}, "o pacote tem relações demais entre suas partes");
        Relacao r;
        bool externo = false;
        std::string_view alvo;
        for (const char** a = atributos; *a; a += 2) {
            const char* n = Local(a[0]);
            if (Igual(n, "Id")) {
                r.id = a[1];
            } else if (Igual(n, "Type")) {
                std::string_view tipo(a[1]);
                const size_t barra = tipo.rfind('/');
                r.tipo =
                    std::string(barra == std::string_view::npos ? tipo : tipo.substr(barra + 1));
            } else if (Igual(n, "Target")) {
                alvo = a[1];
            } else if (Igual(n, "TargetMode")) {
                externo = Igual(a[1], "External");
            }
        }
        if (externo) return;
        r.alvo = ResolveAlvo(pasta_, alvo);
        relacoes.push_back(std::move(r));
    }
    void Fim(const char*) override {}
    void Texto(const char*, int) override {}

private:
    std::string pasta_;
    const std::string& arquivo_;
};

std::vector<Relacao> LeRelacoes(PacoteZip& pacote, const std::string& parteOrigem) {
    const std::string parte = ParteRelacoes(parteOrigem);
    LeituraRelacoes leitura(Pasta(parteOrigem), pacote.Nome());
    if (pacote.Tem(parte)) PercorreParte(pacote, parte, leitura, false);
    return std::move(leitura.relacoes);
}

struct AbaXlsx {
    std::string nome;  // Windows-1252
    std::string parte;
    // Why the workbook's sheet entry leads to no worksheet part (Windows-1252); empty
    // when it does. Reading such a sheet is refused with it.
    std::string defeito;
};

// The sheet kinds that are not worksheets: Excel's Worksheets collection leaves them
// out, and so do positions here.
bool OutraFolha(std::string_view tipo) {
    return tipo == "chartsheet" || tipo == "dialogsheet" || tipo == "xlMacrosheet" ||
           tipo == "xlIntlMacrosheet";
}

class LeituraWorkbook : public ManipuladorXml {
public:
    explicit LeituraWorkbook(const std::string& arquivo) : arquivo_(arquivo) {}
    bool raizWorkbook = false;
    bool data1904 = false;
    struct Folha {
        std::string nome;
        std::string idRelacao;
    };
    std::vector<Folha> folhas;

    void Inicio(const char* nome, const char** atributos) override {
        const char* local = Local(nome);
        if (profundidade_++ == 0) {
            raizWorkbook = Igual(local, "workbook");
            if (!raizWorkbook) Encerra();
            return;
        }
        if (Igual(local, "workbookPr")) {
            for (const char** a = atributos; *a; a += 2)
                if (Igual(Local(a[0]), "date1904"))
                    data1904 = Igual(a[1], "1") || Igual(a[1], "true");
        } else if (Igual(local, "sheet")) {
            if (folhas.size() >= kMaxAbas)
                throw ErroLeitura(
                    arquivo_, {},
                    "a pasta de trabalho lista mais de " + std::to_string(kMaxAbas) + " abas");
            Folha f;
            for (const char** a = atributos; *a; a += 2) {
                if (Igual(a[0], "name"))
                    f.nome = a[1];
                else if (Igual(Local(a[0]), "id") && std::strchr(a[0], ':'))
                    f.idRelacao = a[1];
            }
            folhas.push_back(std::move(f));
        } else if (Igual(local, "sheets")) {
            emFolhas_ = true;
        }
    }
    void Fim(const char* nome) override {
        --profundidade_;
        // Nothing after the sheet list matters here.
        if (emFolhas_ && Igual(Local(nome), "sheets")) Encerra();
    }
    void Texto(const char*, int) override {}

private:
    const std::string& arquivo_;
    int profundidade_ = 0;
    bool emFolhas_ = false;
};

// --- One worksheet -----------------------------------------------------------------

// A cell read on a worker thread: its text in the block's own text buffer or, for a
// shared string, the string's index, looked up when the block is delivered.
struct CelulaLida {
    static constexpr uint32_t kCompartilhado = UINT32_MAX;
    long long linha;
    int coluna;
    uint32_t tamanho;  // kCompartilhado: `inicio` is the shared string's index
    uint64_t inicio;
};

// A cell error found in a block whose rows are still counted from its start: the
// address is known only when the block is delivered.
struct FalhaRelativa {
    std::string motivo;
    long long linha;
    long long coluna;
};

// The events of a worksheet part, or of one block of its rows.
//
// Read straight, it hands cells to the visitor. Read as a block, it keeps them, and as
// long as no row or cell of the block has said its number, rows count from the block's
// start ("relative"): the calling thread adds the last row of the blocks before.
class LeituraAba : public ManipuladorXml {
public:
    struct Contexto {
        TextosCompartilhados& textos;
        bool data1904;
        const std::string& arquivo;
        const std::string& aba;
        // Only the used area: cells count for it, their values are not read.
        bool soArea = false;
    };

    // Straight to the visitor, after row `linhaInicial`.
    LeituraAba(const Contexto& contexto, VisitanteCelulas& visitante, long long linhaInicial)
        : contexto_(contexto), visitante_(&visitante), linha_(linhaInicial) {}
    // Into a block.
    LeituraAba(const Contexto& contexto, std::vector<CelulaLida>& celulas, std::string& textos)
        : contexto_(contexto), celulas_(&celulas), textosBloco_(&textos) {
        Reinicia();
    }

    AreaUsada area;
    // Block only: the first `relativas` cells count rows from the block's start;
    // maxRelativa is the largest such row that the area takes in.
    size_t relativas = 0;
    long long maxRelativa = 0;

    bool Relativa() const { return relativa_; }
    long long Linha() const { return linha_; }

    void Reinicia() {
        Reabre();
        area = {};
        relativas = 0;
        maxRelativa = 0;
        relativa_ = true;
        emDados_ = emCelula_ = emInline_ = coletando_ = temValor_ = false;
        fonetica_ = 0;
        linha_ = coluna_ = 0;
    }

    void Inicio(const char* nome, const char** atributos) override {
        const char* local = Local(nome);
        switch (local[0]) {
            case 'c':
                if (local[1] == 0 && emDados_) IniciaCelula(atributos);
                break;
            case 'v':
                if (local[1] == 0 && emCelula_) {
                    coletando_ = true;
                    temValor_ = true;
                }
                break;
            case 't':
                if (local[1] == 0 && emInline_ && fonetica_ == 0) {
                    coletando_ = true;
                    temValor_ = true;
                }
                break;
            case 'i':
                if (emCelula_ && Igual(local, "is")) {
                    emInline_ = true;
                    tipo_ = 'i';
                }
                break;
            case 'r':
                if (local[1] == 'o' && emDados_ && Igual(local, "row"))
                    IniciaLinha(atributos);
                else if (emInline_ && Igual(local, "rPh"))
                    ++fonetica_;
                break;
            case 's':
                if (Igual(local, "sheetData")) emDados_ = true;
                break;
            case 'd':
                if (Igual(local, "dimension")) IntervaloDe(atributos);
                break;
            case 'm':
                if (Igual(local, "mergeCell")) IntervaloDe(atributos);
                break;
            default:
                break;
        }
    }

    void Fim(const char* nome) override {
        const char* local = Local(nome);
        switch (local[0]) {
            case 'c':
                if (local[1] == 0 && emCelula_) TerminaCelula();
                break;
            case 'v':
            case 't':
                if (local[1] == 0) coletando_ = false;
                break;
            case 'i':
                if (Igual(local, "is")) emInline_ = false;
                break;
            case 'r':
                if (fonetica_ > 0 && Igual(local, "rPh")) --fonetica_;
                break;
            case 's':
                if (Igual(local, "sheetData")) emDados_ = false;
                break;
            default:
                break;
        }
    }

    void Texto(const char* texto, int tamanho) override {
        if (coletando_) Acumula(bruto_, texto, tamanho);
    }

private:
    bool EmBloco() const { return celulas_ != nullptr; }

    [[noreturn]] void Falha(const std::string& motivo) {
        throw ErroLeitura(contexto_.arquivo, "aba '" + contexto_.aba + "'", motivo);
    }

    [[noreturn]] void FalhaNaCelula(const std::string& motivo, long long linha, long long coluna) {
        if (EmBloco() && relativa_) throw FalhaRelativa{motivo, linha, coluna};
        throw ErroLeitura(contexto_.arquivo,
                          "aba '" + contexto_.aba + "', célula " + EnderecoCelula(linha, coluna),
                          motivo);
    }

    void IntervaloDe(const char** atributos) {
        for (const char** a = atributos; *a; a += 2)
            if (Igual(a[0], "ref")) LeIntervalo(a[1], area);
    }

    // The row number said by the file ends the block's relative count.
    void Absoluta() {
        if (relativa_ && EmBloco()) relativas = celulas_->size();
        relativa_ = false;
    }

    void AmpliaLinha(long long linha) {
        if (EmBloco() && relativa_)
            maxRelativa = std::max(maxRelativa, linha);
        else
            area.ultimaLinha = std::max(area.ultimaLinha, static_cast<int>(linha));
    }

    void IniciaLinha(const char** atributos) {
        long long linha = linha_ + 1;
        bool formatada = false;
        bool numerada = false;
        for (const char** a = atributos; *a; a += 2) {
            const char* n = a[0];
            if (n[0] == 'r' && n[1] == 0) {
                const char* p = a[1];
                long long v = 0;
                int digitos = 0;
                for (; *p >= '0' && *p <= '9' && digitos < 10; ++p, ++digitos)
                    v = v * 10 + (*p - '0');
                if (digitos == 0 || *p)
                    Falha(std::string("número de linha inválido '") + Utf8ParaCp1252(a[1]) + "'");
                linha = v;
                numerada = true;
            } else if (!std::strchr(n, ':') && !Igual(n, "spans")) {
                formatada = true;
            }
        }
        if (numerada) Absoluta();
        // A block's relative rows are checked when its start is known.
        if ((!relativa_ || !EmBloco()) && (linha < 1 || linha > kMaxLinhas))
            Falha("a linha " + std::to_string(linha) + " está fora dos limites da planilha (1 a " +
                  std::to_string(kMaxLinhas) + ")");
        linha_ = linha;
        coluna_ = 0;
        if (formatada) AmpliaLinha(linha);
    }

    // The cell's type attribute as one letter: 's' shared text, 'f' formula text,
    // 'i' inline text, 'b' boolean, 'e' error, 'd' ISO date, 'n' number.
    static char TipoDaCelula(const char* t) {
        if (Igual(t, "s")) return 's';
        if (Igual(t, "str")) return 'f';
        if (Igual(t, "inlineStr")) return 'i';
        if (Igual(t, "b")) return 'b';
        if (Igual(t, "e")) return 'e';
        if (Igual(t, "d")) return 'd';
        return 'n';
    }

    void IniciaCelula(const char** atributos) {
        long long linha = linha_;
        long long coluna = coluna_ + 1;
        bool numerada = false;
        tipo_ = 'n';
        for (const char** a = atributos; *a; a += 2) {
            const char* n = a[0];
            if (n[1] != 0) continue;
            if (n[0] == 'r') {
                if (!LeReferencia(a[1], linha, coluna))
                    Falha(std::string("referência de célula inválida '") + Utf8ParaCp1252(a[1]) +
                          "'");
                numerada = true;
            } else if (n[0] == 't') {
                tipo_ = TipoDaCelula(a[1]);
            }
        }
        if (numerada) Absoluta();
        // A cell outside any row (not valid, but harmless) sits in the first row.
        if (!numerada && linha == 0 && !(EmBloco() && relativa_)) linha = 1;
        if (coluna < 1 || coluna > kMaxColunas ||
            (!(EmBloco() && relativa_) && (linha < 1 || linha > kMaxLinhas)))
            Falha("a célula " + EnderecoCelula(linha, coluna) +
                  " está fora dos limites da planilha (" + std::to_string(kMaxLinhas) +
                  " linhas, " + std::to_string(kMaxColunas) + " colunas)");
        linha_ = linha;
        coluna_ = coluna;
        emCelula_ = true;
        temValor_ = false;
        bruto_.clear();
    }

    void TerminaCelula() {
        emCelula_ = false;
        emInline_ = false;
        coletando_ = false;
        fonetica_ = 0;
        const long long linha = linha_;
        const int coluna = static_cast<int>(coluna_);
        AmpliaLinha(linha);
        if (coluna > area.ultimaColuna) area.ultimaColuna = coluna;
        if (!temValor_ || contexto_.soArea) return;

        if (tipo_ == 's') return TerminaCompartilhada(linha, coluna);
        const std::string_view texto = ValorDaCelula(linha, coluna);
        if (!texto.empty()) Entrega(linha, coluna, texto);
    }

    // The text of a cell that holds its own value (any type but a shared text); empty
    // when it has none.
    std::string_view ValorDaCelula(long long linha, int coluna) {
        switch (tipo_) {
            case 'n':
                if (bruto_.empty()) return {};
                if (!NumeroXmlParaTexto(bruto_, numero_))
                    FalhaNaCelula(
                        "valor numérico inválido '" + Utf8ParaCp1252(bruto_.substr(0, 40)) + "'",
                        linha, coluna);
                return numero_;
            case 'b': {
                const std::string_view b = bruto_;
                if (b.empty()) return {};
                return b == "0" || b == "false" ? "False" : "True";
            }
            case 'd': {
                if (bruto_.empty()) return {};
                double dias = 0;
                if (!DataIsoParaDias(bruto_, contexto_.data1904 ? kDiaZero1904 : 0, dias))
                    FalhaNaCelula("data inválida '" + Utf8ParaCp1252(bruto_.substr(0, 40)) + "'",
                                  linha, coluna);
                numero_ = NumeroParaTexto(dias);
                return numero_;
            }
            default:  // inline strings, formula strings, error values
                return TextoCelula(bruto_, auxiliar_, convertido_);
        }
    }

    // A cell that names a shared text by its index. A block keeps the index: the
    // calling thread looks the text up once the table is loaded that far.
    void TerminaCompartilhada(long long linha, int coluna) {
        const char* p = bruto_.c_str();
        while (*p == ' ') ++p;
        if (!*p) return;
        unsigned long long indice = 0;
        int digitos = 0;
        for (; *p >= '0' && *p <= '9' && digitos < 19; ++p, ++digitos)
            indice = indice * 10 + (*p - '0');
        while (*p == ' ') ++p;
        if (digitos == 0 || *p)
            FalhaNaCelula("índice de texto compartilhado inválido '" +
                              Utf8ParaCp1252(bruto_.substr(0, 40)) + "'",
                          linha, coluna);
        if (EmBloco()) {
            celulas_->push_back({linha, coluna, CelulaLida::kCompartilhado, indice});
            return;
        }
        if (!contexto_.textos.Espera(indice))
            FalhaNaCelula(ForaDaTabela(indice, contexto_.textos.Quantos()), linha, coluna);
        const std::string_view texto = contexto_.textos[indice];
        if (!texto.empty()) Entrega(linha, coluna, texto);
    }

    // A cell with a text: to the visitor, or kept in the block.
    void Entrega(long long linha, int coluna, std::string_view texto) {
        if (!EmBloco()) {
            visitante_->Celula(static_cast<int>(linha), coluna, texto);
            return;
        }
        celulas_->push_back(
            {linha, coluna, static_cast<uint32_t>(texto.size()), textosBloco_->size()});
        textosBloco_->append(texto);
    }

    const Contexto& contexto_;
    VisitanteCelulas* visitante_ = nullptr;
    std::vector<CelulaLida>* celulas_ = nullptr;
    std::string* textosBloco_ = nullptr;

    bool relativa_ = false;
    bool emDados_ = false;
    bool emCelula_ = false;
    bool emInline_ = false;
    bool coletando_ = false;
    bool temValor_ = false;
    int fonetica_ = 0;
    char tipo_ = 'n';
    long long linha_ = 0;
    long long coluna_ = 0;
    // Reused from cell to cell: no allocation per cell once they have grown.
    std::string bruto_;
    std::string numero_;
    std::string auxiliar_;
    std::string convertido_;
};

// The part's first element, its root, passed on to the reading after it was found to
// be a worksheet: a part of another kind (a chart sheet, the styles) that a damaged
// workbook names as a sheet is refused there, never read as a sheet without cells.
class RaizDaAba final : public ManipuladorXml {
public:
    RaizDaAba(const LeituraAba::Contexto& contexto, const std::string& parte,
              ManipuladorXml& leitura)
        : contexto_(contexto), parte_(parte), leitura_(&leitura) {}

    bool Vista() const { return vista_; }
    // The events go on to `leitura` from now on.
    void Encaminha(ManipuladorXml& leitura) { leitura_ = &leitura; }

    void Inicio(const char* nome, const char** atributos) override {
        if (!vista_) {
            vista_ = true;
            const char* local = Local(nome);
            if (!Igual(local, "worksheet"))
                throw ErroLeitura(contexto_.arquivo, "aba '" + contexto_.aba + "'",
                                  "a parte '" + Utf8ParaCp1252(parte_) +
                                      "' não é uma planilha de células (seu elemento raiz é <" +
                                      Utf8ParaCp1252(std::string_view(local).substr(0, 40)) + ">)");
        }
        leitura_->Inicio(nome, atributos);
    }
    void Fim(const char* nome) override { leitura_->Fim(nome); }
    void Texto(const char* texto, int tamanho) override { leitura_->Texto(texto, tamanho); }

private:
    const LeituraAba::Contexto& contexto_;
    const std::string& parte_;
    ManipuladorXml* leitura_;
    bool vista_ = false;
};

// A worksheet read in blocks of rows on worker threads (PercorreEmBlocos),
// the cells handed to the visitor on the calling thread, in the file's order.
class LeituraAbaEmBlocos final : public LeituraEmBlocos {
public:
    LeituraAbaEmBlocos(const LeituraAba::Contexto& contexto, const std::string& parte,
                       VisitanteCelulas& visitante)
        : contexto_(contexto),
          visitante_(visitante),
          moldura_(contexto, visitante, 0),
          raiz_(contexto, parte, moldura_) {}

    AreaUsada Area() const {
        AreaUsada a = area_;
        for (const LeituraAba* l :
             std::initializer_list<const LeituraAba*>{&moldura_, sequencial_.get()})
            if (l) {
                a.ultimaLinha = std::max(a.ultimaLinha, l->area.ultimaLinha);
                a.ultimaColuna = std::max(a.ultimaColuna, l->area.ultimaColuna);
            }
        return a;
    }

    ManipuladorXml& Moldura() override { return raiz_; }

    std::unique_ptr<BlocoXml> NovoBloco() override { return std::make_unique<Bloco>(contexto_); }

    ManipuladorXml& Sequencial() override {
        sequencial_ = std::make_unique<LeituraAba>(contexto_, visitante_, linha_);
        // The whole document read here (not in UTF-8): its root is still to be seen.
        if (raiz_.Vista()) return *sequencial_;
        raiz_.Encaminha(*sequencial_);
        return raiz_;
    }

    void Entrega(BlocoXml& b) override {
        Bloco& bloco = static_cast<Bloco&>(b);
        const LeituraAba& l = bloco.leitura;
        if (bloco.erro) {
            // A shared string out of the table in a cell before the failure is the
            // first fault of the file.
            for (size_t i = 0; i < bloco.celulas.size(); ++i)
                if (bloco.celulas[i].tamanho == CelulaLida::kCompartilhado) TextoDe(bloco, i);
            try {
                std::rethrow_exception(bloco.erro);
            } catch (const FalhaRelativa& f) {
                throw ErroLeitura(contexto_.arquivo,
                                  "aba '" + contexto_.aba + "', célula " +
                                      EnderecoCelula(linha_ + f.linha, f.coluna),
                                  f.motivo);
            }
        }
        for (size_t i = 0; i < bloco.celulas.size(); ++i) {
            const std::string_view texto = TextoDe(bloco, i);
            if (!texto.empty())
                visitante_.Celula(static_cast<int>(LinhaDe(bloco, i)), bloco.celulas[i].coluna,
                                  texto);
        }
        if (l.maxRelativa > 0) {
            if (linha_ + l.maxRelativa > kMaxLinhas) ForaDosLimites(linha_ + l.maxRelativa);
            area_.ultimaLinha =
                std::max(area_.ultimaLinha, static_cast<int>(linha_ + l.maxRelativa));
        }
        area_.ultimaLinha = std::max(area_.ultimaLinha, l.area.ultimaLinha);
        area_.ultimaColuna = std::max(area_.ultimaColuna, l.area.ultimaColuna);
        linha_ = l.Relativa() ? linha_ + l.Linha() : l.Linha();
    }

private:
    struct Bloco final : BlocoXml {
        explicit Bloco(const LeituraAba::Contexto& contexto) : leitura(contexto, celulas, textos) {}
        ManipuladorXml& Reinicia() override {
            celulas.clear();
            textos.clear();
            leitura.Reinicia();
            return leitura;
        }
        std::vector<CelulaLida> celulas;
        std::string textos;
        LeituraAba leitura;
    };

    // The row of the block's i-th cell, counted from the sheet's start.
    long long LinhaDe(const Bloco& bloco, size_t i) {
        const LeituraAba& l = bloco.leitura;
        long long linha = bloco.celulas[i].linha;
        if (l.Relativa() || i < l.relativas) linha += linha_;
        if (linha < 1 || linha > kMaxLinhas) ForaDosLimites(linha);
        return linha;
    }

    std::string_view TextoDe(const Bloco& bloco, size_t i) {
        const CelulaLida& c = bloco.celulas[i];
        if (c.tamanho != CelulaLida::kCompartilhado)
            return std::string_view(bloco.textos).substr(c.inicio, c.tamanho);
        if (!contexto_.textos.Espera(c.inicio))
            throw ErroLeitura(contexto_.arquivo,
                              "aba '" + contexto_.aba + "', célula " +
                                  EnderecoCelula(LinhaDe(bloco, i), c.coluna),
                              ForaDaTabela(c.inicio, contexto_.textos.Quantos()));
        return contexto_.textos[c.inicio];
    }

    [[noreturn]] void ForaDosLimites(long long linha) {
        throw ErroLeitura(contexto_.arquivo, "aba '" + contexto_.aba + "'",
                          "a linha " + std::to_string(linha) +
                              " está fora dos limites da planilha (1 a " +
                              std::to_string(kMaxLinhas) + ")");
    }

    const LeituraAba::Contexto& contexto_;
    VisitanteCelulas& visitante_;
    LeituraAba moldura_;
    RaizDaAba raiz_;
    std::unique_ptr<LeituraAba> sequencial_;
    AreaUsada area_;
    long long linha_ = 0;  // the last row number of the blocks delivered so far
};

class LeituraTextos : public ManipuladorXml {
public:
    LeituraTextos(TextosCompartilhados& textos, const std::string& arquivo,
                  const std::string& parte, const std::atomic<bool>& desistir)
        : textos_(textos), arquivo_(arquivo), parte_(parte), desistir_(desistir) {}

    void Inicio(const char* nome, const char**) override {
        const char* local = Local(nome);
        if (Igual(local, "si")) {
            emTexto_ = true;
            fonetica_ = 0;
            bruto_.clear();
        } else if (emTexto_ && Igual(local, "t")) {
            coletando_ = fonetica_ == 0;
        } else if (emTexto_ && Igual(local, "rPh")) {
            ++fonetica_;
        }
    }
    void Fim(const char* nome) override {
        const char* local = Local(nome);
        if (Igual(local, "t")) {
            coletando_ = false;
        } else if (Igual(local, "rPh")) {
            if (fonetica_ > 0) --fonetica_;
        } else if (emTexto_ && Igual(local, "si")) {
            emTexto_ = false;
            if (!textos_.Acrescenta(TextoCelula(bruto_, auxiliar_, convertido_)))
                throw ErroLeitura(arquivo_, "parte '" + parte_ + "'",
                                  "a tabela de textos compartilhados passa do tamanho aceitável");
            if (desistir_.load(std::memory_order_relaxed)) Encerra();
        }
    }
    void Texto(const char* texto, int tamanho) override {
        if (coletando_) Acumula(bruto_, texto, tamanho);
    }

private:
    TextosCompartilhados& textos_;
    const std::string& arquivo_;
    const std::string& parte_;
    const std::atomic<bool>& desistir_;
    bool emTexto_ = false;
    bool coletando_ = false;
    int fonetica_ = 0;
    std::string bruto_;
    std::string auxiliar_;
    std::string convertido_;
};

// The shared strings, loaded on a thread of their own while the worksheet is read. The
// thread opens the package again: one libzip archive is not read from two threads.
class CargaTextos {
public:
    // `parte` empty: a workbook without shared strings.
    CargaTextos(const PacoteZip& pacote, const std::string& parte)
        : caminho_(pacote.Caminho()), arquivo_(pacote.Nome()), parte_(parte) {
        if (parte_.empty())
            textos_.Termina(nullptr);
        else
            thread_ = std::thread([this] { Carrega(); });
    }
    ~CargaTextos() {
        desistir_ = true;
        if (thread_.joinable()) thread_.join();
    }
    CargaTextos(const CargaTextos&) = delete;
    CargaTextos& operator=(const CargaTextos&) = delete;

    TextosCompartilhados& Textos() { return textos_; }

private:
    void Carrega() {
        try {
            PacoteZip pacote(caminho_);
            const std::string parte = Utf8ParaCp1252(parte_);
            LeituraTextos leitura(textos_, arquivo_, parte, desistir_);
            PercorreParte(pacote, parte_, leitura, false);
            textos_.Termina(nullptr);
        } catch (...) {
            textos_.Termina(std::current_exception());
        }
    }

    const std::string caminho_;
    const std::string arquivo_;
    const std::string parte_;
    TextosCompartilhados textos_;
    std::atomic<bool> desistir_{false};
    std::thread thread_;
};

// --- The reader --------------------------------------------------------------------

class LeitorXlsx final : public LeitorPlanilha {
public:
    LeitorXlsx(std::unique_ptr<PacoteZip> pacote, const std::string& parteWorkbook)
        : pacote_(std::move(pacote)) {
        if (parteWorkbook.size() > 4 &&
            parteWorkbook.compare(parteWorkbook.size() - 4, 4, ".bin") == 0)
            throw ErroPlanilha(
                "O arquivo '" + pacote_->Nome() +
                "' é uma pasta de trabalho binária do Excel (.xlsb), formato que não "
                "é lido; salve-a como .xlsx.");
        LeituraWorkbook workbook(pacote_->Nome());
        PercorreParte(*pacote_, parteWorkbook, workbook, false);
        if (!workbook.raizWorkbook)
            throw ErroPlanilha("O arquivo '" + pacote_->Nome() +
                               "' não é uma planilha: a parte principal do pacote não é uma pasta "
                               "de trabalho do Excel.");
        data1904_ = workbook.data1904;
        const std::vector<Relacao> relacoes = LeRelacoes(*pacote_, parteWorkbook);
        std::unordered_map<std::string_view, const Relacao*> porId;
        for (const Relacao& r : relacoes) {
            porId.emplace(r.id, &r);
            if (r.tipo == "sharedStrings") parteTextos_ = r.alvo;
        }
        const std::string partesRelacoes = Utf8ParaCp1252(ParteRelacoes(parteWorkbook));
        for (const auto& folha : workbook.folhas) {
            const auto r = porId.find(folha.idRelacao);
            AbaXlsx aba{Utf8ParaCp1252(folha.nome), {}, {}};
            const std::string id = "'" + Utf8ParaCp1252(folha.idRelacao.substr(0, 40)) + "'";
            if (folha.idRelacao.empty()) {
                aba.defeito = "a aba não diz qual relação leva à sua parte";
            } else if (r == porId.end()) {
                // A damaged workbook: the sheet is listed, so that choosing it tells
                // what is wrong instead of moving the positions of the others.
                aba.defeito = "a relação " + id + ", que leva à parte da aba, não existe em '" +
                              partesRelacoes + "'";
            } else if (OutraFolha(r->second->tipo)) {
                continue;
            } else if (r->second->tipo != "worksheet") {
                aba.defeito = "a relação " + id + " leva à parte '" +
                              Utf8ParaCp1252(r->second->alvo) +
                              "', que não é uma planilha de células (relação do tipo '" +
                              Utf8ParaCp1252(r->second->tipo.substr(0, 40)) + "')";
            } else {
                aba.parte = r->second->alvo;
            }
            abas_.push_back(std::move(aba));
        }
    }

    std::vector<std::string> Abas() override {
        std::vector<std::string> nomes;
        for (const auto& a : abas_) nomes.push_back(a.nome);
        return nomes;
    }

    // Every <c> of the sheet widens its area, whatever its value: the area is measured
    // without the shared strings and without reading a value.
    std::optional<AreaUsada> MedeAba(int posicao) override {
        if (posicao < 1 || static_cast<size_t>(posicao) > abas_.size()) return std::nullopt;
        const auto nenhum = std::make_unique<TextosCompartilhados>();
        nenhum->Termina(nullptr);
        const AbaXlsx& aba = abas_[static_cast<size_t>(posicao) - 1];
        if (!aba.defeito.empty()) return std::nullopt;
        const LeituraAba::Contexto contexto{*nenhum, data1904_, pacote_->Nome(), aba.nome, true};
        class Nenhum final : public VisitanteCelulas {
            void Celula(int, int, std::string_view) override {}
        } nenhuma;
        LeituraAbaEmBlocos leitura(contexto, aba.parte, nenhuma);
        try {
            PercorreEmBlocos(*pacote_, aba.parte, "sheetData", leitura, "aba '" + aba.nome + "'");
        } catch (const ErroPlanilha&) {
            return std::nullopt;  // reading the sheet tells what is wrong, in its order
        }
        return leitura.Area();
    }

    AreaUsada LeAba(int posicao, VisitanteCelulas& visitante) override {
        if (posicao < 1 || static_cast<size_t>(posicao) > abas_.size())
            throw ErroLeitura(pacote_->Nome(), {},
                              "a aba " + std::to_string(posicao) + " não existe (a pasta tem " +
                                  std::to_string(abas_.size()) + " abas)");
        const AbaXlsx& aba = abas_[static_cast<size_t>(posicao) - 1];
        if (!aba.defeito.empty())
            throw ErroLeitura(pacote_->Nome(), "aba '" + aba.nome + "'", aba.defeito);
        // Loaded for each sheet read, and given up after it: a large table is not
        // held through the conversion that follows.
        CargaTextos carga(*pacote_, pacote_->Tem(parteTextos_) ? parteTextos_ : std::string());
        TextosCompartilhados& textos = carga.Textos();
        const LeituraAba::Contexto contexto{textos, data1904_, pacote_->Nome(), aba.nome};
        LeituraAbaEmBlocos leitura(contexto, aba.parte, visitante);
        try {
            PercorreEmBlocos(*pacote_, aba.parte, "sheetData", leitura, "aba '" + aba.nome + "'");
        } catch (const ErroPlanilha&) {
            // A broken shared-string table is the file's first fault: it comes first.
            textos.EsperaFim();
            throw;
        }
        textos.EsperaFim();
        return leitura.Area();
    }

private:
    std::unique_ptr<PacoteZip> pacote_;
    std::vector<AbaXlsx> abas_;
    bool data1904_ = false;
    std::string parteTextos_;
};

}  // namespace

std::string ParteWorkbookXlsx(PacoteZip& pacote) {
    if (pacote.Tem("_rels/.rels")) {
        for (const Relacao& r : LeRelacoes(pacote, ""))
            if (r.tipo == "officeDocument" && pacote.Tem(r.alvo)) return r.alvo;
    }
    if (pacote.Tem("xl/workbook.xml")) return "xl/workbook.xml";
    return {};
}

std::unique_ptr<LeitorPlanilha> AbreXlsx(std::unique_ptr<PacoteZip> pacote,
                                         const std::string& parteWorkbook) {
    return std::make_unique<LeitorXlsx>(std::move(pacote), parteWorkbook);
}

}  // namespace conversor::intake
