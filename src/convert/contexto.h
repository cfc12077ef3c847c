// What a sheet mapping works with: the connection, the staging table, the progress
// display, the message display and the shared toolkit. The run owns all of them.
#pragma once

#include "convert/ferramentas.h"
#include "convert/mensagens.h"
#include "db/conexao.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {

struct ContextoConversao {
    db::Conexao& dbVantora;
    intake::TTabelaTemp& cdsTabelaTemp;
    intake::Progresso& progresso;
    Mensagens& mensagens;
    TFerramentas& ferramentas;
};

}  // namespace conversor::convert
