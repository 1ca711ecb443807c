#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated instrument and then the program in ./run
# (its working directory). Without a display it runs the headless demo instead: a short method
# on the simulated instrument, with its analysis table at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
work=${TAMARIN_WORKDIR:-$root/run}
mkdir -p "$work/json" "$work/ini"
# A fresh working directory gets the shipped methods so that a test can be made at once.
if [ -z "$(ls -A "$work/json")" ]; then
  cp "$root"/methods/*.json "$work/json/"
fi
cd "$work"

headless=1
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then headless=0; fi
# Demo pace: the program spends TAMARIN_STEP_MS on a step instead of a second (100 ms, so the
# short shipped method runs in about two minutes; 1000 is the real pace), the headless demo 5 ms;
# the simulated heaters keep pace.
step_ms=${TAMARIN_STEP_MS:-100}
if [ $headless = 1 ]; then step_ms=5; fi
speed=$((1000 / step_ms))

# The shipped methods expect heaters of up to 10 degC/s; the simulated ones get that ramp, so the
# short method's brief holds reach their temperatures at any pace.
# Its demo chip has an invalid sample: the internal control fails in holes 23-26
# (TAMARIN_SCENARIO=FILE for another chip, or "builtin").
scenario=${TAMARIN_SCENARIO:-$root/sim/scenarios/invalid-sample.json}
chip=()
if [ "$scenario" != builtin ]; then chip=(--scenario "$scenario"); fi
# TAMARIN_SIM_ARGS adds options of the simulator's own (faults such as a module falling silent).
read -r -a faults <<< "${TAMARIN_SIM_ARGS:-}"
"$build/sim/tamarin-sim" --link "$work/ttySIM" --speed "$speed" --ramp 10 "${chip[@]}" "${faults[@]}" > "$work/sim.out" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$work/ttySIM" ] && break; sleep 0.1; done
# Point the program at the simulator instead of searching for the USB adapter.
# Only the keys the demo needs are set: whatever else is there ([DB], [REPORT], ...) stays.
ini="$work/ini/settings.ini"
touch "$ini"
set_key() { # SECTION KEY VALUE
  sed -i "/^\[$1\]/,/^\[/{/^$2=/d}" "$ini"
  if grep -q "^\[$1\]" "$ini"; then
    sed -i "/^\[$1\]/a $2=$3" "$ini"
  else
    printf '\n[%s]\n%s=%s\n' "$1" "$2" "$3" >> "$ini"
  fi
}
set_key SET COM "$work/ttySIM"
# An update server for the about dialog's check (see scripts/update-demo.sh).
if [ -n "${TAMARIN_UPDATE_SERVER:-}" ]; then
  set_key HTTP IP "$TAMARIN_UPDATE_SERVER"
fi

if [ $headless = 1 ]; then
  echo "No display: running the headless demo (short method, 5 ms per step) on the simulated instrument."
  name="demo_$(date +%Y%m%d_%H%M%S)"
  "$build/cli/tamarin-cli" run --method "$work/json/short-demo.json" --module 1 \
    --name "$name" --samples "样本一,样本二" --step-ms 5
  echo
  "$build/cli/tamarin-cli" analyze --samples "usr_data/$name.pcrd"
else
  "$build/app/tamarin" --step-ms "$step_ms"
fi
