// The layouts that `conversor colunas` shows and `conversor modelo` writes, held
// against the conversion itself: a sheet whose every column carries a marker of its
// own is converted, and each marker must turn up in the field the layout names and
// nowhere else; a template, filled as a person fills it, converts.
#include "convert/leiaute.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/partes_zip.h"
#include "apoio/processo.h"
#include "base/colunas.h"
#include "base/regional.h"
#include "convert/tipos.h"
#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::app {
namespace {

using convert::ColunaLida;
using convert::Conteudo;
using convert::LeiauteTipo;
using teste::LeParte;
using teste::TrocaParte;
using ::testing::HasSubstr;

// What the terminal receives is UTF-8, while plain literals here are Windows-1252.
std::string U8(const std::string& cp1252) { return Cp1252ParaUtf8(cp1252); }

teste::Resultado Conversor(std::vector<std::string> argumentos) {
    argumentos.insert(argumentos.begin(), CONVERSOR_EXECUTAVEL);
    return teste::Roda(argumentos);
}

// The table each kind's rows land in first.
std::string TabelaPrincipal(const std::string& tipo) {
    const std::map<std::string, std::string> tabelas = {{"produtos", "PRODUTO"},
                                                        {"clientes", "CLIENTE"},
                                                        {"fornecedores", "FORNECE"},
                                                        {"vendedores", "VENDEND"},
                                                        {"transportadoras", "TRANSPT"}};
    return tabelas.at(tipo);
}

// The summary line of `converter` for a table.
std::string Gravadas(const std::string& tabela, int linhas) {
    char texto[64];
    std::snprintf(texto, sizeof texto, "  %-15s %d linhas gravadas", tabela.c_str(), linhas);
    return texto;
}

std::string TresDigitos(int coluna) {
    char texto[8];
    std::snprintf(texto, sizeof texto, "%03d", coluna);
    return texto;
}

// Markers. A column the layout does not list gets digits, which survive every rule
// (a cut aside) and so would show wherever a converter put them. A listed column gets
// one its rule lets through, recognisable after it: letters and the column's number
// for a text, digits for digits, the number itself for a code, two letters of its
// own for a state or unit.
std::string MarcaNaoLida(int coluna) { return "97" + TresDigitos(coluna) + "79"; }

std::string MarcaTexto(const ColunaLida& c) {
    switch (c.conteudo) {
        case Conteudo::Texto:
            return "L" + TresDigitos(c.coluna);
        case Conteudo::Digitos:
            return "5" + TresDigitos(c.coluna) + "5";
        case Conteudo::Codigo: {
            const std::string n = std::to_string(c.coluna);
            return n.substr(n.size() > static_cast<size_t>(c.largura) ? n.size() - c.largura : 0);
        }
        case Conteudo::Sigla:
            return {static_cast<char>('A' + c.coluna / 26 % 26),
                    static_cast<char>('A' + c.coluna % 26)};
        default:
            return {};
    }
}

double MarcaNumero(const ColunaLida& c) { return c.coluna + 0.25; }

lxw_datetime MarcaData(const ColunaLida& c) {
    return {2000 + c.coluna % 30, c.coluna % 12 + 1, c.coluna % 28 + 1, 0, 0, 0};
}

// Whether the marker is recognisable wherever it lands (a code's digits or a state's
// two letters may turn up in other fields by chance).
bool MarcaInconfundivel(const ColunaLida& c) {
    return c.conteudo == Conteudo::Texto || c.conteudo == Conteudo::Digitos;
}

// The condition a field holding the column's marker meets.
std::string Condicao(const ColunaLida& c) {
    switch (c.conteudo) {
        case Conteudo::Numero:
            return " = " + std::to_string(MarcaNumero(c));
        case Conteudo::Data: {
            const lxw_datetime d = MarcaData(c);
            char texto[16];
            std::snprintf(texto, sizeof texto, "%04d-%02d-%02d", d.year, d.month, d.day);
            return std::string(" = '") + texto + "'";
        }
        case Conteudo::Logico:
            return " = 'S'";  // the cell holds VERDADEIRO
        case Conteudo::Sigla:
            return " = '" + MarcaTexto(c) + "'";
        default:
            return " containing '" + MarcaTexto(c) + "'";
    }
}

// A sheet of one row: every listed column its marker, every other column up to the
// kind's last one a marker of its own; the columns in `vazias` left blank.
void EscrevePlanilhaMarcada(const std::string& arquivo, const LeiauteTipo& leiaute,
                            const std::vector<int>& vazias) {
    lxw_workbook* pasta = workbook_new(arquivo.c_str());
    lxw_worksheet* aba = workbook_add_worksheet(pasta, leiaute.aba);
    lxw_format* data = workbook_add_format(pasta);
    format_set_num_format(data, "dd/mm/yyyy");
    for (int coluna = 1; coluna <= leiaute.UltimaColuna(); ++coluna) {
        if (std::find(vazias.begin(), vazias.end(), coluna) != vazias.end()) continue;
        const lxw_col_t k = static_cast<lxw_col_t>(coluna - 1);
        const ColunaLida* lida = nullptr;
        for (const ColunaLida& c : leiaute.colunas)
            if (c.coluna == coluna) lida = &c;
        if (!lida) {
            worksheet_write_string(aba, 0, k, MarcaNaoLida(coluna).c_str(), nullptr);
            continue;
        }
        switch (lida->conteudo) {
            case Conteudo::Numero:
                worksheet_write_number(aba, 0, k, MarcaNumero(*lida), nullptr);
                break;
            case Conteudo::Data: {
                lxw_datetime d = MarcaData(*lida);
                worksheet_write_datetime(aba, 0, k, &d, data);
                break;
            }
            case Conteudo::Logico:
                worksheet_write_boolean(aba, 0, k, 1, nullptr);
                break;
            default:
                worksheet_write_string(aba, 0, k, MarcaTexto(*lida).c_str(), nullptr);
        }
    }
    ASSERT_EQ(workbook_close(pasta), LXW_NO_ERROR);
}

struct Valor {
    std::string campo;  // "TABELA.COLUNA"
    std::string texto;
};

// Every value of every table of the database, as text.
std::vector<Valor> TodosOsValores(db::Conexao& banco) {
    const std::vector<std::string> tabelas = teste::TabelasDoBanco(banco);
    std::vector<Valor> valores;
    for (const std::string& tabela : tabelas) {
        db::Consulta q(banco);
        q.DefineSql("select * from " + tabela);
        for (q.Abre(); !q.Eof(); q.Proximo())
            for (int i = 0; i < q.NumeroCampos(); ++i)
                valores.push_back({tabela + "." + q.NomeCampo(i), q.CampoTexto(q.NomeCampo(i))});
    }
    return valores;
}

// The cells a spreadsheet program writes for what a person typed in row `linha` of
// the template's first sheet: a value of the kind each listed column asks for, the
// row's number where a code must differ from row to row. The last column is left
// out in row 1, where the template's own cell stays.
std::string CelulasDigitadas(const LeiauteTipo& leiaute, int linha) {
    std::string celulas;
    for (const ColunaLida& c : leiaute.colunas) {
        if (linha == 1 && c.coluna == leiaute.UltimaColuna()) continue;
        const std::string ref = LetraColuna(c.coluna) + std::to_string(linha);
        const auto texto = [&](const std::string& t) {
            return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + t + "</t></is></c>";
        };
        switch (c.conteudo) {
            case Conteudo::Numero:
                celulas += "<c r=\"" + ref + "\"><v>" + std::to_string(linha) + ".5</v></c>";
                break;
            case Conteudo::Data:  // 1 February 2020
                celulas += "<c r=\"" + ref + "\"><v>43862</v></c>";
                break;
            case Conteudo::Logico:
                celulas += "<c r=\"" + ref + "\" t=\"b\"><v>1</v></c>";
                break;
            case Conteudo::Texto:
                celulas += texto("R" + std::to_string(linha) + "C" + std::to_string(c.coluna));
                break;
            case Conteudo::Digitos:
                celulas += texto("3133224" + std::to_string(linha));
                break;
            case Conteudo::Codigo:
                celulas += texto(std::to_string(linha));
                break;
            case Conteudo::Sigla:
                celulas += texto("MG");
                break;
        }
    }
    return celulas;
}

class LeiauteDosTipos : public ::testing::TestWithParam<const char*> {
protected:
    const LeiauteTipo& Leiaute() const { return *convert::LeiauteDoTipo(GetParam()); }
    std::string Arquivo(const std::string& nome) const { return pasta_.Arquivo(nome); }
    teste::PastaTemporaria pasta_;
};

TEST_P(LeiauteDosTipos, ColunasMostraUmaLinhaAlinhadaPorColunaLida) {
    const LeiauteTipo& leiaute = Leiaute();
    const teste::Resultado r = Conversor({"colunas", "--tipo", GetParam()});
    ASSERT_EQ(r.status, 0) << r.saida;
    std::vector<std::string> linhas;
    std::istringstream saida(r.saida);
    for (std::string linha; std::getline(saida, linha);) linhas.push_back(linha);
    ASSERT_EQ(linhas.size(), leiaute.colunas.size() + 2) << r.saida;
    EXPECT_THAT(linhas[0], HasSubstr("coluna " + LetraColuna(leiaute.UltimaColuna()) + " (" +
                                     std::to_string(leiaute.UltimaColuna()) + ")"));
    const size_t inicioRegra = linhas[1].find("Regra");
    ASSERT_NE(inicioRegra, std::string::npos) << linhas[1];
    for (size_t i = 0; i < leiaute.colunas.size(); ++i) {
        const ColunaLida& c = leiaute.colunas[i];
        const std::string& linha = linhas[i + 2];
        SCOPED_TRACE(linha);
        std::istringstream partes(linha);
        std::string numero, letra, campo, largura;
        partes >> numero >> letra >> campo >> largura;
        EXPECT_EQ(numero, std::to_string(c.coluna));
        EXPECT_EQ(letra, LetraColuna(c.coluna));
        EXPECT_EQ(campo, *c.campo ? c.campo : "-");
        EXPECT_EQ(largura, c.largura ? std::to_string(c.largura) : "-");
        EXPECT_EQ(linha.substr(inicioRegra), U8(convert::RegraCompleta(c)));
    }
}

// Clients and suppliers read a second tax number column only when the first is blank:
// the first pass fills every column, the second leaves those first columns blank.
TEST_P(LeiauteDosTipos, CadaMarcaChegaAoCampoQueOLeiauteNomeiaENenhumaOutra) {
    const LeiauteTipo& leiaute = Leiaute();
    const std::string banco = Arquivo("vantora.fdb");
    teste::Resultado r = Conversor({"criar-banco", banco});
    ASSERT_EQ(r.status, 0) << r.saida;

    std::vector<int> primeiras;
    for (const ColunaLida& c : leiaute.colunas)
        if (c.soSeVazia) primeiras.push_back(c.soSeVazia);
    std::vector<std::vector<int>> passadas = {{}};
    if (!primeiras.empty()) passadas.push_back(primeiras);

    for (const std::vector<int>& vazias : passadas) {
        SCOPED_TRACE(vazias.empty() ? "todas as colunas preenchidas"
                                    : "primeiras colunas do CNPJ vazias");
        const std::string planilha = Arquivo("marcada" + std::to_string(vazias.size()) + ".xlsx");
        EscrevePlanilhaMarcada(planilha, leiaute, vazias);
        r = Conversor({"converter", "--banco", banco, "--planilha", planilha, "--tipo", GetParam(),
                       "--cidades", CONVERSOR_TABELA_CIDADES});
        ASSERT_EQ(r.status, 0) << r.saida;
        ASSERT_THAT(r.saida, HasSubstr(Gravadas(TabelaPrincipal(GetParam()), 1)));

        db::Conexao conexao;
        conexao.DefineNomeBanco(banco);
        conexao.Conecta();
        const auto vazia = [&](int coluna) {
            return std::find(vazias.begin(), vazias.end(), coluna) != vazias.end();
        };
        // Read this pass: not blank, and not overridden by a first column that is filled.
        const auto lida = [&](const ColunaLida& c) {
            return !vazia(c.coluna) && (!c.soSeVazia || vazia(c.soSeVazia));
        };
        for (const ColunaLida& c : leiaute.colunas) {
            if (!lida(c) || !*c.campo) continue;
            for (const char* campo : {c.campo, c.tambem}) {
                if (!campo) continue;
                const std::string nome(campo);
                const std::string tabela = nome.substr(0, nome.find('.'));
                const std::string coluna = nome.substr(nome.find('.') + 1);
                db::Consulta q(conexao);
                q.DefineSql("select count(*) as N from " + tabela + " where " + coluna +
                            Condicao(c));
                q.Abre();
                EXPECT_EQ(q.CampoInteiro("N"), 1)
                    << "column " << c.coluna << ": " << nome << Condicao(c);
            }
        }
        for (const Valor& v : TodosOsValores(conexao)) {
            for (int coluna = 1; coluna <= leiaute.UltimaColuna(); ++coluna)
                EXPECT_THAT(v.texto, ::testing::Not(HasSubstr(MarcaNaoLida(coluna))))
                    << v.campo << " holds the marker of column " << coluna
                    << ", which the layout does not list";
            for (const ColunaLida& c : leiaute.colunas) {
                if (vazia(c.coluna) || !MarcaInconfundivel(c)) continue;
                if (v.texto.find(MarcaTexto(c)) == std::string::npos) continue;
                EXPECT_TRUE(lida(c) && (v.campo == c.campo || (c.tambem && v.campo == c.tambem)))
                    << v.campo << " holds the marker of column " << c.coluna
                    << ", which the layout sends "
                    << (lida(c) ? std::string("only to ") + c.campo +
                                      (c.tambem ? std::string(" and ") + c.tambem : "")
                                : "nowhere in this sheet");
            }
        }
        conexao.Desconecta();
    }
}

TEST_P(LeiauteDosTipos, ModeloTemAAbaVaziaEAsColunasEConvertePreenchido) {
    const LeiauteTipo& leiaute = Leiaute();
    const std::string modelo = Arquivo("modelo.xlsx");
    teste::Resultado r = Conversor({"modelo", "--tipo", GetParam(), modelo});
    ASSERT_EQ(r.status, 0) << r.saida;
    EXPECT_THAT(r.saida, HasSubstr(modelo));

    // The rows' sheet first, already as wide as the kind reads; then the layout.
    const std::string ultima = std::to_string(leiaute.UltimaColuna());
    r = Conversor({"planilhas", modelo});
    EXPECT_EQ(r.saida, "1\t" + std::string(leiaute.aba) + "\t1\t" + ultima + "\n2\tColunas\t" +
                           std::to_string(leiaute.colunas.size() + 5) + "\t5\n");
    r = Conversor({"mostrar", modelo});
    EXPECT_EQ(r.saida, std::string(leiaute.UltimaColuna() - 1, '\t') + "\n");  // no titles
    // `mostrar` cuts each cell at 100 characters, as the staging table keeps them.
    r = Conversor({"mostrar", modelo, "--aba", "2"});
    ASSERT_EQ(r.status, 0) << r.saida;
    for (const ColunaLida& c : leiaute.colunas) {
        EXPECT_THAT(r.saida, HasSubstr("\n" + std::to_string(c.coluna) + "\t" +
                                       LetraColuna(c.coluna) + "\t" + (*c.campo ? c.campo : "-") +
                                       "\t" + (c.largura ? std::to_string(c.largura) : "-") + "\t" +
                                       U8(convert::RegraCompleta(c).substr(0, 100)) + "\n"));
    }

    // Three rows typed in, as a spreadsheet program saves them.
    const std::string parte = "xl/worksheets/sheet1.xml";
    const std::string xml = LeParte(modelo, parte);
    std::smatch linha1;
    ASSERT_TRUE(std::regex_search(xml, linha1, std::regex("<row r=\"1\"[^>]*>(.*?)</row>"))) << xml;
    std::string dados = "<sheetData>";
    for (int linha = 1; linha <= 3; ++linha) {
        dados += "<row r=\"" + std::to_string(linha) + "\">" + CelulasDigitadas(leiaute, linha);
        if (linha == 1) dados += linha1[1].str();
        dados += "</row>";
    }
    dados += "</sheetData>";
    const std::string preenchido = Arquivo("preenchido.xlsx");
    std::filesystem::copy_file(modelo, preenchido);
    TrocaParte(preenchido, parte,
               std::regex_replace(xml, std::regex("<sheetData>.*</sheetData>"), dados));

    const std::string banco = Arquivo("vantora.fdb");
    r = Conversor({"criar-banco", banco});
    ASSERT_EQ(r.status, 0) << r.saida;
    r = Conversor({"converter", "--banco", banco, "--planilha", preenchido, "--tipo", GetParam(),
                   "--cidades", CONVERSOR_TABELA_CIDADES});
    EXPECT_EQ(r.status, 0) << r.saida;
    EXPECT_THAT(r.saida, HasSubstr(Gravadas(TabelaPrincipal(GetParam()), 3))) << r.saida;
}

// Each kind is found by its name, and its description, its layout and the name agree.
TEST_P(LeiauteDosTipos, DescricaoDoTipoEncontradaPeloNome) {
    const convert::DescricaoTipo* tipo = convert::ProcuraTipo(GetParam());
    ASSERT_NE(tipo, nullptr);
    EXPECT_EQ(&convert::Descricao(tipo->tipo), tipo);
    EXPECT_STREQ(tipo->Leiaute().tipo, GetParam());
    EXPECT_FALSE(tipo->tabelas.empty());
}

INSTANTIATE_TEST_SUITE_P(CincoTipos, LeiauteDosTipos,
                         ::testing::Values("produtos", "clientes", "fornecedores", "vendedores",
                                           "transportadoras"),
                         [](const auto& info) { return std::string(info.param); });

TEST(ColunasEModelo, ErrosDeUsoEArquivoQueNaoSeGrava) {
    teste::PastaTemporaria pasta;
    const std::string existente = pasta.Arquivo("existente.xlsx");
    std::ofstream(existente) << "preenchido";
    const std::string novo = pasta.Arquivo("novo.xlsx");
    const struct {
        std::vector<std::string> argumentos;
        int status;
        std::string mensagem;
    } casos[] = {
        {{"colunas"}, 2, "Falta a opção --tipo"},
        {{"colunas", "--tipo"}, 2, "Falta o tipo depois de --tipo."},
        {{"colunas", "--tipo", "pecas"}, 2, "Tipo desconhecido: pecas"},
        {{"colunas", "--tipo", "Produtos"}, 2, "Tipo desconhecido: Produtos"},
        {{"colunas", "--tipo", "produtos", "a.xlsx"}, 2, "Argumento inesperado: a.xlsx"},
        {{"colunas", "--aba", "1"}, 2, "Opção desconhecida: --aba."},
        {{"modelo", novo}, 2, "Falta a opção --tipo"},
        {{"modelo", "--tipo", "pecas", novo}, 2, "Tipo desconhecido: pecas"},
        {{"modelo", "--tipo", "clientes"}, 2, "Informe o arquivo do modelo."},
        {{"modelo", "--tipo", "clientes", novo, novo}, 2, "Informe um só arquivo para o modelo."},
        {{"modelo", "--tipo", "clientes", existente},
         1,
         "O arquivo '" + existente + "' já existe; escolha outro nome."},
        {{"modelo", "--tipo", "clientes", pasta.Arquivo("nao-ha/modelo.xlsx")},
         1,
         "O modelo '" + pasta.Arquivo("nao-ha/modelo.xlsx") +
             "' não pode ser gravado: a pasta não existe."},
        {{"colunas", "--help"}, 0, "Uso: conversor colunas --tipo TIPO\n"},
        {{"modelo", "--help"}, 0, "Uso: conversor modelo --tipo TIPO ARQUIVO.xlsx\n"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.argumentos[0] + " " + std::to_string(c.argumentos.size()));
        const teste::Resultado r = Conversor(c.argumentos);
        EXPECT_EQ(r.status, c.status) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr(U8(c.mensagem)));
        if (c.status == 2) {
            EXPECT_THAT(r.saida, HasSubstr("Uso: conversor " + c.argumentos[0]));
        }
    }
    // Nothing was written: the refused file keeps what it had, the new one never came.
    std::ifstream lido(existente);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(lido), {}), "preenchido");
    EXPECT_FALSE(std::filesystem::exists(novo));
}

}  // namespace
}  // namespace conversor::app
