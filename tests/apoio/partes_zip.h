// Reading and changing the parts of a zip package (an .xlsx, an .ods) in place, to
// make damaged or hand-edited workbooks out of sound ones.
#pragma once

#include <string>

namespace conversor::teste {

// A part read whole ("" when the package has none of that name).
std::string LeParte(const std::string& pacote, const std::string& parte);

// Replaces (or adds) one part; `armazenada` keeps it uncompressed, as a package's
// "mimetype" must be.
void TrocaParte(const std::string& pacote, const std::string& parte, const std::string& conteudo,
                bool armazenada = false);

// Takes one part out.
void TiraParte(const std::string& pacote, const std::string& parte);

}  // namespace conversor::teste
