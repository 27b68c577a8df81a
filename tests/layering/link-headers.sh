#!/usr/bin/env bash
# The radio link's headers (src/radio_link) belong to the link and to the session that owns it:
# every other part of the program talks to the radio through src/session (its verbs, its
# signals and RadioStatus). A file of another folder that includes a link header fails here.
#
# The folders in Moving still reach into the link (the device record, the link's window data)
# and are being moved onto the session; nothing may join them, and one that no longer needs the
# link must leave the list (the check says so).
set -euo pipefail
src=${1:?usage: link-headers.sh SRC_DIR}
Moving=(app display info_panel main_window)

status=0
for dir in "$src"/*/; do
    folder=$(basename "$dir")
    case $folder in radio_link | session) continue ;; esac
    found=$(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]radio_link/' "$dir" || true)
    moving=0
    for m in "${Moving[@]}"; do
        [ "$m" = "$folder" ] && moving=1
    done
    if [ -n "$found" ] && [ $moving -eq 0 ]; then
        echo "src/$folder reaches into the radio link; use RadioSession instead:" >&2
        sed "s|^$src/|  src/|" <<<"$found" >&2
        status=1
    elif [ -z "$found" ] && [ $moving -eq 1 ]; then
        echo "src/$folder no longer includes a link header: take it out of Moving in $0" >&2
        status=1
    fi
done
exit $status
