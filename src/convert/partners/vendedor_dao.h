// Writes seller records into VENDEND.
#pragma once

#include "convert/colunas.h"
#include "convert/mensagens.h"
#include "convert/partners/registro_vendedor.h"
#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::convert {

// Cleans each value of the record to its column (cut, zero-padded, digits only) and
// inserts the row with a parameterised INSERT in the connection's transaction. Its
// one query stays prepared from one seller to the next. The connection and the
// message display are not owned and must outlive it.
class TVendedorDAO {
public:
    TVendedorDAO(db::Conexao& database, Mensagens& mensagens);
    TVendedorDAO(const TVendedorDAO&) = delete;
    TVendedorDAO& operator=(const TVendedorDAO&) = delete;

    // True when the row was written. A row the database refuses (a repeated code, a
    // value the column rejects) is shown as a warning and gives false; the
    // transaction goes on. Errors before the row reaches the database are raised.
    bool Inserir(const TRegistroVendedor& registro);

private:
    Mensagens& mensagens_;
    db::Consulta query_;
    InsertComParametros<TCamposVendedor, TRegistroVendedor> insert_;
};

}  // namespace conversor::convert
