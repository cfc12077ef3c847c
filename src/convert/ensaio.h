// What a rehearsal of the run finds: the rows that would stop the real run
// (failures) and what would not stop it but deserves a look before loading
// (warnings). The rehearsal runs the very same sheet mapping in one transaction
// that is rolled back, so nothing it finds has touched the database.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/mensagens.h"

namespace conversor::convert {

// What a warning is about, so a summary can count them by kind.
enum class GeneroAviso {
    Outro,           // a message of the run's own
    Titulos,         // a first row that looks like headings
    TextoCortado,    // wider than its field
    CodigoRepetido,  // the same code twice in the sheet
    NumeroFiscal,    // CPF/CNPJ check digits
    LinhasDeFora,    // data below the last row given
    CadastroNovo,    // a city, unit, classification or manufacturer to be created
    TelefoneSemDdd,  // no area code: the city is not in the city table
    LinhasEmBranco,  // rows with nothing in the columns read, never written
};

// The kind's name in a summary ("Textos cortados").
inline const char* NomeDoGenero(GeneroAviso genero) {
    switch (genero) {
        case GeneroAviso::Titulos:
            return "Primeira linha de títulos";
        case GeneroAviso::TextoCortado:
            return "Textos cortados";
        case GeneroAviso::CodigoRepetido:
            return "Códigos repetidos";
        case GeneroAviso::NumeroFiscal:
            return "CPF/CNPJ inválidos";
        case GeneroAviso::LinhasDeFora:
            return "Linhas depois da última";
        case GeneroAviso::CadastroNovo:
            return "Cadastros que serão incluídos";
        case GeneroAviso::TelefoneSemDdd:
            return "Telefones sem DDD";
        case GeneroAviso::LinhasEmBranco:
            return "Linhas em branco";
        case GeneroAviso::Outro:
            break;
    }
    return "Outros";
}

// One problem of the sheet. Texts are Windows-1252.
struct Problema {
    long long linha = 0;  // the sheet row; 0 for the sheet as a whole
    int coluna = 0;       // the sheet column (through a map, the layout's); 0 when unknown
    std::string letra;    // the sheet column's letter ("BL"); empty when unknown or unmapped
    std::string texto;    // the cell's text
    std::string motivo;   // why, in Portuguese
    GeneroAviso genero = GeneroAviso::Outro;  // warnings only
    // Through a column map, the column as the person finds it in both places ("coluna
    // 66 DESCRICAO, da coluna C 'Descrição' da planilha"); empty without a map.
    std::string origem = {};
};

// How many warnings of each kind there were, in the order the kinds first appeared.
struct AvisosPorGenero {
    std::vector<std::pair<GeneroAviso, long long>> generos;

    // Counts one more of `genero`; returns how many of it there are now.
    long long Conta(GeneroAviso genero) {
        auto onde = std::find_if(generos.begin(), generos.end(),
                                 [genero](const auto& g) { return g.first == genero; });
        if (onde == generos.end()) onde = generos.insert(onde, {genero, 0});
        return ++onde->second;
    }
    long long Total() const {
        long long total = 0;
        for (const auto& g : generos) total += g.second;
        return total;
    }
};

// Where the problems of a run go. A rehearsal's notes them all; outside a rehearsal the
// run has none (Ensaio::Nenhum()), which records nothing, so the mappings and the
// toolkit report to it without asking which run they are in.
class Ensaio {
public:
    // The lists keep the first problems of each kind, the failures counting as one
    // kind; past that only the counts grow. A sheet where every row of a million is
    // wrong must not fill the memory with the same message a million times.
    static constexpr long long kMaxPorGenero = 10000;

    Ensaio() = default;
    // The sink of a run that is no rehearsal.
    static Ensaio& Nenhum() {
        static Ensaio nenhum(false);
        return nenhum;
    }
    // A rehearsal: a failing row is noted and the walk goes on.
    bool Ativo() const { return ativo_; }

    std::vector<Problema> falhas;
    std::vector<Problema> avisos;
    long long totalFalhas = 0;
    AvisosPorGenero avisosPorGenero;
    // The sheet row being converted; 0 outside the walk over the rows.
    long long linhaAtual = 0;

    void Falha(Problema problema) {
        if (!ativo_) return;
        if (++totalFalhas <= kMaxPorGenero) falhas.push_back(std::move(problema));
    }
    void Aviso(Problema problema) {
        if (!ativo_) return;
        if (avisosPorGenero.Conta(problema.genero) <= kMaxPorGenero)
            avisos.push_back(std::move(problema));
    }

private:
    explicit Ensaio(bool ativo) : ativo_(ativo) {}
    bool ativo_ = true;
};

// The toolkit's messages during a rehearsal: nothing pops up; each becomes a warning
// of the row being converted.
class MensagensDoEnsaio final : public Mensagens {
public:
    explicit MensagensDoEnsaio(Ensaio& ensaio) : ensaio_(ensaio) {}
    void Aviso(std::string_view texto) override { Anota(texto); }
    void Erro(std::string_view texto) override { Anota(texto); }
    void Informacao(std::string_view) override {}

private:
    void Anota(std::string_view texto) {
        Problema p;
        p.linha = ensaio_.linhaAtual;
        p.motivo = texto;
        ensaio_.Aviso(std::move(p));
    }
    Ensaio& ensaio_;
};

}  // namespace conversor::convert
