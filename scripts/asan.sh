#!/usr/bin/env bash
# Builds the readers' tests with AddressSanitizer into build-asan/ and runs the tests that feed
# them damaged files and streams.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ASAN_BUILD_DIR:-$root/build-asan}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTAMARIN_ASAN=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target tst_records tst_outdata tst_results tst_methodjson tst_excel tst_rdml tst_lis tamarin-cli
cd "$build"
ASAN_OPTIONS=detect_leaks=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L damaged
