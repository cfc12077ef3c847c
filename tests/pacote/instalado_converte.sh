#!/usr/bin/env bash
# The package as a user gets it: unpacked into an empty root, the program answers
# --help and converts a workbook from there, with the city table found beside it.
# Usage: instalado_converte.sh PACOTE.deb GERA_EXEMPLO
set -euo pipefail
pacote=$1
gera_exemplo=$2
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT
dpkg-deb -x "$pacote" "$pasta/raiz"
programa="$pasta/raiz/usr/bin/conversor"
tabela="$pasta/raiz/usr/lib/conversor/DCETCIDA.DBF"
[ -L "$programa" ] || { echo "usr/bin/conversor deveria ser um link para o programa"; exit 1; }
[ -f "$tabela" ] || { echo "falta a tabela de cidades junto do programa"; exit 1; }

# Read whole before matching: grep -q would close the pipe while the help is still being
# written, and the program's broken pipe would fail the script.
ajuda=$("$programa" --help)
grep -q "conversor converter" <<< "$ajuda"

# From a folder of its own, so no city table but the package's can be found.
cd "$pasta"
"$gera_exemplo" exemplo.xlsx
"$programa" criar-banco vantora.fdb
"$programa" converter --banco vantora.fdb --planilha exemplo.xlsx --tipo clientes --aba 2

# Without the table beside the program the same run is refused: the table it used is
# the package's.
rm "$tabela"
rm vantora.fdb
"$programa" criar-banco vantora.fdb
if "$programa" converter --banco vantora.fdb --planilha exemplo.xlsx --tipo clientes --aba 2 \
    > saida.txt 2>&1; then
  echo "a conversão deveria falhar sem a tabela de cidades"
  exit 1
fi
grep -q "usr/lib/conversor/DCETCIDA.DBF" saida.txt || { cat saida.txt; exit 1; }
