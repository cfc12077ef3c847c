#include "convert/clients/converte_comp_clie.h"

#include "base/regional.h"

namespace conversor::convert {

namespace {

std::string Corta(std::string_view texto, size_t n) { return std::string(texto.substr(0, n)); }

}  // namespace

TConverteCompClie::TConverteCompClie(db::Conexao& database, Mensagens& mensagens)
    : TConversao(database, mensagens) {
    Limpa();
}

void TConverteCompClie::SetCodCliente(std::string_view texto) {
    campos_.CODCLIENTE = CompletaZeros(Corta(Apara(texto), 8), 8);
}

void TConverteCompClie::SetEnderecoNFe(std::string_view texto) {
    campos_.ENDERECONFE = Corta(texto, 60);
}

void TConverteCompClie::SetNumeroNFe(std::string_view texto) { campos_.NUMERONFE = Corta(texto, 5); }

void TConverteCompClie::SetComplementoNFe(std::string_view texto) {
    campos_.COMPLEMENTONFE = Corta(texto, 60);
}

void TConverteCompClie::Limpa() {
    campos_ = TCamposCompClie{};
    campos_.DATA_LIB = "01/01/1900";
}

void TConverteCompClie::ExcluiRegistros() { ExcluiEConfirma("Delete from COMPCLIE", "Commit;"); }

bool TConverteCompClie::Inserir() {
    db::Consulta& q = Query();
    q.DefineSql(
        "INSERT INTO COMPCLIE (  CODCLIENTE,   REFCOMERCIAIS,   REFBANCARIAS,   USUARIO,   "
        "DATA_LIB,   ENDERECONFE,   NUMERONFE,   COMPLEMENTONFE) "
        "VALUES               (:PCODCLIENTE, :PREFCOMERCIAIS, :PREFBANCARIAS, :PUSUARIO, "
        ":PDATA_LIB, :PENDERECONFE, :PNUMERONFE, :PCOMPLEMENTONFE) ");
    q.ParamTexto("PCODCLIENTE", campos_.CODCLIENTE);
    q.ParamBlobTexto("PREFCOMERCIAIS", campos_.REFCOMERCIAIS);
    q.ParamBlobTexto("PREFBANCARIAS", campos_.REFBANCARIAS);
    q.ParamTexto("PUSUARIO", campos_.USUARIO);
    q.ParamTexto("PENDERECONFE", campos_.ENDERECONFE);
    q.ParamTexto("PCOMPLEMENTONFE", campos_.COMPLEMENTONFE);
    q.ParamTexto("PNUMERONFE", campos_.NUMERONFE);
    q.ParamDataHora("PDATA_LIB", TextoParaData(campos_.DATA_LIB));
    q.Executa();
    Limpa();
    return true;
}

}  // namespace conversor::convert
