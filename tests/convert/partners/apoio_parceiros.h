// Test support for the supplier, carrier and seller kinds: a staging table filled by
// hand and converted by the real run (transaction bracket and messages included)
// against a real database.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "apoio/progresso_gravado.h"
#include "app/execucao.h"
#include "db/consulta.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::teste {

// One staging row: column number -> cell text (Windows-1252).
using LinhaPlanilha = std::map<int, std::string>;

class ParceirosBanco : public BancoTeste {
protected:
    void SetUp() override {
        for (const char* tabela : {"TRANSPT", "FORNECE", "VENDEND", "CIDADES"})
            Executa(std::string("DELETE FROM ") + tabela);
    }

    // Loads the rows into a staging table of `colunas` columns and runs the kind's
    // conversion as the window does once the sheet is loaded; true on success.
    bool Converte(app::TipoRegistro tipo, int colunas, const std::vector<LinhaPlanilha>& linhas) {
        tabela_.Recria(colunas);
        for (const LinhaPlanilha& linha : linhas) {
            tabela_.NovoRegistro();
            for (const auto& [coluna, texto] : linha) tabela_.DefineCampo(coluna, texto);
            tabela_.Grava();
        }
        app::ExecucaoConversao execucao(Banco(), excel_, tabela_, progresso_, mensagens_,
                                        CONVERSOR_TABELA_CIDADES);
        return execucao.ExecutaConversao(tipo);
    }

    // Every column of the first row of a select as text; "<nulo>" for a null.
    static std::vector<std::string> Linha(const std::string& sql) {
        db::Consulta q(Banco());
        q.DefineSql(sql);
        q.Abre();
        std::vector<std::string> r;
        if (q.Eof()) return r;
        for (int i = 0; i < q.NumeroCampos(); ++i)
            r.push_back(q.CampoNulo(q.NomeCampo(i)) ? "<nulo>" : q.CampoTexto(q.NomeCampo(i)));
        return r;
    }

    intake::TDMCotrolaExcel excel_;
    intake::TTabelaTemp tabela_;
    ProgressoGravado progresso_;
    MensagensGravadas mensagens_;
};

}  // namespace conversor::teste
