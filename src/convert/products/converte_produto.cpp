#include "convert/products/converte_produto.h"

#include <utility>

#include "base/regional.h"

namespace conversor::convert {

namespace {


// A code column: trimmed, and padded with zeros unless there is no code at all.
std::string Codigo(std::string_view texto, int largura) {
    const std::string t = Apara(texto);
    return t.empty() ? t : TConversao::CompletaZeros(t, largura);
}

// Builds the column list and the value list side by side; the values go into
// `valores`, whose text is the value list.
class Montagem {
public:
    explicit Montagem(MontagemSql& valores) : valores_(valores) {}

    // A column written with a separator after it (the part before the optional columns).
    template <class Valor>
    void Antes(std::string_view coluna, Valor valor) {
        colunas_ += coluna;
        colunas_ += ", ";
        valor(valores_);
        valores_ << ", ";
    }
    // An optional column: its pieces carry their own separator.
    template <class Valor>
    void Opcional(std::string_view coluna, Valor valor) {
        colunas_ += coluna;
        valor(valores_);
        valores_ << ",";
    }
    // A column of the closing part, separated from the one before it.
    template <class Valor>
    void Depois(std::string_view coluna, Valor valor) {
        if (!primeiroDepois_) {
            colunas_ += ", ";
            valores_ << ", ";
        }
        primeiroDepois_ = false;
        colunas_ += coluna;
        valor(valores_);
    }
    // The whole statement, in place of the value list.
    void Fecha() {
        valores_.sql = " Insert Into Produto (" + colunas_ + ") Values ( " + valores_.sql + ") ";
    }

private:
    MontagemSql& valores_;
    std::string colunas_;
    bool primeiroDepois_ = true;
};

}  // namespace

TConverteProduto::TConverteProduto(db::Conexao& database, Mensagens& mensagens)
    : TConversao(database, mensagens) {
    Regional().formatoDataCurta = "dd/mm/yyyy";
    // The date the product table uses for "never".
    dataNenhuma_ = TextoParaData("01/01/1900");
    Limpa();
}

void TConverteProduto::SetCODPROD(std::string_view valor) {
    // Always six characters: an empty code becomes 000000.
    CODPROD_ = CompletaZeros(Primeiros(Apara(valor), 6), 6);
}
void TConverteProduto::SetTIPOPROD(std::string_view valor) { TIPOPROD_ = valor; }
void TConverteProduto::SetATIVO(std::string_view valor) { ATIVO_ = Primeiros(valor, 1); }
void TConverteProduto::SetPRODBLOQUEADO(std::string_view valor) { PRODBLOQUEADO_ = valor; }
void TConverteProduto::SetCONTROLESERIE(std::string_view valor) { CONTROLESERIE_ = valor; }
void TConverteProduto::SetREFERENCIA(std::string_view valor) { REFERENCIA_ = valor; }
void TConverteProduto::SetREFFABRICANTE(std::string_view valor) {
    REFFABRICANTE_ = Primeiros(Apara(valor), 20);
}
void TConverteProduto::SetDESCRICAO(std::string_view valor) {
    // Cut first: a blank that the cut leaves at the end goes too.
    DESCRICAO_ = Apara(valor.substr(0, 50));
}
void TConverteProduto::SetDESCRICAO2(std::string_view valor) { DESCRICAO2_ = Primeiros(valor, 50); }
void TConverteProduto::SetDESCRICAO3(std::string_view valor) { DESCRICAO3_ = Primeiros(valor, 50); }
void TConverteProduto::SetFORNEC_ULT_ENT1(std::string_view valor) { FORNEC_ULT_ENT1_ = valor; }
void TConverteProduto::SetCODGRUPO(std::string_view valor) {
    const std::string t = Primeiros(Apara(valor), 3);
    CODGRUPO_ = t.empty() ? t : CompletaZeros(t, 3);
}
void TConverteProduto::SetCODSUBGRUPO(std::string_view valor) {
    // Taken as given, blanks included.
    CODSUBGRUPO_ = valor.empty() ? std::string() : CompletaZeros(valor, 3);
}
void TConverteProduto::SetPRINCIPALFORNEC(std::string_view valor) {
    PRINCIPALFORNEC_ = Codigo(valor, 6);
}
void TConverteProduto::SetEMBALAGEM(std::string_view valor) { EMBALAGEM_ = Primeiros(Apara(valor), 15); }
void TConverteProduto::SetCODFABRIC(std::string_view valor) { CODFABRIC_ = Codigo(valor, 3); }
void TConverteProduto::SetOBSERVACAO(std::string_view valor) { OBSERVACAO_ = valor; }
void TConverteProduto::SetCODLOCAL(std::string_view valor) { CODLOCAL_ = Primeiros(valor, 8); }
void TConverteProduto::SetCODCLASFIS(std::string_view valor) {
    // The emptiness is judged on the trimmed code, but the padding is applied to the
    // code as given, so blanks around it count towards the four characters.
    CODCLASFIS_ = Apara(valor);
    if (!CODCLASFIS_.empty()) CODCLASFIS_ = CompletaZeros(valor, 4);
}
void TConverteProduto::SetCODTRIBUT00(std::string_view valor) { CODTRIBUT00_ = Codigo(valor, 3); }
void TConverteProduto::SetCODTRIBUT01(std::string_view valor) { CODTRIBUT01_ = Codigo(valor, 3); }
void TConverteProduto::SetSUBSTRIB(std::string_view valor) { SUBSTRIB_ = valor; }
void TConverteProduto::SetUNIDADEENT(std::string_view valor) { UNIDADEENT_ = Primeiros(valor, 6); }
void TConverteProduto::SetUNIDADESAIDA(std::string_view valor) { UNIDADESAIDA_ = Primeiros(valor, 6); }
void TConverteProduto::SetCodFamilia(std::string_view valor) { CodFamilia_ = Primeiros(valor, 2); }
void TConverteProduto::SetCodTipoProduto(std::string_view valor) {
    CodTipoProduto_ = Primeiros(valor, 2);
}
void TConverteProduto::SetCodVolume(std::string_view valor) { CodVolume_ = Primeiros(valor, 3); }
void TConverteProduto::SetTipoEntrega(std::string_view valor) { TipoEntrega_ = Primeiros(valor, 1); }
void TConverteProduto::SetCodGeneroItem(std::string_view valor) { CodGeneroItem_ = valor; }
void TConverteProduto::SetDESCRICAOPRECO(std::string_view valor) {
    DESCRICAOPRECO_ = Primeiros(valor, 10);
}
void TConverteProduto::SetDESCRICAOPRECO2(std::string_view valor) {
    DESCRICAOPRECO2_ = Primeiros(valor, 10);
}
void TConverteProduto::SetDESCRICAOPRECO3(std::string_view valor) {
    DESCRICAOPRECO3_ = Primeiros(valor, 10);
}
void TConverteProduto::SetDESCRICAOPRECO4(std::string_view valor) {
    DESCRICAOPRECO4_ = Primeiros(valor, 10);
}
void TConverteProduto::SetDT_CADASTRO(std::string_view valor) { DT_CADASTRO_ = valor; }
void TConverteProduto::SetCAMPOLIVRE1(std::string_view valor) { CAMPOLIVRE1_ = Primeiros(Apara(valor), 20); }
void TConverteProduto::SetCAMPOLIVRE2(std::string_view valor) { CAMPOLIVRE2_ = Primeiros(Apara(valor), 20); }
void TConverteProduto::SetCAMPOLIVRE3(std::string_view valor) { CAMPOLIVRE3_ = Primeiros(Apara(valor), 50); }
void TConverteProduto::SetCAMPOLIVRE4(std::string_view valor) { CAMPOLIVRE4_ = Primeiros(Apara(valor), 50); }
void TConverteProduto::Setmensagem00(std::string_view valor) { mensagem00_ = valor; }
void TConverteProduto::Setmensagem01(std::string_view valor) { mensagem01_ = valor; }
void TConverteProduto::SetCODTRIBUT02(std::string_view valor) { CODTRIBUT02_ = Codigo(valor, 3); }
void TConverteProduto::Setmensagem02(std::string_view valor) { mensagem02_ = valor; }
void TConverteProduto::SetCODTRIBUT03(std::string_view valor) { CODTRIBUT03_ = Codigo(valor, 3); }
void TConverteProduto::Setmensagem03(std::string_view valor) { mensagem03_ = valor; }
void TConverteProduto::SetCodTributDiversos(std::string_view valor) {
    CodTributDiversos_ = Codigo(valor, 3);
}
void TConverteProduto::SetMensagemDiversos(std::string_view valor) { MensagemDiversos_ = valor; }
void TConverteProduto::Setsubstribsaida(std::string_view valor) { substribsaida_ = valor; }
void TConverteProduto::SetsubstribsaidaR1(std::string_view valor) { substribsaidaR1_ = valor; }
void TConverteProduto::SetsubstribsaidaR2(std::string_view valor) { substribsaidaR2_ = valor; }
void TConverteProduto::SetsubstribsaidaR3(std::string_view valor) { substribsaidaR3_ = valor; }
void TConverteProduto::SetsubstribsaidaR4(std::string_view valor) { substribsaidaR4_ = valor; }
void TConverteProduto::SetControleLote(std::string_view valor) { ControleLote_ = valor; }

void TConverteProduto::Limpa() {
    SetCODPROD("");
    SetTIPOPROD("R");
    SetATIVO("S");
    SetPRODBLOQUEADO("N");
    SetCONTROLESERIE("");
    SetREFERENCIA("");
    SetREFFABRICANTE("");
    SetDESCRICAO("");
    SetDESCRICAO2("");
    SetDESCRICAO3("");
    SetFORNEC_ULT_ENT1("");
    SetCODGRUPO("");
    SetCODSUBGRUPO("");
    SetPRINCIPALFORNEC("");
    SetEMBALAGEM("");
    SetCODFABRIC("");
    SetOBSERVACAO("");
    SetCODLOCAL("");
    SetCODCLASFIS("");
    SetALIQICMSREG00(0);
    SetBASEICMSREG00(0);
    SetBASEICMSREG02(0);
    SetCODTRIBUT00("");
    SetCODTRIBUT01("");
    SetALIQICMSPDV(0);
    SetSUBSTRIB("");
    SetAliqIpi(0);
    SetAliqISS(0);
    SetPESO(0);
    SetUNIDADEENT("UN");
    SetUNIDADESAIDA("UN");
    SetCodFamilia("");
    SetCodTipoProduto("");
    SetCodVolume("");
    SetTipoEntrega("");
    SetCodGeneroItem("");
    SetPRECO(0);
    SetDESCRICAOPRECO("");
    SetPRECO2(0);
    SetDESCRICAOPRECO2("");
    SetPRECO3(0);
    SetDESCRICAOPRECO3("");
    SetPRECO4(0);
    SetDESCRICAOPRECO4("");
    SetLucro(0);
    SetLucro2(0);
    SetLucro3(0);
    SetLucro4(0);
    SetEstMinimo(0);
    SetEstMaximo(0);
    SetComissao(0);
    SetPerc_Iva(0);
    SetFatorConversao(0);
    SetValorIpi(0);
    SetPrecoPromo(0);
    SetDT_CADASTRO("");
    Data_Ult_Ent1_ = dataNenhuma_;
    Data_Ult_Reajuste_ = dataNenhuma_;
    Fracionado_.clear();
    SetCAMPOLIVRE1("");
    SetCAMPOLIVRE2("");
    SetCAMPOLIVRE3("");
    SetCAMPOLIVRE4("");
    Setmensagem00("");
    Setaliqicmsreg01(0);
    SetBaseIcmsReg01(0);
    Setmensagem01("");
    Setaliqicmsreg02(0);
    SetCODTRIBUT02("");
    Setmensagem02("");
    Setaliqicmsreg03(0);
    SetBaseIcmsReg03(0);
    SetCODTRIBUT03("");
    Setmensagem03("");
    SetAliqIcmsDiversos(0);
    SetBaseIcmsdiversos(0);
    SetCodTributDiversos("");
    SetMensagemDiversos("");
    Setlucrosubstrib(0);
    Setsubstribsaida("");
    Setpercbasesubstribsaida(0);
    SetPercIcmsSubsTribSaida(0);
    SetsubstribsaidaR1("");
    SetpercbasesubstribsaidaR1(0);
    SetPercIcmsSubsTribSaidaR1(0);
    SetsubstribsaidaR2("");
    SetpercbasesubstribsaidaR2(0);
    SetPercIcmsSubsTribSaidaR2(0);
    SetsubstribsaidaR3("");
    SetpercbasesubstribsaidaR3(0);
    SetPercIcmsSubsTribSaidaR3(0);
    SetsubstribsaidaR4("");
    SetpercbasesubstribsaidaR4(0);
    SetPercIcmsSubsTribSaidaR4(0);
    SetControleLote("");
    Setgrade(0);
}

void TConverteProduto::MontaInsert(MontagemSql& sql) const {
    const auto T = [](const std::string& texto) {
        return [&texto](MontagemSql& s) { s.Texto(texto); };
    };
    const auto N = [](double numero) { return [numero](MontagemSql& s) { s.Numero(numero); }; };

    Montagem m(sql);
    m.Antes("Produto.CODPROD", T(CODPROD_));
    m.Antes("Produto.TIPOPROD", T(TIPOPROD_));
    m.Antes("Produto.ATIVO", T(ATIVO_));
    m.Antes("Produto.PRODBLOQUEADO", T(PRODBLOQUEADO_));
    m.Antes("Produto.CONTROLESERIE", T(CONTROLESERIE_));
    m.Antes("Produto.REFERENCIA", T(REFERENCIA_));
    m.Antes("Produto.REFFABRICANTE", T(REFFABRICANTE_));
    m.Antes("Produto.DESCRICAO", T(DESCRICAO_));
    m.Antes("Produto.DESCRICAO2", T(DESCRICAO2_));
    m.Antes("Produto.DESCRICAO3", T(DESCRICAO3_));
    m.Antes("Produto.FORNEC_ULT_ENT1", T(FORNEC_ULT_ENT1_));
    m.Antes("Produto.CODGRUPO", T(CODGRUPO_));
    m.Antes("Produto.CODSUBGRUPO", T(CODSUBGRUPO_));
    m.Antes("Produto.PRINCIPALFORNEC", T(PRINCIPALFORNEC_));
    m.Antes("Produto.EMBALAGEM", T(EMBALAGEM_));
    m.Antes("Produto.CODFABRIC", T(CODFABRIC_));
    m.Antes("Produto.OBSERVACAO", T(OBSERVACAO_));
    m.Antes("Produto.CODLOCAL", T(CODLOCAL_));
    m.Antes("Produto.CODCLASFIS", T(CODCLASFIS_));
    m.Antes("Produto.ALIQICMSREG00", N(ALIQICMSREG00_));
    m.Antes("Produto.BASEICMSREG00", N(BASEICMSREG00_));
    m.Antes("Produto.BASEICMSREG02", N(BASEICMSREG02_));
    m.Antes("Produto.CODTRIBUT00", T(CODTRIBUT00_));
    m.Antes("Produto.CODTRIBUT01", T(CODTRIBUT01_));
    m.Antes("Produto.ALIQICMSPDV", N(ALIQICMSPDV_));
    m.Antes("Produto.SUBSTRIB", T(SUBSTRIB_));
    m.Antes("Produto.AliqIpi", N(AliqIpi_));
    m.Antes("Produto.AliqISS", N(AliqISS_));
    m.Antes("Produto.PESO", N(PESO_));
    m.Antes("Produto.UNIDADEENT", T(UNIDADEENT_));
    m.Antes("Produto.UNIDADESAIDA", T(UNIDADESAIDA_));
    m.Antes("Produto.CodFamilia", T(CodFamilia_));
    m.Antes("Produto.CodTipoProduto", T(CodTipoProduto_));
    m.Antes("Produto.CodVolume", T(CodVolume_));
    m.Antes("Produto.TipoEntrega", T(TipoEntrega_));
    m.Antes("Produto.CodGeneroItem", T(CodGeneroItem_));
    m.Antes("Produto.PRECO", N(PRECO_));
    m.Antes("Produto.DESCRICAOPRECO", T(DESCRICAOPRECO_));
    m.Antes("Produto.PRECO2", N(PRECO2_));
    m.Antes("Produto.DESCRICAOPRECO2", T(DESCRICAOPRECO2_));
    m.Antes("Produto.PRECO3", N(PRECO3_));
    m.Antes("Produto.DESCRICAOPRECO3", T(DESCRICAOPRECO3_));
    m.Antes("Produto.PRECO4", N(PRECO4_));
    m.Antes("Produto.DESCRICAOPRECO4", T(DESCRICAOPRECO4_));
    m.Antes("Produto.Pr_Ult_Ent1", N(Pr_Ult_Ent1_));
    m.Antes("Produto.Lucro", N(Lucro_));
    m.Antes("Produto.Lucro2", N(Lucro2_));
    m.Antes("Produto.Lucro3", N(Lucro3_));
    m.Antes("Produto.Lucro4", N(Lucro4_));
    m.Antes("Produto.EstMinimo", N(EstMinimo_));
    m.Antes("Produto.EstMaximo", N(EstMaximo_));
    m.Antes("Produto.Comissao", N(Comissao_));
    m.Antes("Produto.Perc_Iva", N(Perc_Iva_));
    m.Antes("Produto.FatorConversao", N(FatorConversao_));
    m.Antes("Produto.MultDivide", T(MultDivide_));
    m.Antes("Produto.ValorIpi", N(ValorIpi_));
    m.Antes("Produto.PrecoPromo", N(PrecoPromo_));

    // The registration date goes in only when there is one; the two dates of the
    // last entry and the last price change only when they differ from "never"
    // (written day.month.year, the order the database reads unambiguously).
    if (!DT_CADASTRO_.empty()) m.Opcional("Produto.DT_CADASTRO     ,", T(DT_CADASTRO_));
    if (Data_Ult_Ent1_ != dataNenhuma_) {
        const std::string data = FormataDataHora("dd.mm.yyyy", Data_Ult_Ent1_);
        m.Opcional("Produto.Data_Ult_Ent1, ", T(data));
    }
    if (Data_Ult_Reajuste_ != dataNenhuma_) {
        const std::string data = FormataDataHora("dd.mm.yyyy", Data_Ult_Reajuste_);
        m.Opcional("Produto.Data_Ult_Reajuste, ", T(data));
    }

    m.Depois("Produto.Fracionado", T(Fracionado_));
    m.Depois("Produto.CAMPOLIVRE1", T(CAMPOLIVRE1_));
    m.Depois("Produto.CAMPOLIVRE2", T(CAMPOLIVRE2_));
    m.Depois("Produto.CAMPOLIVRE3", T(CAMPOLIVRE3_));
    m.Depois("Produto.CAMPOLIVRE4", T(CAMPOLIVRE4_));
    m.Depois("produto.mensagem00", T(mensagem00_));
    m.Depois("produto.aliqicmsreg01", N(aliqicmsreg01_));
    m.Depois("produto.BaseIcmsReg01", N(BaseIcmsReg01_));
    m.Depois("produto.mensagem01", T(mensagem01_));
    m.Depois("produto.aliqicmsreg02", N(aliqicmsreg02_));
    m.Depois("Produto.CODTRIBUT02", T(CODTRIBUT02_));
    m.Depois("produto.mensagem02", T(mensagem02_));
    m.Depois("produto.aliqicmsreg03", N(aliqicmsreg03_));
    m.Depois("produto.BaseIcmsReg03", N(BaseIcmsReg03_));
    m.Depois("Produto.CODTRIBUT03", T(CODTRIBUT03_));
    m.Depois("produto.mensagem03", T(mensagem03_));
    m.Depois("produto.AliqIcmsDiversos", N(AliqIcmsDiversos_));
    m.Depois("produto.BaseIcmsdiversos", N(BaseIcmsdiversos_));
    m.Depois("Produto.CodTributDiversos", T(CodTributDiversos_));
    m.Depois("produto.MensagemDiversos", T(MensagemDiversos_));
    m.Depois("produto.lucrosubstrib", N(lucrosubstrib_));
    m.Depois("produto.substribsaida", T(substribsaida_));
    m.Depois("produto.percbasesubstribsaida", N(percbasesubstribsaida_));
    m.Depois("produto.PercIcmsSubsTribSaida", N(PercIcmsSubsTribSaida_));
    m.Depois("produto.substribsaidaR1", T(substribsaidaR1_));
    m.Depois("produto.percbasesubstribsaidaR1", N(percbasesubstribsaidaR1_));
    m.Depois("produto.PercIcmsSubsTribSaidaR1", N(PercIcmsSubsTribSaidaR1_));
    m.Depois("produto.substribsaidaR2", T(substribsaidaR2_));
    m.Depois("produto.percbasesubstribsaidaR2", N(percbasesubstribsaidaR2_));
    m.Depois("produto.PercIcmsSubsTribSaidaR2", N(PercIcmsSubsTribSaidaR2_));
    m.Depois("produto.substribsaidaR3", T(substribsaidaR3_));
    m.Depois("produto.percbasesubstribsaidaR3", N(percbasesubstribsaidaR3_));
    m.Depois("produto.PercIcmsSubsTribSaidaR3", N(PercIcmsSubsTribSaidaR3_));
    m.Depois("produto.substribsaidaR4", T(substribsaidaR4_));
    m.Depois("produto.percbasesubstribsaidaR4", N(percbasesubstribsaidaR4_));
    m.Depois("Produto.ControleLote", T(ControleLote_));
    m.Depois("produto.PercIcmsSubsTribSaidaR4", N(PercIcmsSubsTribSaidaR4_));
    m.Depois("produto.grade", [this](MontagemSql& s) { s.Inteiro(grade_); });
    m.Fecha();
}

std::string TConverteProduto::TextoInsert() const {
    MontagemSql sql(false);
    MontaInsert(sql);
    return sql.sql;
}

bool TConverteProduto::Inserir() {
    ExecutaLinha([this](MontagemSql& sql) { MontaInsert(sql); });
    Limpa();
    return true;
}

void TConverteProduto::ExcluiRegistros() { ExcluiEConfirma("Delete from PRODUTO", "Commit;"); }

}  // namespace conversor::convert
