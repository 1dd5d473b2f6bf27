#!/usr/bin/env bash
# The Linux game in a real X window, driven by real key events: on a virtual display with no window
# manager (as in a kiosk, or a bare X session) F11 must make the X window itself as large as the screen,
# with the picture scaled between black bars, and F11 again must bring back the window and a picture
# that fills it.
#
#   bash scripts/linux-window.sh BUILD_DIR     (BUILD_DIR holds the duelfall executable)
#
# Screenshots: BUILD_DIR/linux-window/*.png.
set -euo pipefail
for tool in Xvfb xdotool xwininfo import convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
out=$build/linux-window
rm -rf "$out"
mkdir -p "$out"

failed=0
check() { # description, then the command that must succeed
  local what=$1
  shift
  if "$@"; then echo "PASS $what"; else echo "FAIL $what"; failed=1; fi
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$out/display" 2>"$out/xvfb.log" &
xvfb=$!
game=
cleanup() {
  [ -n "$game" ] && kill -KILL "$game" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  return 0
}
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$out/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$out/display")"
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
# Never led into an error box here; the limit still ends a game that hangs.
SDL_AUDIODRIVER=dummy timeout -s KILL 60 "$build/duelfall" --no-audio >"$out/game.out" 2>&1 &
game=$!

wid=
for _ in $(seq 100); do
  wid=$(xdotool search --name '^Duelfall$' 2>/dev/null | head -n 1 || true)
  [ -n "$wid" ] && break
  sleep 0.2
done
if [ -z "$wid" ]; then
  echo "FAIL the game's window did not open: $(cat "$out/game.out")"
  exit 1
fi
sleep 2

geometry() { xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
  /Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h "+" x "+" y}'; }
# "r,g,b" of one pixel of a screenshot.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:; }
is_black() { [ "$(pixel "$@")" = "0,0,0" ]; }
not_black() { ! is_black "$@"; }
shot() { import -window root "$out/$1.png"; }
# The window's geometry reaches $1 within a few seconds.
geometry_becomes() {
  local i
  for i in $(seq 30); do [ "$(geometry)" = "$1" ] && return 0; sleep 0.2; done
  echo "  the window is $(geometry), not $1"
  return 1
}

windowed=$(geometry)
check "the window opens at 1024x720 ($windowed)" [ "${windowed%%+*}" = 1024x720 ]

xdotool key --window "$wid" F11
check "F11: the X window covers the screen" geometry_becomes 1280x800+0+0
sleep 1
shot fullscreen
# 1024x720 scaled to 1138x800: black bars of 71 columns left and right, the arena between, to its bottom.
check "F11: black bars at the sides" is_black "$out/fullscreen.png" 35 400
check "F11: black bars at the sides" is_black "$out/fullscreen.png" 1245 400
check "F11: the picture reaches the screen's bottom right" not_black "$out/fullscreen.png" 1200 795
check "F11: the picture starts at the left bar" not_black "$out/fullscreen.png" 75 795

xdotool key --window "$wid" F11
check "F11 again: the window is back where it was ($windowed)" geometry_becomes "$windowed"
sleep 1
shot windowed
x=${windowed#*+}
y=${x#*+}
x=${x%%+*}
# The picture fills the window again: no bars left over from the full screen.
check "F11 again: the picture fills the window" not_black "$out/windowed.png" $((x + 5)) $((y + 715))
check "F11 again: the picture fills the window" not_black "$out/windowed.png" $((x + 1018)) $((y + 715))

exit "$failed"
