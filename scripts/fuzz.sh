#!/usr/bin/env bash
# Builds the libFuzzer harnesses of the file and frame readers with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, then fuzzes each from its committed seed corpus.
#   scripts/fuzz.sh [SECONDS] [RUNS]   SECONDS per harness (default 60), or RUNS executions each
# A finding stops with its input in build-fuzz/findings/NAME/; keep such inputs in
# tests/fuzz/corpus/NAME/ once the fault is mended.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
runs=${2:--1}
"$root/scripts/install-deps.sh"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMARIN_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_outdata fuzz_method fuzz_frames fuzz_workbook fuzz_rdml fuzz_samplesheet
export ASAN_OPTIONS=allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for name in ${FUZZ_TARGETS:-outdata method frames workbook rdml samplesheet}; do
  work="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$work" "$findings"
  echo "== fuzz_$name: ${seconds} s or ${runs} runs"
  if ! "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -runs="$runs" -max_len=262144 -timeout=10 \
      -rss_limit_mb=4096 -artifact_prefix="$findings/" -print_final_stats=1 \
      "$work" "$root/tests/fuzz/corpus/$name" 2>"$build/fuzz_$name.log"; then
    echo "fuzz_$name found a fault:"; tail -40 "$build/fuzz_$name.log"; status=1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|cov:" "$build/fuzz_$name.log" | tail -3
done
exit $status
