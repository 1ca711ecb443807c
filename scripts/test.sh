#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest but those labelled slow
# (scripts/test.sh -L slow runs those).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "${BUILD_DIR:-$root/build}"
if [ $# -eq 0 ]; then set -- -LE slow; fi
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
