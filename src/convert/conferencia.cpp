#include "convert/conferencia.h"

#include <map>
#include <string>

#include "base/regional.h"
#include "convert/limpeza.h"
#include "intake/excel.h"

namespace conversor::convert {

namespace {

// The field each kind's records are keyed by, where the sheet gives it.
bool Chave(const ColunaLida& c) {
    const std::string_view campo = c.campo;
    return campo == "CLIENTE.CODCLIENTE" || campo == "FORNECE.CODFORNEC" ||
           campo == "VENDEND.CODVENDEDOR" || campo == "TRANSPT.CODTRANSPT";
}

bool NumeroFiscal(const ColunaLida& c) {
    const std::string_view campo = c.campo;
    return campo.size() > 7 && campo.substr(campo.size() - 7) == ".CGCCPF";
}

std::string Digitos(std::string_view texto) {
    std::string r;
    for (char c : texto)
        if (c >= '0' && c <= '9') r += c;
    return r;
}

bool LeComo(Conteudo conteudo, std::string_view texto) {
    try {
        if (conteudo == Conteudo::Numero)
            TextoParaNumero(texto);
        else
            TextoParaData(texto);
        return true;
    } catch (const ErroConversao&) {
        return false;
    }
}

Problema Na(long long linha, int coluna, std::string_view texto, GeneroAviso genero,
            std::string motivo) {
    return {linha,
            coluna,
            intake::TDMCotrolaExcel::LetraColuna(coluna),
            std::string(texto),
            std::move(motivo),
            genero};
}

// Windows-1252 letters 0xC0 to 0xFF without their accents, in lower case.
constexpr char kSemAcento[] =
    "aaaaaaaceeeeiiiidnooooo*ouuuuyps"
    "aaaaaaaceeeeiiiidnooooo/ouuuuypy";

std::string Normaliza(std::string_view nome) {
    std::string r;
    for (char c : nome) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t') continue;
        if (u >= 0xC0)
            r += kSemAcento[u - 0xC0];
        else if (c >= 'A' && c <= 'Z')
            r += static_cast<char>(c - 'A' + 'a');
        else
            r += c;
    }
    return r;
}

// One letter changed, added or dropped.
bool UmaLetraDeDiferenca(const std::string& a, const std::string& b) {
    if (a.size() > b.size() + 1 || b.size() > a.size() + 1) return false;
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    if (a.size() == b.size()) return a.compare(i + 1, std::string::npos, b, i + 1) == 0;
    const std::string& maior = a.size() > b.size() ? a : b;
    const std::string& menor = a.size() > b.size() ? b : a;
    return maior.compare(i + 1, std::string::npos, menor, i) == 0;
}

}  // namespace

std::string NomeParecido(std::string_view nome, const std::vector<std::string>& existentes) {
    const std::string alvo = Normaliza(nome);
    if (alvo.empty()) return {};
    const std::string* umaLetra = nullptr;
    for (const std::string& e : existentes) {
        if (e == nome) continue;
        const std::string n = Normaliza(e);
        if (n == alvo) return e;
        if (!umaLetra && alvo.size() >= 4 && UmaLetraDeDiferenca(n, alvo)) umaLetra = &e;
    }
    return umaLetra ? *umaLetra : std::string();
}

bool CpfValido(std::string_view d) {
    if (d.size() != 11 || d.find_first_not_of(d[0]) == std::string_view::npos) return false;
    for (int n = 9; n <= 10; ++n) {
        int soma = 0;
        for (int i = 0; i < n; ++i) soma += (d[i] - '0') * (n + 1 - i);
        const int dv = soma * 10 % 11 % 10;
        if (dv != d[n] - '0') return false;
    }
    return true;
}

bool CnpjValido(std::string_view d) {
    if (d.size() != 14 || d.find_first_not_of(d[0]) == std::string_view::npos) return false;
    static const int pesos[] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    for (int n = 12; n <= 13; ++n) {
        int soma = 0;
        for (int i = 0; i < n; ++i) soma += (d[i] - '0') * pesos[i + 13 - n];
        const int resto = soma % 11;
        if ((resto < 2 ? 0 : 11 - resto) != d[n] - '0') return false;
    }
    return true;
}

void ConfereLeiaute(const LeiauteTipo& leiaute, intake::TTabelaTemp& tabela, Ensaio& ensaio,
                    intake::Progresso& progresso) {
    // A run with no rows is refused before its rehearsal.
    if (tabela.RecordCount() == 0) return;
    const int colunas = tabela.Colunas();
    const auto Celula = [&](int coluna) {
        return coluna >= 1 && coluna <= colunas ? tabela.TextoVista(coluna) : std::string_view();
    };

    // A first row of titles would be converted as a record, or stop the run.
    tabela.First();
    for (const ColunaLida& c : leiaute.colunas) {
        if (c.conteudo != Conteudo::Numero && c.conteudo != Conteudo::Data) continue;
        const std::string texto = Apara(Celula(c.coluna));
        if (texto.empty() || LeComo(c.conteudo, texto)) continue;
        const long long primeira = tabela.LinhaDaPlanilha();
        ensaio.Aviso(
            Na(primeira, c.coluna, texto, GeneroAviso::Titulos,
               std::string(primeira == 1 ? "A primeira linha" : "A primeira linha convertida") +
                   " parece ser de títulos: um texto onde a coluna espera " +
                   (c.conteudo == Conteudo::Numero ? "um número" : "uma data") +
                   "; ela seria convertida como um registro."));
        break;
    }

    std::map<std::string, long long> codigos;
    // A large sheet takes a while: the gauge follows.
    progresso.Posicao(0);
    progresso.Maximo(tabela.RecordCount());
    for (tabela.First(); !tabela.Eof(); tabela.Next(), progresso.Avanca()) {
        const long long linha = tabela.LinhaDaPlanilha();
        for (const ColunaLida& c : leiaute.colunas) {
            if (c.coluna > colunas) continue;
            if (c.soSeVazia && !Apara(Celula(c.soSeVazia)).empty()) continue;
            const std::string_view texto = Celula(c.coluna);
            if (Apara(texto).empty()) continue;
            const std::string digitos =
                c.conteudo == Conteudo::Digitos ? Digitos(texto) : std::string();
            if (c.largura > 0 && c.conteudo != Conteudo::Codigo && *c.campo) {
                const size_t tamanho =
                    c.conteudo == Conteudo::Digitos ? digitos.size() : texto.size();
                if (tamanho > static_cast<size_t>(c.largura))
                    ensaio.Aviso(Na(linha, c.coluna, texto, GeneroAviso::TextoCortado,
                                    std::string("Texto maior que o campo ") + c.campo + " (" +
                                        std::to_string(c.largura) +
                                        "): " + std::to_string(tamanho - c.largura) +
                                        " caractere(s) serão cortados."));
            }
            if (Chave(c)) {
                const auto [onde, novo] =
                    codigos.emplace(CodigoFixo(Apara(texto), c.largura), linha);
                if (!novo)
                    ensaio.Aviso(Na(linha, c.coluna, texto, GeneroAviso::CodigoRepetido,
                                    "Código repetido na planilha: a linha " +
                                        std::to_string(onde->second) + " tem o mesmo código."));
            }
            if (NumeroFiscal(c)) {
                if (digitos.size() == 11 && !CpfValido(digitos))
                    ensaio.Aviso(Na(linha, c.coluna, texto, GeneroAviso::NumeroFiscal,
                                    "CPF com dígitos verificadores errados."));
                else if (digitos.size() == 14 && !CnpjValido(digitos))
                    ensaio.Aviso(Na(linha, c.coluna, texto, GeneroAviso::NumeroFiscal,
                                    "CNPJ com dígitos verificadores errados."));
            }
        }
    }
    tabela.First();
}

}  // namespace conversor::convert
