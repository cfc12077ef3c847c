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
#include "convert/clients/converte_cliente.h"
#include "convert/clients/converte_comp_clie.h"
#include "convert/mapeamentos.h"
#include "db/erro.h"

namespace conversor::convert {

namespace {

std::string Corta(std::string texto, size_t n) {
    if (texto.size() > n) texto.resize(n);
    return texto;
}

bool EmBranco(std::string_view texto) { return Apara(texto).empty(); }

// One staging row into the two records, then both written.
void ConverteLinha(ContextoConversao& ctx, TConverteCliente& cliente, TConverteCompClie& comp) {
    const intake::TTabelaTemp& t = ctx.cdsTabelaTemp;
    TFerramentas& ferramentas = ctx.ferramentas;

    cliente.SetCodCliente(Corta(TConversao::CompletaZeros(t.Texto(18), 8), 8));
    cliente.SetBairro(Corta(t.Texto(6), 30));
    cliente.SetCep(Corta(TConversao::TrataInscricao(t.Texto(9)), 8));
    // The tax number may sit in either of two columns; 28 only counts when 10 is blank.
    const std::string cgc = TConversao::RetiraPontuacao(t.Texto(10));
    cliente.SetCgcCpf(EmBranco(cgc) ? Corta(TConversao::RetiraPontuacao(t.Texto(28)), 18)
                                    : Corta(cgc, 18));
    cliente.SetContato(Corta(t.Texto(25), 50));
    cliente.SetEmail(Corta(t.Texto(47), 60));
    cliente.SetEstado(Corta(t.Texto(51), 2));
    const std::string cidade = t.Texto(15);
    if (!EmBranco(cidade))
        cliente.SetCodCidade(ferramentas.BuscaCidade(cidade, cliente.Campos().estado));
    cliente.SetEndereco(Corta(t.Texto(48) + ", " + t.Texto(79), 60));
    cliente.SetInscEst(Corta(TConversao::RetiraPontuacao(t.Texto(65)), 15));
    cliente.SetInscMunicipal(Corta(TConversao::RetiraPontuacao(t.Texto(66)), 15));
    cliente.SetNome(Corta(t.Texto(108), 60));
    cliente.SetNomeFantasia(Corta(t.Texto(76), 50));
    // Both numbers take the area code of the main address's city.
    cliente.SetFone(ferramentas.Telefone(cidade, cliente.Campos().estado, t.Texto(123)));
    cliente.SetFax(ferramentas.Telefone(cidade, cliente.Campos().estado, t.Texto(54)));
    cliente.SetObservacao(Corta(t.Texto(50), 80));
    cliente.SetCodVendend1(TConversao::CompletaZeros(Corta(t.Texto(130), 4), 4));
    cliente.SetCampoLivre1(Corta(t.Texto(47), 20));
    const std::string cadastro = t.Texto(30);
    if (!EmBranco(cadastro)) cliente.SetDtCadastro(cadastro);
    cliente.SetEnderecoEnt(Corta(t.Texto(43) + ", " + t.Texto(49), 60));
    cliente.SetBairroEnt(Corta(t.Texto(39), 30));
    cliente.SetCepEnt(Corta(TConversao::TrataInscricao(t.Texto(40)), 8));
    cliente.SetEstadoEnt(Corta(t.Texto(44), 2));
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
    comp.SetEnderecoNFe(Corta(t.Texto(48), 60));
    comp.SetNumeroNFe(Corta(t.Texto(79), 5));
    comp.SetComplementoNFe(Corta(t.Texto(21), 60));

    cliente.GravaCliente(1);
    comp.Inserir();
}

// The row's failure, told with the sheet row it happened on (staging record i is
// sheet row i). A database error stays a database error.
[[noreturn]] void FalhaNaLinha(int linha) {
    const std::string onde = "Linha " + std::to_string(linha) + " da planilha de clientes: ";
    try {
        throw;
    } catch (const db::ErroBanco& e) {
        throw db::ErroBanco(onde + e.what(), e.SqlState());
    } catch (const std::exception& e) {
        throw std::runtime_error(onde + e.what());
    }
}

}  // namespace

void ConverteClientes(ContextoConversao& ctx) {
    TConverteCliente cliente(ctx.dbVantora, ctx.mensagens);
    TConverteCompClie comp(ctx.dbVantora, ctx.mensagens);
    cliente.ExcluiRegistros();
    comp.ExcluiRegistros();

    intake::TTabelaTemp& tabela = ctx.cdsTabelaTemp;
    intake::Progresso& progresso = ctx.progresso;
    progresso.Legenda("Convertendo Clientes, Aguarde!");
    const int n = tabela.RecordCount();
    const std::string total = " de " + std::to_string(n);
    progresso.Posicao(0);
    progresso.Maximo(n);
    tabela.First();
    for (int i = 1; !tabela.Eof(); ++i) {
        progresso.Status("Processando Registro " + std::to_string(i) + total);
        progresso.ProcessaMensagens();
        try {
            ConverteLinha(ctx, cliente, comp);
        } catch (...) {
            FalhaNaLinha(i);
        }
        tabela.Next();
        progresso.Avanca();
    }
    progresso.Legenda("");
    progresso.Status("");
    progresso.Posicao(0);
}

}  // namespace conversor::convert
