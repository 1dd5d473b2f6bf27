#!/usr/bin/env bash
# Installs what is missing, builds the game and plays it in a window. On a machine without a display
# it runs the autopilot headless instead, to victory, and writes screenshots of the fight into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j "$(nproc)" --target duelfall duelfall-sim

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/duelfall
fi

echo "No display: the autopilot plays headless; screenshots go to out/."
mkdir -p out
sim=build/tools/duelfall-sim
"$sim" --autopilot --seed 1 --frames 20000 --until victory+300 \
  --shot 600:out/fight.png \
  --shot-at boss2+120:out/second-boss.png \
  --shot-at switch+30:out/stage-switch.png \
  --shot-at victory+300:out/victory.png
"$sim" --seed 1 --input tools/sim/scripts/gameover.keys --until gameover+1 --shot-at gameover+1:out/gameover.png
ls out
