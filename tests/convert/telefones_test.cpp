// The telephone of every record kind that has one, through its sheet mapping run by the
// real conversion run, against a real database and the shipped city table: whether
// the city's area code goes in front is decided on the first number of the cell.
#include "convert/partners/apoio_parceiros.h"

namespace conversor::convert {
namespace {

using app::TipoRegistro;
using teste::LinhaPlanilha;

// Where a kind's sheet has the code, city, state and telephone, and where its table
// keeps the telephone.
struct Tipo {
    const char* nome;
    TipoRegistro tipo;
    int colunas;
    int colunaCodigo;
    int colunaCidade;
    int colunaEstado;
    int colunaTelefone;
    const char* consulta;  // the telephones in the order of the codes
};

const Tipo kTipos[] = {
    {"clientes", TipoRegistro::Clientes, 130, 18, 15, 51, 123,
     "select FONE from CLIENTE order by CODCLIENTE"},
    {"fornecedores", TipoRegistro::Fornecedores, 48, 30, 8, 28, 48,
     "select FONE from FORNECE order by CODFORNEC"},
    {"transportadoras", TipoRegistro::Transportadoras, 27, 27, 6, 14, 26,
     "select FONE from TRANSPT order by CODTRANSPT"},
    {"vendedores", TipoRegistro::Vendedores, 57, 57, 10, 27, 54,
     "select TELEFONE from VENDEND order by CODVENDEDOR"},
};

// Every row is in Juiz de Fora (area code 32, not the default 31). Clients and
// suppliers keep the first 15 characters; carriers and sellers keep digits only,
// carriers of the first 16 characters, sellers the first 16 digits.
struct Caso {
    const char* celula;
    const char* texto;           // clients and suppliers
    const char* transportadora;  // digits
    const char* vendedor;        // digits
};

const Caso kCasos[] = {
    // An extension's digits do not make an area code.
    {"3333-4444 r. 21", "3233334444r21", "323333444421", "323333444421"},
    {"98765-4321 r. 3", "32987654321r3", "329876543213", "329876543213"},
    {"3333-4444 ramal 21", "3233334444ramal", "32333344442", "323333444421"},
    {"9988-7777 ramal 2", "3299887777ramal", "32998877772", "32998877772"},
    // Nor do a second number's.
    {"3333-4444 / 3333-5555", "323333444433335", "3233334444333355", "3233334444333355"},
    {"3333-4444 e 3333-5555", "3233334444e3333", "323333444433335", "3233334444333355"},
    // A first number with its area code keeps it, whatever follows.
    {"(31) 3333-4444 / 3333-5555", "313333444433335", "3133334444333355", "3133334444333355"},
    {"(11) 98765-4321", "11987654321", "11987654321", "11987654321"},
    {"0 21 3333 4444", "2133334444", "2133334444", "2133334444"},
    // A word in front of the number is not where the number ends.
    {"Tel. (31) 3333-4444", "Tel3133334444", "3133334444", "3133334444"},
    {"3333-4444", "3233334444", "3233334444", "3233334444"},
    {"", "", "", ""},
    {".", "", "", ""},
    {"   ", "", "", ""},
};

class Telefones : public teste::ParceirosBanco {
protected:
    void SetUp() override {
        ParceirosBanco::SetUp();
        Executa("DELETE FROM CLIENTE");
        Executa("DELETE FROM COMPCLIE");
    }

    static std::vector<std::string> Coluna(const std::string& sql) {
        db::Consulta q(Banco());
        q.DefineSql(sql);
        std::vector<std::string> r;
        for (q.Abre(); !q.Eof(); q.Proximo()) r.push_back(q.CampoTexto(q.NomeCampo(0)));
        return r;
    }
};

TEST_F(Telefones, AreaDaCidadeDecididaPeloPrimeiroNumero) {
    for (const Tipo& t : kTipos) {
        SCOPED_TRACE(t.nome);
        std::vector<LinhaPlanilha> linhas;
        for (const Caso& c : kCasos)
            linhas.push_back({{t.colunaCodigo, std::to_string(linhas.size() + 1)},
                              {t.colunaCidade, "Juiz de Fora"},
                              {t.colunaEstado, "MG"},
                              {t.colunaTelefone, c.celula}});
        mensagens_.Limpa();
        ASSERT_TRUE(Converte(t.tipo, t.colunas, linhas))
            << ::testing::PrintToString(mensagens_.Erros());
        const std::vector<std::string> gravados = Coluna(t.consulta);
        ASSERT_EQ(gravados.size(), std::size(kCasos));
        for (size_t i = 0; i < gravados.size(); ++i) {
            const Caso& c = kCasos[i];
            const char* esperado = t.tipo == TipoRegistro::Transportadoras ? c.transportadora
                                   : t.tipo == TipoRegistro::Vendedores    ? c.vendedor
                                                                           : c.texto;
            EXPECT_EQ(gravados[i], esperado) << "célula \"" << c.celula << "\"";
        }
    }
}

}  // namespace
}  // namespace conversor::convert
