// The reader of separated values: encodings, separators, quotes, line ends.
#include "apoio_fuzz.h"
#include "intake/leitores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static conversor::fuzz::ArquivoDaEntrada arquivo(".csv");
    conversor::fuzz::AbreELe(conversor::intake::AbreCsv, arquivo.Grava(dados, tamanho));
    return 0;
}
