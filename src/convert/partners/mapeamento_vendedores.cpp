#include <string>

#include "base/regional.h"
#include "convert/limpeza.h"
#include "convert/mapeamentos.h"
#include "convert/partners/registro_vendedor.h"
#include "convert/partners/vendedor_dao.h"
#include "convert/percurso.h"
#include "convert/tipos.h"

namespace conversor::convert {

namespace {}  // namespace

void ConverteVendedores(ContextoConversao& contexto) {
    intake::TTabelaTemp& tabela = contexto.cdsTabelaTemp;
    TFerramentas& ferramentas = contexto.ferramentas;

    // One record serves every row: the fields the sheet does not fill keep their
    // construction values for all sellers.
    TRegistroVendedor vendedor(contexto.dbVantora, contexto.mensagens);
    TVendedorDAO dao(contexto.dbVantora, contexto.mensagens);

    PercorreTabelaTemp(
        contexto, Descricao(TipoRegistro::Vendedores),
        [&](int) {
            vendedor.SetCodvendedor(Primeiros(tabela.Texto("57"), 4));
            vendedor.SetCep(Primeiros(RetiraPontuacao(tabela.Texto("7")), 8));
            vendedor.SetEndereco(Primeiros(tabela.Texto("26"), 50));
            // The state as the sheet writes it feeds the lookups.
            vendedor.SetEstado(Primeiros(tabela.Texto("27"), 2));
            const std::string cidade = tabela.Texto("10");
            // A seller without a city has none; the previous seller's city is not his.
            if (!EmBranco(cidade))
                vendedor.SetCodcidade(ferramentas.BuscaCidade(cidade, vendedor.Campos().Estado));
            else
                vendedor.SetCodcidade("");
            vendedor.SetCgccpf(Primeiros(RetiraPontuacao(tabela.Texto("20")), 18));
            vendedor.SetRg(Primeiros(RetiraPontuacao(tabela.Texto("9")), 15));
            vendedor.SetTelefone(
                ferramentas.Telefone(cidade, vendedor.Campos().Estado, tabela.Texto("54")));
            vendedor.SetNome(Primeiros(tabela.Texto("40"), 40));
            // A commission that is not a number stops the run, naming the cell.
            vendedor.SetComissao(EmBranco(tabela.Texto("12")) ? 0 : tabela.Numero("12"));
            vendedor.SetAtivo("S");
            vendedor.SetTipovendedor("V");
            vendedor.SetMudaprecopdv("N");
            vendedor.SetPrecovendedor(1);
            // A refused seller has been reported; the others still go in.
            dao.Inserir(vendedor);
        },
        {}, {[&] { vendedor.Conversao().ExcluiTabela("VENDEND"); }});
}

}  // namespace conversor::convert
