#include "convert/mapeamentos.h"

namespace conversor::convert {

// This record kind's sheet layout is not converted yet: nothing is written.
void ConverteProdutos(ContextoConversao&) {}

}  // namespace conversor::convert
