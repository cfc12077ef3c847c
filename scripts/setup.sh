#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Idempotent: does nothing when all of them are already installed.
set -euo pipefail

PACOTES=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n fonts-liberation
  libfbclient2 firebird3.0-server-core firebird3.0-server firebird3.0-utils firebird-dev
  libzip-dev libexpat1-dev libgsf-1-dev libshp-dev libzstd-dev
  libgtest-dev libgmock-dev libxlsxwriter-dev nlohmann-json3-dev
  clang libclang-rt-14-dev llvm
  lintian desktop-file-utils clang-format
)

faltam=()
for p in "${PACOTES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltam+=("$p")
done
[ ${#faltam[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${faltam[@]}"
