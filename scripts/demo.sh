#!/usr/bin/env bash
# Sets up, builds, creates a fresh demo Vantora database and converts every sheet of
# the sample workbook into it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
mkdir -p demo
rm -f demo/vantora.fdb
./build/tools/exemplo/gera_exemplo demo/exemplo.xlsx
./build/src/conversor criar-banco demo/vantora.fdb
./build/src/conversor planilhas demo/exemplo.xlsx
aba=1
for tipo in produtos clientes fornecedores vendedores transportadoras; do
  echo
  echo "== $tipo (aba $aba) =="
  ./build/src/conversor converter --banco demo/vantora.fdb --planilha demo/exemplo.xlsx \
    --tipo "$tipo" --aba "$aba"
  aba=$((aba + 1))
done
