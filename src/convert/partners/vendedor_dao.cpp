#include "convert/partners/vendedor_dao.h"

#include <string>

#include "base/regional.h"
#include "convert/colunas.h"
#include "convert/limpeza.h"
#include "db/erro.h"

namespace conversor::convert {

namespace {

// The cleanings applied as the row is written, each with its column's width.
std::string Cortado(std::string_view texto, int largura) {
    return Primeiros(texto, static_cast<size_t>(largura));
}
std::string Documento(std::string_view texto, int largura) {
    return RetiraPontuacao(Primeiros(TrataInscricao(texto), static_cast<size_t>(largura)));
}
std::string Digitos(std::string_view texto, int largura) {
    return Primeiros(SomenteNumeros(texto), static_cast<size_t>(largura));
}
std::string Telefone(std::string_view texto, int largura) {
    return SomenteNumeros(Primeiros(TrataInscricao(texto), static_cast<size_t>(largura)));
}

using F = TCamposVendedor;
using R = TRegistroVendedor;
using C = Coluna<F, R>;

C T(const char* nome, int largura, std::string F::*campo, C::Regra regra) {
    return C::Texto(nome, largura, campo).Parametro(nome + 8, regra);  // past "VENDEND."
}
C N(const char* nome, double F::*campo, TipoColuna tipo = TipoColuna::Numero) {
    return C::Numero(nome, campo).Como(tipo).Parametro(nome + 8);
}

// The columns of the insert, each bound to the parameter of its name and cleaned to
// its width on the way.
const C kColunas[] = {
    T("VENDEND.CODVENDEDOR", 4, &F::Codvendedor, CodigoFixo),
    T("VENDEND.NOME", 40, &F::Nome, Cortado),
    T("VENDEND.ENDERECO", 50, &F::Endereco, Cortado),
    T("VENDEND.BAIRRO", 30, &F::Bairro, Cortado),
    T("VENDEND.CODCIDADE", 5, &F::Codcidade, CodigoFixo),
    T("VENDEND.ESTADO", 2, &F::Estado, Cortado),
    T("VENDEND.CEP", 8, &F::Cep, Digitos),
    T("VENDEND.TELEFONE", 16, &F::Telefone, Telefone),
    N("VENDEND.COMISSAO", &F::Comissao),
    T("VENDEND.EMAIL", 60, &F::Email, Cortado),
    T("VENDEND.CODPRACA", 4, &F::Codpraca, Cortado),
    T("VENDEND.ATIVO", 1, &F::Ativo, Cortado),
    T("VENDEND.CODROTA", 5, &F::Codrota, Cortado),
    T("VENDEND.CODROTA2", 5, &F::Codrota2, Cortado),
    T("VENDEND.CODROTA3", 5, &F::Codrota3, Cortado),
    T("VENDEND.CODROTA4", 5, &F::Codrota4, Cortado),
    T("VENDEND.CODROTA5", 5, &F::Codrota5, Cortado),
    T("VENDEND.CODROTA6", 5, &F::Codrota6, Cortado),
    T("VENDEND.CODROTA7", 5, &F::Codrota7, Cortado),
    T("VENDEND.CODROTA8", 5, &F::Codrota8, Cortado),
    T("VENDEND.CODROTA9", 5, &F::Codrota9, Cortado),
    T("VENDEND.CODROTA10", 5, &F::Codrota10, Cortado),
    T("VENDEND.TIPOVENDEDOR", 5, &F::Tipovendedor, Cortado),
    N("VENDEND.DATAULTIMAVISITA", &F::Dataultimavisita, TipoColuna::DataNumero),
    T("VENDEND.CGCCPF", 18, &F::Cgccpf, Documento),
    T("VENDEND.INSCEST", 15, &F::Inscest, Documento),
    T("VENDEND.RG", 15, &F::Rg, Documento),
    // Written as given: the database refuses what does not fit.
    T("VENDEND.MUDAPRECOPDV", 0, &F::Mudaprecopdv, nullptr),
    T("VENDEND.SENHATRANSF", 0, &F::Senhatransf, nullptr),
    T("VENDEND.CODSUPERVISOR", 0, &F::Codsupervisor, nullptr),
    T("VENDEND.HORAINI", 0, &F::Horaini, nullptr),
    T("VENDEND.HORAFIM", 0, &F::Horafim, nullptr),
    T("VENDEND.CODEMPRESA", 2, &F::Codempresa, CodigoFixo),
    T("VENDEND.CODFORNEC", 6, &F::Codfornec, CodigoFixo),
    C::Inteiro("VENDEND.PRECOVENDEDOR", &F::Precovendedor).Parametro("PRECOVENDEDOR"),
    N("VENDEND.ULTIMAVISITAMARCADA", &F::Ultimavisitamarcada, TipoColuna::DataNumero),
    T("VENDEND.CODFID", 16, &F::Codfid, Cortado),
    T("VENDEND.CODBARRASVEND", 15, &F::Codbarrasvend, Cortado),
    T("VENDEND.SENHAFARMPOP", 8, &F::Senhafarmpop, Cortado),
    N("VENDEND.VERSION", &F::Version, TipoColuna::DataNumero),
    T("VENDEND.COD_VENDEDOR_JAVA", 18, &F::Cod_vendedor_java, Cortado),
};

const FormaInsert kInsert{"INSERT INTO VENDEND ( ", " ) VALUES ( ", " )"};

}  // namespace

TVendedorDAO::TVendedorDAO(db::Conexao& database, Mensagens& mensagens)
    : mensagens_(mensagens), query_(database), insert_(kInsert, kColunas) {}

bool TVendedorDAO::Inserir(const TRegistroVendedor& r) {
    insert_.Prepara(query_, r.Campos());
    try {
        query_.Executa();
    } catch (const db::ErroBanco& e) {
        // One refused seller does not stop the others; a database that refuses every
        // seller (read-only, the table missing, out of space) ends the run instead of
        // warning once per row and then reporting success.
        db::RelancaSeGrave();
        mensagens_.Aviso(std::string("Ocorreu um erro ao tentar inserir os dados da ") +
                         "TVendedorDAO" + ".\rMotivo: " + e.what());
        return false;
    }
    return true;
}

}  // namespace conversor::convert
