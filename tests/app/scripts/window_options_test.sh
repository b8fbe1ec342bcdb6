#!/bin/bash
# The player's window options on SDL's dummy video driver: --zoom scales the
# window (and every size the game asks for later) and --fullscreen starts in
# full screen, while the game sees exactly what it sees without them.
# usage: window_options_test.sh PROGRAM
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR=$work XDG_DATA_HOME=$work/data

# Reports what it sees of the window, then asks for a 320 x 240 screen at 100 %.
game=$work/game
mkdir "$game"
printf '#vsync\r\n#screen 320, 240, 100\r\n#vsync\r\n*w\r\n#vsync\r\n#goto *w\r\n' > "$game/main.txt"
: > "$game/keep.ar1"
run() {  # run NAME OPTIONS...
  local name=$1
  shift
  (cd "$work" && timeout 60 "$program" "$@" --frames 6 --log "$work/$name.log" --dump-vars "$work/$name.vars" "$game") \
    > "$work/$name.out" 2>&1
}
if ! run probe || ! grep -q 'window: ' "$work/probe.log"; then
  cat "$work/probe.out"
  echo "SKIPPED: no SDL window on the dummy video driver here"
  exit 77
fi

run plain
run zoom --zoom 300
run full --fullscreen
check "grep -qx 'dbg	window: 512x448' '$work/plain.log'" "the game's own window is 512 x 448"
check "grep -qx 'dbg	window: 320x240' '$work/plain.log'" "#screen 320, 240, 100 makes it 320 x 240"
check "grep -qx 'dbg	window: 768x672' '$work/zoom.log'" "--zoom 300 shows the first screen at 300 %"
check "grep -qx 'dbg	window: 480x360' '$work/zoom.log'" "--zoom 300 scales the game's later #screen by 1.5"
check "grep -qx 'dbg	window: full screen' '$work/full.log'" "--fullscreen starts in full screen"
check "! grep -q 'window: [0-9]' '$work/full.log'" "--fullscreen stays in full screen through #screen"
# The variables the game ends with do not depend on the player's options
# (where the cursor lies does: a full screen covers it, a window may not).
check "diff '$work/plain.vars' '$work/zoom.vars' > /dev/null" "the game sees the same variables with --zoom"
check "diff <(grep -v '^var	_mouse[XY]	' '$work/plain.vars') <(grep -v '^var	_mouse[XY]	' '$work/full.vars') > /dev/null" \
      "the game sees the same variables with --fullscreen"
check "grep -q _mouseX '$work/plain.vars'" "the variable dump is there"
# A sound font that cannot be read is a bad command line.
"$program" --headless --soundfont "$work/none.sf2" "$game" > /dev/null 2>&1
check "[ \$? -eq 2 ]" "a missing sound font is refused"

if [ $fail -ne 0 ]; then
  for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done
  exit 1
fi
echo "window options test passed"
