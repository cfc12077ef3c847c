#include "convert/products/registro_produto_detalhe.h"

#include "base/regional.h"
#include "convert/colunas.h"

namespace conversor::convert {

namespace {

using F = TCamposProdutoDetalhe;
using R = TConverteProdutoDetalhe;
using C = Coluna<F, R>;

// The columns of the INSERT, in its order; the values are written as set.
const C kColunas[] = {
    C::Texto("CODPROD", 0, &F::CODPROD),
    C::Texto("CONTROLERECEITUARIO", 0, &F::CONTROLERECEITUARIO),
    C::Texto("CODIGOATIVIDADE", 0, &F::CODIGOATIVIDADE),
    C::Texto("CODIGOLISTASERVICO", 0, &F::CODIGOLISTASERVICO),
    C::Texto("ESPELHOMERCSERV", 0, &F::ESPELHOMERCSERV),
    C::Texto("IMPORTADOPORTOSEGURO", 0, &F::IMPORTADOPORTOSEGURO),
    C::Inteiro("CODPROMOCAO", &F::CODPROMOCAO),
    C::Numero("ALIQPIS", &F::ALIQPIS),
    C::Texto("PIS_CST", 0, &F::PIS_CST),
    C::Texto("PISENT_CST", 0, &F::PISENT_CST),
    C::Inteiro("PIS_ST", &F::PIS_ST),
    C::Numero("ALIQCOFINS", &F::ALIQCOFINS),
    // The entry rates hold for every later product: a reset leaves them.
    C::Numero("ALIQPISENT", &F::ALIQPISENT).Mantida(),
    C::Numero("ALIQCOFINSENT", &F::ALIQCOFINSENT).Mantida(),
    C::Texto("COFINS_CST", 0, &F::COFINS_CST),
    C::Texto("COFINSENT_CST", 0, &F::COFINSENT_CST),
    C::Inteiro("COFINS_ST", &F::COFINS_ST),
    C::Texto("CODCSOSN", 0, &F::CODCSOSN),
    C::Numero("PRECOMAXVENDA", &F::PRECOMAXVENDA),
    C::Inteiro("PONTOBONUS", &F::PONTOBONUS),
};

const FormaInsert kInsert{" Insert Into ProdutoDetalhe ( ", ")  Values (", ") "};

}  // namespace

TConverteProdutoDetalhe::TConverteProdutoDetalhe(db::Conexao& database, Mensagens& mensagens,
                                                 bool comandosPreparados)
    : TRegistro(database, mensagens, kColunas, &kInsert, FormaGravacao::Texto, comandosPreparados) {
    Regional().formatoDataCurta = "dd/mm/yyyy";
    Limpa();
}

void TConverteProdutoDetalhe::ExcluiRegistros() {
    ExcluiEConfirma("Delete from PRODUTODETALHE", "Commit;");
}

}  // namespace conversor::convert
