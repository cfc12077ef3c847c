// What every sheet mapping does around its own rows: walking the staging table with
// the progress display, and the small text helpers of the layouts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/regional.h"
#include "convert/contexto.h"
#include "convert/leiaute.h"
#include "convert/tipos.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {

// Walks the staging table from its first record to its end: shows the phase and, per
// record, "Processando Registro i de N", lets pending window messages run, calls
// `converteRegistro` with the record's number (counted from 1, whatever sheet row the
// table starts at), and advances the gauge; the display is cleared at the end. A
// sheet narrower than the layout is refused before its first record. A database
// error in a record is raised again naming the sheet row, which the database's own
// text cannot.
//
// In a rehearsal (`contexto.ensaio` active) the phase shown is "Conferindo a planilha,
// aguarde!", and each record runs under a savepoint: a record that fails is undone
// to it, noted as a failure of its row, and the walk goes on with the next record.
// The codes remembered by the toolkit are forgotten then, and so is whatever
// `esqueceMemorias` drops (a mapping's own memory of what it created), since the
// failed record's creations were undone too. The walk stops once the failures reach
// the most a rehearsal lists (Ensaio::kMaxPorGenero), saying where.
//
// Blank records (RegistroEmBranco) are skipped: the gauge passes them, nothing is
// converted.
//
// `exclusoes`, the purges that empty the kind's tables (each its own statement and its
// own way of failing), run first, in order, under the phase's caption and a step of the
// gauge each: on a large database each delete and its commit take a while. Every kind
// empties its tables this way and no other.
void PercorreTabelaTemp(ContextoConversao& contexto, const DescricaoTipo& tipo,
                        const std::function<void(int registro)>& converteRegistro,
                        const std::function<void()>& esqueceMemorias = {},
                        const std::vector<std::function<void()>>& exclusoes = {});

// The phase a rehearsal shows.
inline constexpr const char* kLegendaEnsaio = "Conferindo a planilha, aguarde!";

// Empty once blanks and control characters around it are dropped.
bool EmBranco(std::string_view texto);

// The current record holds nothing in any column the kind reads: it is no record, and
// the walk skips it (a product's code stays its row's number all the same).
bool RegistroEmBranco(const intake::TTabelaTemp& tabela, const LeiauteTipo& leiaute);

// Sheet rows from `primeira` to `ultima`, both included.
struct FaixaLinhas {
    long long primeira;
    long long ultima;
};

// The blank records of the table, as runs of sheet rows; leaves the table on its
// first record.
std::vector<FaixaLinhas> FaixasEmBranco(intake::TTabelaTemp& tabela, const LeiauteTipo& leiaute);
long long ContaLinhas(const std::vector<FaixaLinhas>& faixas);
// "12, 61 a 999999": the first `maximo` runs, and how many more there are.
std::string DescreveFaixas(const std::vector<FaixaLinhas>& faixas, size_t maximo);

}  // namespace conversor::convert
