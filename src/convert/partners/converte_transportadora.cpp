#include "convert/partners/converte_transportadora.h"

#include "base/regional.h"

namespace conversor::convert {

namespace {


// Takes the double quotes out one by one; after each removal the value is cleaned
// again (`aposRemocao`), then the final cleaning gives the stored value.
template <typename AposRemocao, typename Final>
std::string Limpo(std::string_view valor, AposRemocao aposRemocao, Final final) {
    std::string texto(valor);
    for (size_t p = texto.find('"'); p != std::string::npos; p = texto.find('"')) {
        texto.erase(p, 1);
        texto = aposRemocao(std::move(texto));
    }
    return final(std::move(texto));
}

std::string Igual(std::string texto) { return texto; }

// A code column: an empty text stays empty, anything else is cut and zero-padded.
std::string Codigo5(std::string texto) {
    if (texto.empty()) return texto;
    return TConversao::CompletaZeros(Primeiros(texto, 5), 5);
}

std::string Telefone(std::string_view valor) {
    return Limpo(
        valor, [](std::string t) { return Primeiros(TConversao::TrataInscricao(Apara(t)), 15); },
        [](std::string t) { return TConversao::SomenteNumeros(Primeiros(t, 16)); });
}

}  // namespace

TConverteTransportadora::TConverteTransportadora(db::Conexao& database, Mensagens& mensagens)
    : TConversao(database, mensagens) {
    Limpa();
}

void TConverteTransportadora::ExcluiRegistros() { ExcluiEConfirma("DELETE FROM TRANSPT", "COMMIT;"); }

void TConverteTransportadora::SetCodTransp(std::string_view valor) {
    // Padded before the non-digits go: "A12" becomes "0A12" and then "012".
    CODTRANSPT_ = Limpo(
        valor, [](std::string t) { return TrataInscricao(CompletaZeros(t, 4)); },
        [](std::string t) { return TrataInscricao(CompletaZeros(Primeiros(t, 4), 4)); });
}

void TConverteTransportadora::SetNome(std::string_view valor) {
    const auto nome = [](std::string t) { return Primeiros(Apara(t), 35); };
    NOME_ = Limpo(valor, nome, nome);
}

void TConverteTransportadora::SetCgcCpf(std::string_view valor) {
    CGCCPF_ = Limpo(
        valor, [](std::string t) { return Primeiros(TrataInscricao(t), 14); },
        [](std::string t) { return RetiraPontuacao(Primeiros(TrataInscricao(t), 14)); });
}

void TConverteTransportadora::SetInscEst(std::string_view valor) {
    INSCEST_ = Limpo(
        valor, [](std::string t) { return Primeiros(TrataInscricao(t), 15); },
        [](std::string t) { return RetiraPontuacao(Primeiros(TrataInscricao(t), 15)); });
}

void TConverteTransportadora::SetPessoaFJ(std::string_view valor) {
    PESSOA_FJ_ = Limpo(valor, Igual, [](std::string t) { return Primeiros(t, 1); });
}

void TConverteTransportadora::SetCodCidade(std::string_view valor) {
    CODCIDADE_ = Limpo(valor, Igual, Codigo5);
}

void TConverteTransportadora::SetEstado(std::string_view valor) {
    ESTADO_ = Limpo(
        valor, [](std::string t) { return Primeiros(t, 2); },
        [](std::string t) { return Maiusculas(Primeiros(t, 2)); });
}

void TConverteTransportadora::SetBairro(std::string_view valor) {
    BAIRRO_ = Limpo(valor, Igual, [](std::string t) { return Primeiros(t, 30); });
}

void TConverteTransportadora::SetCep(std::string_view valor) {
    CEP_ = Limpo(valor, Igual, [](std::string t) { return Primeiros(t, 8); });
}

void TConverteTransportadora::SetEndereco(std::string_view valor) {
    ENDERECO_ = Limpo(valor, Igual, [](std::string t) { return Primeiros(t, 50); });
}

void TConverteTransportadora::SetContato(std::string_view valor) {
    CONTATO_ = Limpo(valor, Igual, Codigo5);
}

void TConverteTransportadora::SetFone(std::string_view valor) { FONE_ = Telefone(valor); }

void TConverteTransportadora::SetFax(std::string_view valor) { FAX_ = Telefone(valor); }

bool TConverteTransportadora::Inserir() {
    db::Consulta& q = Query();
    q.DefineSql(
        "INSERT INTO TRANSPT ( CODTRANSPT, NOME, CGCCPF, INSCEST, PESSOA_FJ, ENDERECO, BAIRRO, "
        "CEP, CODCIDADE, ESTADO, CONTATO, FONE, FAX ) VALUES (:CODTRANSPT, :NOME, :CGCCPF, "
        ":INSCEST, :PESSOA_FJ, :ENDERECO, :BAIRRO, :CEP, :CODCIDADE, :ESTADO, :CONTATO, :FONE, "
        ":FAX )");
    q.ParamTexto("CODTRANSPT", CODTRANSPT_);
    q.ParamTexto("NOME", NOME_);
    q.ParamTexto("CGCCPF", CGCCPF_);
    q.ParamTexto("INSCEST", INSCEST_);
    q.ParamTexto("PESSOA_FJ", PESSOA_FJ_);
    q.ParamTexto("ENDERECO", ENDERECO_);
    q.ParamTexto("BAIRRO", BAIRRO_);
    q.ParamTexto("CEP", CEP_);
    q.ParamTexto("CODCIDADE", CODCIDADE_);
    q.ParamTexto("ESTADO", ESTADO_);
    q.ParamTexto("CONTATO", CONTATO_);
    q.ParamTexto("FONE", FONE_);
    q.ParamTexto("FAX", FAX_);
    q.Executa();
    Limpa();
    return true;
}

void TConverteTransportadora::Limpa() {
    CODTRANSPT_.clear();
    NOME_.clear();
    CGCCPF_.clear();
    INSCEST_.clear();
    PESSOA_FJ_.clear();
    CODCIDADE_.clear();
    ESTADO_.clear();
}

}  // namespace conversor::convert
