// The city table DCETCIDA.DBF (dBASE) as shapelib and TabelaDDD read it.
#include "apoio_fuzz.h"
#include "convert/tabela_ddd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static conversor::fuzz::ArquivoDaEntrada arquivo(".DBF");
    try {
        const conversor::convert::TabelaDDD tabela(arquivo.Grava(dados, tamanho));
        if (tabela.Tamanho() > 0) (void)tabela.Procura("SAO PAULO", "SP");
    } catch (const conversor::convert::ErroTabelaCidades&) {
    }
    return 0;
}
