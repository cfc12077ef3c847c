// Turns real workbooks into seeds for the fuzz targets.
//
//   sementes partes PACOTE.zip SAIDA   the parts the readers read, in the input form of
//                                      the package targets (pacote_fuzz.h)
//   sementes biff PASTA.xls SAIDA      the workbook stream of an OLE2 file, bare
//   sementes linhas PASTA.xlsx SAIDA   the sheetData content of the first worksheet
//                                      (the input of fuzz_xlsx_blocos)
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <zip.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "pacote_fuzz.h"

namespace {

bool TerminaCom(std::string_view s, std::string_view fim) {
    return s.size() >= fim.size() && s.substr(s.size() - fim.size()) == fim;
}

// Parts the .xlsx and .ods readers look at; styles, themes and pictures are left out
// to keep the seeds small.
bool ParteLida(std::string_view nome) {
    return nome == "mimetype" || nome == "content.xml" || TerminaCom(nome, ".rels") ||
           TerminaCom(nome, "workbook.xml") || TerminaCom(nome, "sharedStrings.xml") ||
           nome.find("worksheets/") != std::string_view::npos;
}

int Partes(const char* entrada, const char* saida) {
    int erro = 0;
    zip_t* z = zip_open(entrada, ZIP_RDONLY, &erro);
    if (!z) return 1;
    std::string semente;
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* nome = zip_get_name(z, static_cast<zip_uint64_t>(i), 0);
        if (!nome || !ParteLida(nome)) continue;
        zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        if (!f) continue;
        std::string conteudo;
        char buf[65536];
        for (zip_int64_t lidos; (lidos = zip_fread(f, buf, sizeof buf)) > 0;)
            conteudo.append(buf, static_cast<size_t>(lidos));
        zip_fclose(f);
        if (!semente.empty()) semente += conversor::fuzz::kSeparador;
        semente += nome;
        semente += '\n';
        semente += conteudo;
    }
    zip_discard(z);
    std::ofstream(saida, std::ios::binary) << semente;
    return 0;
}

int Linhas(const char* entrada, const char* saida) {
    int erro = 0;
    zip_t* z = zip_open(entrada, ZIP_RDONLY, &erro);
    if (!z) return 1;
    int r = 1;
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n && r != 0; ++i) {
        const char* nome = zip_get_name(z, static_cast<zip_uint64_t>(i), 0);
        if (!nome || std::string_view(nome).find("worksheets/sheet") == std::string_view::npos)
            continue;
        zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        if (!f) continue;
        std::string xml;
        char buf[65536];
        for (zip_int64_t lidos; (lidos = zip_fread(f, buf, sizeof buf)) > 0;)
            xml.append(buf, static_cast<size_t>(lidos));
        zip_fclose(f);
        // From after the sheetData start tag to its end tag, whatever the prefix.
        const size_t abre = xml.find("sheetData>");
        const size_t fecha = xml.rfind("</");
        const size_t fim = xml.rfind("sheetData>");
        if (abre == std::string::npos || fim == abre || fecha == std::string::npos) continue;
        const size_t inicio = abre + 10;
        const size_t ate = xml.rfind('<', fim);
        if (ate <= inicio) continue;
        std::ofstream(saida, std::ios::binary) << xml.substr(inicio, ate - inicio);
        r = 0;
    }
    zip_discard(z);
    return r;
}

int Biff(const char* entrada, const char* saida) {
    gsf_init();
    GError* erro = nullptr;
    GsfInput* arquivo = gsf_input_stdio_new(entrada, &erro);
    if (!arquivo) return 1;
    GsfInfile* ole = gsf_infile_msole_new(arquivo, &erro);
    g_object_unref(arquivo);
    if (!ole) return 1;
    GsfInput* fluxo = gsf_infile_child_by_name(ole, "Workbook");
    if (!fluxo) fluxo = gsf_infile_child_by_name(ole, "Book");
    int r = 1;
    if (fluxo) {
        const gsf_off_t tamanho = gsf_input_size(fluxo);
        std::string bytes(static_cast<size_t>(tamanho), '\0');
        if (gsf_input_read(fluxo, bytes.size(), reinterpret_cast<guint8*>(bytes.data()))) {
            std::ofstream(saida, std::ios::binary) << bytes;
            r = 0;
        }
        g_object_unref(fluxo);
    }
    g_object_unref(ole);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "uso: sementes partes|biff|linhas ENTRADA SAIDA\n";
        return 2;
    }
    const std::string_view modo = argv[1];
    if (modo == "partes") return Partes(argv[2], argv[3]);
    if (modo == "biff") return Biff(argv[2], argv[3]);
    if (modo == "linhas") return Linhas(argv[2], argv[3]);
    std::cerr << "modo desconhecido: " << modo << '\n';
    return 2;
}
