// The clients sheet: every staging row becomes one CLIENTE row and its COMPCLIE row.
//
// Layout of the sheet (staging column numbers): 18 client code, 108 name, 76 trade
// name, 10 tax number (CNPJ or CPF) with 28 as its second source, 65 and 66 state
// and municipal registration; main address: 48 street, 79 number, 21 complement,
// 6 district, 9 postal code, 15 city, 51 state; delivery address: 43 street,
// 49 number, 39 district, 40 postal code, 41 city, 44 state; 123 telephone, 54 fax,
// 47 e-mail, 25 contact, 50 remarks, 30 registration date, 130 seller code.
#include <exception>
#include <stdexcept>
#include <string>

#include "base/regional.h"
#include "convert/clients/registro_cliente.h"
#include "convert/clients/registro_comp_clie.h"
#include "convert/limpeza.h"
#include "convert/mapeamentos.h"
#include "convert/percurso.h"
#include "convert/tipos.h"
#include "db/erro.h"

namespace conversor::convert {

namespace {

// One staging row into the two records, then both written.
void ConverteLinha(ContextoConversao& ctx, TConverteCliente& cliente, TConverteCompClie& comp) {
    const intake::TTabelaTemp& t = ctx.cdsTabelaTemp;
    TFerramentas& ferramentas = ctx.ferramentas;

    cliente.SetCodCliente(CodigoFixo(t.Texto(18), 8));
    cliente.SetBairro(Primeiros(t.Texto(6), 30));
    cliente.SetCep(Primeiros(TrataInscricao(t.Texto(9)), 8));
    // The tax number may sit in either of two columns; 28 only counts when 10 is blank.
    const std::string cgc = RetiraPontuacao(t.Texto(10));
    cliente.SetCgcCpf(EmBranco(cgc) ? Primeiros(RetiraPontuacao(t.Texto(28)), 18)
                                    : Primeiros(cgc, 18));
    cliente.SetContato(Primeiros(t.Texto(25), 50));
    cliente.SetEmail(Primeiros(t.Texto(47), 60));
    cliente.SetEstado(Primeiros(t.Texto(51), 2));
    const std::string cidade = t.Texto(15);
    if (!EmBranco(cidade))
        cliente.SetCodCidade(ferramentas.BuscaCidade(cidade, cliente.Campos().estado));
    cliente.SetEndereco(Primeiros(t.Texto(48) + ", " + t.Texto(79), 60));
    cliente.SetInscEst(Primeiros(RetiraPontuacao(t.Texto(65)), 15));
    cliente.SetInscMunicipal(Primeiros(RetiraPontuacao(t.Texto(66)), 15));
    cliente.SetNome(Primeiros(t.Texto(108), 60));
    cliente.SetNomeFantasia(Primeiros(t.Texto(76), 50));
    // Both numbers take the area code of the main address's city.
    cliente.SetFone(ferramentas.Telefone(cidade, cliente.Campos().estado, t.Texto(123)));
    cliente.SetFax(ferramentas.Telefone(cidade, cliente.Campos().estado, t.Texto(54)));
    cliente.SetObservacao(Primeiros(t.Texto(50), 80));
    cliente.SetCodVendend1(CodigoFixo(t.Texto(130), 4));
    cliente.SetCampoLivre1(Primeiros(t.Texto(47), 20));
    const std::string cadastro = t.Texto(30);
    if (!EmBranco(cadastro)) cliente.SetDtCadastro(cadastro);
    cliente.SetEnderecoEnt(Primeiros(t.Texto(43) + ", " + t.Texto(49), 60));
    cliente.SetBairroEnt(Primeiros(t.Texto(39), 30));
    cliente.SetCepEnt(Primeiros(TrataInscricao(t.Texto(40)), 8));
    cliente.SetEstadoEnt(Primeiros(t.Texto(44), 2));
    const std::string cidadeEnt = t.Texto(41);
    if (!EmBranco(cidadeEnt)) {
        // The delivery city belongs to the delivery state; without one, to the state
        // of the main address.
        const std::string& estadoEnt = cliente.Campos().estadoent;
        cliente.SetCodCidadeEnt(ferramentas.BuscaCidade(
            cidadeEnt, estadoEnt.empty() ? cliente.Campos().estado : estadoEnt));
    }
    cliente.SetPessoaFJ(cliente.Campos().cgccpf.size() > 11 ? "J" : "F");
    cliente.SetAtivo("S");

    comp.SetCodCliente(cliente.Campos().codCliente);
    comp.SetEnderecoNFe(Primeiros(t.Texto(48), 60));
    comp.SetNumeroNFe(Primeiros(t.Texto(79), 5));
    comp.SetComplementoNFe(Primeiros(t.Texto(21), 60));

    cliente.GravaCliente(1);
    comp.Inserir();
}

}  // namespace

void ConverteClientes(ContextoConversao& ctx) {
    TConverteCliente cliente(ctx.dbVantora, ctx.mensagens, ctx.comandosPreparados);
    TConverteCompClie comp(ctx.dbVantora, ctx.mensagens);
    PercorreTabelaTemp(ctx, Descricao(TipoRegistro::Clientes),
                       [&](int) { ConverteLinha(ctx, cliente, comp); }, {},
                       {[&] { cliente.ExcluiRegistros(); }, [&] { comp.ExcluiRegistros(); }});
}

}  // namespace conversor::convert
