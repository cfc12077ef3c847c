#include "convert/products/registro_produto.h"

#include "base/regional.h"
#include "convert/colunas.h"
#include "convert/limpeza.h"

namespace conversor::convert {

namespace {

using F = TCamposProduto;
using R = TConverteProduto;
using C = Coluna<F, R>;

// The columns of the INSERT, in its order, with what a reset gives each one.
const C kColunas[] = {
    C::Texto("Produto.CODPROD", 6, &F::CODPROD, &R::SetCODPROD),
    C::Texto("Produto.TIPOPROD", 0, &F::TIPOPROD, &R::SetTIPOPROD, "R"),
    C::Texto("Produto.ATIVO", 1, &F::ATIVO, &R::SetATIVO, "S"),
    C::Texto("Produto.PRODBLOQUEADO", 0, &F::PRODBLOQUEADO, &R::SetPRODBLOQUEADO, "N"),
    C::Texto("Produto.CONTROLESERIE", 0, &F::CONTROLESERIE, &R::SetCONTROLESERIE),
    C::Texto("Produto.REFERENCIA", 0, &F::REFERENCIA, &R::SetREFERENCIA),
    C::Texto("Produto.REFFABRICANTE", 20, &F::REFFABRICANTE, &R::SetREFFABRICANTE),
    C::Texto("Produto.DESCRICAO", 50, &F::DESCRICAO, &R::SetDESCRICAO),
    C::Texto("Produto.DESCRICAO2", 50, &F::DESCRICAO2, &R::SetDESCRICAO2),
    C::Texto("Produto.DESCRICAO3", 50, &F::DESCRICAO3, &R::SetDESCRICAO3),
    C::Texto("Produto.FORNEC_ULT_ENT1", 0, &F::FORNEC_ULT_ENT1, &R::SetFORNEC_ULT_ENT1),
    C::Texto("Produto.CODGRUPO", 3, &F::CODGRUPO, &R::SetCODGRUPO),
    C::Texto("Produto.CODSUBGRUPO", 3, &F::CODSUBGRUPO, &R::SetCODSUBGRUPO),
    C::Texto("Produto.PRINCIPALFORNEC", 6, &F::PRINCIPALFORNEC, &R::SetPRINCIPALFORNEC),
    C::Texto("Produto.EMBALAGEM", 15, &F::EMBALAGEM, &R::SetEMBALAGEM),
    C::Texto("Produto.CODFABRIC", 3, &F::CODFABRIC, &R::SetCODFABRIC),
    C::Texto("Produto.OBSERVACAO", 0, &F::OBSERVACAO, &R::SetOBSERVACAO),
    C::Texto("Produto.CODLOCAL", 8, &F::CODLOCAL, &R::SetCODLOCAL),
    C::Texto("Produto.CODCLASFIS", 4, &F::CODCLASFIS, &R::SetCODCLASFIS),
    C::Numero("Produto.ALIQICMSREG00", &F::ALIQICMSREG00),
    C::Numero("Produto.BASEICMSREG00", &F::BASEICMSREG00),
    C::Numero("Produto.BASEICMSREG02", &F::BASEICMSREG02),
    C::Texto("Produto.CODTRIBUT00", 3, &F::CODTRIBUT00, &R::SetCODTRIBUT00),
    C::Texto("Produto.CODTRIBUT01", 3, &F::CODTRIBUT01, &R::SetCODTRIBUT01),
    C::Numero("Produto.ALIQICMSPDV", &F::ALIQICMSPDV),
    C::Texto("Produto.SUBSTRIB", 0, &F::SUBSTRIB, &R::SetSUBSTRIB),
    C::Numero("Produto.AliqIpi", &F::AliqIpi),
    C::Numero("Produto.AliqISS", &F::AliqISS),
    C::Numero("Produto.PESO", &F::PESO),
    C::Texto("Produto.UNIDADEENT", 6, &F::UNIDADEENT, &R::SetUNIDADEENT, "UN"),
    C::Texto("Produto.UNIDADESAIDA", 6, &F::UNIDADESAIDA, &R::SetUNIDADESAIDA, "UN"),
    C::Texto("Produto.CodFamilia", 2, &F::CodFamilia, &R::SetCodFamilia),
    C::Texto("Produto.CodTipoProduto", 2, &F::CodTipoProduto, &R::SetCodTipoProduto),
    C::Texto("Produto.CodVolume", 3, &F::CodVolume, &R::SetCodVolume),
    C::Texto("Produto.TipoEntrega", 1, &F::TipoEntrega, &R::SetTipoEntrega),
    C::Texto("Produto.CodGeneroItem", 0, &F::CodGeneroItem, &R::SetCodGeneroItem),
    C::Numero("Produto.PRECO", &F::PRECO),
    C::Texto("Produto.DESCRICAOPRECO", 10, &F::DESCRICAOPRECO, &R::SetDESCRICAOPRECO),
    C::Numero("Produto.PRECO2", &F::PRECO2),
    C::Texto("Produto.DESCRICAOPRECO2", 10, &F::DESCRICAOPRECO2, &R::SetDESCRICAOPRECO2),
    C::Numero("Produto.PRECO3", &F::PRECO3),
    C::Texto("Produto.DESCRICAOPRECO3", 10, &F::DESCRICAOPRECO3, &R::SetDESCRICAOPRECO3),
    C::Numero("Produto.PRECO4", &F::PRECO4),
    C::Texto("Produto.DESCRICAOPRECO4", 10, &F::DESCRICAOPRECO4, &R::SetDESCRICAOPRECO4),
    C::Numero("Produto.Pr_Ult_Ent1", &F::Pr_Ult_Ent1),
    C::Numero("Produto.Lucro", &F::Lucro),
    C::Numero("Produto.Lucro2", &F::Lucro2),
    C::Numero("Produto.Lucro3", &F::Lucro3),
    C::Numero("Produto.Lucro4", &F::Lucro4),
    C::Numero("Produto.EstMinimo", &F::EstMinimo),
    C::Numero("Produto.EstMaximo", &F::EstMaximo),
    C::Numero("Produto.Comissao", &F::Comissao),
    C::Numero("Produto.Perc_Iva", &F::Perc_Iva),
    C::Numero("Produto.FatorConversao", &F::FatorConversao),
    C::Texto("Produto.MultDivide", 0, &F::MultDivide),
    C::Numero("Produto.ValorIpi", &F::ValorIpi),
    C::Numero("Produto.PrecoPromo", &F::PrecoPromo),
    // The registration date only when there is one; the dates of the last entry and
    // the last price change, which nothing sets, never. Each carries its own separators.
    C::Opcional("Produto.DT_CADASTRO", 0, &F::DT_CADASTRO, &R::SetDT_CADASTRO)
        .Separadores("     ,", ","),
    C::Opcional("Produto.Data_Ult_Ent1", 0, &F::Data_Ult_Ent1).Separadores(", ", ","),
    C::Opcional("Produto.Data_Ult_Reajuste", 0, &F::Data_Ult_Reajuste).Separadores(", ", ","),
    C::Texto("Produto.Fracionado", 0, &F::Fracionado),
    C::Texto("Produto.CAMPOLIVRE1", 20, &F::CAMPOLIVRE1, &R::SetCAMPOLIVRE1),
    C::Texto("Produto.CAMPOLIVRE2", 20, &F::CAMPOLIVRE2, &R::SetCAMPOLIVRE2),
    C::Texto("Produto.CAMPOLIVRE3", 50, &F::CAMPOLIVRE3, &R::SetCAMPOLIVRE3),
    C::Texto("Produto.CAMPOLIVRE4", 50, &F::CAMPOLIVRE4, &R::SetCAMPOLIVRE4),
    C::Texto("produto.mensagem00", 0, &F::mensagem00, &R::Setmensagem00),
    C::Numero("produto.aliqicmsreg01", &F::aliqicmsreg01),
    C::Numero("produto.BaseIcmsReg01", &F::BaseIcmsReg01),
    C::Texto("produto.mensagem01", 0, &F::mensagem01, &R::Setmensagem01),
    C::Numero("produto.aliqicmsreg02", &F::aliqicmsreg02),
    C::Texto("Produto.CODTRIBUT02", 3, &F::CODTRIBUT02, &R::SetCODTRIBUT02),
    C::Texto("produto.mensagem02", 0, &F::mensagem02, &R::Setmensagem02),
    C::Numero("produto.aliqicmsreg03", &F::aliqicmsreg03),
    C::Numero("produto.BaseIcmsReg03", &F::BaseIcmsReg03),
    C::Texto("Produto.CODTRIBUT03", 3, &F::CODTRIBUT03, &R::SetCODTRIBUT03),
    C::Texto("produto.mensagem03", 0, &F::mensagem03, &R::Setmensagem03),
    C::Numero("produto.AliqIcmsDiversos", &F::AliqIcmsDiversos),
    C::Numero("produto.BaseIcmsdiversos", &F::BaseIcmsdiversos),
    C::Texto("Produto.CodTributDiversos", 3, &F::CodTributDiversos, &R::SetCodTributDiversos),
    C::Texto("produto.MensagemDiversos", 0, &F::MensagemDiversos, &R::SetMensagemDiversos),
    C::Numero("produto.lucrosubstrib", &F::lucrosubstrib),
    C::Texto("produto.substribsaida", 0, &F::substribsaida, &R::Setsubstribsaida),
    C::Numero("produto.percbasesubstribsaida", &F::percbasesubstribsaida),
    C::Numero("produto.PercIcmsSubsTribSaida", &F::PercIcmsSubsTribSaida),
    C::Texto("produto.substribsaidaR1", 0, &F::substribsaidaR1, &R::SetsubstribsaidaR1),
    C::Numero("produto.percbasesubstribsaidaR1", &F::percbasesubstribsaidaR1),
    C::Numero("produto.PercIcmsSubsTribSaidaR1", &F::PercIcmsSubsTribSaidaR1),
    C::Texto("produto.substribsaidaR2", 0, &F::substribsaidaR2, &R::SetsubstribsaidaR2),
    C::Numero("produto.percbasesubstribsaidaR2", &F::percbasesubstribsaidaR2),
    C::Numero("produto.PercIcmsSubsTribSaidaR2", &F::PercIcmsSubsTribSaidaR2),
    C::Texto("produto.substribsaidaR3", 0, &F::substribsaidaR3, &R::SetsubstribsaidaR3),
    C::Numero("produto.percbasesubstribsaidaR3", &F::percbasesubstribsaidaR3),
    C::Numero("produto.PercIcmsSubsTribSaidaR3", &F::PercIcmsSubsTribSaidaR3),
    C::Texto("produto.substribsaidaR4", 0, &F::substribsaidaR4, &R::SetsubstribsaidaR4),
    C::Numero("produto.percbasesubstribsaidaR4", &F::percbasesubstribsaidaR4),
    C::Texto("Produto.ControleLote", 0, &F::ControleLote, &R::SetControleLote),
    C::Numero("produto.PercIcmsSubsTribSaidaR4", &F::PercIcmsSubsTribSaidaR4),
    C::Inteiro("produto.grade", &F::grade),
};

const FormaInsert kInsert{" Insert Into Produto (", ") Values ( ", ") "};

}  // namespace

TConverteProduto::TConverteProduto(db::Conexao& database, Mensagens& mensagens,
                                   bool comandosPreparados)
    : TRegistro(database, mensagens, kColunas, &kInsert, FormaGravacao::Texto, comandosPreparados) {
    Regional().formatoDataCurta = "dd/mm/yyyy";
    Limpa();
}

void TConverteProduto::SetCODPROD(std::string_view valor) {
    // Always six characters: an empty code becomes 000000.
    campos_.CODPROD = CodigoFixo(Apara(valor), 6);
}
void TConverteProduto::SetTIPOPROD(std::string_view valor) { campos_.TIPOPROD = valor; }
void TConverteProduto::SetATIVO(std::string_view valor) { campos_.ATIVO = Primeiros(valor, 1); }
void TConverteProduto::SetPRODBLOQUEADO(std::string_view valor) { campos_.PRODBLOQUEADO = valor; }
void TConverteProduto::SetCONTROLESERIE(std::string_view valor) { campos_.CONTROLESERIE = valor; }
void TConverteProduto::SetREFERENCIA(std::string_view valor) { campos_.REFERENCIA = valor; }
void TConverteProduto::SetREFFABRICANTE(std::string_view valor) {
    campos_.REFFABRICANTE = Primeiros(Apara(valor), 20);
}
void TConverteProduto::SetDESCRICAO(std::string_view valor) {
    // Cut first: a blank that the cut leaves at the end goes too.
    campos_.DESCRICAO = Apara(valor.substr(0, 50));
}
void TConverteProduto::SetDESCRICAO2(std::string_view valor) {
    campos_.DESCRICAO2 = Primeiros(valor, 50);
}
void TConverteProduto::SetDESCRICAO3(std::string_view valor) {
    campos_.DESCRICAO3 = Primeiros(valor, 50);
}
void TConverteProduto::SetFORNEC_ULT_ENT1(std::string_view valor) {
    campos_.FORNEC_ULT_ENT1 = valor;
}
void TConverteProduto::SetCODGRUPO(std::string_view valor) {
    campos_.CODGRUPO = VazioOuZeros(Primeiros(Apara(valor), 3), 3);
}
void TConverteProduto::SetCODSUBGRUPO(std::string_view valor) {
    // Taken as given, blanks included.
    campos_.CODSUBGRUPO = VazioOuZeros(valor, 3);
}
void TConverteProduto::SetPRINCIPALFORNEC(std::string_view valor) {
    campos_.PRINCIPALFORNEC = VazioOuZeros(Apara(valor), 6);
}
void TConverteProduto::SetEMBALAGEM(std::string_view valor) {
    campos_.EMBALAGEM = Primeiros(Apara(valor), 15);
}
void TConverteProduto::SetCODFABRIC(std::string_view valor) {
    campos_.CODFABRIC = VazioOuZeros(Apara(valor), 3);
}
void TConverteProduto::SetOBSERVACAO(std::string_view valor) { campos_.OBSERVACAO = valor; }
void TConverteProduto::SetCODLOCAL(std::string_view valor) {
    campos_.CODLOCAL = Primeiros(valor, 8);
}
void TConverteProduto::SetCODCLASFIS(std::string_view valor) {
    // The emptiness is judged on the trimmed code, but the padding is applied to the
    // code as given, so blanks around it count towards the four characters.
    campos_.CODCLASFIS = Apara(valor);
    if (!campos_.CODCLASFIS.empty()) campos_.CODCLASFIS = CompletaZeros(valor, 4);
}
void TConverteProduto::SetCODTRIBUT00(std::string_view valor) {
    campos_.CODTRIBUT00 = VazioOuZeros(Apara(valor), 3);
}
void TConverteProduto::SetCODTRIBUT01(std::string_view valor) {
    campos_.CODTRIBUT01 = VazioOuZeros(Apara(valor), 3);
}
void TConverteProduto::SetSUBSTRIB(std::string_view valor) { campos_.SUBSTRIB = valor; }
void TConverteProduto::SetUNIDADEENT(std::string_view valor) {
    campos_.UNIDADEENT = Primeiros(valor, 6);
}
void TConverteProduto::SetUNIDADESAIDA(std::string_view valor) {
    campos_.UNIDADESAIDA = Primeiros(valor, 6);
}
void TConverteProduto::SetCodFamilia(std::string_view valor) {
    campos_.CodFamilia = Primeiros(valor, 2);
}
void TConverteProduto::SetCodTipoProduto(std::string_view valor) {
    campos_.CodTipoProduto = Primeiros(valor, 2);
}
void TConverteProduto::SetCodVolume(std::string_view valor) {
    campos_.CodVolume = Primeiros(valor, 3);
}
void TConverteProduto::SetTipoEntrega(std::string_view valor) {
    campos_.TipoEntrega = Primeiros(valor, 1);
}
void TConverteProduto::SetCodGeneroItem(std::string_view valor) { campos_.CodGeneroItem = valor; }
void TConverteProduto::SetDESCRICAOPRECO(std::string_view valor) {
    campos_.DESCRICAOPRECO = Primeiros(valor, 10);
}
void TConverteProduto::SetDESCRICAOPRECO2(std::string_view valor) {
    campos_.DESCRICAOPRECO2 = Primeiros(valor, 10);
}
void TConverteProduto::SetDESCRICAOPRECO3(std::string_view valor) {
    campos_.DESCRICAOPRECO3 = Primeiros(valor, 10);
}
void TConverteProduto::SetDESCRICAOPRECO4(std::string_view valor) {
    campos_.DESCRICAOPRECO4 = Primeiros(valor, 10);
}
void TConverteProduto::SetDT_CADASTRO(std::string_view valor) { campos_.DT_CADASTRO = valor; }
void TConverteProduto::SetCAMPOLIVRE1(std::string_view valor) {
    campos_.CAMPOLIVRE1 = Primeiros(Apara(valor), 20);
}
void TConverteProduto::SetCAMPOLIVRE2(std::string_view valor) {
    campos_.CAMPOLIVRE2 = Primeiros(Apara(valor), 20);
}
void TConverteProduto::SetCAMPOLIVRE3(std::string_view valor) {
    campos_.CAMPOLIVRE3 = Primeiros(Apara(valor), 50);
}
void TConverteProduto::SetCAMPOLIVRE4(std::string_view valor) {
    campos_.CAMPOLIVRE4 = Primeiros(Apara(valor), 50);
}
void TConverteProduto::Setmensagem00(std::string_view valor) { campos_.mensagem00 = valor; }
void TConverteProduto::Setmensagem01(std::string_view valor) { campos_.mensagem01 = valor; }
void TConverteProduto::SetCODTRIBUT02(std::string_view valor) {
    campos_.CODTRIBUT02 = VazioOuZeros(Apara(valor), 3);
}
void TConverteProduto::Setmensagem02(std::string_view valor) { campos_.mensagem02 = valor; }
void TConverteProduto::SetCODTRIBUT03(std::string_view valor) {
    campos_.CODTRIBUT03 = VazioOuZeros(Apara(valor), 3);
}
void TConverteProduto::Setmensagem03(std::string_view valor) { campos_.mensagem03 = valor; }
void TConverteProduto::SetCodTributDiversos(std::string_view valor) {
    campos_.CodTributDiversos = VazioOuZeros(Apara(valor), 3);
}
void TConverteProduto::SetMensagemDiversos(std::string_view valor) {
    campos_.MensagemDiversos = valor;
}
void TConverteProduto::Setsubstribsaida(std::string_view valor) { campos_.substribsaida = valor; }
void TConverteProduto::SetsubstribsaidaR1(std::string_view valor) {
    campos_.substribsaidaR1 = valor;
}
void TConverteProduto::SetsubstribsaidaR2(std::string_view valor) {
    campos_.substribsaidaR2 = valor;
}
void TConverteProduto::SetsubstribsaidaR3(std::string_view valor) {
    campos_.substribsaidaR3 = valor;
}
void TConverteProduto::SetsubstribsaidaR4(std::string_view valor) {
    campos_.substribsaidaR4 = valor;
}
void TConverteProduto::SetControleLote(std::string_view valor) { campos_.ControleLote = valor; }

void TConverteProduto::ExcluiRegistros() { ExcluiEConfirma("Delete from PRODUTO", "Commit;"); }

}  // namespace conversor::convert
