// Placeholder until the .xls/.csv readers land.
#include "intake/leitores.h"
namespace conversor::intake {
std::unique_ptr<LeitorPlanilha> AbreXls(const std::string& caminho) {
    throw ErroPlanilha("Formato ainda não suportado: " + caminho);
}
std::unique_ptr<LeitorPlanilha> AbreCsv(const std::string& caminho) {
    throw ErroPlanilha("Formato ainda não suportado: " + caminho);
}
}  // namespace conversor::intake
