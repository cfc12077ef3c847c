#include "convert/partners/converte_fornece.h"

#include <algorithm>

#include "base/regional.h"

namespace conversor::convert {

namespace {


std::string SemApostrofos(std::string_view valor) {
    std::string texto(valor);
    std::erase(texto, '\'');
    return texto;
}

}  // namespace

TConverteFornece::TConverteFornece(db::Conexao& database, Mensagens& mensagens)
    : TConversao(database, mensagens) {
    Limpa();
}

void TConverteFornece::ExcluiRegistros() { ExcluiEConfirma("Delete from FORNECE", "Commit;"); }

void TConverteFornece::SetCodFornec(std::string_view valor) {
    CodFornec_ = CompletaZeros(SemApostrofos(valor), 6);
}

void TConverteFornece::SetNome(std::string_view valor) {
    Nome_ = Primeiros(Apara(SemApostrofos(valor)), 50);
}

void TConverteFornece::SetNomeFantasia(std::string_view valor) {
    NomeFantasia_ = Primeiros(Apara(SemApostrofos(valor)), 40);
}

void TConverteFornece::SetContato(std::string_view valor) {
    Contato_ = Primeiros(Apara(SemApostrofos(valor)), 30);
}

void TConverteFornece::SetEndereco(std::string_view valor) {
    Endereco_ = Primeiros(SemApostrofos(valor), 50);
}

void TConverteFornece::SetBairro(std::string_view valor) {
    Bairro_ = Primeiros(Apara(SemApostrofos(valor)), 30);
}

void TConverteFornece::SetCep(std::string_view valor) { Cep_ = Primeiros(SemApostrofos(valor), 8); }

void TConverteFornece::SetCodCidade(std::string_view valor) {
    const std::string texto = SemApostrofos(valor);
    CodCidade_ = texto.empty() ? texto : CompletaZeros(Primeiros(texto, 5), 5);
}

void TConverteFornece::SetNumero(std::string_view valor) {
    Numero_ = Primeiros(SemApostrofos(valor), 10);
}

void TConverteFornece::SetComplemento(std::string_view valor) {
    Complemento_ = Apara(Primeiros(SemApostrofos(valor), 60));
}

void TConverteFornece::SetEstado(std::string_view valor) {
    Estado_ = Primeiros(SemApostrofos(valor), 2);
}

void TConverteFornece::SetInscMunicipal(std::string_view valor) {
    InscMunicipal_ = Primeiros(TrataInscricao(SemApostrofos(valor)), 15);
}

void TConverteFornece::SetPessoaFJ(std::string_view valor) { Pessoa_FJ_ = SemApostrofos(valor); }

void TConverteFornece::SetCgcCpf(std::string_view valor) {
    CgcCpf_ = Primeiros(TrataInscricao(SemApostrofos(valor)), 14);
}

void TConverteFornece::SetInscEst(std::string_view valor) {
    InscEst_ = Primeiros(TrataInscricao(SemApostrofos(valor)), 15);
}

void TConverteFornece::SetObservacao(std::string_view valor) {
    observacao_ = Primeiros(SemApostrofos(valor), 100);
}

void TConverteFornece::SetFone(std::string_view valor) {
    Fone_ = Primeiros(SemApostrofos(valor), 15);
}

void TConverteFornece::SetFax(std::string_view valor) {
    Fax_ = Primeiros(SemApostrofos(valor), 15);
}

void TConverteFornece::SetCelular(std::string_view valor) {
    Celular_ = Primeiros(TrataInscricao(SemApostrofos(valor)), 15);
}

void TConverteFornece::SetEmail(std::string_view valor) { Email_ = Apara(SemApostrofos(valor)); }

void TConverteFornece::SetHomePage(std::string_view valor) {
    HomePage_ = Primeiros(SemApostrofos(valor), 30);
}

void TConverteFornece::SetCampoLivre1(std::string_view valor) {
    CampoLivre1_ = Primeiros(Apara(SemApostrofos(valor)), 20);
}

void TConverteFornece::SetCampoLivre2(std::string_view valor) {
    CampoLivre2_ = Primeiros(Apara(SemApostrofos(valor)), 20);
}

void TConverteFornece::SetTipoFornece(std::string_view valor) {
    TipoFornece_ = SemApostrofos(valor);
}

void TConverteFornece::SetCodMunicipio(std::string_view valor) {
    codmunicipio_ = Primeiros(CompletaZeros(SemApostrofos(valor), 7), 7);
}

void TConverteFornece::SetAtivo(std::string_view valor) {
    ativo_ = Maiusculas(Primeiros(valor, 1));
}

void TConverteFornece::MontaInsert(MontagemSql& sql) const {
    const std::string* const valores[] = {
        &CodFornec_, &Nome_,        &NomeFantasia_, &Contato_,     &Endereco_,    &Bairro_,
        &Cep_,       &CodCidade_,   &Numero_,       &Complemento_, &Estado_,      &InscMunicipal_,
        &Pessoa_FJ_, &CgcCpf_,      &InscEst_,      &observacao_,  &Fone_,        &Fax_,
        &Celular_,   &Email_,       &HomePage_,     &CampoLivre1_, &CampoLivre2_, &codcliente_,
        &ativo_,     &TipoFornece_, &contacx_,      &ctctbred_,    &codmunicipio_};
    sql << "Insert Into fornece ( fornece.CodFornec, fornece.Nome, fornece.NomeFantasia, "
           "fornece.Contato, fornece.Endereco, fornece.Bairro, fornece.Cep, fornece.CodCidade, "
           "fornece.Numero, fornece.Complemento, fornece.Estado, fornece.InscMunicipal, "
           "fornece.Pessoa_FJ, fornece.CgcCpf, fornece.InscEst, fornece.observacao, fornece.Fone, "
           "fornece.Fax, fornece.Celular, fornece.Email, fornece.HomePage, fornece.CampoLivre1, "
           "fornece.CampoLivre2, fornece.codcliente, fornece.ativo, fornece.TipoFornece, "
           "fornece.contacx, fornece.ctctbred, fornece.codmunicipio) Values (";
    bool primeiro = true;
    for (const std::string* valor : valores) {
        if (!primeiro) sql << ", ";
        primeiro = false;
        sql.Texto(*valor);
    }
    sql << ") ";
}

std::string TConverteFornece::MontaInsert() const {
    MontagemSql sql(false);
    MontaInsert(sql);
    return sql.sql;
}

void TConverteFornece::Inserir() {
    ExecutaLinha([this](MontagemSql& sql) { MontaInsert(sql); });
    Limpa();
}

void TConverteFornece::Limpa() {
    SetCodFornec("");
    SetNome("");
    SetNomeFantasia("");
    SetContato("");
    SetEndereco("");
    SetBairro("");
    SetCep("");
    SetCodCidade("");
    SetNumero("");
    SetComplemento("");
    SetEstado("");
    SetInscMunicipal("");
    SetPessoaFJ("");
    SetCgcCpf("");
    SetInscEst("");
    SetObservacao("");
    SetFone("");
    SetFax("");
    SetCelular("");
    SetEmail("");
    SetHomePage("");
    SetCampoLivre1("");
    SetCampoLivre2("");
    SetTipoFornece("");
    SetCodMunicipio("");
}

}  // namespace conversor::convert
