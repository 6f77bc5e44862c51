# Helpers for the screen tests, sourced inside their Xvfb session once "$pid" is the
# running program.
fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null || true; exit 1; }
alive() { kill -0 "$pid" 2>/dev/null || fail "brantel exited while $1"; }
# Ids of our visible windows named exactly $1 (compared here: xdotool's own name
# patterns do not match multibyte names reliably).
named() {
    for w in $(xdotool search --onlyvisible --pid "$pid" --name . 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && echo "$w"
    done
    return 0
}
# Waits until such a window exists; prints its id.
find_window() {
    for _ in $(seq 1 100); do
        id=$(named "$1" | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
# Waits until no such window is left.
gone() {
    for _ in $(seq 1 50); do
        [ -z "$(named "$1")" ] && return 0
        sleep 0.1
    done
    return 1
}
key() { xdotool key --delay 100 "$@"; sleep 0.3; }
# Monitoring on: the switch takes no keyboard, so it is found by its off colour in the
# page's bottom row; the data-watch switch is the right one of the two there. Takes the
# "x y" of the switch-coloured pixel nearest the right end, among columns holding at least
# ten of them (text never does), in the bottom 60 rows.
monitoring_on() { # <main window>
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window "$1" "$OUT/.row.png"
    spot=$(convert "$OUT/.row.png" -crop "x60+0+$((HEIGHT - 60))" +repage txt:- \
           | awk -F'[,: ]+' '/#E1E1E1/ {n[$1]++; y[$1] += $2}
                             END {for (x in n) if (n[x] >= 10) print x, int(y[x] / n[x])}' \
           | sort -n | tail -1)
    rm -f "$OUT/.row.png"
    [ -n "$spot" ] || fail "no monitoring switch on the monitor page"
    read -r sx sy <<<"$spot"
    xdotool mousemove $((X + sx - 10)) $((Y + HEIGHT - 60 + sy)) click 1
}
