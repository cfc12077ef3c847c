#include "db/esquema.h"

#include "db/conexao.h"

namespace conversor::db {

extern const char* const kEsquemaVantora;  // generated from schema/vantora.sql

const std::string& EsquemaVantora() {
    static const std::string esquema = kEsquemaVantora;
    return esquema;
}

void CriaBancoVantora(const std::string& nome) { Conexao::CriaBanco(nome, EsquemaVantora()); }

}  // namespace conversor::db
