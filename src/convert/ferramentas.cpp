#include "convert/ferramentas.h"

#include <algorithm>
#include <exception>
#include <unordered_map>
#include <vector>

#include "base/regional.h"
#include "convert/conferencia.h"
#include "convert/limpeza.h"
#include "convert/tabela_ddd.h"
#include "db/consulta.h"
#include "db/erro.h"

namespace conversor::convert {

// How one reference table is searched and extended, with the statements kept
// prepared for the run and the codes it has found or created.
struct TFerramentas::Referencia {
    const char* prefixoErro;
    const char* consulta;  // by the key parameters
    const char* consultaMaior;
    const char* insercao;
    const char* campoCodigo;
    const char* parametroCodigo;  // of the insert
    int largura;
    const char* parametro1;         // the key's parameters (of the lookup and the insert)
    const char* parametro2;         // or nullptr
    const char* parametroInsercao;  // a further insert parameter taking the first key, or nullptr
    const char* descricao;          // the table, for the rehearsal's warnings
    const char* nomes;              // the keys of every row (NOME, NOME2), for those warnings

    db::Consulta busca, maior, insere, confirma;
    std::unordered_map<std::string, std::string> codigos;
    // The keys already in the table, read at the first row a rehearsal creates (the
    // second key joined to the first by a zero byte).
    std::vector<std::string> existentes;
    bool existentesLidos = false;
    // The highest code as a number, once read: within a run it changes only by the
    // rows created here, each one above it (-1: not known).
    long long maiorCodigo = -1;

    Referencia(db::Conexao& conexao, const char* prefixoErro, const char* consulta,
               const char* maiorCodigo, const char* insercao, const char* campoCodigo,
               const char* parametroCodigo, int largura, const char* parametro1,
               const char* parametro2, const char* parametroInsercao, const char* descricao,
               const char* nomes)
        : prefixoErro(prefixoErro),
          consulta(consulta),
          consultaMaior(maiorCodigo),
          insercao(insercao),
          campoCodigo(campoCodigo),
          parametroCodigo(parametroCodigo),
          largura(largura),
          parametro1(parametro1),
          parametro2(parametro2),
          parametroInsercao(parametroInsercao),
          descricao(descricao),
          nomes(nomes),
          busca(conexao),
          maior(conexao),
          insere(conexao),
          confirma(conexao) {}
};

// Finds the row's code or creates the row with the highest code + 1 and commits.
// Never raises: a failure is shown as a warning and what was known by then is
// returned (empty before a code was known, the new code after).
std::string TFerramentas::BuscaOuCria(Referencia& ref, const std::string& chave1,
                                      const std::string& chave2, bool podeCriar, int& criados) {
    // Remembered by the keys as the database compares them, so that the memory never
    // answers otherwise than the lookup would.
    std::string chaveMemoria;
    if (lembra_) {
        chaveMemoria = SemBrancosNoFim(chave1);
        chaveMemoria += '\0';
        chaveMemoria += SemBrancosNoFim(chave2);
        const auto it = ref.codigos.find(chaveMemoria);
        // "Not there" was the answer for a text that could not create its row ("");
        // one that can (blanks) must still look and create.
        if (it != ref.codigos.end() && !(it->second.empty() && podeCriar)) return it->second;
    }
    std::string resultado;
    try {
        db::Consulta& q = ref.busca;
        q.DefineSql(ref.consulta);
        q.ParamTexto(ref.parametro1, chave1);
        if (ref.parametro2) q.ParamTexto(ref.parametro2, chave2);
        q.Abre();
        const bool achou = !q.Eof() && !q.CampoNulo(ref.campoCodigo);
        if (achou) resultado = q.CampoTexto(ref.campoCodigo);
        q.Fecha();
        if (!achou && podeCriar) {
            // The codes are compared as numbers: as texts "9999" would sort above
            // "10000" and the same code would be handed out twice. A code that is not
            // a number makes the database refuse the query.
            long long proximo = ref.maiorCodigo + 1;
            if (!lembra_ || ref.maiorCodigo < 0) {
                db::Consulta& m = ref.maior;
                m.DefineSql(ref.consultaMaior);
                m.Abre();
                proximo = m.Eof() || m.CampoNulo(ref.campoCodigo)
                              ? 1
                              : m.CampoInteiro(ref.campoCodigo) + 1;
                m.Fecha();
            }
            resultado = CompletaZeros(std::to_string(proximo), ref.largura);
            // Looking for a similar name costs a query: only a rehearsal asks.
            if (ensaio_->Ativo()) AvisaCriacao(ref, chave1, chave2);
            db::Consulta& i = ref.insere;
            i.DefineSql(ref.insercao);
            i.ParamTexto(ref.parametro1, chave1);
            if (ref.parametro2) i.ParamTexto(ref.parametro2, chave2);
            if (ref.parametroInsercao) i.ParamTexto(ref.parametroInsercao, chave1);
            i.ParamTexto(ref.parametroCodigo, resultado);
            i.Executa();
            ref.confirma.DefineSql("Commit");
            ref.confirma.Executa();
            ++criados;
            if (lembra_) ref.maiorCodigo = proximo;
        }
        // Any answer but a failure holds for the rest of the run, "not there" included
        // where nothing may be created: nothing else writes these tables meanwhile.
        if (lembra_) ref.codigos.insert_or_assign(std::move(chaveMemoria), resultado);
    } catch (const std::exception& e) {
        db::RelancaSeGrave();
        mensagens_.Aviso(std::string(ref.prefixoErro) + "\r" + e.what());
    }
    ref.busca.Fecha();
    ref.maior.Fecha();
    return resultado;
}

TFerramentas::TFerramentas(db::Conexao& dbVantora, Mensagens& mensagens, std::string arquivoCidades)
    : dbVantora_(dbVantora),
      mensagens_(mensagens),
      arquivoCidades_(std::move(arquivoCidades)),
      cidades_(std::make_unique<Referencia>(
          dbVantora, "Erro ao converter Cidades. Motivo: ",
          "Select CODCIDADE from CIDADES Where CIDADE = :PCIDADE AND ESTADO = :PESTADO",
          "Select MAX(CAST(CODCIDADE AS INTEGER)) as CODCIDADE from CIDADES",
          "Insert Into CIDADES (CODCIDADE, CIDADE, ESTADO) Values(:PCODCIDADE, :PCIDADE, "
          ":PESTADO)",
          "CODCIDADE", "PCODCIDADE", 5, "PCIDADE", "PESTADO", nullptr, "CIDADES",
          "Select CIDADE as NOME, ESTADO as NOME2 from CIDADES")),
      classificacoes_(std::make_unique<Referencia>(
          dbVantora, "Erro ao converter Classificação Fiscal. Motivo: ",
          "Select CODCLASFIS from CLASFISC Where CODIGONCM = :PNCM",
          "Select MAX(CAST(CODCLASFIS AS INTEGER)) as CODCLASFIS from CLASFISC",
          "Insert Into CLASFISC (CODCLASFIS, CODIGONCM, CODNBM) Values(:PCODCLASFIS, :PNCM, "
          ":PNBM)",
          "CODCLASFIS", "PCODCLASFIS", 4, "PNCM", nullptr, "PNBM", "CLASFISC",
          "Select CODIGONCM as NOME, '' as NOME2 from CLASFISC")),
      fabricantes_(std::make_unique<Referencia>(
          dbVantora, "Erro ao converter Fabricante. Motivo: ",
          "Select CODFABRIC from CADFABR Where DESCRICAO = :PFABRIC",
          "Select MAX(CAST(CODFABRIC AS INTEGER)) as CODFABRIC from CADFABR",
          "Insert Into CADFABR (CODFABRIC, DESCRICAO) Values(:PCODFABRIC, :PFABRIC)", "CODFABRIC",
          "PCODFABRIC", 5, "PFABRIC", nullptr, nullptr, "CADFABR",
          "Select DESCRICAO as NOME, '' as NOME2 from CADFABR")) {}

TFerramentas::~TFerramentas() = default;

void TFerramentas::AvisaCriacao(Referencia& ref, const std::string& chave1,
                                const std::string& chave2) {
    std::string parecido;
    try {
        if (!ref.existentesLidos) {
            db::Consulta q(dbVantora_);
            q.DefineSql(ref.nomes);
            for (q.Abre(); !q.Eof(); q.Proximo())
                ref.existentes.push_back(std::string(SemBrancosNoFim(q.CampoTexto("NOME"))) + '\0' +
                                         std::string(SemBrancosNoFim(q.CampoTexto("NOME2"))));
            ref.existentesLidos = true;
        }
        // Only the names of the same second key (a city's state) compare.
        const std::string segunda = std::string(SemBrancosNoFim(chave2));
        std::vector<std::string> candidatos;
        for (const std::string& e : ref.existentes) {
            const size_t zero = e.find('\0');
            if (e.compare(zero + 1, std::string::npos, segunda) == 0)
                candidatos.push_back(e.substr(0, zero));
        }
        parecido = NomeParecido(SemBrancosNoFim(chave1), candidatos);
        ref.existentes.push_back(std::string(SemBrancosNoFim(chave1)) + '\0' + segunda);
    } catch (const std::exception&) {
        // Without the list, the warning goes without a likely name.
    }
    Problema p;
    p.linha = ensaio_->linhaAtual;
    p.texto = chave2.empty() ? chave1 : chave1 + " (" + chave2 + ")";
    p.motivo = "'" + std::string(SemBrancosNoFim(chave1)) + "' não existe em " + ref.descricao +
               " e será incluído.";
    if (!parecido.empty()) p.motivo += " Já existe '" + parecido + "'.";
    p.genero = GeneroAviso::CadastroNovo;
    ensaio_->Aviso(std::move(p));
}

void TFerramentas::LembraCodigos(bool lembra) {
    lembra_ = lembra;
    if (!lembra) {
        for (Referencia* ref : {cidades_.get(), classificacoes_.get(), fabricantes_.get()}) {
            ref->codigos.clear();
            ref->maiorCodigo = -1;
        }
    }
}

std::string TFerramentas::BuscaCidade(std::string_view cidade, std::string_view estado) {
    // "BHTE" is how the legacy sheets abbreviate Belo Horizonte.
    const std::string nome = Apara(cidade) == "BHTE" ? "Belo Horizonte" : std::string(cidade);
    return BuscaOuCria(*cidades_, Primeiros(nome, 30), Primeiros(estado, 2), true, criadosCidades_);
}

std::string TFerramentas::BuscaClassificacaoFiscal(std::string_view ncm) {
    return BuscaOuCria(*classificacoes_, Primeiros(ncm, 8), {}, true, criadosClassificacoes_);
}

std::string TFerramentas::BuscaFabricante(std::string_view fabricante) {
    // A product without a manufacturer gets no new manufacturer row.
    return BuscaOuCria(*fabricantes_, Primeiros(fabricante, 30), {}, !fabricante.empty(),
                       criadosFabricantes_);
}

std::string TFerramentas::FormataTelefone(std::string_view texto) {
    std::string r = RetiraPontuacao(Apara(texto));
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
        tabelaDDD_ = std::make_shared<const TabelaDDD>(
            arquivoCidades_.empty() ? TabelaDDD::ArquivoPadrao() : arquivoCidades_);
    }
    std::string ddd = tabelaDDD_->Procura(cidade, estado);
    // A three-character code carries the trunk digit in front ("031").
    if (ddd.size() == 3) ddd.erase(0, 1);
    return ddd;
}

namespace {

// A letter of Windows-1252: a to z in either case and the accented ones.
bool Letra(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return true;
    if (u >= 0xC0) return u != 0xD7 && u != 0xF7;  // not the signs of times and division
    switch (u) {
        case 0x83:
        case 0x8A:
        case 0x8C:
        case 0x8E:
        case 0x9A:
        case 0x9C:
        case 0x9E:
        case 0x9F:
            return true;
        default:
            return false;
    }
}

// The cell's first number: from its first digit (a word in front, "Tel.", is not part
// of it) up to the first letter or "/" after it.
std::string_view PrimeiroNumero(std::string_view celula) {
    const size_t inicio = celula.find_first_of("0123456789");
    if (inicio == std::string_view::npos) return {};
    size_t fim = inicio;
    while (fim < celula.size() && celula[fim] != '/' && !Letra(celula[fim])) ++fim;
    return celula.substr(inicio, fim - inicio);
}

}  // namespace

std::string TFerramentas::Telefone(std::string_view cidade, std::string_view estado,
                                   std::string_view numero) {
    const std::string celula = Apara(numero);
    if (celula.empty() || celula == ".") return {};
    const std::string ddd = BuscaDDD(cidade, estado);
    const std::string limpo = RetiraPontuacao(numero);
    // A number of ten digits or more already carries its area code; a second one in
    // front would spoil it. Only the first number counts: the digits of an extension
    // ("r. 21", "ramal 2") or of a second number ("/ 3333-5555") are not an area code.
    const std::string digitos = SomenteNumeros(PrimeiroNumero(numero));
    const size_t significativos =
        digitos.size() - std::min(digitos.find_first_not_of('0'), digitos.size());
    if (significativos >= 10) return FormataTelefone(limpo);
    // Only a rehearsal lists it; the run itself need not build the note per row.
    if (ensaio_->Ativo() && ddd.empty()) {
        Problema p;
        p.linha = ensaio_->linhaAtual;
        p.texto = celula;
        p.motivo = "O telefone fica sem DDD: a cidade '" + Apara(cidade) + "' (" + Apara(estado) +
                   ") não está na tabela de cidades.";
        p.genero = GeneroAviso::TelefoneSemDdd;
        ensaio_->Aviso(std::move(p));
    }
    return FormataTelefone(ddd + limpo);
}

}  // namespace conversor::convert
