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

void TConverteProdutoDetalhe::MontaInsert(MontagemSql& sql) const {
    sql << " Insert Into ProdutoDetalhe ("
           " CODPROD, CONTROLERECEITUARIO, CODIGOATIVIDADE, CODIGOLISTASERVICO,"
           " ESPELHOMERCSERV, IMPORTADOPORTOSEGURO, CODPROMOCAO, ALIQPIS, PIS_CST, PISENT_CST,"
           " PIS_ST, ALIQCOFINS, ALIQPISENT, ALIQCOFINSENT, COFINS_CST, COFINSENT_CST,"
           " COFINS_ST, CODCSOSN, PRECOMAXVENDA, PONTOBONUS"
           ")  Values (";
    sql.Texto(CODPROD_) << ", ";
    sql.Texto(CONTROLERECEITUARIO_) << ", ";
    sql.Texto(CODIGOATIVIDADE_) << ", ";
    sql.Texto(CODIGOLISTASERVICO_) << ", ";
    sql.Texto(ESPELHOMERCSERV_) << ", ";
    sql.Texto(IMPORTADOPORTOSEGURO_) << ", ";
    sql.Inteiro(CODPROMOCAO_) << ", ";
    sql.Numero(ALIQPIS_) << ", ";
    sql.Texto(PIS_CST_) << ", ";
    sql.Texto(PISENT_CST_) << ", ";
    sql.Inteiro(PIS_ST_) << ", ";
    sql.Numero(ALIQCOFINS_) << ", ";
    sql.Numero(ALIQPISENT_) << ", ";
    sql.Numero(ALIQCOFINSENT_) << ", ";
    sql.Texto(COFINS_CST_) << ", ";
    sql.Texto(COFINSENT_CST_) << ", ";
    sql.Inteiro(COFINS_ST_) << ", ";
    sql.Texto(CODCSOSN_) << ", ";
    sql.Numero(PRECOMAXVENDA_) << ", ";
    sql.Inteiro(PONTOBONUS_) << ") ";
}

std::string TConverteProdutoDetalhe::TextoInsert() const {
    MontagemSql sql(false);
    MontaInsert(sql);
    return sql.sql;
}

bool TConverteProdutoDetalhe::Inserir() {
    ExecutaLinha([this](MontagemSql& sql) { MontaInsert(sql); });
    Limpa();
    return true;
}

void TConverteProdutoDetalhe::ExcluiRegistros() { ExcluiEConfirma("Delete from PRODUTODETALHE", "Commit;"); }

}  // namespace conversor::convert
