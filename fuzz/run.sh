#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs each one for SECONDS, seeded with the real workbooks of the tests, the seeds
# of fuzz/sementes and every regression fixture. Reports per target the time, the
# executions and what was found; a crash, hang or memory blow-up leaves its input in
# <build>/achados/<target>/ and makes the script fail.
#
#   fuzz/run.sh SECONDS [TARGET...]      (BUILD_FUZZ=folder, default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
RAIZ=$PWD

SEGUNDOS=${1:?uso: fuzz/run.sh SEGUNDOS [ALVO...]}
shift
TODOS=(fuzz_xlsx fuzz_xlsx_blocos fuzz_ods fuzz_zip fuzz_xls fuzz_csv fuzz_tabela_ddd)
ALVOS=("${@:-${TODOS[@]}}")
B=$(realpath -m "${BUILD_FUZZ:-build-fuzz}")

bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B "$B" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONVERSOR_FUZZ=ON \
    -DCONVERSOR_TESTS=OFF > /dev/null
cmake --build "$B" -j"$(nproc)" --target fuzz > "$B/build.log" 2>&1 || {
    tail -50 "$B/build.log"
    exit 1
}

# --- seeds -------------------------------------------------------------------------
PASTAS=tests/intake/pastas
REGRESSAO=tests/intake/regressao
S="$B/sementes"
rm -rf "$S"
mkdir -p "${TODOS[@]/#/$S/}"
for f in "$PASTAS"/*.xlsx "$PASTAS"/*.ods; do
    cp "$f" "$S/fuzz_zip/"
    case "$f" in
        *.xlsx) "$B/fuzz/sementes" partes "$f" "$S/fuzz_xlsx/$(basename "$f").txt" ;;
        *.ods) "$B/fuzz/sementes" partes "$f" "$S/fuzz_ods/$(basename "$f").txt" ;;
    esac
done
for f in "$PASTAS"/*.xls; do
    cp "$f" "$S/fuzz_xls/"
    "$B/fuzz/sementes" biff "$f" "$S/fuzz_xls/$(basename "$f").biff" || true
done
cp "$PASTAS"/*.csv "$S/fuzz_csv/"
cp "$B/src/DCETCIDA.DBF" "$S/fuzz_tabela_ddd/"
# Hand-made seeds, and every input that once broke a reader.
for alvo in "${TODOS[@]}"; do
    for pasta in "fuzz/sementes/$alvo" "$REGRESSAO/$alvo"; do
        [ -d "$pasta" ] && cp "$pasta"/* "$S/$alvo/" 2>/dev/null || true
    done
done

# --- runs --------------------------------------------------------------------------
declare -A MAXIMO=([fuzz_xlsx]=131072 [fuzz_xlsx_blocos]=4096 [fuzz_ods]=131072 [fuzz_zip]=65536 [fuzz_xls]=65536
                   [fuzz_csv]=16384 [fuzz_tabela_ddd]=16384)
declare -A DICIONARIO=([fuzz_xlsx]=fuzz/xlsx.dict [fuzz_xlsx_blocos]=fuzz/xlsx.dict [fuzz_ods]=fuzz/ods.dict)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
# Leaks that are the libraries' own, not the readers' (each one says why).
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$RAIZ/tests/lsan.supp:print_suppressions=0}
# libgsf's leak on a damaged OLE2 directory is told apart by its whole stack, which the
# fast unwinder loses in GLib (no frame pointers there): slower, but only for .xls.
declare -A PILHA=([fuzz_xls]=:fast_unwind_on_malloc=0)
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

falhas=0
relatorio=()
for alvo in "${ALVOS[@]}"; do
    corpus="$B/corpus/$alvo"
    achados="$B/achados/$alvo"
    mkdir -p "$corpus" "$achados"
    opcoes=(-max_total_time="$SEGUNDOS" -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10
            -max_len="${MAXIMO[$alvo]}" -print_final_stats=1 -artifact_prefix="$achados/")
    [ -n "${DICIONARIO[$alvo]:-}" ] && opcoes+=(-dict="${DICIONARIO[$alvo]}")
    log="$B/$alvo.log"
    inicio=$(date +%s)
    set +e
    ASAN_OPTIONS="$ASAN_OPTIONS${PILHA[$alvo]:-}" \
        "$B/fuzz/$alvo" "${opcoes[@]}" "$corpus" "$S/$alvo" > "$log" 2>&1
    status=$?
    set -e
    tempo=$(( $(date +%s) - inicio ))
    execucoes=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ $status -eq 0 ]; then
        resultado="nada"
    else
        falhas=$((falhas + 1))
        artefato=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
        resultado="FALHA: $(grep -m1 -E '^==[0-9]+== ?ERROR|^SUMMARY|ALARM|out-of-memory|deadly signal' "$log" \
            | sed 's/^==[0-9]*==//') -> ${artefato:-ver $log}"
    fi
    relatorio+=("$(printf '%-16s %5ss %10s execuções  %s' "$alvo" "$tempo" "${execucoes:-?}" "$resultado")")
done

echo
echo "alvo             tempo   execuções           achados"
printf '%s\n' "${relatorio[@]}"
echo "fuzz: $(( ${#ALVOS[@]} - falhas )) passed, $falhas failed"
if [ $falhas -gt 0 ]; then
    echo "$falhas alvo(s) falharam: cada entrada em $B/achados vira um caso em $REGRESSAO/<alvo>/."
    exit 1
fi
