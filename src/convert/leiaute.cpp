#include "convert/leiaute.h"

#include <utility>

#include "base/colunas.h"

namespace conversor::convert {

namespace {

using C = Conteudo;

ColunaLida Coluna(int coluna, const char* campo, int largura, Conteudo conteudo, std::string regra,
                  const char* tambem = nullptr, int soSeVazia = 0) {
    return {coluna, campo, largura, conteudo, std::move(regra), tambem, soSeVazia};
}

// Another column as a person finds it in the sheet: "AY (51)".
std::string Col(int coluna) { return LetraColuna(coluna) + " (" + std::to_string(coluna) + ")"; }

std::string Cidade(int estado, const char* campoCodigo) {
    return "procura ou cria a cidade no estado da coluna " + Col(estado) + "; o código vai para " +
           campoCodigo;
}

std::string Telefone(int cidade) {
    return "telefone: só os dígitos, com o DDD da cidade da coluna " + Col(cidade) +
           " na frente; \".\" fica vazio";
}

const char* const kTexto = "texto";
const char* const kDigitos = "só os dígitos";
const char* const kNumeroOuZero = "número com vírgula; vazia é 0";

std::string Zeros(int ate) { return "código com zeros à esquerda até " + std::to_string(ate); }

std::vector<LeiauteTipo> MontaLeiautes() {
    return {
        {"produtos",
         "Produtos",
         {
             Coluna(3, "PRODUTO.CAMPOLIVRE1", 20, C::Texto, kTexto),
             Coluna(5, "PRODUTO.ATIVO", 0, C::Logico, "S se VERDADEIRO, N para o resto"),
             Coluna(15, "CLASFISC.CODIGONCM", 8, C::Texto,
                    "NCM: procura ou cria a classificação fiscal (o código vai para "
                    "PRODUTO.CODCLASFIS); o NCM fica também em",
                    "CLASFISC.CODNBM"),
             Coluna(20, "PRODUTO.CAMPOLIVRE2", 20, C::Texto, kTexto),
             Coluna(27, "PRODUTODETALHE.COFINS_CST", 3, C::Codigo,
                    "CST do COFINS; um só dígito ganha 0 na frente"),
             Coluna(30, "PRODUTODETALHE.PIS_CST", 3, C::Codigo,
                    "CST do PIS; um só dígito ganha 0 na frente"),
             Coluna(44, "PRODUTO.CODGENEROITEM", 10, C::Texto,
                    "texto; mais longo que 10 faz a conversão falhar"),
             Coluna(55, "CADFABR.DESCRICAO", 30, C::Texto,
                    "procura ou cria o fabricante; o código vai para PRODUTO.CODFABRIC"),
             Coluna(64, "PRODUTO.PERC_IVA", 0, C::Numero,
                    "número com vírgula; não pode ficar vazia", "PRODUTO.LUCRO"),
             Coluna(66, "PRODUTO.DESCRICAO", 50, C::Texto, "texto; as aspas duplas saem"),
             Coluna(81, "PRODUTODETALHE.ALIQCOFINS", 0, C::Numero, kNumeroOuZero),
             Coluna(85, "PRODUTO.CAMPOLIVRE3", 50, C::Texto, kTexto),
             Coluna(86, "PRODUTO.ALIQIPI", 0, C::Numero, kNumeroOuZero),
             Coluna(87, "PRODUTO.ALIQISS", 0, C::Numero, kNumeroOuZero),
             Coluna(88, "PRODUTODETALHE.ALIQPIS", 0, C::Numero, kNumeroOuZero),
             Coluna(91, "PRODUTO.PESO", 0, C::Numero, kNumeroOuZero),
             Coluna(96, "MVGERAL.PRECOCUSTO", 0, C::Numero,
                    "custo do estoque inicial: número com vírgula; vazia é 0"),
             Coluna(102, "PRODUTO.PRECO", 0, C::Numero, kNumeroOuZero),
             Coluna(103, "PRODUTO.REFERENCIA", 20, C::Texto, kTexto),
             Coluna(111, "MVGERAL.QUANTIDADE", 0, C::Numero,
                    "estoque inicial: número com vírgula; vazia é 0"),
             Coluna(126, "PRODUTO.CAMPOLIVRE4", 50, C::Texto, kTexto),
             Coluna(129, "PRODUTO.CODTRIBUT00", 2, C::Codigo,
                    "CST do ICMS: " + Zeros(3) + "; vazia é 000"),
             Coluna(130, "PRODUTO.UNIDADEENT", 2, C::Sigla,
                    "unidade em maiúsculas, procurada ou criada em UNIDADES; só vale com a "
                    "coluna " +
                        Col(132) + " preenchida",
                    "PRODUTO.UNIDADESAIDA"),
             Coluna(132, "", 0, C::Texto,
                    "vazia, a unidade é UN; preenchida, a unidade vem da coluna " + Col(130)),
         }},
        {"clientes",
         "Clientes",
         {
             Coluna(6, "CLIENTE.BAIRRO", 30, C::Texto, kTexto),
             Coluna(9, "CLIENTE.CEP", 8, C::Digitos, "CEP: só os dígitos"),
             Coluna(10, "CLIENTE.CGCCPF", 18, C::Digitos,
                    "CNPJ ou CPF: só os dígitos; mais de 11 é pessoa jurídica"),
             Coluna(15, "CIDADES.CIDADE", 30, C::Texto, Cidade(51, "CLIENTE.CODCIDADE")),
             Coluna(18, "CLIENTE.CODCLIENTE", 8, C::Codigo, Zeros(8), "COMPCLIE.CODCLIENTE"),
             Coluna(21, "COMPCLIE.COMPLEMENTONFE", 60, C::Texto, "complemento do endereço"),
             Coluna(25, "CLIENTE.CONTATO", 50, C::Texto, kTexto),
             Coluna(28, "CLIENTE.CGCCPF", 18, C::Digitos, "CNPJ ou CPF: só os dígitos", nullptr,
                    10),
             Coluna(30, "CLIENTE.DT_CADASTRO", 0, C::Data, "data; vazia é a data de hoje"),
             Coluna(39, "CLIENTE.BAIRROENT", 30, C::Texto, "bairro de entrega"),
             Coluna(40, "CLIENTE.CEPENT", 8, C::Digitos, "CEP de entrega: só os dígitos"),
             Coluna(41, "CIDADES.CIDADE", 30, C::Texto,
                    "cidade de entrega: procura ou cria a cidade no estado da coluna " + Col(44) +
                        ", ou no da coluna " + Col(51) +
                        " se aquela está vazia; o código vai para CLIENTE.CODCIDADEENT"),
             Coluna(43, "CLIENTE.ENDERECOENT", 60, C::Texto,
                    "rua de entrega, seguida de \", \" e da coluna " + Col(49)),
             Coluna(44, "CLIENTE.ESTADOENT", 2, C::Sigla, "estado (UF) de entrega"),
             Coluna(47, "CLIENTE.EMAIL", 60, C::Texto, "e-mail; os primeiros 20 também em",
                    "CLIENTE.CAMPOLIVRE1"),
             Coluna(48, "CLIENTE.ENDERECO", 60, C::Texto,
                    "rua, seguida de \", \" e da coluna " + Col(79), "COMPCLIE.ENDERECONFE"),
             Coluna(49, "CLIENTE.ENDERECOENT", 60, C::Texto,
                    "número de entrega, depois da rua da coluna " + Col(43)),
             Coluna(50, "CLIENTE.OBSERVACAO", 80, C::Texto, kTexto),
             Coluna(51, "CLIENTE.ESTADO", 2, C::Sigla, "estado (UF)"),
             Coluna(54, "CLIENTE.FAX", 15, C::Digitos, Telefone(15)),
             Coluna(65, "CLIENTE.INSCEST", 15, C::Digitos,
                    "inscrição estadual: só os dígitos ou ISENTO"),
             Coluna(66, "CLIENTE.INSCMUNICIPAL", 15, C::Digitos,
                    "inscrição municipal: só os dígitos ou ISENTO"),
             Coluna(76, "CLIENTE.NOMEFANTASIA", 50, C::Texto, kTexto),
             Coluna(79, "COMPCLIE.NUMERONFE", 5, C::Texto,
                    "número do endereço; inteiro, depois da rua, em", "CLIENTE.ENDERECO"),
             Coluna(108, "CLIENTE.NOME", 60, C::Texto, kTexto),
             Coluna(123, "CLIENTE.FONE", 15, C::Digitos, Telefone(15)),
             Coluna(130, "CLIENTE.CODVENDEND1", 4, C::Codigo, "vendedor: " + Zeros(4)),
         }},
        {"fornecedores",
         "Fornecedores",
         {
             Coluna(4, "FORNECE.BAIRRO", 30, C::Texto, kTexto),
             Coluna(5, "FORNECE.CEP", 8, C::Digitos, "CEP, sem pontos, traço e barra"),
             Coluna(6, "FORNECE.CGCCPF", 14, C::Digitos, "CNPJ: só os dígitos"),
             Coluna(8, "CIDADES.CIDADE", 30, C::Texto, Cidade(28, "FORNECE.CODCIDADE")),
             Coluna(12, "FORNECE.COMPLEMENTO", 60, C::Texto, kTexto),
             Coluna(16, "FORNECE.CONTATO", 30, C::Texto, kTexto),
             Coluna(18, "FORNECE.CGCCPF", 14, C::Digitos, "CPF: só os dígitos", nullptr, 6),
             Coluna(26, "FORNECE.EMAIL", 100, C::Texto, "e-mail"),
             Coluna(27, "FORNECE.ENDERECO", 50, C::Texto,
                    "complemento, depois da rua da coluna " + Col(36) + " e de um espaço"),
             Coluna(28, "FORNECE.ESTADO", 2, C::Sigla, "estado (UF), como escrito"),
             Coluna(29, "FORNECE.FAX", 15, C::Digitos, Telefone(8)),
             Coluna(30, "FORNECE.CODFORNEC", 6, C::Codigo, Zeros(6)),
             Coluna(33, "FORNECE.INSCEST", 15, C::Digitos,
                    "inscrição estadual: só os dígitos ou ISENTO"),
             Coluna(36, "FORNECE.ENDERECO", 50, C::Texto,
                    "rua, seguida de um espaço e da coluna " + Col(27)),
             Coluna(38, "FORNECE.NOME", 50, C::Texto, kTexto),
             Coluna(39, "FORNECE.NOMEFANTASIA", 40, C::Texto, kTexto),
             Coluna(40, "FORNECE.NUMERO", 10, C::Texto, "número do endereço"),
             Coluna(48, "FORNECE.FONE", 15, C::Digitos, Telefone(8)),
         }},
        {"vendedores",
         "Vendedores",
         {
             Coluna(7, "VENDEND.CEP", 8, C::Digitos, "CEP: só os dígitos"),
             Coluna(9, "VENDEND.RG", 15, C::Digitos, "RG: só os dígitos"),
             Coluna(10, "CIDADES.CIDADE", 30, C::Texto, Cidade(27, "VENDEND.CODCIDADE")),
             Coluna(12, "VENDEND.COMISSAO", 0, C::Numero, kNumeroOuZero),
             Coluna(20, "VENDEND.CGCCPF", 18, C::Digitos, "CNPJ ou CPF: só os dígitos"),
             Coluna(26, "VENDEND.ENDERECO", 50, C::Texto, kTexto),
             Coluna(27, "VENDEND.ESTADO", 2, C::Sigla, "estado (UF), como escrito"),
             Coluna(40, "VENDEND.NOME", 40, C::Texto, kTexto),
             Coluna(54, "VENDEND.TELEFONE", 16, C::Digitos, Telefone(10)),
             Coluna(57, "VENDEND.CODVENDEDOR", 4, C::Codigo, Zeros(4)),
         }},
        {"transportadoras",
         "Transportadoras",
         {
             Coluna(3, "TRANSPT.BAIRRO", 30, C::Texto, kTexto),
             Coluna(4, "TRANSPT.CEP", 8, C::Digitos, "CEP: só os dígitos"),
             Coluna(5, "TRANSPT.CGCCPF", 14, C::Digitos, "CNPJ: só os dígitos"),
             Coluna(6, "CIDADES.CIDADE", 30, C::Texto, Cidade(14, "TRANSPT.CODCIDADE")),
             Coluna(10, "TRANSPT.CONTATO", 5, C::Texto,
                    "contato: sem pontuação, com zeros à esquerda até 5"),
             Coluna(13, "TRANSPT.ENDERECO", 50, C::Texto,
                    "número, depois da rua da coluna " + Col(19) + " e de um espaço"),
             Coluna(14, "TRANSPT.ESTADO", 2, C::Sigla, "estado (UF), em maiúsculas"),
             Coluna(16, "TRANSPT.FAX", 16, C::Digitos, Telefone(6)),
             Coluna(18, "TRANSPT.INSCEST", 15, C::Digitos,
                    "inscrição estadual: só os dígitos ou ISENTO"),
             Coluna(19, "TRANSPT.ENDERECO", 50, C::Texto,
                    "rua, seguida das colunas " + Col(13) + " e " + Col(21) +
                        "; sem rua nem número o endereço fica vazio"),
             Coluna(20, "TRANSPT.NOME", 35, C::Texto, kTexto),
             Coluna(21, "TRANSPT.ENDERECO", 50, C::Texto,
                    "complemento, depois do número da coluna " + Col(13) + " e de um espaço"),
             Coluna(26, "TRANSPT.FONE", 16, C::Digitos, Telefone(6)),
             Coluna(27, "TRANSPT.CODTRANSPT", 4, C::Codigo, Zeros(4)),
         }},
    };
}

// The map names of the columns whose field's own name is taken by another column of
// the kind, or that feed no field.
struct NomeProprio {
    const char* tipo;
    int coluna;
    const char* nome;
};
const NomeProprio kNomesProprios[] = {
    {"produtos", 55, "FABRICANTE"},
    {"produtos", 132, "USA_UNIDADE"},
    {"clientes", 28, "CPF"},
    {"clientes", 41, "CIDADEENT"},
    {"clientes", 49, "NUMEROENT"},
    {"fornecedores", 18, "CPF"},
    {"fornecedores", 27, "COMPLEMENTO_ENDERECO"},
    {"transportadoras", 13, "NUMERO"},
    {"transportadoras", 21, "COMPLEMENTO"},
};

std::vector<LeiauteTipo> ComNomes(std::vector<LeiauteTipo> leiautes) {
    for (LeiauteTipo& l : leiautes) {
        for (ColunaLida& c : l.colunas) {
            const std::string_view campo = c.campo;
            c.nome = std::string(campo.substr(campo.find('.') + 1));
            for (const NomeProprio& n : kNomesProprios)
                if (std::string_view(n.tipo) == l.tipo && n.coluna == c.coluna) c.nome = n.nome;
        }
    }
    return leiautes;
}

bool MesmoNome(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto Maiuscula = [](char c) {
            return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        };
        if (Maiuscula(a[i]) != Maiuscula(b[i])) return false;
    }
    return true;
}

}  // namespace

const std::vector<LeiauteTipo>& Leiautes() {
    static const std::vector<LeiauteTipo> leiautes = ComNomes(MontaLeiautes());
    return leiautes;
}

const ColunaLida* ColunaDoLeiaute(const LeiauteTipo& leiaute, int coluna) {
    for (const ColunaLida& c : leiaute.colunas)
        if (c.coluna == coluna) return &c;
    return nullptr;
}

const ColunaLida* ColunaDoLeiaute(const LeiauteTipo& leiaute, std::string_view nome) {
    const ColunaLida* doCampo = nullptr;
    int comCampo = 0;
    for (const ColunaLida& c : leiaute.colunas) {
        if (MesmoNome(c.nome, nome)) return &c;
        if (*c.campo && MesmoNome(c.campo, nome)) {
            doCampo = &c;
            ++comCampo;
        }
    }
    return comCampo == 1 ? doCampo : nullptr;
}

const LeiauteTipo* LeiauteDoTipo(std::string_view tipo) {
    for (const LeiauteTipo& l : Leiautes())
        if (tipo == l.tipo) return &l;
    return nullptr;
}

std::string RegraCompleta(const ColunaLida& coluna) {
    std::string regra = coluna.regra;
    if (coluna.tambem) {
        // A rule that ends naming the other field ("também em") takes it as is.
        regra += regra.ends_with(" em") ? " " : "; também em ";
        regra += coluna.tambem;
    }
    if (coluna.soSeVazia) regra += "; só quando a coluna " + Col(coluna.soSeVazia) + " está vazia";
    return regra;
}

}  // namespace conversor::convert
