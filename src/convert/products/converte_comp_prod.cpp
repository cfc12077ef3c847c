#include "convert/products/converte_comp_prod.h"

namespace conversor::convert {

TConverteCompProd::TConverteCompProd(db::Conexao& database, Mensagens& mensagens)
    : TConversao(database, mensagens) {
    Limpa();
}

void TConverteCompProd::Limpa() {
    SetCODPROD("");
    SetQuantidade(0);
    SetPrecoCusto(0);
}

void TConverteCompProd::ExcluiRegistros() { ExcluiEConfirma("Delete from COMPPROD", "Commit;"); }

}  // namespace conversor::convert
