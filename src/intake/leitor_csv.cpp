// Text files of separated values, read the way spreadsheet programs open them: one
// sheet named after the file, every cell the text as written.
//
// The file is streamed in blocks, never held whole: a first pass decides the encoding
// and the separator, each LeAba reads it again from the start.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/regional.h"
#include "intake/leitores.h"

namespace conversor::intake {
namespace {

constexpr size_t kBloco = size_t{64} << 10;
// One cell longer than this is taken for a quote left open rather than for data.
constexpr size_t kMaxCampo = size_t{16} << 20;

class Arquivo {
public:
    Arquivo(const std::string& caminho, const std::string& nome) : nome_(nome) {
        arquivo_ = std::fopen(caminho.c_str(), "rb");
        if (!arquivo_)
            throw ErroPlanilha("Não foi possível abrir o arquivo '" + nome_ +
                               "': " + Utf8ParaCp1252(std::strerror(errno)) + ".");
    }
    Arquivo(const Arquivo&) = delete;
    Arquivo& operator=(const Arquivo&) = delete;
    ~Arquivo() { std::fclose(arquivo_); }

    // The next block of the file; empty at its end.
    std::string_view Bloco() {
        const size_t n = std::fread(buffer_.data(), 1, buffer_.size(), arquivo_);
        if (n == 0 && std::ferror(arquivo_))
            throw ErroPlanilha("Erro ao ler o arquivo '" + nome_ + "'.");
        return std::string_view(buffer_.data(), n);
    }

private:
    const std::string& nome_;
    std::FILE* arquivo_;
    std::vector<char> buffer_ = std::vector<char>(kBloco);
};

// How the text is written, told by the byte-order mark at its start.
enum class Marca { Nenhuma, Utf8, Utf16LE, Utf16BE };

Marca MarcaDe(std::string_view inicio) {
    if (inicio.substr(0, 3) == "\xEF\xBB\xBF") return Marca::Utf8;
    if (inicio.substr(0, 2) == "\xFF\xFE") return Marca::Utf16LE;
    if (inicio.substr(0, 2) == "\xFE\xFF") return Marca::Utf16BE;
    return Marca::Nenhuma;
}

size_t TamanhoDa(Marca m) { return m == Marca::Utf8 ? 3 : m == Marca::Nenhuma ? 0 : 2; }

// The file's text block by block, without its byte-order mark. UTF-16 (what
// spreadsheet programs save as "Unicode text") comes out as UTF-8, so that the rest
// of the reader sees one of the two 8-bit forms; a unit cut by a block's end waits for
// the next block, and a surrogate without its pair becomes U+FFFD (a "?" in the end).
class Texto {
public:
    Texto(const std::string& caminho, const std::string& nome) : arquivo_(caminho, nome) {}

    Marca marca() const { return marca_; }

    std::string_view Bloco() {
        std::string_view bloco = arquivo_.Bloco();
        if (inicio_) {
            inicio_ = false;
            // A mark split by the block end is impossible: blocks are far longer.
            marca_ = MarcaDe(bloco);
            bloco.remove_prefix(TamanhoDa(marca_));
        }
        if (marca_ != Marca::Utf16LE && marca_ != Marca::Utf16BE) return bloco;
        return DeUtf16(bloco);
    }

private:
    std::string_view DeUtf16(std::string_view bytes) {
        utf8_.clear();
        if (bytes.empty()) {  // the end: what is left over has no pair
            if (sobra_ || alto_) AnexaUtf8(utf8_, 0xFFFD);
            sobra_ = false;
            alto_ = 0;
            return utf8_;
        }
        const bool le = marca_ == Marca::Utf16LE;
        size_t i = 0;
        const auto unidade = [&](unsigned char a, unsigned char b) {
            const char16_t u = static_cast<char16_t>(le ? a | b << 8 : a << 8 | b);
            if (alto_) {
                if (u >= 0xDC00 && u <= 0xDFFF) {
                    AnexaUtf8(utf8_, 0x10000 + ((alto_ - 0xD800) << 10) + (u - 0xDC00));
                    alto_ = 0;
                    return;
                }
                AnexaUtf8(utf8_, 0xFFFD);
                alto_ = 0;
            }
            if (u >= 0xD800 && u <= 0xDBFF)
                alto_ = u;
            else if (u >= 0xDC00 && u <= 0xDFFF)
                AnexaUtf8(utf8_, 0xFFFD);
            else
                AnexaUtf8(utf8_, u);
        };
        if (sobra_) {
            unidade(static_cast<unsigned char>(byteSobra_), static_cast<unsigned char>(bytes[0]));
            sobra_ = false;
            i = 1;
        }
        for (; i + 1 < bytes.size(); i += 2)
            unidade(static_cast<unsigned char>(bytes[i]), static_cast<unsigned char>(bytes[i + 1]));
        if (i < bytes.size()) {
            sobra_ = true;
            byteSobra_ = bytes[i];
        }
        // Nothing whole yet is not the end of the file.
        if (utf8_.empty()) return Bloco();
        return utf8_;
    }

    Arquivo arquivo_;
    bool inicio_ = true;
    Marca marca_ = Marca::Nenhuma;
    std::string utf8_;
    bool sobra_ = false;  // the first byte of a unit cut by the block's end
    char byteSobra_ = 0;
    char16_t alto_ = 0;  // a high surrogate waiting for its pair
};

// Control characters that text files hold; any other (NUL above all) is binary data.
bool ControleDeTexto(unsigned char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x1A;
}

// The records and fields of the text, character by character, handed to the visitor.
//
// RFC 4180 with the leniency of spreadsheet programs: CR LF, LF and CR each end a
// record; a quoted cell keeps separators and line breaks as written, "" stands for
// a quote; a quote inside an unquoted cell, or after the closing quote, is text.
// A quote still open at the end of the file is a damaged file: spreadsheet programs
// put the rest of the file into that one cell, and the rows after it would be lost
// without a word.
class AnaliseCsv {
public:
    AnaliseCsv(VisitanteCelulas& visitante, const std::string& nome, char separador, bool utf8)
        : visitante_(visitante), nome_(nome), separador_(separador), utf8_(utf8) {}

    void Caractere(char ch) {
        const bool quebra = ch == '\r' || ch == '\n';
        if (engoleLf_) {
            engoleLf_ = false;
            if (ch == '\n') {
                if (estado_ == Estado::NasAspas) Anexa(ch);
                return;
            }
        }
        if (quebra) engoleLf_ = ch == '\r';
        switch (estado_) {
            case Estado::InicioRegistro:
                IniciaRegistro();
                if (quebra) {  // an empty line: a row without cells
                    FechaRegistro();
                    break;
                }
                estado_ = Estado::InicioCampo;
                [[fallthrough]];
            case Estado::InicioCampo:
                if (quebra) {
                    SalvaCampo();
                    FechaRegistro();
                } else if (ch == '"') {
                    estado_ = Estado::NasAspas;
                    linhaDasAspas_ = linhaFisica_;
                } else if (ch == separador_) {
                    SalvaCampo();
                } else {
                    Anexa(ch);
                    estado_ = Estado::NoCampo;
                }
                break;
            case Estado::NoCampo:
                if (quebra) {
                    SalvaCampo();
                    FechaRegistro();
                } else if (ch == separador_) {
                    SalvaCampo();
                    estado_ = Estado::InicioCampo;
                } else {
                    Anexa(ch);
                }
                break;
            case Estado::NasAspas:
                if (ch == '"')
                    estado_ = Estado::AposAspas;
                else
                    Anexa(ch);
                break;
            case Estado::AposAspas:
                if (ch == '"') {
                    Anexa(ch);
                    estado_ = Estado::NasAspas;
                } else if (ch == separador_) {
                    SalvaCampo();
                    estado_ = Estado::InicioCampo;
                } else if (quebra) {
                    SalvaCampo();
                    FechaRegistro();
                } else {
                    Anexa(ch);
                    estado_ = Estado::NoCampo;
                }
                break;
        }
        if (quebra) ++linhaFisica_;
    }

    // The end of the text; the used area.
    AreaUsada Termina() {
        if (estado_ == Estado::NasAspas)
            throw ErroPlanilha("As aspas abertas na célula da coluna " +
                               std::to_string(coluna_ + 1) + ", linha " + std::to_string(linha_) +
                               " do arquivo '" + nome_ + "' (linha " +
                               std::to_string(linhaDasAspas_) +
                               " do texto) não se fecham até o fim do arquivo: o arquivo está "
                               "danificado, ou faltam as aspas de fechamento. Feche-as (aspas "
                               "dentro do texto vão dobradas: \"\") e tente de novo.");
        if (estado_ != Estado::InicioRegistro) {  // the last record has no line break
            SalvaCampo();
            FechaRegistro();
        }
        return area_;
    }

private:
    enum class Estado { InicioRegistro, InicioCampo, NoCampo, NasAspas, AposAspas };

    void SalvaCampo() {
        if (coluna_ >= kMaxColunas)
            throw ErroPlanilha("A linha " + std::to_string(linha_) + " do arquivo '" + nome_ +
                               "' (linha " + std::to_string(linhaDoRegistro_) +
                               " do texto) tem mais de " + std::to_string(kMaxColunas) +
                               " colunas.");
        ++coluna_;
        if (!campo_.empty())
            visitante_.Celula(linha_, coluna_, utf8_ ? Utf8ParaCp1252(campo_) : campo_);
        campo_.clear();
    }

    void IniciaRegistro() {
        if (linha_ >= kMaxLinhas)
            throw ErroPlanilha("O arquivo '" + nome_ + "' tem mais de " +
                               std::to_string(kMaxLinhas) + " linhas (a linha " +
                               std::to_string(linhaFisica_) + " do texto passa do limite).");
        ++linha_;
        coluna_ = 0;
        linhaDoRegistro_ = linhaFisica_;
    }

    void FechaRegistro() {
        area_.ultimaLinha = linha_;
        area_.ultimaColuna = std::max(area_.ultimaColuna, coluna_);
        estado_ = Estado::InicioRegistro;
    }

    void Anexa(char ch) {
        if (campo_.size() >= kMaxCampo)
            throw ErroPlanilha("A célula da coluna " + std::to_string(coluna_ + 1) + ", linha " +
                               std::to_string(linha_) + " do arquivo '" + nome_ + "' passa de " +
                               std::to_string(kMaxCampo >> 20) + " MB (linha " +
                               std::to_string(linhaDoRegistro_) +
                               " do texto); verifique se há aspas sem fechamento.");
        campo_ += ch;
    }

    VisitanteCelulas& visitante_;
    const std::string& nome_;
    const char separador_;
    const bool utf8_;
    AreaUsada area_;
    Estado estado_ = Estado::InicioRegistro;
    std::string campo_;
    int linha_ = 0, coluna_ = 0;  // the record being read and its fields so far
    long long linhaFisica_ = 1;   // line of the file, for messages
    long long linhaDoRegistro_ = 1;
    long long linhaDasAspas_ = 1;  // where the quoted cell being read opened
    bool engoleLf_ = false;        // a CR just ended a line: an LF right after belongs to it
};

class LeitorCsv final : public LeitorPlanilha {
public:
    explicit LeitorCsv(const std::string& caminho)
        : caminho_(caminho), nome_(CaminhoParaMensagem(caminho)), aba_(NomeSemExtensao(caminho)) {
        Examina();
    }

    std::vector<std::string> Abas() override { return {aba_}; }

    AreaUsada LeAba(int posicao, VisitanteCelulas& visitante) override {
        if (posicao != 1)
            throw ErroPlanilha("O arquivo '" + nome_ +
                               "' tem uma só planilha; não há a de número " +
                               std::to_string(posicao) + ".");
        return Le(visitante);
    }

private:
    // Encoding and separator. UTF-16 needs its byte-order mark. Otherwise the file is
    // UTF-8 when it starts with the mark or when all of it is well-formed UTF-8, and
    // Windows-1252 when not; either way, control characters that no text holds (what
    // a binary file is full of) refuse it. The separator is the most frequent of ";",
    // "," and TAB in the first record, outside quotes, ";" on a tie or when there is
    // none.
    void Examina() {
        Texto texto(caminho_, nome_);
        std::string pendente;  // a UTF-8 sequence broken by the end of a block
        bool inicio = true, valido = true, primeiroRegistro = true, aspas = false;
        size_t contagem[3] = {0, 0, 0};
        long long lidos = 0;
        for (;;) {
            const std::string_view bloco = texto.Bloco();
            if (bloco.empty()) break;
            if (inicio) {
                inicio = false;
                marca_ = texto.marca();
            }
            const bool utf16 = marca_ == Marca::Utf16LE || marca_ == Marca::Utf16BE;
            if (!utf16) {
                for (size_t i = 0; i < bloco.size(); ++i) {
                    const auto c = static_cast<unsigned char>(bloco[i]);
                    if (c < 0x20 && !ControleDeTexto(c))
                        throw ErroPlanilha(
                            "O arquivo '" + nome_ +
                            "' não é um texto de valores separados (.csv): tem dados binários "
                            "(o byte " +
                            std::to_string(lidos + static_cast<long long>(i) +
                                           static_cast<long long>(TamanhoDa(marca_)) + 1) +
                            " é um caractere de controle). Se for texto Unicode, salve-o com a "
                            "marca de ordem dos bytes (BOM).");
                }
                lidos += static_cast<long long>(bloco.size());
            }
            if (primeiroRegistro) {
                for (char ch : bloco) {
                    if (ch == '"') {
                        aspas = !aspas;
                    } else if (!aspas && (ch == '\r' || ch == '\n')) {
                        primeiroRegistro = false;
                        break;
                    } else if (!aspas) {
                        if (ch == ';')
                            ++contagem[0];
                        else if (ch == ',')
                            ++contagem[1];
                        else if (ch == '\t')
                            ++contagem[2];
                    }
                }
            }
            if (valido && marca_ == Marca::Nenhuma) {
                pendente.append(bloco);
                const size_t corte = FimDeSequenciasCompletas(pendente);
                valido = Utf8Valido(std::string_view(pendente).substr(0, corte));
                pendente.erase(0, corte);
            }
            if (!primeiroRegistro && (!valido || marca_ != Marca::Nenhuma)) break;
        }
        utf8_ = marca_ != Marca::Nenhuma || (valido && pendente.empty());
        const size_t maior = std::max({contagem[0], contagem[1], contagem[2]});
        separador_ = maior == 0 || contagem[0] == maior ? ';' : contagem[1] == maior ? ',' : '\t';
    }

    // Where the last UTF-8 sequence of the text starts when the text ends before it
    // does; the text's size when it ends on a whole sequence.
    static size_t FimDeSequenciasCompletas(std::string_view t) {
        for (size_t volta = 1; volta <= 4 && volta <= t.size(); ++volta) {
            const unsigned char c = static_cast<unsigned char>(t[t.size() - volta]);
            if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
            const size_t comprimento = c < 0x80             ? 1
                                       : (c & 0xE0) == 0xC0 ? 2
                                       : (c & 0xF0) == 0xE0 ? 3
                                       : (c & 0xF8) == 0xF0 ? 4
                                                            : 1;
            return comprimento > volta ? t.size() - volta : t.size();
        }
        return t.size();
    }

    AreaUsada Le(VisitanteCelulas& visitante) {
        Texto texto(caminho_, nome_);
        AnaliseCsv analise(visitante, nome_, separador_, utf8_);
        for (;;) {
            const std::string_view bloco = texto.Bloco();
            if (bloco.empty()) break;
            for (const char ch : bloco) analise.Caractere(ch);
        }
        return analise.Termina();
    }

    std::string caminho_;
    std::string nome_;  // the file name as messages show it
    std::string aba_;
    Marca marca_ = Marca::Nenhuma;
    bool utf8_ = false;
    char separador_ = ';';
};

}  // namespace

std::unique_ptr<LeitorPlanilha> AbreCsv(const std::string& caminho) {
    return std::make_unique<LeitorCsv>(caminho);
}

}  // namespace conversor::intake
