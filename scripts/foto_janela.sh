#!/usr/bin/env bash
# Takes the picture of the main window that README shows (docs/janela.png) from the real
# program on a virtual screen (Xvfb). Run it again whenever the window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
faltam=()
for p in xvfb xauth imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltam+=("$p")
done
if [ ${#faltam[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${faltam[@]}"
fi
mkdir -p docs
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  ./build/src/conversor &
  programa=$!
  sleep 3
  import -window "Conversor Quarel Tervalo" docs/janela.png
  kill $programa'
echo "docs/janela.png"
