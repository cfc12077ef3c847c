#include "db/consulta.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "base/regional.h"
#include "db/diagnostico.h"
#include "db/firebird_api.h"
#include "db/parametros.h"

namespace conversor::db {

using Firebird::ThrowStatusWrapper;

namespace {

// The engine checks its lock waits once a second, so a wait that ran out took at least
// this long; a key checked without waiting takes a tiny fraction of it.
constexpr std::chrono::seconds kEsperaQueSeEsgotou(kEsperaPorTravaSegundos - 1);

}  // namespace

struct Consulta::Valor {
    enum class Tipo { Nulo, Texto, Double, Inteiro, DataHora, Blob };
    std::string nome;
    Tipo tipo = Tipo::Nulo;
    std::string texto;
    double numero = 0;
    std::int32_t inteiro = 0;

    void Define(Tipo t, std::string_view valor) {
        tipo = t;
        texto.assign(valor);
    }
    void Define(Tipo t, double valor) {
        tipo = t;
        numero = valor;
    }
    void Define(std::int32_t valor) {
        tipo = Tipo::Inteiro;
        inteiro = valor;
    }
};

namespace {

// Day 0 of the program's dates (30 December 1899) in Firebird's day count, which
// starts on 17 November 1858.
constexpr int kDia0Firebird = 15018;
// Character set NONE: texts pass as the bytes they are.
constexpr unsigned kCharsetNone = 0;
constexpr double kFracoesPorDia = 86400.0 * ISC_TIME_SECONDS_PRECISION;
// The longest text a parameter takes, and up to which length its room is rounded up.
constexpr size_t kMaiorTexto = 32765;
constexpr unsigned kFolga = 1024;

ISC_TIMESTAMP ParaTimestamp(double dataHora) {
    const double dias = std::trunc(dataHora);
    double fracao = std::fabs(dataHora - dias);
    auto tempo = static_cast<long long>(std::llround(fracao * kFracoesPorDia));
    long long dia = static_cast<long long>(dias) + kDia0Firebird;
    if (tempo >= static_cast<long long>(kFracoesPorDia)) {
        tempo -= static_cast<long long>(kFracoesPorDia);
        ++dia;
    }
    ISC_TIMESTAMP ts;
    ts.timestamp_date = static_cast<ISC_DATE>(dia);
    ts.timestamp_time = static_cast<ISC_TIME>(tempo);
    return ts;
}

double DeTimestamp(ISC_DATE data, ISC_TIME tempo) {
    return static_cast<double>(data - kDia0Firebird) + tempo / kFracoesPorDia;
}

std::string HoraTexto(ISC_TIME tempo) {
    const unsigned segundos = tempo / ISC_TIME_SECONDS_PRECISION;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", segundos / 3600, segundos / 60 % 60,
                  segundos % 60);
    return buf;
}

}  // namespace

struct Consulta::Posicao {
    Valor::Tipo tipo = Valor::Tipo::Nulo;
    unsigned capacidade = 0;  // of a text: the longest it takes without a new layout
    unsigned dado = 0;        // offsets in the message
    unsigned nulo = 0;
};

Consulta::Consulta(Conexao& conexao) : conexao_(conexao) {}

Consulta::~Consulta() {
    try {
        LiberaPreparo();
    } catch (...) {
        // A statement that fails to close leaves nothing for us to do.
    }
}

void Consulta::DefineSql(std::string_view sql) {
    Fecha();
    if (sql == sql_ && (preparo_ || commit_)) {
        // Same text: the preparation and the names stay, only the values start over.
        for (Valor& v : valores_) v.tipo = Valor::Tipo::Nulo;
        return;
    }
    LiberaPreparo();
    sql_ = std::string(sql);
    commit_ = EhComandoCommit(sql_);
    valores_.clear();
    valorDaPosicao_.clear();
    nomes_.clear();
    sqlPosicional_.clear();
    if (commit_) return;
    TextoPosicional posicional = TraduzParametros(sql_);
    sqlPosicional_ = std::move(posicional.sql);
    nomes_ = std::move(posicional.nomes);
    for (const std::string& nome : nomes_) {
        auto it = std::find_if(valores_.begin(), valores_.end(),
                               [&](const Valor& v) { return v.nome == nome; });
        if (it == valores_.end()) {
            valores_.push_back(Valor{nome, Valor::Tipo::Nulo, {}, 0, 0});
            it = valores_.end() - 1;
        }
        valorDaPosicao_.push_back(static_cast<int>(it - valores_.begin()));
    }
}

Consulta::Valor& Consulta::Parametro(std::string_view nome) {
    const std::string chave = Maiusculas(nome);
    for (Valor& v : valores_)
        if (v.nome == chave) return v;
    throw ErroBanco("Parâmetro '" + std::string(nome) + "' não encontrado.");
}

int Consulta::NumeroParametros() const { return static_cast<int>(valores_.size()); }

Consulta::Valor& Consulta::Parametro(int posicao) {
    if (posicao < 0 || posicao >= NumeroParametros())
        throw ErroBanco("Parâmetro " + std::to_string(posicao + 1) + " não encontrado: \"" + sql_ +
                        "\" tem " + std::to_string(valores_.size()) + ".");
    return valores_[static_cast<size_t>(posicao)];
}

void Consulta::ParamTexto(std::string_view nome, std::string_view valor) {
    Parametro(nome).Define(Valor::Tipo::Texto, valor);
}

void Consulta::ParamDouble(std::string_view nome, double valor) {
    Parametro(nome).Define(Valor::Tipo::Double, valor);
}

void Consulta::ParamInteiro(std::string_view nome, std::int32_t valor) {
    Parametro(nome).Define(valor);
}

void Consulta::ParamDataHora(std::string_view nome, double dataHora) {
    Parametro(nome).Define(Valor::Tipo::DataHora, dataHora);
}

void Consulta::ParamBlobTexto(std::string_view nome, std::string_view valor) {
    Parametro(nome).Define(Valor::Tipo::Blob, valor);
}

void Consulta::ParamNulo(std::string_view nome) { Parametro(nome).tipo = Valor::Tipo::Nulo; }

void Consulta::ParamTexto(int posicao, std::string_view valor) {
    Parametro(posicao).Define(Valor::Tipo::Texto, valor);
}

void Consulta::ParamDouble(int posicao, double valor) {
    Parametro(posicao).Define(Valor::Tipo::Double, valor);
}

void Consulta::ParamInteiro(int posicao, std::int32_t valor) { Parametro(posicao).Define(valor); }

void Consulta::ParamDataHora(int posicao, double dataHora) {
    Parametro(posicao).Define(Valor::Tipo::DataHora, dataHora);
}

void Consulta::ParamBlobTexto(int posicao, std::string_view valor) {
    Parametro(posicao).Define(Valor::Tipo::Blob, valor);
}

void Consulta::ParamNulo(int posicao) { Parametro(posicao).tipo = Valor::Tipo::Nulo; }

void Consulta::Prepara() {
    if (preparo_ && geracaoPreparo_ == conexao_.Geracao()) return;
    LiberaPreparo();
    Firebird::IAttachment* anexo = conexao_.Anexo();
    Firebird::ITransaction* transacao = conexao_.DBTransaction().Corrente();
    preparo_ = fb::Posse(fb::Chama([&](ThrowStatusWrapper* s) {
        return anexo->prepare(s, transacao, static_cast<unsigned>(sqlPosicional_.size()),
                              sqlPosicional_.c_str(), 1,
                              Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    }));
    geracaoPreparo_ = conexao_.Geracao();
    fb::Chama([&](ThrowStatusWrapper* s) {
        tipoComando_ = preparo_->getType(s);
        saida_ = fb::Posse(preparo_->getOutputMetadata(s));
        bufferSaida_.assign(saida_->getMessageLength(s), 0);
        nomesCampos_.clear();
        const unsigned n = saida_->getCount(s);
        for (unsigned i = 0; i < n; ++i) nomesCampos_.push_back(Maiusculas(saida_->getAlias(s, i)));
    });
}

void Consulta::ExigeTextosCabem() const {
    for (const Valor& v : valores_)
        if (v.tipo == Valor::Tipo::Texto && v.texto.size() > kMaiorTexto)
            throw ErroBanco("Texto longo demais para o parâmetro " + v.nome + ".");
}

void Consulta::MontaEntrada() {
    const unsigned n = static_cast<unsigned>(nomes_.size());
    if (n == 0) return;
    // Layout is kept while every position keeps its type and its text fits: a null
    // fits any type, and a text gets room to grow so that the next rows' texts,
    // mostly of similar lengths, fit too (a text is sent with its own length, so
    // the room is never seen by the database).
    bool refaz = !entrada_ || posicoes_.size() != n;
    for (unsigned p = 0; p < n && !refaz; ++p) {
        const Valor& v = valores_[valorDaPosicao_[p]];
        if (v.tipo == Valor::Tipo::Nulo) continue;
        refaz = v.tipo != posicoes_[p].tipo ||
                (v.tipo == Valor::Tipo::Texto && v.texto.size() > posicoes_[p].capacidade);
    }
    if (!refaz) return;

    std::vector<Posicao> novas(n);
    for (unsigned p = 0; p < n; ++p) {
        const Valor& v = valores_[valorDaPosicao_[p]];
        const Posicao* antiga = p < posicoes_.size() ? &posicoes_[p] : nullptr;
        Posicao& nova = novas[p];
        nova.tipo = v.tipo;
        if (v.tipo == Valor::Tipo::Nulo)
            nova.tipo =
                antiga && antiga->tipo != Valor::Tipo::Nulo ? antiga->tipo : Valor::Tipo::Texto;
        if (nova.tipo == Valor::Tipo::Texto) {
            const unsigned preciso = std::max(
                1u, v.tipo == Valor::Tipo::Texto ? static_cast<unsigned>(v.texto.size()) : 1u);
            const unsigned tinha =
                antiga && antiga->tipo == Valor::Tipo::Texto ? antiga->capacidade : 0;
            nova.capacidade = preciso <= tinha ? tinha
                              : preciso > kFolga
                                  ? preciso
                                  : std::min(kFolga, std::max({preciso, 2 * tinha, 32u}));
        }
    }
    LiberaEntrada();
    posicoes_.clear();
    fb::Chama([&](ThrowStatusWrapper* s) {
        const fb::Posse<Firebird::IMetadataBuilder> construtor(
            fb::Mestre()->getMetadataBuilder(s, n));
        for (unsigned p = 0; p < n; ++p) {
            switch (novas[p].tipo) {
                case Valor::Tipo::Nulo:
                case Valor::Tipo::Texto:
                    construtor->setType(s, p, SQL_VARYING + 1);
                    construtor->setLength(s, p, novas[p].capacidade);
                    construtor->setCharSet(s, p, kCharsetNone);
                    break;
                case Valor::Tipo::Double:
                    construtor->setType(s, p, SQL_DOUBLE + 1);
                    construtor->setLength(s, p, sizeof(double));
                    break;
                case Valor::Tipo::Inteiro:
                    construtor->setType(s, p, SQL_LONG + 1);
                    construtor->setLength(s, p, sizeof(ISC_LONG));
                    construtor->setScale(s, p, 0);
                    break;
                case Valor::Tipo::DataHora:
                    construtor->setType(s, p, SQL_TIMESTAMP + 1);
                    construtor->setLength(s, p, sizeof(ISC_TIMESTAMP));
                    break;
                case Valor::Tipo::Blob:
                    construtor->setType(s, p, SQL_BLOB + 1);
                    construtor->setSubType(s, p, isc_blob_text);
                    construtor->setCharSet(s, p, kCharsetNone);
                    construtor->setLength(s, p, sizeof(ISC_QUAD));
                    break;
            }
        }
        fb::Posse<Firebird::IMessageMetadata> meta(construtor->getMetadata(s));
        for (unsigned p = 0; p < n; ++p) {
            novas[p].dado = meta->getOffset(s, p);
            novas[p].nulo = meta->getNullOffset(s, p);
        }
        bufferEntrada_.assign(meta->getMessageLength(s), 0);
        entrada_ = std::move(meta);
    });
    posicoes_ = std::move(novas);
}

void Consulta::PreencheEntrada() {
    const unsigned n = static_cast<unsigned>(nomes_.size());
    unsigned char* const buffer = bufferEntrada_.data();
    for (unsigned p = 0; p < n; ++p) {
        const Valor& v = valores_[valorDaPosicao_[p]];
        const Posicao& pos = posicoes_[p];
        unsigned char* dado = buffer + pos.dado;
        const short nulo = v.tipo == Valor::Tipo::Nulo ? -1 : 0;
        std::memcpy(buffer + pos.nulo, &nulo, sizeof nulo);
        switch (v.tipo) {
            case Valor::Tipo::Nulo:
                break;
            case Valor::Tipo::Texto: {
                const auto tamanho = static_cast<unsigned short>(v.texto.size());
                std::memcpy(dado, &tamanho, sizeof tamanho);
                std::memcpy(dado + sizeof tamanho, v.texto.data(), v.texto.size());
                break;
            }
            case Valor::Tipo::Double:
                std::memcpy(dado, &v.numero, sizeof(double));
                break;
            case Valor::Tipo::Inteiro: {
                const ISC_LONG i = v.inteiro;
                std::memcpy(dado, &i, sizeof i);
                break;
            }
            case Valor::Tipo::DataHora: {
                const ISC_TIMESTAMP ts = ParaTimestamp(v.numero);
                std::memcpy(dado, &ts, sizeof ts);
                break;
            }
            case Valor::Tipo::Blob: {
                ISC_QUAD id;
                fb::Chama([&](ThrowStatusWrapper* s) {
                    fb::Posse<Firebird::IBlob> blob(conexao_.Anexo()->createBlob(
                        s, conexao_.DBTransaction().Corrente(), &id, 0, nullptr));
                    for (size_t i = 0; i < v.texto.size(); i += 32768) {
                        const size_t parte = std::min<size_t>(32768, v.texto.size() - i);
                        blob->putSegment(s, static_cast<unsigned>(parte), v.texto.data() + i);
                    }
                    blob->close(s);
                    blob.Esquece();
                });
                std::memcpy(dado, &id, sizeof id);
                break;
            }
        }
    }
}

void Consulta::Executa() {
    Fecha();
    if (commit_) {
        Transacao& transacao = conexao_.DBTransaction();
        conexao_.Anexo();
        // A rehearsal keeps everything in its one transaction.
        if (transacao.Ativa() && !conexao_.Ensaio()) transacao.Confirma();
        return;
    }
    ExigeTextosCabem();
    Prepara();
    if (tipoComando_ == isc_info_sql_stmt_select ||
        tipoComando_ == isc_info_sql_stmt_select_for_upd) {
        Abre();
        Fecha();
        return;
    }
    Firebird::ITransaction* transacao = conexao_.DBTransaction().Corrente();
    MontaEntrada();
    PreencheEntrada();
    const auto inicio = std::chrono::steady_clock::now();
    fb::Chama([&](ThrowStatusWrapper* s) {
        try {
            preparo_->execute(s, transacao, entrada_.get(),
                              entrada_ ? bufferEntrada_.data() : nullptr, saida_.get(),
                              bufferSaida_.data());
        } catch (const Firebird::FbException& e) {
            // A key that another connection wrote and has not committed yet is waited
            // for; once the wait runs out, the engine calls it a repeated key, though no
            // committed row holds it. The time spent tells the two apart.
            if (!ChaveRecusada(e.getStatus()->getErrors()) ||
                std::chrono::steady_clock::now() - inicio < kEsperaQueSeEsgotou)
                throw;
            // The database's own text stays; the explanation of a refused key goes.
            const ErroBanco erro = fb::ErroDe(e.getStatus());
            std::string_view texto = erro.what();
            if (const size_t fim = texto.find('\r'); fim != std::string_view::npos)
                texto.remove_prefix(fim + 1);
            throw ErroBanco(std::string(kDadosEmUsoPorOutraConexao) + "\r" + std::string(texto),
                            erro.SqlState(), true, true);
        }
    });
}

void Consulta::Abre() {
    Fecha();
    if (commit_) throw ErroBanco("\"" + sql_ + "\" não é uma consulta.");
    ExigeTextosCabem();
    Prepara();
    Firebird::ITransaction* transacao = conexao_.DBTransaction().Corrente();
    MontaEntrada();
    PreencheEntrada();
    cursor_ = fb::Posse(fb::Chama([&](ThrowStatusWrapper* s) {
        return preparo_->openCursor(s, transacao, entrada_.get(),
                                    entrada_ ? bufferEntrada_.data() : nullptr, saida_.get(), 0);
    }));
    linha_.assign(bufferSaida_.size(), 0);
    eof_ = false;
    Proximo();
}

void Consulta::Proximo() {
    if (!cursor_ || eof_) return;
    const int r =
        fb::Chama([&](ThrowStatusWrapper* s) { return cursor_->fetchNext(s, linha_.data()); });
    if (r != Firebird::IStatus::RESULT_OK) eof_ = true;
}

void Consulta::Fecha() {
    eof_ = true;
    linha_.clear();
    if (!cursor_) return;
    fb::Posse<Firebird::IResultSet> cursor = std::move(cursor_);
    try {
        fb::Chama([&](ThrowStatusWrapper* s) { cursor->close(s); });
        cursor.Esquece();
    } catch (const ErroBanco&) {
        // Its transaction ended under it (a "Commit" elsewhere); only the handle is left.
    }
}

void Consulta::LiberaEntrada() { entrada_.Libera(); }

void Consulta::LiberaPreparo() {
    Fecha();
    LiberaEntrada();
    posicoes_.clear();
    saida_.Libera();
    if (!preparo_) return;
    fb::Posse<Firebird::IStatement> preparo = std::move(preparo_);
    if (geracaoPreparo_ == conexao_.Geracao() && conexao_.Conectado()) {
        try {
            fb::Chama([&](ThrowStatusWrapper* s) { preparo->free(s); });
            preparo.Esquece();
        } catch (const ErroBanco&) {
            // A statement of a connection gone under it: only the handle is left.
        }
    }
}

unsigned Consulta::IndiceCampo(std::string_view nome) const {
    if (linha_.empty() || eof_) throw ErroBanco("A consulta não está posicionada em um registro.");
    const std::string chave = Maiusculas(nome);
    for (unsigned i = 0; i < nomesCampos_.size(); ++i)
        if (nomesCampos_[i] == chave) return i;
    throw ErroBanco("Campo '" + std::string(nome) + "' não encontrado.");
}

int Consulta::NumeroCampos() const { return static_cast<int>(nomesCampos_.size()); }

bool Consulta::CampoNulo(std::string_view nome) const {
    const unsigned i = IndiceCampo(nome);
    return fb::Chama([&](ThrowStatusWrapper* s) {
        return *reinterpret_cast<const short*>(linha_.data() + saida_->getNullOffset(s, i)) != 0;
    });
}

namespace {

struct Campo {
    unsigned tipo;
    int escala;
    int subtipo;
    unsigned tamanho;
    const unsigned char* dado;
};

Campo DescreveCampo(Firebird::IMessageMetadata* meta, const std::vector<unsigned char>& linha,
                    unsigned i) {
    return fb::Chama([&](ThrowStatusWrapper* s) {
        return Campo{meta->getType(s, i) & ~1u, meta->getScale(s, i), meta->getSubType(s, i),
                     meta->getLength(s, i), linha.data() + meta->getOffset(s, i)};
    });
}

double Escalado(long long valor, int escala) {
    double r = static_cast<double>(valor);
    for (int k = 0; k < -escala; ++k) r /= 10;
    for (int k = 0; k < escala; ++k) r *= 10;
    return r;
}

template <typename T>
T Le(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool LeNumero(const Campo& c, double& r) {
    switch (c.tipo) {
        case SQL_SHORT:
            r = Escalado(Le<short>(c.dado), c.escala);
            return true;
        case SQL_LONG:
            r = Escalado(Le<ISC_LONG>(c.dado), c.escala);
            return true;
        case SQL_INT64:
            r = Escalado(Le<ISC_INT64>(c.dado), c.escala);
            return true;
        case SQL_FLOAT:
            r = Le<float>(c.dado);
            return true;
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            r = Le<double>(c.dado);
            return true;
        case SQL_TIMESTAMP: {
            const auto ts = Le<ISC_TIMESTAMP>(c.dado);
            r = DeTimestamp(ts.timestamp_date, ts.timestamp_time);
            return true;
        }
        case SQL_TYPE_DATE:
            r = DeTimestamp(Le<ISC_DATE>(c.dado), 0);
            return true;
        case SQL_TYPE_TIME:
            r = Le<ISC_TIME>(c.dado) / kFracoesPorDia;
            return true;
        case SQL_BOOLEAN:
            r = *c.dado ? 1 : 0;
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string Consulta::CampoTexto(std::string_view nome) const {
    const unsigned i = IndiceCampo(nome);
    if (CampoNulo(nome)) return "";
    const Campo c = DescreveCampo(saida_.get(), linha_, i);
    switch (c.tipo) {
        case SQL_TEXT:
            return std::string(reinterpret_cast<const char*>(c.dado), c.tamanho);
        case SQL_VARYING:
            return std::string(reinterpret_cast<const char*>(c.dado) + 2,
                               Le<unsigned short>(c.dado));
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            if (c.escala == 0) {
                double v;
                LeNumero(c, v);
                return std::to_string(static_cast<long long>(v));
            }
            break;
        case SQL_TIMESTAMP: {
            const auto ts = Le<ISC_TIMESTAMP>(c.dado);
            std::string r = DataParaTexto(DeTimestamp(ts.timestamp_date, 0));
            if (ts.timestamp_time != 0) {
                r += ' ';
                r += HoraTexto(ts.timestamp_time);
            }
            return r;
        }
        case SQL_TYPE_DATE:
            return DataParaTexto(DeTimestamp(Le<ISC_DATE>(c.dado), 0));
        case SQL_TYPE_TIME:
            return HoraTexto(Le<ISC_TIME>(c.dado));
        case SQL_BOOLEAN:
            return *c.dado ? "True" : "False";
        case SQL_BLOB: {
            ISC_QUAD id = Le<ISC_QUAD>(c.dado);
            Firebird::IAttachment* anexo = conexao_.Anexo();
            Firebird::ITransaction* transacao = conexao_.DBTransaction().Corrente();
            return fb::Chama([&](ThrowStatusWrapper* s) {
                Firebird::IBlob* blob = anexo->openBlob(s, transacao, &id, 0, nullptr);
                std::string r;
                char parte[32768];
                for (;;) {
                    unsigned lidos = 0;
                    const int st = blob->getSegment(s, sizeof parte, parte, &lidos);
                    if (st != Firebird::IStatus::RESULT_OK &&
                        st != Firebird::IStatus::RESULT_SEGMENT)
                        break;
                    r.append(parte, lidos);
                }
                blob->close(s);
                return r;
            });
        }
        default:
            break;
    }
    double v;
    if (LeNumero(c, v)) return NumeroParaTexto(v);
    return "";
}

double Consulta::CampoNumero(std::string_view nome) const {
    const unsigned i = IndiceCampo(nome);
    if (CampoNulo(nome)) return 0;
    const Campo c = DescreveCampo(saida_.get(), linha_, i);
    double v;
    if (LeNumero(c, v)) return v;
    return TextoParaNumero(CampoTexto(nome));
}

long long Consulta::CampoInteiro(std::string_view nome) const {
    const unsigned i = IndiceCampo(nome);
    if (CampoNulo(nome)) return 0;
    const Campo c = DescreveCampo(saida_.get(), linha_, i);
    double v;
    if (LeNumero(c, v)) return std::llround(v);
    return TextoParaInteiro(CampoTexto(nome));
}

std::optional<long long> ContaLinhas(Conexao& conexao, std::string_view tabela) {
    if (!conexao.Conectado()) return std::nullopt;
    try {
        Consulta q(conexao);
        q.DefineSql("select count(*) as N from " + std::string(tabela));
        q.Abre();
        return q.CampoInteiro("N");
    } catch (const ErroBanco&) {
        return std::nullopt;
    }
}

}  // namespace conversor::db
