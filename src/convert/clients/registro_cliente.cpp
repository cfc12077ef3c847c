#include "convert/clients/registro_cliente.h"

#include <algorithm>
#include <stdexcept>

#include "base/regional.h"
#include "convert/colunas.h"
#include "convert/limpeza.h"

namespace conversor::convert {

namespace {

auto Nada() {
    return [](std::string t) { return t; };
}
auto Corte(size_t n) {
    return [n](std::string t) { return Primeiros(t, n); };
}
auto AparaECorta(size_t n) {
    return [n](std::string t) { return Primeiros(Apara(t), n); };
}
auto InscricaoECorta(size_t n) {
    return [n](std::string t) { return Primeiros(TrataInscricao(t), n); };
}
// A city code from CIDADES; no city stays no city rather than becoming "00000".
auto CodigoCidade() {
    return [](std::string t) { return VazioOuZeros(Primeiros(t, 5), 5); };
}

// The date as the statement writes it, "dd.mm.yyyy": the database reads "." dates
// day first, while it would read "/" dates month first.
std::string TextoDeData(std::string_view texto) {
    std::string data(texto);
    std::string r = FormataData(data);
    if (r.empty() && !texto.empty()) r = texto;
    std::replace(r.begin(), r.end(), '/', '.');
    return r;
}

using F = TCamposCliente;
using R = TConverteCliente;
using C = Coluna<F, R>;

// The columns of the insert, in its order, with what a reset gives each one. The
// update rewrites the same columns up to the dates, then closes in its own order.
const C kColunas[] = {
    C::Texto("cliente.codCliente", 8, &F::codCliente, &R::SetCodCliente),
    C::Texto("cliente.nome", 60, &F::nome, &R::SetNome),
    C::Texto("cliente.nomefantasia", 50, &F::nomefantasia, &R::SetNomeFantasia),
    C::Texto("cliente.endereco", 60, &F::endereco, &R::SetEndereco),
    C::Texto("cliente.bairro", 30, &F::bairro, &R::SetBairro),
    C::Texto("cliente.codcidade", 5, &F::codcidade, &R::SetCodCidade),
    C::Texto("cliente.estado", 2, &F::estado, &R::SetEstado),
    C::Texto("cliente.cep", 8, &F::cep, &R::SetCep),
    C::Texto("cliente.cgccpf", 18, &F::cgccpf, &R::SetCgcCpf),
    C::Texto("cliente.inscest", 15, &F::inscest, &R::SetInscEst),
    C::Texto("cliente.inscmunicipal", 15, &F::inscmunicipal, &R::SetInscMunicipal),
    C::Texto("cliente.pessoa_fj", 1, &F::pessoa_fj, &R::SetPessoaFJ, "F"),
    C::Texto("cliente.fone", 15, &F::fone, &R::SetFone),
    C::Texto("cliente.fax", 15, &F::fax, &R::SetFax),
    C::Texto("cliente.prefixcelular", 4, &F::prefixcelular, &R::SetPrefixCelular),
    C::Texto("cliente.celular", 20, &F::celular, &R::SetCelular),
    C::Texto("cliente.campolivre1", 20, &F::campolivre1, &R::SetCampoLivre1),
    C::Texto("cliente.campolivre2", 20, &F::campolivre2, &R::SetCampoLivre2),
    C::Texto("cliente.campolivre3", 60, &F::campolivre3, &R::SetCampoLivre3),
    C::Texto("cliente.campolivre4", 60, &F::campolivre4, &R::SetCampoLivre4),
    C::Texto("cliente.campolivre5", 40, &F::campolivre5, &R::SetCampoLivre5),
    C::Texto("cliente.campolivre6", 40, &F::campolivre6, &R::SetCampoLivre6),
    C::Texto("cliente.campolivre7", 40, &F::campolivre7, &R::SetCampoLivre7),
    C::Texto("cliente.campolivre8", 40, &F::campolivre8, &R::SetCampoLivre8),
    C::Texto("cliente.campolivre9", 40, &F::campolivre9, &R::SetCampoLivre9),
    C::Texto("cliente.campolivre10", 40, &F::campolivre10, &R::SetCampoLivre10),
    C::Texto("cliente.observacao", 100, &F::observacao, &R::SetObservacao),
    C::Texto("cliente.email", 60, &F::email, &R::SetEmail),
    C::Texto("cliente.homepage", 30, &F::homepage, &R::SetHomePage),
    C::Texto("cliente.enderecocob", 60, &F::enderecocob, &R::SetEnderecoCob),
    C::Texto("cliente.bairrocob", 30, &F::bairrocob, &R::SetBairroCob),
    C::Texto("cliente.cepcob", 8, &F::cepcob, &R::SetCepCob),
    C::Texto("cliente.codcidadecob", 5, &F::codcidadecob, &R::SetCodCidadeCob),
    C::Texto("cliente.estadocob", 2, &F::estadocob, &R::SetEstadoCob),
    C::Texto("cliente.enderecoent", 60, &F::enderecoent, &R::SetEnderecoEnt),
    C::Texto("cliente.bairroent", 30, &F::bairroent, &R::SetBairroEnt),
    C::Texto("cliente.cepent", 8, &F::cepent, &R::SetCepEnt),
    C::Texto("cliente.codcidadeent", 5, &F::codcidadeent, &R::SetCodCidadeEnt),
    C::Texto("cliente.estadoent", 2, &F::estadoent, &R::SetEstadoEnt),
    C::Texto("cliente.codfornec", 0, &F::codfornec),
    C::Texto("Cliente.contato", 50, &F::contato, &R::SetContato),
    C::Texto("Cliente.CodSegmento", 0, &F::CodSegmento),
    C::Texto("Cliente.CodClasCli", 0, &F::CodClasCli),
    C::Texto("Cliente.CodVendend1", 0, &F::CodVendend1, &R::SetCodVendend1),
    C::Numero("Cliente.LimiteCredito", &F::LimiteCredito),
    C::Texto("cliente.nomesocio", 0, &F::nomesocio),
    // The dates: in the insert only when filled, in the update NULL when empty.
    C::Opcional("cliente.dt_nascimento", 10, &F::dt_nascimento, &R::SetDtNascimento),
    C::Opcional("cliente.dt_ultvenda", 10, &F::dt_ultvenda),
    C::Opcional("cliente.dt_cadastro", 10, &F::dt_cadastro, &R::SetDtCadastro),
    C::Opcional("cliente.DT_ValCad", 10, &F::DT_ValCad),
    C::Texto("cliente.Ativo", 1, &F::Ativo, &R::SetAtivo, "S").Separadores(nullptr, ","),
    C::Texto("cliente.CliBloqueado", 1, &F::CliBloqueado, &R::SetCliBloqueado, "N")
        .Separadores(nullptr, ","),
    C::Texto("cliente.TipoCliente", 1, &F::TipoCliente, &R::SetTipoCliente)
        .Separadores(nullptr, ","),
    // Written as "N", which dialect 1 reads as a string constant.
    C::Constante("cliente.maladiretaeletr", "N"),
    C::Constante("cliente.protestarcliente", "N"),
};

const FormaInsert kInsert{" Insert Into Cliente ( ", ")  Values ( ", ") "};

// Written as "N", which dialect 1 reads as a string constant.
constexpr const char* kNao = "N";

}  // namespace

TConverteCliente::TConverteCliente(db::Conexao& database, Mensagens& mensagens,
                                   bool comandosPreparados)
    : TRegistro(database, mensagens, kColunas, &kInsert, FormaGravacao::Texto, comandosPreparados) {
    Limpa();
}

void TConverteCliente::SetCodCliente(std::string_view texto) {
    // Padded once more after the letters are dropped, so the code keeps its eight
    // digits and matches the code of the client's complement row.
    campos_.codCliente = SemAspasDuplas(
        texto, [](std::string t) { return TrataInscricao(CompletaZeros(t, 8)); },
        [](std::string t) { return CompletaZeros(TrataInscricao(CodigoFixo(t, 8)), 8); });
}

void TConverteCliente::SetNome(std::string_view texto) {
    campos_.nome = SemAspasDuplas(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetNomeFantasia(std::string_view texto) {
    campos_.nomefantasia = SemAspasDuplas(texto, Corte(50), AparaECorta(50));
}

void TConverteCliente::SetEndereco(std::string_view texto) {
    campos_.endereco = SemAspasDuplas(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetBairro(std::string_view texto) {
    campos_.bairro = SemAspasDuplas(texto, Corte(30), Corte(30));
}

void TConverteCliente::SetCodCidade(std::string_view texto) {
    campos_.codcidade = SemAspasDuplas(texto, Nada(), CodigoCidade());
}

void TConverteCliente::SetEstado(std::string_view texto) {
    campos_.estado = SemAspasDuplas(texto, Corte(2), Corte(2));
}

void TConverteCliente::SetCep(std::string_view texto) {
    campos_.cep = SemAspasDuplas(texto, InscricaoECorta(8), InscricaoECorta(8));
}

void TConverteCliente::SetCgcCpf(std::string_view texto) {
    campos_.cgccpf = SemAspasDuplas(texto, InscricaoECorta(18), InscricaoECorta(18));
}

void TConverteCliente::SetInscEst(std::string_view texto) {
    campos_.inscest = SemAspasDuplas(texto, InscricaoECorta(15), InscricaoECorta(15));
}

void TConverteCliente::SetInscMunicipal(std::string_view texto) {
    campos_.inscmunicipal = SemAspasDuplas(texto, InscricaoECorta(15), InscricaoECorta(15));
}

void TConverteCliente::SetPessoaFJ(std::string_view texto) {
    campos_.pessoa_fj = SemAspasDuplas(texto, Nada(), Corte(1));
}

void TConverteCliente::SetFone(std::string_view texto) {
    const auto aposRemocao = [](std::string t) { return Primeiros(TrataInscricao(Apara(t)), 15); };
    // A bare eight-digit number lines up under the numbers that carry an area code.
    campos_.fone = SemAspasDuplas(texto, aposRemocao, [](std::string t) {
        if (t.size() == 8) t = "  " + t;
        return Primeiros(t, 15);
    });
}

void TConverteCliente::SetFax(std::string_view texto) {
    const auto passo = [](std::string t) { return Primeiros(TrataInscricao(Apara(t)), 15); };
    campos_.fax = SemAspasDuplas(texto, passo, passo);
}

void TConverteCliente::SetPrefixCelular(std::string_view texto) {
    campos_.prefixcelular = SemAspasDuplas(texto, InscricaoECorta(4), Corte(4));
}

void TConverteCliente::SetCelular(std::string_view texto) {
    campos_.celular = SemAspasDuplas(texto, InscricaoECorta(15), Corte(20));
}

void TConverteCliente::SetCampoLivre1(std::string_view texto) {
    campos_.campolivre1 = SemAspasDuplas(texto, Corte(20), Corte(20));
}
void TConverteCliente::SetCampoLivre2(std::string_view texto) {
    campos_.campolivre2 = SemAspasDuplas(texto, Corte(20), Corte(20));
}
void TConverteCliente::SetCampoLivre3(std::string_view texto) {
    campos_.campolivre3 = SemAspasDuplas(texto, Corte(60), Corte(60));
}
void TConverteCliente::SetCampoLivre4(std::string_view texto) {
    campos_.campolivre4 = SemAspasDuplas(texto, Corte(60), Corte(60));
}
void TConverteCliente::SetCampoLivre5(std::string_view texto) {
    campos_.campolivre5 = SemAspasDuplas(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre6(std::string_view texto) {
    campos_.campolivre6 = SemAspasDuplas(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre7(std::string_view texto) {
    campos_.campolivre7 = SemAspasDuplas(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre8(std::string_view texto) {
    campos_.campolivre8 = SemAspasDuplas(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre9(std::string_view texto) {
    campos_.campolivre9 = SemAspasDuplas(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre10(std::string_view texto) {
    campos_.campolivre10 = SemAspasDuplas(texto, Corte(40), Corte(40));
}

void TConverteCliente::SetObservacao(std::string_view texto) {
    campos_.observacao = SemAspasDuplas(texto, Corte(100), Corte(100));
}

void TConverteCliente::SetEmail(std::string_view texto) {
    campos_.email = SemAspasDuplas(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetHomePage(std::string_view texto) {
    campos_.homepage = SemAspasDuplas(texto, AparaECorta(30), AparaECorta(30));
}

void TConverteCliente::SetEnderecoCob(std::string_view texto) {
    campos_.enderecocob = SemAspasDuplas(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetBairroCob(std::string_view texto) {
    campos_.bairrocob = SemAspasDuplas(texto, AparaECorta(60), AparaECorta(30));
}

void TConverteCliente::SetCepCob(std::string_view texto) {
    campos_.cepcob = SemAspasDuplas(texto, InscricaoECorta(8), InscricaoECorta(8));
}

void TConverteCliente::SetCodCidadeCob(std::string_view texto) {
    campos_.codcidadecob = SemAspasDuplas(texto, Nada(), CodigoCidade());
}

void TConverteCliente::SetEstadoCob(std::string_view texto) {
    campos_.estadocob = SemAspasDuplas(texto, Corte(20), Corte(2));
}

void TConverteCliente::SetEnderecoEnt(std::string_view texto) {
    campos_.enderecoent = SemAspasDuplas(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetBairroEnt(std::string_view texto) {
    campos_.bairroent = SemAspasDuplas(texto, Corte(30), Corte(30));
}

void TConverteCliente::SetCepEnt(std::string_view texto) {
    campos_.cepent = SemAspasDuplas(texto, InscricaoECorta(8), InscricaoECorta(8));
}

void TConverteCliente::SetCodCidadeEnt(std::string_view texto) {
    campos_.codcidadeent = SemAspasDuplas(texto, Nada(), CodigoCidade());
}

void TConverteCliente::SetEstadoEnt(std::string_view texto) {
    campos_.estadoent = SemAspasDuplas(texto, AparaECorta(60), AparaECorta(2));
}

void TConverteCliente::SetContato(std::string_view texto) {
    campos_.contato = SemAspasDuplas(
        texto, [](std::string t) { return Apara(t); }, AparaECorta(50));
}

void TConverteCliente::SetCodVendend1(std::string_view texto) {
    campos_.CodVendend1 = SemAspasDuplas(texto, Nada(), Nada());
}

void TConverteCliente::SetDtNascimento(std::string_view texto) {
    campos_.dt_nascimento = texto.empty() ? std::string() : TextoDeData(texto);
}

void TConverteCliente::SetDtCadastro(std::string_view texto) {
    campos_.dt_cadastro = TextoDeData(texto);
}

void TConverteCliente::SetAtivo(std::string_view texto) {
    campos_.Ativo = SemAspasDuplas(texto, Nada(), Corte(1));
}

void TConverteCliente::SetCliBloqueado(std::string_view texto) {
    campos_.CliBloqueado = SemAspasDuplas(texto, Nada(), Corte(1));
}

void TConverteCliente::SetTipoCliente(std::string_view texto) {
    campos_.TipoCliente = SemAspasDuplas(texto, Nada(), Corte(1));
}

void TConverteCliente::Limpa() {
    campos_ = TCamposCliente{};
    TRegistro::Limpa();
}

void TConverteCliente::ExcluiRegistros() { ExcluiEConfirma("Delete from CLIENTE", "Commit;"); }

void TConverteCliente::MontaUpdate(MontagemSql& sql) const {
    sql << " Update Cliente set ";
    bool primeira = true;
    for (const C& c : kColunas) {
        if (c.texto == &F::codCliente) continue;  // the key stays
        if (c.texto == &F::Ativo) break;          // the closing columns come below
        sql << (primeira ? "cliente.Nome" : c.nome) << " = ";
        primeira = false;
        if (c.tipo == TipoColuna::Numero)
            sql.Numero(campos_.*c.numero);
        else if (c.tipo == TipoColuna::Opcional && (campos_.*c.texto).empty())
            sql.Nulo();
        else
            sql.Texto(campos_.*c.texto);
        sql << ", ";
    }
    // The update always unblocks the client.
    sql << "cliente.Ativo = ";
    sql.Texto(campos_.Ativo) << ", cliente.TipoCliente = ";
    sql.Texto(campos_.TipoCliente) << ", cliente.CliBloqueado = ";
    sql.Constante(kNao) << ", cliente.maladiretaeletr = ";
    sql.Constante(kNao) << ", cliente.protestarcliente = ";
    sql.Constante(kNao) << " Where cliente.codcliente = ";
    sql.Texto(campos_.codCliente);
}

std::string TConverteCliente::MontaUpdate() const {
    MontagemSql sql(false);
    MontaUpdate(sql);
    return sql.sql;
}

bool TConverteCliente::GravaCliente(int modo) {
    switch (modo) {
        case 1:
            ExecutaLinha([this](MontagemSql& sql) { MontaInsert(sql); });
            break;
        case 2:
            ExecutaLinha([this](MontagemSql& sql) { MontaUpdate(sql); });
            break;
        default:
            throw std::invalid_argument("Modo de gravação de cliente inválido: " +
                                        std::to_string(modo) + " (1 inclui, 2 altera).");
    }
    Limpa();
    return true;
}

}  // namespace conversor::convert
