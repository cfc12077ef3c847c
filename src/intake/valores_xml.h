// Values as the XML workbook formats (.xlsx, .ods) write them, turned into the
// program's number rule and day counts.
#pragma once

#include <string>
#include <string_view>

namespace conversor::intake {

// A number written as xsd:double ("12.5", "-3", "1.2E+20") in the program's number rule
// ("12,5"), into `saida`. False when the text is not a finite number.
bool NumeroXmlParaTexto(std::string_view valor, std::string& saida);

// An ISO 8601 date, date-time or time of day ("2010-03-15", "2010-03-15T12:00:00.5",
// "12:30:00") as days counted from `diaZero`, a day number of 30/12/1899's count. With
// diaZero 0, dates before 1/3/1900 count one day less, as in Excel's calendar, which
// has a 29 February 1900. A time zone suffix is ignored. False when not a valid date.
bool DataIsoParaDias(std::string_view texto, double diaZero, double& dias);

// An xsd:duration without years or months ("PT12H30M00S", "P1DT2H", "-PT1.5S") in days.
bool DuracaoParaDias(std::string_view texto, double& dias);

}  // namespace conversor::intake
