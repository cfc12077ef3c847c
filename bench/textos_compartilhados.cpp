#include "textos_compartilhados.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace conversor::bench {

namespace {

constexpr const char* kAba = "xl/worksheets/sheet1.xml";
constexpr const char* kTextos = "xl/sharedStrings.xml";

struct FechaZip {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct FechaParte {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
struct FechaArquivo {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string LeParte(zip_t* z, const char* nome) {
    std::unique_ptr<zip_file_t, FechaParte> parte(zip_fopen(z, nome, 0));
    std::string texto;
    if (!parte) return texto;
    char bloco[65536];
    zip_int64_t lidos;
    while ((lidos = zip_fread(parte.get(), bloco, sizeof bloco)) > 0)
        texto.append(bloco, static_cast<size_t>(lidos));
    return texto;
}

// Inserts `novo` before the closing tag `fim` of `xml`.
void InsereAntes(std::string& xml, std::string_view fim, const std::string& novo) {
    const size_t onde = xml.rfind(fim);
    if (onde != std::string::npos) xml.insert(onde, novo);
}

// The sheet streamed from `parte` into `aba`, its inline texts into `textos` (after the
// table's header, which `CompartilhaTextos` writes once the counts are known).
bool ReescreveAba(zip_file_t* parte, std::FILE* aba, std::FILE* textos, long long& celulas,
                  long long& distintos) {
    // A cell with an inline text, as libxlsxwriter writes it: ` t="inlineStr"><is><t`,
    // the text element's attributes (xml:space), `>`, the escaped text, `</t></is>`.
    static constexpr std::string_view kInicio = " t=\"inlineStr\"><is><t";
    static constexpr std::string_view kFim = "</t></is>";
    std::unordered_map<std::string, uint32_t> indices;
    std::string buffer;
    size_t pos = 0;
    bool fimDaParte = false;
    char bloco[1 << 16];
    // Compacting moves the text: only between cells, never with a cell half found.
    auto maisDados = [&](bool compacta) {
        if (fimDaParte) return false;
        const zip_int64_t lidos = zip_fread(parte, bloco, sizeof bloco);
        if (lidos <= 0) {
            fimDaParte = true;
            return false;
        }
        if (compacta && pos > (1u << 20)) {
            buffer.erase(0, pos);
            pos = 0;
        }
        buffer.append(bloco, static_cast<size_t>(lidos));
        return true;
    };
    for (;;) {
        size_t inicio = buffer.find(kInicio, pos);
        if (inicio == std::string::npos) {
            // Everything but a possible partial match at the end can go.
            const size_t guarda =
                std::max(pos, buffer.size() - std::min(buffer.size(), kInicio.size()));
            std::fwrite(buffer.data() + pos, 1, guarda - pos, aba);
            pos = guarda;
            if (!maisDados(true)) break;
            continue;
        }
        size_t fecha, fim;
        while ((fecha = buffer.find('>', inicio + kInicio.size())) == std::string::npos ||
               (fim = buffer.find(kFim, fecha)) == std::string::npos) {
            if (!maisDados(false)) {
                std::fputs("aba truncada no meio de uma celula\n", stderr);
                return false;
            }
        }
        std::fwrite(buffer.data() + pos, 1, inicio - pos, aba);
        const std::string_view atributos(buffer.data() + inicio + kInicio.size(),
                                         fecha - inicio - kInicio.size());
        std::string texto(buffer.data() + fecha + 1, fim - fecha - 1);
        auto [it, novo] = indices.try_emplace(texto, static_cast<uint32_t>(indices.size()));
        if (novo) {
            std::fprintf(textos, "<si><t%.*s>", static_cast<int>(atributos.size()),
                         atributos.data());
            std::fwrite(texto.data(), 1, texto.size(), textos);
            std::fputs("</t></si>", textos);
        }
        std::fprintf(aba, " t=\"s\"><v>%u</v>", it->second);
        ++celulas;
        pos = fim + kFim.size();
    }
    std::fwrite(buffer.data() + pos, 1, buffer.size() - pos, aba);
    distintos = static_cast<long long>(indices.size());
    return zip_fread(parte, bloco, 1) == 0;
}

}  // namespace

bool CompartilhaTextos(const std::string& origem, const std::string& destino,
                       const std::string& temporaria) {
    int erro = 0;
    std::unique_ptr<zip_t, FechaZip> entrada(zip_open(origem.c_str(), ZIP_RDONLY, &erro));
    if (!entrada) {
        std::fprintf(stderr, "nao foi possivel abrir %s\n", origem.c_str());
        return false;
    }
    const std::string caminhoAba = temporaria + "/sheet1.xml";
    const std::string caminhoTextos = temporaria + "/sharedStrings.xml";
    long long celulas = 0, distintos = 0;
    {
        std::unique_ptr<zip_file_t, FechaParte> parte(zip_fopen(entrada.get(), kAba, 0));
        std::unique_ptr<std::FILE, FechaArquivo> aba(std::fopen(caminhoAba.c_str(), "wb"));
        std::unique_ptr<std::FILE, FechaArquivo> textos(std::fopen(caminhoTextos.c_str(), "wb"));
        if (!parte || !aba || !textos) {
            std::fprintf(stderr, "nao foi possivel reescrever a aba de %s\n", origem.c_str());
            return false;
        }
        // The counts go into a header of fixed width, filled in at the end.
        const char* cabecalho =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst "
            "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "count=\"%012lld\" uniqueCount=\"%012lld\">";
        std::fprintf(textos.get(), cabecalho, 0LL, 0LL);
        if (!ReescreveAba(parte.get(), aba.get(), textos.get(), celulas, distintos)) return false;
        std::fputs("</sst>", textos.get());
        std::rewind(textos.get());
        std::fprintf(textos.get(), cabecalho, celulas, distintos);
        if (std::ferror(aba.get()) || std::ferror(textos.get())) {
            std::fprintf(stderr, "falha de escrita em %s\n", temporaria.c_str());
            return false;
        }
    }

    std::string tipos = LeParte(entrada.get(), "[Content_Types].xml");
    InsereAntes(tipos, "</Types>",
                "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
                "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>");
    std::string relacoes = LeParte(entrada.get(), "xl/_rels/workbook.xml.rels");
    InsereAntes(relacoes, "</Relationships>",
                "<Relationship Id=\"rIdTextos\" Type=\"http://schemas.openxmlformats.org/"
                "officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>");

    zip_t* saida = zip_open(destino.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &erro);
    if (!saida) {
        std::fprintf(stderr, "nao foi possivel criar %s\n", destino.c_str());
        return false;
    }
    bool certo = true;
    const zip_int64_t partes = zip_get_num_entries(entrada.get(), 0);
    auto adiciona = [&](const char* nome, zip_source_t* fonte) {
        const zip_int64_t indice = fonte ? zip_file_add(saida, nome, fonte, ZIP_FL_OVERWRITE) : -1;
        if (indice < 0) {
            if (fonte) zip_source_free(fonte);
            certo = false;
            return;
        }
        // The level spreadsheet programs and libxlsxwriter use; libzip's own default,
        // the highest, takes minutes for a large sheet.
        zip_set_file_compression(saida, static_cast<zip_uint64_t>(indice), ZIP_CM_DEFLATE, 6);
    };
    for (zip_int64_t i = 0; i < partes && certo; ++i) {
        const char* nome = zip_get_name(entrada.get(), static_cast<zip_uint64_t>(i), 0);
        if (std::strcmp(nome, kAba) == 0)
            adiciona(nome, zip_source_file(saida, caminhoAba.c_str(), 0, -1));
        else if (std::strcmp(nome, "[Content_Types].xml") == 0)
            adiciona(nome, zip_source_buffer(saida, tipos.data(), tipos.size(), 0));
        else if (std::strcmp(nome, "xl/_rels/workbook.xml.rels") == 0)
            adiciona(nome, zip_source_buffer(saida, relacoes.data(), relacoes.size(), 0));
        else
            adiciona(nome,
                     zip_source_zip(saida, entrada.get(), static_cast<zip_uint64_t>(i), 0, 0, -1));
    }
    if (certo) adiciona(kTextos, zip_source_file(saida, caminhoTextos.c_str(), 0, -1));
    if (!certo || zip_close(saida) != 0) {
        std::fprintf(stderr, "falha ao gravar %s: %s\n", destino.c_str(), zip_strerror(saida));
        zip_discard(saida);
        certo = false;
    }
    std::error_code semErro;
    std::filesystem::remove(caminhoAba, semErro);
    std::filesystem::remove(caminhoTextos, semErro);
    return certo;
}

}  // namespace conversor::bench
