// The conversion run: the inputs checked, the chosen sheet copied into the staging
// table, and the chosen record kind's sheet mapping run inside the connection's
// transaction, committed at the end or rolled back on the first error. The window,
// the command line and the tests drive this same object.
#pragma once

#include <string>

#include "convert/mensagens.h"
#include "db/conexao.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::app {

// The record kinds, in the order the run tests them.
enum class TipoRegistro { Produtos, Clientes, Fornecedores, Vendedores, Transportadoras };

// What the user entered in the window (or on the command line).
struct PedidoConversao {
    std::string numLinha;       // `edtNumLinha`
    std::string caminhoOrigem;  // `edtCaminhoOrigem`
    int planilha = -1;          // chosen entry of `MostraPlanilha`, counted from 0; -1 none
    TipoRegistro tipo = TipoRegistro::Produtos;
};

// The input controls as the run sees them: enabled and disabled together, and the
// control that gets the focus after a refused input.
class ControlesEntrada {
public:
    enum class Controle { NumLinha, Btabrir, MostraPlanilha };
    virtual ~ControlesEntrada() = default;
    virtual void HabilitaCampos() = 0;
    virtual void DesabilitaCampos() = 0;
    virtual void Foca(Controle controle) = 0;
};

// Where there are no controls to enable or focus: the command line, the tests.
class SemControles final : public ControlesEntrada {
public:
    void HabilitaCampos() override {}
    void DesabilitaCampos() override {}
    void Foca(Controle) override {}
};

enum class DesfechoConversao {
    Recusada,    // an input was missing; the user was warned
    ErroLeitura, // selecting or loading the sheet failed; nothing was written
    Concluida,   // "Conversão concluída com sucesso!"
    Falhou,      // the mapping failed and the transaction was rolled back
};

// Owns nothing: the connection, the driver, the staging table and the displays
// belong to the caller (the window or the command line) and outlive the run.
class ExecucaoConversao {
public:
    ExecucaoConversao(db::Conexao& dbVantora, intake::TDMCotrolaExcel& dmExcel,
                      intake::TTabelaTemp& cdsTabelaTemp, intake::Progresso& progresso,
                      convert::Mensagens& mensagens, ControlesEntrada& controles,
                      std::string arquivoCidades = {});

    // What pressing "&Efetuar Conversão" does.
    DesfechoConversao btOKClick(const PedidoConversao& pedido);

    // True when an input is missing (the user has been told).
    bool ValidaCampos(const PedidoConversao& pedido);
    void CarregaTabelaTemp(const std::string& numLinha);
    // The transaction bracket around the record kind's sheet mapping; true on success.
    bool ExecutaConversao(TipoRegistro tipo);

    void IniciaTransacao();
    void ConfirmaTransacao();
    void DesfazTransacao();
    // Statements prepared once and run with their values bound (the default), or each
    // row sent as its own text; the tests and the benchmark compare the two.
    void ComandosPreparados(bool preparados) { comandosPreparados_ = preparados; }

private:
    // Empties the caption, the status text and the gauge after a failure.
    void LimpaProgresso();

    db::Conexao& dbVantora_;
    intake::TDMCotrolaExcel& dmExcel_;
    intake::TTabelaTemp& cdsTabelaTemp_;
    intake::Progresso& progresso_;
    convert::Mensagens& mensagens_;
    ControlesEntrada& controles_;
    std::string arquivoCidades_;
    bool comandosPreparados_ = true;
};

}  // namespace conversor::app
