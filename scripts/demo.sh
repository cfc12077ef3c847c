#!/usr/bin/env bash
# Sets up, builds, creates a fresh demo Vantora database and converts the sample
# workbook into it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
mkdir -p demo
rm -f demo/vantora.fdb
./build/src/conversor criar-banco demo/vantora.fdb
./build/src/conversor --help
