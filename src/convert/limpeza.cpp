#include "convert/limpeza.h"

#include <algorithm>

namespace conversor::convert {

std::string CompletaZeros(std::string_view texto, int largura) {
    std::string r;
    const long long faltam = static_cast<long long>(largura) - static_cast<long long>(texto.size());
    if (faltam > 0) r.assign(static_cast<size_t>(faltam), '0');
    r += texto;
    return r;
}

std::string CodigoFixo(std::string_view texto, int largura) {
    return CompletaZeros(Primeiros(texto, static_cast<size_t>(std::max(largura, 0))), largura);
}

std::string VazioOuZeros(std::string_view texto, int largura) {
    return texto.empty() ? std::string() : CompletaZeros(texto, largura);
}

std::string RetiraCaractere(std::string texto, char marca) {
    for (size_t p = texto.find(marca); p != std::string::npos; p = texto.find(marca))
        texto = Apara(texto.substr(0, p) + texto.substr(p + 1, 100));
    return texto;
}

std::string RetiraAspas(std::string_view texto) { return RetiraCaractere(std::string(texto), '"'); }

std::string RetiraPontuacao(std::string_view texto) {
    std::string r(texto);
    for (char marca : {'(', ')', '-', '.', '/', '\''}) r = RetiraCaractere(std::move(r), marca);
    return r;
}

std::string SemApostrofos(std::string_view texto) {
    std::string r(texto);
    std::erase(r, '\'');
    return r;
}

std::string TrataInscricao(std::string_view texto) {
    const std::string t = Maiusculas(texto);
    // "ISENTO" is a valid registration and stays as the sheet wrote it; any other
    // mention of exemption means there is no number to keep.
    if (Apara(t) == "ISENTO") return t;
    if (t.find("ISEN") != std::string::npos) return {};
    return SomenteNumeros(t);
}

std::string SomenteNumeros(std::string_view texto) {
    std::string r;
    for (char c : texto)
        if (c >= '0' && c <= '9') r += c;
    return r;
}

std::string FormataData(std::string& data) {
    if (data.empty() || data == "  -   -") {
        // No date in the sheet (or an empty date mask): the record is dated today.
        data = DataParaTexto(Hoje());
    } else if (data.find('/') != std::string::npos) {
        for (char& c : data)
            if (c == '/') c = '.';
    } else if (data.find('-') != std::string::npos) {
        for (char& c : data)
            if (c == '-') c = '.';
    } else if (data.find('.') == std::string::npos) {
        // A bare number is the spreadsheet's day serial.
        try {
            data = FormataDataHora("dd/mm/yyyy", TextoParaNumero(data));
        } catch (const ErroConversao&) {
            data.clear();
        }
    }
    return data;
}

std::string_view SemBrancosNoFim(std::string_view texto) {
    const size_t fim = texto.find_last_not_of(' ');
    return texto.substr(0, fim == std::string_view::npos ? 0 : fim + 1);
}

}  // namespace conversor::convert
