#include "intake/textos_compartilhados.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "intake/leitor.h"

namespace conversor::intake {
namespace {

std::string Texto(size_t i) {
    // Empty, short and a few hundred bytes long, so that blocks differ in size.
    if (i % 97 == 0) return {};
    return "texto " + std::to_string(i) + std::string(i % 13 == 0 ? 300 : i % 7, 'x');
}

// Many more blocks than the reader keeps unpacked, read in order, backwards and at
// random, loaded on another thread while being read: every string comes back whole.
TEST(TextosCompartilhados, CadaTextoVoltaInteiroEmQualquerOrdem) {
    constexpr size_t kQuantos = 400 * 1024 + 5;  // a last block not full
    TextosCompartilhados textos;
    std::thread carga([&] {
        for (size_t i = 0; i < kQuantos; ++i) ASSERT_TRUE(textos.Acrescenta(Texto(i)));
        textos.Termina(nullptr);
    });
    std::vector<size_t> ordem;
    for (size_t i = 0; i < kQuantos; ++i) ordem.push_back(i);
    for (size_t i = kQuantos; i-- > 0;) ordem.push_back(i);
    std::mt19937 sorteio(17);
    for (size_t i = 0; i < 200000; ++i) ordem.push_back(sorteio() % kQuantos);

    size_t erradas = 0;
    for (const size_t i : ordem) {
        ASSERT_TRUE(textos.Espera(i));
        if (textos[i] != Texto(i) && ++erradas <= 5) ADD_FAILURE() << "texto " << i;
    }
    carga.join();
    EXPECT_EQ(erradas, 0u);
    EXPECT_EQ(textos.Quantos(), kQuantos);
    EXPECT_FALSE(textos.Espera(kQuantos));
}

// Strings as long as a cell holds fill blocks of megabytes: more of them than the
// reader keeps unpacked, read again and again, more than it keeps of strings read
// again. Longer strings are cut to a cell.
TEST(TextosCompartilhados, TextosLongosSaoCortadosEVoltamInteiros) {
    TextosCompartilhados textos;
    const auto Longo = [](size_t i) {
        return std::string(kMaxTextoCelula, static_cast<char>('a' + i % 26));
    };
    constexpr size_t kQuantos = 3 * 1024;
    for (size_t i = 0; i < kQuantos; ++i)
        ASSERT_TRUE(textos.Acrescenta(Longo(i) + (i % 2 ? "passa do limite" : "")));
    textos.Termina(nullptr);
    for (size_t volta = 0; volta < 4; ++volta)
        for (size_t i = volta; i < kQuantos; i += 5) ASSERT_EQ(textos[i], Longo(i)) << i;
}

// A load that fails is the reader's failure once it asks past what was loaded: the
// strings of a block not yet packed are never read.
TEST(TextosCompartilhados, FalhaDaCargaChegaAoLeitor) {
    TextosCompartilhados textos;
    constexpr size_t kQuantos = 1501;  // the last block is not full
    for (size_t i = 0; i < kQuantos; ++i) textos.Acrescenta(Texto(i));
    textos.Termina(std::make_exception_ptr(std::runtime_error("parte malformada")));
    const size_t publicados = textos.Quantos();
    ASSERT_GT(publicados, 0u);
    ASSERT_LT(publicados, kQuantos);
    EXPECT_TRUE(textos.Espera(publicados - 1));
    EXPECT_EQ(textos[publicados - 1], Texto(publicados - 1));
    EXPECT_THROW(textos.Espera(publicados), std::runtime_error);
}

}  // namespace
}  // namespace conversor::intake
