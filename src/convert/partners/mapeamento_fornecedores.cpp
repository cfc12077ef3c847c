#include <string>

#include "base/regional.h"
#include "convert/limpeza.h"
#include "convert/mapeamentos.h"
#include "convert/partners/registro_fornecedor.h"
#include "convert/percurso.h"
#include "convert/tipos.h"

namespace conversor::convert {

namespace {}  // namespace

void ConverteFornecedores(ContextoConversao& contexto) {
    intake::TTabelaTemp& tabela = contexto.cdsTabelaTemp;
    TFerramentas& ferramentas = contexto.ferramentas;

    TConverteFornece fornecedor(contexto.dbVantora, contexto.mensagens,
                                contexto.comandosPreparados);

    PercorreTabelaTemp(
        contexto, Descricao(TipoRegistro::Fornecedores),
        [&](int) {
            fornecedor.SetCodFornec(CodigoFixo(tabela.Texto("30"), 6));
            // The state as the sheet writes it (no change of case) feeds the lookups.
            fornecedor.SetEstado(Primeiros(tabela.Texto("28"), 2));
            const std::string cidade = tabela.Texto("8");
            // A supplier without a city gets none: looking up the empty name would
            // create a nameless city in CIDADES for its state.
            if (!EmBranco(cidade))
                fornecedor.SetCodCidade(
                    ferramentas.BuscaCidade(cidade, fornecedor.Campos().Estado));
            fornecedor.SetCep(Primeiros(RetiraPontuacao(tabela.Texto("5")), 8));
            fornecedor.SetBairro(Primeiros(tabela.Texto("4"), 30));
            fornecedor.SetComplemento(Primeiros(tabela.Texto("12"), 60));
            // The CNPJ column, or the CPF column when the CNPJ is blank.
            const std::string cnpj = RetiraPontuacao(tabela.Texto("6"));
            if (!EmBranco(cnpj))
                fornecedor.SetCgcCpf(Primeiros(cnpj, 18));
            else
                fornecedor.SetCgcCpf(Primeiros(RetiraPontuacao(tabela.Texto("18")), 18));
            fornecedor.SetFone(
                ferramentas.Telefone(cidade, fornecedor.Campos().Estado, tabela.Texto("48")));
            fornecedor.SetFax(
                ferramentas.Telefone(cidade, fornecedor.Campos().Estado, tabela.Texto("29")));
            fornecedor.SetNumero(Primeiros(tabela.Texto("40"), 10));
            // The street, a blank and its complement, also when both are empty.
            fornecedor.SetEndereco(Primeiros(tabela.Texto("36"), 60) + " " + tabela.Texto("27"));
            fornecedor.SetNome(Primeiros(tabela.Texto("38"), 50));
            fornecedor.SetNomeFantasia(Primeiros(tabela.Texto("39"), 40));
            fornecedor.SetInscEst(Primeiros(RetiraPontuacao(tabela.Texto("33")), 15));
            fornecedor.SetContato(Primeiros(tabela.Texto("16"), 35));
            fornecedor.SetEmail(Primeiros(tabela.Texto("26"), 100));
            fornecedor.SetPessoaFJ("J");
            fornecedor.SetAtivo("S");
            fornecedor.Inserir();
        },
        {}, {[&] { fornecedor.ExcluiRegistros(); }});
}

}  // namespace conversor::convert
