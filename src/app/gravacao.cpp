#include "app/gravacao.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/regional.h"

namespace conversor::app {

namespace {

// libxlsxwriter prints its failures in English on stderr, where the person would read
// them beside our own message: while it works, stderr goes nowhere.
class ErrosCalados {
public:
    ErrosCalados() {
        std::fflush(stderr);
        copia_ = dup(STDERR_FILENO);
        const int nulo = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nulo >= 0) {
            dup2(nulo, STDERR_FILENO);
            close(nulo);
        }
    }
    ~ErrosCalados() {
        std::fflush(stderr);
        if (copia_ >= 0) {
            dup2(copia_, STDERR_FILENO);
            close(copia_);
        }
    }
    ErrosCalados(const ErrosCalados&) = delete;
    ErrosCalados& operator=(const ErrosCalados&) = delete;

private:
    int copia_;
};

std::string MotivoDaBiblioteca(lxw_error erro) {
    switch (erro) {
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return "memória insuficiente";
        case LXW_ERROR_CREATING_TMPFILE:
            return "não foi possível criar um arquivo temporário";
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            return "não foi possível montar a pasta num arquivo temporário (falta espaço "
                   "na pasta de temporários?)";
        default:
            return "falha da biblioteca de planilhas";
    }
}

// A temporary file of this computer's temporary folder, removed with the object.
class Temporario {
public:
    Temporario() {
        std::error_code erro;
        std::string modelo =
            (std::filesystem::temp_directory_path(erro) / "conversor-XXXXXX.xlsx").string();
        if (erro) modelo = "/tmp/conversor-XXXXXX.xlsx";
        const int fd = mkstemps(modelo.data(), 5);
        if (fd < 0) return;
        close(fd);
        caminho_ = modelo;
    }
    ~Temporario() {
        if (!caminho_.empty()) unlink(caminho_.c_str());
    }
    Temporario(const Temporario&) = delete;
    Temporario& operator=(const Temporario&) = delete;
    const std::string& Caminho() const { return caminho_; }

private:
    std::string caminho_;
};

// Copies `origem` over `destino`; 0 or the errno of the first read or write that failed.
int Copia(const std::string& origem, const std::string& destino) {
    const int entrada = open(origem.c_str(), O_RDONLY | O_CLOEXEC);
    if (entrada < 0) return errno;
    const int saida = open(destino.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (saida < 0) {
        const int erro = errno;
        close(entrada);
        return erro;
    }
    int erro = 0;
    char bloco[1 << 16];
    for (;;) {
        const ssize_t lidos = read(entrada, bloco, sizeof bloco);
        if (lidos < 0 && errno == EINTR) continue;
        if (lidos <= 0) {
            if (lidos < 0) erro = errno;
            break;
        }
        for (ssize_t feitos = 0; feitos < lidos && !erro;) {
            const ssize_t n = write(saida, bloco + feitos, static_cast<size_t>(lidos - feitos));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0)
                erro = n < 0 ? errno : ENOSPC;
            else
                feitos += n;
        }
        if (erro) break;
    }
    // A file system that keeps writes back may refuse them only here.
    if (!erro && fsync(saida) != 0 && errno != EINVAL && errno != EROFS) erro = errno;
    if (close(saida) != 0 && !erro) erro = errno;
    close(entrada);
    return erro;
}

}  // namespace

void RecusaSobreArquivoLido(const std::string& arquivo, const std::string& nome,
                            const std::vector<ArquivoLido>& lidos) {
    for (const ArquivoLido& lido : lidos) {
        std::error_code erro;
        if (!lido.caminho.empty() && std::filesystem::equivalent(arquivo, lido.caminho, erro))
            throw ErroGravacao(nome + " seria gravado sobre " + lido.papel + ".");
    }
}

std::string PorQueNaoGrava(int erro) {
    switch (erro) {
        case ENOENT:
        case ENOTDIR:
            return "a pasta não existe";
        case EACCES:
        case EPERM:
            return "sem permissão de gravação";
        case EROFS:
            return "o disco é somente leitura";
        case ENOSPC:
        case EDQUOT:
            return "não há espaço livre no disco";
        case EISDIR:
            return "é uma pasta";
        case EIO:
            return "erro de leitura ou gravação no disco";
        default:
            return Utf8ParaCp1252(std::strerror(erro));
    }
}

void GravaPastaXlsx(const std::string& arquivo, const std::string& nome,
                    const std::function<void(lxw_workbook*)>& preenche) {
    const Temporario temporario;
    if (temporario.Caminho().empty())
        throw ErroGravacao(nome +
                           " não pode ser gravado: não foi possível criar um arquivo "
                           "temporário.");
    lxw_error falha = LXW_NO_ERROR;
    {
        const ErrosCalados calados;
        lxw_workbook* pasta = workbook_new(temporario.Caminho().c_str());
        if (!pasta) {
            falha = LXW_ERROR_MEMORY_MALLOC_FAILED;
        } else {
            preenche(pasta);
            falha = workbook_close(pasta);
        }
    }
    if (falha != LXW_NO_ERROR)
        throw ErroGravacao(nome + " não pode ser gravado: " + MotivoDaBiblioteca(falha) + ".");
    std::error_code erro;
    const bool existia = std::filesystem::exists(arquivo, erro);
    if (const int e = Copia(temporario.Caminho(), arquivo); e != 0) {
        if (!existia && std::filesystem::is_regular_file(arquivo, erro))
            std::filesystem::remove(arquivo, erro);
        throw ErroGravacao(nome + " não pode ser gravado: " + PorQueNaoGrava(e) + ".");
    }
}

}  // namespace conversor::app
