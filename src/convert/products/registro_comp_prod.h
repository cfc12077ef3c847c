// The product complement: empties COMPPROD at the start of a product run and carries
// each product's opening stock (code, quantity, unit cost) to its stock movement. It
// writes no rows of its own.
#pragma once

#include <string>
#include <string_view>

#include "convert/registro_base.h"

namespace conversor::convert {

struct TCamposCompProd {
    std::string CODPROD;
    double Quantidade = 0;
    double PrecoCusto = 0;

    bool operator==(const TCamposCompProd&) const = default;
};

class TConverteCompProd : public TRegistro<TCamposCompProd, TConverteCompProd> {
public:
    TConverteCompProd(db::Conexao& database, Mensagens& mensagens);

    // Padded with zeros to six characters, neither trimmed nor cut.
    void SetCODPROD(std::string_view valor);
    void SetQuantidade(double valor) { campos_.Quantidade = valor; }
    void SetPrecoCusto(double valor) { campos_.PrecoCusto = valor; }

    // Deletes every product complement and commits.
    void ExcluiRegistros();
};

}  // namespace conversor::convert
