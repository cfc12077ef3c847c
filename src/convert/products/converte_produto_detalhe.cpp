#include "convert/products/converte_produto_detalhe.h"

#include "base/regional.h"

namespace conversor::convert {

TConverteProdutoDetalhe::TConverteProdutoDetalhe(db::Conexao& database, Mensagens& mensagens)
    : TConversao(database, mensagens) {
    Regional().formatoDataCurta = "dd/mm/yyyy";
    Limpa();
}

void TConverteProdutoDetalhe::Limpa() {
    CODPROD_.clear();
    CONTROLERECEITUARIO_.clear();
    CODIGOATIVIDADE_.clear();
    CODIGOLISTASERVICO_.clear();
    ESPELHOMERCSERV_.clear();
    IMPORTADOPORTOSEGURO_.clear();
    CODPROMOCAO_ = 0;
    ALIQPIS_ = 0;
    PIS_CST_.clear();
    PISENT_CST_.clear();
    PIS_ST_ = 0;
    ALIQCOFINS_ = 0;
    COFINS_CST_.clear();
    COFINSENT_CST_.clear();
    COFINS_ST_ = 0;
    CODCSOSN_.clear();
    PRECOMAXVENDA_ = 0;
    PONTOBONUS_ = 0;
    // ALIQPISENT and ALIQCOFINSENT stay: the entry rates hold for every later product.
}

std::string TConverteProdutoDetalhe::TextoInsert() const {
    const auto I = [](std::int32_t n) { return std::to_string(n); };
    return " Insert Into ProdutoDetalhe ("
           " CODPROD, CONTROLERECEITUARIO, CODIGOATIVIDADE, CODIGOLISTASERVICO,"
           " ESPELHOMERCSERV, IMPORTADOPORTOSEGURO, CODPROMOCAO, ALIQPIS, PIS_CST, PISENT_CST,"
           " PIS_ST, ALIQCOFINS, ALIQPISENT, ALIQCOFINSENT, COFINS_CST, COFINSENT_CST,"
           " COFINS_ST, CODCSOSN, PRECOMAXVENDA, PONTOBONUS"
           ")  Values (" +
           Aspas(CODPROD_) + ", " + Aspas(CONTROLERECEITUARIO_) + ", " + Aspas(CODIGOATIVIDADE_) +
           ", " + Aspas(CODIGOLISTASERVICO_) + ", " + Aspas(ESPELHOMERCSERV_) + ", " +
           Aspas(IMPORTADOPORTOSEGURO_) + ", " + I(CODPROMOCAO_) + ", " + NumeroParaSql(ALIQPIS_) +
           ", " + Aspas(PIS_CST_) + ", " + Aspas(PISENT_CST_) + ", " + I(PIS_ST_) + ", " +
           NumeroParaSql(ALIQCOFINS_) + ", " + NumeroParaSql(ALIQPISENT_) + ", " +
           NumeroParaSql(ALIQCOFINSENT_) + ", " + Aspas(COFINS_CST_) + ", " +
           Aspas(COFINSENT_CST_) + ", " + I(COFINS_ST_) + ", " + Aspas(CODCSOSN_) + ", " +
           NumeroParaSql(PRECOMAXVENDA_) + ", " + I(PONTOBONUS_) + ") ";
}

bool TConverteProdutoDetalhe::Inserir() {
    db::Consulta& q = Query();
    q.DefineSql(TextoInsert());
    q.Executa();
    Limpa();
    return true;
}

void TConverteProdutoDetalhe::ExcluiRegistros() {
    db::Consulta& q = QueryAux();
    q.Fecha();
    q.DefineSql("Delete from PRODUTODETALHE");
    q.Executa();
    q.Fecha();
    q.DefineSql("Commit;");
    q.Executa();
}

}  // namespace conversor::convert
