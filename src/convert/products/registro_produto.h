// One row of the Vantora table PRODUTO: the product's descriptions, prices, units,
// tax settings and free fields, normalised as they are set and written with one
// INSERT whose values are embedded in the statement text, all from its column table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/registro_base.h"

namespace conversor::convert {

// The row's values, named after the PRODUTO columns they feed. Texts are
// Windows-1252. Pr_Ult_Ent1, MultDivide, Fracionado and the dates of the last entry
// and the last price change have no setter and keep their reset value (the dates
// stay empty, so the statement leaves them out).
struct TCamposProduto {
    std::string CODPROD;
    std::string DESCRICAO;
    std::string DESCRICAO2;
    std::string DESCRICAO3;
    std::string REFERENCIA;
    std::string REFFABRICANTE;
    std::string PRINCIPALFORNEC;
    std::string CODGRUPO;
    std::string CODSUBGRUPO;
    std::string UNIDADEENT;
    std::string UNIDADESAIDA;
    std::string CodFamilia;
    std::string CodTipoProduto;
    std::string DESCRICAOPRECO;
    std::string DESCRICAOPRECO2;
    std::string DESCRICAOPRECO3;
    std::string DESCRICAOPRECO4;
    std::string CODLOCAL;
    std::string CAMPOLIVRE1;
    std::string CAMPOLIVRE2;
    std::string CAMPOLIVRE3;
    std::string CAMPOLIVRE4;
    std::string OBSERVACAO;
    std::string CONTROLESERIE;
    std::string ATIVO;
    std::string TIPOPROD;
    std::string PRODBLOQUEADO;
    std::string CODCLASFIS;
    std::string CODTRIBUT00;
    std::string DT_CADASTRO;
    std::string EMBALAGEM;
    std::string FORNEC_ULT_ENT1;
    std::string CODFABRIC;
    std::string CodVolume;
    std::string TipoEntrega;
    std::string mensagem00;
    std::string mensagem01;
    std::string CODTRIBUT02;
    std::string CODTRIBUT03;
    std::string mensagem02;
    std::string mensagem03;
    std::string ControleLote;
    std::string CodTributDiversos;
    std::string MensagemDiversos;
    std::string substribsaidaR1;
    std::string substribsaidaR2;
    std::string substribsaidaR3;
    std::string substribsaidaR4;
    double PRECO = 0;
    double PRECO2 = 0;
    double PRECO3 = 0;
    double PRECO4 = 0;
    double PESO = 0;
    double ALIQICMSREG00 = 0;
    double BASEICMSREG00 = 0;
    double ALIQICMSPDV = 0;
    double ValorIpi = 0;
    double aliqicmsreg02 = 0;
    double AliqIcmsDiversos = 0;
    double BaseIcmsdiversos = 0;
    double percbasesubstribsaidaR1 = 0;
    double PercIcmsSubsTribSaidaR1 = 0;
    double percbasesubstribsaidaR2 = 0;
    double PercIcmsSubsTribSaidaR2 = 0;
    double percbasesubstribsaidaR3 = 0;
    double PercIcmsSubsTribSaidaR3 = 0;
    double percbasesubstribsaidaR4 = 0;
    double PercIcmsSubsTribSaidaR4 = 0;
    double PrecoPromo = 0;
    double AliqIpi = 0;
    double AliqISS = 0;
    double Lucro = 0;
    double Lucro2 = 0;
    double Lucro3 = 0;
    double EstMinimo = 0;
    double EstMaximo = 0;
    double aliqicmsreg01 = 0;
    double BaseIcmsReg01 = 0;
    double aliqicmsreg03 = 0;
    double lucrosubstrib = 0;
    double percbasesubstribsaida = 0;
    double PercIcmsSubsTribSaida = 0;
    double Comissao = 0;
    std::string SUBSTRIB;
    std::string substribsaida;
    double Lucro4 = 0;
    std::string Fracionado;
    double Pr_Ult_Ent1 = 0;  // never set: every product starts without a last entry price
    double BASEICMSREG02 = 0;
    double BaseIcmsReg03 = 0;
    std::string CODTRIBUT01;
    double Perc_Iva = 0;
    double FatorConversao = 0;
    std::string MultDivide;  // never set
    std::int32_t grade = 0;
    std::string CodGeneroItem;
    std::string Data_Ult_Ent1;
    std::string Data_Ult_Reajuste;

    bool operator==(const TCamposProduto&) const = default;
};

// Keeps no state between rows: a successful Inserir resets every field, so a field a
// row does not set is written with its default. After a failed Inserir the fields
// keep the failed row's values. Setters cut, trim and pad to the columns' shape and
// never fail.
class TConverteProduto : public TRegistro<TCamposProduto, TConverteProduto> {
public:
    // Also sets the program's short date format to "dd/mm/yyyy" for good.
    TConverteProduto(db::Conexao& database, Mensagens& mensagens, bool comandosPreparados = true);

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
    void SetALIQICMSREG00(double valor) { campos_.ALIQICMSREG00 = valor; }
    void SetBASEICMSREG00(double valor) { campos_.BASEICMSREG00 = valor; }
    void SetBASEICMSREG02(double valor) { campos_.BASEICMSREG02 = valor; }
    void SetCODTRIBUT00(std::string_view valor);
    void SetCODTRIBUT01(std::string_view valor);
    void SetALIQICMSPDV(double valor) { campos_.ALIQICMSPDV = valor; }
    void SetSUBSTRIB(std::string_view valor);
    void SetAliqIpi(double valor) { campos_.AliqIpi = valor; }
    void SetAliqISS(double valor) { campos_.AliqISS = valor; }
    void SetPESO(double valor) { campos_.PESO = valor; }
    void SetUNIDADEENT(std::string_view valor);
    void SetUNIDADESAIDA(std::string_view valor);
    void SetCodFamilia(std::string_view valor);
    void SetCodTipoProduto(std::string_view valor);
    void SetCodVolume(std::string_view valor);
    void SetTipoEntrega(std::string_view valor);
    void SetCodGeneroItem(std::string_view valor);
    void SetPRECO(double valor) { campos_.PRECO = valor; }
    void SetDESCRICAOPRECO(std::string_view valor);
    void SetPRECO2(double valor) { campos_.PRECO2 = valor; }
    void SetDESCRICAOPRECO2(std::string_view valor);
    void SetPRECO3(double valor) { campos_.PRECO3 = valor; }
    void SetDESCRICAOPRECO3(std::string_view valor);
    void SetPRECO4(double valor) { campos_.PRECO4 = valor; }
    void SetDESCRICAOPRECO4(std::string_view valor);
    void SetLucro(double valor) { campos_.Lucro = valor; }
    void SetLucro2(double valor) { campos_.Lucro2 = valor; }
    void SetLucro3(double valor) { campos_.Lucro3 = valor; }
    void SetLucro4(double valor) { campos_.Lucro4 = valor; }
    void SetEstMinimo(double valor) { campos_.EstMinimo = valor; }
    void SetEstMaximo(double valor) { campos_.EstMaximo = valor; }
    void SetComissao(double valor) { campos_.Comissao = valor; }
    void SetPerc_Iva(double valor) { campos_.Perc_Iva = valor; }
    void SetFatorConversao(double valor) { campos_.FatorConversao = valor; }
    void SetValorIpi(double valor) { campos_.ValorIpi = valor; }
    void SetPrecoPromo(double valor) { campos_.PrecoPromo = valor; }
    // Goes into the statement as given, as a date literal: Firebird reads
    // "dd.mm.yyyy" as day, month, year, but "dd/mm/yyyy" as month/day.
    void SetDT_CADASTRO(std::string_view valor);
    void SetCAMPOLIVRE1(std::string_view valor);
    void SetCAMPOLIVRE2(std::string_view valor);
    void SetCAMPOLIVRE3(std::string_view valor);
    void SetCAMPOLIVRE4(std::string_view valor);
    void Setmensagem00(std::string_view valor);
    void Setaliqicmsreg01(double valor) { campos_.aliqicmsreg01 = valor; }
    void SetBaseIcmsReg01(double valor) { campos_.BaseIcmsReg01 = valor; }
    void Setmensagem01(std::string_view valor);
    void Setaliqicmsreg02(double valor) { campos_.aliqicmsreg02 = valor; }
    void SetCODTRIBUT02(std::string_view valor);
    void Setmensagem02(std::string_view valor);
    void Setaliqicmsreg03(double valor) { campos_.aliqicmsreg03 = valor; }
    void SetBaseIcmsReg03(double valor) { campos_.BaseIcmsReg03 = valor; }
    void SetCODTRIBUT03(std::string_view valor);
    void Setmensagem03(std::string_view valor);
    void SetAliqIcmsDiversos(double valor) { campos_.AliqIcmsDiversos = valor; }
    void SetBaseIcmsdiversos(double valor) { campos_.BaseIcmsdiversos = valor; }
    void SetCodTributDiversos(std::string_view valor);
    void SetMensagemDiversos(std::string_view valor);
    void Setlucrosubstrib(double valor) { campos_.lucrosubstrib = valor; }
    void Setsubstribsaida(std::string_view valor);
    void Setpercbasesubstribsaida(double valor) { campos_.percbasesubstribsaida = valor; }
    void SetPercIcmsSubsTribSaida(double valor) { campos_.PercIcmsSubsTribSaida = valor; }
    void SetsubstribsaidaR1(std::string_view valor);
    void SetpercbasesubstribsaidaR1(double valor) { campos_.percbasesubstribsaidaR1 = valor; }
    void SetPercIcmsSubsTribSaidaR1(double valor) { campos_.PercIcmsSubsTribSaidaR1 = valor; }
    void SetsubstribsaidaR2(std::string_view valor);
    void SetpercbasesubstribsaidaR2(double valor) { campos_.percbasesubstribsaidaR2 = valor; }
    void SetPercIcmsSubsTribSaidaR2(double valor) { campos_.PercIcmsSubsTribSaidaR2 = valor; }
    void SetsubstribsaidaR3(std::string_view valor);
    void SetpercbasesubstribsaidaR3(double valor) { campos_.percbasesubstribsaidaR3 = valor; }
    void SetPercIcmsSubsTribSaidaR3(double valor) { campos_.PercIcmsSubsTribSaidaR3 = valor; }
    void SetsubstribsaidaR4(std::string_view valor);
    void SetpercbasesubstribsaidaR4(double valor) { campos_.percbasesubstribsaidaR4 = valor; }
    void SetPercIcmsSubsTribSaidaR4(double valor) { campos_.PercIcmsSubsTribSaidaR4 = valor; }
    void SetControleLote(std::string_view valor);
    void Setgrade(std::int32_t valor) { campos_.grade = valor; }

    // Every field back to its default (the initial values of its column table).
    using TRegistro::Limpa;

    // The INSERT of the current fields, as Inserir executes it.
    using TRegistro::MontaInsert;
    using TRegistro::TextoInsert;

    // Writes the row in the connection's transaction, then resets the fields. A
    // database error is raised and leaves the fields as they were.
    using TRegistro::Inserir;

    // Deletes every product and commits.
    void ExcluiRegistros();
};

}  // namespace conversor::convert
