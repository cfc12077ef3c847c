// The .xls reader: OLE2 compound files and bare BIFF streams (Excel 2.x to 97-2003).
#include "apoio_fuzz.h"
#include "intake/leitores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static conversor::fuzz::ArquivoDaEntrada arquivo(".xls");
    conversor::fuzz::AbreELe(conversor::intake::AbreXls, arquivo.Grava(dados, tamanho));
    return 0;
}
