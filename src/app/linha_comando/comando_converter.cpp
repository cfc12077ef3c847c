#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "app/execucao.h"
#include "app/linha_comando/argumentos.h"
#include "app/linha_comando/catalogo.h"
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

// A conversion as the command line asks for it: the options read and checked, before
// anything is opened.
struct PedidoTerminal {
    bool soConferir = false;
    std::string banco;
    std::string planilha;
    const convert::DescricaoTipo* tipo = nullptr;
    int aba = 1;
    long long primeiraLinha = 1;
    std::optional<long long> ultimaLinha;  // none: up to the sheet's last row
    std::optional<std::string> mapa;
    std::optional<std::string> cidades;  // none: the table beside the program
    std::optional<std::string> relatorio;
    bool ensaiar = true;
};

// The request the options make; none when the help was asked for. Raises ErroUso.
std::optional<PedidoTerminal> LePedido(const Argumentos& args, const Comando& comando,
                                       bool soConferir) {
    ArgumentosLidos lidos = LeArgumentos(args, comando);
    if (lidos.ajuda) return std::nullopt;
    if (!lidos.arquivos.empty())
        throw ErroUso("Argumento inesperado: " + CaminhoParaMensagem(lidos.arquivos[0]));
    if (const char* falta = OpcaoQueFalta(lidos, comando))
        throw ErroUso(std::string("Falta a opção ") + falta);
    std::map<std::string, std::string>& opcoes = lidos.opcoes;
    PedidoTerminal pedido;
    pedido.soConferir = soConferir;
    pedido.tipo = convert::ProcuraTipo(opcoes["--tipo"]);
    if (!pedido.tipo) throw ErroUso("Tipo desconhecido: " + CaminhoParaMensagem(opcoes["--tipo"]));
    if (opcoes.count("--relatorio") && opcoes.count("--sem-ensaio"))
        throw ErroUso("--relatorio grava o que o ensaio encontra; com --sem-ensaio não há ensaio.");
    pedido.banco = opcoes["--banco"];
    pedido.planilha = opcoes["--planilha"];
    pedido.aba = static_cast<int>(lidos.Numero("--aba").value_or(1));
    pedido.primeiraLinha = lidos.Numero("--primeira-linha").value_or(1);
    pedido.ultimaLinha = lidos.Numero("--ultima-linha");
    if (opcoes.count("--mapa")) pedido.mapa = opcoes["--mapa"];
    if (opcoes.count("--cidades")) pedido.cidades = opcoes["--cidades"];
    if (opcoes.count("--relatorio")) pedido.relatorio = opcoes["--relatorio"];
    pedido.ensaiar = !opcoes.count("--sem-ensaio");
    return pedido;
}

// Writes the rehearsal's report, when one was asked for; raises ErroGravacao, after
// setting `perdido`.
void GravaRelatorio(const PedidoTerminal& pedido, const ResultadoEnsaio& ensaio, bool& perdido) {
    if (!pedido.relatorio) return;
    try {
        GravaRelatorioEnsaio(*pedido.relatorio, ensaio);
    } catch (const ErroGravacao&) {
        perdido = true;
        throw;
    }
}

// What a run left to be told.
struct Rodada {
    ResultadoConversao resultado;
    // The report could not be saved after the rehearsal: the run stopped there.
    bool relatorioPerdido = false;
    double segundos = 0;
    std::string avisoServidorLocal;
};

// Opens what the request names and runs it. None when an input was refused before the
// run (the message already given; status 2).
std::optional<Rodada> Roda(const PedidoTerminal& pedido) {
    // The map is read before anything else, the database included: a map that cannot
    // be used is the person's to mend first.
    std::optional<convert::MapaColunas> mapa;
    if (pedido.mapa) {
        try {
            mapa = convert::LeArquivoMapa(*pedido.mapa, pedido.tipo->Leiaute());
        } catch (const convert::ErroMapa& e) {
            MensagensTerminal().Erro(e.what());
            return std::nullopt;
        }
    }

    const auto inicio = std::chrono::steady_clock::now();
    ProgressoTerminal progresso;
    MensagensTerminal mensagens(&progresso);
    db::Conexao dbVantora;
    intake::TDMCotrolaExcel dmExcel;
    intake::TTabelaTemp cdsTabelaTemp;

    if (pedido.relatorio) {
        try {
            ConfereDestinoDoRelatorio(
                *pedido.relatorio, {{db::ArquivoDoBancoNestaMaquina(pedido.banco), "o banco"},
                                    {pedido.planilha, "a própria planilha"},
                                    {pedido.cidades.value_or(convert::TabelaDDD::ArquivoPadrao()),
                                     "a tabela de cidades"},
                                    {pedido.mapa.value_or(std::string()), "o mapa"}});
        } catch (const std::exception& e) {
            mensagens.Erro(e.what());
            return std::nullopt;
        }
    }
    dbVantora.DefineNomeBanco(pedido.banco);
    SeguraInterrupcao();
    try {
        dbVantora.Conecta();
    } catch (const db::ErroBanco& e) {
        mensagens.Erro(e.what());
        return std::nullopt;
    }
    CapturaInterrupcao();
    PedidoConversao conversao;
    conversao.arquivo = pedido.planilha;
    conversao.tipo = pedido.tipo->tipo;
    try {
        dmExcel.AbreArquivo(conversao.arquivo);
        const size_t abas = dmExcel.ListaPlanilhas().size();
        dmExcel.LiberaLista();
        if (static_cast<size_t>(pedido.aba) > abas) {
            mensagens.Erro("A planilha '" + CaminhoParaMensagem(conversao.arquivo) +
                           "' não tem a aba " + std::to_string(pedido.aba) + " (tem " +
                           std::to_string(abas) + ").");
            return std::nullopt;
        }
    } catch (const std::exception& e) {
        mensagens.Erro(e.what());
        return std::nullopt;
    }
    conversao.aba = pedido.aba;
    conversao.ultimaLinha = pedido.ultimaLinha;
    conversao.ateUltimaLinhaDaAba = !pedido.ultimaLinha;
    conversao.ensaiar = pedido.ensaiar;
    conversao.primeiraLinha = pedido.primeiraLinha;
    conversao.mapa = std::move(mapa);

    ExecucaoConversao execucao(dbVantora, dmExcel, cdsTabelaTemp, progresso, mensagens,
                               pedido.cidades.value_or(std::string()));
    IniciaConversaoInterrompivel();
    Rodada rodada;
    // The report is written as soon as the rehearsal ends, before the run writes
    // anything: one that cannot be saved stops the run with the database untouched.
    const auto GravaAposEnsaio = [&](const ResultadoEnsaio& ensaio) {
        GravaRelatorio(pedido, ensaio, rodada.relatorioPerdido);
    };
    rodada.resultado = pedido.soConferir ? execucao.Confere(conversao)
                                         : execucao.Converte(conversao, GravaAposEnsaio);
    progresso.Encerra();
    rodada.segundos =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    rodada.avisoServidorLocal = dbVantora.AvisoServidorLocal();
    return rodada;
}

// The rehearsal, when it is what the person is to read: always for conferir, and for a
// conversion it stopped. Its report is written then too.
void MostraConferencia(const PedidoTerminal& pedido, Rodada& rodada) {
    const ResultadoConversao& resultado = rodada.resultado;
    // A busy database stopped the rehearsal short: its counts say nothing of the sheet.
    const bool ocupado = resultado.desfecho == DesfechoConversao::Ocupado;
    if (resultado.ensaio.feito && !ocupado &&
        (pedido.soConferir || resultado.desfecho == DesfechoConversao::Reprovada)) {
        ImprimeEnsaio(resultado.ensaio);
        if (!rodada.relatorioPerdido) {
            try {
                GravaRelatorio(pedido, resultado.ensaio, rodada.relatorioPerdido);
            } catch (const ErroGravacao& e) {
                MensagensTerminal().Erro(e.what());
            }
        }
    }
    // What the rehearsal showed comes before what is said of its end.
    if (!rodada.relatorioPerdido && (resultado.desfecho == DesfechoConversao::Reprovada ||
                                     resultado.desfecho == DesfechoConversao::Conferida || ocupado))
        std::fflush(stdout);
}

// How a run ended, as the person is told and as the exit status says.
enum class Fim {
    RelatorioPerdido,         // the report was not saved; the database untouched
    ConferenciaInterrompida,  // a signal stopped the rehearsal
    Conferida,                // the rehearsal found nothing that would stop the run
    ConferenciaComFalhas,     // conferir: the rehearsal found rows that would stop it
    ConferenciaOcupada,       // conferir: the database was busy
    Reprovada,                // converter: the rehearsal stopped the run
    Ocupado,                  // converter: the database was busy; nothing was changed
    LeituraInterrompida,      // a signal stopped the reading of the sheet
    Recusada,                 // an input was refused, or the sheet could not be read
    Concluida,
    Falhou,                 // undone since the last commit
    ConversaoInterrompida,  // a signal stopped it: undone since the last commit
};

Fim FimDaRodada(const PedidoTerminal& pedido, const Rodada& rodada, bool interrupcao) {
    const DesfechoConversao desfecho = rodada.resultado.desfecho;
    if (rodada.relatorioPerdido) return Fim::RelatorioPerdido;
    if (desfecho == DesfechoConversao::Reprovada || desfecho == DesfechoConversao::Conferida ||
        desfecho == DesfechoConversao::Ocupado) {
        if (interrupcao) return Fim::ConferenciaInterrompida;
        if (desfecho == DesfechoConversao::Conferida) return Fim::Conferida;
        if (pedido.soConferir)
            return desfecho == DesfechoConversao::Ocupado ? Fim::ConferenciaOcupada
                                                          : Fim::ConferenciaComFalhas;
        return desfecho == DesfechoConversao::Ocupado ? Fim::Ocupado : Fim::Reprovada;
    }
    // A stop asked after the final commit changes nothing: the run succeeded.
    const bool interrompida = interrupcao && desfecho != DesfechoConversao::Concluida;
    if (interrompida && desfecho == DesfechoConversao::ErroLeitura) return Fim::LeituraInterrompida;
    if (desfecho == DesfechoConversao::Recusada || desfecho == DesfechoConversao::ErroLeitura)
        return Fim::Recusada;
    if (interrompida) return Fim::ConversaoInterrompida;
    return desfecho == DesfechoConversao::Concluida ? Fim::Concluida : Fim::Falhou;
}

int StatusDeSaida(Fim fim) {
    switch (fim) {
        case Fim::Conferida:
        case Fim::Concluida:
            return 0;
        case Fim::ConferenciaComFalhas:
        case Fim::ConferenciaOcupada:
        case Fim::Falhou:
            return 1;
        case Fim::ConferenciaInterrompida:
        case Fim::LeituraInterrompida:
        case Fim::ConversaoInterrompida:
            return SaidaDaInterrupcao();
        case Fim::RelatorioPerdido:
        case Fim::Reprovada:
        case Fim::Ocupado:
        case Fim::Recusada:
            break;
    }
    return 2;
}

// The tables' rows after the run, the references it created, its blank rows and
// warnings.
void ImprimeResumo(const PedidoTerminal& pedido, const Rodada& rodada) {
    const ResultadoConversao& resultado = rodada.resultado;
    std::printf("Resumo:\n");
    if (!rodada.avisoServidorLocal.empty())
        std::printf("  %s\n", ParaTerminal(rodada.avisoServidorLocal).c_str());
    // After a failure the tables hold what the last commit left, whoever wrote it.
    const bool concluida = resultado.desfecho == DesfechoConversao::Concluida;
    for (const LinhasTabela& t : resultado.linhasGravadas) {
        if (concluida) {
            std::printf("  %-15s %lld linhas gravadas\n", t.tabela.c_str(), t.linhas);
            continue;
        }
        // A table that could not be counted before has no figure to set beside.
        std::string antes;
        for (const LinhasTabela& a : resultado.linhasAntes)
            if (a.tabela == t.tabela)
                antes = " (" + std::to_string(a.linhas) + " antes da conversão)";
        std::printf("%s\n", ParaTerminal("  " + Alinhado(t.tabela, 15) + " " +
                                         std::to_string(t.linhas) + " linhas agora" + antes)
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
        std::printf("%s\n", ParaTerminal("  Avisos da conferência: " +
                                         std::to_string(resultado.ensaio.avisosPorGenero.Total()) +
                                         (pedido.relatorio ? "" : " (--relatorio grava a lista)"))
                                .c_str());
        ImprimeAvisosPorGenero(resultado.ensaio.avisosPorGenero);
    }
    std::printf("  Tempo: %.1f s\n", rodada.segundos);
}

void Diz(const std::string& texto) { std::fprintf(stderr, "%s\n", ParaTerminal(texto).c_str()); }

// What is said of the run's end: the summary of a run that wrote, and on stderr what
// became of the database. Endings the run itself already explained say nothing more.
void MostraFim(Fim fim, const PedidoTerminal& pedido, const Rodada& rodada) {
    const std::string avisoInterrompida =
        "Conversão interrompida (" + CausaDaInterrupcao() +
        "): a transação em andamento foi desfeita; fica no banco só o que foi confirmado antes.";
    switch (fim) {
        case Fim::RelatorioPerdido:
            Diz("Nada foi alterado no banco.");
            break;
        case Fim::ConferenciaInterrompida:
            Diz("Conferência interrompida (" + CausaDaInterrupcao() +
                "). Nada foi alterado no banco.");
            break;
        case Fim::Reprovada:
            Diz("A conferência encontrou " + std::to_string(rodada.resultado.ensaio.totalFalhas) +
                " problema(s) que parariam a conversão.\rNada foi alterado no banco.");
            break;
        case Fim::LeituraInterrompida:
            Diz(avisoInterrompida);
            break;
        case Fim::Concluida:
        case Fim::Falhou:
            ImprimeResumo(pedido, rodada);
            break;
        case Fim::ConversaoInterrompida:
            ImprimeResumo(pedido, rodada);
            Diz(avisoInterrompida);
            break;
        // The run already said the database is busy and that nothing was changed.
        case Fim::Conferida:
        case Fim::ConferenciaComFalhas:
        case Fim::ConferenciaOcupada:
        case Fim::Ocupado:
        case Fim::Recusada:
            break;
    }
}

int ConverteOuConfere(const Argumentos& args, bool soConferir) {
    const Comando& comando = ComandoChamado(soConferir ? "conferir" : "converter");
    std::optional<PedidoTerminal> pedido;
    try {
        pedido = LePedido(args, comando, soConferir);
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), comando);
    }
    if (!pedido) return MostraUso(comando);
    std::optional<Rodada> rodada = Roda(*pedido);
    if (!rodada) return 2;
    MostraConferencia(*pedido, *rodada);
    const Fim fim = FimDaRodada(*pedido, *rodada, InterrupcaoPedida());
    MostraFim(fim, *pedido, *rodada);
    return StatusDeSaida(fim);
}

}  // namespace

int ComandoConverter(const Argumentos& args) { return ConverteOuConfere(args, false); }

int ComandoConferir(const Argumentos& args) { return ConverteOuConfere(args, true); }

}  // namespace conversor::app
