#!/usr/bin/env bash
# The signal trace window of the real executable under Xvfb: a DBC file remembered in the
# user's settings is loaded at start; connect, monitoring on, the window opened from the
# main menu, one signal ticked in each of two messages, and a screenshot of the window with
# its plot. Fails when the program dies, the window does not appear, or the two lines of the
# plot are not drawn.
# usage: trace_screens.sh <brantel> <LANG value> <tag> <DBC file> <output directory>
set -euo pipefail
exe=$1 lang=$2 tag=$3 dbc=$4 out=$5
mkdir -p "$out"
rm -f "$out/trace_window_$tag.png"
config=$(mktemp -d /tmp/brantel-trace.XXXXXX)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/Brantel"
printf '[trace]\ndbcFile=%s\n' "$(readlink -f "$dbc")" >"$config/Brantel/Brantel.conf"

inner=$(cat <<'INNER'
set -euo pipefail
source "$LIB"

"$EXE" --simulate &
pid=$!
export LC_ALL=C.UTF-8
main=$(find_window MainWidget) || fail "no main window"
xdotool windowfocus --sync "$main"
sleep 1
key Tab space        # Connect
sleep 1
key Tab Right Right  # the monitor page

monitoring_on "$main"
sleep 1

# The main menu's entry after the described ones: the signal trace (the cache size entry
# is disabled while monitoring, so the fifth stop).
xdotool mousemove $((X + WIDTH - 73)) $((Y + 14)) click 1
sleep 0.5
key Down Down Down Down Down Return
trace=$(find_window "$TITLE") || fail "no trace window '$TITLE'"
xdotool windowfocus --sync "$trace"
sleep 2              # every message has arrived
# Rows by channel and identifier: EngineData first, VehicleSpeed last; the second signal
# of each is ticked.
key Home plus Down Down space
key End plus Down Down space
sleep 6
kill -0 "$pid" 2>/dev/null || fail "brantel exited"
import -window "$trace" "$OUT/trace_window_$TAG.png"
# The colours of the chart's first two lines; the legend's markers alone give 49 pixels of
# each, six seconds of the demo traffic's lines some 400 to 600.
for colour in 209FDF 99CA53; do
    n=$(convert "$OUT/trace_window_$TAG.png" txt:- | grep -c "#$colour" || true)
    echo "line #$colour: $n pixels"
    [ "$n" -gt 300 ] || fail "line #$colour is not drawn"
done
kill "$pid"
wait "$pid" 2>/dev/null || true
INNER
)
unset LC_ALL LC_NUMERIC LC_MESSAGES
env LANG="$lang" EXE="$exe" OUT="$out" TAG="$tag" LIB="$(dirname "$0")/screen_lib.sh" TITLE="$TITLE" XDG_CONFIG_HOME="$config" \
    bash "$(dirname "$0")/xvfb-run.sh" 1280x1024x24 bash -c "$inner"
