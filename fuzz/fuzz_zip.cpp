// Whole .xlsx and .ods files as bytes: the zip layer (directory, sizes, compression,
// checksums) under the readers.
#include "apoio_fuzz.h"
#include "intake/leitor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static conversor::fuzz::ArquivoDaEntrada arquivo(".xlsx");
    conversor::fuzz::AbreELe(conversor::intake::AbreLeitor, arquivo.Grava(dados, tamanho));
    return 0;
}
