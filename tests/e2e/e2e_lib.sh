# Shared steps of the end-to-end flows: a private X server with a window manager, the
# program started in a scratch copy of the examples, real input events through xdotool,
# and what the user would check: the window state the program echoes (KV2680_STATE_FILE),
# window titles, files written and screenshots.
# Usage from a flow: source e2e_lib.sh <kv2680eval> <examples folder> <output folder> <flow name>
set -u
APP=$(realpath "$1") EXAMPLES=$2 OUT=$3 FLOW=$4
mkdir -p "$OUT"
WORK=$(mktemp -d)
STATE=$WORK/state.txt
PIDS=()

skip() { echo "SKIPPED: $*"; exit 77; }
for tool in Xvfb openbox xdotool xprop import convert compare; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh installs it)"
done

cleanup() {
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

shot() { import -window root "$1"; }
fail() {
    echo "FAILED ($FLOW): $*"
    shot "$OUT/$FLOW-failure.png" 2>/dev/null && echo "screenshot: $OUT/$FLOW-failure.png"
    [ -f "$STATE" ] && { echo "--- window state ---"; cat "$STATE"; }
    [ -f "$WORK/app.log" ] && { echo "--- program output ---"; cat "$WORK/app.log"; }
    echo "--- window manager ---"; cat "$WORK/openbox.log"; pgrep -a openbox
    if [ -n "${APP_PID:-}" ] && ! kill -0 "$APP_PID" 2>/dev/null; then
        wait "$APP_PID"; echo "the program had ended with status $?"
    fi
    exit 1
}
step() { echo "-- $*"; }

# wait_for <seconds> <command...>: retries the command until it succeeds.
wait_for() {
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.2
    done
}

# A private X server on a display number nobody uses, checked by its lock file and by
# both of its sockets (a server elsewhere may hold only the abstract one, which clients
# try first), and the window manager.
free_display() {
    local n
    for ((n = 90 + RANDOM % 100; n < 400; n++)); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null && continue
        echo "$n"
        return
    done
}
display=$(free_display)
[ -n "$display" ] || skip "no free X display number"
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp 2>"$WORK/xvfb.log" &
XVFB_PID=$!
PIDS+=($XVFB_PID)
wait_for 10 sh -c "[ \"\$(tr -d ' ' </tmp/.X$display-lock 2>/dev/null)\" = $XVFB_PID ]" \
    || skip "Xvfb did not start on :$display: $(tail -1 "$WORK/xvfb.log")"
export DISPLAY=:$display
# The lock file comes before the server takes connections: wait until it answers.
wait_for 20 sh -c "xprop -root >/dev/null 2>&1" || skip "Xvfb on :$display does not answer"
wm_ready() {
    local check; check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ { print $NF }')
    [ -n "$check" ] && xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -q Openbox
}
# On a busy machine the window manager may give up once; it gets a second start.
for attempt in 1 2; do
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    PIDS+=($!)
    wait_for 20 wm_ready && break
    [ "$attempt" = 2 ] && fail "openbox did not start"
done
sleep 0.5

# start_app [switches...]: the program on the simulated board in a scratch copy of the examples.
start_app() {
    cp -r "$EXAMPLES" "$WORK/examples"
    (cd "$WORK/examples" && QT_QPA_PLATFORM=xcb KV2680_STATE_FILE="$STATE" exec "$APP" "$@") >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    PIDS+=($APP_PID)
    wait_for 20 main_window >/dev/null || fail "the main window did not appear"
    wait_for 10 test -s "$STATE" || fail "no window state echoed"
}
# window_named <title>: the id of the visible window with exactly that title; fails without one.
window_named() {
    local id; id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && echo "$id"
}
main_window() { window_named 'KV2680 Evaluation Software'; }
title_of() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }

# The echoed state: status lines, hint, and "control <name> <enabled> <visible> x y w h".
has_line() { grep -qxF "$1" "$STATE"; }
last_status1() { grep '^status1 ' "$STATE" | tail -1 | cut -d' ' -f2-; }
control() { grep "^control $1 " "$STATE"; }
enabled() { [ "$(control "$1" | cut -d' ' -f3)" = 1 ]; }
visible() { [ "$(control "$1" | cut -d' ' -f4)" = 1 ]; }
centre() { control "$1" | awk '{ printf "%d %d", $5 + $7 / 2, $6 + $8 / 2 }'; }
click() {
    local xy; xy=$(centre "$1") || fail "no control $1"
    [ -n "$xy" ] || fail "no control $1"
    xdotool mousemove $xy click 1
}
# buttons_are <Sample ContSamp StopSamp Reset PowerDown PowerUp Quit as 0/1...>
buttons_are() {
    local names=(Sample ContSamp StopSamp Reset PowerDown PowerUp Quit) want=("$@") i
    for i in "${!names[@]}"; do
        [ "$(control "${names[i]}" | cut -d' ' -f3)" = "${want[i]}" ] || return 1
    done
}

activate_main() { xdotool windowactivate --sync "$(main_window)" 2>/dev/null; sleep 0.3; }
# menu <File-menu access key>: opens File and picks the item with that key.
menu_item() {
    activate_main
    xdotool key alt+f; sleep 0.5; xdotool key "$1"
}

# crop <control> <file>: a screenshot of one control.
crop() {
    shot "$WORK/root.png"
    control "$1" | awk '{ printf "%dx%d+%d+%d", $7, $8, $5, $6 }' >"$WORK/geometry"
    convert "$WORK/root.png" -crop "$(cat "$WORK/geometry")" +repage "$2"
}
# pixels_like <file> <colour>: how many pixels have (nearly) that colour.
pixels_like() {
    convert "$1" -fuzz 12% -fill black -opaque "$2" -fill white +opaque black -negate \
        -format '%[fx:round(mean*w*h)]' info:
}

# Setup Menu: choose the sample configuration, Load, Close.
setup_and_load() {
    menu_item e
    wait_for 10 window_named 'Setup Menu' >/dev/null || fail "the setup dialog did not open"
    wait_for 5 control setup.fileConfig >/dev/null || fail "the setup dialog's controls are not echoed"
    local x y attempt
    # A busy machine may still be placing the dialog or filling the list when the first
    # click lands: the place is read again before each try.
    for attempt in 1 2 3; do
        sleep 0.5
        read -r x y < <(control setup.fileConfig | awk '{ print $5 + 30, $6 + 8 }')
        xdotool mousemove "$x" "$y" click 1
        wait_for 5 enabled setup.cmdLoad && break
        [ "$attempt" = 3 ] && fail "choosing KV2680.cfg did not enable Load"
    done
    click setup.cmdLoad
    wait_for 30 has_line "status1 Program Running" || fail "loading the configuration did not end in Program Running"
    click setup.cmdClose
    wait_for 5 sh -c "! xdotool search --onlyvisible --name '^Setup Menu\$' >/dev/null" || fail "Close left the dialog open"
    wait_for 5 buttons_are 1 1 0 1 1 1 1 || fail "after Load the sampling and power buttons are not the only change"
    has_line "status2 Part:KV2680" || fail "the configuration summary does not name the part"
}

# Sample once and wait for the block's line.
sample() {
    local before; before=$(grep -c '^status1 ' "$STATE")
    click Sample
    wait_for 20 sh -c "[ \$(grep -c '^status1 ' '$STATE') -gt $before ]" || fail "Sample added no status line"
    [ "$(last_status1)" = "1024 Data Samples Uploaded" ] || fail "Sample ended with: $(last_status1)"
}

# quit: the Quit button ends the program.
quit() {
    click Quit
    wait_for 15 sh -c "! kill -0 $APP_PID 2>/dev/null" || fail "Quit did not end the program"
}
