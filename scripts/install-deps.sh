#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Idempotent: packages already installed are left alone and apt is not
# called at all when nothing is missing.  Works as root or, through sudo, as
# an ordinary user.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache git
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-svg-dev libgl-dev qt6-translations-l10n
  libcurl4-openssl-dev libcpp-httplib-dev libssl-dev ca-certificates libasound2-dev
  xvfb xauth fonts-dejavu-core fonts-liberation2 poppler-utils
  desktop-file-utils dpkg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "Es fehlen Pakete (${missing[*]}); bitte als root ausführen oder sudo installieren." >&2
    exit 1
  fi
  SUDO=(sudo)
fi
echo "Installiere: ${missing[*]}"
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
