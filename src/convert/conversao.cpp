#include "convert/conversao.h"

#include <exception>

#include "base/regional.h"
#include "db/erro.h"

namespace conversor::convert {

namespace {

// Removes every occurrence of `marca`, the way the legacy sheets were cleaned: each
// removal joins what stands before it with (at most) the next 100 characters and trims
// the result.
std::string RetiraCaractere(std::string texto, char marca) {
    for (size_t p = texto.find(marca); p != std::string::npos; p = texto.find(marca))
        texto = Apara(texto.substr(0, p) + texto.substr(p + 1, 100));
    return texto;
}

bool Digito(char c) { return c >= '0' && c <= '9'; }

bool comandosPreparados = true;

}  // namespace

void TConversao::DefineComandosPreparados(bool preparados) { comandosPreparados = preparados; }
bool TConversao::ComandosPreparados() { return comandosPreparados; }

void TConversao::ExecutaLinha(const std::function<void(MontagemSql&)>& monta) {
    if (comandosPreparados) {
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

TConversao::TConversao(db::Conexao& database, Mensagens& mensagens)
    : database_(database), mensagens_(mensagens), query_(database), queryAux_(database) {}

std::string TConversao::CompletaZeros(std::string_view texto, int largura) {
    std::string r;
    const long long faltam = static_cast<long long>(largura) - static_cast<long long>(texto.size());
    if (faltam > 0) r.assign(static_cast<size_t>(faltam), '0');
    r += texto;
    return r;
}

std::string TConversao::TrataInscricao(std::string_view texto) {
    const std::string t = Maiusculas(texto);
    // "ISENTO" is a valid registration and stays as the sheet wrote it; any other
    // mention of exemption means there is no number to keep.
    if (Apara(t) == "ISENTO") return t;
    if (t.find("ISEN") != std::string::npos) return {};
    return SomenteNumeros(t);
}

std::string TConversao::FormataData(std::string& data) {
    if (data.empty() || data == "  -   -") {
        // No date in the sheet (or an empty date mask): the record is dated today.
        data = DataParaTexto(Hoje());
    } else if (data.find('/') != std::string::npos) {
        for (char& c : data)
            if (c == '/') c = '.';
    } else if (data.find('-') != std::string::npos) {
        for (char& c : data)
            if (c == '-') c = '.';
    } else if (data.find('.') == std::string::npos) {
        // A bare number is the spreadsheet's day serial.
        try {
            data = FormataDataHora("dd/mm/yyyy", TextoParaNumero(data));
        } catch (const ErroConversao&) {
            data.clear();
        }
    }
    return data;
}

std::string TConversao::RetiraPontuacao(std::string_view texto) {
    std::string r(texto);
    for (char marca : {'(', ')', '-', '.', '/', '\''}) r = RetiraCaractere(std::move(r), marca);
    return r;
}

std::string TConversao::SomenteNumeros(std::string_view texto) {
    std::string r;
    for (char c : texto)
        if (Digito(c)) r += c;
    return r;
}

std::string_view TConversao::SemBrancosNoFim(std::string_view texto) {
    const size_t fim = texto.find_last_not_of(' ');
    return texto.substr(0, fim == std::string_view::npos ? 0 : fim + 1);
}

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
            q.DefineSql("Insert Into UNIDADES (UNIDADE) Values(:PUNIDADE)");
            q.ParamTexto("PUNIDADE", codigo);
            q.Executa();
        }
        if (lembraUnidades_) unidades_.emplace(SemBrancosNoFim(codigo));
    } catch (const std::exception&) {
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
