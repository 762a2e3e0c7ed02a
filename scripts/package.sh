#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package with CPack:
# build/nastavnik_<version>_<arch>.deb (the install rules and the package's
# settings are in packaging/). On Debian 12 it installs with
#   apt install ./build/nastavnik_*.deb
# The test command checks the package too (tst_package).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd build
cpack -G DEB
