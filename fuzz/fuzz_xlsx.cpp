// The .xlsx reader on packages whose parts (workbook, relationships, worksheets, shared
// texts) come from the fuzzer; seeds are the parts of real workbooks.
#include "apoio_fuzz.h"
#include "intake/leitor.h"
#include "pacote_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static conversor::fuzz::ArquivoDaEntrada arquivo(".xlsx");
    conversor::fuzz::GravaPacote(arquivo.Caminho(), dados, tamanho);
    conversor::fuzz::AbreELe(conversor::intake::AbreLeitor, arquivo.Caminho());
    return 0;
}
