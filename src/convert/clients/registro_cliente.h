// The client record: one row of CLIENTE, normalised as it is set and written with
// one statement built as text (insert or update by client code) from its column table.
#pragma once

#include <string>
#include <string_view>

#include "convert/registro_base.h"

namespace conversor::convert {

// The row's values, named after the CLIENTE columns they feed. Texts are
// Windows-1252; the unnamed columns (codfornec, nomesocio, CodSegmento, CodClasCli,
// dt_ultvenda, DT_ValCad, LimiteCredito) have no setter and keep their reset value,
// but both statements still write them.
struct TCamposCliente {
    std::string codCliente, nome, nomefantasia, endereco, bairro, codcidade, estado, cep;
    std::string cgccpf, inscest, inscmunicipal, pessoa_fj, fone, fax, prefixcelular, celular;
    std::string campolivre1, campolivre2, campolivre3, campolivre4, campolivre5;
    std::string campolivre6, campolivre7, campolivre8, campolivre9, campolivre10;
    std::string observacao, email, homepage;
    std::string enderecocob, bairrocob, cepcob, codcidadecob, estadocob;
    std::string enderecoent, bairroent, cepent, codcidadeent, estadoent;
    std::string codfornec, contato, CodSegmento, CodClasCli, CodVendend1, nomesocio;
    std::string dt_nascimento, dt_ultvenda, dt_cadastro, DT_ValCad;  // "dd.mm.yyyy" or empty
    std::string Ativo, CliBloqueado, TipoCliente;
    double LimiteCredito = 0;

    bool operator==(const TCamposCliente&) const = default;
};

class TConverteCliente : public TRegistro<TCamposCliente, TConverteCliente> {
public:
    TConverteCliente(db::Conexao& database, Mensagens& mensagens, bool comandosPreparados = true);

    // Setters never fail: they drop double quotes (the statement is built as text),
    // trim, cut to the column's width and pad codes, each as its column needs.
    void SetCodCliente(std::string_view texto);
    void SetNome(std::string_view texto);
    void SetNomeFantasia(std::string_view texto);
    void SetEndereco(std::string_view texto);
    void SetBairro(std::string_view texto);
    void SetCodCidade(std::string_view texto);
    void SetEstado(std::string_view texto);
    void SetCep(std::string_view texto);
    void SetCgcCpf(std::string_view texto);
    void SetInscEst(std::string_view texto);
    void SetInscMunicipal(std::string_view texto);
    void SetPessoaFJ(std::string_view texto);
    void SetFone(std::string_view texto);
    void SetFax(std::string_view texto);
    void SetPrefixCelular(std::string_view texto);
    void SetCelular(std::string_view texto);
    void SetCampoLivre1(std::string_view texto);
    void SetCampoLivre2(std::string_view texto);
    void SetCampoLivre3(std::string_view texto);
    void SetCampoLivre4(std::string_view texto);
    void SetCampoLivre5(std::string_view texto);
    void SetCampoLivre6(std::string_view texto);
    void SetCampoLivre7(std::string_view texto);
    void SetCampoLivre8(std::string_view texto);
    void SetCampoLivre9(std::string_view texto);
    void SetCampoLivre10(std::string_view texto);
    void SetObservacao(std::string_view texto);
    void SetEmail(std::string_view texto);
    void SetHomePage(std::string_view texto);
    void SetEnderecoCob(std::string_view texto);
    void SetBairroCob(std::string_view texto);
    void SetCepCob(std::string_view texto);
    void SetCodCidadeCob(std::string_view texto);
    void SetEstadoCob(std::string_view texto);
    void SetEnderecoEnt(std::string_view texto);
    void SetBairroEnt(std::string_view texto);
    void SetCepEnt(std::string_view texto);
    void SetCodCidadeEnt(std::string_view texto);
    void SetEstadoEnt(std::string_view texto);
    void SetContato(std::string_view texto);
    void SetCodVendend1(std::string_view texto);
    // Dates go to the statement as "dd.mm.yyyy", the order the database reads
    // unambiguously. An empty registration date means today; an empty birth date
    // stays empty. A text that is no date is kept (with "." for "/") and the
    // database refuses it when the row is written.
    void SetDtNascimento(std::string_view texto);
    void SetDtCadastro(std::string_view texto);
    void SetAtivo(std::string_view texto);
    void SetCliBloqueado(std::string_view texto);
    void SetTipoCliente(std::string_view texto);

    // Back to the values of a new record: code 00000000, person "F", active, not
    // blocked, registered today, everything else empty.
    void Limpa();

    // Empties CLIENTE and commits the run's work so far. Errors pass to the caller.
    void ExcluiRegistros();

    std::string MontaInsert() const { return TextoInsert(); }
    // Rewrites every column but the code of the client with this record's code.
    std::string MontaUpdate() const;
    // The same statements into `sql`, with the values written or as parameters.
    using TRegistro::MontaInsert;
    void MontaUpdate(MontagemSql& sql) const;

    // Mode 1 inserts, mode 2 updates; on success the record is reset and true is
    // returned. A database error passes to the caller and the record keeps its
    // values; any other mode raises std::invalid_argument before anything is written.
    bool GravaCliente(int modo);
};

}  // namespace conversor::convert
