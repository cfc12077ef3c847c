#include "exemplo.h"

namespace conversor::exemplo {

namespace {

struct Transportadora {
    int codigo;
    const char* nome;
    const char* cnpj;
    const char* inscricaoEstadual;
    const char* rua;
    const char* numero;
    const char* complemento;
    const char* bairro;
    const char* cep;
    const char* cidade;
    const char* estado;
    const char* contato;
    const char* fone;
    const char* fax;
};

// Telephones as the legacy sheets hold them: with or without the area code, "." for
// none.
const Transportadora kTransportadoras[] = {
    {1, "Rodoviário Minas Cargas Ltda", "35.623.012/0001-57", "062.307.904/0081",
     "Av. Cristiano Machado", "4000", "Galpão 2", "Cachoeirinha", "31.910-810", "Belo Horizonte",
     "MG", "1", "(31) 3421-5500", "3421-5501"},
    {2, "Transportadora Contagem Expresso", "38.360.777/0001-30", "186.552.017/0040",
     "Rua Rio Comprido", "1200", "", "Cinco", "32.010-025", "Contagem", "MG", "2", "3391-7700",
     "."},
    {3, "TransPaulista Logística S/A", "67.936.173/0001-97", "110.042.490.114",
     "Rod. Anhanguera, km 17", "s/n", "", "Vila Jaraguá", "05.160-000", "São Paulo", "SP", "3",
     "(11) 3912-4400", "(11) 3912-4401"},
    {4, "Expresso Juiz de Fora Ltda", "04.867.614/0001-26", "367.004.512/0012", "Av. Brasil",
     "3300", "", "Mariano Procópio", "36.080-060", "Juiz de Fora", "MG", "", "(32) 3215-8800", ""},
    {5, "Sul Cargas Transportes Ltda", "11.696.105/0001-43", "096/0123456", "Av. dos Estados",
     "1520", "", "Anchieta", "90.200-001", "Porto Alegre", "RS", "", "(51) 3371-2200",
     "(51) 3371-2201"},
    {6, "Uberlândia Transportes e Logística", "31.783.929/0001-68", "702.112.233/0045",
     "Av. Floriano Peixoto", "5890", "", "Brasil", "38.400-700", "Uberlândia", "MG", "",
     "3236-1400", ""},
    {7, "Rápido Campinas Cargas Ltda", "18.073.297/0001-80", "244.556.778.119",
     "Rod. Dom Pedro I, km 136", "", "", "Parque das Universidades", "13.086-902", "Campinas", "SP",
     "", "(19) 3756-9000", "(19) 3756-9009"},
    {8, "Translog Curitiba Ltda", "97.485.622/0001-99", "901.23456-70", "Rua João Bettega", "2800",
     "Barracão 5", "Portão", "81.070-000", "Curitiba", "PR", "", "(41) 3346-2020", ""},
    {9, "Transportes Vale do Aço Ltda", "91.855.789/0001-18", "313.908.114/0027",
     "Av. Pedro Linhares Gomes", "5431", "", "Industrial", "35.160-290", "Ipatinga", "MG", "",
     "3822-4455", "3822-4456"},
    {10, "Carioca Express Transportes", "34.258.481/0001-51", "86.123.45-6", "Av. Brasil", "22155",
     "", "Guadalupe", "21.670-000", "Rio de Janeiro", "RJ", "", "(21) 3017-6600", ""},
    {11, "Montes Claros Cargas Ltda", "88.353.045/0001-90", "433.207.551/0009",
     "Av. Dep. Esteves Rodrigues", "1200", "", "Centro", "39.400-215", "Montes Claros", "MG", "",
     "3221-9090", "."},
    {12, "Sertão Goiano Transportes Ltda", "34.064.646/0001-54", "10.456.789-1", "Av. Anhanguera",
     "14404", "Qd. 2 Lt. 5", "Setor Aeroviário", "74.435-300", "Goiânia", "GO", "",
     "(62) 3291-3300", ""},
};

}  // namespace

// The carrier mapping converts every row from the first, so the sheet has no title
// row. Columns (from 1): 3 bairro, 4 CEP, 5 CNPJ, 6 cidade, 10 contato, 13 número,
// 14 UF, 16 fax, 18 inscrição estadual, 19 rua, 20 nome, 21 complemento, 26 telefone,
// 27 código.
void EscreveTransportadoras(lxw_workbook* pasta) {
    lxw_worksheet* aba = workbook_add_worksheet(pasta, "Transportadoras");
    lxw_row_t linha = 0;
    for (const Transportadora& t : kTransportadoras) {
        Texto(aba, linha, 3, t.bairro);
        Texto(aba, linha, 4, t.cep);
        Texto(aba, linha, 5, t.cnpj);
        Texto(aba, linha, 6, t.cidade);
        Texto(aba, linha, 10, t.contato);
        Texto(aba, linha, 13, t.numero);
        Texto(aba, linha, 14, t.estado);
        Texto(aba, linha, 16, t.fax);
        Texto(aba, linha, 18, t.inscricaoEstadual);
        Texto(aba, linha, 19, t.rua);
        Texto(aba, linha, 20, t.nome);
        Texto(aba, linha, 21, t.complemento);
        Texto(aba, linha, 26, t.fone);
        Numero(aba, linha, 27, t.codigo);
        ++linha;
    }
}

}  // namespace conversor::exemplo
