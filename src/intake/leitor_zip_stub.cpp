// Placeholder until the .xlsx/.ods readers land.
#include "intake/leitores.h"
namespace conversor::intake {
std::unique_ptr<LeitorPlanilha> AbrePacoteZip(const std::string& caminho) {
    throw ErroPlanilha("Formato ainda não suportado: " + caminho);
}
}  // namespace conversor::intake
