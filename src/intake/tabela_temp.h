// The staging table: the chosen sheet copied into memory before any record is
// converted, so the sheet mappings read only this table and never the workbook.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/regional.h"
#include "intake/grade.h"
#include "intake/progresso.h"

namespace conversor::intake {

class TDMCotrolaExcel;

// A wrong use of the staging table: a column it does not have, a sheet too big.
class ErroTabelaTemp : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A cell that is not the number its column needs. The message names the cell; the
// fields say which it is, for a list of the sheet's problems.
class ErroCelula : public ErroConversao {
public:
    ErroCelula(const std::string& mensagem, int coluna, std::string texto, std::string motivo)
        : ErroConversao(mensagem),
          coluna_(coluna),
          texto_(std::move(texto)),
          motivo_(std::move(motivo)) {}
    int Coluna() const { return coluna_; }
    const std::string& Texto() const { return texto_; }
    // The reason alone, without the cell's place.
    const std::string& Motivo() const { return motivo_; }

private:
    int coluna_;
    std::string texto_;
    std::string motivo_;
};

// In-memory table of text columns named "1" to "N" after the sheet's column
// numbers, one record per sheet row. Owned by the main window (`cdsTabelaTemp`)
// for its whole life; every load rebuilds it. Cells hold at most 100 characters
// (Windows-1252). A load from a sheet shares the rows the driver read instead of
// copying them (the table keeps them alive until the next load), so a record
// costs four bytes besides the sheet itself; records appended one by one keep
// their non-empty cells compactly.
class TTabelaTemp {
public:
    static constexpr size_t kTamanhoCampo = 100;

    // Drops the columns and records and defines the columns "1" to `colunas`
    // (at most kMaxColunas), with no records. Records of `planilha`'s rows can
    // then be appended with AnexaLinhaDaPlanilha.
    void Recria(int colunas, std::shared_ptr<const GradePlanilha> planilha = nullptr);

    // Lets go of everything, as before the first load.
    void Libera();

    // Room for this many records, so a load grows its memory once.
    void Reserva(size_t registros);

    int Colunas() const { return colunas_; }

    // The sheet row of the first record; the later records follow it row by row.
    // Messages name this row, while the records are still counted from 1.
    void DefinePrimeiraLinha(int linha) { primeiraLinha_ = linha; }
    // The current record's sheet row (0 when the table has no records).
    long long LinhaDaPlanilha() const {
        return registros_.empty() ? 0 : static_cast<long long>(atual_) + primeiraLinha_;
    }

    // Which sheet column each column of the table shows: column k shows sheet column
    // `origem[k - 1]`, or stays empty where that is 0. Without it (the default, and
    // after Recria) column k is sheet column k. Records appended by hand are not
    // affected.
    void DefineOrigem(std::vector<int> origem) { origem_ = std::move(origem); }

    // Appends the record of sheet row `linha` (empty texts when the row has no
    // cells) and leaves the table on it.
    void AnexaLinhaDaPlanilha(int linha);

    // Appending by hand: NovoRegistro starts a record at the end, DefineCampo sets
    // one of its cells (cut to 100 characters; a column set twice keeps the later
    // text), Grava posts it and leaves the table on it. A record not posted is
    // dropped by the next NovoRegistro, Cancela, AnexaLinhaDaPlanilha or Recria.
    void NovoRegistro();
    void DefineCampo(int coluna, std::string_view texto);
    void Grava();
    void Cancela();

    // Moving through the posted records. Next on the last record sets Eof and stays
    // there; an empty table is at Eof after First.
    void First();
    void Next();
    bool Eof() const { return eof_; }
    int RecordCount() const { return static_cast<int>(registros_.size()); }
    // The current record's number (1-based; 0 when the table has no records).
    int RecNo() const { return registros_.empty() ? 0 : atual_ + 1; }

    // A cell of the current record, by column name ("1" to "N") or number. The
    // text of an empty table is empty. A name the table does not have raises
    // ErroTabelaTemp naming it. Numero reads the text with the decimal comma and
    // raises ErroCelula for an empty text or one that is not a number.
    std::string Texto(std::string_view nome) const;
    std::string Texto(int coluna) const;
    std::string_view TextoVista(int coluna) const;  // valid until the table changes
    double Numero(std::string_view nome) const;
    double Numero(int coluna) const;

private:
    static constexpr uint32_t kVazio = 0xFFFFFFFFu;    // a record without cells
    static constexpr uint32_t kProprio = 0x80000000u;  // a row of proprios_, not of the sheet

    int ColunaDoNome(std::string_view nome) const;
    void ExigeColuna(int coluna) const;
    double NumeroDe(int coluna, std::string_view nome) const;
    void Posta(uint32_t registro);

    int colunas_ = 0;
    int primeiraLinha_ = 1;
    std::vector<int> origem_;
    std::shared_ptr<const GradePlanilha> planilha_;
    GradePlanilha proprios_;
    // Per record: a row index of planilha_, kProprio plus a row index of
    // proprios_, or kVazio.
    std::vector<uint32_t> registros_;
    int atual_ = 0;
    bool eof_ = true;
    bool editando_ = false;
    std::vector<std::pair<int, std::string>> pendente_;  // the record being appended
};

// What of the sheet a load takes besides its last row: the first row (the rows above
// it, titles and headings, are left out), and the column map (see
// TTabelaTemp::DefineOrigem), which also sets the number of columns.
struct RecorteCarga {
    long long primeiraLinha = 1;
    std::vector<int> origem;
};

// Copies rows 1..ultimaLinha (from recorte.primeiraLinha on) of the driver's current
// sheet into the table: columns "1" to UltimaColuna (to the map's size with a map),
// one record per row (rows past the used area give records of empty texts), showing
// per record "Processando Registro i de L" and letting window messages run. A last
// row below 0 or above kMaxLinhas, or a first row below 1 or past the last row
// (other than the first row 1 of an empty sheet), raises before anything is touched;
// records posted before an error stay.
void CarregaTabelaTemp(TDMCotrolaExcel& excel, TTabelaTemp& tabela, long long ultimaLinha,
                       Progresso& progresso, const RecorteCarga& recorte = {});

// The check of the rows CarregaTabelaTemp makes before it touches anything, for a
// caller that has more to check first (a column map against the headings above the
// first row): raises ErroTabelaTemp when the rows cannot be loaded.
void ConfereLinhas(long long primeiraLinha, long long ultimaLinha);

}  // namespace conversor::intake
