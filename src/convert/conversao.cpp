#include "convert/conversao.h"

#include <exception>

#include "base/regional.h"
#include "db/erro.h"

namespace conversor::convert {

void TConversao::ExecutaLinha(const std::function<void(MontagemSql&)>& monta) {
    if (comandosPreparados_) {
        montagem_.Reinicia();
        monta(montagem_);
        if (montagem_.Fiel()) {
            if (!preparados_) preparados_ = std::make_unique<PreparadosPorTexto>(database_);
            preparados_->Executa(montagem_);
            return;
        }
    }
    MontagemSql m(false);
    monta(m);
    query_.DefineSql(m.sql);
    query_.Executa();
}

TConversao::TConversao(db::Conexao& database, Mensagens& mensagens, bool comandosPreparados)
    : database_(database),
      mensagens_(mensagens),
      query_(database),
      queryAux_(database),
      comandosPreparados_(comandosPreparados) {}

std::string TConversao::ConverteUnidade(std::string_view unidade) {
    const std::string codigo = Maiusculas(unidade.substr(0, 2));
    if (lembraUnidades_ && unidades_.count(std::string(SemBrancosNoFim(codigo)))) return codigo;
    try {
        db::Consulta& q = QueryAux();
        q.DefineSql("Select UNIDADE from UNIDADES Where UNIDADE = :PUNIDADE");
        q.ParamTexto("PUNIDADE", codigo);
        q.Abre();
        if (q.Eof()) {
            q.Fecha();
            Problema p;
            p.linha = ensaio_->linhaAtual;
            p.texto = codigo;
            p.motivo = "'" + codigo + "' não existe em UNIDADES e será incluído.";
            p.genero = GeneroAviso::CadastroNovo;
            ensaio_->Aviso(std::move(p));
            q.DefineSql("Insert Into UNIDADES (UNIDADE) Values(:PUNIDADE)");
            q.ParamTexto("PUNIDADE", codigo);
            q.Executa();
        }
        if (lembraUnidades_) unidades_.emplace(SemBrancosNoFim(codigo));
    } catch (const std::exception&) {
        db::RelancaSeGrave();
        Msg().Aviso("Erro ao converter Unidade.");
    }
    QueryAux().Fecha();
    return codigo;
}

void TConversao::ExcluiEConfirma(const char* exclusao, const char* confirmacao) {
    db::Consulta& q = QueryAux();
    q.Fecha();
    q.DefineSql(exclusao);
    q.Executa();
    q.Fecha();
    q.DefineSql(confirmacao);
    q.Executa();
}

void TConversao::ExcluiTabela(std::string_view tabela) {
    try {
        db::Consulta q(Database());
        q.DefineSql("DELETE FROM " + std::string(tabela));
        q.Executa();
        q.DefineSql("COMMIT");
        q.Executa();
    } catch (const std::exception& e) {
        Msg().Erro("Erro na Exclusão da tabela " + std::string(tabela) + ".\r" + e.what() +
                   "\rVerifique se a tabela está em Transação.");
    }
}

void TConversao::GravaMovimento(db::Conexao& database, std::string_view codProd, double quantidade,
                                double precoCusto, double precoMedio) {
    const std::string hoje = FormataDataHora("dd/mm/yyyy", Hoje());
    std::string dataMovimento = hoje;
    for (char& c : dataMovimento)
        if (c == '/') c = '.';
    const std::string documento = RetiraPontuacao(hoje);

    const auto monta = [&](MontagemSql& m) {
        m << "INSERT INTO MVGERAL (CODEMPRESA, TIPOAGENTE, CODIGOAGENTE, DOCUMENTO, CODPROD, "
             "CODGRADE, DT_MOVIMENTO, TIPOMOV, QUANTIDADE, PRECOCUSTO, PRECOMEDIO)  VALUES ( ";
        m.Texto("00") << ", ";
        m.Texto("F") << ", ";
        m.Texto("000000") << ", ";
        m.Texto(documento) << ", ";
        m.Texto(codProd) << ", ";
        m.Texto("0000") << ", ";
        m.Texto(dataMovimento) << ", ";
        m.Texto("04") << ", ";
        m.Numero(quantidade) << ", ";
        m.Numero(precoCusto) << ", ";
        m.Numero(precoMedio) << ") ";
    };
    // The movements of a run go through the converter's own connection, prepared
    // once; a movement for another connection goes on its own.
    if (&database == &database_) {
        ExecutaLinha(monta);
        return;
    }
    MontagemSql m(false);
    monta(m);
    db::Consulta q(database);
    q.DefineSql(m.sql);
    q.Executa();
}

}  // namespace conversor::convert
