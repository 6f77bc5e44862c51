#!/usr/bin/env bash
# Starts the real executable on the simulated adapter under Xvfb, waits for its window,
# keeps a screenshot and checks that the program is still running when it is taken.
# usage: smoke.sh <brantel> <LANG value> <screenshot.png>
set -euo pipefail
exe=$1 lang=$2 shot=$3
mkdir -p "$(dirname "$shot")"
rm -f "$shot"

inner=$(cat <<'INNER'
set -u
"$EXE" --simulate &
pid=$!
for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"MainWidget"' && break
    sleep 0.1
done
sleep 1   # let the first paint and the simulated device's name arrive
kill -0 "$pid" 2>/dev/null || { echo "brantel exited early"; exit 1; }
xwininfo -root -tree | grep -q '"MainWidget"' || { echo "no main window"; kill "$pid"; exit 1; }
import -window root "$SHOT"
kill "$pid"
wait "$pid" 2>/dev/null || true
INNER
)
unset LC_ALL LC_NUMERIC LC_MESSAGES
env LANG="$lang" EXE="$exe" SHOT="$shot" \
    bash "$(dirname "$0")/xvfb-run.sh" 1024x768x24 bash -c "$inner"

colours=$(identify -format '%k' "$shot")
echo "screenshot: $shot ($colours colours)"
[ "$colours" -gt 16 ] || { echo "screenshot looks blank"; exit 1; }
