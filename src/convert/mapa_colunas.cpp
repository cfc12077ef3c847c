#include "convert/mapa_colunas.h"

#include <fstream>
#include <map>
#include <utility>

#include "base/colunas.h"
#include "base/regional.h"

namespace conversor::convert {

namespace {

// The usual Portuguese headings of a kind's columns, by map name.
struct Sinonimos {
    const char* tipo;
    const char* nome;
    std::vector<const char*> titulos;
};

const std::vector<Sinonimos>& TabelaDeSinonimos() {
    static const std::vector<Sinonimos> tabela = {
        // Products. The product code is the row's ordinal: a "Código" heading has no place.
        {"produtos", "CAMPOLIVRE1", {"Campo livre 1", "Setor"}},
        {"produtos", "CODIGONCM", {"NCM", "Código NCM", "NCM/SH", "Classificação fiscal"}},
        {"produtos", "CAMPOLIVRE2", {"Campo livre 2"}},
        {"produtos", "COFINS_CST", {"CST COFINS", "CST do COFINS", "Situação tributária COFINS"}},
        {"produtos", "PIS_CST", {"CST PIS", "CST do PIS", "Situação tributária PIS"}},
        {"produtos", "CODGENEROITEM", {"Gênero", "Gênero do item", "Código do gênero"}},
        {"produtos", "FABRICANTE", {"Fabricante", "Marca"}},
        {"produtos",
         "PERC_IVA",
         {"IVA", "% IVA", "MVA", "Margem", "Margem de lucro", "Lucro", "% Lucro"}},
        {"produtos",
         "DESCRICAO",
         {"Descrição", "Produto", "Nome do produto", "Nome", "Descrição do produto"}},
        {"produtos", "ALIQCOFINS", {"COFINS", "% COFINS", "Alíquota COFINS", "Alíquota do COFINS"}},
        {"produtos", "CAMPOLIVRE3", {"Campo livre 3"}},
        {"produtos", "ALIQIPI", {"IPI", "% IPI", "Alíquota IPI", "Alíquota do IPI"}},
        {"produtos", "ALIQISS", {"ISS", "% ISS", "Alíquota ISS", "Alíquota do ISS"}},
        {"produtos", "ALIQPIS", {"PIS", "% PIS", "Alíquota PIS", "Alíquota do PIS"}},
        {"produtos", "PESO", {"Peso bruto", "Peso líquido", "Peso (kg)"}},
        {"produtos", "PRECOCUSTO", {"Custo", "Preço de custo", "Valor de custo", "Preço custo"}},
        {"produtos",
         "PRECO",
         {"Preço", "Preço de venda", "Valor de venda", "Preço venda", "Valor", "Venda"}},
        {"produtos", "REFERENCIA", {"Referência", "Ref", "Ref.", "Código de referência"}},
        {"produtos",
         "QUANTIDADE",
         {"Estoque", "Qtd", "Qtde", "Quant.", "Saldo", "Estoque atual", "Estoque inicial"}},
        {"produtos", "CAMPOLIVRE4", {"Campo livre 4"}},
        {"produtos", "CODTRIBUT00", {"CST", "CST ICMS", "CST do ICMS", "Situação tributária"}},
        {"produtos", "UNIDADEENT", {"Unidade", "Un", "Und", "Unid", "Unidade de medida"}},

        {"clientes", "CEP", {"CEP"}},
        {"clientes",
         "CGCCPF",
         {"CNPJ", "CPF/CNPJ", "CNPJ/CPF", "CNPJ ou CPF", "CPF ou CNPJ", "CGC", "Documento"}},
        {"clientes", "CIDADE", {"Cidade", "Município"}},
        {"clientes", "CODCLIENTE", {"Código", "Cód", "Cód.", "Código do cliente", "Cód. cliente"}},
        {"clientes", "COMPLEMENTONFE", {"Complemento"}},
        {"clientes", "DT_CADASTRO", {"Data de cadastro", "Cadastro", "Data cadastro", "Desde"}},
        {"clientes", "BAIRROENT", {"Bairro de entrega"}},
        {"clientes", "CEPENT", {"CEP de entrega"}},
        {"clientes", "CIDADEENT", {"Cidade de entrega", "Município de entrega"}},
        {"clientes", "ENDERECOENT", {"Endereço de entrega", "Rua de entrega"}},
        {"clientes", "ESTADOENT", {"UF de entrega", "Estado de entrega"}},
        {"clientes", "EMAIL", {"E-mail", "Correio eletrônico"}},
        {"clientes", "ENDERECO", {"Endereço", "Rua", "Logradouro"}},
        {"clientes", "NUMEROENT", {"Número de entrega"}},
        {"clientes", "OBSERVACAO", {"Observação", "Observações", "Obs"}},
        {"clientes", "ESTADO", {"UF", "Estado"}},
        {"clientes", "INSCEST", {"Inscrição estadual", "IE", "Insc. estadual", "Inscr. estadual"}},
        {"clientes", "INSCMUNICIPAL", {"Inscrição municipal", "IM", "Insc. municipal"}},
        {"clientes", "NOMEFANTASIA", {"Nome fantasia", "Fantasia"}},
        {"clientes", "NUMERONFE", {"Número", "Nº", "Num", "No"}},
        {"clientes", "NOME", {"Razão social", "Nome do cliente", "Cliente", "Razão"}},
        {"clientes", "FONE", {"Telefone", "Tel", "Tel."}},
        {"clientes", "CODVENDEND1", {"Vendedor", "Código do vendedor", "Cód. vendedor"}},

        {"fornecedores", "CEP", {"CEP"}},
        {"fornecedores", "CGCCPF", {"CNPJ", "CPF/CNPJ", "CNPJ/CPF", "CGC"}},
        {"fornecedores", "CIDADE", {"Cidade", "Município"}},
        {"fornecedores", "EMAIL", {"E-mail", "Correio eletrônico"}},
        {"fornecedores", "ESTADO", {"UF", "Estado"}},
        {"fornecedores",
         "CODFORNEC",
         {"Código", "Cód", "Cód.", "Código do fornecedor", "Cód. fornecedor"}},
        {"fornecedores", "INSCEST", {"Inscrição estadual", "IE", "Insc. estadual"}},
        {"fornecedores", "ENDERECO", {"Endereço", "Rua", "Logradouro"}},
        {"fornecedores", "NOME", {"Razão social", "Fornecedor", "Razão"}},
        {"fornecedores", "NOMEFANTASIA", {"Nome fantasia", "Fantasia"}},
        {"fornecedores", "NUMERO", {"Nº", "Num", "No"}},
        {"fornecedores", "FONE", {"Telefone", "Tel", "Tel."}},

        {"vendedores", "CEP", {"CEP"}},
        {"vendedores", "RG", {"Identidade", "Carteira de identidade"}},
        {"vendedores", "CIDADE", {"Cidade", "Município"}},
        {"vendedores", "COMISSAO", {"Comissão", "% Comissão", "Percentual de comissão"}},
        {"vendedores", "CGCCPF", {"CPF", "CNPJ", "CPF/CNPJ", "CNPJ/CPF"}},
        {"vendedores", "ENDERECO", {"Endereço", "Rua", "Logradouro"}},
        {"vendedores", "ESTADO", {"UF", "Estado"}},
        {"vendedores", "NOME", {"Vendedor", "Nome do vendedor"}},
        {"vendedores", "TELEFONE", {"Fone", "Tel", "Tel.", "Celular"}},
        {"vendedores", "CODVENDEDOR", {"Código", "Cód", "Cód.", "Código do vendedor"}},

        {"transportadoras", "CEP", {"CEP"}},
        {"transportadoras", "CGCCPF", {"CNPJ", "CPF/CNPJ", "CNPJ/CPF", "CGC"}},
        {"transportadoras", "CIDADE", {"Cidade", "Município"}},
        {"transportadoras", "NUMERO", {"Nº", "Num", "No"}},
        {"transportadoras", "ESTADO", {"UF", "Estado"}},
        {"transportadoras", "INSCEST", {"Inscrição estadual", "IE", "Insc. estadual"}},
        {"transportadoras", "ENDERECO", {"Endereço", "Rua", "Logradouro"}},
        {"transportadoras", "NOME", {"Razão social", "Transportadora", "Razão"}},
        {"transportadoras", "FONE", {"Telefone", "Tel", "Tel."}},
        {"transportadoras", "CODTRANSPT", {"Código", "Cód", "Cód.", "Código da transportadora"}},
    };
    return tabela;
}

// Columns that say only whether another column is filled: a proposal feeds them from
// the same sheet column. Products: column 132 says the sheet gives a unit, which
// column 130 holds.
struct Acompanha {
    const char* tipo;
    int coluna;
    int segue;
};
const Acompanha kAcompanham[] = {{"produtos", 132, 130}};

// Windows-1252 letters 0xC0 to 0xFF without their accents, in lower case; what is
// not a letter there (the signs of multiplication and division) is dropped.
constexpr char kSemAcento[] =
    "aaaaaaaceeeeiiiidnooooo ouuuuyps"
    "aaaaaaaceeeeiiiidnooooo ouuuuypy";

// A text of the map inside a message: a line of a file that is no map may be
// megabytes long, and the message names it, not repeats it.
std::string Trecho(const std::string& texto) {
    constexpr size_t kMaximo = 60;
    return texto.size() <= kMaximo ? texto : texto.substr(0, kMaximo) + "...";
}

std::string Mensagem(const std::string& arquivo, int linha, const std::string& motivo) {
    return "Mapa de colunas '" + CaminhoParaMensagem(arquivo) + "', linha " +
           std::to_string(linha) + ": " + motivo;
}

// The fields of one line separated by ';', each unquoted as a spreadsheet writes it.
std::vector<std::string> Campos(std::string_view linha) {
    std::vector<std::string> campos(1);
    bool aspas = false;
    for (size_t i = 0; i < linha.size(); ++i) {
        const char c = linha[i];
        if (aspas) {
            if (c == '"' && i + 1 < linha.size() && linha[i + 1] == '"') {
                campos.back() += '"';
                ++i;
            } else if (c == '"') {
                aspas = false;
            } else {
                campos.back() += c;
            }
        } else if (c == '"' && Apara(campos.back()).empty()) {
            campos.back().clear();
            aspas = true;
        } else if (c == ';') {
            campos.emplace_back();
        } else {
            campos.back() += c;
        }
    }
    return campos;
}

// The column of 1 to 3 letters ("c", "AB"), or 0 when the text is none.
int ColunaDasLetras(std::string_view texto) {
    if (texto.empty() || texto.size() > 3) return 0;
    int coluna = 0;
    for (char c : texto) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return 0;
        coluna = coluna * 26 + (c - 'A' + 1);
    }
    return coluna;
}

// A heading on one line of the map: a line break inside the cell becomes a blank,
// which the matching ignores as it does the break.
std::string NumaLinha(std::string_view titulo) {
    std::string r = Apara(titulo);
    for (char& c : r)
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7F') c = ' ';
    return r;
}

std::string Nomeada(const ColunaLida& c) { return std::to_string(c.coluna) + " " + c.nome; }

// A sheet column for a map line: its heading when that heading is one of a kind in the
// row, otherwise its letters; quoted when it holds what a line would split on.
std::string ColunaParaMapa(const TitulosPlanilha& titulos, int coluna) {
    const std::string titulo = NumaLinha(titulos.textos[static_cast<size_t>(coluna - 1)]);
    const std::string chave = ChaveDeTitulo(titulo);
    int iguais = 0;
    for (const std::string& t : titulos.textos)
        iguais += !chave.empty() && ChaveDeTitulo(t) == chave;
    if (iguais != 1) return LetraColuna(coluna);
    if (titulo.find_first_of(";\"") == std::string::npos && titulo[0] != '#') return titulo;
    std::string citado = "\"";
    for (char c : titulo) citado += c == '"' ? std::string("\"\"") : std::string(1, c);
    return citado + "\"";
}

}  // namespace

std::string ChaveDeTitulo(std::string_view titulo) {
    std::string chave;
    for (const char c : titulo) {
        const auto u = static_cast<unsigned char>(c);
        char l = 0;
        if (u >= 0xC0)
            l = kSemAcento[u - 0xC0];
        else if (u == 0xAA)  // ª
            l = 'a';
        else if (u == 0xBA)  // º
            l = 'o';
        else if (c >= 'A' && c <= 'Z')
            l = static_cast<char>(c - 'A' + 'a');
        else
            l = c;
        if ((l >= 'a' && l <= 'z') || (l >= '0' && l <= '9')) chave += l;
    }
    return chave;
}

const ColunaLida* ColunaDoTitulo(const LeiauteTipo& leiaute, std::string_view titulo) {
    const std::string chave = ChaveDeTitulo(titulo);
    if (chave.empty()) return nullptr;
    // The map names first, then the fields, then the usual names: a heading that is a
    // column's own name never goes to another column that merely lists it as usual.
    for (const ColunaLida& c : leiaute.colunas)
        if (ChaveDeTitulo(c.nome) == chave) return &c;
    for (const ColunaLida& c : leiaute.colunas)
        if (*c.campo && ChaveDeTitulo(c.campo) == chave) return &c;
    for (const Sinonimos& s : TabelaDeSinonimos()) {
        if (std::string_view(s.tipo) != leiaute.tipo) continue;
        for (const char* t : s.titulos)
            if (ChaveDeTitulo(t) == chave) return ColunaDoLeiaute(leiaute, s.nome);
    }
    return nullptr;
}

MapaColunas LeMapa(std::string_view conteudo, const LeiauteTipo& leiaute,
                   const std::string& arquivo) {
    // Saved by a spreadsheet as "Unicode text", the map is UTF-16 with its mark.
    std::string utf16;
    if (conteudo.starts_with("\xFF\xFE") || conteudo.starts_with("\xFE\xFF")) {
        utf16 = Utf16ParaUtf8(conteudo.substr(2), conteudo[0] == '\xFF');
        conteudo = utf16;
    }
    if (conteudo.starts_with("\xEF\xBB\xBF")) conteudo.remove_prefix(3);
    // Saved by a spreadsheet or an old editor, the map may well be Windows-1252.
    std::string texto = Utf8Valido(conteudo) ? Utf8ParaCp1252(conteudo) : std::string(conteudo);
    // Lines ended by a lone carriage return (old Mac editors) are lines all the same.
    for (size_t i = 0; i < texto.size(); ++i)
        if (texto[i] == '\r' && (i + 1 == texto.size() || texto[i + 1] != '\n')) texto[i] = '\n';
    MapaColunas mapa;
    mapa.arquivo = arquivo;
    std::map<int, int> linhaDaColuna;
    int numero = 0;
    for (size_t inicio = 0; inicio <= texto.size(); ++numero) {
        size_t fim = texto.find('\n', inicio);
        if (fim == std::string::npos) fim = texto.size();
        const std::string linha = Apara(std::string_view(texto).substr(inicio, fim - inicio));
        inicio = fim + 1;
        const int n = numero + 1;
        if (linha.empty() || linha[0] == '#') continue;
        std::vector<std::string> campos = Campos(linha);
        while (campos.size() > 2 && Apara(campos.back()).empty()) campos.pop_back();
        bool vazia = true;
        for (const std::string& c : campos) vazia = vazia && Apara(c).empty();
        if (vazia) continue;  // a spreadsheet's empty row: ";"
        if (campos.size() != 2)
            throw ErroMapa(Mensagem(
                arquivo, n,
                campos.size() < 2
                    ? "falta o ';' entre a coluna do leiaute e a coluna da planilha."
                    : "a linha tem mais de duas colunas; use \"coluna do leiaute;coluna da "
                      "planilha\"."));
        const std::string deLeiaute = Apara(campos[0]);
        const std::string daPlanilha = Apara(campos[1]);
        if (deLeiaute.empty())
            throw ErroMapa(Mensagem(arquivo, n, "falta a coluna do leiaute antes do ';'."));
        const ColunaLida* coluna = nullptr;
        if (deLeiaute.find_first_not_of("0123456789") == std::string::npos) {
            coluna =
                deLeiaute.size() <= 5 ? ColunaDoLeiaute(leiaute, std::stoi(deLeiaute)) : nullptr;
            if (!coluna)
                throw ErroMapa(Mensagem(
                    arquivo, n,
                    "a coluna " + Trecho(deLeiaute) + " não é lida na conversão de " +
                        leiaute.tipo + " (veja conversor colunas --tipo " + leiaute.tipo + ")."));
        } else {
            coluna = ColunaDoLeiaute(leiaute, deLeiaute);
            if (!coluna)
                throw ErroMapa(Mensagem(arquivo, n,
                                        "'" + Trecho(deLeiaute) + "' não é coluna do leiaute de " +
                                            leiaute.tipo + " (veja conversor colunas --tipo " +
                                            leiaute.tipo + ")."));
        }
        if (daPlanilha.empty())
            throw ErroMapa(Mensagem(arquivo, n, "falta a coluna da planilha depois do ';'."));
        if (const auto [onde, nova] = linhaDaColuna.emplace(coluna->coluna, n); !nova)
            throw ErroMapa(Mensagem(arquivo, n,
                                    "a coluna " + Nomeada(*coluna) +
                                        " do leiaute já foi ligada na linha " +
                                        std::to_string(onde->second) + "."));
        mapa.ligacoes.push_back({n, coluna->coluna, daPlanilha});
    }
    if (mapa.ligacoes.empty())
        throw ErroMapa("O mapa de colunas '" + CaminhoParaMensagem(arquivo) +
                       "' não liga nenhuma coluna (cada linha: coluna do leiaute;coluna da "
                       "planilha).");
    return mapa;
}

MapaColunas LeArquivoMapa(const std::string& arquivo, const LeiauteTipo& leiaute) {
    // A map has a line per layout column; a file far larger is not one (a workbook
    // given for the map, say), and is not read into memory whole.
    constexpr size_t kMaiorMapa = 1 << 20;
    std::ifstream entrada(arquivo, std::ios::binary);
    std::string conteudo;
    if (entrada) {
        conteudo.resize(kMaiorMapa + 1);
        entrada.read(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
        conteudo.resize(static_cast<size_t>(entrada.gcount()));
    }
    if (!entrada && !entrada.eof())
        throw ErroMapa("Não foi possível ler o mapa de colunas '" + CaminhoParaMensagem(arquivo) +
                       "'.");
    if (conteudo.size() > kMaiorMapa)
        throw ErroMapa("O mapa de colunas '" + CaminhoParaMensagem(arquivo) +
                       "' passa de 1 MB: não parece ser um mapa (cada linha: coluna do "
                       "leiaute;coluna da planilha).");
    return LeMapa(conteudo, leiaute, arquivo);
}

MapaResolvido ResolveMapa(const MapaColunas& mapa, const LeiauteTipo& leiaute,
                          TitulosPlanilha titulos, int ultimaColuna) {
    MapaResolvido resolvido;
    resolvido.origem.assign(static_cast<size_t>(leiaute.UltimaColuna()), 0);
    for (const LigacaoMapa& l : mapa.ligacoes) {
        const std::string chave = ChaveDeTitulo(l.planilha);
        std::vector<int> comTitulo;
        for (size_t k = 0; k < titulos.textos.size(); ++k)
            if (!chave.empty() && ChaveDeTitulo(titulos.textos[k]) == chave)
                comTitulo.push_back(static_cast<int>(k + 1));
        int coluna = 0;
        if (comTitulo.size() > 1)
            throw ErroMapa(Mensagem(
                mapa.arquivo, l.linha,
                "o título '" + Trecho(l.planilha) + "' está nas colunas " +
                    LetraColuna(comTitulo[0]) + " e " + LetraColuna(comTitulo[1]) + " da linha " +
                    std::to_string(titulos.linha) + " da planilha; use a letra da coluna."));
        const int letras = ColunaDasLetras(l.planilha);
        if (comTitulo.size() == 1) {
            coluna = comTitulo[0];
        } else if (letras > 0 && letras <= ultimaColuna) {
            coluna = letras;
        } else {
            std::string motivo = "a planilha não tem a coluna '" + Trecho(l.planilha) + "': ";
            motivo += titulos.linha > 0 ? "nenhum título da linha " +
                                              std::to_string(titulos.linha) + " tem esse texto"
                                        : std::string(
                                              "não há linha de títulos acima da primeira "
                                              "linha convertida (veja --primeira-linha)");
            if (letras > 0)
                motivo += ", e a planilha vai só até a coluna " + LetraColuna(ultimaColuna) + " (" +
                          std::to_string(ultimaColuna) + ")";
            throw ErroMapa(Mensagem(mapa.arquivo, l.linha, motivo + "."));
        }
        resolvido.origem[static_cast<size_t>(l.coluna - 1)] = coluna;
    }
    resolvido.titulos = std::move(titulos);
    return resolvido;
}

std::string MapaResolvido::Descreve(const LeiauteTipo& leiaute, int coluna) const {
    const ColunaLida* lida = ColunaDoLeiaute(leiaute, coluna);
    std::string r = "coluna " + std::to_string(coluna);
    if (lida) r += " " + lida->nome;
    const int daPlanilha =
        coluna >= 1 && static_cast<size_t>(coluna) <= origem.size() ? origem[coluna - 1] : 0;
    if (daPlanilha == 0) return r + ", que o mapa deixa vazia";
    r += ", da coluna " + LetraColuna(daPlanilha);
    if (static_cast<size_t>(daPlanilha) <= titulos.textos.size()) {
        const std::string titulo = Apara(titulos.textos[daPlanilha - 1]);
        if (!titulo.empty()) r += " '" + NumaLinha(titulo) + "'";
    }
    return r + " da planilha";
}

PropostaMapa PropoeMapa(const LeiauteTipo& leiaute, const TitulosPlanilha& titulos) {
    PropostaMapa proposta;
    std::map<int, int> tomadas;  // layout column -> sheet column
    for (size_t k = 0; k < titulos.textos.size(); ++k) {
        const std::string titulo = Apara(titulos.textos[k]);
        if (ChaveDeTitulo(titulo).empty()) continue;
        const int daPlanilha = static_cast<int>(k + 1);
        const ColunaLida* c = ColunaDoTitulo(leiaute, titulo);
        if (!c) {
            proposta.semLugar.push_back({daPlanilha, titulo});
        } else if (const auto [onde, nova] = tomadas.emplace(c->coluna, daPlanilha); !nova) {
            proposta.semLugar.push_back({daPlanilha, titulo, onde->second, c->coluna});
        }
    }
    for (const Acompanha& a : kAcompanham) {
        if (std::string_view(a.tipo) != leiaute.tipo || tomadas.count(a.coluna)) continue;
        if (const auto segue = tomadas.find(a.segue); segue != tomadas.end())
            tomadas.emplace(a.coluna, segue->second);
    }
    for (const auto& [coluna, daPlanilha] : tomadas)
        proposta.ligadas.push_back({coluna, daPlanilha});
    return proposta;
}

std::string TextoDoMapa(const PropostaMapa& proposta, const LeiauteTipo& leiaute,
                        const TitulosPlanilha& titulos, const std::string& planilha, int aba) {
    std::string t = "# Mapa de colunas de " + std::string(leiaute.tipo) + " para a planilha '" +
                    CaminhoParaMensagem(planilha) + "', aba " + std::to_string(aba) + ".\n";
    t += "# Títulos na linha " + std::to_string(titulos.linha) +
         ": converta com --primeira-linha " + std::to_string(titulos.linha + 1) + ".\n";
    t += "# Cada linha: coluna do leiaute (número ou nome);coluna da planilha (letra ou\n"
         "# título). As colunas do leiaute fora do mapa ficam vazias.\n";
    std::map<int, int> ligadas;
    for (const PropostaMapa::Ligada& l : proposta.ligadas) {
        ligadas.emplace(l.coluna, l.colunaPlanilha);
        t += ColunaDoLeiaute(leiaute, l.coluna)->nome + ";" +
             ColunaParaMapa(titulos, l.colunaPlanilha) + "\n";
    }
    if (!proposta.semLugar.empty()) {
        t += "#\n# Títulos sem lugar no leiaute (ligue-os à mão, se for o caso):\n";
        for (const PropostaMapa::Sobra& s : proposta.semLugar) {
            t += "#   coluna " + LetraColuna(s.colunaPlanilha) + " '" + NumaLinha(s.titulo) + "'";
            if (s.tomadaPor)
                t += ": também parece ser " + ColunaDoLeiaute(leiaute, s.coluna)->nome +
                     ", já ligada à coluna " + LetraColuna(s.tomadaPor);
            t += "\n";
        }
    }
    std::string fora;
    for (const ColunaLida& c : leiaute.colunas) {
        if (ligadas.count(c.coluna)) continue;
        fora += "#   " + Nomeada(c) + (*c.campo ? std::string(" (") + c.campo + ")" : "") + "\n";
    }
    if (!fora.empty()) t += "#\n# Colunas do leiaute fora do mapa (ficam vazias):\n" + fora;
    return t;
}

}  // namespace conversor::convert
