#include "convert/clients/registro_comp_clie.h"

#include "base/regional.h"
#include "convert/colunas.h"
#include "convert/limpeza.h"

namespace conversor::convert {

namespace {

using F = TCamposCompClie;
using R = TConverteCompClie;
using C = Coluna<F, R>;

// The columns of the insert, each bound to its parameter. A reset empties them (the
// code too: no setter pads it) and releases on 1 January 1900.
const C kColunas[] = {
    C::Texto("CODCLIENTE", 8, &F::CODCLIENTE).Parametro("PCODCLIENTE"),
    C::Texto("REFCOMERCIAIS", 0, &F::REFCOMERCIAIS)
        .Como(TipoColuna::Blob)
        .Parametro("PREFCOMERCIAIS"),
    C::Texto("REFBANCARIAS", 0, &F::REFBANCARIAS).Como(TipoColuna::Blob).Parametro("PREFBANCARIAS"),
    C::Texto("USUARIO", 0, &F::USUARIO).Parametro("PUSUARIO"),
    C::Texto("DATA_LIB", 0, &F::DATA_LIB, nullptr, "01/01/1900")
        .Como(TipoColuna::Data)
        .Parametro("PDATA_LIB"),
    C::Texto("ENDERECONFE", 60, &F::ENDERECONFE).Parametro("PENDERECONFE"),
    C::Texto("NUMERONFE", 5, &F::NUMERONFE).Parametro("PNUMERONFE"),
    C::Texto("COMPLEMENTONFE", 60, &F::COMPLEMENTONFE).Parametro("PCOMPLEMENTONFE"),
};

const FormaInsert kInsert{"INSERT INTO COMPCLIE (  ", ") VALUES               (", ") ", ",   "};

}  // namespace

TConverteCompClie::TConverteCompClie(db::Conexao& database, Mensagens& mensagens)
    : TRegistro(database, mensagens, kColunas, &kInsert, FormaGravacao::Parametros) {
    Limpa();
}

void TConverteCompClie::SetCodCliente(std::string_view texto) {
    campos_.CODCLIENTE = CodigoFixo(Apara(texto), 8);
}

void TConverteCompClie::SetEnderecoNFe(std::string_view texto) {
    campos_.ENDERECONFE = Primeiros(texto, 60);
}

void TConverteCompClie::SetNumeroNFe(std::string_view texto) {
    campos_.NUMERONFE = Primeiros(texto, 5);
}

void TConverteCompClie::SetComplementoNFe(std::string_view texto) {
    campos_.COMPLEMENTONFE = Primeiros(texto, 60);
}

void TConverteCompClie::ExcluiRegistros() { ExcluiEConfirma("Delete from COMPCLIE", "Commit;"); }

}  // namespace conversor::convert
