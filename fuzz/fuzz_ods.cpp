// The .ods reader on packages whose parts (mimetype, content.xml) come from the fuzzer;
// seeds are the parts of real spreadsheets.
#include "apoio_fuzz.h"
#include "intake/leitor.h"
#include "pacote_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static conversor::fuzz::ArquivoDaEntrada arquivo(".ods");
    conversor::fuzz::GravaPacote(arquivo.Caminho(), dados, tamanho);
    conversor::fuzz::AbreELe(conversor::intake::AbreLeitor, arquivo.Caminho());
    return 0;
}
