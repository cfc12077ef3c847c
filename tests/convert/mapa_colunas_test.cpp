// The column map on its own: headings matched to the layout's columns, maps read in
// any of the encodings a person's editor saves, and maps refused with the line to
// mend.
#include "convert/mapa_colunas.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace conversor::convert {
namespace {

using ::testing::HasSubstr;

const LeiauteTipo& Leiaute(const char* tipo) { return *LeiauteDoTipo(tipo); }

// Headings as the sheet's row gives them, column A first.
TitulosPlanilha Titulos(long long linha, std::vector<std::string> textos) {
    return {linha, std::move(textos)};
}

TEST(MapaDeColunas, CadaColunaDoLeiauteTemUmNomeSoDelaEOsTitulosUsuaisNaoSeCruzam) {
    for (const LeiauteTipo& l : Leiautes()) {
        SCOPED_TRACE(l.tipo);
        std::set<std::string> nomes;
        for (const ColunaLida& c : l.colunas) {
            EXPECT_FALSE(c.nome.empty()) << c.coluna;
            EXPECT_TRUE(nomes.insert(ChaveDeTitulo(c.nome)).second) << c.nome;
            // The name reaches the column back, in any case.
            EXPECT_EQ(ColunaDoLeiaute(l, c.nome), &c);
            EXPECT_EQ(ColunaDoTitulo(l, c.nome), &c);
        }
    }
}

TEST(MapaDeColunas, TituloEncontraSuaColuna) {
    struct Caso {
        const char* tipo;
        std::string titulo;
        int coluna;  // 0: none
    };
    const Caso casos[] = {
        {"produtos", "Descrição", 66},
        {"produtos", "DESCRICAO", 66},
        {"produtos", "  descrição  ", 66},
        {"produtos", "Nome do produto", 66},
        {"produtos", "PRODUTO.DESCRICAO", 66},
        {"produtos", "Preço de venda", 102},
        {"produtos", "PREÇO-DE-VENDA", 102},
        {"produtos", "% IPI", 86},
        {"produtos", "Fabricante", 55},
        {"produtos", "Un.", 130},
        {"produtos", "Código", 0},  // the product code is the row's ordinal
        {"produtos", "Observação interna", 0},
        {"produtos", "", 0},
        {"produtos", "---", 0},
        {"clientes", "CNPJ", 10},
        {"clientes", "CPF/CNPJ", 10},
        {"clientes", "CGC", 10},
        // Its own column, read where the CNPJ is blank.
        {"clientes", "CPF", 28},
        {"clientes", "Razão Social", 108},
        {"clientes", "Nº", 79},
        {"clientes", "N\xBA", 79},
        {"clientes", "Inscrição Estadual", 65},
        {"clientes", "UF", 51},
        {"clientes", "UF de entrega", 44},
        {"clientes", "e-mail", 47},
        {"fornecedores", "Complemento", 12},
        {"fornecedores", "CPF", 18},
        {"vendedores", "CPF", 20},
        {"vendedores", "Comissão (%)", 12},
        {"transportadoras", "Número", 13},
        {"transportadoras", "Município", 6},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.tipo) + " '" + c.titulo + "'");
        const ColunaLida* achada = ColunaDoTitulo(Leiaute(c.tipo), c.titulo);
        EXPECT_EQ(achada ? achada->coluna : 0, c.coluna);
    }
}

TEST(MapaDeColunas, PropostaLigaCadaCampoAoPrimeiroTituloEComentaOsOutros) {
    const TitulosPlanilha titulos = Titulos(
        3, {"Código", "Descrição", "Un", "Preço de venda", "", "Obs.", "Preço", "Nome do produto"});
    const PropostaMapa p = PropoeMapa(Leiaute("produtos"), titulos);
    std::map<int, int> ligadas;
    for (const PropostaMapa::Ligada& l : p.ligadas) ligadas[l.coluna] = l.colunaPlanilha;
    // The unit's presence (132) goes with the unit.
    EXPECT_EQ(ligadas, (std::map<int, int>{{66, 2}, {102, 4}, {130, 3}, {132, 3}}));
    ASSERT_EQ(p.semLugar.size(), 4u);
    EXPECT_EQ(p.semLugar[0].colunaPlanilha, 1);
    EXPECT_EQ(p.semLugar[0].tomadaPor, 0);
    EXPECT_EQ(p.semLugar[1].titulo, "Obs.");
    EXPECT_EQ(p.semLugar[2].colunaPlanilha, 7);
    EXPECT_EQ(p.semLugar[2].tomadaPor, 4);
    EXPECT_EQ(p.semLugar[2].coluna, 102);
    EXPECT_EQ(p.semLugar[3].tomadaPor, 2);

    const std::string texto = TextoDoMapa(p, Leiaute("produtos"), titulos, "loja.xlsx", 1);
    EXPECT_THAT(texto, HasSubstr("--primeira-linha 4"));
    EXPECT_THAT(texto, HasSubstr("\nDESCRICAO;Descrição\n"));
    EXPECT_THAT(texto, HasSubstr("#   coluna A 'Código'\n"));
    EXPECT_THAT(texto, HasSubstr("#   coluna G 'Preço': também parece ser PRECO, já ligada à "
                                 "coluna D\n"));
    EXPECT_THAT(texto, HasSubstr("#   64 PERC_IVA (PRODUTO.PERC_IVA)\n"));
    // What it proposes reads back as the same map.
    const MapaResolvido r = ResolveMapa(LeMapa(texto, Leiaute("produtos"), "mapa.csv"),
                                        Leiaute("produtos"), titulos, 8);
    EXPECT_EQ(r.origem[66 - 1], 2);
    EXPECT_EQ(r.origem[102 - 1], 4);
    EXPECT_EQ(r.origem[132 - 1], 3);
    EXPECT_EQ(r.origem[64 - 1], 0);
}

TEST(MapaDeColunas, TituloRepetidoOuComQuebraVaiParaOMapaDeFormaQueSeRelePelaMesmaColuna) {
    const TitulosPlanilha titulos =
        Titulos(1, {"Preço\nde venda", "Nome;apelido", "Descrição", "descricao"});
    const LeiauteTipo& l = Leiaute("produtos");
    const std::string texto = TextoDoMapa(PropoeMapa(l, titulos), l, titulos, "x.csv", 1);
    EXPECT_THAT(texto, HasSubstr("\nPRECO;Preço de venda\n"));
    // Two headings alike: the letter says which.
    EXPECT_THAT(texto, HasSubstr("\nDESCRICAO;C\n"));
    const MapaResolvido r = ResolveMapa(LeMapa(texto, l, "m.csv"), l, titulos, 4);
    EXPECT_EQ(r.origem[102 - 1], 1);
    EXPECT_EQ(r.origem[66 - 1], 3);
}

TEST(MapaDeColunas, MapaEmUtf8ComOuSemBomOuEmWindows1252) {
    const LeiauteTipo& l = Leiaute("produtos");
    const TitulosPlanilha titulos = Titulos(2, {"Código", "Descrição", "Preço de venda"});
    struct Caso {
        const char* nome;
        std::string conteudo;  // bytes as the file holds them
    };
    const Caso casos[] = {
        {"UTF-8", "DESCRICAO;Descri\xC3\xA7\xC3\xA3o\n102;Pre\xC3\xA7o de venda\n"},
        {"UTF-8 com BOM",
         "\xEF\xBB\xBF"
         "DESCRICAO;Descri\xC3\xA7\xC3\xA3o\r\n102;Pre\xC3\xA7o de venda\r\n"},
        {"Windows-1252", "DESCRICAO;Descri\xE7\xE3o\r\n102;Pre\xE7o de venda"},
        {"aspas e comentários",
         "# mapa\n\n\"descricao\";\"Descri\xE7\xE3o\"\n;;\n PRECO ; \"Pre\xE7o de venda\" ;\n"},
        // "Unicode text" of a spreadsheet, and the lone carriage returns of old editors.
        {"UTF-16 com BOM",
         std::string("\xFF\xFE"
                     "D\0E\0S\0C\0R\0I\0C\0A\0O\0;\0D\0e\0s\0c\0r\0i\0\xE7\0\xE3\0o\0\r\0\n\0"
                     "1\0\x30\0\x32\0;\0P\0r\0e\0\xE7\0o\0 \0d\0e\0 \0v\0e\0n\0d\0a\0",
                     80)},
        {"linhas terminadas só por CR", "DESCRICAO;Descri\xE7\xE3o\r102;Pre\xE7o de venda\r"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const MapaColunas mapa = LeMapa(c.conteudo, l, "mapa.csv");
        ASSERT_EQ(mapa.ligacoes.size(), 2u);
        const MapaResolvido r = ResolveMapa(mapa, l, titulos, 3);
        EXPECT_EQ(r.origem[66 - 1], 2);
        EXPECT_EQ(r.origem[102 - 1], 3);
        EXPECT_EQ(r.Descreve(l, 66), "coluna 66 DESCRICAO, da coluna B 'Descrição' da planilha");
        EXPECT_EQ(r.Descreve(l, 64), "coluna 64 PERC_IVA, que o mapa deixa vazia");
    }
}

TEST(MapaDeColunas, MapaRecusadoNomeiaALinha) {
    const TitulosPlanilha titulos = Titulos(3, {"Código", "Descrição", "Preço", "preco"});
    struct Caso {
        const char* nome;
        std::string conteudo;
        std::string mensagem;
    };
    const Caso casos[] = {
        {"coluna da planilha que não existe", "DESCRICAO;Descrição\nPRECO;Preço de custo\n",
         "Mapa de colunas 'mapa.csv', linha 2: a planilha não tem a coluna 'Preço de custo': "
         "nenhum título da linha 3 tem esse texto."},
        {"letra além da última coluna", "# x\nDESCRICAO;Z\n",
         "Mapa de colunas 'mapa.csv', linha 2: a planilha não tem a coluna 'Z': nenhum título da "
         "linha 3 tem esse texto, e a planilha vai só até a coluna D (4)."},
        {"título em duas colunas", "DESCRICAO;B\nPRECO;Preço\n",
         "Mapa de colunas 'mapa.csv', linha 2: o título 'Preço' está nas colunas C e D da linha 3 "
         "da planilha; use a letra da coluna."},
        {"coluna do leiaute duas vezes", "DESCRICAO;B\nPRECO;C\n66;D\n",
         "Mapa de colunas 'mapa.csv', linha 3: a coluna 66 DESCRICAO do leiaute já foi ligada na "
         "linha 1."},
        {"coluna que o tipo não lê", "7;B\n",
         "Mapa de colunas 'mapa.csv', linha 1: a coluna 7 não é lida na conversão de produtos "
         "(veja conversor colunas --tipo produtos)."},
        {"nome que não é do leiaute", "DESCRICAO;B\nPRECO_VENDA;C\n",
         "Mapa de colunas 'mapa.csv', linha 2: 'PRECO_VENDA' não é coluna do leiaute de produtos "
         "(veja conversor colunas --tipo produtos)."},
        {"linha sem ponto e vírgula", "DESCRICAO B\n",
         "Mapa de colunas 'mapa.csv', linha 1: falta o ';' entre a coluna do leiaute e a coluna "
         "da planilha."},
        {"linha com três colunas", "DESCRICAO;B;C\n",
         "Mapa de colunas 'mapa.csv', linha 1: a linha tem mais de duas colunas"},
        {"coluna da planilha vazia", "DESCRICAO;\n",
         "Mapa de colunas 'mapa.csv', linha 1: falta a coluna da planilha depois do ';'."},
        {"mapa sem linhas", "# só comentários\n\n",
         "O mapa de colunas 'mapa.csv' não liga nenhuma coluna"},
        // A file that is no map is named, not echoed.
        {"linha enorme", std::string(900000, 'x') + ";B\n",
         "linha 1: '" + std::string(60, 'x') + "...' não é coluna do leiaute de produtos"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        try {
            ResolveMapa(LeMapa(c.conteudo, Leiaute("produtos"), "mapa.csv"), Leiaute("produtos"),
                        titulos, 4);
            ADD_FAILURE() << "aceito";
        } catch (const ErroMapa& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.mensagem));
            EXPECT_LT(std::string(e.what()).size(), 300u);
        }
    }
    // Without headings above the first row, a heading cannot be found.
    try {
        ResolveMapa(LeMapa("DESCRICAO;Descrição\n", Leiaute("produtos"), "mapa.csv"),
                    Leiaute("produtos"), {}, 4);
        ADD_FAILURE() << "aceito";
    } catch (const ErroMapa& e) {
        EXPECT_THAT(e.what(), HasSubstr("não há linha de títulos acima da primeira linha "
                                        "convertida (veja --primeira-linha)"));
    }
}

}  // namespace
}  // namespace conversor::convert
