# Shared by the end-to-end scripts, which set $work (a folder whose *.out files are the logs of
# what they started) and $patience (seconds) before sourcing this.

# Fails the test with a reason, showing every log.
fail() {
    echo "FAIL: $*" >&2
    for f in "$work"/*.out; do
        echo "--- $f" >&2
        cat "$f" >&2 || true
    done
    exit 1
}

# Polls until the command succeeds, or fails the test after $patience seconds.
wait_for() {
    local what=$1
    shift
    local deadline=$((SECONDS + patience))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || fail "gave up waiting for $what"
        sleep 0.1
    done
}
