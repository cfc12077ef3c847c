#include <string>

#include "base/regional.h"
#include "convert/limpeza.h"
#include "convert/mapeamentos.h"
#include "convert/partners/registro_transportadora.h"
#include "convert/percurso.h"
#include "convert/tipos.h"

namespace conversor::convert {

namespace {}  // namespace

void ConverteTransportadoras(ContextoConversao& contexto) {
    intake::TTabelaTemp& tabela = contexto.cdsTabelaTemp;
    TFerramentas& ferramentas = contexto.ferramentas;

    TConverteTransportadora transportadora(contexto.dbVantora, contexto.mensagens);

    PercorreTabelaTemp(
        contexto, Descricao(TipoRegistro::Transportadoras),
        [&](int) {
            transportadora.SetCodTransp(Primeiros(tabela.Texto("27"), 4));
            const std::string rua = tabela.Texto("19");
            const std::string numero = tabela.Texto("13");
            if (EmBranco(rua) && EmBranco(numero))
                transportadora.SetEndereco("");
            else
                transportadora.SetEndereco(Primeiros(rua, 50) + " " + numero + " " +
                                           tabela.Texto("21"));
            transportadora.SetBairro(Primeiros(tabela.Texto("3"), 30));
            transportadora.SetCep(Primeiros(RetiraPontuacao(tabela.Texto("4")), 8));
            // The cleaned state (two letters, upper case) is what the lookups receive.
            transportadora.SetEstado(Primeiros(tabela.Texto("14"), 2));
            const std::string cidade = tabela.Texto("6");
            if (!EmBranco(cidade))
                transportadora.SetCodCidade(
                    ferramentas.BuscaCidade(cidade, transportadora.Campos().ESTADO));
            transportadora.SetCgcCpf(Primeiros(RetiraPontuacao(tabela.Texto("5")), 18));
            transportadora.SetContato(Primeiros(RetiraPontuacao(tabela.Texto("10")), 18));
            transportadora.SetFone(
                ferramentas.Telefone(cidade, transportadora.Campos().ESTADO, tabela.Texto("26")));
            transportadora.SetFax(
                ferramentas.Telefone(cidade, transportadora.Campos().ESTADO, tabela.Texto("16")));
            transportadora.SetNome(Primeiros(tabela.Texto("20"), 35));
            transportadora.SetInscEst(Primeiros(RetiraPontuacao(tabela.Texto("18")), 15));
            transportadora.SetPessoaFJ("J");
            transportadora.Inserir();
        },
        {}, {[&] { transportadora.ExcluiRegistros(); }});
}

}  // namespace conversor::convert
