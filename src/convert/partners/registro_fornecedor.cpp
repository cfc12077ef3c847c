#include "convert/partners/registro_fornecedor.h"

#include "base/regional.h"
#include "convert/colunas.h"
#include "convert/limpeza.h"

namespace conversor::convert {

namespace {

using F = TCamposFornecedor;
using R = TConverteFornece;
using C = Coluna<F, R>;

// The columns of the insert, in its order, with the setter a reset goes through.
const C kColunas[] = {
    C::Texto("fornece.CodFornec", 6, &F::CodFornec, &R::SetCodFornec),
    C::Texto("fornece.Nome", 50, &F::Nome, &R::SetNome),
    C::Texto("fornece.NomeFantasia", 40, &F::NomeFantasia, &R::SetNomeFantasia),
    C::Texto("fornece.Contato", 30, &F::Contato, &R::SetContato),
    C::Texto("fornece.Endereco", 50, &F::Endereco, &R::SetEndereco),
    C::Texto("fornece.Bairro", 30, &F::Bairro, &R::SetBairro),
    C::Texto("fornece.Cep", 8, &F::Cep, &R::SetCep),
    C::Texto("fornece.CodCidade", 5, &F::CodCidade, &R::SetCodCidade),
    C::Texto("fornece.Numero", 10, &F::Numero, &R::SetNumero),
    C::Texto("fornece.Complemento", 60, &F::Complemento, &R::SetComplemento),
    C::Texto("fornece.Estado", 2, &F::Estado, &R::SetEstado),
    C::Texto("fornece.InscMunicipal", 15, &F::InscMunicipal, &R::SetInscMunicipal),
    C::Texto("fornece.Pessoa_FJ", 0, &F::Pessoa_FJ, &R::SetPessoaFJ),
    C::Texto("fornece.CgcCpf", 14, &F::CgcCpf, &R::SetCgcCpf),
    C::Texto("fornece.InscEst", 15, &F::InscEst, &R::SetInscEst),
    C::Texto("fornece.observacao", 100, &F::observacao, &R::SetObservacao),
    C::Texto("fornece.Fone", 15, &F::Fone, &R::SetFone),
    C::Texto("fornece.Fax", 15, &F::Fax, &R::SetFax),
    C::Texto("fornece.Celular", 15, &F::Celular, &R::SetCelular),
    C::Texto("fornece.Email", 0, &F::Email, &R::SetEmail),
    C::Texto("fornece.HomePage", 30, &F::HomePage, &R::SetHomePage),
    C::Texto("fornece.CampoLivre1", 20, &F::CampoLivre1, &R::SetCampoLivre1),
    C::Texto("fornece.CampoLivre2", 20, &F::CampoLivre2, &R::SetCampoLivre2),
    C::Texto("fornece.codcliente", 0, &F::codcliente),
    // Every row sets it: a reset leaves it.
    C::Texto("fornece.ativo", 1, &F::ativo, &R::SetAtivo).Mantida(),
    C::Texto("fornece.TipoFornece", 0, &F::TipoFornece, &R::SetTipoFornece),
    C::Texto("fornece.contacx", 0, &F::contacx),
    C::Texto("fornece.ctctbred", 0, &F::ctctbred),
    C::Texto("fornece.codmunicipio", 7, &F::codmunicipio, &R::SetCodMunicipio),
};

const FormaInsert kInsert{"Insert Into fornece ( ", ") Values (", ") "};

}  // namespace

TConverteFornece::TConverteFornece(db::Conexao& database, Mensagens& mensagens,
                                   bool comandosPreparados)
    : TRegistro(database, mensagens, kColunas, &kInsert, FormaGravacao::Texto, comandosPreparados) {
    Limpa();
}

void TConverteFornece::ExcluiRegistros() { ExcluiEConfirma("Delete from FORNECE", "Commit;"); }

void TConverteFornece::SetCodFornec(std::string_view valor) {
    campos_.CodFornec = CompletaZeros(SemApostrofos(valor), 6);
}

void TConverteFornece::SetNome(std::string_view valor) {
    campos_.Nome = Primeiros(Apara(SemApostrofos(valor)), 50);
}

void TConverteFornece::SetNomeFantasia(std::string_view valor) {
    campos_.NomeFantasia = Primeiros(Apara(SemApostrofos(valor)), 40);
}

void TConverteFornece::SetContato(std::string_view valor) {
    campos_.Contato = Primeiros(Apara(SemApostrofos(valor)), 30);
}

void TConverteFornece::SetEndereco(std::string_view valor) {
    campos_.Endereco = Primeiros(SemApostrofos(valor), 50);
}

void TConverteFornece::SetBairro(std::string_view valor) {
    campos_.Bairro = Primeiros(Apara(SemApostrofos(valor)), 30);
}

void TConverteFornece::SetCep(std::string_view valor) {
    campos_.Cep = Primeiros(SemApostrofos(valor), 8);
}

void TConverteFornece::SetCodCidade(std::string_view valor) {
    campos_.CodCidade = VazioOuZeros(Primeiros(SemApostrofos(valor), 5), 5);
}

void TConverteFornece::SetNumero(std::string_view valor) {
    campos_.Numero = Primeiros(SemApostrofos(valor), 10);
}

void TConverteFornece::SetComplemento(std::string_view valor) {
    campos_.Complemento = Apara(Primeiros(SemApostrofos(valor), 60));
}

void TConverteFornece::SetEstado(std::string_view valor) {
    campos_.Estado = Primeiros(SemApostrofos(valor), 2);
}

void TConverteFornece::SetInscMunicipal(std::string_view valor) {
    campos_.InscMunicipal = Primeiros(TrataInscricao(SemApostrofos(valor)), 15);
}

void TConverteFornece::SetPessoaFJ(std::string_view valor) {
    campos_.Pessoa_FJ = SemApostrofos(valor);
}

void TConverteFornece::SetCgcCpf(std::string_view valor) {
    campos_.CgcCpf = Primeiros(TrataInscricao(SemApostrofos(valor)), 14);
}

void TConverteFornece::SetInscEst(std::string_view valor) {
    campos_.InscEst = Primeiros(TrataInscricao(SemApostrofos(valor)), 15);
}

void TConverteFornece::SetObservacao(std::string_view valor) {
    campos_.observacao = Primeiros(SemApostrofos(valor), 100);
}

void TConverteFornece::SetFone(std::string_view valor) {
    campos_.Fone = Primeiros(SemApostrofos(valor), 15);
}

void TConverteFornece::SetFax(std::string_view valor) {
    campos_.Fax = Primeiros(SemApostrofos(valor), 15);
}

void TConverteFornece::SetCelular(std::string_view valor) {
    campos_.Celular = Primeiros(TrataInscricao(SemApostrofos(valor)), 15);
}

void TConverteFornece::SetEmail(std::string_view valor) {
    campos_.Email = Apara(SemApostrofos(valor));
}

void TConverteFornece::SetHomePage(std::string_view valor) {
    campos_.HomePage = Primeiros(SemApostrofos(valor), 30);
}

void TConverteFornece::SetCampoLivre1(std::string_view valor) {
    campos_.CampoLivre1 = Primeiros(Apara(SemApostrofos(valor)), 20);
}

void TConverteFornece::SetCampoLivre2(std::string_view valor) {
    campos_.CampoLivre2 = Primeiros(Apara(SemApostrofos(valor)), 20);
}

void TConverteFornece::SetTipoFornece(std::string_view valor) {
    campos_.TipoFornece = SemApostrofos(valor);
}

void TConverteFornece::SetCodMunicipio(std::string_view valor) {
    campos_.codmunicipio = CodigoFixo(SemApostrofos(valor), 7);
}

void TConverteFornece::SetAtivo(std::string_view valor) {
    campos_.ativo = Maiusculas(Primeiros(valor, 1));
}

}  // namespace conversor::convert
