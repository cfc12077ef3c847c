#include "intake/valores_xml.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "base/caracteres.h"
#include "base/regional.h"

namespace conversor::intake {

namespace {

std::string_view SemBrancosXml(std::string_view t) {
    while (!t.empty() && BrancoXml(t.front())) t.remove_prefix(1);
    while (!t.empty() && BrancoXml(t.back())) t.remove_suffix(1);
    return t;
}

// Reads exactly `n` digits at `i`.
bool LeDigitos(std::string_view t, size_t& i, size_t n, int& valor) {
    if (i + n > t.size()) return false;
    valor = 0;
    for (size_t k = 0; k < n; ++k) {
        if (!Digito(t[i + k])) return false;
        valor = valor * 10 + (t[i + k] - '0');
    }
    i += n;
    return true;
}

// Seconds with an optional fraction, as nanoseconds; digits past the ninth are dropped.
bool LeSegundos(std::string_view t, size_t& i, long long& nanos) {
    int s = 0;
    if (!LeDigitos(t, i, 2, s) || s > 59) return false;
    nanos = s * 1000000000LL;
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
        ++i;
        long long peso = 100000000;
        const size_t inicio = i;
        for (; i < t.size() && Digito(t[i]); ++i, peso /= 10) nanos += (t[i] - '0') * peso;
        if (i == inicio) return false;
    }
    return true;
}

// hh:mm[:ss[.f]] as nanoseconds from midnight.
bool LeHora(std::string_view t, size_t& i, long long& nanos) {
    int h = 0, m = 0;
    if (!LeDigitos(t, i, 2, h) || h > 23 || i >= t.size() || t[i] != ':') return false;
    ++i;
    if (!LeDigitos(t, i, 2, m) || m > 59) return false;
    long long segundos = 0;
    if (i < t.size() && t[i] == ':') {
        ++i;
        if (!LeSegundos(t, i, segundos)) return false;
    }
    nanos = (h * 3600LL + m * 60LL) * 1000000000LL + segundos;
    return true;
}

bool LeFuso(std::string_view t, size_t i) {
    if (i == t.size()) return true;
    if (t[i] == 'Z' || t[i] == 'z') return i + 1 == t.size();
    if (t[i] != '+' && t[i] != '-') return false;
    for (++i; i < t.size(); ++i)
        if (!Digito(t[i]) && t[i] != ':') return false;
    return true;
}

constexpr long double kNanosDia = 86400.0L * 1e9L;

}  // namespace

bool NumeroXmlParaTexto(std::string_view valor, std::string& saida) {
    const std::string_view t = SemBrancosXml(valor);
    const char* p = t.data();
    const char* const fim = p + t.size();
    bool negativo = false;
    if (p < fim && (*p == '-' || *p == '+')) negativo = *p++ == '-';
    const char* inteiros = p;
    while (p < fim && Digito(*p)) ++p;
    const char* fimInteiros = p;
    const char* decimais = p;
    const char* fimDecimais = p;
    if (p < fim && *p == '.') {
        decimais = ++p;
        while (p < fim && Digito(*p)) ++p;
        fimDecimais = p;
    }
    // A plain decimal of at most 15 significant digits is already its own 15-digit
    // rounding, so it is rewritten without going through a double.
    if (p == fim && (fimInteiros > inteiros || fimDecimais > decimais)) {
        while (inteiros < fimInteiros && *inteiros == '0') ++inteiros;
        while (fimDecimais > decimais && fimDecimais[-1] == '0') --fimDecimais;
        const size_t nInteiros = static_cast<size_t>(fimInteiros - inteiros);
        const size_t nDecimais = static_cast<size_t>(fimDecimais - decimais);
        size_t zeros = 0;
        while (zeros < nDecimais && decimais[zeros] == '0') ++zeros;
        const char sep = Regional().separadorDecimal;
        if (nInteiros == 0 && nDecimais == 0) {
            saida.assign(1, '0');
            return true;
        }
        if ((nInteiros > 0 && nInteiros + nDecimais <= 15) ||
            (nInteiros == 0 && zeros <= 4 && nDecimais - zeros <= 15)) {
            saida.clear();
            if (negativo) saida += '-';
            if (nInteiros == 0)
                saida += '0';
            else
                saida.append(inteiros, nInteiros);
            if (nDecimais > 0) {
                saida += sep;
                saida.append(decimais, nDecimais);
            }
            return true;
        }
    }
    std::string_view numero = t;
    if (!numero.empty() && numero.front() == '+') numero.remove_prefix(1);
    if (numero.empty()) return false;
    double x = 0;
    const auto [fimLido, erro] = std::from_chars(numero.data(), numero.data() + numero.size(), x);
    if (fimLido != numero.data() + numero.size()) return false;
    if (erro == std::errc::result_out_of_range) {
        // Below the smallest double reads as zero; above the largest is no number.
        x = std::strtod(std::string(numero).c_str(), nullptr);
        if (std::isinf(x)) return false;
    } else if (erro != std::errc() || !std::isfinite(x)) {
        return false;
    }
    saida = NumeroParaTexto(x);
    return true;
}

bool DataIsoParaDias(std::string_view texto, double diaZero, double& dias) {
    const std::string_view t = SemBrancosXml(texto);
    size_t i = 0;
    long long nanos = 0;
    double dia = 0;
    bool soHora = false;
    if (t.size() >= 3 && t[2] == ':') {
        soHora = true;
        if (!LeHora(t, i, nanos)) return false;
    } else {
        int ano = 0, mes = 0, d = 0;
        if (!LeDigitos(t, i, 4, ano) || i >= t.size() || t[i++] != '-') return false;
        if (!LeDigitos(t, i, 2, mes) || i >= t.size() || t[i++] != '-') return false;
        if (!LeDigitos(t, i, 2, d) || !DataValida(ano, mes, d)) return false;
        if (i < t.size() && (t[i] == 'T' || t[i] == 't' || t[i] == ' ')) {
            ++i;
            if (!LeHora(t, i, nanos)) return false;
        }
        dia = CodificaData(ano, mes, d);
        if (diaZero == 0 && dia < 61) dia -= 1;
    }
    if (!LeFuso(t, i)) return false;
    const long double base = soHora ? 0.0L : (static_cast<long double>(dia) - diaZero) * kNanosDia;
    dias = static_cast<double>((base + static_cast<long double>(nanos)) / kNanosDia);
    return true;
}

bool DuracaoParaDias(std::string_view texto, double& dias) {
    const std::string_view t = SemBrancosXml(texto);
    size_t i = 0;
    const bool negativo = i < t.size() && t[i] == '-';
    if (negativo) ++i;
    if (i >= t.size() || t[i++] != 'P') return false;
    long double nanos = 0;
    bool algum = false;
    bool emHora = false;
    char ultima = 0;
    // Designators must come in order: Y M D, then T, then H M S.
    static constexpr std::string_view kData = "YMD";
    static constexpr std::string_view kHora = "HMS";
    while (i < t.size()) {
        if (t[i] == 'T') {
            if (emHora) return false;
            emHora = true;
            ultima = 0;
            ++i;
            continue;
        }
        const size_t inicio = i;
        long double n = 0;
        for (; i < t.size() && Digito(t[i]); ++i) n = n * 10 + (t[i] - '0');
        if (i == inicio || i - inicio > 18) return false;
        long double fracao = 0;
        bool temFracao = false;
        if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
            temFracao = true;
            long double peso = 0.1L;
            const size_t ini = ++i;
            for (; i < t.size() && Digito(t[i]); ++i, peso /= 10) fracao += (t[i] - '0') * peso;
            if (i == ini) return false;
        }
        if (i >= t.size()) return false;
        const char designador = t[i++];
        const std::string_view ordem = emHora ? kHora : kData;
        const size_t pos = ordem.find(designador);
        if (pos == std::string_view::npos || (ultima && pos <= ordem.find(ultima))) return false;
        ultima = designador;
        if (temFracao && !(emHora && designador == 'S')) return false;
        if (!emHora && designador != 'D') {
            if (n != 0) return false;  // years and months have no fixed length in days
        } else if (!emHora) {
            nanos += n * kNanosDia;
        } else if (designador == 'H') {
            nanos += n * 3600e9L;
        } else if (designador == 'M') {
            nanos += n * 60e9L;
        } else {
            nanos += (n + fracao) * 1e9L;
        }
        algum = true;
    }
    if (!algum) return false;
    const long double d = nanos / kNanosDia;
    dias = static_cast<double>(negativo ? -d : d);
    return true;
}

}  // namespace conversor::intake
