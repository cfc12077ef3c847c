// Test support: "another program" that has a database open. It connects to the
// database named on its command line, writes "conectado", and keeps the connection
// until its stdin closes (a minute at most, so a forgotten one does not linger).
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "db/conexao.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Uso: segura_banco BANCO\n");
        return 2;
    }
    conversor::db::Conexao conexao;
    conexao.DefineNomeBanco(argv[1]);
    try {
        conexao.Conecta();
    } catch (const conversor::db::ErroBanco& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("conectado\n");
    std::fflush(stdout);
    const auto fim = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    char c;
    while (std::chrono::steady_clock::now() < fim) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        if (poll(&p, 1, 1000) > 0 && read(STDIN_FILENO, &c, 1) <= 0) break;
    }
    return 0;
}
