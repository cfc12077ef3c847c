// The XML parser every workbook part is read with: expat under the limits a hostile
// file calls for, handing its events to a handler.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

struct XML_ParserStruct;

namespace conversor::intake {

// Receives the events of one XML document. Handlers may throw: the exception stops the
// parser and leaves through ParserXml::Analisa unchanged.
class ManipuladorXml {
public:
    virtual ~ManipuladorXml() = default;

    // `nome` is the qualified name as written ("x:c") or, for a namespace-aware
    // reading, "namespace-uri|local-name". `atributos` alternates names and values
    // and ends with a null pointer.
    virtual void Inicio(const char* nome, const char** atributos) = 0;
    virtual void Fim(const char* nome) = 0;
    virtual void Texto(const char* texto, int tamanho) = 0;

    // Ends the reading after the current event, as a success: a handler that has what
    // it came for need not inflate the rest.
    void Encerra() { encerrar_ = true; }
    bool Encerrado() const { return encerrar_; }

protected:
    void Reabre() { encerrar_ = false; }

private:
    bool encerrar_ = false;
};

// The local part of a qualified name written with a prefix ("x:sheetData" -> "sheetData").
inline std::string_view NomeLocal(std::string_view nome) {
    const size_t doisPontos = nome.find(':');
    return doisPontos == std::string_view::npos ? nome : nome.substr(doisPontos + 1);
}

// An expat parser with the limits every workbook part is read under: no DOCTYPE or
// entity declarations, nesting up to kMaxProfundidade, no single token (tag, comment)
// larger than kMaxToken. One parser reads one document at a time and can be reused.
class ParserXml {
public:
    // `arquivo` and `onde` name the file and the part's role in messages.
    ParserXml(bool comNamespaces, std::string arquivo, std::string onde);
    ~ParserXml();
    ParserXml(const ParserXml&) = delete;
    ParserXml& operator=(const ParserXml&) = delete;

    // Starts a new document read into `manipulador`. `comPosicao` false leaves the line
    // and column out of messages, for text that is only a piece of the part.
    void Inicia(ManipuladorXml& manipulador, bool comPosicao = true);

    // Parses the next bytes of the document; `final` after the last. False once the
    // handler ended the reading. Raises ErroPlanilha or the handler's exception.
    bool Analisa(const char* dados, size_t tamanho, bool final);

    static constexpr int kMaxProfundidade = 256;
    static constexpr size_t kMaxToken = size_t{32} << 20;

    // Why a document is refused past those limits, for whoever scans it besides the parser.
    static std::string MotivoProfundo();
    static const char* const kMotivoTokenGrande;

private:
    struct Estado;
    bool comNamespaces_;
    std::string arquivo_;
    std::string onde_;
    std::unique_ptr<Estado> estado_;
    XML_ParserStruct* parser_ = nullptr;
};

}  // namespace conversor::intake
