#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "app/execucao.h"
#include "app/linha_comando/argumentos.h"
#include "app/linha_comando/comandos.h"
#include "app/linha_comando/terminal.h"
#include "app/relatorio_ensaio.h"
#include "base/regional.h"
#include "convert/leiaute.h"
#include "convert/mapa_colunas.h"
#include "convert/tabela_ddd.h"
#include "convert/tipos.h"
#include "db/conexao.h"
#include "db/erro.h"
#include "intake/leitor.h"

namespace conversor::app {

namespace {

const char* const kUsoConverter =
    "Uso: conversor converter --banco BANCO --planilha ARQUIVO --tipo TIPO [--aba N]\n"
    "                         [--primeira-linha N] [--ultima-linha N] [--mapa ARQUIVO]\n"
    "                         [--cidades ARQUIVO.DBF] [--relatorio ARQUIVO.xlsx]\n"
    "                         [--sem-ensaio]\n"
    "TIPO: produtos, clientes, fornecedores, vendedores ou transportadoras.\n"
    "--primeira-linha: a linha do primeiro registro (as de cima, de títulos, ficam\n"
    "fora); --mapa: o mapa de colunas de uma planilha fora do leiaute (veja\n"
    "conversor mapa).\n"
    "Antes de gravar, a conversão é ensaiada no banco e desfeita; se o ensaio\n"
    "encontra linhas que parariam a conversão, elas são listadas e nada é alterado\n"
    "(saída 2). --relatorio grava o que o ensaio encontrou numa planilha;\n"
    "--sem-ensaio converte direto, parando na primeira linha com erro.\n";

const char* const kUsoConferir =
    "Uso: conversor conferir --banco BANCO --planilha ARQUIVO --tipo TIPO [--aba N]\n"
    "                        [--primeira-linha N] [--ultima-linha N] [--mapa ARQUIVO]\n"
    "                        [--cidades ARQUIVO.DBF] [--relatorio ARQUIVO.xlsx]\n"
    "TIPO: produtos, clientes, fornecedores, vendedores ou transportadoras.\n"
    "--primeira-linha e --mapa: como em conversor converter.\n"
    "Ensaia a conversão no banco e a desfaz: lista as linhas que a parariam (falhas)\n"
    "e os avisos, sem alterar nada. Saída: 0 a conversão daria certo, 1 pararia,\n"
    "2 erro de uso ou entrada recusada.\n";

// `texto` (UTF-8) padded with blanks to `largura` characters, so that accented
// texts keep the table's columns aligned.
std::string Alinhado(std::string texto, size_t largura) {
    size_t caracteres = 0;
    for (const char c : texto) caracteres += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (caracteres < largura) texto.append(largura - caracteres, ' ');
    return texto;
}

// A list of problems as a table, one per line.
void ImprimeProblemas(const char* titulo, const std::vector<convert::Problema>& problemas) {
    if (problemas.empty()) return;
    std::printf("%s\n  %-7s %-12s %-20s %s\n", titulo, "Linha", "Coluna", "Texto", "Motivo");
    for (const convert::Problema& p : problemas) {
        const std::string linha = p.linha > 0 ? std::to_string(p.linha) : "-";
        // The map's description holds a heading of the sheet: escaped like a cell.
        const std::string coluna = !p.origem.empty()
                                       ? EscapaParaTerminal(Cp1252ParaUtf8(p.origem), true)
                                   : p.coluna > 0 ? p.letra + " (" + std::to_string(p.coluna) + ")"
                                                  : "-";
        std::string motivo = p.motivo;
        for (char& c : motivo)
            if (c == '\r' || c == '\n') c = ' ';
        std::printf("  %-7s %-12s %s %s\n", linha.c_str(), coluna.c_str(),
                    Alinhado(EscapaParaTerminal(Cp1252ParaUtf8(p.texto), true), 20).c_str(),
                    ParaTerminal(motivo).c_str());
    }
}

// How many warnings of each kind, in the order the kinds first appeared.
void ImprimeAvisosPorGenero(const convert::AvisosPorGenero& contagem) {
    for (const auto& [genero, quantos] : contagem.generos)
        std::printf("    %s: %lld\n", ParaTerminal(convert::NomeDoGenero(genero)).c_str(), quantos);
}

// What the rehearsal found: the rows the run would write, the references it would
// create, the failures and the warnings.
void ImprimeEnsaio(const ResultadoEnsaio& ensaio) {
    std::printf("%s\n", ParaTerminal("Conferência da planilha:").c_str());
    for (const LinhasTabela& t : ensaio.linhasGravadas)
        std::printf("  %-15s %lld linhas seriam gravadas\n", t.tabela.c_str(), t.linhas);
    for (const LinhasTabela& t : ensaio.referenciasCriadas)
        std::printf("  %-15s %lld linhas seriam criadas\n", t.tabela.c_str(), t.linhas);
    std::printf("  Falhas: %lld\n  Avisos: %lld\n", ensaio.totalFalhas,
                ensaio.avisosPorGenero.Total());
    ImprimeAvisosPorGenero(ensaio.avisosPorGenero);
    if (static_cast<long long>(ensaio.falhas.size()) < ensaio.totalFalhas ||
        static_cast<long long>(ensaio.avisos.size()) < ensaio.avisosPorGenero.Total())
        std::printf("%s\n", ParaTerminal("  As listas trazem só os primeiros " +
                                         std::to_string(convert::Ensaio::kMaxPorGenero) +
                                         " problemas de cada tipo.")
                                .c_str());
    ImprimeProblemas(ParaTerminal("Falhas (linhas em que a conversão pararia):").c_str(),
                     ensaio.falhas);
    ImprimeProblemas("Avisos:", ensaio.avisos);
}

int ConverteOuConfere(const Argumentos& args, bool soConferir) {
    const char* const kUso = soConferir ? kUsoConferir : kUsoConverter;
    const auto Uso = [kUso](const std::string& erro) { return SaiComErroDeUso(erro, kUso); };
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(
            args,
            {{"--banco", "o banco"},
             {"--planilha", "o arquivo"},
             {"--tipo", "o tipo"},
             {"--aba", "o número"},
             {"--primeira-linha", "o número"},
             {"--ultima-linha", "o número"},
             {"--mapa", "o arquivo"},
             {"--cidades", "o arquivo"},
             {"--relatorio", "o arquivo"}},
            soConferir ? std::vector<const char*>{} : std::vector<const char*>{"--sem-ensaio"});
    } catch (const ErroUso& e) {
        return Uso(e.what());
    }
    if (lidos.ajuda) return MostraUso(kUso);
    if (!lidos.arquivos.empty())
        return Uso("Argumento inesperado: " + CaminhoParaMensagem(lidos.arquivos[0]));
    std::map<std::string, std::string>& opcoes = lidos.opcoes;
    for (const char* obrigatoria : {"--banco", "--planilha", "--tipo"})
        if (!opcoes.count(obrigatoria)) return Uso(std::string("Falta a opção ") + obrigatoria);
    const convert::DescricaoTipo* tipo = convert::ProcuraTipo(opcoes["--tipo"]);
    if (!tipo) return Uso("Tipo desconhecido: " + CaminhoParaMensagem(opcoes["--tipo"]));
    int aba = 1;
    if (opcoes.count("--aba")) {
        try {
            aba = static_cast<int>(TextoParaInteiro(opcoes["--aba"]));
        } catch (const ErroConversao&) {
            return Uso("--aba deve ser um número: " + CaminhoParaMensagem(opcoes["--aba"]));
        }
    }
    if (opcoes.count("--ultima-linha")) {
        const std::string& n = opcoes["--ultima-linha"];
        if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos)
            return Uso("--ultima-linha deve ser um número: " + CaminhoParaMensagem(n));
    }
    if (opcoes.count("--relatorio") && opcoes.count("--sem-ensaio"))
        return Uso("--relatorio grava o que o ensaio encontra; com --sem-ensaio não há ensaio.");
    long long primeiraLinha = 1;
    if (opcoes.count("--primeira-linha")) {
        const std::string& n = opcoes["--primeira-linha"];
        const bool numero =
            !n.empty() && n.size() <= 9 && n.find_first_not_of("0123456789") == std::string::npos;
        if (numero) primeiraLinha = std::stoll(n);
        if (!numero || primeiraLinha < 1)
            return Uso("--primeira-linha deve ser um número de 1 em diante: " +
                       CaminhoParaMensagem(n));
    }
    // The map is read before anything else, the database included: a map that cannot
    // be used is the person's to mend first.
    std::optional<convert::MapaColunas> mapa;
    if (opcoes.count("--mapa")) {
        try {
            mapa = convert::LeArquivoMapa(opcoes["--mapa"], tipo->Leiaute());
        } catch (const convert::ErroMapa& e) {
            MensagensTerminal().Erro(e.what());
            return 2;
        }
    }

    const auto inicio = std::chrono::steady_clock::now();
    ProgressoTerminal progresso;
    MensagensTerminal mensagens(&progresso);
    db::Conexao dbVantora;
    intake::TDMCotrolaExcel dmExcel;
    intake::TTabelaTemp cdsTabelaTemp;

    if (opcoes.count("--relatorio")) {
        try {
            ConfereDestinoDoRelatorio(
                opcoes["--relatorio"],
                {{db::ArquivoDoBancoNestaMaquina(opcoes["--banco"]), "o banco"},
                 {opcoes["--planilha"], "a própria planilha"},
                 {opcoes.count("--cidades") ? opcoes["--cidades"]
                                            : convert::TabelaDDD::ArquivoPadrao(),
                  "a tabela de cidades"},
                 {opcoes.count("--mapa") ? opcoes["--mapa"] : std::string(), "o mapa"}});
        } catch (const std::exception& e) {
            mensagens.Erro(e.what());
            return 2;
        }
    }
    dbVantora.DefineNomeBanco(opcoes["--banco"]);
    SeguraInterrupcao();
    try {
        dbVantora.Conecta();
    } catch (const db::ErroBanco& e) {
        mensagens.Erro(e.what());
        return 2;
    }
    CapturaInterrupcao();
    PedidoConversao pedido;
    pedido.arquivo = opcoes["--planilha"];
    pedido.tipo = tipo->tipo;
    try {
        dmExcel.AbreArquivo(pedido.arquivo);
        const size_t abas = dmExcel.ListaPlanilhas().size();
        dmExcel.LiberaLista();
        if (aba < 1 || static_cast<size_t>(aba) > abas) {
            mensagens.Erro("A planilha '" + CaminhoParaMensagem(pedido.arquivo) +
                           "' não tem a aba " + std::to_string(aba) + " (tem " +
                           std::to_string(abas) + ").");
            return 2;
        }
    } catch (const std::exception& e) {
        mensagens.Erro(e.what());
        return 2;
    }
    pedido.aba = aba;
    if (opcoes.count("--ultima-linha")) {
        const std::string& n = opcoes["--ultima-linha"];
        try {
            pedido.ultimaLinha = TextoParaInteiro(n);
        } catch (const ErroConversao&) {
            // Digits only, but more than any number holds.
            mensagens.Erro("'" + n + "' não é um número de linha válido");
            return 2;
        }
    } else {
        pedido.ateUltimaLinhaDaAba = true;
    }
    pedido.ensaiar = !opcoes.count("--sem-ensaio");
    pedido.primeiraLinha = primeiraLinha;
    pedido.mapa = std::move(mapa);

    ExecucaoConversao execucao(dbVantora, dmExcel, cdsTabelaTemp, progresso, mensagens,
                               opcoes.count("--cidades") ? opcoes["--cidades"] : std::string());
    IniciaConversaoInterrompivel();
    // The report is written as soon as the rehearsal ends, before the run writes
    // anything: one that cannot be saved stops the run with the database untouched.
    bool relatorioPerdido = false;
    const auto GravaRelatorio = [&](const ResultadoEnsaio& ensaio) {
        if (!opcoes.count("--relatorio")) return;
        try {
            GravaRelatorioEnsaio(opcoes["--relatorio"], ensaio);
        } catch (const ErroGravacao&) {
            relatorioPerdido = true;
            throw;
        }
    };
    const ResultadoConversao resultado =
        soConferir ? execucao.Confere(pedido) : execucao.Converte(pedido, GravaRelatorio);
    progresso.Encerra();
    // A busy database stopped the rehearsal short: its counts say nothing of the sheet.
    const bool ocupado = resultado.desfecho == DesfechoConversao::Ocupado;
    if (resultado.ensaio.feito && !ocupado &&
        (soConferir || resultado.desfecho == DesfechoConversao::Reprovada)) {
        ImprimeEnsaio(resultado.ensaio);
        if (!relatorioPerdido) {
            try {
                GravaRelatorio(resultado.ensaio);
            } catch (const ErroGravacao& e) {
                mensagens.Erro(e.what());
            }
        }
    }
    if (relatorioPerdido) {
        std::fprintf(stderr, "%s\n", ParaTerminal("Nada foi alterado no banco.").c_str());
        return 2;
    }
    if (resultado.desfecho == DesfechoConversao::Reprovada ||
        resultado.desfecho == DesfechoConversao::Conferida || ocupado) {
        std::fflush(stdout);
        if (InterrupcaoPedida()) {
            std::fprintf(stderr, "%s\n",
                         ParaTerminal("Conferência interrompida (" + CausaDaInterrupcao() +
                                      "). Nada foi alterado no banco.")
                             .c_str());
            return SaidaDaInterrupcao();
        }
        if (resultado.desfecho == DesfechoConversao::Conferida) return 0;
        // The run already said the database is busy and that nothing was changed.
        if (soConferir) return 1;
        if (ocupado) return 2;
        std::fprintf(
            stderr, "%s\n",
            ParaTerminal("A conferência encontrou " + std::to_string(resultado.ensaio.totalFalhas) +
                         " problema(s) que parariam a conversão.\rNada foi alterado "
                         "no banco.")
                .c_str());
        return 2;
    }
    // A stop asked after the final commit changes nothing: the run succeeded.
    const bool interrompida =
        InterrupcaoPedida() && resultado.desfecho != DesfechoConversao::Concluida;
    const std::string avisoInterrompida =
        "Conversão interrompida (" + CausaDaInterrupcao() +
        "): a transação em andamento foi desfeita; fica no banco só o que foi confirmado antes.";
    if (interrompida && resultado.desfecho == DesfechoConversao::ErroLeitura) {
        std::fprintf(stderr, "%s\n", ParaTerminal(avisoInterrompida).c_str());
        return SaidaDaInterrupcao();
    }
    if (resultado.desfecho == DesfechoConversao::Recusada ||
        resultado.desfecho == DesfechoConversao::ErroLeitura)
        return 2;

    const double segundos =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    std::printf("Resumo:\n");
    if (const std::string aviso = dbVantora.AvisoServidorLocal(); !aviso.empty())
        std::printf("  %s\n", ParaTerminal(aviso).c_str());
    // After a failure the tables hold what the last commit left, whoever wrote it.
    const bool concluida = resultado.desfecho == DesfechoConversao::Concluida;
    for (const LinhasTabela& t : resultado.linhasGravadas) {
        if (concluida) {
            std::printf("  %-15s %lld linhas gravadas\n", t.tabela.c_str(), t.linhas);
            continue;
        }
        long long antes = -1;
        for (const LinhasTabela& a : resultado.linhasAntes)
            if (a.tabela == t.tabela) antes = a.linhas;
        std::printf("%s\n",
                    ParaTerminal("  " + Alinhado(t.tabela, 15) + " " + std::to_string(t.linhas) +
                                 " linhas agora (" + std::to_string(antes) + " antes da conversão)")
                        .c_str());
    }
    for (const LinhasTabela& t : resultado.referenciasCriadas)
        std::printf("  %-15s %lld linhas criadas\n", t.tabela.c_str(), t.linhas);
    if (!resultado.linhasEmBranco.empty())
        std::printf("%s\n",
                    ParaTerminal("  Linhas em branco, não gravadas: " +
                                 std::to_string(convert::ContaLinhas(resultado.linhasEmBranco)) +
                                 " (" + convert::DescreveFaixas(resultado.linhasEmBranco, 5) + ")")
                        .c_str());
    std::printf("  Avisos: %d\n", resultado.avisos);
    if (resultado.ensaio.avisosPorGenero.Total() > 0) {
        std::printf("%s\n", ParaTerminal(
                                "  Avisos da conferência: " +
                                std::to_string(resultado.ensaio.avisosPorGenero.Total()) +
                                (opcoes.count("--relatorio") ? "" : " (--relatorio grava a lista)"))
                                .c_str());
        ImprimeAvisosPorGenero(resultado.ensaio.avisosPorGenero);
    }
    std::printf("  Tempo: %.1f s\n", segundos);
    if (interrompida) {
        std::fprintf(stderr, "%s\n", ParaTerminal(avisoInterrompida).c_str());
        return SaidaDaInterrupcao();
    }
    return concluida ? 0 : 1;
}

}  // namespace

int ComandoConverter(const Argumentos& args) { return ConverteOuConfere(args, false); }

int ComandoConferir(const Argumentos& args) { return ConverteOuConfere(args, true); }

}  // namespace conversor::app
