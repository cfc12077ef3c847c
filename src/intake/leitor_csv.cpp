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
constexpr size_t kMaxTextoCelula = size_t{16} << 20;

class Arquivo {
public:
    Arquivo(const std::string& caminho, const std::string& nome) : nome_(nome) {
        arquivo_ = std::fopen(caminho.c_str(), "rb");
        if (!arquivo_)
            throw ErroPlanilha("Não foi possível abrir o arquivo '" + nome_ + "': " +
                               Utf8ParaCp1252(std::strerror(errno)) + ".");
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

constexpr std::string_view kBom = "\xEF\xBB\xBF";

class LeitorCsv final : public LeitorPlanilha {
public:
    explicit LeitorCsv(const std::string& caminho)
        : caminho_(caminho), nome_(CaminhoParaMensagem(caminho)), aba_(NomeSemExtensao(caminho)) {
        Examina();
    }

    std::vector<std::string> Abas() override { return {aba_}; }

    AreaUsada LeAba(int posicao, VisitanteCelulas& visitante) override {
        if (posicao != 1)
            throw ErroPlanilha("O arquivo '" + nome_ + "' tem uma só planilha; não há a de número " +
                               std::to_string(posicao) + ".");
        return Le(visitante);
    }

private:
    // Encoding and separator. The file is UTF-8 when it starts with a byte-order mark
    // or when all of it is well-formed UTF-8; otherwise its bytes are Windows-1252.
    // The separator is the most frequent of ";", "," and TAB in the first record,
    // outside quotes, ";" on a tie or when there is none.
    void Examina() {
        Arquivo arquivo(caminho_, nome_);
        std::string pendente;  // a UTF-8 sequence broken by the end of a block
        bool inicio = true, valido = true, primeiroRegistro = true, aspas = false;
        size_t contagem[3] = {0, 0, 0};
        for (;;) {
            std::string_view bloco = arquivo.Bloco();
            if (bloco.empty()) break;
            if (inicio) {
                inicio = false;
                // A mark split by the block end is impossible: blocks are far longer.
                if (bloco.substr(0, kBom.size()) == kBom) {
                    bom_ = true;
                    bloco.remove_prefix(kBom.size());
                }
            }
            if (primeiroRegistro) {
                for (char ch : bloco) {
                    if (ch == '"') {
                        aspas = !aspas;
                    } else if (!aspas && (ch == '\r' || ch == '\n')) {
                        primeiroRegistro = false;
                        break;
                    } else if (!aspas) {
                        if (ch == ';') ++contagem[0];
                        else if (ch == ',') ++contagem[1];
                        else if (ch == '\t') ++contagem[2];
                    }
                }
            }
            if (valido && !bom_) {
                pendente.append(bloco);
                const size_t corte = FimDeSequenciasCompletas(pendente);
                valido = Utf8Valido(std::string_view(pendente).substr(0, corte));
                pendente.erase(0, corte);
            }
            if (!primeiroRegistro && (!valido || bom_)) break;
        }
        utf8_ = bom_ || (valido && pendente.empty());
        const size_t maior = std::max({contagem[0], contagem[1], contagem[2]});
        separador_ = maior == 0 || contagem[0] == maior ? ';' : contagem[1] == maior ? ',' : '\t';
    }

    // Where the last UTF-8 sequence of the text starts when the text ends before it
    // does; the text's size when it ends on a whole sequence.
    static size_t FimDeSequenciasCompletas(std::string_view t) {
        for (size_t volta = 1; volta <= 4 && volta <= t.size(); ++volta) {
            const unsigned char c = static_cast<unsigned char>(t[t.size() - volta]);
            if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
            const size_t comprimento = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3
                                                    : (c & 0xF8) == 0xF0 ? 4 : 1;
            return comprimento > volta ? t.size() - volta : t.size();
        }
        return t.size();
    }

    // RFC 4180 with the leniency of spreadsheet programs: CR LF, LF and CR each end a
    // record; a quoted cell keeps separators and line breaks as written, "" stands for
    // a quote; a quote inside an unquoted cell, or after the closing quote, is text;
    // a quote still open at the end of the file takes everything up to there.
    AreaUsada Le(VisitanteCelulas& visitante) {
        enum class Estado { InicioRegistro, InicioCampo, NoCampo, NasAspas, AposAspas };
        Arquivo arquivo(caminho_, nome_);
        AreaUsada area;
        Estado estado = Estado::InicioRegistro;
        std::string campo;
        int linha = 0, coluna = 0;  // the record being read and its fields so far
        long long linhaFisica = 1;  // line of the file, for messages
        long long linhaDoRegistro = 1;
        bool engoleLf = false;  // a CR just ended a line: an LF right after belongs to it
        bool inicio = true;

        const auto salvaCampo = [&] {
            if (coluna >= kMaxColunas)
                throw ErroPlanilha("A linha " + std::to_string(linha) + " do arquivo '" + nome_ +
                                   "' (linha " + std::to_string(linhaDoRegistro) +
                                   " do texto) tem mais de " + std::to_string(kMaxColunas) +
                                   " colunas.");
            ++coluna;
            if (!campo.empty()) visitante.Celula(linha, coluna, utf8_ ? Utf8ParaCp1252(campo) : campo);
            campo.clear();
        };
        const auto iniciaRegistro = [&] {
            if (linha >= kMaxLinhas)
                throw ErroPlanilha("O arquivo '" + nome_ + "' tem mais de " +
                                   std::to_string(kMaxLinhas) + " linhas (a linha " +
                                   std::to_string(linhaFisica) + " do texto passa do limite).");
            ++linha;
            coluna = 0;
            linhaDoRegistro = linhaFisica;
        };
        const auto fechaRegistro = [&] {
            area.ultimaLinha = linha;
            area.ultimaColuna = std::max(area.ultimaColuna, coluna);
            estado = Estado::InicioRegistro;
        };
        const auto anexa = [&](char ch) {
            if (campo.size() >= kMaxTextoCelula)
                throw ErroPlanilha("A célula da coluna " + std::to_string(coluna + 1) + ", linha " +
                                   std::to_string(linha) + " do arquivo '" + nome_ +
                                   "' passa de " + std::to_string(kMaxTextoCelula >> 20) +
                                   " MB (linha " + std::to_string(linhaDoRegistro) +
                                   " do texto); verifique se há aspas sem fechamento.");
            campo += ch;
        };

        for (;;) {
            std::string_view bloco = arquivo.Bloco();
            if (bloco.empty()) break;
            if (inicio) {
                inicio = false;
                if (bom_) bloco.remove_prefix(kBom.size());
            }
            for (const char ch : bloco) {
                const bool quebra = ch == '\r' || ch == '\n';
                if (engoleLf) {
                    engoleLf = false;
                    if (ch == '\n') {
                        if (estado == Estado::NasAspas) anexa(ch);
                        continue;
                    }
                }
                if (quebra) engoleLf = ch == '\r';
                switch (estado) {
                    case Estado::InicioRegistro:
                        iniciaRegistro();
                        if (quebra) {  // an empty line: a row without cells
                            fechaRegistro();
                            break;
                        }
                        estado = Estado::InicioCampo;
                        [[fallthrough]];
                    case Estado::InicioCampo:
                        if (quebra) {
                            salvaCampo();
                            fechaRegistro();
                        } else if (ch == '"') {
                            estado = Estado::NasAspas;
                        } else if (ch == separador_) {
                            salvaCampo();
                        } else {
                            anexa(ch);
                            estado = Estado::NoCampo;
                        }
                        break;
                    case Estado::NoCampo:
                        if (quebra) {
                            salvaCampo();
                            fechaRegistro();
                        } else if (ch == separador_) {
                            salvaCampo();
                            estado = Estado::InicioCampo;
                        } else {
                            anexa(ch);
                        }
                        break;
                    case Estado::NasAspas:
                        if (ch == '"') estado = Estado::AposAspas;
                        else anexa(ch);
                        break;
                    case Estado::AposAspas:
                        if (ch == '"') {
                            anexa(ch);
                            estado = Estado::NasAspas;
                        } else if (ch == separador_) {
                            salvaCampo();
                            estado = Estado::InicioCampo;
                        } else if (quebra) {
                            salvaCampo();
                            fechaRegistro();
                        } else {
                            anexa(ch);
                            estado = Estado::NoCampo;
                        }
                        break;
                }
                if (quebra) ++linhaFisica;
            }
        }
        if (estado != Estado::InicioRegistro) {  // the last record has no line break
            salvaCampo();
            fechaRegistro();
        }
        return area;
    }

    std::string caminho_;
    std::string nome_;  // the file name as messages show it
    std::string aba_;
    bool bom_ = false;
    bool utf8_ = false;
    char separador_ = ';';
};

}  // namespace

std::unique_ptr<LeitorPlanilha> AbreCsv(const std::string& caminho) {
    return std::make_unique<LeitorCsv>(caminho);
}

}  // namespace conversor::intake
