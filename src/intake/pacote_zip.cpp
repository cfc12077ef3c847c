#include "intake/pacote_zip.h"

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "base/regional.h"
#include "intake/leitor.h"

namespace conversor::intake {

namespace {

std::string MotivoZip(int codigo) {
    switch (codigo) {
        case ZIP_ER_NOENT:
        case ZIP_ER_OPEN:
            return "o arquivo não existe ou não pode ser aberto";
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
        case ZIP_ER_TELL:
            return "falha de leitura do disco";
        case ZIP_ER_MEMORY:
            return "memória insuficiente";
        case ZIP_ER_NOZIP:
        case ZIP_ER_INCONS:
        case ZIP_ER_EOF:
        case ZIP_ER_MULTIDISK:
            return "o pacote zip está truncado ou corrompido";
        case ZIP_ER_CRC:
        case ZIP_ER_ZLIB:
        case ZIP_ER_COMPRESSED_DATA:
            return "os dados compactados estão corrompidos";
        case ZIP_ER_COMPNOTSUPP:
            return "o método de compressão não é suportado";
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            return "a planilha está protegida por senha";
        case ZIP_ER_EXISTS:
            return "o pacote zip está corrompido: duas entradas têm o mesmo nome";
        case ZIP_ER_WRITE:
        case ZIP_ER_CLOSE:
        case ZIP_ER_RENAME:
        case ZIP_ER_REMOVE:
        case ZIP_ER_TMPOPEN:
            return "falha de gravação no disco";
        case ZIP_ER_CANCELLED:
            return "a leitura do pacote zip foi interrompida";
        case ZIP_ER_INVAL:
        case ZIP_ER_INTERNAL:
        case ZIP_ER_ZIPCLOSED:
        case ZIP_ER_CHANGED:
        case ZIP_ER_DELETED:
        case ZIP_ER_RDONLY:
        case ZIP_ER_OPNOTSUPP:
        case ZIP_ER_INUSE:
            return "falha interna da biblioteca de leitura de zip (código " +
                   std::to_string(codigo) + ")";
        default:
            // Codes of later libzip versions, e.g. a data length other than the declared.
            return "o pacote zip está corrompido ou usa um recurso não suportado (código " +
                   std::to_string(codigo) + " da biblioteca de zip)";
    }
}

// ASCII letters folded, as zip_name_locate's ZIP_FL_NOCASE compares names.
std::string Minusculo(std::string_view nome) {
    std::string r(nome);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

}  // namespace

void PacoteZip::Fechador::operator()(zip* z) const { zip_discard(z); }

PacoteZip::PacoteZip(const std::string& caminho)
    : caminho_(caminho), nome_(CaminhoParaMensagem(caminho)) {
    int erro = 0;
    errno = 0;
    zip_t* z = zip_open(caminho.c_str(), ZIP_RDONLY, &erro);
    if (!z) {
        std::string motivo = MotivoZip(erro);
        if ((erro == ZIP_ER_OPEN || erro == ZIP_ER_NOENT || erro == ZIP_ER_READ) && errno != 0)
            motivo += " (" + Utf8ParaCp1252(std::strerror(errno)) + ")";
        throw ErroLeitura(nome_, {}, motivo);
    }
    zip_.reset(z);
    ConfereNomes();
}

// libzip keeps entries that repeat a name and finds the first; which copy a program
// reads is anyone's guess, so a package with two is damaged. Names that differ only in
// case are told apart by zip but not by the parts' lookup: they are refused when such a
// part is looked up.
void PacoteZip::ConfereNomes() {
    const zip_int64_t n = zip_get_num_entries(zip_.get(), 0);
    std::unordered_set<std::string> nomes;
    std::unordered_set<std::string> dobrados;
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* nome = zip_get_name(zip_.get(), static_cast<zip_uint64_t>(i), 0);
        if (!nome) continue;
        const std::string_view v(nome);
        if (v.empty() || v.back() == '/') continue;  // folders hold nothing to read
        if (!nomes.insert(std::string(v)).second)
            throw ErroLeitura(
                nome_, {},
                "o pacote está danificado: a parte '" + Utf8ParaCp1252(v) + "' aparece duas vezes");
        if (!dobrados.insert(Minusculo(v)).second) ambiguas_.insert(Minusculo(v));
    }
}

PacoteZip::~PacoteZip() = default;

bool PacoteZip::Tem(std::string_view parte) const {
    return zip_name_locate(zip_.get(), std::string(parte).c_str(), ZIP_FL_NOCASE) >= 0;
}

std::string PacoteZip::LeInicio(std::string_view parte, size_t maximo) {
    if (!Tem(parte)) return {};
    const std::string lugar = "parte '" + Utf8ParaCp1252(parte) + "'";
    EntradaZip entrada(*this, parte, lugar);
    std::string r(maximo, '\0');
    size_t total = 0;
    while (total < maximo) {
        const size_t n = entrada.Le(r.data() + total, maximo - total);
        if (n == 0) break;
        total += n;
    }
    r.resize(total);
    return r;
}

EntradaZip::EntradaZip(PacoteZip& pacote, std::string_view parte, const std::string& lugar)
    : arquivo_(pacote.nome_), lugar_(lugar) {
    const std::string nome(parte);
    if (pacote.ambiguas_.count(Minusculo(nome)))
        throw ErroLeitura(arquivo_, lugar_,
                          "o pacote está danificado: há mais de uma parte '" +
                              Utf8ParaCp1252(nome) +
                              "', com o nome em maiúsculas e minúsculas "
                              "diferentes");
    const zip_int64_t indice = zip_name_locate(pacote.zip_.get(), nome.c_str(), ZIP_FL_NOCASE);
    if (indice < 0)
        throw ErroLeitura(arquivo_, lugar_,
                          "a parte '" + Utf8ParaCp1252(nome) + "' não existe no pacote");
    arquivo_zip_ = zip_fopen_index(pacote.zip_.get(), static_cast<zip_uint64_t>(indice), 0);
    if (!arquivo_zip_)
        throw ErroLeitura(arquivo_, lugar_,
                          MotivoZip(zip_error_code_zip(zip_get_error(pacote.zip_.get()))));
}

EntradaZip::~EntradaZip() { zip_fclose(arquivo_zip_); }

size_t EntradaZip::Le(char* destino, size_t maximo) {
    const zip_int64_t lidos = zip_fread(arquivo_zip_, destino, maximo);
    if (lidos < 0)
        throw ErroLeitura(arquivo_, lugar_,
                          MotivoZip(zip_error_code_zip(zip_file_get_error(arquivo_zip_))));
    return static_cast<size_t>(lidos);
}

bool EntradaZip::LeMais(std::string& buf) {
    const size_t antes = buf.size();
    buf.resize(antes + PacoteZip::kBloco);
    const size_t lidos = Le(buf.data() + antes, PacoteZip::kBloco);
    buf.resize(antes + lidos);
    return lidos > 0;
}

}  // namespace conversor::intake
