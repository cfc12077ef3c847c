#include "base/regional.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "base/caracteres.h"

namespace conversor {

ConfiguracaoRegional& Regional() {
    static ConfiguracaoRegional configuracao;
    return configuracao;
}

std::string NumeroParaTexto(double valor) {
    if (std::isnan(valor)) return "NAN";
    if (std::isinf(valor)) return valor < 0 ? "-INF" : "INF";
    if (valor == 0) return "0";

    // 15 significant digits, rounded once from the exact binary value.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.14e", valor);
    std::string_view s(buf);
    bool negativo = s.front() == '-';
    if (negativo) s.remove_prefix(1);
    std::string digitos;
    digitos += s[0];
    size_t e = s.find('e');
    digitos.append(s.substr(2, e - 2));
    int expoente = std::atoi(buf + (negativo ? 1 : 0) + e + 1);
    while (digitos.size() > 1 && digitos.back() == '0') digitos.pop_back();

    const char sep = Regional().separadorDecimal;
    std::string r = negativo ? "-" : "";
    if (expoente < -5 || expoente >= 15) {
        r += digitos[0];
        if (digitos.size() > 1) {
            r += sep;
            r.append(digitos, 1);
        }
        r += 'E';
        r += std::to_string(expoente);
    } else if (expoente >= 0) {
        const size_t inteiros = static_cast<size_t>(expoente) + 1;
        if (digitos.size() <= inteiros) {
            r += digitos;
            r.append(inteiros - digitos.size(), '0');
        } else {
            r.append(digitos, 0, inteiros);
            r += sep;
            r.append(digitos, inteiros);
        }
    } else {
        r += '0';
        r += sep;
        r.append(static_cast<size_t>(-expoente - 1), '0');
        r += digitos;
    }
    return r;
}

std::string NumeroParaSql(double valor) {
    std::string r = NumeroParaTexto(valor);
    for (char& c : r)
        if (c == ',') c = '.';
    return r;
}

namespace {

std::string_view SemBrancos(std::string_view t) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

[[noreturn]] void ErroNumero(std::string_view texto) {
    throw ErroConversao("'" + std::string(texto) + "' não é um valor numérico válido");
}

}  // namespace

double TextoParaNumero(std::string_view texto) {
    std::string_view t = SemBrancos(texto);
    // Checked against the settings' separator here, then handed to from_chars
    // (which knows only ".") so the process locale plays no part.
    std::string normal;
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') normal += '-';
        ++i;
    }
    size_t digitos = 0;
    for (; i < t.size() && Digito(t[i]); ++i, ++digitos) normal += t[i];
    if (i < t.size() && t[i] == Regional().separadorDecimal) {
        normal += '.';
        for (++i; i < t.size() && Digito(t[i]); ++i, ++digitos) normal += t[i];
    }
    if (digitos == 0) ErroNumero(texto);
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) normal += t[i++];
        size_t expDigitos = 0;
        for (; i < t.size() && Digito(t[i]); ++i, ++expDigitos) normal += t[i];
        if (expDigitos == 0) ErroNumero(texto);
    }
    if (i != t.size()) ErroNumero(texto);
    double valor = 0;
    auto [fim, erro] = std::from_chars(normal.data(), normal.data() + normal.size(), valor);
    if (erro != std::errc() || fim != normal.data() + normal.size()) ErroNumero(texto);
    return valor;
}

long long TextoParaInteiro(std::string_view texto) {
    std::string_view t = SemBrancos(texto);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    long long valor = 0;
    auto [fim, erro] = std::from_chars(t.data(), t.data() + t.size(), valor);
    if (t.empty() || erro != std::errc() || fim != t.data() + t.size())
        throw ErroConversao("'" + std::string(texto) + "' não é um valor inteiro válido");
    return valor;
}

namespace {

// Days since 1 January 1970 of a civil date (proleptic Gregorian calendar).
long long DiasDesde1970(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilDe1970(long long z, int& ano, int& mes, int& dia) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    dia = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    mes = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    ano = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (mes <= 2));
}

const long long kDia0 = DiasDesde1970(1899, 12, 30);
constexpr double kMinData = -693593;  // 1 January 0001
constexpr double kMaxData = 2958466;  // past 31 December 9999

int AnoAtual() {
    int ano, mes, dia;
    DecodificaData(Hoje(), ano, mes, dia);
    return ano;
}

}  // namespace

bool DataValida(int ano, int mes, int dia) {
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (ano < 1 || ano > 9999 || mes < 1 || mes > 12 || dia < 1) return false;
    const bool bissexto = (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
    return dia <= dias[mes - 1] + (mes == 2 && bissexto ? 1 : 0);
}

double CodificaData(int ano, int mes, int dia) {
    if (!DataValida(ano, mes, dia))
        throw ErroConversao("Data inválida: " + std::to_string(dia) + "/" + std::to_string(mes) +
                            "/" + std::to_string(ano));
    return static_cast<double>(DiasDesde1970(ano, mes, dia) - kDia0);
}

void DecodificaData(double dataHora, int& ano, int& mes, int& dia) {
    if (!(dataHora >= kMinData && dataHora < kMaxData))
        throw ErroConversao("'" + NumeroParaTexto(dataHora) + "' não é uma data válida");
    CivilDe1970(static_cast<long long>(std::trunc(dataHora)) + kDia0, ano, mes, dia);
}

double Hoje() {
    std::time_t agora = std::time(nullptr);
    std::tm local{};
    localtime_r(&agora, &local);
    return CodificaData(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string FormataDataHora(std::string_view formato, double dataHora) {
    int ano, mes, dia;
    DecodificaData(dataHora, ano, mes, dia);
    std::string r;
    auto numero = [&r](int n, size_t largura) {
        std::string s = std::to_string(n);
        if (s.size() < largura) r.append(largura - s.size(), '0');
        r += s;
    };
    for (size_t i = 0; i < formato.size();) {
        const char c = formato[i];
        const char minuscula = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        size_t n = 1;
        while (i + n < formato.size() && formato[i + n] == c) ++n;
        if (minuscula == 'd')
            numero(dia, n >= 2 ? 2 : 1);
        else if (minuscula == 'm')
            numero(mes, n >= 2 ? 2 : 1);
        else if (minuscula == 'y')
            numero(n <= 2 ? ano % 100 : ano, n <= 2 ? 2 : 4);
        else if (c == '/')
            r.append(n, Regional().separadorData);
        else
            r.append(n, c);
        i += n;
    }
    return r;
}

std::string DataParaTexto(double dataHora) {
    return FormataDataHora(Regional().formatoDataCurta, dataHora);
}

double TextoParaData(std::string_view texto) {
    std::string_view t = SemBrancos(texto);
    int partes[3] = {0, 0, 0};
    int digitosAno = 0;
    int n = 0;
    size_t i = 0;
    while (n < 3) {
        size_t inicio = i;
        long long valor = 0;
        while (i < t.size() && Digito(t[i]) && i - inicio < 5) valor = valor * 10 + (t[i++] - '0');
        if (i == inicio) break;
        if (n == 2) digitosAno = static_cast<int>(i - inicio);
        partes[n++] = static_cast<int>(valor);
        if (i < t.size() && t[i] == Regional().separadorData)
            ++i;
        else
            break;
    }
    if (n < 2 || i != t.size() || (n == 2 && !t.empty() && t.back() == Regional().separadorData))
        throw ErroConversao("'" + std::string(texto) + "' não é uma data válida");
    int ano = n == 3 ? partes[2] : AnoAtual();
    if (n == 3 && digitosAno <= 2) {
        const int limite = AnoAtual() - 50;
        ano += limite / 100 * 100;
        if (ano < limite) ano += 100;
    }
    if (!DataValida(ano, partes[1], partes[0]))
        throw ErroConversao("'" + std::string(texto) + "' não é uma data válida");
    return CodificaData(ano, partes[1], partes[0]);
}

std::string Aspas(std::string_view texto) {
    std::string r = "'";
    for (char c : texto) {
        r += c;
        if (c == '\'') r += '\'';
    }
    r += '\'';
    return r;
}

std::string AparaEsquerda(std::string_view texto) {
    size_t i = 0;
    while (i < texto.size() && static_cast<unsigned char>(texto[i]) <= ' ') ++i;
    return std::string(texto.substr(i));
}

std::string AparaDireita(std::string_view texto) {
    size_t n = texto.size();
    while (n > 0 && static_cast<unsigned char>(texto[n - 1]) <= ' ') --n;
    return std::string(texto.substr(0, n));
}

std::string Apara(std::string_view texto) { return AparaDireita(AparaEsquerda(texto)); }

std::string Maiusculas(std::string_view texto) {
    std::string r(texto);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

namespace {

// Code points of the bytes 0x80..0x9F; the five bytes Windows leaves undefined map
// to the C1 control of the same number, as Windows itself does.
constexpr char16_t kAlto[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ByteCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kAlto[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

// Decodes one UTF-8 sequence at t[i]; returns its length, or 0 when malformed.
size_t DecodificaUtf8(std::string_view t, size_t i, char32_t& cp) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    size_t n;
    char32_t minimo;
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
        minimo = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
        minimo = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
        minimo = 0x10000;
    } else
        return 0;
    if (i + n > t.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const unsigned char d = static_cast<unsigned char>(t[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

}  // namespace

void AnexaUtf8(std::string& saida, char32_t cp) {
    if (cp < 0x80) {
        saida += static_cast<char>(cp);
    } else if (cp < 0x800) {
        saida += static_cast<char>(0xC0 | (cp >> 6));
        saida += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        saida += static_cast<char>(0xE0 | (cp >> 12));
        saida += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        saida += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        saida += static_cast<char>(0xF0 | (cp >> 18));
        saida += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        saida += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        saida += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Cp1252ParaUtf8(std::string_view texto) {
    std::string r;
    r.reserve(texto.size());
    for (char ch : texto) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            r += ch;
        else
            AnexaUtf8(r, c < 0xA0 ? kAlto[c - 0x80] : c);
    }
    return r;
}

void Utf8ParaCp1252(std::string_view texto, std::string& saida) {
    saida.clear();
    saida.reserve(texto.size());
    for (size_t i = 0; i < texto.size();) {
        // Runs of ASCII, most of any text, go across whole.
        size_t fim = i;
        while (fim < texto.size() && static_cast<unsigned char>(texto[fim]) < 0x80) ++fim;
        saida.append(texto, i, fim - i);
        i = fim;
        if (i == texto.size()) break;
        char32_t cp;
        const size_t n = DecodificaUtf8(texto, i, cp);
        if (n == 0) {
            saida += '?';
            ++i;
        } else {
            saida += ByteCp1252(cp);
            i += n;
        }
    }
}

std::string Utf8ParaCp1252(std::string_view texto) {
    std::string r;
    Utf8ParaCp1252(texto, r);
    return r;
}

std::string Utf16ParaUtf8(std::string_view bytes, bool littleEndian) {
    std::string utf8;
    utf8.reserve(bytes.size());
    char16_t alto = 0;  // a high surrogate waiting for its pair
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        const auto u = static_cast<char16_t>(littleEndian ? a | b << 8 : a << 8 | b);
        if (alto && u >= 0xDC00 && u <= 0xDFFF) {
            AnexaUtf8(utf8, 0x10000 + ((alto - 0xD800) << 10) + (u - 0xDC00));
            alto = 0;
            continue;
        }
        if (alto) AnexaUtf8(utf8, 0xFFFD);
        alto = 0;
        if (u >= 0xD800 && u <= 0xDBFF)
            alto = u;
        else
            AnexaUtf8(utf8, u >= 0xDC00 && u <= 0xDFFF ? 0xFFFD : u);
    }
    if (alto || bytes.size() % 2) AnexaUtf8(utf8, 0xFFFD);
    return utf8;
}

bool Utf8Valido(std::string_view texto) {
    for (size_t i = 0; i < texto.size();) {
        char32_t cp;
        const size_t n = DecodificaUtf8(texto, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string CaminhoParaMensagem(std::string_view caminho) {
    std::string cp1252 = Utf8ParaCp1252(caminho);
    const bool marcas = cp1252.find_first_of({kInicioLiteral, kFimLiteral}) != std::string::npos;
    if (Cp1252ParaUtf8(cp1252) == caminho && !marcas) return cp1252;
    // A name holding the end mark itself cannot be carried whole: it goes lossy.
    if (caminho.find(kFimLiteral) != std::string_view::npos) return cp1252;
    std::string r(1, kInicioLiteral);
    r += caminho;
    r += kFimLiteral;
    return r;
}

std::string MensagemParaUtf8(std::string_view mensagem) {
    std::string r;
    r.reserve(mensagem.size());
    size_t i = 0;
    while (i < mensagem.size()) {
        const size_t inicio = mensagem.find(kInicioLiteral, i);
        const size_t fim =
            inicio == std::string_view::npos ? inicio : mensagem.find(kFimLiteral, inicio + 1);
        if (fim == std::string_view::npos) {
            r += Cp1252ParaUtf8(mensagem.substr(i));
            break;
        }
        r += Cp1252ParaUtf8(mensagem.substr(i, inicio - i));
        r.append(mensagem, inicio + 1, fim - inicio - 1);
        i = fim + 1;
    }
    return r;
}

}  // namespace conversor
