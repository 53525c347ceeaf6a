# A new user's session: a save before any data, the sample configuration, one block,
# a continuous run stopped, the views switched, a zoom and the way back, Quit.
source "$(dirname "$0")/e2e_lib.sh" "$@" acquire

step "start"
start_app
[ "$(title_of "$(main_window)")" = "KV2680 Evaluation Software" ] || fail "main window title: $(title_of "$(main_window)")"
buttons_are 0 0 0 1 0 0 1 || fail "start-up buttons"

step "a save before any data says so, in a box with no title"
menu_item s
wait_for 10 sh -c 'xdotool getactivewindow getwindowname 2>/dev/null | grep -qv "^KV2680 Evaluation Software$"' || fail "no message box"
box=$(xdotool getactivewindow)
# The title bar shows no text: the box's title is a single blank (the toolkit would put the
# application's name in place of an empty one).
[ "$(title_of "$box")" = " " ] || fail "the box shows the title \"$(title_of "$box")\""
xdotool key Return
wait_for 5 sh -c "! xdotool search --onlyvisible --name '.' | grep -qx $box" || fail "the box did not close"

step "setup and load the sample configuration"
setup_and_load
[ "$(title_of "$(main_window)")" = "KV2680 Evaluation Software" ] || fail "main window title changed"

step "one block"
sample
buttons_are 1 1 0 1 1 1 1 || fail "buttons after Sample"
crop Waveform "$OUT/acquire-waveform.png"
[ "$(pixels_like "$OUT/acquire-waveform.png" 'rgb(25,45,95)')" -gt 500 ] || fail "the waveform chart shows no trace"
crop Spectrum "$OUT/acquire-spectrum.png"
[ "$(pixels_like "$OUT/acquire-spectrum.png" 'rgb(25,45,95)')" -gt 500 ] || fail "the spectrum chart shows no trace"

step "Cont Samp, then Stop Samp"
click ContSamp
wait_for 10 buttons_are 0 0 1 0 0 0 0 || fail "during a continuous run only Stop Samp is enabled"
sleep 1
click StopSamp
wait_for 15 has_line "status1 Continuous Sampling Stopped" || fail "no Continuous Sampling Stopped line"
wait_for 5 buttons_are 1 1 0 1 1 1 1 || fail "buttons after Stop Samp"
[ "$(last_status1)" = "Continuous Sampling Stopped" ] || fail "last line after Stop Samp: $(last_status1)"

step "switch views: histogram and back, volts"
click Toggle
wait_for 5 visible Histogram || fail "the histogram did not appear"
visible Spectrum && fail "the FFT chart stayed visible over the histogram"
crop Histogram "$OUT/acquire-histogram.png"
[ "$(pixels_like "$OUT/acquire-histogram.png" white)" -lt "$(convert "$OUT/acquire-histogram.png" -format '%[fx:w*h*0.97]' info: | cut -d. -f1)" ] \
    || fail "the histogram is blank"
click Toggle
wait_for 5 visible Spectrum || fail "the FFT chart did not come back"
click DisplayMode
sleep 0.7
read -r x y h < <(control DisplayMode | awk "{ printf \"%d %d %d\", \$5 + \$7 / 2, \$6 + \$8 / 2, \$8 }")
xdotool mousemove "$x" $((y + h)) click 1
wait_for 5 has_line "display Volts" || fail "choosing Volts from the list did not switch the display"

step "zoom in with the handles and back with Full View"
enabled FullView && fail "Full View is offered before any zoom"
crop Waveform "$WORK/before-zoom.png"
click ZoomHandles
wait_for 5 grep -q '^hint To zoom in, drag' "$STATE" || fail "no hint on how to zoom: $(grep '^hint' "$STATE")"
crop Waveform "$WORK/handles.png"
box=$(convert "$WORK/handles.png" -fuzz 8% -fill white -opaque 'rgb(230,120,0)' -fill black +opaque white -format '%@' info:)
read -r w h x y < <(echo "$box" | tr 'x+' '  ')
read -r cx cy cw ch < <(control Waveform | awk '{ print $5, $6, $7, $8 }')
right=$((cx + x + w - 1)) middle=$((cy + ch / 2))
xdotool mousemove "$right" "$middle" mousedown 1 mousemove $((right - 10)) "$middle" mousemove $((right - cw / 2)) "$middle" mouseup 1
sleep 0.3
xdotool mousemove $((cx + cw / 4)) "$middle" click --repeat 2 --delay 80 1
wait_for 5 grep -q '^hint Zoomed in' "$STATE" || fail "double-click did not zoom: $(grep '^hint' "$STATE")"
enabled FullView || fail "Full View is not offered while zoomed"
click FullView
wait_for 5 sh -c "! grep -q '^hint Zoomed in' '$STATE'" || fail "Full View did not end the zoom"
click ZoomHandles
sleep 0.5
crop Waveform "$WORK/after-zoom.png"
differ=$(compare -metric AE "$WORK/before-zoom.png" "$WORK/after-zoom.png" null: 2>&1 | cut -d' ' -f1)
[ "${differ%.*}" -lt 50 ] || fail "after Full View the waveform differs from before the zoom in $differ pixels"

step "quit"
quit
echo "PASSED: acquire"
