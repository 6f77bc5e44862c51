#!/usr/bin/env bash
# Runs a command on an Xvfb display of its own that is known to answer, for every test
# that needs a real X server. The server is started on the first free display number
# from 99 with a private cookie, and the command starts only once the server reports
# itself ready and xdpyinfo gets an answer; a server that dies or does not answer is
# replaced once, on another display number. The server ends with the command.
# usage: xvfb-run.sh <width>x<height>x<depth> <command> [arguments...]
set -uo pipefail
geometry=${1:?usage: xvfb-run.sh <width>x<height>x<depth> <command> [arguments...]}
shift

scratch=$(mktemp -d /tmp/brantel-xvfb.XXXXXX) || exit 1
export XAUTHORITY=$scratch/Xauthority
touch "$XAUTHORITY"
server=
stop_server() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    server=
}
trap 'stop_server; rm -rf "$scratch"' EXIT

# The first display number from $1 on that no server holds or left behind.
free_display() {
    local n=$1
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    echo "$n"
}

# Starts a server on :$1 and waits up to 30 s until it is ready (it writes its display
# number to -displayfd once every listening socket is in place; it dies when another
# server holds one of them) and answers.
start_server() {
    local n=$1 ready=$scratch/ready-$1
    xauth add ":$n" . "$(mcookie)" 2>/dev/null
    Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp -auth "$XAUTHORITY" -displayfd 3 \
        3>"$ready" >"$scratch/xvfb-$n.log" 2>&1 &
    server=$!
    for _ in $(seq 1 150); do
        kill -0 "$server" 2>/dev/null || break
        [ -s "$ready" ] && DISPLAY=:$n xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    echo "xvfb-run.sh: no answer from Xvfb on :$n" >&2
    sed 's/^/xvfb-run.sh:   /' "$scratch/xvfb-$n.log" >&2
    stop_server
    return 1
}

display=$(free_display 99)
if ! start_server "$display"; then
    display=$(free_display $((display + 1)))
    start_server "$display" || exit 1
fi

DISPLAY=:$display "$@"
status=$?
kill -0 "$server" 2>/dev/null || echo "xvfb-run.sh: Xvfb on :$display ended during the run" >&2
exit $status
