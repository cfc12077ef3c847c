#include "exemplo.h"

namespace conversor::exemplo {

namespace {

struct Vendedor {
    int codigo;
    const char* nome;
    const char* endereco;
    const char* cep;
    const char* cidade;
    const char* estado;
    const char* cpf;
    const char* rg;
    const char* fone;
    double comissao;  // percent; below 0 leaves the cell empty
};

const Vendedor kVendedores[] = {
    {1, "Ana Paula Souza", "Rua da Bahia, 1148 - ap. 302", "30.160-011", "Belo Horizonte", "MG",
     "469.685.995-97", "MG-12.345.678", "(31) 98765-4321", 2.5},
    {2, "Bruno Henrique Lima", "Av. Amazonas, 5020", "30.411-195", "Belo Horizonte", "MG",
     "637.881.421-03", "MG-10.987.654", "3371-2040", 3},
    {3, "Carla Fernandes Rocha", "Rua Rio Grande do Norte, 210", "32.041-260", "Contagem", "MG",
     "746.194.448-71", "MG-14.221.309", "3352-1188", 2},
    {4, "Diego Martins Pereira", "Rua Halfeld, 805 - sala 12", "36.010-002", "Juiz de Fora", "MG",
     "446.353.387-20", "MG-8.765.432", "(32) 99911-2233", 1.5},
    {5, "Eliane Cristina Alves", "Rua Augusta, 1500", "01.304-001", "São Paulo", "SP",
     "339.835.711-31", "28.456.789-3", "(11) 3285-7700", 4},
    {6, "Fábio Augusto Nogueira", "Av. Rondon Pacheco, 3300", "38.400-242", "Uberlândia", "MG",
     "612.960.209-08", "MG-15.678.120", "3235-6060", 2.75},
    {7, "Gabriela Duarte Campos", "Rua XV de Novembro, 700", "80.020-310", "Curitiba", "PR",
     "341.177.491-61", "7.654.321-0", "(41) 3222-1010", -1},
    {8, "Henrique Tavares Silva", "Av. Afonso Pena, 2600", "30.130-007", "Belo Horizonte", "MG",
     "295.150.125-03", "MG-11.222.333", ".", 2.5},
    {9, "Isabela Moreira Prado", "Rua Dom Pedro II, 45", "37.500-018", "Itajubá", "MG",
     "130.953.455-18", "MG-13.444.555", "3622-4141", 3.5},
    {10, "João Victor Ramos", "Av. Norte, 4830", "52.110-210", "Recife", "PE", "181.956.224-70",
     "6.789.012", "(81) 3441-9090", 2},
    {11, "Karina Lopes Batista", "Rua Barão de Jaguara, 1200", "13.015-001", "Campinas", "SP",
     "626.118.314-75", "33.221.554-9", "(19) 3231-4455", 1},
    {12, "Leonardo Pires Gomes", "Av. Governador Valadares, 90", "35.700-000", "Sete Lagoas", "MG",
     "253.100.822-55", "MG-16.789.001", "3773-2525", 2.5},
};

}  // namespace

// The seller mapping converts every row from the first (a title would not be a
// valid commission), so the sheet has no title row. Columns (from 1): 7 CEP, 9 RG,
// 10 cidade, 12 comissão (%), 20 CPF, 26 endereço, 27 UF, 40 nome, 54 telefone,
// 57 código.
void EscreveVendedores(lxw_workbook* pasta) {
    lxw_worksheet* aba = workbook_add_worksheet(pasta, "Vendedores");
    lxw_row_t linha = 0;
    for (const Vendedor& v : kVendedores) {
        Texto(aba, linha, 7, v.cep);
        Texto(aba, linha, 9, v.rg);
        Texto(aba, linha, 10, v.cidade);
        if (v.comissao >= 0) Numero(aba, linha, 12, v.comissao);
        Texto(aba, linha, 20, v.cpf);
        Texto(aba, linha, 26, v.endereco);
        Texto(aba, linha, 27, v.estado);
        Texto(aba, linha, 40, v.nome);
        Texto(aba, linha, 54, v.fone);
        Numero(aba, linha, 57, v.codigo);
        ++linha;
    }
}

}  // namespace conversor::exemplo
