#include "apoio/partes_zip.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>

namespace conversor::teste {

std::string LeParte(const std::string& pacote, const std::string& parte) {
    int erro = 0;
    zip_t* z = zip_open(pacote.c_str(), ZIP_RDONLY, &erro);
    if (!z) return {};
    std::string conteudo;
    zip_stat_t info;
    if (zip_stat(z, parte.c_str(), 0, &info) == 0) {
        if (zip_file_t* f = zip_fopen(z, parte.c_str(), 0)) {
            conteudo.resize(info.size);
            conteudo.resize(std::max<zip_int64_t>(0, zip_fread(f, conteudo.data(), info.size)));
            zip_fclose(f);
        }
    }
    zip_discard(z);
    return conteudo;
}

void TrocaParte(const std::string& pacote, const std::string& parte, const std::string& conteudo,
                bool armazenada) {
    int erro = 0;
    zip_t* z = zip_open(pacote.c_str(), ZIP_CREATE, &erro);
    ASSERT_NE(z, nullptr) << erro;
    zip_source_t* fonte = zip_source_buffer(z, conteudo.data(), conteudo.size(), 0);
    const zip_int64_t indice = zip_file_add(z, parte.c_str(), fonte, ZIP_FL_OVERWRITE);
    ASSERT_GE(indice, 0) << zip_strerror(z);
    if (armazenada) zip_set_file_compression(z, static_cast<zip_uint64_t>(indice), ZIP_CM_STORE, 0);
    ASSERT_EQ(zip_close(z), 0);
}

void TiraParte(const std::string& pacote, const std::string& parte) {
    int erro = 0;
    zip_t* z = zip_open(pacote.c_str(), 0, &erro);
    ASSERT_NE(z, nullptr) << erro;
    const zip_int64_t indice = zip_name_locate(z, parte.c_str(), 0);
    ASSERT_GE(indice, 0) << parte;
    ASSERT_EQ(zip_delete(z, static_cast<zip_uint64_t>(indice)), 0);
    ASSERT_EQ(zip_close(z), 0);
}

}  // namespace conversor::teste
