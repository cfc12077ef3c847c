// The Vantora tables this program writes, for a database to try and test it on.
#pragma once

#include <string>

namespace conversor::db {

// The script that creates the thirteen tables (SQL dialect 1), built into the program.
const std::string& EsquemaVantora();

// Creates an empty Vantora database file with those tables; refuses an existing file.
void CriaBancoVantora(const std::string& nome);

}  // namespace conversor::db
