#!/usr/bin/env bash
# Drives the real executable on the simulated adapter under Xvfb as a user would: connect,
# visit every page, open every dialog from the main menu, switch monitoring on, and keep a
# screenshot of each step. Fails when the program dies, a dialog does not appear or does
# not close on Escape, the monitor shows nothing new, or a screenshot is blank.
# usage: session_screens.sh <brantel> <LANG value> <tag> <output directory>
set -euo pipefail
exe=$1 lang=$2 tag=$3 out=$4
mkdir -p "$out"
for name in main_window start can_parameters offline_list monitor_idle cache_size_dialog filter_dialog \
            device_info_dialog about_dialog monitor_streaming; do
    rm -f "$out/${name}_$tag.png"
done

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
    for _ in $(seq 1 "$3"); do key Down; done
    key Return
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
kill "$pid"
wait "$pid" 2>/dev/null || true
INNER
)
unset LC_ALL LC_NUMERIC LC_MESSAGES
env LANG="$lang" EXE="$exe" OUT="$out" TAG="$tag" LIB="$(dirname "$0")/screen_lib.sh" \
    CACHE_TITLE="$CACHE_TITLE" FILTER_TITLE="$FILTER_TITLE" DEVINFO_TITLE="$DEVINFO_TITLE" \
    ABOUT_TITLE="$ABOUT_TITLE" \
    bash "$(dirname "$0")/xvfb-run.sh" 1280x1024x24 bash -c "$inner"
