#!/usr/bin/env bash
# Makes the release from a Release build in build-release/:
#   build-release/release/tellurio-<version>-linux-x86_64.tar.gz
#       unpacked, the installer's source directory: ./installer installs
#       Tellurio with its menu entries, ./uninstaller removes it again;
#   build-release/release/tellurio_<version>_amd64.deb
#       the Debian package (apt install ./tellurio_<version>_amd64.deb).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
# Only the programs are built: neither the tests nor the benchmarks belong
# to a release, and packaging does not build everything first.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTELLURIO_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build build-release -j"$jobs" --target bundle
(cd build-release && cpack -G DEB >/dev/null)
ls -1 build-release/release/*.tar.gz build-release/release/*.deb
