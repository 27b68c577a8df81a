#!/usr/bin/env bash
# The installed program, end to end: installs the build into a temporary prefix, makes it
# read-only, and runs the installed CVRemote twice for a user with an empty home against the
# installed simulator on loopback. It must keep everything in the user's own folder, fill that
# from the shipped files, talk to the radio, keep its settings from one start to the next, and
# write nothing under the prefix. As root the read-only modes refuse nothing, so the prefix is
# compared file by file before and after instead of trusting them.
#   installed-program.sh <build folder> <application id>
set -euo pipefail
build=$1
app_id=$2
patience=60 # seconds for each wait: a busy machine, a sanitizer build

work=$(mktemp -d)
sim_pid=
program_pid=
cleanup() {
    for pid in $program_pid $sim_pid; do
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=script-helpers.sh
source "$(dirname "$0")/script-helpers.sh"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.out" || fail "cmake --install"
for f in bin/CVRemote bin/cvremote-radiosim share/cvremote/Commandlist.txt \
    "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
    "share/icons/hicolor/scalable/apps/$app_id.svg" "share/icons/hicolor/48x48/apps/$app_id.png" \
    share/man/man1/CVRemote.1.gz share/man/man1/cvremote-radiosim.1.gz \
    bin/cvremote-cli share/man/man1/cvremote-cli.1.gz share/bash-completion/completions/cvremote-cli; do
    [ -e "$prefix/$f" ] || fail "the install lacks $f"
done
chmod -R a-w "$prefix"
snapshot() {
    (cd "$prefix" && find . -printf '%p %y %m %s %T@\n' | sort && find . -type f -exec sha256sum {} + | sort)
}
snapshot >"$work/prefix.before"

# A user with an empty home; XDG_DATA_HOME unset, so ~/.local/share is the data location.
export HOME=$work/home
mkdir -p "$HOME"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
# No session bus: the program stays off the user's own (it says so in its terminal view).
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
user=$HOME/.local/share/CVRemote

sim_log=$work/radiosim.log
start_radiosim() {
    : >"$work/radiosim.out"
    "$prefix/bin/cvremote-radiosim" --bind 127.0.0.1 --port 0 --console-port 0 --log "$sim_log" \
        >"$work/radiosim.out" 2>&1 &
    sim_pid=$!
    wait_for "the simulator to listen" grep -q '^radiosim: commands on ' "$work/radiosim.out"
    port=$(sed -n 's/^radiosim: commands on 127\.0\.0\.1:\([0-9]*\),.*/\1/p' "$work/radiosim.out")
    [ -n "$port" ] || fail "no port in the simulator's output"
}
stop_radiosim() {
    kill -TERM "$sim_pid"
    wait "$sim_pid" || true
    sim_pid=
}
queried_at_start() {
    local commands
    commands=$(awk -F'\t' -v p="$port" '$2 == p { print $4 }' "$sim_log" 2>/dev/null)
    grep -qx VERSION <<<"$commands" && grep -qx STATE <<<"$commands" && grep -qx MINFO <<<"$commands"
}
run_program() {
    "$prefix/bin/CVRemote" >"$work/program.out" 2>&1 &
    program_pid=$!
    wait_for "the start-up queries VERSION, STATE, MINFO on port $port" queried_at_start
    # SIGTERM closes the program as its main window's close does: settings saved.
    kill -TERM "$program_pid"
    wait_for "the program to end" bash -c "! kill -0 $program_pid 2>/dev/null"
    local status=0
    wait "$program_pid" || status=$?
    program_pid=
    [ $status -eq 0 ] || fail "the program ended with $status"
}
setting() { # section key
    awk -F= -v s="[$1]" -v k="$2" '/^\[/ { in_s = ($0 == s"\r" || $0 == s) } in_s && $1 == k { sub(/\r$/, "", $2); print $2 }' \
        "$user/CVRemote.ini"
}

# The command-line client before the program ever started: it reads the shipped macros where
# they lie and makes nothing in the home folder.
"$prefix/bin/cvremote-cli" macro --list >"$work/cli-list.out" 2>&1 || fail "cvremote-cli macro --list"
grep -qx 'Play jazz' "$work/cli-list.out" || fail "cvremote-cli lists no \"Play jazz\""
[ ! -e "$HOME/.local" ] || fail "cvremote-cli made $HOME/.local"

# The radio's address is written first, so the built-in address on the home network is never
# tried. The rest of the folder is the program's to fill.
start_radiosim
mkdir -p "$user"
printf '[General]\r\nRaidoURL=127.0.0.1\r\nRaidoPORT=%s\r\nConsoleAddress=127.0.0.1\r\nConsolePort=1\r\nUpdateURL=127.0.0.1:1/\r\n' \
    "$port" >"$user/CVRemote.ini"
run_program

# Filled with every shipped file, byte for byte.
(cd "$prefix/share/cvremote" && find . -type f) | while read -r f; do
    cmp -s "$prefix/share/cvremote/$f" "$user/$f" || fail "$f was not filled into the user folder"
done
[ -w "$user/macros.txt" ] || fail "a filled file cannot be written"
# What the program saves at its close landed there, the address given before it kept.
[ "$(setting General RaidoPORT)" = "$port" ] || fail "RaidoPORT was not kept"
[ -n "$(setting General AutoRefresh)" ] || fail "the close did not save the General settings"
placement=$(setting ConfigForm FC)
[ -n "$placement" ] || fail "the close did not save the main window's place"

# The user points the program at another radio and changes a default file; both come back.
stop_radiosim
start_radiosim
sed -i "s/^RaidoPORT=.*\r\$/RaidoPORT=$port\r/" "$user/CVRemote.ini"
printf 'MY OWN COMMANDS\r\n' >"$user/Commandlist.txt"
run_program
[ "$(setting General RaidoPORT)" = "$port" ] || fail "the changed port did not come back"
[ "$(setting ConfigForm FC)" = "$placement" ] || fail "the main window's place did not come back"
[ "$(cat "$user/Commandlist.txt")" = $'MY OWN COMMANDS\r' ] || fail "a changed file was overwritten"

# The client beside the program: the radio from the program's settings, the folder only read.
folder_print() { (cd "$user" && find . -type f -exec sha256sum {} + | sort); }
folder_print >"$work/user.before"
"$prefix/bin/cvremote-cli" status --json >"$work/cli-status.out" 2>&1 || fail "cvremote-cli status ended with $?"
python3 -c 'import json, sys; state = json.load(open(sys.argv[1])); sys.exit(0 if state["answers"] and state["volume"] == 20 else 1)' \
    "$work/cli-status.out" || fail "cvremote-cli status --json did not show the radio"
folder_print >"$work/user.after"
diff "$work/user.before" "$work/user.after" >&2 || fail "cvremote-cli wrote into the program folder"

# Nothing under the prefix changed, whatever the file modes let root do.
snapshot >"$work/prefix.after"
diff "$work/prefix.before" "$work/prefix.after" >&2 || fail "the program wrote under the install prefix"
echo "installed program: OK (user folder $user, radio on port $port)"
