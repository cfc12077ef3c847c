// The clients sheet: a legacy client export of 131 columns, of which the clients
// mapping reads the ones below. Row 1 already holds a client: the mapping converts
// every row, so a title row would become a client of its own and its "date" would
// stop the run. The column titles go into cell notes on row 1 instead.
#include <string>

#include "exemplo.h"

namespace conversor::exemplo {

namespace {

struct Data {
    int ano, mes, dia;
};

struct Cliente {
    int codigo;                                // 18
    const char* nome;                          // 108
    const char* fantasia;                      // 76
    const char* documento;                     // 10: CNPJ or CPF
    const char* documento2;                    // 28: read when 10 is blank
    const char* inscEstadual;                  // 65
    const char* inscMunicipal;                 // 66
    const char* rua;                           // 48
    const char* numero;                        // 79
    const char* complemento;                   // 21
    const char* bairro;                        // 6
    const char* cep;                           // 9
    const char* cidade;                        // 15
    const char* uf;                            // 51
    const char* ruaEnt;                        // 43
    const char* numeroEnt;                     // 49
    const char* bairroEnt;                     // 39
    const char* cepEnt;                        // 40
    const char* cidadeEnt;                     // 41
    const char* ufEnt;                         // 44
    const char* fone;                          // 123
    const char* fax;                           // 54
    const char* email;                         // 47
    const char* contato;                       // 25
    const char* observacao;                    // 50
    Data cadastro;                             // 30: a date cell (ano 0: none)
    const char* cadastroTexto;                 // 30: typed as text instead
    int vendedor;                              // 130
    double limite;                             // 33: not converted
};

const Cliente kClientes[] = {
    {1, "Supermercado Bom Preço Ltda", "Bom Preço", "52.601.815/0001-20", "",
     "062.123.456/0078", "123456-7", "Avenida Afonso Pena", "1500", "Loja 2", "Centro",
     "30130-005", "Belo Horizonte", "MG", "", "", "", "", "", "", "(31) 3274-5500",
     "(31) 3274-5501", "compras@bompreco.com.br", "Márcia Gonçalves",
     "Entrega somente pela manhã", {2015, 3, 12}, nullptr, 1, 25000},
    {2, "Padaria e Confeitaria São José Ltda", "Padaria São José", "90.830.166/0001-28", "",
     "ISENTO", "", "Rua Espírito Santo", "871", "", "Centro", "30160-031", "BHTE", "MG", "",
     "", "", "", "", "", "3222-4455", ".", "padariasaojose@gmail.com", "José Ribeiro", "",
     {2018, 7, 2}, nullptr, 2, 8000},
    {3, "Maria Aparecida de Souza", "", "291.703.423-85", "", "", "",
     "Rua Conceição do Mato Dentro", "45", "Apto 302", "Ouro Preto", "31310-240",
     "Belo Horizonte", "MG", "", "", "", "", "", "", "31 99876-5432", "",
     "maria.souza@hotmail.com", "", "Cliente pessoa física", {0, 0, 0}, "05/11/2019", 1, 1500},
    {4, "Drogaria Araújo Filial Contagem", "Drogaria Araújo", "13.186.091/0001-43", "",
     "186.555.777/0012", "", "Avenida João César de Oliveira", "2200", "", "Eldorado",
     "32315-000", "Contagem", "MG", "Rua Padre Eustáquio", "150", "Padre Eustáquio",
     "30720-100", "Belo Horizonte", "MG", "(031) 3351-7000", "(31)3351-7001",
     "filial.contagem@araujo.com.br", "Renata Lopes", "Receber no depósito dos fundos",
     {2012, 1, 20}, nullptr, 3, 40000},
    {5, "Comercial Paulista de Alimentos Ltda", "Paulista Alimentos", "39.099.603/0001-28", "",
     "110.042.490.114", "3.456.789-0", "Avenida Paulista", "1578", "Conjunto 1201",
     "Bela Vista", "01310-200", "São Paulo", "SP", "", "", "", "", "", "", "(11) 3061-2200",
     "11 3061-2201", "financeiro@paulistaalimentos.com.br", "Ricardo Tanaka",
     "Pagamento por boleto em 28 dias", {2016, 9, 14}, nullptr, 2, 60000},
    {6, "Restaurante Sabor Caseiro Ltda ME", "Sabor Caseiro", "08.246.281/0001-79", "",
     "244.118.339.111", "", "Rua Barão de Jaguara", "980", "", "Centro", "13015-001",
     "Campinas", "SP", "", "", "", "", "", "", "3232-1818", "", "contato@saborcaseiro.com.br",
     "Dona Célia", "", {2020, 2, 3}, nullptr, 2, 5000},
    {7, "João Pedro Albuquerque", "", "", "667.127.684-62", "", "", "Rua XV de Novembro",
     "700", "Sala 5", "Centro", "80020-310", "Curitiba", "PR", "", "", "", "", "", "",
     "(41) 99123-4567", "", "joao.albuquerque@uol.com.br", "", "Cadastro sem data no sistema antigo",
     {0, 0, 0}, nullptr, 3, 0},
    {8, "Mercearia Irmãos Fagundes Ltda", "Mercearia Fagundes", "94.821.993/0001-06", "",
     "ISENTO", "", "Avenida Ipiranga", "6681", "Prédio 32", "Partenon", "90619-900",
     "Porto Alegre", "RS", "", "", "", "", "", "", "51 3336-9000", "",
     "fagundes@terra.com.br", "Lauro Fagundes", "", {2011, 6, 30}, nullptr, 1, 12000},
    {9, "Hotel Praia Azul Ltda", "Hotel Praia Azul", "51.819.093/0001-11", "", "12.345.678",
     "", "Avenida Oceânica", "2400", "", "Ondina", "40170-010", "Salvador", "BA", "", "", "",
     "", "", "", "(71) 3203-4000", "(71) 3203-4001", "reservas@hotelpraiaazul.com.br",
     "Antônio Carlos", "Hóspedes corporativos, faturamento mensal", {2014, 10, 10}, nullptr, 2,
     30000},
    {10, "Distribuidora Nordeste de Bebidas S/A", "Nordeste Bebidas", "78.657.975/0001-84", "",
     "0321456-78", "", "Avenida Conde da Boa Vista", "1200", "", "Boa Vista", "50060-002",
     "Recife", "PE", "Rodovia BR-101 Sul", "km 82", "Prazeres", "54335-000",
     "Jaboatão dos Guararapes", "PE", "(81) 3423-5000", ".", "compras@nordestebebidas.com.br",
     "Severino Araújo", "Descarga com agendamento", {2013, 4, 22}, nullptr, 3, 90000},
    {11, "Ana Beatriz Gonçalves", "", "268.465.632-02", "", "ISENTO", "", "Rua Halfeld", "414",
     "Apto 801", "Centro", "36010-002", "Juiz de Fora", "MG", "", "", "", "", "", "",
     "(32) 98811-2233", "", "anabeatriz.g@gmail.com", "", "", {2021, 8, 15}, nullptr, 1, 2000},
    {12, "Papelaria Universitária Ltda EPP", "Papelaria Universitária", "43.231.948/0001-60", "",
     "702.345.678/0099", "", "Avenida João Naves de Ávila", "2121", "Bloco A", "Santa Mônica",
     "38408-100", "Uberlândia", "MG", "", "", "", "", "", "", "034 3230-9400", "034 3230-9401",
     "papelaria@universitaria.com.br", "Cláudio Rezende", "", {2017, 5, 5}, nullptr, 1, 7000},
    {13, "Auto Peças D'Ávila Ltda", "Auto Peças D'Ávila", "75.749.118/0001-16", "", "ISENTO",
     "", "Rua Lafaiete", "1900", "", "Centro", "14015-080", "Ribeirão Preto", "SP", "", "", "",
     "", "", "", "16 3610-2020", "", "vendas@autopecasdavila.com.br", "Sérgio D'Ávila",
     "Cliente desde a abertura da loja", {2019, 12, 1}, nullptr, 2, 15000},
    {14, "Floricultura Jardim Encantado Ltda", "Jardim Encantado", "62.527.601/0001-04", "",
     "255.123.456", "", "Rua Felipe Schmidt", "515", "Loja 3", "Centro", "88010-001",
     "Florianópolis", "SC", "", "", "", "", "", "", "(48) 3224-1010", "",
     "flores@jardimencantado.com.br", "Helena Schmitz", "", {2022, 3, 18}, nullptr, 3, 3000},
    {15, "Clínica Veterinária Bicho Feliz Ltda", "Bicho Feliz", "89.555.979/0001-78", "", "",
     "2045678", "Avenida T-63", "1296", "Qd. 145 Lt. 1", "Setor Bueno", "74230-100", "Goiânia",
     "GO", "", "", "", "", "", "", "62 3251-7788", "", "atendimento@bichofeliz.vet.br",
     "Dra. Patrícia Melo", "", {2018, 11, 11}, nullptr, 1, 4000},
    {16, "Francisco das Chagas Lima", "", "122.330.792-13", "", "", "",
     "Rua Barão do Rio Branco", "1350", "Casa 2", "Centro", "60025-061", "Fortaleza", "CE", "",
     "", "", "", "", "", "(85) 98765-0101", "", "", "", "", {0, 0, 0}, "2016-02-29", 2, 1000},
    {17, "Construtora Horizonte Ltda", "Horizonte Construções", "71.147.104/0001-71", "",
     "001.234.567.0089", "0.456.789-1", "Avenida Rio Branco", "156", "Sala 2010", "Centro",
     "20040-901", "Rio de Janeiro", "RJ", "Estrada dos Bandeirantes", "8000", "Jacarepaguá",
     "22783-115", "Rio de Janeiro", "RJ", "(21) 2533-4000", "(21) 2533-4001",
     "suprimentos@horizonte.eng.br", "Eduardo Bastos", "Entrega na obra de Jacarepaguá",
     {2010, 1, 4}, nullptr, 3, 120000},
    {18, "Lanchonete Ponto Certo Ltda ME", "Ponto Certo", "97.465.075/0001-80", "", "ISENTO",
     "", "Rua da Bahia", "1148", "", "Lourdes", "30160-011", "Belo Horizonte", "MG", "", "",
     "", "", "", "", "3337-2525", "", "", "Wellington", "", {2023, 6, 1}, nullptr, 1, 2500},
    {19, "Luíza Helena Martins", "", "440.268.599-08", "", "", "", "Rua São Paulo", "2200",
     "Apto 1104", "Lourdes", "30170-132", "Belo Horizonte", "MG", "", "", "", "", "", "", ".",
     "", "luiza.martins@yahoo.com.br", "", "", {2024, 1, 9}, nullptr, 1, 0},
    {20, "Açougue e Frigorífico Boi Gordo Ltda", "Boi Gordo", "66.392.332/0001-77", "",
     "ISENTO", "", "Avenida Amazonas", "3050", "", "Centro", "32600-000", "Betim", "MG",
     "Rua do Rosário", "45", "Angola", "32604-115", "Betim", "MG", "(31) 3531-0000", "",
     "boigordo@boigordo.com.br", "Geraldo Magela", "", {2012, 12, 12}, nullptr, 2, 18000},
};

// What each converted column holds, as a note on its row-1 cell.
const struct {
    int coluna;
    const char* titulo;
} kTitulos[] = {
    {6, "Bairro"},           {9, "CEP"},
    {10, "CNPJ / CPF"},      {15, "Cidade"},
    {18, "Código do cliente"}, {21, "Complemento"},
    {25, "Contato"},         {28, "CNPJ / CPF (quando a coluna J está vazia)"},
    {30, "Data de cadastro"}, {39, "Bairro de entrega"},
    {40, "CEP de entrega"},  {41, "Cidade de entrega"},
    {43, "Endereço de entrega"}, {44, "UF de entrega"},
    {47, "E-mail"},          {48, "Endereço"},
    {49, "Número (entrega)"}, {50, "Observação"},
    {51, "UF"},              {54, "Fax"},
    {65, "Inscrição estadual"}, {66, "Inscrição municipal"},
    {76, "Nome fantasia"},   {79, "Número"},
    {108, "Razão social / nome"}, {123, "Telefone"},
    {130, "Código do vendedor"},
};

}  // namespace

void EscreveClientes(lxw_workbook* pasta) {
    lxw_worksheet* aba = workbook_add_worksheet(pasta, "Clientes");
    lxw_format* formatoData = workbook_add_format(pasta);
    format_set_num_format(formatoData, "dd/mm/yyyy");

    lxw_row_t linha = 0;
    for (const Cliente& c : kClientes) {
        // Columns the conversion ignores, as a legacy export carries them.
        Numero(aba, linha, 1, 1000 + c.codigo);
        Texto(aba, linha, 2, "A");
        Numero(aba, linha, 33, c.limite);

        Numero(aba, linha, 18, c.codigo);
        Texto(aba, linha, 108, c.nome);
        Texto(aba, linha, 76, c.fantasia);
        Texto(aba, linha, 10, c.documento);
        Texto(aba, linha, 28, c.documento2);
        Texto(aba, linha, 65, c.inscEstadual);
        Texto(aba, linha, 66, c.inscMunicipal);
        Texto(aba, linha, 48, c.rua);
        Texto(aba, linha, 79, c.numero);
        Texto(aba, linha, 21, c.complemento);
        Texto(aba, linha, 6, c.bairro);
        Texto(aba, linha, 9, c.cep);
        Texto(aba, linha, 15, c.cidade);
        Texto(aba, linha, 51, c.uf);
        Texto(aba, linha, 43, c.ruaEnt);
        Texto(aba, linha, 49, c.numeroEnt);
        Texto(aba, linha, 39, c.bairroEnt);
        Texto(aba, linha, 40, c.cepEnt);
        Texto(aba, linha, 41, c.cidadeEnt);
        Texto(aba, linha, 44, c.ufEnt);
        Texto(aba, linha, 123, c.fone);
        Texto(aba, linha, 54, c.fax);
        Texto(aba, linha, 47, c.email);
        Texto(aba, linha, 25, c.contato);
        Texto(aba, linha, 50, c.observacao);
        if (c.cadastro.ano != 0) {
            lxw_datetime dia = {c.cadastro.ano, c.cadastro.mes, c.cadastro.dia, 0, 0, 0};
            worksheet_write_datetime(aba, linha, 30 - 1, &dia, formatoData);
        }
        Texto(aba, linha, 30, c.cadastroTexto);
        Numero(aba, linha, 130, c.vendedor);
        Texto(aba, linha, 131, c.codigo % 2 ? "Varejo" : "Atacado");
        ++linha;
    }
    for (const auto& t : kTitulos) worksheet_write_comment(aba, 0, t.coluna - 1, t.titulo);
}

}  // namespace conversor::exemplo
