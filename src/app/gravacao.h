// The files the program writes (the rehearsal's report, the template workbook): never
// one of the files it reads, and never a write that fails unnoticed.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

struct lxw_workbook;

namespace conversor::app {

// A file the program could not write; the message (Windows-1252) names it and says why.
class ErroGravacao : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file the run reads, and how a message names it ("o banco").
struct ArquivoLido {
    std::string caminho;
    const char* papel;
};

// Raises ErroGravacao when `arquivo` is one of `lidos`, through links too. `nome` is
// how the message names the file written ("O relatório 'x.xlsx'").
void RecusaSobreArquivoLido(const std::string& arquivo, const std::string& nome,
                            const std::vector<ArquivoLido>& lidos);

// Why a file could not be created or written, in the user's words (an errno value).
std::string PorQueNaoGrava(int erro);

// Builds a workbook with `preenche` and writes it to `arquivo`, replacing a file of
// that name. The library builds it in a temporary file first, and the bytes are then
// copied with every write checked, so that a full disk or a device that takes nothing
// is reported; the library's own English lines never reach the terminal. Raises
// ErroGravacao, with `nome` leading the message, and leaves no partial new file.
void GravaPastaXlsx(const std::string& arquivo, const std::string& nome,
                    const std::function<void(lxw_workbook*)>& preenche);

}  // namespace conversor::app
