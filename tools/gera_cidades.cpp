// Builds the city table DCETCIDA.DBF (dBASE, Windows-1252) that the program reads the
// telephone area codes from, out of a UTF-8 text file with the columns
// CIDADE;ESTADO;DDD and a header line.
//
//   gera_cidades cidades.csv DCETCIDA.DBF

#include <shapefil.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/regional.h"

namespace {

using conversor::Apara;
using conversor::Cp1252ParaUtf8;

struct Coluna {
    const char* nome;
    int largura;
};
constexpr Coluna kColunas[] = {{"CIDADE", 40}, {"ESTADO", 2}, {"DDD", 3}};

struct Falha {
    std::string texto;  // Windows-1252, as every text of the program
};

std::vector<std::string> Divide(const std::string& linha) {
    std::vector<std::string> partes;
    size_t inicio = 0;
    for (size_t p; (p = linha.find(';', inicio)) != std::string::npos; inicio = p + 1)
        partes.push_back(linha.substr(inicio, p - inicio));
    partes.push_back(linha.substr(inicio));
    return partes;
}

std::vector<std::vector<std::string>> LeCsv(const std::string& arquivo) {
    std::ifstream entrada(arquivo, std::ios::binary);
    if (!entrada) throw Falha{"Não foi possível abrir " + conversor::Utf8ParaCp1252(arquivo)};
    std::vector<std::vector<std::string>> linhas;
    std::string linha;
    for (int numero = 1; std::getline(entrada, linha); ++numero) {
        if (numero == 1 && linha.rfind("\xEF\xBB\xBF", 0) == 0) linha.erase(0, 3);
        if (!conversor::Utf8Valido(linha))
            throw Falha{"Linha " + std::to_string(numero) + ": o texto não é UTF-8"};
        const std::string texto = conversor::Utf8ParaCp1252(linha);
        if (texto.find('?') != std::string::npos && linha.find('?') == std::string::npos)
            throw Falha{"Linha " + std::to_string(numero) +
                        ": caractere que não existe em Windows-1252"};
        if (Apara(texto).empty()) continue;
        std::vector<std::string> campos = Divide(texto);
        for (std::string& c : campos) c = Apara(c);
        if (numero == 1) {
            if (campos != std::vector<std::string>{"CIDADE", "ESTADO", "DDD"})
                throw Falha{"O cabeçalho deve ser CIDADE;ESTADO;DDD"};
            continue;
        }
        if (campos.size() != 3)
            throw Falha{"Linha " + std::to_string(numero) + ": esperadas 3 colunas, há " +
                        std::to_string(campos.size())};
        for (size_t i = 0; i < 3; ++i)
            if (campos[i].size() > static_cast<size_t>(kColunas[i].largura))
                throw Falha{"Linha " + std::to_string(numero) + ": " + kColunas[i].nome +
                            " passa de " + std::to_string(kColunas[i].largura) + " caracteres"};
        linhas.push_back(std::move(campos));
    }
    if (entrada.bad()) throw Falha{"Erro ao ler " + conversor::Utf8ParaCp1252(arquivo)};
    return linhas;
}

void GravaDbf(const std::vector<std::vector<std::string>>& linhas, const std::string& saida) {
    // shapelib always names what it creates "*.dbf": write beside the target under such
    // a name, then put it in place in one step.
    const std::string temporario = saida + ".novo.dbf";
    {
        std::unique_ptr<DBFInfo, void (*)(DBFHandle)> dbf(
            DBFCreateEx(temporario.c_str(), "LDID/87"), DBFClose);  // 87: Windows ANSI
        if (!dbf) throw Falha{"Não foi possível criar " + conversor::Utf8ParaCp1252(temporario)};
        for (const Coluna& c : kColunas)
            if (DBFAddField(dbf.get(), c.nome, FTString, c.largura, 0) < 0)
                throw Falha{std::string("Não foi possível criar a coluna ") + c.nome};
        for (size_t i = 0; i < linhas.size(); ++i)
            for (int c = 0; c < 3; ++c)
                if (!DBFWriteStringAttribute(dbf.get(), static_cast<int>(i), c,
                                             linhas[i][c].c_str()))
                    throw Falha{"Não foi possível gravar o registro " + std::to_string(i + 1)};
    }
    std::filesystem::rename(temporario, saida);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "uso: gera_cidades cidades.csv DCETCIDA.DBF\n";
        return 2;
    }
    try {
        const auto linhas = LeCsv(argv[1]);
        GravaDbf(linhas, argv[2]);
        std::cout << linhas.size() << " cidades gravadas em " << argv[2] << "\n";
        return 0;
    } catch (const Falha& f) {
        std::cerr << Cp1252ParaUtf8(f.texto) << "\n";
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
    }
    return 1;
}
