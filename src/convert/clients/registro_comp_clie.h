// The client complement: the row of COMPCLIE that goes with each client (references,
// release date, the address parts of electronic invoices), written with parameters.
#pragma once

#include <string>
#include <string_view>

#include "convert/registro_base.h"

namespace conversor::convert {

// The row's values, named after the COMPCLIE columns. REFCOMERCIAIS, REFBANCARIAS and
// USUARIO have no setter and are written empty; DATA_LIB is a date text in the short
// date format.
struct TCamposCompClie {
    std::string CODCLIENTE, REFCOMERCIAIS, REFBANCARIAS, USUARIO, DATA_LIB;
    std::string ENDERECONFE, NUMERONFE, COMPLEMENTONFE;

    bool operator==(const TCamposCompClie&) const = default;
};

class TConverteCompClie : public TRegistro<TCamposCompClie, TConverteCompClie> {
public:
    TConverteCompClie(db::Conexao& database, Mensagens& mensagens);

    // The values travel as parameters, so nothing is unquoted: only cut (and the code
    // trimmed and padded to eight digits, as the client's).
    void SetCodCliente(std::string_view texto);
    void SetEnderecoNFe(std::string_view texto);
    void SetNumeroNFe(std::string_view texto);
    void SetComplementoNFe(std::string_view texto);

    // Everything empty, released on 1 January 1900.
    using TRegistro::Limpa;

    // Empties COMPCLIE and commits the run's work so far. Errors pass to the caller.
    void ExcluiRegistros();

    // Writes the row and resets the record; a database error passes to the caller
    // and the record keeps its values.
    using TRegistro::Inserir;
};

}  // namespace conversor::convert
