#include "intake/tabela_temp.h"

#include <algorithm>
#include <limits>

#include "base/regional.h"
#include "intake/excel.h"

namespace conversor::intake {

namespace {

std::string Decimal(long long n) { return std::to_string(n); }

}  // namespace

void TTabelaTemp::Recria(int colunas, std::shared_ptr<const GradePlanilha> planilha) {
    if (colunas < 0 || colunas > kMaxColunas)
        throw ErroTabelaTemp("A tabela temporária não pode ter " + Decimal(colunas) +
                             " colunas (o limite de uma planilha é " + Decimal(kMaxColunas) + ").");
    Libera();
    colunas_ = colunas;
    planilha_ = std::move(planilha);
}

void TTabelaTemp::Libera() {
    // Fresh containers give the previous load's memory back at once.
    colunas_ = 0;
    primeiraLinha_ = 1;
    origem_ = {};
    planilha_.reset();
    proprios_ = GradePlanilha();
    registros_ = std::vector<uint32_t>();
    atual_ = 0;
    eof_ = true;
    editando_ = false;
    pendente_ = {};
}

void TTabelaTemp::Reserva(size_t registros) { registros_.reserve(registros); }

void TTabelaTemp::Posta(uint32_t registro) {
    if (registros_.size() >= static_cast<size_t>(std::numeric_limits<int>::max()))
        throw ErroTabelaTemp("A tabela temporária chegou ao limite de registros.");
    registros_.push_back(registro);
    atual_ = RecordCount() - 1;
    eof_ = false;
}

void TTabelaTemp::AnexaLinhaDaPlanilha(int linha) {
    Cancela();
    if (!planilha_) throw ErroTabelaTemp("A tabela temporária não foi criada sobre uma planilha.");
    const size_t r = planilha_->ProcuraLinha(linha);
    Posta(r == GradePlanilha::kNenhuma ? kVazio : static_cast<uint32_t>(r));
}

void TTabelaTemp::NovoRegistro() {
    Cancela();
    editando_ = true;
}

void TTabelaTemp::DefineCampo(int coluna, std::string_view texto) {
    if (!editando_)
        throw ErroTabelaTemp(
            "A tabela temporária não tem registro em inclusão para receber o campo '" +
            Decimal(coluna) + "'.");
    ExigeColuna(coluna);
    pendente_.emplace_back(coluna, std::string(texto.substr(0, kTamanhoCampo)));
}

void TTabelaTemp::Grava() {
    if (!editando_)
        throw ErroTabelaTemp("A tabela temporária não tem registro em inclusão para gravar.");
    // Column order, a column set twice keeping its later text, empty texts left out.
    std::stable_sort(pendente_.begin(), pendente_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    uint64_t bytes = 0;
    for (const auto& [coluna, texto] : pendente_) bytes += texto.size() + 14;
    if (proprios_.Bytes() + bytes > (uint64_t(2) << 30) ||
        proprios_.QuantasLinhas() >= kProprio - 1)
        throw ErroTabelaTemp("A tabela temporária passou do limite de 2 GB de dados.");
    const size_t linhasAntes = proprios_.QuantasLinhas();
    for (size_t k = 0; k < pendente_.size(); ++k) {
        if (k + 1 < pendente_.size() && pendente_[k + 1].first == pendente_[k].first) continue;
        if (!pendente_[k].second.empty())
            proprios_.Anexa(RecordCount() + 1, pendente_[k].first, pendente_[k].second);
    }
    pendente_.clear();
    editando_ = false;
    Posta(proprios_.QuantasLinhas() == linhasAntes ? kVazio
                                                   : kProprio | static_cast<uint32_t>(linhasAntes));
}

void TTabelaTemp::Cancela() {
    pendente_.clear();
    editando_ = false;
}

void TTabelaTemp::First() {
    atual_ = 0;
    eof_ = RecordCount() == 0;
}

void TTabelaTemp::Next() {
    if (atual_ + 1 < RecordCount()) {
        ++atual_;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

std::string TTabelaTemp::Texto(std::string_view nome) const {
    return std::string(TextoVista(ColunaDoNome(nome)));
}

std::string TTabelaTemp::Texto(int coluna) const { return std::string(TextoVista(coluna)); }

std::string_view TTabelaTemp::TextoVista(int coluna) const {
    ExigeColuna(coluna);
    if (registros_.empty()) return {};
    const uint32_t registro = registros_[static_cast<size_t>(atual_)];
    if (registro == kVazio) return {};
    if (registro & kProprio)
        return proprios_.Linha(registro & ~kProprio).Procura(coluna).substr(0, kTamanhoCampo);
    if (!origem_.empty()) {
        coluna = static_cast<size_t>(coluna) <= origem_.size() ? origem_[coluna - 1] : 0;
        if (coluna == 0) return {};
    }
    return planilha_->Linha(registro).Procura(coluna).substr(0, kTamanhoCampo);
}

double TTabelaTemp::Numero(std::string_view nome) const {
    return NumeroDe(ColunaDoNome(nome), nome);
}

double TTabelaTemp::Numero(int coluna) const { return NumeroDe(coluna, Decimal(coluna)); }

double TTabelaTemp::NumeroDe(int coluna, std::string_view nome) const {
    const std::string_view texto = TextoVista(coluna);
    try {
        return TextoParaNumero(texto);
    } catch (const ErroConversao& e) {
        // Through a column map, the sheet's own column is the one to look at.
        const int daPlanilha = origem_.empty() || registros_[static_cast<size_t>(atual_)] & kProprio
                                   ? coluna
                                   : origem_[static_cast<size_t>(coluna - 1)];
        const std::string onde = RecordCount() == 0 ? "; a tabela temporária está vazia"
                                 : daPlanilha == 0
                                     ? ", que o mapa de colunas deixa vazio, linha " +
                                           Decimal(LinhaDaPlanilha()) + " da planilha"
                                     : ", coluna " + TDMCotrolaExcel::LetraColuna(daPlanilha) +
                                           ", linha " + Decimal(LinhaDaPlanilha()) + " da planilha";
        throw ErroCelula(std::string(e.what()) + " (campo '" + std::string(nome) + "'" + onde + ")",
                         coluna, std::string(texto), e.what());
    }
}

int TTabelaTemp::ColunaDoNome(std::string_view nome) const {
    int coluna = 0;
    bool valido = !nome.empty() && nome.size() <= 5 && nome.front() != '0';
    for (size_t i = 0; valido && i < nome.size(); ++i) {
        valido = nome[i] >= '0' && nome[i] <= '9';
        coluna = coluna * 10 + (nome[i] - '0');
    }
    if (!valido || coluna > colunas_)
        throw ErroTabelaTemp("Campo '" + std::string(nome) +
                             "' não encontrado: a tabela temporária tem " +
                             (colunas_ == 0 ? std::string("nenhuma coluna")
                                            : "as colunas '1' a '" + Decimal(colunas_) + "'") +
                             ".");
    return coluna;
}

void TTabelaTemp::ExigeColuna(int coluna) const {
    if (coluna < 1 || coluna > colunas_) ColunaDoNome(Decimal(coluna));
}

void ConfereLinhas(long long primeira, long long ultimaLinha) {
    if (ultimaLinha < 0 || ultimaLinha > kMaxLinhas)
        throw ErroTabelaTemp("A última linha informada (" + Decimal(ultimaLinha) +
                             ") deve estar entre 0 e " + Decimal(kMaxLinhas) + ".");
    // A first row past the last would convert nothing, and a conversion of nothing
    // still empties the kind's tables: surely not what was meant.
    if (primeira < 1 || (primeira > ultimaLinha && primeira > 1))
        throw ErroTabelaTemp(primeira < 1
                                 ? "A primeira linha informada (" + Decimal(primeira) +
                                       ") deve ser 1 ou mais."
                                 : "A primeira linha informada (" + Decimal(primeira) +
                                       ") passa da última linha a converter (" +
                                       Decimal(ultimaLinha) + "): nenhuma linha seria convertida.");
}

void CarregaTabelaTemp(TDMCotrolaExcel& excel, TTabelaTemp& tabela, long long ultimaLinha,
                       Progresso& progresso, const RecorteCarga& recorte) {
    // The sheet read first: its width then comes from the cells in memory, not from a
    // second pass over the file.
    std::shared_ptr<const GradePlanilha> planilha = excel.Planilha();
    const int n =
        recorte.origem.empty() ? excel.UltimaColuna() : static_cast<int>(recorte.origem.size());
    ConfereLinhas(recorte.primeiraLinha, ultimaLinha);
    const long long primeira = recorte.primeiraLinha;
    const int l = static_cast<int>(ultimaLinha - primeira + 1);
    progresso.Posicao(0);
    progresso.Maximo(l);
    progresso.Legenda("Carregando dados do Excel, aguarde!");

    // The records share the rows the driver has read: nothing is copied but a row
    // index per record.
    tabela.Recria(n, std::move(planilha));
    tabela.DefinePrimeiraLinha(static_cast<int>(primeira));
    tabela.DefineOrigem(recorte.origem);
    tabela.Reserva(static_cast<size_t>(std::max(l, 0)));

    const std::string deTotal = " de " + Decimal(l);
    std::string status;
    for (int i = 1; i <= l; ++i) {
        status = "Processando Registro ";
        status += Decimal(i);
        status += deTotal;
        progresso.Status(status);
        progresso.ProcessaMensagens();

        tabela.AnexaLinhaDaPlanilha(static_cast<int>(primeira) + i - 1);
        progresso.Avanca();
    }
}

}  // namespace conversor::intake
