#include "convert/partners/vendedor_dao.h"

#include <string>

#include "base/regional.h"
#include "convert/conversao.h"
#include "db/erro.h"

namespace conversor::convert {

namespace {


std::string Codigo(std::string_view texto, int largura) {
    return TConversao::CompletaZeros(Primeiros(texto, static_cast<size_t>(largura)), largura);
}

std::string Documento(std::string_view texto, size_t largura) {
    return TConversao::RetiraPontuacao(Primeiros(TConversao::TrataInscricao(texto), largura));
}

}  // namespace

TVendedorDAO::TVendedorDAO(db::Conexao& database, Mensagens& mensagens)
    : mensagens_(mensagens), query_(database) {}

bool TVendedorDAO::Inserir(const TRegistroVendedor& r) {
    db::Consulta& q = query_;
    q.DefineSql(
        "INSERT INTO VENDEND ( VENDEND.CODVENDEDOR, VENDEND.NOME, VENDEND.ENDERECO, "
        "VENDEND.BAIRRO, VENDEND.CODCIDADE, VENDEND.ESTADO, VENDEND.CEP, VENDEND.TELEFONE, "
        "VENDEND.COMISSAO, VENDEND.EMAIL, VENDEND.CODPRACA, VENDEND.ATIVO, VENDEND.CODROTA, "
        "VENDEND.CODROTA2, VENDEND.CODROTA3, VENDEND.CODROTA4, VENDEND.CODROTA5, "
        "VENDEND.CODROTA6, VENDEND.CODROTA7, VENDEND.CODROTA8, VENDEND.CODROTA9, "
        "VENDEND.CODROTA10, VENDEND.TIPOVENDEDOR, VENDEND.DATAULTIMAVISITA, VENDEND.CGCCPF, "
        "VENDEND.INSCEST, VENDEND.RG, VENDEND.MUDAPRECOPDV, VENDEND.SENHATRANSF, "
        "VENDEND.CODSUPERVISOR, VENDEND.HORAINI, VENDEND.HORAFIM, VENDEND.CODEMPRESA, "
        "VENDEND.CODFORNEC, VENDEND.PRECOVENDEDOR, VENDEND.ULTIMAVISITAMARCADA, VENDEND.CODFID, "
        "VENDEND.CODBARRASVEND, VENDEND.SENHAFARMPOP, VENDEND.VERSION, "
        "VENDEND.COD_VENDEDOR_JAVA ) VALUES ( :CODVENDEDOR, :NOME, :ENDERECO, :BAIRRO, "
        ":CODCIDADE, :ESTADO, :CEP, :TELEFONE, :COMISSAO, :EMAIL, :CODPRACA, :ATIVO, :CODROTA, "
        ":CODROTA2, :CODROTA3, :CODROTA4, :CODROTA5, :CODROTA6, :CODROTA7, :CODROTA8, "
        ":CODROTA9, :CODROTA10, :TIPOVENDEDOR, :DATAULTIMAVISITA, :CGCCPF, :INSCEST, :RG, "
        ":MUDAPRECOPDV, :SENHATRANSF, :CODSUPERVISOR, :HORAINI, :HORAFIM, :CODEMPRESA, "
        ":CODFORNEC, :PRECOVENDEDOR, :ULTIMAVISITAMARCADA, :CODFID, :CODBARRASVEND, "
        ":SENHAFARMPOP, :VERSION, :COD_VENDEDOR_JAVA )");
    q.ParamTexto("Codvendedor", Codigo(r.GetCodvendedor(), 4));
    q.ParamTexto("Nome", Primeiros(r.GetNome(), 40));
    q.ParamTexto("Endereco", Primeiros(r.GetEndereco(), 50));
    q.ParamTexto("Bairro", Primeiros(r.GetBairro(), 30));
    q.ParamTexto("Codcidade", Codigo(r.GetCodcidade(), 5));
    q.ParamTexto("Estado", Primeiros(r.GetEstado(), 2));
    q.ParamTexto("Cep", Primeiros(TConversao::SomenteNumeros(r.GetCep()), 8));
    q.ParamTexto("Telefone", TConversao::SomenteNumeros(
                                 Primeiros(TConversao::TrataInscricao(r.GetTelefone()), 16)));
    q.ParamDouble("Comissao", r.GetComissao());
    q.ParamTexto("Email", Primeiros(r.GetEmail(), 60));
    q.ParamTexto("Codpraca", Primeiros(r.GetCodpraca(), 4));
    q.ParamTexto("Ativo", Primeiros(r.GetAtivo(), 1));
    q.ParamTexto("Codrota", Primeiros(r.GetCodrota(), 5));
    q.ParamTexto("Codrota2", Primeiros(r.GetCodrota2(), 5));
    q.ParamTexto("Codrota3", Primeiros(r.GetCodrota3(), 5));
    q.ParamTexto("Codrota4", Primeiros(r.GetCodrota4(), 5));
    q.ParamTexto("Codrota5", Primeiros(r.GetCodrota5(), 5));
    q.ParamTexto("Codrota6", Primeiros(r.GetCodrota6(), 5));
    q.ParamTexto("Codrota7", Primeiros(r.GetCodrota7(), 5));
    q.ParamTexto("Codrota8", Primeiros(r.GetCodrota8(), 5));
    q.ParamTexto("Codrota9", Primeiros(r.GetCodrota9(), 5));
    q.ParamTexto("Codrota10", Primeiros(r.GetCodrota10(), 5));
    q.ParamTexto("Tipovendedor", Primeiros(r.GetTipovendedor(), 5));
    q.ParamDataHora("Dataultimavisita", r.GetDataultimavisita());
    q.ParamTexto("Cgccpf", Documento(r.GetCgccpf(), 18));
    q.ParamTexto("Inscest", Documento(r.GetInscest(), 15));
    q.ParamTexto("Rg", Documento(r.GetRg(), 15));
    q.ParamTexto("Mudaprecopdv", r.GetMudaprecopdv());
    q.ParamTexto("Senhatransf", r.GetSenhatransf());
    q.ParamTexto("Codsupervisor", r.GetCodsupervisor());
    q.ParamTexto("Horaini", r.GetHoraini());
    q.ParamTexto("Horafim", r.GetHorafim());
    q.ParamTexto("Codempresa", Codigo(r.GetCodempresa(), 2));
    q.ParamTexto("Codfornec", Codigo(r.GetCodfornec(), 6));
    q.ParamInteiro("Precovendedor", r.GetPrecovendedor());
    q.ParamDataHora("Ultimavisitamarcada", r.GetUltimavisitamarcada());
    q.ParamTexto("Codfid", Primeiros(r.GetCodfid(), 16));
    q.ParamTexto("Codbarrasvend", Primeiros(r.GetCodbarrasvend(), 15));
    q.ParamTexto("Senhafarmpop", Primeiros(r.GetSenhafarmpop(), 8));
    q.ParamDataHora("Version", r.GetVersion());
    q.ParamTexto("Cod_vendedor_java", Primeiros(r.GetCod_vendedor_java(), 18));
    try {
        q.Executa();
    } catch (const db::ErroBanco& e) {
        // One refused seller does not stop the others; a database that refuses every
        // seller (read-only, the table missing, out of space) ends the run instead of
        // warning once per row and then reporting success.
        if (e.Grave()) throw;
        mensagens_.Aviso(std::string("Ocorreu um erro ao tentar inserir os dados da ") +
                         "TVendedorDAO" + ".\rMotivo: " + e.what());
        return false;
    }
    return true;
}

}  // namespace conversor::convert
