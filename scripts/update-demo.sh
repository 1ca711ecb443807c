#!/usr/bin/env bash
# Serves a newer version (0.0.16) of the program from this machine, for trying the update check
# of the about dialog: its version file and a stand-in installer that only leaves a note in
# /tmp/tamarin-installer-ran. Plain HTTP is accepted for this machine's own address only.
# Start the program with TAMARIN_UPDATE_SERVER=http://127.0.0.1:8765 scripts/run.sh.
set -euo pipefail
port=${1:-8765}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/tamarin"
installer="$dir/tamarin/tamarin_setup_0.0.16.exe"
printf '#!/bin/sh\necho "installer 0.0.16 started $(date)" > /tmp/tamarin-installer-ran\n' > "$installer"
md5=$(md5sum "$installer" | cut -d' ' -f1)
printf '{"name": "tamarin_setup_0.0.16.exe", "major": 0, "minor": 0, "micro": 16, "control": 1, "md5": "%s"}\n' \
  "$md5" > "$dir/tamarin/version.json"
echo "Update server for 0.0.16 on http://127.0.0.1:$port (Ctrl-C ends it)"
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$dir"
