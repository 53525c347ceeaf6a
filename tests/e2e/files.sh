# Keeping a block: save it, export it as binary, load it back, Quit.
source "$(dirname "$0")/e2e_lib.sh" "$@" files

# file_dialog <path>: answers the file dialog that is about to open.
file_dialog() {
    wait_for 10 sh -c 'xdotool getactivewindow getwindowname 2>/dev/null | grep -qv "^KV2680 Evaluation Software$"' || fail "no file dialog"
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$1"
    xdotool key Return
}

step "start, load the sample configuration, one block"
start_app
setup_and_load
sample

step "save the block"
menu_item s
file_dialog "$WORK/block.dat"
wait_for 10 test -s "$WORK/block.dat" || fail "Save Raw Data wrote nothing"
[ "$(wc -l <"$WORK/block.dat")" = 1024 ] || fail "the saved block has $(wc -l <"$WORK/block.dat") lines"

step "export it as binary"
menu_item b
file_dialog "$WORK/block.bin"
wait_for 10 test -s "$WORK/block.bin" || fail "Save Binary Data wrote nothing"
[ "$(grep -c $'^[01]\{16\}\r$' "$WORK/block.bin")" = 1024 ] || fail "the export is not 1024 lines of 16 binary digits"
first=$(head -1 "$WORK/block.dat" | tr -d '\r')
first=${first%%[.,]*}
bits=""
for ((i = 15; i >= 0; i--)); do bits+=$(((first >> i) & 1)); done
[ "$(head -1 "$WORK/block.bin" | tr -d '\r')" = "$bits" ] || fail "the first exported line does not spell the first saved code $first"

step "load it back"
activate_main
xdotool key alt+f; sleep 0.5; xdotool key Down Return   # the item after Setup Menu
file_dialog "$WORK/block.dat"
wait_for 10 has_line "status1 1024 Data Samples Read" || fail "loading the block did not report 1024 Data Samples Read"
crop Waveform "$OUT/files-waveform.png"
[ "$(pixels_like "$OUT/files-waveform.png" 'rgb(25,45,95)')" -gt 500 ] || fail "the loaded block is not drawn"

step "quit"
quit
echo "PASSED: files"
