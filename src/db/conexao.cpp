#include "db/conexao.h"

#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/regional.h"
#include "db/diagnostico.h"
#include "db/firebird_api.h"
#include "db/parametros.h"

namespace conversor::db {

namespace fb {

Firebird::IMaster* Mestre() {
    static Firebird::IMaster* mestre = Firebird::fb_get_master_interface();
    return mestre;
}

ErroBanco ErroDe(Firebird::IStatus* status) {
    char texto[4096];
    Firebird::IUtil* util = Mestre()->getUtilInterface();
    util->formatStatus(texto, sizeof texto, status);
    std::string sqlState;
    // The SQLSTATE travels as a string argument after isc_arg_sql_state.
    for (const intptr_t* v = status->getErrors(); v && *v != isc_arg_end; v += 2) {
        if (*v == isc_arg_sql_state) sqlState = reinterpret_cast<const char*>(v[1]);
    }
    const Diagnostico diagnostico = DiagnosticaFalha(status->getErrors());
    std::string mensagem = texto;
    if (!diagnostico.explicacao.empty()) mensagem = diagnostico.explicacao + "\r" + mensagem;
    return ErroBanco(mensagem, sqlState, diagnostico.grave, diagnostico.ocupado);
}

}  // namespace fb

namespace {

// "host:path" and "host/port:path" name a database on a server; anything else is a
// file that the embedded engine opens.
bool NoServidor(const std::string& nome) {
    const size_t doisPontos = nome.find(':');
    if (doisPontos == std::string::npos || doisPontos == 0) return false;
    if (nome[0] == '/' || nome[0] == '.') return false;
    const std::string host = nome.substr(0, doisPontos);
    const size_t barra = host.find('/');
    if (barra == std::string::npos) return true;
    for (size_t i = barra + 1; i < host.size(); ++i)
        if (host[i] < '0' || host[i] > '9') return false;
    return barra + 1 < host.size();
}

bool HostDestaMaquina(const std::string& host) {
    if (host == "localhost" || host.rfind("127.", 0) == 0) return true;
    char nome[256] = {};
    return gethostname(nome, sizeof nome - 1) == 0 && host == nome;
}

// File names go to Firebird as UTF-8 (isc_dpb_utf8_filename), and the embedded
// engine turns them into the file system's bytes with the character set of the
// locale it first meets. On Linux those bytes are UTF-8 whatever LANG says, so the
// calls that name a file run under a UTF-8 locale of this thread alone: under
// LANG=C the engine would otherwise refuse every accented folder.
class LocaleUtf8 {
public:
    LocaleUtf8() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {
        if (utf8_) anterior_ = uselocale(utf8_);
    }
    ~LocaleUtf8() {
        if (!utf8_) return;
        uselocale(anterior_);
        freelocale(utf8_);
    }
    LocaleUtf8(const LocaleUtf8&) = delete;
    LocaleUtf8& operator=(const LocaleUtf8&) = delete;

private:
    locale_t utf8_;
    locale_t anterior_ = static_cast<locale_t>(0);
};

// A failure to open or create the file `nome`: the message names it as typed, and
// so does Firebird's own text, which holds it in the file system's bytes, as given
// or expanded to a full path.
std::string FalhaNoArquivo(const std::string& inicio, const std::string& nome,
                           std::string_view textoFirebird) {
    std::vector<std::string> formas{nome};
    std::error_code erro;
    const std::filesystem::path absoluto = std::filesystem::absolute(nome, erro);
    if (!erro) formas.push_back(absoluto.string());
    const std::filesystem::path canonico = std::filesystem::weakly_canonical(nome, erro);
    if (!erro) formas.push_back(canonico.string());
    std::sort(formas.begin(), formas.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    std::string r = inicio + " '" + CaminhoParaMensagem(nome) + "'.\r";
    for (size_t i = 0; i < textoFirebird.size();) {
        const auto forma = std::find_if(formas.begin(), formas.end(), [&](const std::string& f) {
            return !f.empty() && textoFirebird.substr(i, f.size()) == f;
        });
        if (forma != formas.end()) {
            r += CaminhoParaMensagem(*forma);
            i += forma->size();
        } else {
            r += textoFirebird[i++];
        }
    }
    return r;
}

// Each call to getDispatcher hands out a reference of its own.
fb::Posse<Firebird::IProvider> Despachante() { return fb::Posse(fb::Mestre()->getDispatcher()); }

std::vector<unsigned char> ParametrosConexao(const std::string& nome, bool criacao) {
    return fb::Chama([&](Firebird::ThrowStatusWrapper* s) {
        const fb::Posse<Firebird::IXpbBuilder> dpb(fb::Mestre()->getUtilInterface()->getXpbBuilder(
            s, Firebird::IXpbBuilder::DPB, nullptr, 0));
        dpb->insertString(s, isc_dpb_user_name, kUsuarioSysdba);
        dpb->insertString(s, isc_dpb_password, kSenhaSysdba);
        dpb->insertInt(s, isc_dpb_sql_dialect, 1);
        dpb->insertTag(s, isc_dpb_utf8_filename);
        if (criacao) {
            dpb->insertInt(s, isc_dpb_set_db_sql_dialect, 1);
            dpb->insertString(s, isc_dpb_set_db_charset, "WIN1252");
            dpb->insertInt(s, isc_dpb_page_size, 8192);
        }
        if (!NoServidor(nome)) dpb->insertString(s, isc_dpb_config, "Providers=Engine12");
        const unsigned char* buffer = dpb->getBuffer(s);
        return std::vector<unsigned char>(buffer, buffer + dpb->getBufferLength(s));
    });
}

// What a refused connection says, where it changes what Conecta tries next.
struct Recusa {
    bool arquivoEmUso = false;
    bool semServidor = false;
};

fb::Posse<Firebird::IAttachment> Anexa(const std::string& nome, Recusa& recusa) {
    const std::vector<unsigned char> dpb = ParametrosConexao(nome, false);
    const LocaleUtf8 localeUtf8;
    return fb::Chama([&](Firebird::ThrowStatusWrapper* s) {
        try {
            return fb::Posse(Despachante()->attachDatabase(
                s, nome.c_str(), static_cast<unsigned>(dpb.size()), dpb.data()));
        } catch (const Firebird::FbException& e) {
            recusa.arquivoEmUso = ArquivoEmUso(e.getStatus()->getErrors());
            recusa.semServidor = ServidorNaoResponde(e.getStatus()->getErrors());
            throw;
        }
    });
}

}  // namespace

Transacao::Transacao(Conexao& conexao) : conexao_(conexao) {}

void Transacao::Inicia() {
    if (atual_) throw ErroBanco("A transação já está ativa.");
    Firebird::IAttachment* anexo = conexao_.Anexo();
    atual_ = fb::Posse(fb::Chama([&](Firebird::ThrowStatusWrapper* s) {
        // The database's default (concurrency, read-write, waiting on locks), with the
        // wait bounded.
        const fb::Posse<Firebird::IXpbBuilder> tpb(fb::Mestre()->getUtilInterface()->getXpbBuilder(
            s, Firebird::IXpbBuilder::TPB, nullptr, 0));
        tpb->insertTag(s, isc_tpb_concurrency);
        tpb->insertTag(s, isc_tpb_write);
        tpb->insertTag(s, isc_tpb_wait);
        tpb->insertInt(s, isc_tpb_lock_timeout, kEsperaPorTravaSegundos);
        return anexo->startTransaction(s, tpb->getBufferLength(s), tpb->getBuffer(s));
    }));
}

void Transacao::Confirma() {
    if (conexao_.Ensaio()) return;
    if (!atual_) throw ErroBanco("Nenhuma transação ativa para confirmar.");
    fb::Chama([&](Firebird::ThrowStatusWrapper* s) { atual_->commit(s); });
    atual_.Esquece();
}

void Transacao::Desfaz() {
    if (!atual_) throw ErroBanco("Nenhuma transação ativa para desfazer.");
    fb::Posse<Firebird::ITransaction> t = std::move(atual_);
    fb::Chama([&](Firebird::ThrowStatusWrapper* s) { t->rollback(s); });
    t.Esquece();
}

Firebird::ITransaction* Transacao::Corrente() {
    if (!atual_) Inicia();
    return atual_.get();
}

void Transacao::Abandona() { atual_.Libera(); }

const char* const kNaoConectado = "O banco de dados não está conectado.";

void Conexao::ExigeConexao() const {
    if (!anexo_) throw ErroBanco(kNaoConectado, {}, true);
}

GuardaTransacao::~GuardaTransacao() {
    try {
        if (conexao_.DBTransaction().Ativa()) conexao_.DBTransaction().Desfaz();
    } catch (const std::exception&) {
        // The connection is gone, and the database undid the transaction with it.
    }
}

void GuardaTransacao::Confirma() {
    if (conexao_.DBTransaction().Ativa()) conexao_.DBTransaction().Confirma();
}

Conexao::Conexao() = default;

Conexao::~Conexao() {
    try {
        Desconecta();
    } catch (...) {
        // Nothing more can be done for a connection that fails while closing.
    }
}

void Conexao::Conecta() {
    if (anexo_) return;
    nomeServidorLocal_.clear();
    Recusa recusa;
    try {
        anexo_ = Anexa(nomeBanco_, recusa);
    } catch (const ErroBanco& e) {
        std::string mensagem =
            FalhaNoArquivo("Não foi possível conectar ao banco", nomeBanco_, e.what());
        if (recusa.arquivoEmUso && !NoServidor(nomeBanco_))
            anexo_ = AnexaPeloServidorLocal(mensagem);
        if (!anexo_) throw ErroBanco(mensagem, e.SqlState(), e.Grave());
    }
    ++geracao_;
}

// The file is the one the user chose, so the server is asked for it by its full path.
// Should the server be absent or refuse too, `recusa` (the embedded engine's refusal)
// gets what the user can still do.
fb::Posse<Firebird::IAttachment> Conexao::AnexaPeloServidorLocal(std::string& recusa) {
    std::error_code erro;
    const std::filesystem::path caminho = std::filesystem::absolute(nomeBanco_, erro);
    const std::string nome =
        "localhost:" + (erro ? nomeBanco_ : caminho.lexically_normal().string());
    Recusa recusaServidor;
    try {
        fb::Posse<Firebird::IAttachment> anexo = Anexa(nome, recusaServidor);
        nomeServidorLocal_ = nome;
        return anexo;
    } catch (const ErroBanco& e) {
        if (!recusaServidor.semServidor && !recusaServidor.arquivoEmUso)
            recusa += "\rO servidor Firebird deste computador também recusou a conexão (" +
                      CaminhoParaMensagem(nome) + "):\r" + e.what();
        recusa +=
            "\rSe quem o mantém aberto é o servidor Firebird de outro computador, converta pela "
            "linha de comando informando o banco como servidor:caminho (conversor converter "
            "--banco servidor:/caminho/do/banco.fdb ...).";
        return {};
    }
}

std::string Conexao::AvisoServidorLocal() const {
    if (!anexo_ || nomeServidorLocal_.empty()) return {};
    return "Conectado pelo servidor Firebird deste computador (" +
           CaminhoParaMensagem(nomeServidorLocal_) + ").";
}

void Conexao::Desconecta() {
    if (!anexo_) return;
    ++geracao_;
    if (transacao_.Ativa()) {
        try {
            transacao_.Desfaz();
        } catch (const ErroBanco&) {
            transacao_.Abandona();
        }
    }
    fb::Posse<Firebird::IAttachment> anexo = std::move(anexo_);
    nomeServidorLocal_.clear();
    fb::Chama([&](Firebird::ThrowStatusWrapper* s) { anexo->detach(s); });
    anexo.Esquece();
}

Firebird::IAttachment* Conexao::Anexo() {
    // A run checks its connection before its first statement (ExigeConexao); a toolkit
    // used without one fails each call on its own, as any other refused statement.
    if (!anexo_) throw ErroBanco(kNaoConectado);
    return anexo_.get();
}

void Conexao::CriaBanco(const std::string& nome, const std::string& script) {
    if (!NoServidor(nome) && std::filesystem::exists(nome))
        throw ErroBanco("O arquivo '" + CaminhoParaMensagem(nome) +
                        "' já existe; escolha outro nome.");
    const std::vector<unsigned char> dpb = ParametrosConexao(nome, true);
    Conexao conexao;
    conexao.nomeBanco_ = nome;
    try {
        const LocaleUtf8 localeUtf8;
        conexao.anexo_ = fb::Posse(fb::Chama([&](Firebird::ThrowStatusWrapper* s) {
            return Despachante()->createDatabase(s, nome.c_str(), static_cast<unsigned>(dpb.size()),
                                                 dpb.data());
        }));
    } catch (const ErroBanco& e) {
        throw ErroBanco(FalhaNoArquivo("Não foi possível criar o banco", nome, e.what()),
                        e.SqlState());
    }
    // Each statement of the script ends with ";" at the end of a line.
    Firebird::IAttachment* anexo = conexao.anexo_.get();
    std::string comando;
    size_t inicio = 0;
    auto executa = [&](const std::string& sql) {
        Firebird::ITransaction* t = conexao.transacao_.Corrente();
        fb::Chama([&](Firebird::ThrowStatusWrapper* s) {
            anexo->execute(s, t, 0, sql.c_str(), 1, nullptr, nullptr, nullptr, nullptr);
        });
        conexao.transacao_.Confirma();
    };
    try {
        while (inicio < script.size()) {
            size_t fim = script.find('\n', inicio);
            if (fim == std::string::npos) fim = script.size();
            std::string linha = AparaDireita(std::string_view(script).substr(inicio, fim - inicio));
            inicio = fim + 1;
            if (Apara(linha).rfind("--", 0) == 0) continue;
            comando += linha;
            comando += '\n';
            if (!linha.empty() && linha.back() == ';') {
                comando.erase(comando.find_last_of(';'));
                executa(comando);
                comando.clear();
            }
        }
        if (!Apara(comando).empty()) executa(comando);
    } catch (const ErroBanco& e) {
        // A half-made database is of no use to anyone: remove the file.
        conexao.transacao_.Abandona();
        try {
            fb::Chama([&](Firebird::ThrowStatusWrapper* s) { anexo->dropDatabase(s); });
            conexao.anexo_.Esquece();
        } catch (const ErroBanco&) {
        }
        throw ErroBanco(FalhaNoArquivo("Não foi possível criar o banco", nome, e.what()),
                        e.SqlState());
    }
    conexao.Desconecta();
}

std::string ArquivoDoBancoNestaMaquina(const std::string& nome) {
    if (!NoServidor(nome)) return nome;
    const size_t doisPontos = nome.find(':');
    const std::string host = nome.substr(0, std::min(nome.find('/'), doisPontos));
    return HostDestaMaquina(host) ? nome.substr(doisPontos + 1) : std::string();
}

}  // namespace conversor::db
