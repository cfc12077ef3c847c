// The product complement: empties COMPPROD at the start of a product run and carries
// each product's opening stock (code, quantity, unit cost) to its stock movement. It
// writes no rows of its own.
#pragma once

#include <string>
#include <string_view>

#include "convert/conversao.h"

namespace conversor::convert {

class TConverteCompProd : public TConversao {
public:
    TConverteCompProd(db::Conexao& database, Mensagens& mensagens);

    // Padded with zeros to six characters, neither trimmed nor cut.
    void SetCODPROD(std::string_view valor) { CODPROD_ = CompletaZeros(valor, 6); }
    void SetQuantidade(double valor) { Quantidade_ = valor; }
    void SetPrecoCusto(double valor) { PrecoCusto_ = valor; }

    const std::string& CODPROD() const { return CODPROD_; }
    double Quantidade() const { return Quantidade_; }
    double PrecoCusto() const { return PrecoCusto_; }

    void Limpa();

    // Deletes every product complement and commits.
    void ExcluiRegistros();

private:
    std::string CODPROD_;
    double Quantidade_ = 0;
    double PrecoCusto_ = 0;
};

}  // namespace conversor::convert
