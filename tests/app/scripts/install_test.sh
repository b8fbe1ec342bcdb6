#!/bin/bash
# Installs the build into a scratch prefix and plays the installed demo from
# there: the program must find its bundled plug-ins in <prefix>/lib/quillfen,
# not beside itself, and the installed files must be where a distribution
# expects them.
# usage: install_test.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }

if ! cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1; then
  cat "$work/install.log"; echo "FAILED: cmake --install"; exit 1
fi

for f in bin/quillfen lib/quillfen/Tovlet.so include/quillfen/plugin.h share/pkgconfig/quillfen.pc \
         share/man/man1/quillfen.1 share/applications/quillfen.desktop \
         share/icons/hicolor/64x64/apps/quillfen.png share/quillfen/demo/main.txt; do
  check "[ -f '$prefix/$f' ]" "$f is installed"
done
check "[ -x '$prefix/bin/quillfen' ]" "the program is executable"
# Every bundled plug-in lands in lib/quillfen, none beside the program.
check "[ -z \"\$(find '$prefix/bin' -name '*.so')\" ]" "no plug-in in bin/"
check "ls '$prefix'/lib/quillfen/*.so | grep -q kpi" "a bundled decoder plug-in is in lib/quillfen"
# Every public header is installed.
for h in "$(dirname "$0")"/../../../include/quillfen/*.h; do
  check "[ -f '$prefix/include/quillfen/$(basename "$h")' ]" "header $(basename "$h") is installed"
done
# The pkg-config file points at the installed headers, wherever the prefix is.
if command -v pkg-config > /dev/null; then
  cflags=$(PKG_CONFIG_PATH=$prefix/share/pkgconfig pkg-config --cflags quillfen | xargs)
  check "[ \"\$(cd \"\${cflags#-I}\" 2>/dev/null && pwd -P)\" = \"\$(cd '$prefix/include' && pwd -P)\" ]" \
        "pkg-config --cflags names the installed include directory (got '$cflags')"
  check "[ \"\$(PKG_CONFIG_PATH=$prefix/share/pkgconfig pkg-config --variable=pluginsdir quillfen | xargs realpath)\" = \"\$(realpath '$prefix/lib/quillfen')\" ]" \
        "pkg-config's pluginsdir is lib/quillfen"
fi
# The desktop entry starts the installed program on the installed demo.
check "grep -qx 'Exec=$prefix/bin/quillfen $prefix/share/quillfen/demo' '$prefix/share/applications/quillfen.desktop'" \
      "the desktop entry's Exec line names the prefix"
check "grep -qx 'Icon=quillfen' '$prefix/share/applications/quillfen.desktop'" "the desktop entry names the icon"
if command -v man > /dev/null; then
  check "man -l '$prefix/share/man/man1/quillfen.1' 2>/dev/null | grep -q -- '--zoom'" "the man page renders"
fi

# A game that loads the sample plug-in and calls one of its words: nothing
# beside the installed program, so only the installed lookup can find it.
game=$work/game
mkdir "$game"
printf '#dllLoad "Tovlet.dll", 1\r\n#funcUser2\r\nloaded = 1\r\n*w\r\n#vsync\r\n#goto *w\r\n' > "$game/main.txt"
run() {  # run LOG GAME
  (cd "$work" && "$prefix/bin/quillfen" --headless --frames 5 --log "$1" --dump-vars "$1.vars" "$2")
}
run "$work/plugin.log" "$game"
check "[ \$? -eq 0 ]" "the installed program ran the plug-in game"
check "grep -q 'loaded	2	1' '$work/plugin.log.vars'" "the plug-in game ran to its end"
check "! grep -q 'LoadLibrary' '$work/plugin.log'" "Tovlet was found through the installed lookup"
# Without the installed plug-in directory the same game cannot load it: the
# lookup above really went there.
mv "$prefix/lib/quillfen" "$prefix/lib/quillfen.away"
run "$work/noplugin.log" "$game"
check "grep -q 'LoadLibrary' '$work/noplugin.log'" "without lib/quillfen the plug-in is not found"
mv "$prefix/lib/quillfen.away" "$prefix/lib/quillfen"

# The installed demo plays from the installed data: K through the story
# scene, then I, which loads Tovlet in the walking scene.
(for f in 10 20 30 40 50 60 70 80 90 100 110; do echo "$f tap K"; done; echo "150 tap I") > "$work/demo-input.txt"
(cd "$work" && "$prefix/bin/quillfen" --headless --frames 170 --input "$work/demo-input.txt" --log "$work/demo.log" \
   "$prefix/share/quillfen/demo")
check "[ \$? -eq 0 ]" "the installed demo runs"
check "grep -q 'Tov start' '$work/demo.log'" "the installed demo started"
check "grep -q 'dllInitA' '$work/demo.log'" "the installed demo loaded Tovlet"
check "! grep -q 'LoadLibrary' '$work/demo.log'" "the installed demo loads no plug-in in vain"

if [ $fail -ne 0 ]; then
  echo "--- plug-in game log"; cat "$work/plugin.log" 2>/dev/null
  exit 1
fi
echo "install test passed"
