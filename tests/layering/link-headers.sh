#!/usr/bin/env bash
# The radio link's headers (src/radio_link) belong to the link and to the session that owns it:
# every other part of the program talks to the radio through src/session (its verbs, its
# signals, RadioStatus and the windows' RadioView). A file of another folder that includes a
# link header fails here.
set -euo pipefail
src=${1:?usage: link-headers.sh SRC_DIR}

status=0
for dir in "$src"/*/; do
    folder=$(basename "$dir")
    case $folder in radio_link | session) continue ;; esac
    found=$(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]radio_link/' "$dir" || true)
    if [ -n "$found" ]; then
        echo "src/$folder reaches into the radio link; use RadioSession instead:" >&2
        sed "s|^$src/|  src/|" <<<"$found" >&2
        status=1
    fi
done
exit $status
