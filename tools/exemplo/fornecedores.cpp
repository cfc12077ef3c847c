#include "exemplo.h"

namespace conversor::exemplo {

namespace {

struct Fornecedor {
    int codigo;
    const char* razaoSocial;
    const char* nomeFantasia;
    const char* cnpj;
    const char* cpf;  // suppliers that are people have no CNPJ
    const char* inscricaoEstadual;
    const char* rua;
    const char* numero;
    const char* complemento;
    const char* bairro;
    const char* cep;
    const char* cidade;
    const char* estado;
    const char* contato;
    const char* email;
    const char* fone;
    const char* fax;
};

const Fornecedor kFornecedores[] = {
    {1, "Aços D'Ávila Indústria e Comércio Ltda", "Aços D'Ávila", "26.120.324/0001-57", "",
     "062.554.120/0031", "Av. João César de Oliveira", "1500", "Galpão 4", "Eldorado", "32.315-000",
     "Contagem", "MG", "Marta Ribeiro", "compras@acosdavila.com.br", "3356-2100", "3356-2101"},
    {2, "Distribuidora Mineira de Alimentos Ltda", "DMA Alimentos", "10.652.963/0001-23", "",
     "062.118.335/0090", "Rua Itapecerica", "685", "", "Lagoinha", "31.210-000", "Belo Horizonte",
     "MG", "Carlos Henrique", "vendas@dmaalimentos.com.br", "(31) 3429-8800", "."},
    {3, "Papelaria e Embalagens Paulista S/A", "Embalagens Paulista", "26.976.619/0001-20", "",
     "111.222.333.444", "Rua Voluntários da Pátria", "2110", "3º andar", "Santana", "02.011-200",
     "São Paulo", "SP", "Fernanda Lopes", "contato@embpaulista.com.br", "(11) 2221-4040",
     "(11) 2221-4041"},
    {4, "Laticínios Serra da Mantiqueira Ltda", "Laticínios Mantiqueira", "14.101.188/0001-79", "",
     "001.234.567/0089", "Rodovia BR-459, km 98", "s/n", "", "Zona Rural", "37.550-000",
     "Pouso Alegre", "MG", "José Antônio", "pedidos@latmantiqueira.com.br", "3421-7788", ""},
    {5, "Ferragens Triângulo Comércio Ltda", "Ferragens Triângulo", "52.872.913/0001-00", "",
     "702.441.906/0055", "Av. João Naves de Ávila", "3012", "Loja 2", "Santa Mônica", "38.408-100",
     "Uberlândia", "MG", "Rogério Alves", "rogerio@ferragenstriangulo.com.br", "(34) 3214-5566",
     "(34) 3214-5567"},
    {6, "Têxtil Catarinense Malhas Ltda", "Malhas Catarinense", "02.569.145/0001-33", "",
     "254.789.123", "Rodovia SC-401, km 4", "3730", "", "Saco Grande", "88.032-005",
     "Florianópolis", "SC", "Ingrid Schmitt", "comercial@malhascatarinense.com.br",
     "(48) 3333-9012", ""},
    {7, "Café Sul de Minas Torrefação Ltda", "Café Sul de Minas", "55.073.090/0001-32", "",
     "707.123.456/0012", "Rua Delfim Moreira", "340", "", "Centro", "37.002-070", "Varginha", "MG",
     "Luciana Prado", "luciana@cafesuldeminas.com.br", "3222-1415", "3222-1416"},
    {8, "Ricardo Mendes Hortifrutigranjeiros", "Hortifruti do Ricardo", "", "413.756.943-67",
     "ISENTO", "Av. Silviano Brandão", "1111", "Box 12 - Ceasa", "Floresta", "31.015-000",
     "Belo Horizonte", "MG", "Ricardo Mendes", "ricardohortifruti@gmail.com", "(31) 98877-6655",
     "."},
    {9, "Química Industrial Paraná Ltda", "QuimiPar", "92.256.711/0001-40", "", "904.56789-01",
     "Rua Professor Algacyr Munhoz Mader", "3775", "", "Cidade Industrial", "81.350-010",
     "Curitiba", "PR", "Paulo Kowalski", "vendas@quimipar.com.br", "(41) 3316-7000",
     "(41) 3316-7001"},
    {10, "Gráfica e Editora Vale do Paraíba Ltda", "Gráfica Vale", "39.377.261/0001-60", "",
     "645.332.118.770", "Av. Cidade Jardim", "1980", "", "Jardim Satélite", "12.231-675",
     "São José dos Campos", "SP", "Sônia Ferraz", "orcamento@graficavale.com.br", "3933-2200", ""},
    {11, "Móveis Ubá Indústria Ltda", "Móveis Ubá", "19.727.817/0001-94", "", "699.045.321/0011",
     "Rua Peixoto Filho", "870", "", "Industrial", "36.500-000", "Ubá", "MG", "Geraldo Teixeira",
     "geraldo@moveisuba.com.br", "3531-4400", "3531-4401"},
    {12, "Nordeste Frutas Exportação Ltda", "Nordeste Frutas", "96.573.030/0001-66", "",
     "18.123.456-7", "Av. Recife", "6080", "", "Jiquiá", "50.860-000", "Recife", "PE",
     "Severino Alves", "exportacao@nordestefrutas.com.br", "(81) 3445-1200", ""},
    {13, "Cerâmica Santa Luzia Ltda", "Cerâmica Santa Luzia", "71.130.990/0001-20", "",
     "573.090.228/0043", "Av. Beira Rio", "2300", "", "Baronesa", "33.040-260", "Santa Luzia", "MG",
     "Adriana Costa", "adriana@ceramicasantaluzia.com.br", "3641-2255", "."},
    {14, "Elétrica Goiás Materiais Elétricos Ltda", "Elétrica Goiás", "56.819.893/0001-56", "",
     "10.654.321-0", "Av. Independência", "4420", "Sala 3", "Setor Leste Vila Nova", "74.645-010",
     "Goiânia", "GO", "Wellington Dias", "wellington@eletricagoias.com.br", "(62) 3261-8080",
     "(62) 3261-8081"},
};

}  // namespace

// The supplier mapping converts every row from the first, so the sheet has no title
// row. Columns (from 1): 4 bairro, 5 CEP, 6 CNPJ, 8 cidade, 12 complemento,
// 16 contato, 18 CPF, 26 e-mail, 27 número (after the street in the address),
// 28 UF, 29 fax, 30 código, 33 inscrição estadual, 36 rua, 38 razão social,
// 39 nome fantasia, 40 número, 48 telefone.
void EscreveFornecedores(lxw_workbook* pasta) {
    lxw_worksheet* aba = workbook_add_worksheet(pasta, "Fornecedores");
    lxw_row_t linha = 0;
    for (const Fornecedor& f : kFornecedores) {
        Texto(aba, linha, 4, f.bairro);
        Texto(aba, linha, 5, f.cep);
        Texto(aba, linha, 6, f.cnpj);
        Texto(aba, linha, 8, f.cidade);
        Texto(aba, linha, 12, f.complemento);
        Texto(aba, linha, 16, f.contato);
        Texto(aba, linha, 18, f.cpf);
        Texto(aba, linha, 26, f.email);
        Texto(aba, linha, 27, f.numero);
        Texto(aba, linha, 28, f.estado);
        Texto(aba, linha, 29, f.fax);
        Numero(aba, linha, 30, f.codigo);
        Texto(aba, linha, 33, f.inscricaoEstadual);
        Texto(aba, linha, 36, f.rua);
        Texto(aba, linha, 38, f.razaoSocial);
        Texto(aba, linha, 39, f.nomeFantasia);
        Texto(aba, linha, 40, f.numero);
        Texto(aba, linha, 48, f.fone);
        ++linha;
    }
}

}  // namespace conversor::exemplo
