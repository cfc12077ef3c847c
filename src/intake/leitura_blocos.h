// Reading a part of a zip package through the XML parser: whole on the calling thread
// (PercorreParte), or a long list of rows in blocks parsed on worker threads
// (PercorreEmBlocos). The package only hands over bytes; the threads are all here.
#pragma once

#include <exception>
#include <memory>
#include <string_view>

#include "intake/pacote_zip.h"
#include "intake/xml.h"

namespace conversor::intake {

// Streams the part through a ParserXml into the handler. `onde` names the part's role
// for messages ("aba 'Plan1'"); empty names the part itself.
void PercorreParte(PacoteZip& pacote, std::string_view parte, ManipuladorXml& manipulador,
                   bool comNamespaces, std::string_view onde = {});

// What a reading in blocks (PercorreEmBlocos) asks of the format reader.
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

// Reads the part in pieces around the content of its first `conteiner` element
// (local name) that is a child of the root; see LeituraEmBlocos.
void PercorreEmBlocos(PacoteZip& pacote, std::string_view parte, std::string_view conteiner,
                      LeituraEmBlocos& leitura, std::string_view onde);

}  // namespace conversor::intake
