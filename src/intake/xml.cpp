#include "intake/xml.h"

// The billion-laughs limits are declared only for a parser built with DTD support,
// which Debian's libexpat is.
#ifndef XML_DTD
#define XML_DTD
#endif
#include <expat.h>

#include <algorithm>
#include <climits>
#include <exception>

#include "intake/leitor.h"

namespace conversor::intake {

const char* const ParserXml::kMotivoTokenGrande =
    "o XML tem um elemento ou comentário de tamanho descabido";

std::string ParserXml::MotivoProfundo() {
    return "elementos XML aninhados em mais de " + std::to_string(kMaxProfundidade) + " níveis";
}

namespace {

std::string MotivoXml(XML_Parser p, bool comPosicao) {
    const XML_Error codigo = XML_GetErrorCode(p);
    const std::string posicao =
        comPosicao ? " (linha " + std::to_string(XML_GetCurrentLineNumber(p)) + ", coluna " +
                         std::to_string(XML_GetCurrentColumnNumber(p)) + ")"
                   : "";
    switch (codigo) {
        case XML_ERROR_NO_MEMORY:
            return "memória insuficiente para ler o XML";
        case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
            return "o XML expande entidades além do limite aceitável" + posicao;
        case XML_ERROR_NO_ELEMENTS:
        case XML_ERROR_UNCLOSED_TOKEN:
        case XML_ERROR_PARTIAL_CHAR:
            return "o XML está incompleto ou vazio" + posicao;
        default:
            return "o XML está malformado" + posicao;
    }
}

}  // namespace

// What the expat callbacks share: the handler, the depth, the first failure.
struct ParserXml::Estado {
    XML_Parser parser = nullptr;
    ManipuladorXml* manipulador = nullptr;
    const std::string* arquivo = nullptr;
    const std::string* onde = nullptr;
    bool comPosicao = true;
    int profundidade = 0;
    bool parado = false;
    long long eventos = 0;
    size_t semEventos = 0;
    std::exception_ptr erro;

    void Falha(std::exception_ptr e) {
        if (!erro) erro = std::move(e);
        Para();
    }
    void Para() {
        if (!parado) {
            parado = true;
            XML_StopParser(parser, XML_FALSE);
        }
    }
    void Depois() {
        if (manipulador->Encerrado()) Para();
    }

    static void XMLCALL AoIniciar(void* dados, const XML_Char* nome, const XML_Char** atributos) {
        auto* e = static_cast<Estado*>(dados);
        if (e->parado) return;
        ++e->eventos;
        try {
            if (++e->profundidade > kMaxProfundidade)
                throw ErroLeitura(*e->arquivo, *e->onde, MotivoProfundo());
            e->manipulador->Inicio(nome, atributos);
            e->Depois();
        } catch (...) {
            e->Falha(std::current_exception());
        }
    }

    static void XMLCALL AoTerminar(void* dados, const XML_Char* nome) {
        auto* e = static_cast<Estado*>(dados);
        if (e->parado) return;
        ++e->eventos;
        --e->profundidade;
        try {
            e->manipulador->Fim(nome);
            e->Depois();
        } catch (...) {
            e->Falha(std::current_exception());
        }
    }

    static void XMLCALL AoLerTexto(void* dados, const XML_Char* texto, int tamanho) {
        auto* e = static_cast<Estado*>(dados);
        if (e->parado) return;
        ++e->eventos;
        try {
            e->manipulador->Texto(texto, tamanho);
            e->Depois();
        } catch (...) {
            e->Falha(std::current_exception());
        }
    }

    // A workbook part has no business declaring a document type or entities: refusing
    // them closes the door on entity expansion bombs and external entities at once.
    static void XMLCALL AoDeclararTipo(void* dados, const XML_Char*, const XML_Char*,
                                       const XML_Char*, int) {
        auto* e = static_cast<Estado*>(dados);
        e->Falha(std::make_exception_ptr(ErroLeitura(
            *e->arquivo, *e->onde, "o XML traz uma declaração DOCTYPE, que não é aceita")));
    }

    static void XMLCALL AoDeclararEntidade(void* dados, const XML_Char*, int, const XML_Char*, int,
                                           const XML_Char*, const XML_Char*, const XML_Char*,
                                           const XML_Char*) {
        auto* e = static_cast<Estado*>(dados);
        e->Falha(std::make_exception_ptr(
            ErroLeitura(*e->arquivo, *e->onde, "o XML declara entidades, o que não é aceito")));
    }
};

ParserXml::ParserXml(bool comNamespaces, std::string arquivo, std::string onde)
    : comNamespaces_(comNamespaces),
      arquivo_(std::move(arquivo)),
      onde_(std::move(onde)),
      estado_(std::make_unique<Estado>()) {}

ParserXml::~ParserXml() {
    if (parser_) XML_ParserFree(parser_);
}

void ParserXml::Inicia(ManipuladorXml& manipulador, bool comPosicao) {
    if (!parser_) {
        parser_ = comNamespaces_ ? XML_ParserCreateNS(nullptr, '|') : XML_ParserCreate(nullptr);
        if (!parser_) throw ErroLeitura(arquivo_, onde_, "memória insuficiente para ler o XML");
    } else if (!XML_ParserReset(parser_, nullptr)) {
        throw ErroLeitura(arquivo_, onde_, "memória insuficiente para ler o XML");
    }
    *estado_ = Estado{};
    estado_->parser = parser_;
    estado_->manipulador = &manipulador;
    estado_->arquivo = &arquivo_;
    estado_->onde = &onde_;
    estado_->comPosicao = comPosicao;
    XML_SetUserData(parser_, estado_.get());
    XML_SetElementHandler(parser_, Estado::AoIniciar, Estado::AoTerminar);
    XML_SetCharacterDataHandler(parser_, Estado::AoLerTexto);
    XML_SetStartDoctypeDeclHandler(parser_, Estado::AoDeclararTipo);
    XML_SetEntityDeclHandler(parser_, Estado::AoDeclararEntidade);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    // Second line of defence should a declaration ever get through.
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser_, 20.0f);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser_, 1u << 20);
}

bool ParserXml::Analisa(const char* dados, size_t tamanho, bool final) {
    Estado& e = *estado_;
    if (e.parado) return !e.manipulador->Encerrado();
    do {
        const int parte = static_cast<int>(std::min<size_t>(tamanho, INT_MAX / 2));
        const bool ultima = final && static_cast<size_t>(parte) == tamanho;
        const long long eventosAntes = e.eventos;
        const XML_Status estado = XML_Parse(parser_, dados, parte, ultima);
        if (e.erro) std::rethrow_exception(e.erro);
        if (e.manipulador->Encerrado()) return false;
        if (estado != XML_STATUS_OK)
            throw ErroLeitura(arquivo_, onde_, MotivoXml(parser_, e.comPosicao));
        // Bytes fed since the parser last reported anything: a token that keeps growing
        // (a giant tag, attribute or comment) is held whole by the parser.
        if (e.eventos == eventosAntes) {
            e.semEventos += static_cast<size_t>(parte);
            if (e.semEventos > kMaxToken) throw ErroLeitura(arquivo_, onde_, kMotivoTokenGrande);
        } else {
            e.semEventos = 0;
        }
        dados += parte;
        tamanho -= static_cast<size_t>(parte);
    } while (tamanho > 0);
    return true;
}

}  // namespace conversor::intake
