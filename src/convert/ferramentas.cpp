#include "convert/ferramentas.h"

#include <algorithm>
#include <exception>
#include <functional>

#include "base/regional.h"
#include "convert/conversao.h"
#include "convert/tabela_ddd.h"
#include "db/consulta.h"

namespace conversor::convert {

namespace {

// How one reference table is searched and extended.
struct Referencia {
    const char* prefixoErro;
    const char* consulta;  // by the key parameters
    const char* maiorCodigo;
    const char* insercao;
    const char* campoCodigo;
    const char* parametroCodigo;  // of the insert
    int largura;
    // Binds the key parameters (already cut) of the lookup or of the insert.
    std::function<void(db::Consulta&, bool insercao)> chaves;
};

// Finds the row's code or creates the row with the highest code + 1 and commits.
// Never raises: a failure is shown as a warning and what was known by then is
// returned (empty before a code was known, the new code after).
std::string BuscaOuCria(db::Conexao& conexao, Mensagens& mensagens, const Referencia& ref,
                        bool podeCriar, int& criados) {
    std::string resultado;
    try {
        db::Consulta q(conexao);
        q.DefineSql(ref.consulta);
        ref.chaves(q, false);
        q.Abre();
        const bool achou = !q.Eof() && !q.CampoNulo(ref.campoCodigo);
        if (achou) resultado = q.CampoTexto(ref.campoCodigo);
        if (!achou && podeCriar) {
            q.Fecha();
            // The codes are compared as numbers: as texts "9999" would sort above
            // "10000" and the same code would be handed out twice. A code that is not
            // a number makes the database refuse the query.
            q.DefineSql(ref.maiorCodigo);
            q.Abre();
            if (q.Eof() || q.CampoNulo(ref.campoCodigo))
                resultado = TConversao::CompletaZeros("1", ref.largura);
            else
                resultado = TConversao::CompletaZeros(
                    std::to_string(q.CampoInteiro(ref.campoCodigo) + 1), ref.largura);
            q.Fecha();
            q.DefineSql(ref.insercao);
            ref.chaves(q, true);
            q.ParamTexto(ref.parametroCodigo, resultado);
            q.Executa();
            q.DefineSql("Commit");
            q.Executa();
            ++criados;
        }
    } catch (const std::exception& e) {
        mensagens.Aviso(std::string(ref.prefixoErro) + "\r" + e.what());
    }
    return resultado;
}

std::string Primeiros(std::string_view texto, size_t n) { return std::string(texto.substr(0, n)); }

}  // namespace

TFerramentas::TFerramentas(db::Conexao& dbVantora, Mensagens& mensagens, std::string arquivoCidades)
    : dbVantora_(dbVantora), mensagens_(mensagens), arquivoCidades_(std::move(arquivoCidades)) {}

TFerramentas::~TFerramentas() = default;

std::string TFerramentas::BuscaCidade(std::string_view cidade, std::string_view estado) {
    // "BHTE" is how the legacy sheets abbreviate Belo Horizonte.
    const std::string nome = Apara(cidade) == "BHTE" ? "Belo Horizonte" : std::string(cidade);
    const std::string chaveCidade = Primeiros(nome, 30);
    const std::string chaveEstado = Primeiros(estado, 2);
    const Referencia ref{
        "Erro ao converter Cidades. Motivo: ",
        "Select CODCIDADE from CIDADES Where CIDADE = :PCIDADE AND ESTADO = :PESTADO",
        "Select MAX(CAST(CODCIDADE AS INTEGER)) as CODCIDADE from CIDADES",
        "Insert Into CIDADES (CODCIDADE, CIDADE, ESTADO) Values(:PCODCIDADE, :PCIDADE, :PESTADO)",
        "CODCIDADE",
        "PCODCIDADE",
        5,
        [&](db::Consulta& q, bool) {
            q.ParamTexto("PCIDADE", chaveCidade);
            q.ParamTexto("PESTADO", chaveEstado);
        }};
    return BuscaOuCria(dbVantora_, mensagens_, ref, true, criadosCidades_);
}

std::string TFerramentas::BuscaClassificacaoFiscal(std::string_view ncm) {
    const std::string chave = Primeiros(ncm, 8);
    const Referencia ref{
        "Erro ao converter Classificação Fiscal. Motivo: ",
        "Select CODCLASFIS from CLASFISC Where CODIGONCM = :PNCM",
        "Select MAX(CAST(CODCLASFIS AS INTEGER)) as CODCLASFIS from CLASFISC",
        "Insert Into CLASFISC (CODCLASFIS, CODIGONCM, CODNBM) Values(:PCODCLASFIS, :PNCM, :PNBM)",
        "CODCLASFIS",
        "PCODCLASFIS",
        4,
        [&](db::Consulta& q, bool insercao) {
            q.ParamTexto("PNCM", chave);
            if (insercao) q.ParamTexto("PNBM", chave);
        }};
    return BuscaOuCria(dbVantora_, mensagens_, ref, true, criadosClassificacoes_);
}

std::string TFerramentas::BuscaFabricante(std::string_view fabricante) {
    const std::string chave = Primeiros(fabricante, 30);
    const Referencia ref{"Erro ao converter Fabricante. Motivo: ",
                         "Select CODFABRIC from CADFABR Where DESCRICAO = :PFABRIC",
                         "Select MAX(CAST(CODFABRIC AS INTEGER)) as CODFABRIC from CADFABR",
                         "Insert Into CADFABR (CODFABRIC, DESCRICAO) Values(:PCODFABRIC, :PFABRIC)",
                         "CODFABRIC",
                         "PCODFABRIC",
                         5,
                         [&](db::Consulta& q, bool) { q.ParamTexto("PFABRIC", chave); }};
    // A product without a manufacturer gets no new manufacturer row.
    return BuscaOuCria(dbVantora_, mensagens_, ref, !fabricante.empty(), criadosFabricantes_);
}

std::string TFerramentas::RetiraAspas(std::string_view texto) {
    std::string r(texto);
    for (size_t p = r.find('"'); p != std::string::npos; p = r.find('"'))
        r = Apara(r.substr(0, p) + r.substr(p + 1, 100));
    return r;
}

std::string TFerramentas::FormataTelefone(std::string_view texto) {
    std::string r = TConversao::RetiraPontuacao(Apara(texto));
    // Trunk zeros ("0 31 ...", "031...") are not part of the number.
    size_t zeros = 0;
    while (zeros < r.size() && r[zeros] == '0') ++zeros;
    r.erase(0, zeros);
    std::erase(r, ' ');
    // Eight digits are a local number: it belongs to the default area.
    if (r.size() == 8) r = "31" + r;
    return r;
}

std::string TFerramentas::BuscaDDD(std::string_view cidade, std::string_view estado) {
    if (!tabelaDDD_) {
        // Read at the first lookup; a table that cannot be read is tried again at the
        // next one.
        tabelaDDD_ = std::make_unique<TabelaDDD>(
            arquivoCidades_.empty() ? TabelaDDD::ArquivoPadrao() : arquivoCidades_);
    }
    std::string ddd = tabelaDDD_->Procura(cidade, estado);
    // A three-character code carries the trunk digit in front ("031").
    if (ddd.size() == 3) ddd.erase(0, 1);
    return ddd;
}

std::string TFerramentas::Telefone(std::string_view cidade, std::string_view estado,
                                   std::string_view numero) {
    const std::string celula = Apara(numero);
    if (celula.empty() || celula == ".") return {};
    const std::string ddd = BuscaDDD(cidade, estado);
    const std::string limpo = TConversao::RetiraPontuacao(numero);
    // A number of ten digits or more already carries its area code; a second one in
    // front would spoil it.
    const std::string digitos = TConversao::SomenteNumeros(limpo);
    const size_t significativos =
        digitos.size() - std::min(digitos.find_first_not_of('0'), digitos.size());
    if (significativos >= 10) return FormataTelefone(limpo);
    return FormataTelefone(ddd + limpo);
}

}  // namespace conversor::convert
