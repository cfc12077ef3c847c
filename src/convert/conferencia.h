// What the rehearsal learns from the sheet itself, by the kind's layout, before any
// row is converted: texts wider than their fields, a first row of titles, codes
// repeated inside the sheet, tax numbers whose check digits are wrong. None of these stops a run;
// they are warnings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "convert/ensaio.h"
#include "convert/leiaute.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {

// Walks the staging table once (leaving it on its first record), a step of the gauge
// per record, and notes what it finds among the rehearsal's warnings.
void ConfereLeiaute(const LeiauteTipo& leiaute, intake::TTabelaTemp& tabela, Ensaio& ensaio,
                    intake::Progresso& progresso);

// Among `existentes`, a name the user may have meant by `nome`: the same but for
// accents, case or blanks, or one letter apart; empty when none is.
std::string NomeParecido(std::string_view nome, const std::vector<std::string>& existentes);

// The check digits of a CPF (11 digits) or CNPJ (14 digits).
bool CpfValido(std::string_view digitos);
bool CnpjValido(std::string_view digitos);

}  // namespace conversor::convert
