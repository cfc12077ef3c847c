#include "app/linha_comando/catalogo.h"

#include <cstring>
#include <stdexcept>

#include "convert/tipos.h"
#include "intake/leitor.h"

namespace conversor::app {

namespace {

// The sheets a workbook may hold as far as --aba goes (the .xlsx reader's own bound);
// the workbook's own count is checked once it is open.
constexpr long long kMaxAbas = 32767;
constexpr long long kMaxLinhas = intake::kMaxLinhas;

// Each option once, whichever commands take it.
const Opcao kBanco{"--banco", "BANCO", "o banco"};
const Opcao kPlanilha{"--planilha", "ARQUIVO", "o arquivo"};
const Opcao kTipo{"--tipo", "TIPO", "o tipo"};
const Opcao kAba{"--aba", "N", "o número", "Aba", 1, kMaxAbas};
const Opcao kPrimeiraLinha{"--primeira-linha", "N", "o número", "Primeira linha", 1, kMaxLinhas};
// 0: no row, as the last row of an empty sheet.
const Opcao kUltimaLinha{"--ultima-linha", "N", "o número", "Última linha", 0, kMaxLinhas};
const Opcao kLinhaTitulos{"--linha-titulos", "N", "o número", "Linha de títulos", 1, kMaxLinhas};
const Opcao kMapa{"--mapa", "MAPA.csv", "o arquivo"};
const Opcao kCidades{"--cidades", "ARQUIVO.DBF", "o arquivo"};
const Opcao kRelatorio{"--relatorio", "ARQUIVO.xlsx", "o arquivo"};
const Opcao kSemEnsaio{"--sem-ensaio", nullptr, nullptr};

Elemento Exigida(const Opcao& opcao) { return {&opcao, nullptr, false}; }
Elemento Opcional(const Opcao& opcao) { return {&opcao, nullptr, true}; }
Elemento Posicional(const char* texto) { return {nullptr, texto, false}; }

const char* const kInicioAjuda =
    "Conversor Quarel Tervalo: leva cadastros de uma planilha para o banco do Vantora.\n"
    "\n"
    "Uso:\n";

const char* const kFimAjuda =
    "\n"
    "As opções podem vir antes ou depois dos arquivos; \"--\" encerra as opções, e o\n"
    "que vem depois é sempre arquivo (conversor planilhas -- -arquivo.csv). Um\n"
    "argumento que começa com \"-\" e não é uma opção do comando é recusado.\n";

constexpr size_t kLargura = 80;

// `inicio` ("Uso: conversor mapa") and the synopsis after it, carried over to lines
// indented under its first element when they pass the terminal's width.
std::string Sinopse(const std::string& inicio, const Comando& comando) {
    std::string texto = inicio;
    const size_t recuo = inicio.size() + 1;
    size_t coluna = inicio.size();
    for (const Elemento& e : comando.sinopse) {
        std::string elemento = e.opcao ? e.opcao->nome : e.posicional;
        if (e.opcao && e.opcao->valor) elemento += std::string(" ") + e.opcao->valor;
        if (e.opcional) elemento = "[" + elemento + "]";
        if (coluna > recuo && coluna + 1 + elemento.size() > kLargura) {
            texto += "\n" + std::string(recuo - 1, ' ');
            coluna = recuo - 1;
        }
        texto += " " + elemento;
        coluna += 1 + elemento.size();
    }
    return texto + "\n";
}

std::string Recuado(const char* texto, const char* recuo) {
    std::string r;
    for (const char* linha = texto; *linha;) {
        const char* fim = std::strchr(linha, '\n');
        const size_t tamanho = fim ? static_cast<size_t>(fim - linha) + 1 : std::strlen(linha);
        r += recuo;
        r.append(linha, tamanho);
        linha += tamanho;
    }
    return r;
}

}  // namespace

const std::vector<Comando>& Comandos() {
    static const std::vector<Comando> comandos = {
        {"criar-banco",
         {Posicional("ARQUIVO")},
         "Cria um banco Vantora vazio (Firebird, dialeto 1) em ARQUIVO.\n"
         "Recusa sobrescrever um arquivo existente.\n",
         "",
         ComandoCriarBanco},
        {"planilhas",
         {Posicional("ARQUIVO")},
         "Lista as abas de ARQUIVO, uma por linha: ordem, nome, linha final e\n"
         "coluna final, separados por TAB.\n",
         "",
         ComandoPlanilhas},
        {"mostrar",
         {Posicional("ARQUIVO"), Opcional(kAba), Opcional(kPrimeiraLinha), Opcional(kUltimaLinha)},
         "Mostra as linhas --primeira-linha (se omitida, 1) a --ultima-linha (se\n"
         "omitida, a final) da aba N (se omitida, a primeira) como a tabela de\n"
         "carga as recebe: cada coluna cortada em 100 caracteres, colunas\n"
         "separadas por TAB.\n"
         "planilhas e mostrar escrevem TAB, quebras de linha, a barra invertida e\n"
         "os demais caracteres de controle como \\t, \\n, \\r, \\\\ e \\xHH.\n",
         "",
         ComandoMostrar},
        {"mapa",
         {Exigida(kTipo), Exigida(kPlanilha), Opcional(kAba), Opcional(kLinhaTitulos),
          Posicional("> mapa.csv")},
         "Propõe, na saída, um mapa de colunas (para --mapa) de uma planilha fora do\n"
         "leiaute: liga cada título da linha --linha-titulos (se omitida, a primeira\n"
         "com mais de uma célula preenchida) à coluna do leiaute de mesmo nome ou de\n"
         "um nome usual do campo (\"Descrição\", \"Produto\"; \"CNPJ\", \"CGC\"), sem\n"
         "olhar maiúsculas, acentos, espaços e pontuação. Os títulos sem lugar ficam\n"
         "como comentários no fim; o início diz qual --primeira-linha usar.\n"
         "planilhas, mostrar e mapa saem com 0 concluído, 1 falha ao escrever a\n"
         "saída, 2 erro de uso ou arquivo recusado (danificado ou não aceito, em\n"
         "qualquer formato ou parte).\n",
         "Propõe um mapa de colunas (para --mapa de converter e conferir) a partir dos\n"
         "títulos da planilha: a linha --linha-titulos ou, se omitida, a primeira com\n"
         "mais de uma célula preenchida. Os títulos sem lugar no leiaute ficam como\n"
         "comentários no fim do mapa.\n"
         "TIPO: {TIPOS}.\n",
         ComandoMapa},
        {"converter",
         {Exigida(kBanco), Exigida(kPlanilha), Exigida(kTipo), Opcional(kAba),
          Opcional(kPrimeiraLinha), Opcional(kUltimaLinha), Opcional(kMapa), Opcional(kCidades),
          Opcional(kRelatorio), Opcional(kSemEnsaio)},
         "Converte a aba N (se omitida, a primeira) de ARQUIVO para o banco BANCO,\n"
         "da linha --primeira-linha (se omitida, 1; as de cima, de títulos, ficam\n"
         "fora) até --ultima-linha (se omitida, a linha final da aba), como o\n"
         "botão \"Efetuar Conversão\" da janela: esvazia as tabelas do tipo e grava\n"
         "uma linha por linha da planilha. BANCO: um arquivo (.fdb) ou\n"
         "servidor:caminho. --cidades: a tabela de DDD das cidades (DCETCIDA.DBF);\n"
         "por padrão, a que está junto do programa.\n"
         "TIPO: {TIPOS}.\n"
         "Antes de gravar, a conversão é ensaiada no banco e desfeita: se o ensaio\n"
         "encontra linhas que parariam a conversão, ele as lista todas e nada é\n"
         "alterado no banco (saída 2). --relatorio ARQUIVO.xlsx grava o que o\n"
         "ensaio encontrou (abas Falhas e Avisos); --sem-ensaio converte direto,\n"
         "parando na primeira linha com erro.\n"
         "--mapa MAPA.csv: a planilha não está no leiaute; cada linha do mapa liga\n"
         "uma coluna do leiaute (número ou nome, como DESCRICAO) a uma coluna da\n"
         "planilha (letra ou título, procurado na última linha preenchida acima de\n"
         "--primeira-linha), \"DESCRICAO;Descrição\"; as colunas fora do mapa ficam\n"
         "vazias. Um mapa que não serve é recusado antes de tudo (saída 2), com a\n"
         "linha a corrigir. Uma --primeira-linha depois da última é recusada.\n"
         "Saída: 0 concluída, 1 a conversão falhou (desfeita desde o último\n"
         "commit), 2 erro de uso ou entrada recusada antes de converter (também\n"
         "pelo ensaio), 130, 143 ou 129 interrompida por Ctrl+C, SIGTERM ou\n"
         "SIGHUP (desfeita desde o último commit).\n",
         "TIPO: {TIPOS}.\n"
         "--primeira-linha: a linha do primeiro registro (as de cima, de títulos, ficam\n"
         "fora); --mapa: o mapa de colunas de uma planilha fora do leiaute (veja\n"
         "conversor mapa).\n"
         "Antes de gravar, a conversão é ensaiada no banco e desfeita; se o ensaio\n"
         "encontra linhas que parariam a conversão, elas são listadas e nada é alterado\n"
         "(saída 2). --relatorio grava o que o ensaio encontrou numa planilha;\n"
         "--sem-ensaio converte direto, parando na primeira linha com erro.\n",
         ComandoConverter},
        {"conferir",
         {Exigida(kBanco), Exigida(kPlanilha), Exigida(kTipo), Opcional(kAba),
          Opcional(kPrimeiraLinha), Opcional(kUltimaLinha), Opcional(kMapa), Opcional(kCidades),
          Opcional(kRelatorio)},
         "Só o ensaio de converter: mostra as linhas que cada tabela receberia, as\n"
         "referências que seriam criadas, as falhas (linhas em que a conversão\n"
         "pararia) e os avisos, com linha, coluna, texto e motivo; o banco fica\n"
         "como estava. --relatorio grava o mesmo numa planilha. Com --mapa, cada\n"
         "problema nomeia as duas colunas (\"coluna 66 DESCRICAO, da coluna C\n"
         "'Descrição' da planilha\").\n"
         "Saída: 0 a conversão daria certo, 1 pararia, 2 erro de uso ou entrada\n"
         "recusada.\n",
         "TIPO: {TIPOS}.\n"
         "--primeira-linha e --mapa: como em conversor converter.\n"
         "Ensaia a conversão no banco e a desfaz: lista as linhas que a parariam (falhas)\n"
         "e os avisos, sem alterar nada. Saída: 0 a conversão daria certo, 1 pararia,\n"
         "2 erro de uso ou entrada recusada.\n",
         ComandoConferir},
        {"colunas",
         {Exigida(kTipo)},
         "Mostra as colunas da planilha que o tipo lê, uma por linha: número,\n"
         "letra, campo do banco (TABELA.COLUNA) que ela alimenta, quantos\n"
         "caracteres são aproveitados e a regra aplicada.\n",
         "TIPO: {TIPOS}.\n",
         ComandoColunas},
        {"modelo",
         {Exigida(kTipo), Posicional("ARQUIVO.xlsx")},
         "Grava em ARQUIVO.xlsx uma planilha modelo do tipo: a primeira aba, vazia\n"
         "e sem linha de títulos, recebe os registros; a aba \"Colunas\" mostra o\n"
         "que cada coluna alimenta. Recusa sobrescrever um arquivo existente.\n"
         "colunas e modelo saem com 0 concluído, 1 falha ao escrever a saída ou o\n"
         "arquivo (que já existia ou não se pôde gravar), 2 erro de uso.\n",
         "TIPO: {TIPOS}.\n",
         ComandoModelo},
        {"", {}, "Sem argumentos: abre a janela do conversor.\n", "", nullptr},
        {"--help",
         {},
         "Mostra esta ajuda; conversor COMANDO --help mostra o uso do comando.\n",
         "",
         nullptr},
    };
    return comandos;
}

const Comando& ComandoChamado(std::string_view nome) {
    for (const Comando& c : Comandos())
        if (c.executa && nome == c.nome) return c;
    throw std::logic_error("comando fora da tabela: " + std::string(nome));
}

namespace {

// The texts name the kinds as --tipo takes them, from the kinds' own table.
std::string ComOsTipos(std::string texto) {
    std::string tipos;
    const std::vector<convert::DescricaoTipo>& todos = convert::TiposRegistro();
    for (size_t i = 0; i < todos.size(); ++i)
        tipos += std::string(i == 0 ? "" : i + 1 == todos.size() ? " ou " : ", ") + todos[i].nome;
    for (size_t p = texto.find("{TIPOS}"); p != std::string::npos; p = texto.find("{TIPOS}"))
        texto.replace(p, 7, tipos);
    return texto;
}

}  // namespace

std::string UsoDoComando(const Comando& comando) {
    return ComOsTipos(Sinopse(std::string("Uso: conversor ") + comando.nome, comando) +
                      comando.uso);
}

std::string AjudaGeral() {
    std::string texto = kInicioAjuda;
    for (const Comando& c : Comandos()) {
        texto += Sinopse(*c.nome ? std::string("  conversor ") + c.nome : "  conversor", c);
        texto += Recuado(c.ajuda, "      ");
    }
    return ComOsTipos(texto + kFimAjuda);
}

}  // namespace conversor::app
