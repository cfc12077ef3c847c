// Brazilian Portuguese regional settings and the value conversions that depend on them.
//
// The program behaves as on a Brazilian Portuguese Windows whatever the Linux locale:
// decimal comma, date separator "/", short date format "dd/mm/yyyy". Every text here
// is an 8-bit Windows-1252 string, as the Vantora database keeps them.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace conversor {

// Process-wide settings, read by the number and date conversions below.
struct ConfiguracaoRegional {
    char separadorDecimal = ',';
    char separadorData = '/';
    std::string formatoDataCurta = "dd/mm/yyyy";
};

ConfiguracaoRegional& Regional();

// A text that cannot be read as a number or a date; the message names the text.
class ErroConversao : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Number to text: at most 15 significant digits rounded from the exact binary value,
// fixed point when 0.00001 <= |x| < 1E15, otherwise scientific ("1E20", "1,5E-7"),
// the settings' decimal separator, no thousands separator; -0 gives "0".
std::string NumeroParaTexto(double valor);

// The same number as a statement text writes it: every "," becomes ".".
std::string NumeroParaSql(double valor);

// Text to number with the settings' decimal separator; blanks around are allowed.
// An empty text, letters or a lone separator raise ErroConversao.
double TextoParaNumero(std::string_view texto);

// Text to integer (decimal digits, an optional sign, blanks around); raises ErroConversao.
long long TextoParaInteiro(std::string_view texto);

// Date-time values are day numbers counted from 30 December 1899 (day 0); the
// fraction is the time of day.
double CodificaData(int ano, int mes, int dia);
void DecodificaData(double dataHora, int& ano, int& mes, int& dia);
bool DataValida(int ano, int mes, int dia);
double Hoje();

// Formats the date part under a format of d/dd, m/mm, yy/yyyy and "/" standing for
// the settings' date separator. Raises ErroConversao for a value outside 1..9999.
std::string FormataDataHora(std::string_view formato, double dataHora);

// The date in the settings' short date format.
std::string DataParaTexto(double dataHora);

// Reads a date written in the order of the short date format (day, month, year),
// parts separated by the date separator; a two-digit year falls in the 100 years
// that start 50 years before the current one, and a missing year is the current
// one. Raises ErroConversao.
double TextoParaData(std::string_view texto);

// The text as a string constant of a statement: enclosed in single quotes, inner
// single quotes doubled.
std::string Aspas(std::string_view texto);

// The first `n` characters: the cut to a column's width.
inline std::string Primeiros(std::string_view texto, size_t n) {
    return std::string(texto.substr(0, n));
}

// Blanks and control characters (everything up to code 32) removed at both ends.
std::string Apara(std::string_view texto);
std::string AparaEsquerda(std::string_view texto);
std::string AparaDireita(std::string_view texto);

// Letters a to z upper-cased, everything else unchanged.
std::string Maiusculas(std::string_view texto);

// Windows-1252 <-> UTF-8. Characters outside Windows-1252 become "?" (one per
// character); invalid UTF-8 bytes become "?" too.
std::string Cp1252ParaUtf8(std::string_view texto);
std::string Utf8ParaCp1252(std::string_view texto);
// The same into `saida`, whose storage is reused; `texto` must not view it.
void Utf8ParaCp1252(std::string_view texto, std::string& saida);

// Appends the code point (up to U+10FFFF) to `saida` as UTF-8.
void AnexaUtf8(std::string& saida, char32_t cp);

// UTF-16 text (without its byte-order mark) as UTF-8; a unit without its pair, or a
// last odd byte, becomes U+FFFD.
std::string Utf16ParaUtf8(std::string_view bytes, bool littleEndian);

// Whether the bytes are well-formed UTF-8.
bool Utf8Valido(std::string_view texto);

// A file name (or anything else the user typed) inside a message, so that it is
// shown as typed. A name Windows-1252 can spell goes in as Windows-1252, like the
// rest of the message. Any other (Chinese, emoji, bytes that are not UTF-8) goes in
// as its own bytes between kInicioLiteral and kFimLiteral, as no conversion to
// Windows-1252 could keep it.
constexpr char kInicioLiteral = '\x01';
constexpr char kFimLiteral = '\x02';
std::string CaminhoParaMensagem(std::string_view caminho);

// A message as UTF-8 for the screen or the terminal: the Windows-1252 text
// converted, the names marked by CaminhoParaMensagem given back byte for byte.
std::string MensagemParaUtf8(std::string_view mensagem);

}  // namespace conversor
