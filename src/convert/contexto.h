// What a sheet mapping works with: the connection, the staging table, the progress
// display, the message display and the shared toolkit, which the run owns, and how
// the rows' statements are sent.
#pragma once

#include "convert/ensaio.h"
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
    // The rows' statements prepared once and run with their values bound, or each
    // row sent as its own text (the reference the prepared way is checked against).
    bool comandosPreparados = true;
    // Where the rows' problems go: while the run is rehearsed, a row that fails is noted
    // here and the walk goes on with the next one.
    Ensaio& ensaio = Ensaio::Nenhum();
};

}  // namespace conversor::convert
