#include "convert/partners/registro_transportadora.h"

#include "base/regional.h"
#include "convert/colunas.h"
#include "convert/limpeza.h"

namespace conversor::convert {

namespace {

std::string Igual(std::string texto) { return texto; }

// A code column: an empty text stays empty, anything else is cut and zero-padded.
std::string Codigo5(std::string texto) { return VazioOuZeros(Primeiros(texto, 5), 5); }

std::string Telefone(std::string_view valor) {
    return SemAspasDuplas(
        valor, [](std::string t) { return Primeiros(TrataInscricao(Apara(t)), 15); },
        [](std::string t) { return SomenteNumeros(Primeiros(t, 16)); });
}

using F = TCamposTransportadora;
using R = TConverteTransportadora;
using C = Coluna<F, R>;

// The columns of the insert, each bound to the parameter of its name. A reset empties
// the identity; the address, contact and telephones stay.
const C kColunas[] = {
    C::Texto("CODTRANSPT", 4, &F::CODTRANSPT).Parametro("CODTRANSPT"),
    C::Texto("NOME", 35, &F::NOME).Parametro("NOME"),
    C::Texto("CGCCPF", 14, &F::CGCCPF).Parametro("CGCCPF"),
    C::Texto("INSCEST", 15, &F::INSCEST).Parametro("INSCEST"),
    C::Texto("PESSOA_FJ", 1, &F::PESSOA_FJ).Parametro("PESSOA_FJ"),
    C::Texto("ENDERECO", 50, &F::ENDERECO).Parametro("ENDERECO").Mantida(),
    C::Texto("BAIRRO", 30, &F::BAIRRO).Parametro("BAIRRO").Mantida(),
    C::Texto("CEP", 8, &F::CEP).Parametro("CEP").Mantida(),
    C::Texto("CODCIDADE", 5, &F::CODCIDADE).Parametro("CODCIDADE"),
    C::Texto("ESTADO", 2, &F::ESTADO).Parametro("ESTADO"),
    C::Texto("CONTATO", 5, &F::CONTATO).Parametro("CONTATO").Mantida(),
    C::Texto("FONE", 16, &F::FONE).Parametro("FONE").Mantida(),
    C::Texto("FAX", 16, &F::FAX).Parametro("FAX").Mantida(),
};

const FormaInsert kInsert{"INSERT INTO TRANSPT ( ", " ) VALUES (", " )"};

}  // namespace

TConverteTransportadora::TConverteTransportadora(db::Conexao& database, Mensagens& mensagens)
    : TRegistro(database, mensagens, kColunas, &kInsert, FormaGravacao::Parametros) {
    Limpa();
}

void TConverteTransportadora::ExcluiRegistros() {
    ExcluiEConfirma("DELETE FROM TRANSPT", "COMMIT;");
}

void TConverteTransportadora::SetCodTransp(std::string_view valor) {
    // Padded before the non-digits go: "A12" becomes "0A12" and then "012".
    campos_.CODTRANSPT = SemAspasDuplas(
        valor, [](std::string t) { return TrataInscricao(CompletaZeros(t, 4)); },
        [](std::string t) { return TrataInscricao(CodigoFixo(t, 4)); });
}

void TConverteTransportadora::SetNome(std::string_view valor) {
    const auto nome = [](std::string t) { return Primeiros(Apara(t), 35); };
    campos_.NOME = SemAspasDuplas(valor, nome, nome);
}

void TConverteTransportadora::SetCgcCpf(std::string_view valor) {
    campos_.CGCCPF = SemAspasDuplas(
        valor, [](std::string t) { return Primeiros(TrataInscricao(t), 14); },
        [](std::string t) { return RetiraPontuacao(Primeiros(TrataInscricao(t), 14)); });
}

void TConverteTransportadora::SetInscEst(std::string_view valor) {
    campos_.INSCEST = SemAspasDuplas(
        valor, [](std::string t) { return Primeiros(TrataInscricao(t), 15); },
        [](std::string t) { return RetiraPontuacao(Primeiros(TrataInscricao(t), 15)); });
}

void TConverteTransportadora::SetPessoaFJ(std::string_view valor) {
    campos_.PESSOA_FJ = SemAspasDuplas(valor, Igual, [](std::string t) { return Primeiros(t, 1); });
}

void TConverteTransportadora::SetCodCidade(std::string_view valor) {
    campos_.CODCIDADE = SemAspasDuplas(valor, Igual, Codigo5);
}

void TConverteTransportadora::SetEstado(std::string_view valor) {
    campos_.ESTADO = SemAspasDuplas(
        valor, [](std::string t) { return Primeiros(t, 2); },
        [](std::string t) { return Maiusculas(Primeiros(t, 2)); });
}

void TConverteTransportadora::SetBairro(std::string_view valor) {
    campos_.BAIRRO = SemAspasDuplas(valor, Igual, [](std::string t) { return Primeiros(t, 30); });
}

void TConverteTransportadora::SetCep(std::string_view valor) {
    campos_.CEP = SemAspasDuplas(valor, Igual, [](std::string t) { return Primeiros(t, 8); });
}

void TConverteTransportadora::SetEndereco(std::string_view valor) {
    campos_.ENDERECO = SemAspasDuplas(valor, Igual, [](std::string t) { return Primeiros(t, 50); });
}

void TConverteTransportadora::SetContato(std::string_view valor) {
    campos_.CONTATO = SemAspasDuplas(valor, Igual, Codigo5);
}

void TConverteTransportadora::SetFone(std::string_view valor) { campos_.FONE = Telefone(valor); }

void TConverteTransportadora::SetFax(std::string_view valor) { campos_.FAX = Telefone(valor); }

}  // namespace conversor::convert
