// Reading the parts of a zip package (.xlsx, .ods) as a stream of XML events.
//
// A part is inflated in fixed-size blocks and handed to the XML parser as it comes, so
// a worksheet of hundreds of megabytes never sits whole in memory, and nothing the zip
// directory claims about sizes is trusted. A long list of rows can also be parsed in
// pieces on worker threads (PercorreEmBlocos).
#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "intake/leitor.h"

struct zip;
struct zip_file;
struct XML_ParserStruct;

namespace conversor::intake {

// The reader's error: the file, where in it (sheet, cell or part; may be empty) and why.
ErroPlanilha ErroLeitura(std::string_view arquivo, std::string_view onde, std::string_view motivo);

// Letters and row of a cell address for messages ("B5", "XFD1048576").
std::string EnderecoCelula(long long linha, long long coluna);

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

private:
    struct Estado;
    bool comNamespaces_;
    std::string arquivo_;
    std::string onde_;
    std::unique_ptr<Estado> estado_;
    XML_ParserStruct* parser_ = nullptr;
};

// What a reading in pieces (PacoteZip::PercorreEmBlocos) asks of the format reader.
//
// The part is a document whose bulk is the content of one container element (a
// worksheet's sheetData). Everything outside that content goes to Moldura(), which sees
// the container empty. The content is cut between its children into pieces of about
// a megabyte, each parsed on a worker thread into a fresh BlocoXml as if it were the
// container's whole content; the blocks come back to Entrega on the calling thread in
// document order. Content that cannot be cut (a single child of many megabytes) and
// documents not in UTF-8 are read on the calling thread by Sequencial().
class LeituraEmBlocos {
public:
    class BlocoXml {
    public:
        virtual ~BlocoXml() = default;
        // Worker thread: the handler for the next piece, its results emptied.
        virtual ManipuladorXml& Reinicia() = 0;
        // Why the piece could not be read; Entrega raises it in its turn.
        std::exception_ptr erro;
    };

    virtual ~LeituraEmBlocos() = default;
    virtual ManipuladorXml& Moldura() = 0;
    virtual std::unique_ptr<BlocoXml> NovoBloco() = 0;
    virtual void Entrega(BlocoXml& bloco) = 0;
    // Called after every block so far was delivered; reads either the rest of the
    // container's content (wrapped in its own start and end tags) or the whole document.
    virtual ManipuladorXml& Sequencial() = 0;
};

// Values as the XML workbook formats write them.

// A number written as xsd:double ("12.5", "-3", "1.2E+20") in the program's number rule
// ("12,5"), into `saida`. False when the text is not a finite number.
bool NumeroXmlParaTexto(std::string_view valor, std::string& saida);

// An ISO 8601 date, date-time or time of day ("2010-03-15", "2010-03-15T12:00:00.5",
// "12:30:00") as days counted from `diaZero`, a day number of 30/12/1899's count. With
// diaZero 0, dates before 1/3/1900 count one day less, as in Excel's calendar, which
// has a 29 February 1900. A time zone suffix is ignored. False when not a valid date.
bool DataIsoParaDias(std::string_view texto, double diaZero, double& dias);

// An xsd:duration without years or months ("PT12H30M00S", "P1DT2H", "-PT1.5S") in days.
bool DuracaoParaDias(std::string_view texto, double& dias);

// Longest text of one cell, as in Excel; longer cell texts are cut there.
inline constexpr size_t kMaxTextoCelula = 32767;

// An open zip package, read only, for the life of the object.
class PacoteZip {
public:
    // Raises ErroPlanilha naming the file when it is missing or not a readable zip.
    explicit PacoteZip(const std::string& caminho);
    ~PacoteZip();
    PacoteZip(const PacoteZip&) = delete;
    PacoteZip& operator=(const PacoteZip&) = delete;

    // The file name as messages show it (Windows-1252).
    const std::string& Nome() const { return nome_; }
    // The path it was opened with, to open it again on another thread.
    const std::string& Caminho() const { return caminho_; }

    // Whether the package holds the part; part names compare without regard to case.
    bool Tem(std::string_view parte) const;

    // The first `maximo` bytes at most of a small part (the "mimetype" entry).
    std::string LeInicio(std::string_view parte, size_t maximo);

    // Streams the part through a ParserXml into the handler. `onde` names the part's
    // role for messages ("aba 'Plan1'"); empty names the part itself.
    void Percorre(std::string_view parte, ManipuladorXml& manipulador, bool comNamespaces,
                  std::string_view onde = {});

    // Reads the part in pieces around the content of its first `conteiner` element
    // (local name) that is a child of the root; see LeituraEmBlocos.
    void PercorreEmBlocos(std::string_view parte, std::string_view conteiner,
                          LeituraEmBlocos& leitura, std::string_view onde);

    static constexpr size_t kBloco = size_t{256} << 10;

private:
    class Parte;
    std::string caminho_;
    std::string nome_;
    struct Fechador {
        void operator()(zip* z) const;
    };
    std::unique_ptr<zip, Fechador> zip_;
};

// The format readers over an open package, chosen by AbrePacoteZip.

// The workbook part named by the package relationships ("xl/workbook.xml"), or empty
// when the package is not an Office Open XML workbook.
std::string ParteWorkbookXlsx(PacoteZip& pacote);
std::unique_ptr<LeitorPlanilha> AbreXlsx(std::unique_ptr<PacoteZip> pacote,
                                         const std::string& parteWorkbook);

// Whether the package is an OpenDocument spreadsheet (its "mimetype" entry says so).
bool EhPlanilhaOds(PacoteZip& pacote);
std::unique_ptr<LeitorPlanilha> AbreOds(std::unique_ptr<PacoteZip> pacote);

}  // namespace conversor::intake
