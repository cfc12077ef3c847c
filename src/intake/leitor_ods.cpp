// OpenDocument spreadsheets (.ods): the tables of content.xml.
//
// Rows and cells carry repetition counts, and spreadsheet programs write the empty
// rest of a sheet as one row or cell repeated to the sheet's end; repeated content is
// emitted once per repetition, repeated emptiness is only counted.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/caracteres.h"
#include "base/colunas.h"
#include "base/regional.h"
#include "intake/leitores.h"
#include "intake/leitura_blocos.h"
#include "intake/pacote_zip.h"
#include "intake/valores_xml.h"

namespace conversor::intake {
namespace {

constexpr std::string_view kNsOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view kNsTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view kNsText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr std::string_view kNsCalcext =
    "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";

// Raw UTF-8 kept for one cell: room for kMaxTextoCelula characters of four bytes.
constexpr size_t kMaxBrutoCelula = kMaxTextoCelula * 4;

// Repeated empty cells this long are whole-row or whole-column formatting, not data
// the user laid out, and do not widen the used area.
constexpr long long kRepeticaoFormatacao = 1000;

// Copies of filled cells a sheet may yield through repetition counts. A few bytes of
// XML can repeat a cell over the whole grid of 17 billion cells; no real sheet comes
// near this.
constexpr long long kMaxRepetidas = 100'000'000;

// Sheets listed at most; spreadsheet programs stay far below.
constexpr size_t kMaxAbas = 32767;

// Text kept of a row that repeats, to be emitted once per repetition.
constexpr size_t kMaxLinhaRepetida = size_t{64} << 20;

// Repetition counts are read up to here; anything larger already passes every bound.
constexpr long long kMaxRepeticao = 1LL << 31;

enum class Ns : uint8_t { Outro, Office, Table, Text, Calcext };

struct Nome {
    Ns ns = Ns::Outro;
    std::string_view local;
};

// A name of the namespace-aware parser: "namespace-uri|local-name".
Nome Divide(const char* nomeCompleto) {
    const std::string_view n(nomeCompleto);
    const size_t barra = n.rfind('|');
    if (barra == std::string_view::npos) return {Ns::Outro, n};
    const std::string_view uri = n.substr(0, barra);
    Nome r{Ns::Outro, n.substr(barra + 1)};
    if (uri == kNsTable)
        r.ns = Ns::Table;
    else if (uri == kNsText)
        r.ns = Ns::Text;
    else if (uri == kNsOffice)
        r.ns = Ns::Office;
    else if (uri == kNsCalcext)
        r.ns = Ns::Calcext;
    return r;
}

enum class Elemento : uint8_t {
    Outro,
    Planilha,     // office:spreadsheet
    Tabela,       // table:table
    GrupoLinhas,  // table:table-header-rows, table-row-group, table-rows
    Linha,        // table:table-row
    Celula,       // table:table-cell, table:covered-table-cell
    DataZero,     // table:null-date
    Paragrafo,    // text:p
    Espacos,      // text:s
    Tabulacao,    // text:tab
    Quebra,       // text:line-break
    ForaDoTexto,  // notes, bookmarks, page breaks inside a paragraph
};

Elemento Classifica(const Nome& n) {
    if (n.ns == Ns::Table) {
        if (n.local == "table-cell" || n.local == "covered-table-cell") return Elemento::Celula;
        if (n.local == "table-row") return Elemento::Linha;
        if (n.local == "table") return Elemento::Tabela;
        if (n.local == "table-header-rows" || n.local == "table-row-group" ||
            n.local == "table-rows")
            return Elemento::GrupoLinhas;
        if (n.local == "null-date") return Elemento::DataZero;
    } else if (n.ns == Ns::Text) {
        if (n.local == "p") return Elemento::Paragrafo;
        if (n.local == "s") return Elemento::Espacos;
        if (n.local == "tab") return Elemento::Tabulacao;
        if (n.local == "line-break") return Elemento::Quebra;
        if (n.local == "note" || n.local == "bookmark" || n.local == "bookmark-start" ||
            n.local == "bookmark-end" || n.local == "soft-page-break")
            return Elemento::ForaDoTexto;
    } else if (n.ns == Ns::Office && n.local == "spreadsheet") {
        return Elemento::Planilha;
    }
    return Elemento::Outro;
}

// A repetition or span count: at least 1, at most kMaxRepeticao; junk reads as 1.
long long Contagem(const char* t) {
    long long n = 0;
    int digitos = 0;
    for (; Digito(*t); ++t, ++digitos)
        if (n < kMaxRepeticao) n = n * 10 + (*t - '0');
    if (digitos == 0 || *t || n < 1) return 1;
    return std::min(n, kMaxRepeticao);
}

// The text of one cell as its paragraphs write it (UTF-8, up to kMaxBrutoCelula bytes):
// every run of blanks is one space, text:s, text:tab and text:line-break are spelled
// out, paragraphs after the first start a new line, and what sits outside the text
// (annotations and the like) is left out.
class TextoDaCelulaOds {
public:
    // A new cell.
    void Reinicia() {
        paragrafos_ = 0;
        fimPrimeiro_ = std::string::npos;
        bruto_.clear();
    }
    // The cell ended.
    void Termina() { emParagrafo_ = false; }

    const std::string& Bruto() const { return bruto_; }
    int Paragrafos() const { return paragrafos_; }
    // The first paragraph alone: what an error value shows.
    std::string_view Primeiro() const { return std::string_view(bruto_).substr(0, fimPrimeiro_); }

    bool Coletando() const { return emParagrafo_ && profIgnorado_ == 0; }

    // Blanks on either side of an element do not run together.
    void NovoElemento() { espacoColapsado_ = false; }

    // A paragraph of the cell at depth `prof`.
    void IniciaParagrafo(size_t prof) {
        if (paragrafos_ > 0) Acrescenta("\n", 1);
        ++paragrafos_;
        emParagrafo_ = true;
        profParagrafo_ = prof;
    }

    // An element at depth `prof` ended.
    void Fecha(size_t prof) {
        if (profIgnorado_ == prof) profIgnorado_ = 0;
    }

    void FechaParagrafo(size_t prof) {
        if (emParagrafo_ && prof == profParagrafo_) {
            emParagrafo_ = false;
            if (paragrafos_ == 1) fimPrimeiro_ = bruto_.size();
        }
    }

    // An element whose content is not the cell's text, at depth `prof`.
    void Ignora(size_t prof) {
        if (emParagrafo_ && profIgnorado_ == 0) profIgnorado_ = prof;
    }

    void Acrescenta(const char* t, size_t n) {
        if (bruto_.size() + n <= kMaxBrutoCelula) bruto_.append(t, n);
    }

    // text:s, the spaces that count: text:c of them, one when it says nothing.
    void AcrescentaEspacos(const char** atributos) {
        long long n = 1;
        for (const char** a = atributos; *a; a += 2) {
            const Nome an = Divide(a[0]);
            if (an.ns == Ns::Text && an.local == "c") n = Contagem(a[1]);
        }
        n = std::min<long long>(n, static_cast<long long>(kMaxBrutoCelula));
        for (long long i = 0; i < n && bruto_.size() < kMaxBrutoCelula; ++i) bruto_ += ' ';
    }

    void Texto(const char* texto, int tamanho) {
        for (int i = 0; i < tamanho && bruto_.size() < kMaxBrutoCelula; ++i) {
            if (BrancoXml(texto[i])) {
                if (!espacoColapsado_) bruto_ += ' ';
                espacoColapsado_ = true;
            } else {
                bruto_ += texto[i];
                espacoColapsado_ = false;
            }
        }
    }

private:
    bool emParagrafo_ = false;
    size_t profParagrafo_ = 0;
    size_t profIgnorado_ = 0;
    int paragrafos_ = 0;
    size_t fimPrimeiro_ = std::string::npos;
    bool espacoColapsado_ = false;
    std::string bruto_;
};

// Reads content.xml either to list the sheets or to stream one of them.
class LeituraConteudo : public ManipuladorXml {
public:
    // `alvo` 0 only lists the sheet names; kTodas measures every sheet's used area in
    // one pass, without a visitor.
    static constexpr int kTodas = -1;
    LeituraConteudo(int alvo, VisitanteCelulas* visitante, const std::string& arquivo)
        : alvo_(alvo), visitante_(visitante), arquivo_(arquivo) {
        pilha_.reserve(64);
    }

    std::vector<std::string> nomes;  // Windows-1252, in workbook order
    std::vector<AreaUsada> areas;    // kTodas: of each sheet read to its end, in order
    AreaUsada area;
    bool achou = false;
    bool temPlanilha = false;  // the document's body is a spreadsheet
    std::string nomeAlvo;

    void Inicio(const char* nome, const char** atributos) override {
        const Elemento e = Classifica(Divide(nome));
        const Elemento pai = pilha_.empty() ? Elemento::Outro : pilha_.back();
        pilha_.push_back(e);
        const size_t prof = pilha_.size();
        texto_.NovoElemento();
        switch (e) {
            case Elemento::Planilha:
                temPlanilha = true;
                break;
            case Elemento::DataZero:
                LeDataZero(atributos);
                break;
            case Elemento::Tabela:
                if (pai == Elemento::Planilha) IniciaTabela(atributos, prof);
                break;
            case Elemento::Linha:
                if (emAlvo_ && !emLinha_ &&
                    (prof == profTabela_ + 1 || pai == Elemento::GrupoLinhas))
                    IniciaLinha(atributos, prof);
                break;
            case Elemento::Celula:
                if (emLinha_ && !emCelula_ && prof == profLinha_ + 1) IniciaCelula(atributos, prof);
                break;
            case Elemento::Paragrafo:
                if (emCelula_ && prof == profCelula_ + 1) texto_.IniciaParagrafo(prof);
                break;
            case Elemento::Espacos:
                if (texto_.Coletando()) texto_.AcrescentaEspacos(atributos);
                break;
            case Elemento::Tabulacao:
                if (texto_.Coletando()) texto_.Acrescenta("\t", 1);
                break;
            case Elemento::Quebra:
                if (texto_.Coletando()) texto_.Acrescenta("\n", 1);
                break;
            case Elemento::ForaDoTexto:
                texto_.Ignora(prof);
                break;
            default:
                break;
        }
    }

    void Fim(const char*) override {
        const Elemento e = pilha_.back();
        const size_t prof = pilha_.size();
        pilha_.pop_back();
        texto_.NovoElemento();
        texto_.Fecha(prof);
        switch (e) {
            case Elemento::Paragrafo:
                texto_.FechaParagrafo(prof);
                break;
            case Elemento::Celula:
                if (emCelula_ && prof == profCelula_) TerminaCelula();
                break;
            case Elemento::Linha:
                if (emLinha_ && prof == profLinha_) TerminaLinha();
                break;
            case Elemento::Tabela:
                if (emAlvo_ && prof == profTabela_) TerminaTabela();
                break;
            default:
                break;
        }
    }

    // ODF paragraph text: every run of blanks is one space; spaces that count are
    // written as text:s.
    void Texto(const char* texto, int tamanho) override {
        if (texto_.Coletando()) texto_.Texto(texto, tamanho);
    }

private:
    [[noreturn]] void Falha(const std::string& motivo, long long linha = 0, long long coluna = 0) {
        std::string onde = "aba '" + nomeAlvo + "'";
        if (linha > 0 && coluna > 0) onde += ", célula " + EnderecoCelula(linha, coluna);
        throw ErroLeitura(arquivo_, onde, motivo);
    }

    void LeDataZero(const char** atributos) {
        for (const char** a = atributos; *a; a += 2) {
            const Nome an = Divide(a[0]);
            if (an.ns != Ns::Table || an.local != "date-value") continue;
            // The date part only ("1904-01-01").
            int ano = 0, mes = 0, dia = 0;
            if (std::sscanf(a[1], "%4d-%2d-%2d", &ano, &mes, &dia) == 3 &&
                DataValida(ano, mes, dia))
                diaZero_ = CodificaData(ano, mes, dia);
        }
    }

    void IniciaTabela(const char** atributos, size_t prof) {
        ++tabelas_;
        std::string nome;
        for (const char** a = atributos; *a; a += 2) {
            const Nome an = Divide(a[0]);
            if (an.ns == Ns::Table && an.local == "name") nome = Utf8ParaCp1252(a[1]);
        }
        if (alvo_ == 0) {
            if (nomes.size() >= kMaxAbas)
                throw ErroLeitura(arquivo_, {},
                                  "a planilha tem mais de " + std::to_string(kMaxAbas) + " abas");
            nomes.push_back(std::move(nome));
        } else if (tabelas_ == alvo_ || alvo_ == kTodas) {
            achou = true;
            emAlvo_ = true;
            profTabela_ = prof;
            nomeAlvo = std::move(nome);
            area = {};
            linha_ = 0;
            repetidas_ = 0;
        }
    }

    // The sheet read to its end: its area is kept, or the reading ends with it.
    void TerminaTabela() {
        emAlvo_ = false;
        if (alvo_ == kTodas)
            areas.push_back(area);
        else
            Encerra();
    }

    void IniciaLinha(const char** atributos, size_t prof) {
        repeticaoLinha_ = 1;
        for (const char** a = atributos; *a; a += 2) {
            const Nome an = Divide(a[0]);
            if (an.ns == Ns::Table && an.local == "number-rows-repeated")
                repeticaoLinha_ = Contagem(a[1]);
        }
        emLinha_ = true;
        profLinha_ = prof;
        coluna_ = 0;
        celulasLinha_.clear();
        textosLinha_.clear();
    }

    void IniciaCelula(const char** atributos, size_t prof) {
        emCelula_ = true;
        profCelula_ = prof;
        repeticaoCelula_ = 1;
        linhasUnidas_ = colunasUnidas_ = 1;
        formatada_ = erro_ = false;
        tipo_.clear();
        valor_.clear();
        temValor_ = temTextoValor_ = false;
        texto_.Reinicia();
        for (const char** a = atributos; *a; a += 2) {
            const Nome an = Divide(a[0]);
            if (an.ns == Ns::Table) {
                if (an.local == "number-columns-repeated")
                    repeticaoCelula_ = Contagem(a[1]);
                else if (an.local == "number-rows-spanned")
                    linhasUnidas_ = Contagem(a[1]);
                else if (an.local == "number-columns-spanned")
                    colunasUnidas_ = Contagem(a[1]);
                else if (an.local == "style-name")
                    formatada_ = true;
            } else if (an.ns == Ns::Office) {
                if (an.local == "value-type")
                    tipo_ = a[1];
                else if (an.local == "string-value") {
                    textoValor_ = a[1];
                    temTextoValor_ = true;
                }
            } else if (an.ns == Ns::Calcext) {
                if (an.local == "value-type" && std::strcmp(a[1], "error") == 0) erro_ = true;
            }
        }
        LeValor(atributos);
    }

    // The value attribute that the cell's type calls for.
    void LeValor(const char** atributos) {
        const char* atributoValor = tipo_ == "date"      ? "date-value"
                                    : tipo_ == "time"    ? "time-value"
                                    : tipo_ == "boolean" ? "boolean-value"
                                                         : "value";
        for (const char** a = atributos; *a; a += 2) {
            const Nome an = Divide(a[0]);
            if (an.ns == Ns::Office && an.local == atributoValor) {
                valor_ = a[1];
                temValor_ = true;
            }
        }
    }

    // The cell's text by its value type, in Windows-1252.
    std::string_view TextoDaCelula(long long linha, long long coluna) {
        if (erro_) {
            return Converte(texto_.Primeiro());
        }
        if (tipo_ == "float" || tipo_ == "percentage" || tipo_ == "currency") {
            if (!temValor_) return Converte(texto_.Bruto());
            if (!NumeroXmlParaTexto(valor_, numero_))
                Falha("valor numérico inválido '" + Utf8ParaCp1252(valor_.substr(0, 40)) + "'",
                      linha, coluna);
            return numero_;
        }
        if (tipo_ == "date" || tipo_ == "time") {
            if (!temValor_) return Converte(texto_.Bruto());
            double dias = 0;
            const bool ok = tipo_ == "date" ? DataIsoParaDias(valor_, diaZero_, dias)
                                            : DuracaoParaDias(valor_, dias);
            if (!ok)
                Falha((tipo_ == "date" ? "data inválida '" : "hora inválida '") +
                          Utf8ParaCp1252(valor_.substr(0, 40)) + "'",
                      linha, coluna);
            numero_ = NumeroParaTexto(dias);
            return numero_;
        }
        if (tipo_ == "boolean") {
            if (!temValor_) return Converte(texto_.Bruto());
            return valor_ == "true" || valor_ == "1" ? "True" : "False";
        }
        if (tipo_ == "string" || (tipo_.empty() && texto_.Paragrafos() > 0))
            return Converte(temTextoValor_
                                ? std::string_view(textoValor_).substr(0, kMaxBrutoCelula)
                                : std::string_view(texto_.Bruto()));
        return {};
    }

    std::string_view Converte(std::string_view utf8) {
        convertido_ = Utf8ParaCp1252(utf8);
        if (convertido_.size() > kMaxTextoCelula) convertido_.resize(kMaxTextoCelula);
        return convertido_;
    }

    void TerminaCelula() {
        emCelula_ = false;
        texto_.Termina();
        const long long linha = linha_ + 1;
        const long long coluna = coluna_ + 1;
        const long long ultimaLinha = linha_ + repeticaoLinha_;
        const long long ultimaColuna = coluna_ + repeticaoCelula_;
        coluna_ = ultimaColuna;

        const std::string_view texto = TextoDaCelula(linha, coluna);
        if (!texto.empty()) {
            EntregaCelula(linha, coluna, ultimaLinha, ultimaColuna, texto);
        } else if (formatada_ && repeticaoCelula_ < kRepeticaoFormatacao &&
                   repeticaoLinha_ < kRepeticaoFormatacao) {
            Amplia(ultimaLinha, ultimaColuna);
        }
        if (linhasUnidas_ > 1 || colunasUnidas_ > 1)
            Amplia(linha + linhasUnidas_ - 1, coluna + colunasUnidas_ - 1);
    }

    // A cell with a text, as many times as it and its row are repeated, within the
    // sheet's limits: to the visitor now, or once its repeated row ends.
    void EntregaCelula(long long linha, long long coluna, long long ultimaLinha,
                       long long ultimaColuna, std::string_view texto) {
        if (ultimaLinha > kMaxLinhas || ultimaColuna > kMaxColunas)
            Falha("há conteúdo além dos limites da planilha (" + std::to_string(kMaxLinhas) +
                      " linhas, " + std::to_string(kMaxColunas) + " colunas)",
                  std::min<long long>(ultimaLinha, kMaxLinhas + 1LL),
                  std::min<long long>(ultimaColuna, kMaxColunas + 1LL));
        repetidas_ += repeticaoLinha_ * repeticaoCelula_ - 1;
        if (repetidas_ > kMaxRepetidas)
            Falha("a aba repete células demais (mais de " + std::to_string(kMaxRepetidas) +
                  " cópias de células preenchidas)");
        Amplia(ultimaLinha, ultimaColuna);
        if (!visitante_) {
            // Measuring only.
        } else if (repeticaoLinha_ == 1) {
            for (long long k = 0; k < repeticaoCelula_; ++k)
                visitante_->Celula(static_cast<int>(linha), static_cast<int>(coluna + k), texto);
        } else {
            // A repeated row is emitted when it ends, once per repetition.
            if (textosLinha_.size() + texto.size() > kMaxLinhaRepetida)
                Falha("uma linha repetida tem conteúdo demais (mais de " +
                          std::to_string(kMaxLinhaRepetida >> 20) + " MB)",
                      linha, coluna);
            celulasLinha_.push_back({coluna, repeticaoCelula_, textosLinha_.size(), texto.size()});
            textosLinha_.append(texto);
        }
    }

    void Amplia(long long linha, long long coluna) {
        linha = std::min<long long>(linha, kMaxLinhas);
        coluna = std::min<long long>(coluna, kMaxColunas);
        area.ultimaLinha = std::max(area.ultimaLinha, static_cast<int>(linha));
        area.ultimaColuna = std::max(area.ultimaColuna, static_cast<int>(coluna));
    }

    void TerminaLinha() {
        emLinha_ = false;
        const long long primeira = linha_ + 1;
        linha_ += repeticaoLinha_;
        if (celulasLinha_.empty()) return;
        const std::string_view textos(textosLinha_);
        for (long long r = primeira; r <= linha_; ++r)
            for (const CelulaRepetida& c : celulasLinha_) {
                const std::string_view t = textos.substr(c.inicio, c.tamanho);
                for (long long k = 0; k < c.repeticoes; ++k)
                    visitante_->Celula(static_cast<int>(r), static_cast<int>(c.coluna + k), t);
            }
    }

    struct CelulaRepetida {
        long long coluna;
        long long repeticoes;
        size_t inicio;
        size_t tamanho;
    };

    const int alvo_;
    VisitanteCelulas* visitante_;
    const std::string& arquivo_;

    std::vector<Elemento> pilha_;
    int tabelas_ = 0;
    double diaZero_ = 0;  // table:null-date, 30/12/1899 unless the document says otherwise

    bool emAlvo_ = false;
    size_t profTabela_ = 0;
    long long linha_ = 0;      // rows of the sheet already read
    long long repetidas_ = 0;  // cells emitted beyond one per cell element

    bool emLinha_ = false;
    size_t profLinha_ = 0;
    long long repeticaoLinha_ = 1;
    long long coluna_ = 0;
    std::vector<CelulaRepetida> celulasLinha_;  // a repeated row's non-empty cells
    std::string textosLinha_;                   // their texts, one after the other

    bool emCelula_ = false;
    size_t profCelula_ = 0;
    long long repeticaoCelula_ = 1;
    long long linhasUnidas_ = 1;
    long long colunasUnidas_ = 1;
    bool formatada_ = false;
    bool erro_ = false;
    std::string tipo_;
    std::string valor_;
    bool temValor_ = false;
    std::string textoValor_;
    bool temTextoValor_ = false;

    TextoDaCelulaOds texto_;
    std::string numero_;
    std::string convertido_;
};

class LeitorOds final : public LeitorPlanilha {
public:
    explicit LeitorOds(std::unique_ptr<PacoteZip> pacote) : pacote_(std::move(pacote)) {}

    std::vector<std::string> Abas() override {
        if (!listadas_) {
            LeituraConteudo leitura(0, nullptr, pacote_->Nome());
            PercorreParte(*pacote_, "content.xml", leitura, true);
            // Another document's content (a text, a drawing) under a spreadsheet's
            // mimetype: a damaged file, not a workbook without sheets.
            if (!leitura.temPlanilha)
                throw ErroLeitura(pacote_->Nome(), "parte 'content.xml'",
                                  "o conteúdo não é o de uma planilha (falta o elemento "
                                  "office:spreadsheet)");
            nomes_ = std::move(leitura.nomes);
            listadas_ = true;
        }
        return nomes_;
    }

    // Every sheet is measured in one pass over content.xml, the first time one is asked
    // for: sheet by sheet, each pass would go through all the sheets before it.
    std::optional<AreaUsada> MedeAba(int posicao) override {
        if (!medidas_) {
            LeituraConteudo leitura(LeituraConteudo::kTodas, nullptr, pacote_->Nome());
            try {
                PercorreParte(*pacote_, "content.xml", leitura, true);
            } catch (const ErroPlanilha&) {
                // The sheets read to their end before the fault keep their measure.
            }
            areas_ = std::move(leitura.areas);
            medidas_ = true;
        }
        if (posicao < 1 || static_cast<size_t>(posicao) > areas_.size()) return std::nullopt;
        return areas_[static_cast<size_t>(posicao) - 1];
    }

    AreaUsada LeAba(int posicao, VisitanteCelulas& visitante) override {
        if (posicao < 1) throw ErroAba(posicao);
        const std::string onde = listadas_ && static_cast<size_t>(posicao) <= nomes_.size()
                                     ? "aba '" + nomes_[static_cast<size_t>(posicao) - 1] + "'"
                                     : "aba " + std::to_string(posicao);
        LeituraConteudo leitura(posicao, &visitante, pacote_->Nome());
        PercorreParte(*pacote_, "content.xml", leitura, true, onde);
        if (!leitura.achou) throw ErroAba(posicao);
        return leitura.area;
    }

private:
    ErroPlanilha ErroAba(int posicao) {
        return ErroLeitura(pacote_->Nome(), {},
                           "a aba " + std::to_string(posicao) + " não existe (a pasta tem " +
                               std::to_string(Abas().size()) + " abas)");
    }

    std::unique_ptr<PacoteZip> pacote_;
    bool listadas_ = false;
    std::vector<std::string> nomes_;
    bool medidas_ = false;
    std::vector<AreaUsada> areas_;
};

}  // namespace

bool EhPlanilhaOds(PacoteZip& pacote) {
    std::string tipo = pacote.LeInicio("mimetype", 128);
    while (!tipo.empty() && BrancoXml(tipo.back())) tipo.pop_back();
    return tipo == "application/vnd.oasis.opendocument.spreadsheet" ||
           tipo == "application/vnd.oasis.opendocument.spreadsheet-template";
}

std::unique_ptr<LeitorPlanilha> AbreOds(std::unique_ptr<PacoteZip> pacote) {
    return std::make_unique<LeitorOds>(std::move(pacote));
}

}  // namespace conversor::intake
