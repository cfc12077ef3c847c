// How the converters clean a value on its way to a column: cut to the column's
// width, pad a code with zeros, leave an empty code empty, remove quotes, keep only
// the digits of a document, bring a date into the order the database reads. Every
// record and sheet mapping takes its cleaning from here.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "base/regional.h"

namespace conversor::convert {

// The cut to a column's width is `Primeiros` (base/regional.h); the trim is `Apara`.

// Zeros in front up to `largura` characters; a longer text stays whole.
std::string CompletaZeros(std::string_view texto, int largura);

// A code of exactly `largura` characters: cut, then padded with zeros.
std::string CodigoFixo(std::string_view texto, int largura);

// A code that may be absent: an empty text stays empty (no code is not code
// 00000), anything else is padded with zeros (not cut).
std::string VazioOuZeros(std::string_view texto, int largura);

// The legacy way of dropping a character the sheets should not carry: each removal
// joins what stands before it with (at most) the next 100 characters and trims the
// result.
std::string RetiraCaractere(std::string texto, char marca);
// Double quotes and the punctuation of documents and telephones ( ) - . / ' that way.
std::string RetiraAspas(std::string_view texto);
std::string RetiraPontuacao(std::string_view texto);

// Every single quote removed, nothing else touched.
std::string SemApostrofos(std::string_view texto);

// For the values once built into statement text: the double quotes go one at a time,
// the value cleaned again (`aposRemocao`) after each removal; then the column's own
// cleaning (`final`) applies. A text without quotes only gets the final one.
template <class AposRemocao, class Final>
std::string SemAspasDuplas(std::string_view texto, AposRemocao aposRemocao, Final final) {
    std::string t(texto);
    for (size_t p = t.find('"'); p != std::string::npos; p = t.find('"')) {
        t.erase(p, 1);
        t = aposRemocao(std::move(t));
    }
    return final(std::move(t));
}

// A registration number (CNPJ, CPF, state or municipal registration, postal code):
// upper-cased; "ISENTO" is kept as written, another mention of exemption gives an
// empty text, anything else keeps only its digits.
std::string TrataInscricao(std::string_view texto);
std::string SomenteNumeros(std::string_view texto);

// Normalises the date text and also leaves the result in the argument: empty (or an
// empty date mask) is today, "/" and "-" become ".", a bare number is the
// spreadsheet's day serial.
std::string FormataData(std::string& data);

// The text as the database compares it: it fills the shorter of two texts with
// blanks, so blanks at the end do not count (other characters there do).
std::string_view SemBrancosNoFim(std::string_view texto);

}  // namespace conversor::convert
