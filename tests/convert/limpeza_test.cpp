// The cleaning vocabulary of the converters: padding codes, registration numbers,
// dates, punctuation and quotes.
#include "convert/limpeza.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "base/regional.h"

namespace conversor::convert {
namespace {

using ::testing::HasSubstr;

struct CasoTexto {
    const char* nome;
    std::string entrada;
    std::string esperado;
};

TEST(Limpeza, CompletaZeros) {
    struct Caso {
        std::string texto;
        int largura;
        std::string esperado;
    };
    const Caso casos[] = {
        {"42", 5, "00042"}, {"123456", 4, "123456"}, {"", 6, "000000"},
        {" 7", 4, "00 7"},  {"1234", 4, "1234"},     {"5", -3, "5"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE("'" + c.texto + "' " + std::to_string(c.largura));
        EXPECT_EQ(CompletaZeros(c.texto, c.largura), c.esperado);
    }
}

TEST(Limpeza, TrataInscricao) {
    const CasoTexto casos[] = {
        {"isento com brancos", " isento ", " ISENTO "},
        {"isento de inscricao", "Isento de inscrição", ""},
        {"isenta", "ISENTA", ""},
        {"isen no meio", "123 isen 456", ""},
        {"numero pontuado", "062.123.456/0078", "0621234560078"},
        {"vazio", "", ""},
        {"letras e digitos", "MG-12.a3", "123"},
    };
    for (const CasoTexto& c : casos) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(TrataInscricao(c.entrada), c.esperado);
    }
}

TEST(Limpeza, FormataData) {
    const std::string hoje = DataParaTexto(Hoje());
    const CasoTexto casos[] = {
        {"vazio", "", hoje},
        {"mascara vazia", "  -   -", hoje},
        {"barras", "15/03/2010", "15.03.2010"},
        {"hifens", "01-02-2003", "01.02.2003"},
        {"ordem mantida", "2010-03-15", "2010.03.15"},
        {"pontos", "1.5.2003", "1.5.2003"},
        {"serial", "39448", "01/01/2008"},
        {"serial 2", "40252", "15/03/2010"},
        {"serial com hora", "39448,75", "01/01/2008"},
        {"letras", "abc", ""},
        {"so brancos", "   ", ""},
        {"serial fora do calendario", "99999999", ""},
    };
    for (const CasoTexto& c : casos) {
        SCOPED_TRACE(c.nome);
        std::string data = c.entrada;
        EXPECT_EQ(FormataData(data), c.esperado);
        EXPECT_EQ(data, c.esperado) << "the argument carries the result too";
    }
}

TEST(Limpeza, FormataDataVaziaSegueFormatoCurto) {
    ConfiguracaoRegional antes = Regional();
    Regional().formatoDataCurta = "d/m/yy";
    Regional().separadorData = '-';
    std::string data;
    FormataData(data);
    std::string serial = "39448";
    FormataData(serial);
    const std::string esperado = FormataDataHora("d/m/yy", Hoje());
    Regional() = antes;
    EXPECT_EQ(data, esperado);
    EXPECT_THAT(data, HasSubstr("-"));
    EXPECT_EQ(serial, "01-01-2008") << "a serial is always day, month and four-digit year";
}

TEST(Limpeza, RetiraPontuacaoESomenteNumeros) {
    const CasoTexto casos[] = {
        {"telefone", "(31) 3333-4444", "31 33334444"},
        {"cnpj", "12.345.678/0001-90", "12345678000190"},
        {"apostrofo", "Caixa d'água", "Caixa dágua"},
        {"brancos em volta", "  ( a )  ", "a"},
        {"sem pontuacao mantem brancos", "  sem nada  ", "  sem nada  "},
        {"so pontuacao", "(-./')", ""},
    };
    for (const CasoTexto& c : casos) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(RetiraPontuacao(c.entrada), c.esperado);
    }
    EXPECT_EQ(SomenteNumeros(" a1b2-3 ç9 "), "1239");
    EXPECT_EQ(SomenteNumeros("sem"), "");
}

TEST(Limpeza, RetiraAspas) {
    const CasoTexto casos[] = {
        {"polegada", "Parafuso 1/2\"", "Parafuso 1/2"},
        {"entre aspas", "\"A\" e \"B\"", "A e B"},
        {"sem aspas mantem brancos", "  x  ", "  x  "},
        {"so aspas", "\"\"", ""},
    };
    for (const CasoTexto& c : casos) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(RetiraAspas(c.entrada), c.esperado);
    }
}

}  // namespace
}  // namespace conversor::convert
