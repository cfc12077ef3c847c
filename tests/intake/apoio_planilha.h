// What the driver and staging-table tests share: an in-memory workbook reader that
// counts its reads and can fail on cue, and a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "intake/excel.h"
#include "intake/leitor.h"

namespace conversor::intake::teste {

// The message of the exception `f` raises; "(nenhum erro)" when it raises none.
template <class F>
std::string MensagemDe(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nenhum erro)";
}

struct CelulaFalsa {
    int linha;
    int coluna;
    std::string texto;
};

struct AbaFalsa {
    std::string nome;
    std::vector<CelulaFalsa> celulas;  // handed over in this order
    AreaUsada area{};                  // what the reader reports besides the cells
    int falhaAposCelulas = -1;         // raises after this many cells (once)
    bool semMemoria = false;           // reading it runs out of memory
};

struct ArquivoFalso {
    std::vector<AbaFalsa> abas;
    int leituras = 0;  // LeAba calls, all sheets
};

class LeitorFalso final : public LeitorPlanilha {
public:
    explicit LeitorFalso(ArquivoFalso& arquivo) : arquivo_(arquivo) {}

    std::vector<std::string> Abas() override {
        std::vector<std::string> nomes;
        for (const AbaFalsa& aba : arquivo_.abas) nomes.push_back(aba.nome);
        return nomes;
    }

    AreaUsada LeAba(int posicao, VisitanteCelulas& visitante) override {
        ++arquivo_.leituras;
        AbaFalsa& aba = arquivo_.abas.at(static_cast<size_t>(posicao - 1));
        if (aba.semMemoria) throw std::bad_alloc();
        int entregues = 0;
        for (const CelulaFalsa& c : aba.celulas) {
            if (entregues++ == aba.falhaAposCelulas) {
                aba.falhaAposCelulas = -1;
                throw ErroPlanilha("Falha simulada na planilha '" + aba.nome + "'.");
            }
            visitante.Celula(c.linha, c.coluna, c.texto);
        }
        return aba.area;
    }

private:
    ArquivoFalso& arquivo_;
};

// Workbooks by path; a path not registered is a missing file.
class ArquivosFalsos {
public:
    ArquivoFalso& operator[](const std::string& caminho) { return arquivos_[caminho]; }

    FabricaLeitor Fabrica() {
        return [this](const std::string& caminho) -> std::unique_ptr<LeitorPlanilha> {
            auto achado = arquivos_.find(caminho);
            if (achado == arquivos_.end())
                throw ErroPlanilha("Não foi possível abrir o arquivo '" + caminho + "'.");
            return std::make_unique<LeitorFalso>(achado->second);
        };
    }

private:
    std::map<std::string, ArquivoFalso> arquivos_;
};

// A folder of its own per test, removed afterwards.
class PastaTemporaria {
public:
    PastaTemporaria() {
        std::string modelo = (std::filesystem::temp_directory_path() / "planilha-XXXXXX").string();
        if (!mkdtemp(modelo.data())) throw std::runtime_error("mkdtemp falhou");
        caminho_ = modelo;
    }
    ~PastaTemporaria() {
        std::error_code erro;
        std::filesystem::remove_all(caminho_, erro);
    }
    std::string operator/(const std::string& nome) const { return (caminho_ / nome).string(); }

private:
    std::filesystem::path caminho_;
};

}  // namespace conversor::intake::teste
