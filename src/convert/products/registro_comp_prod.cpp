#include "convert/products/registro_comp_prod.h"

#include "convert/colunas.h"
#include "convert/limpeza.h"

namespace conversor::convert {

namespace {

using F = TCamposCompProd;
using R = TConverteCompProd;
using C = Coluna<F, R>;

// The columns of COMPPROD the record holds for the stock movement.
const C kColunas[] = {
    C::Texto("CODPROD", 6, &F::CODPROD, &R::SetCODPROD),
    C::Numero("Quantidade", &F::Quantidade),
    C::Numero("PrecoCusto", &F::PrecoCusto),
};

}  // namespace

TConverteCompProd::TConverteCompProd(db::Conexao& database, Mensagens& mensagens)
    : TRegistro(database, mensagens, kColunas, nullptr, FormaGravacao::Texto) {
    Limpa();
}

void TConverteCompProd::SetCODPROD(std::string_view valor) {
    campos_.CODPROD = CompletaZeros(valor, 6);
}

void TConverteCompProd::ExcluiRegistros() { ExcluiEConfirma("Delete from COMPPROD", "Commit;"); }

}  // namespace conversor::convert
