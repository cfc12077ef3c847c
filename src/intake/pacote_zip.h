// A zip package (.xlsx, .ods) opened for reading its entries. An entry is inflated in
// fixed-size blocks as it is asked for, so a worksheet of hundreds of megabytes never
// sits whole in memory, and nothing the zip directory claims about sizes is trusted.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

struct zip;
struct zip_file;

namespace conversor::intake {

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

    // The size of the blocks parts are inflated in.
    static constexpr size_t kBloco = size_t{256} << 10;

private:
    friend class EntradaZip;
    void ConfereNomes();

    std::string caminho_;
    std::string nome_;
    // Part names, in lower case, that more than one entry holds in different cases.
    std::unordered_set<std::string> ambiguas_;
    struct Fechador {
        void operator()(zip* z) const;
    };
    std::unique_ptr<zip, Fechador> zip_;
};

// One part of the package, inflated block by block. `lugar` names the part's role in
// messages; the package and `lugar` outlive the entry.
class EntradaZip {
public:
    // Raises ErroPlanilha when the package has no such part or it cannot be opened.
    EntradaZip(PacoteZip& pacote, std::string_view parte, const std::string& lugar);
    ~EntradaZip();
    EntradaZip(const EntradaZip&) = delete;
    EntradaZip& operator=(const EntradaZip&) = delete;

    // Up to `maximo` bytes; 0 at the end of the part.
    size_t Le(char* destino, size_t maximo);

    // Appends the next block (PacoteZip::kBloco at most) to `buf`; false at the end of
    // the part.
    bool LeMais(std::string& buf);

private:
    const std::string& arquivo_;
    const std::string& lugar_;
    zip_file* arquivo_zip_ = nullptr;
};

}  // namespace conversor::intake
