#include "convert/tabela_ddd.h"

#include <shapefil.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

#include "base/regional.h"

namespace conversor::convert {

namespace {

// Windows-1252 letters folded to the upper-case letter without its accent.
std::array<char, 256> MontaDobra() {
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<char>(i);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<char>(c - 32);
    auto faixa = [&t](int de, int ate, char letra) {
        for (int c = de; c <= ate; ++c) t[c] = letra;
    };
    faixa(0xC0, 0xC5, 'A');
    faixa(0xE0, 0xE5, 'A');
    faixa(0xC7, 0xC7, 'C');
    faixa(0xE7, 0xE7, 'C');
    faixa(0xC8, 0xCB, 'E');
    faixa(0xE8, 0xEB, 'E');
    faixa(0xCC, 0xCF, 'I');
    faixa(0xEC, 0xEF, 'I');
    faixa(0xD1, 0xD1, 'N');
    faixa(0xF1, 0xF1, 'N');
    faixa(0xD2, 0xD6, 'O');
    faixa(0xF2, 0xF6, 'O');
    faixa(0xD8, 0xD8, 'O');
    faixa(0xF8, 0xF8, 'O');
    faixa(0xD9, 0xDC, 'U');
    faixa(0xF9, 0xFC, 'U');
    faixa(0xDD, 0xDD, 'Y');
    faixa(0xFD, 0xFD, 'Y');
    faixa(0xFF, 0xFF, 'Y');
    faixa(0x9F, 0x9F, 'Y');
    faixa(0x8A, 0x8A, 'S');
    faixa(0x9A, 0x9A, 'S');
    faixa(0x8E, 0x8E, 'Z');
    faixa(0x9E, 0x9E, 'Z');
    t[0xE6] = static_cast<char>(0xC6);  // æ -> Æ
    t[0x9C] = static_cast<char>(0x8C);  // œ -> Œ
    t[0xF0] = static_cast<char>(0xD0);  // ð -> Ð
    t[0xFE] = static_cast<char>(0xDE);  // þ -> Þ
    return t;
}

const std::array<char, 256> kDobra = MontaDobra();

// shapelib derives the names it opens from the one it is given (it swaps the
// extension for ".dbf" or ".DBF" and looks for a ".cpg" beside it). The hooks below
// make it open exactly the chosen file, and keep its English error text (printed on
// stderr by default) out of sight: our own message says what went wrong.
thread_local const char* tArquivo = nullptr;
SAHooks PadraoHooks() {
    SAHooks h;
    SASetupDefaultHooks(&h);
    return h;
}
const SAHooks kPadrao = PadraoHooks();

SAFile AbreExato(const char* nome, const char* modo) {
    const std::string_view n(nome);
    if (n.size() >= 4) {
        const std::string extensao = Maiusculas(n.substr(n.size() - 4));
        if (extensao == ".DBF") return kPadrao.FOpen(tArquivo, modo);
    }
    return nullptr;  // no code page file: the table is Windows-1252
}

void CalaErro(const char*) {}

// A field of a raw dBASE record, without the blanks (or NULs) that pad it.
std::string Campo(const DBFHandle h, const char* registro, int campo) {
    return AparaDireita(
        std::string_view(registro + h->panFieldOffset[campo], h->panFieldSize[campo]));
}

}  // namespace

std::string TabelaDDD::Chave(std::string_view texto) {
    std::string r = AparaDireita(texto);
    for (char& c : r) c = kDobra[static_cast<unsigned char>(c)];
    return r;
}

size_t TabelaDDD::HashChave::operator()(
    const std::pair<std::string, std::string>& k) const noexcept {
    const size_t a = std::hash<std::string>{}(k.first);
    return a ^ (std::hash<std::string>{}(k.second) + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
}

TabelaDDD::TabelaDDD(const std::string& arquivo) {
    const std::string nome = CaminhoParaMensagem(arquivo);
    std::error_code erroArquivo;
    if (!std::filesystem::is_regular_file(arquivo, erroArquivo))
        throw ErroTabelaCidades("Tabela de cidades não encontrada: " + nome);

    tArquivo = arquivo.c_str();
    struct Restaura {
        ~Restaura() { tArquivo = nullptr; }
    } restaura;

    SAHooks hooks = kPadrao;
    hooks.FOpen = AbreExato;
    hooks.Error = CalaErro;
    std::unique_ptr<DBFInfo, void (*)(DBFHandle)> dbf(DBFOpenLL(arquivo.c_str(), "rb", &hooks),
                                                      DBFClose);
    auto falha = [&nome](const std::string& motivo) {
        return ErroTabelaCidades("Não foi possível ler a tabela de cidades " + nome + ": " +
                                 motivo + ".");
    };
    if (!dbf) throw falha("o arquivo não é uma tabela dBASE válida");
    const DBFHandle h = dbf.get();

    int campos[3];
    const char* nomes[3] = {"CIDADE", "ESTADO", "DDD"};
    for (int i = 0; i < 3; ++i) {
        campos[i] = DBFGetFieldIndex(h, nomes[i]);
        if (campos[i] < 0) throw falha(std::string("falta a coluna ") + nomes[i]);
        if (h->panFieldOffset[campos[i]] + h->panFieldSize[campos[i]] > h->nRecordLength)
            throw falha(std::string("a coluna ") + nomes[i] + " passa do fim do registro");
    }
    const bool dddTexto = DBFGetNativeFieldType(h, campos[2]) == 'C';

    const int registros = DBFGetRecordCount(h);
    for (int i = 0; i < registros; ++i) {
        const char* registro = DBFReadTuple(h, i);
        if (!registro)
            throw falha("o registro " + std::to_string(i + 1) +
                        " não pôde ser lido (o arquivo está truncado ou danificado)");
        if (registro[0] == '*') continue;  // deleted
        std::string ddd = Campo(h, registro, campos[2]);
        if (!dddTexto) ddd = Apara(ddd);  // numbers are right-aligned
        // The first row of a city wins, as a query would return it.
        ddd_.try_emplace(
            {Chave(Campo(h, registro, campos[0])), Chave(Campo(h, registro, campos[1]))},
            std::move(ddd));
    }
}

std::string TabelaDDD::Procura(std::string_view cidade, std::string_view estado) const {
    const auto it = ddd_.find({Chave(cidade), Chave(estado)});
    return it == ddd_.end() ? std::string() : it->second;
}

std::string TabelaDDD::ArquivoPadrao() {
    std::error_code erro;
    const std::filesystem::path executavel = std::filesystem::read_symlink("/proc/self/exe", erro);
    if (erro) return "DCETCIDA.DBF";
    return (executavel.parent_path() / "DCETCIDA.DBF").string();
}

}  // namespace conversor::convert
