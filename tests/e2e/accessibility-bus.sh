#!/usr/bin/env bash
# The remote's keys over the real accessibility bus: CV Remote runs in a virtual display on a
# session bus of its own with the accessibility bus started, against the simulator on loopback;
# a client of the bus (as a screen reader is one) presses the remote's "Volume up" key, and the
# simulator's log must show VOLp taken exactly once.
#   accessibility-bus.sh <build folder>
set -euo pipefail
build=$1
patience=60 # seconds for each wait: a busy machine, a sanitizer build
here=$(cd "$(dirname "$0")" && pwd)

if [ "${2:-}" != --inside ]; then
    exec dbus-run-session -- xvfb-run -a -s "-screen 0 1366x768x24" "$0" "$build" --inside
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=script-helpers.sh
source "$(dirname "$0")/script-helpers.sh"

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.out" 2>&1 &
pids+=($!)

folder=$work/program
mkdir -p "$folder"
find "$build/program" -mindepth 1 -maxdepth 1 ! -name CVRemote.ini ! -name '*.lock' -exec cp -a {} "$folder/" \;
"$build/program/radiosim" --bind 127.0.0.1 --port 0 --console-port 0 --http-port 0 --log "$work/radiosim.log" \
    >"$work/radiosim.out" 2>&1 &
pids+=($!)
wait_for "the simulator" grep -q '^radiosim: update page on ' "$work/radiosim.out"
port=$(sed -n 's/^radiosim: commands on 127\.0\.0\.1:\([0-9]*\),.*/\1/p' "$work/radiosim.out")
printf '[General]\r\nRaidoURL=127.0.0.1\r\nRaidoPORT=%s\r\n' "$port" >"$folder/CVRemote.ini"

# On the virtual display, where Qt speaks to the accessibility bus (the offscreen platform tests use does not).
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$folder/CVRemote" >"$work/program.out" 2>&1 &
pids+=($!)
wait_for "the program's first questions" grep -q "MINFO" "$work/radiosim.log"

volume_ups() { awk -F'\t' '$4 == "VOLp"' "$work/radiosim.log" | wc -l; }
[ "$(volume_ups)" -eq 0 ] || fail "VOLp before the key was pressed"
/usr/bin/python3 "$here/accessibility-bus.py" "$patience" >"$work/client.out" 2>&1 || fail "the bus client"
pressed() { [ "$(volume_ups)" -ge 1 ]; }
wait_for "VOLp at the radio" pressed
# One press, one VOLp: a second one would come before the link goes on to other commands.
after_press() { [ "$(awk -F'\t' 'seen { n++ } $4 == "VOLp" { seen = 1 } END { print n + 0 }' "$work/radiosim.log")" -ge 3 ]; }
wait_for "commands after VOLp" after_press
[ "$(volume_ups)" -eq 1 ] || fail "VOLp reached the radio $(volume_ups) times"
echo "accessibility-bus: $(cat "$work/client.out")"
