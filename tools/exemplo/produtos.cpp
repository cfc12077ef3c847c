// The products sheet of the sample workbook: a small store's catalogue (groceries,
// drinks, hardware and building material) as its old system exported it, one
// product per row from row 1 (the export has no title row) and 132 columns wide.
#include "exemplo.h"

namespace conversor::exemplo {

namespace {

struct Produto {
    const char* codigoAntigo;  // column 1: the code in the old system
    const char* setor;         // 3: free field 1
    bool ativo;                // 5
    const char* ncm;           // 15
    const char* localizacao;   // 20: free field 2
    int cstCofins;             // 27 (typed as a number, so 1 stands for 01)
    int cstPis;                // 30
    const char* generoItem;    // 44
    const char* fabricante;    // 55
    double margem;             // 64: profit margin, %
    const char* descricao;     // 66
    double aliqCofins;         // 81
    const char* grupo;         // 85: free field 3
    double aliqIpi;            // 86
    double aliqPis;            // 88
    double peso;               // 91, kg
    double custo;              // 96
    double preco;              // 102
    const char* referencia;    // 103
    double estoque;            // 111
    const char* ean;           // 126: free field 4
    int cstIcms;               // 129
    const char* unidade;       // 130
    bool usaUnidade;           // 132: whether column 130 holds the unit
};

const Produto kProdutos[] = {
    {"1001", "Mercearia", true, "10063021", "Corredor 1", 1, 1, "10", "CAMIL", 30.5,
     "Arroz Branco Tipo 1 Camil 5kg", 7.6, "Alimentos básicos", 0, 1.65, 5, 21.35, 27.9,
     "CML-5KG", 48, "7896006711117", 0, "FD", true},
    {"1002", "Mercearia", true, "07133319", "Corredor 1", 1, 1, "07", "KICALDO", 39.2,
     "Feijão Carioca Kicaldo 1kg", 7.6, "Alimentos básicos", 0, 1.65, 1, 6.1, 8.49,
     "KIC-CAR1", 120, "7896024721112", 0, "pc", true},
    {"1003", "Mercearia", true, "15079011", "Corredor 2", 1, 1, "15", "LIZA", 37.8,
     "Óleo de Soja Liza 900ml", 7.6, "Óleos e azeites", 0, 1.65, 0.9, 5.8, 7.99,
     "LIZ-900", 200, "7896036090244", 20, "UN", true},
    {"1004", "Mercearia", true, "09012100", "Corredor 2", 1, 1, "09", "PILAO", 37.96,
     "Café Torrado e Moído Pilão 500g", 7.6, "Cafés e chás", 0, 1.65, 0.5, 13.7, 18.9,
     "PIL-500", 80, "7896089011982", 0, "UN", true},
    {"1005", "Mercearia", true, "17019900", "Corredor 3", 1, 1, "17", "UNIAO", 33.14,
     "Açúcar Cristal União 5kg", 7.6, "Alimentos básicos", 0, 1.65, 5, 16.9, 22.5,
     "UNI-CR5", 60, "7891910000197", 20, "FD", true},
    {"2001", "Bebidas", true, "22030000", "Câmara fria", 4, 4, "22", "AMBEV", 54.69,
     "Cerveja Skol Pilsen Lata 350ml", 0, "Cervejas", 0, 0, 0.37, 2.45, 3.79,
     "SKL-350", 600, "7891149103102", 60, "UN", true},
    {"2002", "Bebidas", true, "22021000", "Câmara fria", 4, 4, "22", "COCA-COLA", 52.64,
     "Refrigerante Coca-Cola Garrafa 2L", 0, "Refrigerantes", 0, 0, 2.1, 7.2, 10.99,
     "CC-2L", 240, "7894900027013", 60, "UN", true},
    {"2003", "Bebidas", true, "22011000", "Depósito", 4, 4, "22", "CRYSTAL", 80,
     "Água Mineral Crystal sem Gás 500ml", 0, "Águas", 0, 0, 0.52, 1.1, 1.98,
     "CRY-500", 480, "7894900530018", 60, "cx", true},
    {"3001", "Ferragens", true, "82052000", "Gôndola 7", 1, 1, "82", "TRAMONTINA", 54.03,
     "Martelo de Unha 27mm Cabo de Madeira Tramontina", 7.6, "Ferramentas manuais", 5, 1.65,
     0.6, 29.8, 45.9, "40400/027", 15, "7891112042605", 0, "PC", true},
    {"3002", "Ferragens", true, "82054000", "Gôndola 7", 1, 1, "82", "TRAMONTINA", 60.2,
     "Chave de Fenda 1/4\" x 6\" Tramontina Pro", 7.6, "Ferramentas manuais", 5, 1.65, 0.12,
     9.9, 15.86, "44010/106", 36, "7891112053700", 0, "PC", true},
    {"3003", "Ferragens", true, "73181500", "Gaveteiro 2", 1, 1, "73", "CISER", 45,
     "Parafuso Sextavado 3/8 x 2 Zincado (cento)", 7.6, "Fixadores", 0, 1.65, 2.3, 38, 55.1,
     "CIS-3802", 10, "", 0, "CT", true},
    {"4001", "Construção", true, "25232910", "Pátio", 1, 1, "25", "VOTORANTIM", 25.48,
     "Cimento CP II-E-32 Votoran 50kg", 7.6, "Cimento e argamassa", 0, 1.65, 50, 31, 38.9,
     "VOT-CP2", 100, "7896515900017", 60, "SC", true},
    {"4002", "Construção", true, "39172300", "Pátio coberto", 1, 1, "39", "TIGRE", 43.1,
     "Tubo PVC Soldável Marrom 25mm Barra 6m Tigre", 7.6, "Hidráulica", 0, 1.65, 1.1, 17.4,
     24.9, "TIG-25S", 40, "7891960002554", 0, "BR", true},
    {"4003", "Construção", true, "32091010", "Depósito", 1, 1, "32", "SUVINIL", 34.91,
     "Tinta Acrílica Fosca Suvinil Branco 18L", 7.6, "Tintas", 0, 1.65, 24, 289, 389.9,
     "SUV-AF18", 12, "7896029010396", 60, "GL", true},
    {"5001", "Elétrica", true, "85395000", "Gôndola 9", 1, 1, "85", "PHILIPS", 65.38,
     "Lâmpada LED Bulbo 9W Bivolt Luz Branca Philips", 7.6, "Iluminação", 0, 1.65, 0.05, 7.8,
     12.9, "PHL-9W65", 150, "7899870608425", 60, "UN", true},
    {"5002", "Elétrica", true, "85444900", "Gôndola 9", 1, 1, "85", "SIL", 28.57,
     "Cabo Flexível 2,5mm² Azul Rolo 100m", 7.6, "Fios e cabos", 0, 1.65, 3.1, 175, 225,
     "SIL-25AZ", 8, "7898325050117", 0, "RL", true},
    {"6001", "Limpeza", true, "34022000", "Corredor 4", 1, 1, "34", "UNILEVER", 41.38,
     "Sabão em Pó Omo Lavagem Perfeita 1,6kg", 7.6, "Lavanderia", 0, 1.65, 1.6, 14.5, 20.5,
     "OMO-16", 70, "7891150064270", 0, "UN", true},
    {"6002", "Limpeza", true, "48181000", "Corredor 4", 1, 1, "48", "NEVE", 30.77,
     "Papel Higiênico Neve Folha Dupla 12 rolos", 7.6, "Higiene", 0, 1.65, 1.4, 16.9, 22.1,
     "NEV-12FD", 55, "7891172422109", 0, "FD", true},
    // Old items kept in the export: inactive, without fiscal data or unit.
    {"9001", "Diversos", false, "", "", 0, 0, "", "", 0,
     "Sacola Plástica Personalizada (fora de linha)", 0, "", 0, 0, 0, 0, 0.15,
     "", 0, "", 0, "", false},
    {"9002", "Diversos", false, "96170010", "Depósito", 1, 1, "96", "TERMOLAR", 22.5,
     "Garrafa Térmica Termolar 1L (descontinuada)", 7.6, "Utilidades", 0, 1.65, 0.7, 32,
     39.2, "TML-1L", 3, "7896009400103", 0, "un", false},
};

}  // namespace

void EscreveProdutos(lxw_workbook* pasta) {
    lxw_worksheet* aba = workbook_add_worksheet(pasta, "Produtos");
    lxw_row_t linha = 0;
    for (const Produto& p : kProdutos) {
        Texto(aba, linha, 1, p.codigoAntigo);
        Texto(aba, linha, 3, p.setor);
        worksheet_write_boolean(aba, linha, 4, p.ativo, nullptr);  // column 5
        Texto(aba, linha, 15, p.ncm);
        Texto(aba, linha, 20, p.localizacao);
        if (p.cstCofins) Numero(aba, linha, 27, p.cstCofins);
        if (p.cstPis) Numero(aba, linha, 30, p.cstPis);
        Texto(aba, linha, 44, p.generoItem);
        Texto(aba, linha, 55, p.fabricante);
        Numero(aba, linha, 64, p.margem);
        Texto(aba, linha, 66, p.descricao);
        Numero(aba, linha, 81, p.aliqCofins);
        Texto(aba, linha, 85, p.grupo);
        Numero(aba, linha, 86, p.aliqIpi);
        Numero(aba, linha, 88, p.aliqPis);
        Numero(aba, linha, 91, p.peso);
        Numero(aba, linha, 96, p.custo);
        Numero(aba, linha, 102, p.preco);
        Texto(aba, linha, 103, p.referencia);
        Numero(aba, linha, 111, p.estoque);
        Texto(aba, linha, 126, p.ean);
        Numero(aba, linha, 129, p.cstIcms);
        Texto(aba, linha, 130, p.unidade);
        Texto(aba, linha, 132, p.usaUnidade ? "S" : "");
        ++linha;
    }
}

}  // namespace conversor::exemplo
