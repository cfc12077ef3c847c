// The products sheet: every staging row becomes one product, its PIS/COFINS detail
// and its opening stock movement, with the unit, fiscal classification and
// manufacturer it refers to found or created on the way.
#include <string>

#include "base/regional.h"
#include "convert/conversao.h"
#include "convert/limpeza.h"
#include "convert/mapeamentos.h"
#include "convert/percurso.h"
#include "convert/products/registro_comp_prod.h"
#include "convert/products/registro_produto.h"
#include "convert/products/registro_produto_detalhe.h"
#include "convert/tipos.h"
#include "db/erro.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {

namespace {

// The product code is the row number in this many digits, so the sheet can have no
// more rows than that writes.
constexpr int kLarguraCodigo = 6;
constexpr int kMaiorLinha = 999999;

// A CST typed as a number loses its leading zero in the sheet ("1" for "01").
std::string Cst(const std::string& texto) { return texto.size() == 1 ? "0" + texto : texto; }

// One staging row into the converters, and the three rows written.
void ConverteLinha(ContextoConversao& c, int linha, TConversao& conversao,
                   TConverteProduto& produto, TConverteCompProd& compProd,
                   TConverteProdutoDetalhe& detalhe) {
    intake::TTabelaTemp& cds = c.cdsTabelaTemp;

    // An optional amount: 0 when the cell is empty, whatever else it holds is read as
    // a number. Some columns count a cell of blanks as empty, others do not.
    const auto NumeroOuZero = [&cds](const char* coluna) {
        return cds.Texto(coluna).empty() ? 0.0 : cds.Numero(coluna);
    };
    const auto NumeroOuZeroAparado = [&cds](const char* coluna) {
        return Apara(cds.Texto(coluna)).empty() ? 0.0 : cds.Numero(coluna);
    };

    // The product code is the row's ordinal, not a sheet value.
    produto.SetCODPROD(CodigoFixo(std::to_string(linha), kLarguraCodigo));
    produto.SetDESCRICAO(Primeiros(RetiraAspas(cds.Texto("66")), 50));
    produto.SetREFERENCIA(Primeiros(cds.Texto("103"), 20));
    produto.SetCAMPOLIVRE2(Primeiros(cds.Texto("20"), 20));
    produto.SetCAMPOLIVRE3(Primeiros(cds.Texto("85"), 50));
    produto.SetCAMPOLIVRE4(Primeiros(cds.Texto("126"), 50));

    // Column "132" says whether the sheet gives a unit at all; the unit itself is in "130".
    const std::string unidade = Primeiros(cds.Texto("132"), 6).empty()
                                    ? conversao.ConverteUnidade("UN")
                                    : conversao.ConverteUnidade(Primeiros(cds.Texto("130"), 6));
    produto.SetUNIDADEENT(unidade);
    produto.SetUNIDADESAIDA(produto.Campos().UNIDADEENT);

    produto.SetPerc_Iva(cds.Numero("64"));
    produto.SetPRECO(NumeroOuZeroAparado("102"));
    produto.SetAliqIpi(NumeroOuZeroAparado("86"));
    produto.SetAliqISS(NumeroOuZeroAparado("87"));

    const std::string ncm = cds.Texto("15");
    if (!Apara(ncm).empty()) produto.SetCODCLASFIS(c.ferramentas.BuscaClassificacaoFiscal(ncm));
    produto.SetCODFABRIC(CompletaZeros(c.ferramentas.BuscaFabricante(cds.Texto("55")), 3));

    // ICMS: taxed in full, with tax substitution, or with a reduced base.
    produto.SetCODTRIBUT00(CompletaZeros(Primeiros(cds.Texto("129"), 2), 3));
    const std::string& cst = produto.Campos().CODTRIBUT00;
    if (cst == "000") {
        produto.SetBASEICMSREG00(100);
        produto.SetALIQICMSREG00(18);
    } else if (cst == "060") {
        produto.SetBASEICMSREG00(0);
        produto.SetALIQICMSREG00(0);
    } else if (cst == "020") {
        produto.SetBASEICMSREG00(51.11);
        produto.SetALIQICMSREG00(18);
    }
    produto.SetSUBSTRIB(cst == "000" ? "N" : "S");
    produto.SetCAMPOLIVRE1(Primeiros(cds.Texto("3"), 20));

    // The opening stock goes in before the product itself.
    compProd.SetCODPROD(produto.Campos().CODPROD);
    compProd.SetPrecoCusto(NumeroOuZero("96"));
    compProd.SetQuantidade(NumeroOuZero("111"));
    conversao.GravaMovimento(c.dbVantora, compProd.Campos().CODPROD, compProd.Campos().Quantidade,
                             compProd.Campos().PrecoCusto, 0);

    produto.SetATIVO(cds.Texto("5") == "True" ? "S" : "N");

    detalhe.SetCODPROD(produto.Campos().CODPROD);
    detalhe.SetCOFINS_CST(Cst(cds.Texto("27")));
    detalhe.SetPIS_CST(Cst(cds.Texto("30")));
    detalhe.SetCOFINSENT_CST("50");
    detalhe.SetPISENT_CST("50");
    detalhe.SetALIQPISENT(1.65);
    detalhe.SetALIQCOFINSENT(7.6);
    detalhe.SetALIQCOFINS(NumeroOuZero("81"));
    detalhe.SetALIQPIS(NumeroOuZero("88"));

    produto.SetPESO(NumeroOuZero("91"));
    produto.SetLucro(NumeroOuZero("64"));
    produto.SetCodGeneroItem(cds.Texto("44"));
    produto.SetTIPOPROD("R");
    produto.SetCodTipoProduto("00");

    produto.Inserir();
    detalhe.Inserir();
}

}  // namespace

void ConverteProdutos(ContextoConversao& c) {
    // A row past the last code would take the code of an earlier row (row 1000000
    // that of row 100000) and fail on it only after the products were deleted.
    const int linhas = c.cdsTabelaTemp.RecordCount();
    if (linhas > kMaiorLinha)
        throw intake::ErroTabelaTemp("A planilha de produtos tem " + std::to_string(linhas) +
                                     " linhas, mas o código do produto é o número da linha, com " +
                                     std::to_string(kLarguraCodigo) +
                                     " dígitos: a planilha pode ter no máximo " +
                                     std::to_string(kMaiorLinha) + " linhas.");

    TConversao conversao(c.dbVantora, c.mensagens, c.comandosPreparados);
    conversao.LembraUnidades(c.ferramentas.LembraCodigos());
    conversao.DefineEnsaio(c.ensaio);
    TConverteProduto produto(c.dbVantora, c.mensagens, c.comandosPreparados);
    TConverteCompProd compProd(c.dbVantora, c.mensagens);
    TConverteProdutoDetalhe detalhe(c.dbVantora, c.mensagens, c.comandosPreparados);

    PercorreTabelaTemp(
        c, Descricao(TipoRegistro::Produtos),
        [&](int registro) { ConverteLinha(c, registro, conversao, produto, compProd, detalhe); },
        [&] { conversao.EsqueceUnidades(); },
        {[&] { produto.ExcluiRegistros(); }, [&] { compProd.ExcluiRegistros(); },
         [&] { detalhe.ExcluiRegistros(); }, [&] { conversao.ExcluiTabela("MVGERAL"); }});
}

}  // namespace conversor::convert
