#include "convert/clients/converte_cliente.h"

#include <algorithm>
#include <stdexcept>

#include "base/regional.h"

namespace conversor::convert {

namespace {

std::string Corta(std::string texto, size_t n) {
    if (texto.size() > n) texto.resize(n);
    return texto;
}

// The statement is built as text, so a double quote must never reach it. The quotes
// go one at a time, the text being normalised again after each removal (`aposRemocao`);
// then the setter's own normalisation (`final`) applies. A text without quotes only
// gets the final one.
template <class AposRemocao, class Final>
std::string Normaliza(std::string_view texto, AposRemocao aposRemocao, Final final) {
    std::string t(texto);
    for (size_t p = t.find('"'); p != std::string::npos; p = t.find('"')) {
        t.erase(p, 1);
        t = aposRemocao(std::move(t));
    }
    return final(std::move(t));
}

auto Nada() {
    return [](std::string t) { return t; };
}
auto Corte(size_t n) {
    return [n](std::string t) { return Corta(std::move(t), n); };
}
auto AparaECorta(size_t n) {
    return [n](std::string t) { return Corta(Apara(t), n); };
}
auto InscricaoECorta(size_t n) {
    return [n](std::string t) { return Corta(TConversao::TrataInscricao(t), n); };
}
// A city code from CIDADES; no city stays no city rather than becoming "00000".
auto CodigoCidade() {
    return [](std::string t) {
        return t.empty() ? t : TConversao::CompletaZeros(Corta(std::move(t), 5), 5);
    };
}

// The date as the statement writes it, "dd.mm.yyyy": the database reads "." dates
// day first, while it would read "/" dates month first.
std::string TextoDeData(std::string_view texto) {
    std::string data(texto);
    std::string r = TConversao::FormataData(data);
    if (r.empty() && !texto.empty()) r = texto;
    std::replace(r.begin(), r.end(), '/', '.');
    return r;
}

// The columns 1 to 46 of both statements, in their order; LimiteCredito, the one
// number, has no text field.
struct Coluna {
    const char* nome;
    std::string TCamposCliente::*campo;
};

constexpr Coluna kColunas[] = {
    {"cliente.codCliente", &TCamposCliente::codCliente},
    {"cliente.nome", &TCamposCliente::nome},
    {"cliente.nomefantasia", &TCamposCliente::nomefantasia},
    {"cliente.endereco", &TCamposCliente::endereco},
    {"cliente.bairro", &TCamposCliente::bairro},
    {"cliente.codcidade", &TCamposCliente::codcidade},
    {"cliente.estado", &TCamposCliente::estado},
    {"cliente.cep", &TCamposCliente::cep},
    {"cliente.cgccpf", &TCamposCliente::cgccpf},
    {"cliente.inscest", &TCamposCliente::inscest},
    {"cliente.inscmunicipal", &TCamposCliente::inscmunicipal},
    {"cliente.pessoa_fj", &TCamposCliente::pessoa_fj},
    {"cliente.fone", &TCamposCliente::fone},
    {"cliente.fax", &TCamposCliente::fax},
    {"cliente.prefixcelular", &TCamposCliente::prefixcelular},
    {"cliente.celular", &TCamposCliente::celular},
    {"cliente.campolivre1", &TCamposCliente::campolivre1},
    {"cliente.campolivre2", &TCamposCliente::campolivre2},
    {"cliente.campolivre3", &TCamposCliente::campolivre3},
    {"cliente.campolivre4", &TCamposCliente::campolivre4},
    {"cliente.campolivre5", &TCamposCliente::campolivre5},
    {"cliente.campolivre6", &TCamposCliente::campolivre6},
    {"cliente.campolivre7", &TCamposCliente::campolivre7},
    {"cliente.campolivre8", &TCamposCliente::campolivre8},
    {"cliente.campolivre9", &TCamposCliente::campolivre9},
    {"cliente.campolivre10", &TCamposCliente::campolivre10},
    {"cliente.observacao", &TCamposCliente::observacao},
    {"cliente.email", &TCamposCliente::email},
    {"cliente.homepage", &TCamposCliente::homepage},
    {"cliente.enderecocob", &TCamposCliente::enderecocob},
    {"cliente.bairrocob", &TCamposCliente::bairrocob},
    {"cliente.cepcob", &TCamposCliente::cepcob},
    {"cliente.codcidadecob", &TCamposCliente::codcidadecob},
    {"cliente.estadocob", &TCamposCliente::estadocob},
    {"cliente.enderecoent", &TCamposCliente::enderecoent},
    {"cliente.bairroent", &TCamposCliente::bairroent},
    {"cliente.cepent", &TCamposCliente::cepent},
    {"cliente.codcidadeent", &TCamposCliente::codcidadeent},
    {"cliente.estadoent", &TCamposCliente::estadoent},
    {"cliente.codfornec", &TCamposCliente::codfornec},
    {"Cliente.contato", &TCamposCliente::contato},
    {"Cliente.CodSegmento", &TCamposCliente::CodSegmento},
    {"Cliente.CodClasCli", &TCamposCliente::CodClasCli},
    {"Cliente.CodVendend1", &TCamposCliente::CodVendend1},
    {"Cliente.LimiteCredito", nullptr},
    {"cliente.nomesocio", &TCamposCliente::nomesocio},
};

// The date columns: in the insert only when filled, in the update NULL when empty.
constexpr Coluna kDatas[] = {
    {"cliente.dt_nascimento", &TCamposCliente::dt_nascimento},
    {"cliente.dt_ultvenda", &TCamposCliente::dt_ultvenda},
    {"cliente.dt_cadastro", &TCamposCliente::dt_cadastro},
    {"cliente.DT_ValCad", &TCamposCliente::DT_ValCad},
};

// Written as "N", which dialect 1 reads as a string constant.
constexpr const char* kNao = "N";

void Valor(MontagemSql& sql, const TCamposCliente& campos, const Coluna& coluna) {
    if (coluna.campo)
        sql.Texto(campos.*coluna.campo);
    else
        sql.Numero(campos.LimiteCredito);
}

}  // namespace

TConverteCliente::TConverteCliente(db::Conexao& database, Mensagens& mensagens)
    : TConversao(database, mensagens) {
    Limpa();
}

void TConverteCliente::SetCodCliente(std::string_view texto) {
    // Padded once more after the letters are dropped, so the code keeps its eight
    // digits and matches the code of the client's complement row.
    campos_.codCliente = Normaliza(
        texto, [](std::string t) { return TrataInscricao(CompletaZeros(t, 8)); },
        [](std::string t) {
            return CompletaZeros(TrataInscricao(CompletaZeros(Corta(std::move(t), 8), 8)), 8);
        });
}

void TConverteCliente::SetNome(std::string_view texto) {
    campos_.nome = Normaliza(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetNomeFantasia(std::string_view texto) {
    campos_.nomefantasia = Normaliza(texto, Corte(50), AparaECorta(50));
}

void TConverteCliente::SetEndereco(std::string_view texto) {
    campos_.endereco = Normaliza(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetBairro(std::string_view texto) {
    campos_.bairro = Normaliza(texto, Corte(30), Corte(30));
}

void TConverteCliente::SetCodCidade(std::string_view texto) {
    campos_.codcidade = Normaliza(texto, Nada(), CodigoCidade());
}

void TConverteCliente::SetEstado(std::string_view texto) {
    campos_.estado = Normaliza(texto, Corte(2), Corte(2));
}

void TConverteCliente::SetCep(std::string_view texto) {
    campos_.cep = Normaliza(texto, InscricaoECorta(8), InscricaoECorta(8));
}

void TConverteCliente::SetCgcCpf(std::string_view texto) {
    campos_.cgccpf = Normaliza(texto, InscricaoECorta(18), InscricaoECorta(18));
}

void TConverteCliente::SetInscEst(std::string_view texto) {
    campos_.inscest = Normaliza(texto, InscricaoECorta(15), InscricaoECorta(15));
}

void TConverteCliente::SetInscMunicipal(std::string_view texto) {
    campos_.inscmunicipal = Normaliza(texto, InscricaoECorta(15), InscricaoECorta(15));
}

void TConverteCliente::SetPessoaFJ(std::string_view texto) {
    campos_.pessoa_fj = Normaliza(texto, Nada(), Corte(1));
}

void TConverteCliente::SetFone(std::string_view texto) {
    const auto aposRemocao = [](std::string t) { return Corta(TrataInscricao(Apara(t)), 15); };
    // A bare eight-digit number lines up under the numbers that carry an area code.
    campos_.fone = Normaliza(texto, aposRemocao, [](std::string t) {
        if (t.size() == 8) t = "  " + t;
        return Corta(std::move(t), 15);
    });
}

void TConverteCliente::SetFax(std::string_view texto) {
    const auto passo = [](std::string t) { return Corta(TrataInscricao(Apara(t)), 15); };
    campos_.fax = Normaliza(texto, passo, passo);
}

void TConverteCliente::SetPrefixCelular(std::string_view texto) {
    campos_.prefixcelular = Normaliza(texto, InscricaoECorta(4), Corte(4));
}

void TConverteCliente::SetCelular(std::string_view texto) {
    campos_.celular = Normaliza(texto, InscricaoECorta(15), Corte(20));
}

void TConverteCliente::SetCampoLivre1(std::string_view texto) {
    campos_.campolivre1 = Normaliza(texto, Corte(20), Corte(20));
}
void TConverteCliente::SetCampoLivre2(std::string_view texto) {
    campos_.campolivre2 = Normaliza(texto, Corte(20), Corte(20));
}
void TConverteCliente::SetCampoLivre3(std::string_view texto) {
    campos_.campolivre3 = Normaliza(texto, Corte(60), Corte(60));
}
void TConverteCliente::SetCampoLivre4(std::string_view texto) {
    campos_.campolivre4 = Normaliza(texto, Corte(60), Corte(60));
}
void TConverteCliente::SetCampoLivre5(std::string_view texto) {
    campos_.campolivre5 = Normaliza(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre6(std::string_view texto) {
    campos_.campolivre6 = Normaliza(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre7(std::string_view texto) {
    campos_.campolivre7 = Normaliza(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre8(std::string_view texto) {
    campos_.campolivre8 = Normaliza(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre9(std::string_view texto) {
    campos_.campolivre9 = Normaliza(texto, Corte(40), Corte(40));
}
void TConverteCliente::SetCampoLivre10(std::string_view texto) {
    campos_.campolivre10 = Normaliza(texto, Corte(40), Corte(40));
}

void TConverteCliente::SetObservacao(std::string_view texto) {
    campos_.observacao = Normaliza(texto, Corte(100), Corte(100));
}

void TConverteCliente::SetEmail(std::string_view texto) {
    campos_.email = Normaliza(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetHomePage(std::string_view texto) {
    campos_.homepage = Normaliza(texto, AparaECorta(30), AparaECorta(30));
}

void TConverteCliente::SetEnderecoCob(std::string_view texto) {
    campos_.enderecocob = Normaliza(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetBairroCob(std::string_view texto) {
    campos_.bairrocob = Normaliza(texto, AparaECorta(60), AparaECorta(30));
}

void TConverteCliente::SetCepCob(std::string_view texto) {
    campos_.cepcob = Normaliza(texto, InscricaoECorta(8), InscricaoECorta(8));
}

void TConverteCliente::SetCodCidadeCob(std::string_view texto) {
    campos_.codcidadecob = Normaliza(texto, Nada(), CodigoCidade());
}

void TConverteCliente::SetEstadoCob(std::string_view texto) {
    campos_.estadocob = Normaliza(texto, Corte(20), Corte(2));
}

void TConverteCliente::SetEnderecoEnt(std::string_view texto) {
    campos_.enderecoent = Normaliza(texto, AparaECorta(60), AparaECorta(60));
}

void TConverteCliente::SetBairroEnt(std::string_view texto) {
    campos_.bairroent = Normaliza(texto, Corte(30), Corte(30));
}

void TConverteCliente::SetCepEnt(std::string_view texto) {
    campos_.cepent = Normaliza(texto, InscricaoECorta(8), InscricaoECorta(8));
}

void TConverteCliente::SetCodCidadeEnt(std::string_view texto) {
    campos_.codcidadeent = Normaliza(texto, Nada(), CodigoCidade());
}

void TConverteCliente::SetEstadoEnt(std::string_view texto) {
    campos_.estadoent = Normaliza(texto, AparaECorta(60), AparaECorta(2));
}

void TConverteCliente::SetContato(std::string_view texto) {
    campos_.contato = Normaliza(
        texto, [](std::string t) { return Apara(t); }, AparaECorta(50));
}

void TConverteCliente::SetCodVendend1(std::string_view texto) {
    campos_.CodVendend1 = Normaliza(texto, Nada(), Nada());
}

void TConverteCliente::SetDtNascimento(std::string_view texto) {
    campos_.dt_nascimento = texto.empty() ? std::string() : TextoDeData(texto);
}

void TConverteCliente::SetDtCadastro(std::string_view texto) {
    campos_.dt_cadastro = TextoDeData(texto);
}

void TConverteCliente::SetAtivo(std::string_view texto) {
    campos_.Ativo = Normaliza(texto, Nada(), Corte(1));
}

void TConverteCliente::SetCliBloqueado(std::string_view texto) {
    campos_.CliBloqueado = Normaliza(texto, Nada(), Corte(1));
}

void TConverteCliente::SetTipoCliente(std::string_view texto) {
    campos_.TipoCliente = Normaliza(texto, Nada(), Corte(1));
}

void TConverteCliente::Limpa() {
    campos_ = TCamposCliente{};
    SetCodCliente("");
    SetNome("");
    SetNomeFantasia("");
    SetEndereco("");
    SetBairro("");
    SetCodCidade("");
    SetEstado("");
    SetCep("");
    SetCgcCpf("");
    SetInscEst("");
    SetInscMunicipal("");
    SetPessoaFJ("F");
    SetFone("");
    SetFax("");
    SetPrefixCelular("");
    SetCelular("");
    SetCampoLivre1("");
    SetCampoLivre2("");
    SetCampoLivre3("");
    SetCampoLivre4("");
    SetCampoLivre5("");
    SetCampoLivre6("");
    SetCampoLivre7("");
    SetCampoLivre8("");
    SetCampoLivre9("");
    SetCampoLivre10("");
    SetObservacao("");
    SetEmail("");
    SetHomePage("");
    SetEnderecoCob("");
    SetBairroCob("");
    SetCepCob("");
    SetCodCidadeCob("");
    SetEstadoCob("");
    SetEnderecoEnt("");
    SetBairroEnt("");
    SetCepEnt("");
    SetCodCidadeEnt("");
    SetEstadoEnt("");
    SetContato("");
    SetCodVendend1("");
    SetDtNascimento("");
    SetDtCadastro("");
    SetAtivo("S");
    SetCliBloqueado("N");
    SetTipoCliente("");
}

void TConverteCliente::ExcluiRegistros() { ExcluiEConfirma("Delete from CLIENTE", "Commit;"); }

void TConverteCliente::MontaInsert(MontagemSql& sql) const {
    const size_t inicio = sql.sql.size();
    std::string colunas = " Insert Into Cliente ( ";
    MontagemSql& valores = sql;
    valores << " Values ( ";
    for (const Coluna& c : kColunas) {
        colunas += c.nome;
        colunas += ", ";
        Valor(valores, campos_, c);
        valores << ", ";
    }
    for (const Coluna& d : kDatas) {
        if ((campos_.*d.campo).empty()) continue;
        colunas += d.nome;
        colunas += ", ";
        valores.Texto(campos_.*d.campo) << ", ";
    }
    colunas +=
        "cliente.Ativo, cliente.CliBloqueado, cliente.TipoCliente, cliente.maladiretaeletr, "
        "cliente.protestarcliente) ";
    valores.Texto(campos_.Ativo) << ",";
    valores.Texto(campos_.CliBloqueado) << ",";
    valores.Texto(campos_.TipoCliente) << ",";
    valores.Constante(kNao) << ", ";
    valores.Constante(kNao) << ") ";
    sql.sql.insert(inicio, colunas);
}

std::string TConverteCliente::MontaInsert() const {
    MontagemSql sql(false);
    MontaInsert(sql);
    return sql.sql;
}

void TConverteCliente::MontaUpdate(MontagemSql& sql) const {
    sql << " Update Cliente set ";
    bool primeira = true;
    for (const Coluna& c : kColunas) {
        if (c.campo == &TCamposCliente::codCliente) continue;  // the key stays
        sql << (primeira ? "cliente.Nome" : c.nome);
        primeira = false;
        sql << " = ";
        Valor(sql, campos_, c);
        sql << ", ";
    }
    for (const Coluna& d : kDatas) {
        const std::string& data = campos_.*d.campo;
        sql << d.nome << " = ";
        if (data.empty())
            sql.Nulo();
        else
            sql.Texto(data);
        sql << ", ";
    }
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
        case 1: ExecutaLinha([this](MontagemSql& sql) { MontaInsert(sql); }); break;
        case 2: ExecutaLinha([this](MontagemSql& sql) { MontaUpdate(sql); }); break;
        default:
            throw std::invalid_argument("Modo de gravação de cliente inválido: " +
                                        std::to_string(modo) + " (1 inclui, 2 altera).");
    }
    Limpa();
    return true;
}

}  // namespace conversor::convert
