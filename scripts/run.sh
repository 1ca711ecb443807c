#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program in ./run (its working directory).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
work=${TAMARIN_WORKDIR:-$root/run}
mkdir -p "$work/json"
# A fresh working directory gets the shipped methods so that a test can be made at once.
if [ -z "$(ls -A "$work/json")" ]; then
  cp "$root"/methods/*.json "$work/json/"
fi
cd "$work"
exec "${BUILD_DIR:-$root/build}/app/tamarin"
