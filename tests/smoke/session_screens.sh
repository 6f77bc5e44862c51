#!/usr/bin/env bash
# Drives the real executable on the simulated adapter under Xvfb as a user would: connect,
# visit every page, open every dialog from the main menu, switch monitoring on and (given a
# TRACE_TITLE) open the signal trace window with a DBC file remembered in the settings and
# plot one signal of each of two messages, keeping a screenshot of each step. Fails when the program dies, a
# window does not appear or a dialog does not close on Escape, the monitor shows nothing
# new, a screenshot is blank, or the plot's two lines are not drawn.
# usage: session_screens.sh <brantel> <LANG value> <tag> <DBC file> <output directory>
set -euo pipefail
exe=$1 lang=$2 tag=$3 dbc=$4 out=$5
mkdir -p "$out"
rm -f "$out"/*_"$tag".png
# Settings of its own: the remembered DBC file, and nothing from the user running the test.
config=$(mktemp -d /tmp/brantel-screens.XXXXXX)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/Brantel"
printf '[trace]\ndbcFile=%s\n' "$(readlink -f "$dbc")" >"$config/Brantel/Brantel.conf"

inner=$(cat <<'INNER'
set -euo pipefail
source "$LIB"
# Screenshot of one window, refused when it came out (nearly) one colour.
shot() {
    alive "taking $1"
    sleep 0.5
    import -window "$2" "$OUT/$1_$TAG.png"
    colours=$(identify -format '%k' "$OUT/$1_$TAG.png")
    [ "$colours" -gt 16 ] || fail "$1 screenshot looks blank ($colours colours)"
    echo "kept $1_$TAG.png ($colours colours)"
}

"$EXE" --simulate &
pid=$!
# The program took its language from LANG; the tools need a UTF-8 locale to match the
# Chinese window names.
export LC_ALL=C.UTF-8
main=$(find_window MainWidget) || fail "no main window"
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool windowfocus --sync "$main"
sleep 1   # the simulated adapter's name arrives after the first paint
shot start "$main"
import -window root "$OUT/main_window_$TAG.png"

# The device name field has the focus at start; the next stop is Connect.
key Tab space
sleep 1
shot can_parameters "$main"
key Tab Right      # from Connect to the page tabs, then the offline list
shot offline_list "$main"

key Right          # and the monitor page
shot monitor_idle "$main"

# The main menu opens from the title bar's menu button, a fixed distance from the right
# edge; its entries are then chosen by keyboard: cache size, filter, device information,
# language, (separator), About.
dialog() { # <shot name> <window name> <downs>
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + WIDTH - 73)) $((Y + 14)) click 1
    sleep 0.5
    key $(printf 'Down %.0s' $(seq 1 "$3")) Return
    win=$(find_window "$2") || fail "dialog '$2' did not appear"
    [ "$win" != "$main" ] || fail "dialog '$2' did not appear"
    shot "$1" "$win"
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    key Escape
    gone "$2" || fail "dialog '$2' did not close on Escape"
    xdotool windowfocus --sync "$main"
}
dialog cache_size_dialog "$CACHE_TITLE" 1
dialog filter_dialog "$FILTER_TITLE" 2
dialog device_info_dialog "$DEVINFO_TITLE" 3
dialog about_dialog "$ABOUT_TITLE" 5

monitoring_on "$main"
sleep 1
shot monitor_streaming_a "$main"
sleep 1
shot monitor_streaming "$main"
compare -metric AE "$OUT/monitor_streaming_a_$TAG.png" "$OUT/monitor_streaming_$TAG.png" null: 2>"$OUT/.ae" || true
changed=$(cut -d' ' -f1 "$OUT/.ae"); rm -f "$OUT/.ae" "$OUT/monitor_streaming_a_$TAG.png"
echo "monitor: $changed pixels changed in one second"
[ "${changed%%.*}" -gt 100 ] || fail "no lines streaming on the monitor page"
alive "monitoring"

# The trace window's walk runs in one language only (TRACE_TITLE empty: the run ends here).
[ -n "$TRACE_TITLE" ] || { kill "$pid"; wait "$pid" 2>/dev/null || true; exit 0; }

# The main menu's entry after the described ones: the signal trace (the cache size entry
# is disabled while monitoring, so the fifth stop).
xdotool mousemove $((X + WIDTH - 73)) $((Y + 14)) click 1
sleep 0.5
key Down Down Down Down Down Return
trace=$(find_window "$TRACE_TITLE") || fail "no trace window '$TRACE_TITLE'"
xdotool windowfocus --sync "$trace"
sleep 2              # every message has arrived
# Rows by channel and identifier: EngineData first, VehicleSpeed last; the second signal
# of each is ticked.
key Home plus Down Down space
key End plus Down Down space
sleep 4
alive "plotting"
import -window "$trace" "$OUT/trace_window_$TAG.png"
# The colours of the chart's first two lines; the legend's markers alone give 49 pixels of
# each, four seconds of the demo traffic's lines some 200 to 400.
histogram=$(convert "$OUT/trace_window_$TAG.png" -format %c histogram:info:-)
for colour in 209FDF 99CA53; do
    n=$(awk -v c="#$colour " 'index($0, c) {print $1 + 0}' <<<"$histogram")
    echo "line #$colour: ${n:=0} pixels"
    [ "$n" -gt 100 ] || fail "line #$colour is not drawn"
done
kill "$pid"
wait "$pid" 2>/dev/null || true
INNER
)
unset LC_ALL LC_NUMERIC LC_MESSAGES
env LANG="$lang" EXE="$exe" OUT="$out" TAG="$tag" LIB="$(dirname "$0")/screen_lib.sh" \
    CACHE_TITLE="$CACHE_TITLE" FILTER_TITLE="$FILTER_TITLE" DEVINFO_TITLE="$DEVINFO_TITLE" \
    ABOUT_TITLE="$ABOUT_TITLE" TRACE_TITLE="$TRACE_TITLE" XDG_CONFIG_HOME="$config" \
    bash "$(dirname "$0")/xvfb-run.sh" 1280x1024x24 bash -c "$inner"
