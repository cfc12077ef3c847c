// The input of the package targets: the parts of a zip package written one after the
// other, each as its name on a line of its own followed by its content, the parts
// separated by kSeparador. The target stores them in a real zip, so the fuzzer works
// on the XML of the parts instead of on compressed bytes.
#pragma once

#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace conversor::fuzz {

inline constexpr std::string_view kSeparador = "\n--PARTE--\n";
inline constexpr size_t kMaxPartes = 16;

inline std::vector<std::pair<std::string, std::string_view>> DividePartes(
    std::string_view entrada) {
    std::vector<std::pair<std::string, std::string_view>> partes;
    while (partes.size() < kMaxPartes) {
        const size_t fim = entrada.find(kSeparador);
        std::string_view parte = entrada.substr(0, fim);
        const size_t quebra = parte.find('\n');
        std::string nome(parte.substr(0, quebra));
        parte = quebra == std::string_view::npos ? std::string_view() : parte.substr(quebra + 1);
        if (!nome.empty()) partes.emplace_back(std::move(nome), parte);
        if (fim == std::string_view::npos) break;
        entrada.remove_prefix(fim + kSeparador.size());
    }
    return partes;
}

// Writes the parts, stored without compression, as a zip at `caminho`. A part whose
// name zip refuses or repeats is left out.
inline void GravaPacote(const std::string& caminho, const uint8_t* dados, size_t tamanho) {
    int erro = 0;
    zip_t* z = zip_open(caminho.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &erro);
    if (!z) __builtin_trap();
    const auto partes =
        DividePartes(std::string_view(reinterpret_cast<const char*>(dados), tamanho));
    for (const auto& [nome, conteudo] : partes) {
        zip_source_t* fonte = zip_source_buffer(z, conteudo.data(), conteudo.size(), 0);
        if (!fonte) __builtin_trap();
        const zip_int64_t indice = zip_file_add(z, nome.c_str(), fonte, ZIP_FL_ENC_UTF_8);
        if (indice < 0) {
            zip_source_free(fonte);
            continue;
        }
        zip_set_file_compression(z, static_cast<zip_uint64_t>(indice), ZIP_CM_STORE, 0);
    }
    // With no part at all libzip writes no file; an empty one stands for it.
    if (zip_close(z) != 0) __builtin_trap();
    if (partes.empty()) {
        std::FILE* f = std::fopen(caminho.c_str(), "wb");
        if (f) std::fclose(f);
    }
}

}  // namespace conversor::fuzz
