#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and starts Tellurio on a
# demo data directory, with a local demo price publisher serving the price
# files, the fund portraits and the index page.
#
#   ./run-demo.sh            start the program (demo data in ./demo-data)
#   ./run-demo.sh --reset    start with freshly made demo data
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

data="$root/demo-data"
if [ "${1:-}" = "--reset" ]; then rm -rf "$data"; fi

publisher="$root/build/tools/tellurio-demo-publisher"
app="$root/build/app/tellurio"
setup="$root/build/app/tellurio-demo-data"

if [ ! -x "$app" ]; then
  echo "Das Programm ist noch nicht gebaut worden (build/app/tellurio fehlt)."
  exit 1
fi

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

if [ -x "$publisher" ]; then
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  # --every-day: on weekends and holidays the newest prices are served too,
  # so the demo download works on any day.
  "$publisher" --bind 127.0.0.1 --port "$port" --every-day >/dev/null 2>&1 &
  pids+=($!)
  export MARABU_PUBLISHER="127.0.0.1:$port"
  export MARABU_INDEX_SERVER="127.0.0.1:$port"
  export MARABU_COMPARISON_SERVER="127.0.0.1:$port"
fi

if [ ! -d "$data" ]; then
  "$setup" "$data"
fi

cd "$data"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kein Bildschirm gefunden: Tellurio läuft in einem virtuellen X-Server (Xvfb)."
  xvfb-run -a -s "-screen 0 1600x1000x24" "$app"
  exit $?
fi
"$app"
