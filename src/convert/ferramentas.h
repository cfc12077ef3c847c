// The operations the sheet mappings share beyond the converters: the reference-table
// lookups (city, fiscal classification, manufacturer) and the telephone helpers with
// the area-code table of cities.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "convert/ensaio.h"
#include "convert/mensagens.h"
#include "db/conexao.h"

namespace conversor::convert {

class TabelaDDD;  // the city table DCETCIDA.DBF, read once

// Lives for one run (or longer); the connection and the message display are not
// owned and must outlive it.
class TFerramentas {
public:
    // `arquivoCidades`: the path of DCETCIDA.DBF; empty means the file beside the
    // executable. The file is read at the first BuscaDDD, not before.
    TFerramentas(db::Conexao& dbVantora, Mensagens& mensagens, std::string arquivoCidades = {});
    ~TFerramentas();

    // The city table already read (by the run, before anything, so that a table that
    // cannot be read stops it once instead of failing every row).
    void UsaTabelaDDD(std::shared_ptr<const TabelaDDD> tabela) { tabelaDDD_ = std::move(tabela); }

    // Code of the row found or created (and committed); never raises: a failure is
    // shown as a warning and what was known at that moment is returned.
    std::string BuscaCidade(std::string_view cidade, std::string_view estado);
    std::string BuscaClassificacaoFiscal(std::string_view ncm);
    std::string BuscaFabricante(std::string_view fabricante);

    static std::string FormataTelefone(std::string_view texto);
    // The city's area code from the city table, or empty; raises when the table
    // cannot be read.
    std::string BuscaDDD(std::string_view cidade, std::string_view estado);

    // The telephone rule of the sheet mappings: a blank cell or "." gives an empty
    // text; otherwise the number with the city's area code in front (unless its first
    // number, before any letter or "/", already carries one) in normal form.
    std::string Telefone(std::string_view cidade, std::string_view estado, std::string_view numero);

    // Reference rows created since construction, per table (for the run's summary).
    int CriadosCidades() const { return criadosCidades_; }
    int CriadosClassificacoes() const { return criadosClassificacoes_; }
    int CriadosFabricantes() const { return criadosFabricantes_; }

    // Within one conversion run nobody else writes the reference tables, so the
    // codes found or created, and the absence of a key that may not be created, can
    // be remembered and handed out again without asking the database (a key with
    // blanks at its end is the same key, as the database compares it); a lookup that
    // failed is not remembered and is tried (and reported) again. Off by default:
    // outside a run the tables may change.
    void LembraCodigos(bool lembra);
    bool LembraCodigos() const { return lembra_; }

    // In a rehearsal: each reference row about to be created, and each telephone left
    // without its area code, becomes a warning of the row being converted.
    void DefineEnsaio(Ensaio& ensaio) { ensaio_ = &ensaio; }

private:
    struct Referencia;  // one reference table: its statements and remembered codes
    std::string BuscaOuCria(Referencia& ref, const std::string& chave1, const std::string& chave2,
                            bool podeCriar, int& criados);
    void AvisaCriacao(Referencia& ref, const std::string& chave1, const std::string& chave2);

    db::Conexao& dbVantora_;
    Mensagens& mensagens_;
    std::string arquivoCidades_;
    std::shared_ptr<const TabelaDDD> tabelaDDD_;
    bool lembra_ = false;
    Ensaio* ensaio_ = &Ensaio::Nenhum();
    std::unique_ptr<Referencia> cidades_;
    std::unique_ptr<Referencia> classificacoes_;
    std::unique_ptr<Referencia> fabricantes_;
    int criadosCidades_ = 0;
    int criadosClassificacoes_ = 0;
    int criadosFabricantes_ = 0;
};

}  // namespace conversor::convert
