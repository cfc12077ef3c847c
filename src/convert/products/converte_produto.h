// One row of the Vantora table PRODUTO: the product's descriptions, prices, units,
// tax settings and free fields, normalised as they are set and written with one
// INSERT whose values are embedded in the statement text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/conversao.h"

namespace conversor::convert {

// Keeps no state between rows: a successful Inserir resets every field, so a field a
// row does not set is written with its default. After a failed Inserir the fields
// keep the failed row's values. Setters cut, trim and pad to the columns' shape and
// never fail.
class TConverteProduto : public TConversao {
public:
    // Also sets the program's short date format to "dd/mm/yyyy" for good.
    TConverteProduto(db::Conexao& database, Mensagens& mensagens);

    void SetCODPROD(std::string_view valor);
    void SetTIPOPROD(std::string_view valor);
    void SetATIVO(std::string_view valor);
    void SetPRODBLOQUEADO(std::string_view valor);
    void SetCONTROLESERIE(std::string_view valor);
    void SetREFERENCIA(std::string_view valor);
    void SetREFFABRICANTE(std::string_view valor);
    void SetDESCRICAO(std::string_view valor);
    void SetDESCRICAO2(std::string_view valor);
    void SetDESCRICAO3(std::string_view valor);
    void SetFORNEC_ULT_ENT1(std::string_view valor);
    void SetCODGRUPO(std::string_view valor);
    void SetCODSUBGRUPO(std::string_view valor);
    void SetPRINCIPALFORNEC(std::string_view valor);
    void SetEMBALAGEM(std::string_view valor);
    void SetCODFABRIC(std::string_view valor);
    void SetOBSERVACAO(std::string_view valor);
    void SetCODLOCAL(std::string_view valor);
    void SetCODCLASFIS(std::string_view valor);
    void SetALIQICMSREG00(double valor) { ALIQICMSREG00_ = valor; }
    void SetBASEICMSREG00(double valor) { BASEICMSREG00_ = valor; }
    void SetBASEICMSREG02(double valor) { BASEICMSREG02_ = valor; }
    void SetCODTRIBUT00(std::string_view valor);
    void SetCODTRIBUT01(std::string_view valor);
    void SetALIQICMSPDV(double valor) { ALIQICMSPDV_ = valor; }
    void SetSUBSTRIB(std::string_view valor);
    void SetAliqIpi(double valor) { AliqIpi_ = valor; }
    void SetAliqISS(double valor) { AliqISS_ = valor; }
    void SetPESO(double valor) { PESO_ = valor; }
    void SetUNIDADEENT(std::string_view valor);
    void SetUNIDADESAIDA(std::string_view valor);
    void SetCodFamilia(std::string_view valor);
    void SetCodTipoProduto(std::string_view valor);
    void SetCodVolume(std::string_view valor);
    void SetTipoEntrega(std::string_view valor);
    void SetCodGeneroItem(std::string_view valor);
    void SetPRECO(double valor) { PRECO_ = valor; }
    void SetDESCRICAOPRECO(std::string_view valor);
    void SetPRECO2(double valor) { PRECO2_ = valor; }
    void SetDESCRICAOPRECO2(std::string_view valor);
    void SetPRECO3(double valor) { PRECO3_ = valor; }
    void SetDESCRICAOPRECO3(std::string_view valor);
    void SetPRECO4(double valor) { PRECO4_ = valor; }
    void SetDESCRICAOPRECO4(std::string_view valor);
    void SetLucro(double valor) { Lucro_ = valor; }
    void SetLucro2(double valor) { Lucro2_ = valor; }
    void SetLucro3(double valor) { Lucro3_ = valor; }
    void SetLucro4(double valor) { Lucro4_ = valor; }
    void SetEstMinimo(double valor) { EstMinimo_ = valor; }
    void SetEstMaximo(double valor) { EstMaximo_ = valor; }
    void SetComissao(double valor) { Comissao_ = valor; }
    void SetPerc_Iva(double valor) { Perc_Iva_ = valor; }
    void SetFatorConversao(double valor) { FatorConversao_ = valor; }
    void SetValorIpi(double valor) { ValorIpi_ = valor; }
    void SetPrecoPromo(double valor) { PrecoPromo_ = valor; }
    // Goes into the statement as given, as a date literal: Firebird reads
    // "dd.mm.yyyy" as day, month, year, but "dd/mm/yyyy" as month/day.
    void SetDT_CADASTRO(std::string_view valor);
    void SetCAMPOLIVRE1(std::string_view valor);
    void SetCAMPOLIVRE2(std::string_view valor);
    void SetCAMPOLIVRE3(std::string_view valor);
    void SetCAMPOLIVRE4(std::string_view valor);
    void Setmensagem00(std::string_view valor);
    void Setaliqicmsreg01(double valor) { aliqicmsreg01_ = valor; }
    void SetBaseIcmsReg01(double valor) { BaseIcmsReg01_ = valor; }
    void Setmensagem01(std::string_view valor);
    void Setaliqicmsreg02(double valor) { aliqicmsreg02_ = valor; }
    void SetCODTRIBUT02(std::string_view valor);
    void Setmensagem02(std::string_view valor);
    void Setaliqicmsreg03(double valor) { aliqicmsreg03_ = valor; }
    void SetBaseIcmsReg03(double valor) { BaseIcmsReg03_ = valor; }
    void SetCODTRIBUT03(std::string_view valor);
    void Setmensagem03(std::string_view valor);
    void SetAliqIcmsDiversos(double valor) { AliqIcmsDiversos_ = valor; }
    void SetBaseIcmsdiversos(double valor) { BaseIcmsdiversos_ = valor; }
    void SetCodTributDiversos(std::string_view valor);
    void SetMensagemDiversos(std::string_view valor);
    void Setlucrosubstrib(double valor) { lucrosubstrib_ = valor; }
    void Setsubstribsaida(std::string_view valor);
    void Setpercbasesubstribsaida(double valor) { percbasesubstribsaida_ = valor; }
    void SetPercIcmsSubsTribSaida(double valor) { PercIcmsSubsTribSaida_ = valor; }
    void SetsubstribsaidaR1(std::string_view valor);
    void SetpercbasesubstribsaidaR1(double valor) { percbasesubstribsaidaR1_ = valor; }
    void SetPercIcmsSubsTribSaidaR1(double valor) { PercIcmsSubsTribSaidaR1_ = valor; }
    void SetsubstribsaidaR2(std::string_view valor);
    void SetpercbasesubstribsaidaR2(double valor) { percbasesubstribsaidaR2_ = valor; }
    void SetPercIcmsSubsTribSaidaR2(double valor) { PercIcmsSubsTribSaidaR2_ = valor; }
    void SetsubstribsaidaR3(std::string_view valor);
    void SetpercbasesubstribsaidaR3(double valor) { percbasesubstribsaidaR3_ = valor; }
    void SetPercIcmsSubsTribSaidaR3(double valor) { PercIcmsSubsTribSaidaR3_ = valor; }
    void SetsubstribsaidaR4(std::string_view valor);
    void SetpercbasesubstribsaidaR4(double valor) { percbasesubstribsaidaR4_ = valor; }
    void SetPercIcmsSubsTribSaidaR4(double valor) { PercIcmsSubsTribSaidaR4_ = valor; }
    void SetControleLote(std::string_view valor);
    void Setgrade(std::int32_t valor) { grade_ = valor; }

    // What the sheet mapping reads back while it builds a row.
    const std::string& CODPROD() const { return CODPROD_; }
    const std::string& UNIDADEENT() const { return UNIDADEENT_; }
    const std::string& CODTRIBUT00() const { return CODTRIBUT00_; }

    // Every field back to its default.
    void Limpa();

    // The INSERT of the current fields, as Inserir executes it.
    std::string TextoInsert() const;
    void MontaInsert(MontagemSql& sql) const;

    // Writes the row in the connection's transaction, then resets the fields. A
    // database error is raised and leaves the fields as they were.
    bool Inserir();

    // Deletes every product and commits.
    void ExcluiRegistros();

private:
    double dataNenhuma_ = 0;  // 1 January 1900
    double Data_Ult_Ent1_ = 0;
    double Data_Ult_Reajuste_ = 0;
    std::string CODPROD_;
    std::string DESCRICAO_;
    std::string DESCRICAO2_;
    std::string DESCRICAO3_;
    std::string REFERENCIA_;
    std::string REFFABRICANTE_;
    std::string PRINCIPALFORNEC_;
    std::string CODGRUPO_;
    std::string CODSUBGRUPO_;
    std::string UNIDADEENT_;
    std::string UNIDADESAIDA_;
    std::string CodFamilia_;
    std::string CodTipoProduto_;
    std::string DESCRICAOPRECO_;
    std::string DESCRICAOPRECO2_;
    std::string DESCRICAOPRECO3_;
    std::string DESCRICAOPRECO4_;
    std::string CODLOCAL_;
    std::string CAMPOLIVRE1_;
    std::string CAMPOLIVRE2_;
    std::string CAMPOLIVRE3_;
    std::string CAMPOLIVRE4_;
    std::string OBSERVACAO_;
    std::string CONTROLESERIE_;
    std::string ATIVO_;
    std::string TIPOPROD_;
    std::string PRODBLOQUEADO_;
    std::string CODCLASFIS_;
    std::string CODTRIBUT00_;
    std::string DT_CADASTRO_;
    std::string EMBALAGEM_;
    std::string FORNEC_ULT_ENT1_;
    std::string CODFABRIC_;
    std::string CodVolume_;
    std::string TipoEntrega_;
    std::string mensagem00_;
    std::string mensagem01_;
    std::string CODTRIBUT02_;
    std::string CODTRIBUT03_;
    std::string mensagem02_;
    std::string mensagem03_;
    std::string ControleLote_;
    std::string CodTributDiversos_;
    std::string MensagemDiversos_;
    std::string substribsaidaR1_;
    std::string substribsaidaR2_;
    std::string substribsaidaR3_;
    std::string substribsaidaR4_;
    double PRECO_ = 0;
    double PRECO2_ = 0;
    double PRECO3_ = 0;
    double PRECO4_ = 0;
    double PESO_ = 0;
    double ALIQICMSREG00_ = 0;
    double BASEICMSREG00_ = 0;
    double ALIQICMSPDV_ = 0;
    double ValorIpi_ = 0;
    double aliqicmsreg02_ = 0;
    double AliqIcmsDiversos_ = 0;
    double BaseIcmsdiversos_ = 0;
    double percbasesubstribsaidaR1_ = 0;
    double PercIcmsSubsTribSaidaR1_ = 0;
    double percbasesubstribsaidaR2_ = 0;
    double PercIcmsSubsTribSaidaR2_ = 0;
    double percbasesubstribsaidaR3_ = 0;
    double PercIcmsSubsTribSaidaR3_ = 0;
    double percbasesubstribsaidaR4_ = 0;
    double PercIcmsSubsTribSaidaR4_ = 0;
    double PrecoPromo_ = 0;
    double AliqIpi_ = 0;
    double AliqISS_ = 0;
    double Lucro_ = 0;
    double Lucro2_ = 0;
    double Lucro3_ = 0;
    double EstMinimo_ = 0;
    double EstMaximo_ = 0;
    double aliqicmsreg01_ = 0;
    double BaseIcmsReg01_ = 0;
    double aliqicmsreg03_ = 0;
    double lucrosubstrib_ = 0;
    double percbasesubstribsaida_ = 0;
    double PercIcmsSubsTribSaida_ = 0;
    double Comissao_ = 0;
    std::string SUBSTRIB_;
    std::string substribsaida_;
    double Lucro4_ = 0;
    std::string Fracionado_;
    double Pr_Ult_Ent1_ = 0;  // never set: every product starts without a last entry price
    double BASEICMSREG02_ = 0;
    double BaseIcmsReg03_ = 0;
    std::string CODTRIBUT01_;
    double Perc_Iva_ = 0;
    double FatorConversao_ = 0;
    std::string MultDivide_;  // never set
    std::int32_t grade_ = 0;
    std::string CodGeneroItem_;
};

}  // namespace conversor::convert
