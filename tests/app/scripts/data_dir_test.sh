#!/bin/bash
# Where records and "_error.txt" go. A game directory that cannot be written
# to (read-only even for root) sends them to $XDG_DATA_HOME/quillfen/<name>/,
# says so in the log, and reads the records back from there; a writable one
# keeps them in the game directory and creates nothing else.
# usage: data_dir_test.sh PROGRAM
set -u
program=$1
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  [ -n "${immutable:-}" ] && chattr -i "$immutable" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }

# Loads its record back when there is one, then saves two (one in a folder)
# and leaves an error-log line. The archive beside main.txt keeps the packer
# from writing one.
make_game() {
  mkdir -p "$1/save"
  printf '#recLoad "01.sav", "quill"\r\nloadedA = a\r\na = 5\r\n#include "nothere.txt"\r\n#recSave "01.sav", "quill", "day1"\r\n#recSave "save\\02.sav", "quill", "day2"\r\n*w\r\n#vsync\r\n#goto *w\r\n' > "$1/main.txt"
  : > "$1/keep.ar1"
}
run() {  # run GAME DATA_HOME LOG [WRAPPER...]
  local game=$1 data=$2 log=$3
  shift 3
  (cd "$work" && XDG_DATA_HOME=$data "$@" "$program" --headless --frames 3 --log "$log" --dump-vars "$log.vars" "$game")
}

# --- a writable game directory: everything as before
make_game "$work/open"
run "$work/open" "$work/data-open" "$work/open.log"
check "[ -f '$work/open/01.sav' ] && [ -f '$work/open/save/02.sav' ]" "records are saved in a writable game directory"
check "grep -q 'nothere.txt' '$work/open/_error.txt'" "_error.txt is written in a writable game directory"
check "[ ! -e '$work/data-open' ]" "a writable game directory creates no data directory"
check "! grep -q userData '$work/open.log'" "a writable game directory adds no log line"

# --- a read-only game directory
game=$work/shelf/Lantern
make_game "$game"
chmod -R a+rX "$work/shelf"
data=$work/data
mkdir -m 777 "$data"
out=$work/out  # logs and dumps, writable by whoever runs the program
mkdir -m 777 "$out"
# The first way this machine allows: a read-only bind mount in a private
# namespace, an immutable directory, or an unprivileged user.
how=""
if unshare -rm true 2> /dev/null; then
  how=unshare
elif chattr +i "$game" 2> /dev/null && chattr -i "$game"; then
  how=chattr
elif command -v setpriv > /dev/null && setpriv --reuid=65534 --regid=65534 --clear-groups true 2> /dev/null; then
  how=setpriv
fi
readonly_run() {  # readonly_run LOG
  case $how in
    unshare) run "$game" "$data" "$1" unshare -rm sh -c 'mount --bind -o ro "$0" "$0" && exec "$@"' "$game" ;;
    chattr) immutable=$game; chattr +i "$game"; run "$game" "$data" "$1"; chattr -i "$game"; immutable="" ;;
    setpriv) chmod 555 "$game" "$game/save"; run "$game" "$data" "$1" setpriv --reuid=65534 --regid=65534 --clear-groups
             chmod 755 "$game" "$game/save" ;;
  esac
}
if [ -z "$how" ]; then
  echo "SKIPPED: no way to make a directory read-only for this user here (tried unshare -rm, chattr +i, setpriv)"
  exit 77
fi
echo "read-only game directory made with: $how"
readonly_run "$out/ro1.log"
mine=$data/quillfen/Lantern
check "grep -q 'userData.*$mine/' '$out/ro1.log'" "the log says where records go"
check "[ -f '$mine/01.sav' ] && [ -f '$mine/save/02.sav' ]" "records go to the data directory"
check "grep -q 'nothere.txt' '$mine/_error.txt'" "_error.txt goes to the data directory"
check "[ ! -e '$game/01.sav' ] && [ ! -e '$game/_error.txt' ] && [ -z \"\$(ls -A '$game/save')\" ]" "nothing is written into the game directory"
check "grep -q 'loadedA	2	0' '$out/ro1.log.vars'" "no record to load on the first run"
# A second run reads its record back from the data directory.
readonly_run "$out/ro2.log"
check "grep -q 'loadedA	2	5' '$out/ro2.log.vars'" "the record saved in the data directory loads back"

if [ $fail -ne 0 ]; then
  for f in "$work"/*.log "$work"/out/*.log; do echo "--- $f"; cat "$f"; done
  exit 1
fi
echo "data directory test passed"
