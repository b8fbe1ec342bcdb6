#!/bin/bash
# The player's keys in a real window (Xvfb, keys typed with xdotool): Tab held
# fast-forwards the game's clock, F12 saves a screenshot into the player's data
# directory, Alt+Enter toggles full screen, and the game sees none of them
# (its pad is mapped onto Tab, F12 and Return; only the plain Return reaches it);
# the window has its icon.
# usage: player_keys_test.sh PROGRAM
set -u
program=$1
if ! command -v Xvfb > /dev/null || ! command -v xdotool > /dev/null; then
  echo "SKIPPED: Xvfb and xdotool are needed"
  exit 77
fi
work=$(mktemp -d)
display=:$((90 + RANDOM % 400))
cleanup() {
  [ -n "${xpid:-}" ] && kill "$xpid" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }

game=$work/game
mkdir "$game"
# Up on Tab, down on F12, left on Return. Ends after 12 s of the game's clock.
printf '#keyConfigA 9, 123, 13, 37\r\nseen = 0\r\n#timerGet t0, -1\r\n*w\r\nseen = seen | _keypadSt\r\n#timerGet t1, -1\r\n#if t1 - t0 >= 12000\r\n  #end\r\n#endif\r\n#vsync\r\n#goto *w\r\n' > "$game/main.txt"
: > "$game/keep.ar1"

export DISPLAY=$display XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work SDL_AUDIODRIVER=dummy
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xpid=$!
for _ in $(seq 50); do xdotool getmouselocation > /dev/null 2>&1 && break; sleep 0.1; done

start=$(date +%s.%N)
(cd "$work" && "$program" --log "$work/log.txt" --dump-vars "$work/vars.txt" "$game") &
qpid=$!
wid=""
for _ in $(seq 50); do wid=$(xdotool search --name '^Tov$' 2> /dev/null | head -1); [ -n "$wid" ] && break; sleep 0.1; done
if [ -z "$wid" ]; then
  kill $qpid 2> /dev/null
  echo "SKIPPED: no window appeared on Xvfb"
  exit 77
fi
sleep 0.5
if command -v xprop > /dev/null; then
  check "xprop -id '$wid' _NET_WM_ICON | grep -q 'Icon (64 x 64)'" "the window shows the 64 x 64 icon"
fi
xdotool windowfocus --sync "$wid" 2> /dev/null
xdotool key F12; sleep 0.3
xdotool key alt+Return; sleep 0.5
xdotool key alt+Return; sleep 0.3
xdotool keydown Return; sleep 0.2; xdotool keyup Return
xdotool keydown Tab; sleep 2; xdotool keyup Tab
wait $qpid
status=$?
end=$(date +%s.%N)

check "[ $status -eq 0 ]" "the game ends by itself"
check "grep -qx 'var	seen	2	4' '$work/vars.txt'" "the game saw Return but never Tab or F12 (got $(grep seen "$work/vars.txt"))"
shots=("$work"/data/quillfen/screenshots/quillfen-*.png)
check "[ -f '${shots[0]}' ]" "F12 saved a screenshot in the data directory"
check "[ -z \"\$(find '$game' -name '*.png')\" ]" "nothing was saved in the game directory"
check "grep -q 'screenshot: $work/data/quillfen/screenshots/' '$work/log.txt'" "the log names the screenshot"
check "grep -A1 -x 'dbg	window: full screen' '$work/log.txt' | grep -qx 'dbg	window: 512x448'" "Alt+Enter went to full screen and back"
# Two seconds of Tab run eight seconds of the game: its 12 s end well before
# 12 s of real time.
wall=$(echo "$end - $start" | bc)
check "[ \$(echo '$wall < 9.5' | bc) -eq 1 ]" "Tab fast-forwards the game's clock (12 s of game took ${wall} s)"

if [ $fail -ne 0 ]; then
  cat "$work/log.txt" "$work/vars.txt" 2> /dev/null | grep -v '^var	_'
  exit 1
fi
echo "player keys test passed (12 s of game in ${wall} s)"
