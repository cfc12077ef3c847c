#include <string>

#include "base/regional.h"
#include "convert/mapeamentos.h"
#include "convert/partners/registro_vendedor.h"
#include "convert/partners/vendedor_dao.h"
#include "intake/excel.h"

namespace conversor::convert {

namespace {

// The last column the seller layout reads (the seller code).
constexpr int kUltimaColuna = 57;

std::string Primeiros(std::string_view texto, size_t n) { return std::string(texto.substr(0, n)); }

bool EmBranco(std::string_view texto) { return Apara(texto).empty(); }

}  // namespace

void ConverteVendedores(ContextoConversao& contexto) {
    intake::TTabelaTemp& tabela = contexto.cdsTabelaTemp;
    intake::Progresso& progresso = contexto.progresso;
    TFerramentas& ferramentas = contexto.ferramentas;

    // One record serves every row: the fields the sheet does not fill keep their
    // construction values for all sellers.
    TRegistroVendedor vendedor(contexto.dbVantora, contexto.mensagens);
    TVendedorDAO dao(contexto.dbVantora, contexto.mensagens);
    vendedor.Conversao().ExcluiTabela("VENDEND");

    progresso.Legenda("Convertendo Vendedor, Aguarde!");
    const int n = tabela.RecordCount();
    progresso.Posicao(0);
    progresso.Maximo(n);
    tabela.First();
    // A sheet that stops short of the layout fails before its first seller, with
    // the table already emptied.
    if (n > 0 && tabela.Colunas() < kUltimaColuna)
        throw intake::ErroTabelaTemp(
            "A planilha de vendedores deve ir até a coluna " +
            intake::TDMCotrolaExcel::LetraColuna(kUltimaColuna) + " (" +
            std::to_string(kUltimaColuna) + "); a planilha escolhida vai só até a coluna " +
            intake::TDMCotrolaExcel::LetraColuna(tabela.Colunas()) + " (" +
            std::to_string(tabela.Colunas()) + ").");

    for (int i = 1; !tabela.Eof(); ++i) {
        progresso.Status("Processando Registro " + std::to_string(i) + " de " + std::to_string(n));
        progresso.ProcessaMensagens();

        vendedor.SetCodvendedor(Primeiros(tabela.Texto("57"), 4));
        vendedor.SetCep(Primeiros(TConversao::RetiraPontuacao(tabela.Texto("7")), 8));
        vendedor.SetEndereco(Primeiros(tabela.Texto("26"), 50));
        // The state as the sheet writes it feeds the lookups.
        vendedor.SetEstado(Primeiros(tabela.Texto("27"), 2));
        const std::string cidade = tabela.Texto("10");
        // A seller without a city has none; the previous seller's city is not his.
        if (!EmBranco(cidade))
            vendedor.SetCodcidade(ferramentas.BuscaCidade(cidade, vendedor.GetEstado()));
        else
            vendedor.SetCodcidade("");
        vendedor.SetCgccpf(Primeiros(TConversao::RetiraPontuacao(tabela.Texto("20")), 18));
        vendedor.SetRg(Primeiros(TConversao::RetiraPontuacao(tabela.Texto("9")), 15));
        vendedor.SetTelefone(ferramentas.Telefone(cidade, vendedor.GetEstado(), tabela.Texto("54")));
        vendedor.SetNome(Primeiros(tabela.Texto("40"), 40));
        // A commission that is not a number stops the run, naming the cell.
        vendedor.SetComissao(EmBranco(tabela.Texto("12")) ? 0 : tabela.Numero("12"));
        vendedor.SetAtivo("S");
        vendedor.SetTipovendedor("V");
        vendedor.SetMudaprecopdv("N");
        vendedor.SetPrecovendedor(1);
        // A refused seller has been reported; the others still go in.
        dao.Inserir(vendedor);

        tabela.Next();
        progresso.Avanca();
    }

    progresso.Legenda("");
    progresso.Status("");
    progresso.Posicao(0);
}

}  // namespace conversor::convert
