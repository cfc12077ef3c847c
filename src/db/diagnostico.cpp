#include "db/diagnostico.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#include "db/firebird_api.h"

namespace conversor::db {

namespace {

// The parts of a status vector that tell the failures apart.
struct Falha {
    std::vector<std::intptr_t> codigos;  // every error code, the main one first
    std::vector<std::string> textos;     // string arguments, in order
    std::string operacao;                // the operation of an I/O error ("open", "read", ...)
    int errnoSistema = 0;                // the operating system's error number, if any

    bool Tem(std::intptr_t codigo) const {
        return std::find(codigos.begin(), codigos.end(), codigo) != codigos.end();
    }
    bool TemTexto(std::string_view texto) const {
        return std::find(textos.begin(), textos.end(), texto) != textos.end();
    }
};

Falha Le(const std::intptr_t* v) {
    Falha f;
    bool depoisDeIo = false;
    for (; v && *v != isc_arg_end; v += 2) {
        switch (*v) {
            case isc_arg_gds:
                f.codigos.push_back(v[1]);
                depoisDeIo = v[1] == isc_io_error;
                break;
            case isc_arg_string:
            case isc_arg_interpreted:
                f.textos.emplace_back(reinterpret_cast<const char*>(v[1]));
                if (depoisDeIo && f.operacao.empty()) f.operacao = f.textos.back();
                break;
            case isc_arg_unix:
                if (!f.errnoSistema) f.errnoSistema = static_cast<int>(v[1]);
                break;
            case isc_arg_cstring:
                // Length and pointer: one argument more than the others.
                f.textos.emplace_back(reinterpret_cast<const char*>(v[2]),
                                      static_cast<size_t>(v[1]));
                ++v;
                break;
            default:
                break;
        }
    }
    return f;
}

const char* const kNaoEBanco = "O arquivo não é um banco de dados Firebird, ou está danificado.";

Diagnostico ErroDeArquivo(const Falha& f) {
    switch (f.errnoSistema) {
        case ENOENT:
            return {"O arquivo do banco não existe.", true};
        case EACCES:
        case EPERM:
            return {"Sem permissão de acesso ao arquivo do banco.", true};
        case ENOSPC:
        case EDQUOT:
            return {"Não há espaço livre no disco do banco. Libere espaço e converta de novo.",
                    true};
        case EROFS:
            return {"O disco em que está o banco é somente leitura.", true};
        case EISDIR:
            return {"O caminho do banco é uma pasta, não um arquivo.", true};
        case 0:
            // A short read without a system error: the file is not what it claims.
            if (f.operacao == "read") return {kNaoEBanco, true};
            break;
        default:
            break;
    }
    return {"Erro de leitura ou gravação no arquivo do banco.", true};
}

// What the database refused of one row: the row's own fault, not the database's.
Diagnostico DiagnosticaLinha(const Falha& f) {
    const auto Texto = [&f](size_t i) { return i < f.textos.size() ? f.textos[i] : std::string(); };
    if (f.Tem(isc_unique_key_violation)) {
        // The key's value comes as "("CAMPO" = 'valor')" after the constraint and table.
        std::string chave;
        for (const std::string& t : f.textos)
            if (t.size() > 2 && t.front() == '(') chave = " " + t;
        return {"Código repetido: a tabela " + Texto(1) + " já tem uma linha com a mesma chave" +
                    chave + ".",
                false};
    }
    if (f.Tem(isc_foreign_key))
        return {"Um código desta linha não existe no cadastro a que ele se refere (" + Texto(0) +
                    ", tabela " + Texto(1) + ").",
                false};
    if (f.Tem(isc_string_truncation))
        return {"Um texto desta linha é maior que o campo do banco que o recebe.", false};
    if (f.Tem(isc_not_valid))
        return {"O valor " + Texto(1) + " não é aceito pelo campo " + Texto(0) + " do banco.",
                false};
    if (f.Tem(isc_convert_error))
        return {"O texto \"" + Texto(0) + "\" não pôde ser convertido no tipo do campo do banco.",
                false};
    return {};
}

}  // namespace

const char* const kDadosEmUsoPorOutraConexao =
    "Os mesmos dados estão sendo alterados por outra conexão ao banco (outra conversão ou o "
    "Vantora).";

bool ArquivoEmUso(const std::intptr_t* erros) { return Le(erros).Tem(isc_already_opened); }

bool ChaveRecusada(const std::intptr_t* erros) {
    const Falha f = Le(erros);
    return f.Tem(isc_unique_key_violation) || f.Tem(isc_no_dup) || f.Tem(isc_foreign_key);
}

bool ServidorNaoResponde(const std::intptr_t* erros) {
    const Falha f = Le(erros);
    return f.Tem(isc_network_error) || f.Tem(isc_net_connect_err);
}

Diagnostico DiagnosticaFalha(const std::intptr_t* erros) {
    const Falha f = Le(erros);
    if (f.Tem(isc_already_opened))
        return {
            "O banco está aberto por outro programa (outra conversão, o Vantora ou um "
            "servidor Firebird). Espere que ele termine ou feche-o, e tente de novo.",
            true};
    if (f.Tem(isc_io_error)) return ErroDeArquivo(f);
    if (f.Tem(isc_bad_db_format)) return {kNaoEBanco, true};
    if (f.Tem(isc_wrong_ods))
        return {"O banco é de uma versão do Firebird que este programa não abre.", true};
    if (f.Tem(isc_no_priv)) {
        if (f.TemTexto("read-write") && f.TemTexto("database"))
            return {
                "O banco não pode ser aberto para gravação: o arquivo, ou o disco em que "
                "ele está, é somente leitura.",
                true};
        return {"O usuário do conversor não tem permissão para esta operação no banco.", true};
    }
    if (f.Tem(isc_read_only_database))
        return {
            "O banco está em modo somente leitura e nada pode ser gravado nele (o "
            "administrador o libera com gfix -mode read_write).",
            true};
    if (f.Tem(isc_shutdown) || f.Tem(isc_shutinprog))
        return {
            "O banco está fechado para manutenção (shutdown) e não aceita conexões; o "
            "administrador o reabre com gfix -online.",
            true};
    if (f.Tem(isc_att_shutdown) || f.Tem(isc_conn_lost) || f.Tem(isc_lost_db_connection) ||
        f.Tem(isc_network_error) || f.Tem(isc_net_read_err) || f.Tem(isc_net_write_err))
        return {"A conexão com o banco foi perdida: o banco foi fechado ou o servidor parou.",
                true};
    if (f.Tem(isc_dsql_relation_err))
        return {
            "Uma tabela que a conversão usa não existe no banco: ele não tem a estrutura "
            "do Vantora que o conversor espera.",
            true};
    if (f.Tem(isc_dsql_field_err))
        return {
            "Uma coluna que a conversão usa não existe no banco: ele não tem a estrutura "
            "do Vantora que o conversor espera.",
            true};
    if (f.Tem(isc_db_corrupt) || f.Tem(isc_bug_check))
        return {"O banco está danificado; valide-o (gfix -v -full) antes de usá-lo.", true};
    if (f.Tem(isc_deadlock) || f.Tem(isc_update_conflict) || f.Tem(isc_lock_conflict) ||
        f.Tem(isc_lock_timeout))
        return {kDadosEmUsoPorOutraConexao, true, true};
    return DiagnosticaLinha(f);
}

}  // namespace conversor::db
