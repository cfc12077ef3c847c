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
# Leak detection is off here: LeakSanitizer's scan at exit crashes ("Tracer caught
# signal 11") on the thread-local storage the Firebird client's modules leave behind,
# after tests that passed. Memory errors and undefined behaviour still fail the test;
# leaks in the readers are still caught by the fuzz targets (fuzz/run.sh).
cd build-asan
ASAN_OPTIONS=halt_on_error=1:detect_leaks=0:check_initialization_order=1:strict_init_order=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
