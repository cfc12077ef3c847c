#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/regional.h"
#include "intake/leitores.h"
#include "intake/pacote_zip.h"

namespace conversor::intake {

ErroPlanilha ErroLeitura(std::string_view arquivo, std::string_view onde, std::string_view motivo) {
    std::string m = "Erro ao ler o arquivo '";
    m += arquivo;
    m += '\'';
    if (!onde.empty()) {
        m += " (";
        m += onde;
        m += ')';
    }
    m += ": ";
    m += motivo;
    m += '.';
    return ErroPlanilha(m);
}

std::string NomeSemExtensao(const std::string& caminho) {
    const size_t barra = caminho.find_last_of('/');
    std::string nome = barra == std::string::npos ? caminho : caminho.substr(barra + 1);
    const size_t ponto = nome.find_last_of('.');
    if (ponto != std::string::npos && ponto > 0) nome.erase(ponto);
    return Utf8ParaCp1252(nome);
}

Arquivo AbreParaLeitura(const std::string& caminho, const std::string& nome) {
    Arquivo arquivo(std::fopen(caminho.c_str(), "rb"));
    if (!arquivo)
        throw ErroPlanilha("Não foi possível abrir o arquivo '" + nome +
                           "': " + Utf8ParaCp1252(std::strerror(errno)) + ".");
    return arquivo;
}

namespace {

std::string ExtensaoMinuscula(const std::string& caminho) {
    const size_t barra = caminho.find_last_of('/');
    const size_t ponto = caminho.find_last_of('.');
    if (ponto == std::string::npos || (barra != std::string::npos && ponto < barra)) return "";
    std::string ext = caminho.substr(ponto + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// A zip package: an Office Open XML workbook (.xlsx, .xlsm) or an OpenDocument
// spreadsheet (.ods), told apart by the package's entries.
std::unique_ptr<LeitorPlanilha> AbrePacoteZip(const std::string& caminho) {
    auto pacote = std::make_unique<PacoteZip>(caminho);
    if (EhPlanilhaOds(*pacote)) return AbreOds(std::move(pacote));
    std::string workbook = ParteWorkbookXlsx(*pacote);
    if (!workbook.empty()) return AbreXlsx(std::move(pacote), workbook);
    throw ErroPlanilha("O arquivo '" + pacote->Nome() +
                       "' não é uma planilha: o pacote zip não traz uma pasta de trabalho do "
                       "Excel (.xlsx) nem uma planilha OpenDocument (.ods).");
}

}  // namespace

std::unique_ptr<LeitorPlanilha> AbreLeitor(const std::string& caminho) {
    const std::string nome = CaminhoParaMensagem(caminho);
    unsigned char inicio[8] = {};
    // Closed at once: the reader chosen opens the file again.
    const size_t lidos = std::fread(inicio, 1, sizeof inicio, AbreParaLeitura(caminho, nome).get());

    static const unsigned char kZip[] = {'P', 'K', 3, 4};
    static const unsigned char kOle2[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (lidos >= 4 && std::memcmp(inicio, kZip, 4) == 0) return AbrePacoteZip(caminho);
    if (lidos >= 8 && std::memcmp(inicio, kOle2, 8) == 0) return AbreXls(caminho);
    // BIFF2 to BIFF4 files (and BIFF5/8 streams written without the OLE2 container) are
    // a bare stream that starts with a BOF record.
    if (lidos >= 4 &&
        (inicio[0] == 0x09 &&
         (inicio[1] == 0x00 || inicio[1] == 0x02 || inicio[1] == 0x04 || inicio[1] == 0x08) &&
         inicio[3] == 0x00))
        return AbreXls(caminho);
    const std::string ext = ExtensaoMinuscula(caminho);
    if (ext == "csv" || ext == "txt") return AbreCsv(caminho);
    throw ErroPlanilha("O arquivo '" + nome +
                       "' não é uma planilha reconhecida (.xlsx, .xls, .ods ou .csv).");
}

}  // namespace conversor::intake
