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
# Leaks are looked for in every test and in every program a test runs. LeakSanitizer
# takes the threads' TLS out of its roots (use_tls=0): the dynamic TLS that the embedded
# Firebird engine's modules leave behind at exit holds stale ranges, and scanning them
# crashes the scan ("Tracer caught signal 11") after tests that passed. Without those
# roots a block kept only by a thread-local pointer would show as a leak, never the
# other way round: nothing leaked goes unseen. What tests/lsan.supp names is not ours.
echo "== Vazamentos procurados em todos os testes; fora da busca, por não serem do conversor: $(grep -E '^leak:' tests/lsan.supp | cut -d: -f2 | paste -sd' ') (tests/lsan.supp) =="
cd build-asan
inicio=$SECONDS
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
LSAN_OPTIONS=use_tls=0:suppressions=$RAIZ/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
echo "== Testes com os sanitizadores: $((SECONDS - inicio)) s =="
