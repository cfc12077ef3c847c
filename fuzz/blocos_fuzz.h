// The input of fuzz_xlsx_blocos: the content of a worksheet's sheetData, repeated until
// the sheet passes the size at which the .xlsx reader cuts it into pieces parsed on
// worker threads. The workbook holds that sheet twice: the second copy starts with a
// blank, which sends it whole to a single parser. Both readings must agree.
#pragma once

#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "intake/leitor.h"

namespace conversor::fuzz {

// Past the piece size (1 MB), so there is at least one cut.
inline constexpr size_t kTamanhoFolhaEmBlocos = size_t{1536} << 10;

inline void GravaPastaEmBlocos(const std::string& caminho, const uint8_t* dados, size_t tamanho) {
    const std::string_view unidade(reinterpret_cast<const char*>(dados), tamanho);
    const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::string folha = "<worksheet " + ns + "><sheetData>";
    if (!unidade.empty()) {
        folha.reserve(kTamanhoFolhaEmBlocos + unidade.size() + 64);
        while (folha.size() < kTamanhoFolhaEmBlocos) folha += unidade;
    }
    folha += "</sheetData></worksheet>";
    const std::string inteira = " " + folha;
    const std::string partes[][2] = {
        {"xl/workbook.xml",
         "<workbook " + ns + " xmlns:r=\"" + rel +
             "\"><sheets><sheet name=\"Blocos\" sheetId=\"1\" r:id=\"rId1\"/>"
             "<sheet name=\"Inteira\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
             "<Relationship Id=\"rId2\" Type=\"" +
             rel +
             "/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
             "<Relationship Id=\"rId3\" Type=\"" +
             rel +
             "/sharedStrings\" Target=\"sharedStrings.xml\"/>"
             "</Relationships>"},
        {"xl/sharedStrings.xml",
         "<sst " + ns +
             "><si><t>a</t></si><si><t xml:space=\"preserve\"> b c </t></si><si/>"
             "<si><r><t>x&amp;</t></r><r><t>y</t></r></si></sst>"},
    };
    int erro = 0;
    zip_t* z = zip_open(caminho.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &erro);
    if (!z) __builtin_trap();
    auto adiciona = [z](const char* nome, const std::string& conteudo) {
        zip_source_t* fonte = zip_source_buffer(z, conteudo.data(), conteudo.size(), 0);
        const zip_int64_t i = zip_file_add(z, nome, fonte, 0);
        if (i < 0) __builtin_trap();
        zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_STORE, 0);
    };
    for (const auto& p : partes) adiciona(p[0].c_str(), p[1]);
    adiciona("xl/worksheets/sheet1.xml", folha);
    adiciona("xl/worksheets/sheet2.xml", inteira);
    if (zip_close(z) != 0) __builtin_trap();  // the sources' buffers are read here
}

// What one reading of a sheet gave.
struct LeituraDaAba {
    bool erro = false;
    std::string mensagem;
    std::vector<std::tuple<int, int, std::string>> celulas;  // in the order handed over
    intake::AreaUsada area;

    bool operator==(const LeituraDaAba& o) const {
        if (erro || o.erro) return erro == o.erro;
        return celulas == o.celulas && area.ultimaLinha == o.area.ultimaLinha &&
               area.ultimaColuna == o.area.ultimaColuna;
    }
};

inline LeituraDaAba LeAbaGuardando(intake::LeitorPlanilha& leitor, int posicao) {
    struct Guarda final : intake::VisitanteCelulas {
        explicit Guarda(LeituraDaAba& l) : l(l) {}
        void Celula(int linha, int coluna, std::string_view texto) override {
            l.celulas.emplace_back(linha, coluna, std::string(texto));
        }
        LeituraDaAba& l;
    };
    LeituraDaAba r;
    Guarda guarda(r);
    try {
        r.area = leitor.LeAba(posicao, guarda);
    } catch (const intake::ErroPlanilha& e) {
        r.erro = true;
        r.mensagem = e.what();
    }
    return r;
}

// Where two readings part ways, for the crash report.
inline std::string Diferenca(const LeituraDaAba& a, const LeituraDaAba& b) {
    if (a.erro != b.erro)
        return "erro só numa leitura: '" + a.mensagem + "' / '" + b.mensagem + "'";
    std::string d = std::to_string(a.celulas.size()) + " e " + std::to_string(b.celulas.size()) +
                    " células; área " + std::to_string(a.area.ultimaLinha) + "x" +
                    std::to_string(a.area.ultimaColuna) + " e " +
                    std::to_string(b.area.ultimaLinha) + "x" + std::to_string(b.area.ultimaColuna);
    for (size_t i = 0; i < a.celulas.size() && i < b.celulas.size(); ++i)
        if (a.celulas[i] != b.celulas[i]) {
            const auto& [la, ca, ta] = a.celulas[i];
            const auto& [lb, cb, tb] = b.celulas[i];
            d += "; célula " + std::to_string(i) + ": (" + std::to_string(la) + "," +
                 std::to_string(ca) + ") '" + ta.substr(0, 40) + "' e (" + std::to_string(lb) +
                 "," + std::to_string(cb) + ") '" + tb.substr(0, 40) + "'";
            break;
        }
    return d;
}

}  // namespace conversor::fuzz
