#!/usr/bin/env bash
# Sets up, checks the layout of the sources (scripts/confere_formato.sh), builds and runs
# every test; then builds them again with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/) and runs them there, where any report fails
# the test. SANITIZADORES=0 skips that second pass. A Firebird server of this computer
# runs on the loopback address for both passes (scripts/servidor_firebird.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
RAIZ=$PWD
bash scripts/build.sh
bash scripts/confere_formato.sh
source scripts/servidor_firebird.sh
trap ParaServidorFirebird EXIT
IniciaServidorFirebird
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

[ "${SANITIZADORES:-1}" = 0 ] && exit 0
echo "== Os mesmos testes com AddressSanitizer e UndefinedBehaviorSanitizer (build-asan) =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCONVERSOR_SANITIZE=ON > /dev/null
cmake --build build-asan -j"$(nproc)"
# Leaks are looked for in every test and in every program a test runs. LeakSanitizer's
# scan at exit crashed ("Tracer caught signal 11") in any process that had opened a
# database with the embedded engine: the engine's module (libEngine12.so) is loaded by
# the Firebird client with dlopen, so its thread-local block is dynamic TLS, whose size
# this LeakSanitizer guesses from the bytes before the block and gets wrong. Loaded with
# the program (LD_PRELOAD), the module's TLS is static and scanned as such. What
# tests/lsan.supp names is not ours (Firebird's, ICU's, libgsf's).
MOTOR=$(dpkg -L firebird3.0-server-core | grep '/plugins/libEngine12.so$' | head -1)
# Held by the preload, the module stays loaded when the client lets it go after some
# minutes without a connection, and a later connection finds the engine shut down. The
# one test that waits that long for the program it runs goes without the preload, and so
# without leak detection.
SEM_PRELOAD='^ComandoConverterTeste\.LinhasMuitoAlemDosDadosNaoSaoConvertidasUmaAUma$'
echo "== Vazamentos procurados em todos os testes menos ${SEM_PRELOAD}: ele espera minutos sem conexão, e o motor do Firebird carregado de antemão (LD_PRELOAD=$MOTOR, sem o qual o LeakSanitizer cai ao sair) não se reabre depois disso =="
echo "== Fora da busca, por não serem do conversor: $(grep -E '^leak:' tests/lsan.supp | cut -d: -f2 | paste -sd' ') (tests/lsan.supp) =="
cd build-asan
inicio=$SECONDS
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen
ASAN=halt_on_error=1:check_initialization_order=1:strict_init_order=1
# The test left out runs alongside the others, its output shown once both are done.
ASAN_OPTIONS=$ASAN:detect_leaks=0 ctest --output-on-failure -R "$SEM_PRELOAD" > sem_preload.log 2>&1 &
SEM_PRELOAD_PID=$!
status=0
LD_PRELOAD=$MOTOR ASAN_OPTIONS=$ASAN:detect_leaks=1:verify_asan_link_order=0 \
LSAN_OPTIONS=suppressions=$RAIZ/tests/lsan.supp:print_suppressions=0 \
ctest --output-on-failure -j"$(nproc)" -E "$SEM_PRELOAD" || status=1
wait "$SEM_PRELOAD_PID" || status=1
echo "== Sem o motor carregado de antemão e sem busca de vazamentos: =="
cat sem_preload.log
echo "== Testes com os sanitizadores: $((SECONDS - inicio)) s =="
exit $status
