// The .xlsx worksheet read in pieces on worker threads against the same worksheet read
// whole: cells, used area and failure must be the same (blocos_fuzz.h).
#include <cstdio>

#include "apoio_fuzz.h"
#include "blocos_fuzz.h"
#include "intake/leitor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static conversor::fuzz::ArquivoDaEntrada arquivo(".xlsx");
    conversor::fuzz::GravaPastaEmBlocos(arquivo.Caminho(), dados, tamanho);
    const auto leitor = conversor::intake::AbreLeitor(arquivo.Caminho());
    const auto emBlocos = conversor::fuzz::LeAbaGuardando(*leitor, 1);
    const auto inteira = conversor::fuzz::LeAbaGuardando(*leitor, 2);
    if (!(emBlocos == inteira)) {
        std::fprintf(stderr, "As leituras em blocos e inteira diferem: %s\n",
                     conversor::fuzz::Diferenca(emBlocos, inteira).c_str());
        __builtin_trap();
    }
    return 0;
}
