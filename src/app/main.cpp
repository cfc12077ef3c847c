// Entry point: the main window without arguments, `conversor COMANDO ...` for the terminal.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/janela/principal.h"
#include "app/linha_comando/comandos.h"
#include "app/linha_comando/terminal.h"
#include "base/regional.h"

namespace {

const char* const kAjuda =
    "Conversor Quarel Tervalo: leva cadastros de uma planilha para o banco do Vantora.\n"
    "\n"
    "Uso:\n"
    "  conversor criar-banco ARQUIVO\n"
    "      Cria um banco Vantora vazio (Firebird, dialeto 1) em ARQUIVO.\n"
    "      Recusa sobrescrever um arquivo existente.\n"
    "  conversor planilhas ARQUIVO\n"
    "      Lista as abas de ARQUIVO, uma por linha: ordem, nome, linha final e\n"
    "      coluna final, separados por TAB.\n"
    "  conversor mostrar ARQUIVO [--aba N] [--primeira-linha N] [--ultima-linha N]\n"
    "      Mostra as linhas --primeira-linha (se omitida, 1) a --ultima-linha (se\n"
    "      omitida, a final) da aba N (se omitida, a primeira) como a tabela de\n"
    "      carga as recebe: cada coluna cortada em 100 caracteres, colunas\n"
    "      separadas por TAB.\n"
    "      planilhas e mostrar escrevem TAB, quebras de linha, a barra invertida e\n"
    "      os demais caracteres de controle como \\t, \\n, \\r, \\\\ e \\xHH.\n"
    "  conversor mapa --tipo TIPO --planilha ARQUIVO [--aba N] [--linha-titulos N]\n"
    "      Propõe, na saída, um mapa de colunas (para --mapa) de uma planilha fora do\n"
    "      leiaute: liga cada título da linha --linha-titulos (se omitida, a primeira\n"
    "      com mais de uma célula preenchida) à coluna do leiaute de mesmo nome ou de\n"
    "      um nome usual do campo (\"Descrição\", \"Produto\"; \"CNPJ\", \"CGC\"), sem\n"
    "      olhar maiúsculas, acentos, espaços e pontuação. Os títulos sem lugar ficam\n"
    "      como comentários no fim; o início diz qual --primeira-linha usar.\n"
    "      planilhas, mostrar e mapa saem com 0 concluído, 1 falha ao escrever a\n"
    "      saída, 2 erro de uso ou arquivo recusado (danificado ou não aceito, em\n"
    "      qualquer formato ou parte).\n"
    "  conversor converter --banco BANCO --planilha ARQUIVO --tipo TIPO [--aba N]\n"
    "                     [--primeira-linha N] [--ultima-linha N] [--mapa MAPA.csv]\n"
    "                     [--cidades ARQUIVO.DBF] [--relatorio ARQUIVO.xlsx]\n"
    "                     [--sem-ensaio]\n"
    "      Converte a aba N (se omitida, a primeira) de ARQUIVO para o banco BANCO,\n"
    "      da linha --primeira-linha (se omitida, 1; as de cima, de títulos, ficam\n"
    "      fora) até --ultima-linha (se omitida, a linha final da aba), como o\n"
    "      botão \"Efetuar Conversão\" da janela: esvazia as tabelas do tipo e grava\n"
    "      uma linha por linha da planilha. TIPO: produtos, clientes, fornecedores,\n"
    "      vendedores ou transportadoras. BANCO: um arquivo (.fdb) ou\n"
    "      servidor:caminho. --cidades: a tabela de DDD das cidades (DCETCIDA.DBF);\n"
    "      por padrão, a que está junto do programa.\n"
    "      Antes de gravar, a conversão é ensaiada no banco e desfeita: se o ensaio\n"
    "      encontra linhas que parariam a conversão, ele as lista todas e nada é\n"
    "      alterado no banco (saída 2). --relatorio ARQUIVO.xlsx grava o que o\n"
    "      ensaio encontrou (abas Falhas e Avisos); --sem-ensaio converte direto,\n"
    "      parando na primeira linha com erro.\n"
    "      --mapa MAPA.csv: a planilha não está no leiaute; cada linha do mapa liga\n"
    "      uma coluna do leiaute (número ou nome, como DESCRICAO) a uma coluna da\n"
    "      planilha (letra ou título, procurado na última linha preenchida acima de\n"
    "      --primeira-linha), \"DESCRICAO;Descrição\"; as colunas fora do mapa ficam\n"
    "      vazias. Um mapa que não serve é recusado antes de tudo (saída 2), com a\n"
    "      linha a corrigir. Uma --primeira-linha depois da última é recusada.\n"
    "      Saída: 0 concluída, 1 a conversão falhou (desfeita desde o último\n"
    "      commit), 2 erro de uso ou entrada recusada antes de converter (também\n"
    "      pelo ensaio), 130, 143 ou 129 interrompida por Ctrl+C, SIGTERM ou\n"
    "      SIGHUP (desfeita desde o último commit).\n"
    "  conversor conferir --banco BANCO --planilha ARQUIVO --tipo TIPO [--aba N]\n"
    "                    [--primeira-linha N] [--ultima-linha N] [--mapa MAPA.csv]\n"
    "                    [--cidades ARQUIVO.DBF] [--relatorio ARQUIVO.xlsx]\n"
    "      Só o ensaio de converter: mostra as linhas que cada tabela receberia, as\n"
    "      referências que seriam criadas, as falhas (linhas em que a conversão\n"
    "      pararia) e os avisos, com linha, coluna, texto e motivo; o banco fica\n"
    "      como estava. --relatorio grava o mesmo numa planilha. Com --mapa, cada\n"
    "      problema nomeia as duas colunas (\"coluna 66 DESCRICAO, da coluna C\n"
    "      'Descrição' da planilha\").\n"
    "      Saída: 0 a conversão daria certo, 1 pararia, 2 erro de uso ou entrada\n"
    "      recusada.\n"
    "  conversor colunas --tipo TIPO\n"
    "      Mostra as colunas da planilha que o tipo lê, uma por linha: número,\n"
    "      letra, campo do banco (TABELA.COLUNA) que ela alimenta, quantos\n"
    "      caracteres são aproveitados e a regra aplicada.\n"
    "  conversor modelo --tipo TIPO ARQUIVO.xlsx\n"
    "      Grava em ARQUIVO.xlsx uma planilha modelo do tipo: a primeira aba, vazia\n"
    "      e sem linha de títulos, recebe os registros; a aba \"Colunas\" mostra o\n"
    "      que cada coluna alimenta. Recusa sobrescrever um arquivo existente.\n"
    "      colunas e modelo saem com 0 concluído, 1 falha ao escrever a saída ou o\n"
    "      arquivo (que já existia ou não se pôde gravar), 2 erro de uso.\n"
    "  conversor\n"
    "      Sem argumentos: abre a janela do conversor.\n"
    "  conversor --help\n"
    "      Mostra esta ajuda; conversor COMANDO --help mostra o uso do comando.\n"
    "\n"
    "As opções podem vir antes ou depois dos arquivos; \"--\" encerra as opções, e o\n"
    "que vem depois é sempre arquivo (conversor planilhas -- -arquivo.csv). Um\n"
    "argumento que começa com \"-\" e não é uma opção do comando é recusado.\n";

struct Comando {
    const char* nome;
    int (*executa)(const conversor::app::Argumentos&);
};

const Comando kComandos[] = {
    {"criar-banco", conversor::app::ComandoCriarBanco},
    {"planilhas", conversor::app::ComandoPlanilhas},
    {"mostrar", conversor::app::ComandoMostrar},
    {"mapa", conversor::app::ComandoMapa},
    {"converter", conversor::app::ComandoConverter},
    {"conferir", conversor::app::ComandoConferir},
    {"colunas", conversor::app::ComandoColunas},
    {"modelo", conversor::app::ComandoModelo},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return conversor::app::AbreJanela(argc, argv);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "ajuda") == 0) {
        std::fputs(conversor::app::ParaTerminal(kAjuda).c_str(), stdout);
        return 0;
    }
    for (const Comando& comando : kComandos) {
        if (std::strcmp(argv[1], comando.nome) == 0)
            return comando.executa(conversor::app::Argumentos(argv + 2, argv + argc));
    }
    const std::string mensagem = "Comando desconhecido: " + conversor::CaminhoParaMensagem(argv[1]);
    std::fprintf(stderr, "%s\nUse 'conversor --help' para ver os comandos.\n",
                 conversor::app::ParaTerminal(mensagem).c_str());
    return 2;
}
