#!/usr/bin/env bash
# Cross-builds Duelfall for 64-bit Windows and packs dist/duelfall-windows-x86_64.zip.
#
#   bash scripts/windows.sh          install what is missing, build, pack the zip
#   bash scripts/windows.sh --test   the same, then run the Windows programs under Wine on a virtual
#                                    X display: the test programs, the autopilot, the game's window
#   bash scripts/windows.sh --deps   only install and build the dependencies
#
# Everything comes from Debian: the mingw-w64 compilers, Wine, and the SDL family built from Debian's
# source packages. Built dependencies are kept outside the clone, in
# ${DUELFALL_WINDOWS_CACHE:-~/.cache/duelfall-windows}/<versions and toolchain hash>, so a second run,
# or a fresh clone on the same machine, skips them.
set -euo pipefail
# A step that stops the script says so: without this a failing X tool ended CI with no word.
set -o errtrace
trap 'echo "windows.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=scripts/debian-sources.sh
source "$root/scripts/debian-sources.sh"

mode=${1:-}
case "$mode" in "" | --test | --deps) ;; *)
  echo "usage: $0 [--test | --deps]" >&2
  exit 2
  ;;
esac

jobs=$(nproc)
toolchain=$root/cmake/mingw-w64-x86_64.cmake
build=$root/build-windows
zip_path=$root/dist/duelfall-windows-x86_64.zip

# Upstream versions of the dependencies, as Debian 12 ships them. A Debian update that changes one of
# them stops the build here with a message, rather than building into a cache under a wrong name.
declare -A versions=(
  [libsdl2]=2.26.5 [libsdl2-image]=2.6.3 [libsdl2-mixer]=2.6.2 [libsdl2-ttf]=2.20.1
  [freetype]=2.12.1 [pugixml]=1.13 [googletest]=1.12.1
)

install_packages() {
  install_missing cmake ninja-build dpkg-dev zip \
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    wine wine64 xvfb x11-utils xdotool imagemagick unzip libgtest-dev python3 python3-pil
}

cache_key() {
  local toolchain_hash
  toolchain_hash=$(sha256sum "$toolchain" | cut -c1-12)
  echo "sdl2-${versions[libsdl2]}_image-${versions[libsdl2-image]}_mixer-${versions[libsdl2-mixer]}_ttf-${versions[libsdl2-ttf]}_freetype-${versions[freetype]}_pugixml-${versions[pugixml]}_gtest-${versions[googletest]}_toolchain-$toolchain_hash"
}

cache=${DUELFALL_WINDOWS_CACHE:-$HOME/.cache/duelfall-windows}/$(cache_key)
prefix=$cache/prefix

# Configures, builds and installs one CMake project into the prefix, once.
build_dependency() {
  local name=$1 source=$2
  shift 2
  [ -f "$prefix/.built-$name" ] && return
  echo "-- building $name for Windows"
  local dir=$cache/build/$name
  rm -rf "$dir"
  cmake -S "$source" -B "$dir" -G Ninja --toolchain "$toolchain" -Wno-dev \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DDUELFALL_WINDOWS_PREFIX="$prefix" "$@" >"$cache/build/$name.log" 2>&1 || {
    tail -n 40 "$cache/build/$name.log"
    return 1
  }
  cmake --build "$dir" -j "$jobs" >>"$cache/build/$name.log" 2>&1 &&
    cmake --install "$dir" >>"$cache/build/$name.log" 2>&1 || {
    tail -n 40 "$cache/build/$name.log"
    return 1
  }
  rm -rf "$dir"
  touch "$prefix/.built-$name"
}

build_dependencies() {
  mkdir -p "$cache/build" "$prefix"
  # One builder at a time per cache: a second run waits, then finds everything built.
  exec 9>"$cache/.lock"
  flock 9
  if [ ! -f "$prefix/.complete" ]; then
    local started=$SECONDS
    echo "== Windows dependencies into $cache"
    local installed_gtest
    installed_gtest=$(dpkg-query -W -f='${Version}' libgtest-dev)
    if [[ "$installed_gtest" != "${versions[googletest]}"* ]]; then
      echo "libgtest-dev is $installed_gtest, not ${versions[googletest]}: update the versions in $0" >&2
      return 1
    fi
    build_dependency sdl2 "$(fetch_source libsdl2)" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL_TESTS=OFF
    build_dependency freetype "$(fetch_source freetype)" -DBUILD_SHARED_LIBS=OFF \
      -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
      -DFT_DISABLE_BROTLI=ON
    build_dependency sdl2-image "$(fetch_source libsdl2-image)" -DBUILD_SHARED_LIBS=ON \
      -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF \
      -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF
    build_dependency sdl2-mixer "$(fetch_source libsdl2-mixer)" -DBUILD_SHARED_LIBS=ON \
      -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_VORBIS=STB \
      -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
      -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF
    build_dependency sdl2-ttf "$(fetch_source libsdl2-ttf)" -DBUILD_SHARED_LIBS=ON \
      -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF
    build_dependency pugixml "$(fetch_source pugixml)" -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
    build_dependency googletest /usr/src/googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
    touch "$prefix/.complete"
    echo "-- dependencies built in $((SECONDS - started)) s"
  fi
  # SDL2_image's package file asks for libjpeg and libpng even when its DLL decodes both with its
  # built-in stb_image, and no Windows libjpeg or libpng exists here. Skip those look-ups then.
  sed -i -E 's/^if\(SDL2IMAGE_(JPG|PNG) AND NOT SDL2IMAGE_VENDORED/if(SDL2IMAGE_\1 AND NOT SDL2IMAGE_BACKEND_STB AND NOT SDL2IMAGE_VENDORED/' \
    "$prefix/lib/cmake/SDL2_image/SDL2_imageConfig.cmake"
  flock -u 9
}

# Test programs that do not run under Windows, and why (the Linux build runs them): test_misuse changes
# its children's environment the POSIX way (setenv, LD_PRELOAD, alarm), and most of its cases end in a
# fatal error or a missing device on purpose; test_replay's game children meet fatal errors on purpose
# (a damaged replay, an error in mid-fight), whose box waits for a click on Windows. test_sim runs: its
# children start through CreateProcessW.
not_on_windows=(test_misuse test_replay)
# Cases left out under Wine, each for a reason of Windows or of Wine, not of the game (Linux runs them):
wine_skips=(
  # Their death-test child reaches a fatal error, whose message box waits for a click on Windows
  # whatever the video driver. The fatal path is checked below on the real game instead.
  '*EndTheProgram*' CoreTest.FatalErrorLogsBothLinesAndExitsWithStatusOne
  # Expects that no question box can be shown headless; on Windows one always opens, and waits.
  CoreTest.RunEndsAfterTheFrameInWhichTheCloseRequestArrives
  # Wine's extension string has two spaces before its WGL names: the report turns every space into
  # a line end, the test expects one name on every line.
  SystemInfo.NineSectionsInOrderWithTheirLinesAndTheFileRewrittenAtEveryStart
  # Drives the Linux game in an Xvfb window with xdotool, Linux programs; the key bindings themselves
  # are the same code on Windows and run in the other settings tests.
  'SettingsInAWindow.*'
)

test_programs() {
  local source name skip
  for source in "$root"/tests/test_*.cpp; do
    name=$(basename "$source" .cpp)
    skip=0
    for other in "${not_on_windows[@]}"; do [ "$name" = "$other" ] && skip=1; done
    if [ "$skip" -eq 0 ]; then echo "$name"; fi
  done
}

build_duelfall() {
  echo "== Cross-building Duelfall"
  # -O2 as in the Linux build, so that both run the same optimised code.
  cmake -S "$root" -B "$build" -G Ninja --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DDUELFALL_WINDOWS_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DDUELFALL_BENCHMARKS=OFF \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null
  local targets=(duelfall duelfall-sim)
  [ "$mode" = --test ] && mapfile -t -O 2 targets < <(test_programs)
  cmake --build "$build" -j "$jobs" --target "${targets[@]}"
  # The programs find their DLLs beside them.
  cp "$prefix"/bin/*.dll "$build/"
  cp "$prefix"/bin/*.dll "$build/tools/"
  [ -d "$build/tests" ] && cp "$prefix"/bin/*.dll "$build/tests/"
  return 0
}

# The DLLs an executable or DLL imports that are not part of Windows itself, found in the prefix.
imported_dlls() {
  x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | while read -r dll; do
    if [ -f "$prefix/bin/$dll" ]; then echo "$dll"; fi
  done
  return 0
}

make_zip() {
  echo "== Packing $(basename "$zip_path")"
  local stage=$build/zip/Duelfall
  rm -rf "$build/zip"
  mkdir -p "$stage/licenses" "$(dirname "$zip_path")"
  x86_64-w64-mingw32-strip -o "$stage/duelfall.exe" "$build/duelfall.exe"
  # Every DLL the game needs, and every DLL those need.
  local queue=("$stage/duelfall.exe") dll
  while [ "${#queue[@]}" -gt 0 ]; do
    for dll in $(imported_dlls "${queue[0]}"); do
      if [ ! -f "$stage/$dll" ]; then
        cp "$prefix/bin/$dll" "$stage/$dll"
        queue+=("$stage/$dll")
      fi
    done
    queue=("${queue[@]:1}")
  done
  cp -r "$root/data" "$stage/data"
  # The licences of everything in the zip, from the source packages it was built from.
  local package
  for package in libsdl2 libsdl2-image libsdl2-mixer libsdl2-ttf freetype pugixml; do
    cp "$(fetch_source "$package")/debian/copyright" "$stage/licenses/$package.txt"
  done
  cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licenses/mingw-w64-runtime.txt"
  cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/gcc-runtime.txt"
  # With Windows' line ends, so that every editor shows its lines.
  sed 's/$/\r/' "$root/packaging/windows/README.txt" >"$stage/README.txt"
  # Same sources, same zip: fixed times, sorted names, no extra attributes.
  local stamp
  stamp=$(git -C "$root" log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || echo 202601010000)
  find "$stage" -exec touch -h -t "$stamp" {} +
  rm -f "$zip_path"
  (cd "$build/zip" && find Duelfall -print | LC_ALL=C sort | zip -X -q -@ "$zip_path")
  echo "-- $zip_path: $(du -h "$zip_path" | cut -f1)"
}


# ---- The Wine leg -------------------------------------------------------------------------------
# Every Windows program runs under Wine on a virtual X display of its own, each with a hard timeout
# (SIGKILL, since a program waiting in a message box ignores anything gentler). Wine here has no sound
# device, so SDL's dummy audio driver stands in; the video driver is Windows' own, with Direct3D.
passed=0
failed=0
wine_out=$build/wine

pass() {
  passed=$((passed + 1))
  echo "PASS $*"
}

fail() {
  failed=$((failed + 1))
  echo "FAIL $*"
}

stop_wine() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  xvfb_pid=
}

start_wine() {
  echo "== Windows programs under Wine"
  export WINEPREFIX=${DUELFALL_WINDOWS_CACHE:-$HOME/.cache/duelfall-windows}/wine-prefix
  export WINEARCH=win64 WINEDEBUG=-all
  # No Mono or Gecko: their installers would ask questions nobody answers.
  export WINEDLLOVERRIDES="mscoree=;mshtml="
  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER SDL_RENDER_DRIVER
  rm -rf "$wine_out"
  mkdir -p "$wine_out"
  local display_file=$wine_out/display
  # -ac: the second Wine user below draws on it too (no TCP, so only this machine's programs).
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -ac 3>"$display_file" 2>"$wine_out/xvfb.log" &
  xvfb_pid=$!
  trap stop_wine EXIT
  local i
  for i in $(seq 50); do
    [ -s "$display_file" ] && break
    sleep 0.2
  done
  export DISPLAY=:$(cat "$display_file")
  # A new prefix was once left without its system DLLs ("could not load kernel32.dll") in a whole CI run,
  # never when made alone: such a prefix is made again once, with Wine's errors logged this time.
  local attempt
  for attempt in 1 2; do
    if timeout -s KILL 300 wine wineboot --init >"$wine_out/wineboot-$attempt.log" 2>&1 &&
      [ -e "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
      export WINEDEBUG=-all
      return 0
    fi
    cat "$wine_out/wineboot-$attempt.log"
    echo "the Wine prefix $WINEPREFIX was not made whole (attempt $attempt)"
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    export WINEDEBUG=err+all
  done
  export WINEDEBUG=-all
  fail "the Wine prefix could not be made"
}

run_test_programs() {
  local name log started count filter
  filter=$(IFS=:; echo "${wine_skips[*]}")
  for name in $(test_programs); do
    log=$wine_out/$name.log
    started=$SECONDS
    # OpenGL (Wine's, on Mesa) rather than Direct3D, the Windows default that the game's run below
    # uses: ten times faster here, and it reads a window back after it was presented, as the tests do.
    if (cd "$build/tests/work" && SDL_RENDER_DRIVER=opengl timeout -s KILL 300 wine "../$name.exe" \
      --gtest_filter="-$filter" --gtest_brief=1 >"$log" 2>&1); then
      # Windows programs end their lines with CR LF.
      count=$(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p')
      passed=$((passed + ${count:-0}))
      echo "PASS $name: ${count:-0} tests in $((SECONDS - started)) s"
    else
      tail -n 30 "$log"
      count=$(grep -c '^\[  FAILED  \] .*(' "$log" || true)
      failed=$((failed + (count > 0 ? count : 1)))
      echo "FAIL $name (log: $log)"
    fi
  done
}

# The first X window with this exact name, or nothing.
# Empty when there is none. xwininfo fails when a window goes away while it walks the tree (Wine makes
# its windows anew): that is "none yet", never an error.
window_named() {
  { xwininfo -root -tree 2>/dev/null || true; } | sed -n "s/^ *\(0x[0-9a-f]*\) \"$1\".*/\1/p" | sed -n 1p
}

wait_for_window() {
  local i wid
  for i in $(seq "$2"); do
    wid=$(window_named "$1")
    [ -n "$wid" ] && echo "$wid" && return 0
    sleep 1
  done
  return 1
}

check_unpacked_zip() {
  local game=$wine_out/unpacked/Duelfall
  unzip -q "$zip_path" -d "$wine_out/unpacked"
  # The simulator is a developer's tool, not part of the zip; beside the unpacked game it proves that
  # the zip's DLLs and data are all a program needs.
  cp "$build/tools/duelfall-sim.exe" "$game/"
  # The fight runs on Wine's OpenGL: through Wine's Direct3D on Mesa's software rasteriser a frame
  # takes about 200 ms here, through OpenGL about 10 ms. The game's own run below keeps Direct3D.
  local started=$SECONDS summary
  (cd "$game" && SDL_RENDER_DRIVER=opengl timeout -s KILL 480 wine duelfall-sim.exe --autopilot --seed 1 --until victory+60 \
    --shot-at boss2+240:fight.png --shot-at victory+40:victory.png >sim.out 2>sim.err) || true
  summary=$(tail -n 1 "$game/sim.out" 2>/dev/null)
  if [[ "$summary" == *'"outcome":"victory"'* ]] && [ -s "$game/fight.png" ] && [ -s "$game/victory.png" ]; then
    pass "the autopilot wins in $((SECONDS - started)) s: $summary"
    cp "$game/fight.png" "$game/victory.png" "$wine_out/"
  else
    cat "$game/sim.err"
    fail "the autopilot under Wine: $summary"
  fi
  check_machine_report "$game/userData/systemInfo.txt" simulator "Render name: opengl"
  rm -rf "$game/userData"

  # The game itself in its real window: shown, screenshot taken, icon read back, then ended.
  (cd "$game" && exec timeout -s KILL 120 wine duelfall.exe >game.out 2>&1) &
  local pid=$! wid
  if wid=$(wait_for_window Duelfall 60); then
    sleep 4
    # Wine may have made the window anew for its renderer meanwhile: ask again.
    wid=$(window_named Duelfall)
    import -window root "$wine_out/game-window.png" || fail "no screenshot of the game's window"
    if [ -n "$(window_named 'Error!')" ]; then
      fail "the game showed an error box"
    else
      pass "the game's window opens (screenshot: $wine_out/game-window.png)"
    fi
    check_window_icon "$wid"
  else
    fail "the game's window did not open: $(cat "$game/game.out")"
  fi
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  check_machine_report "$game/userData/systemInfo.txt" game "Render name: direct3d" "Direct3D9 info:"
}

# The report's Windows sections must come from the Windows code: Windows' own name and architecture,
# SDL's Windows platform, the CPU; then the lines given for the renderer.
check_machine_report() {
  local report=$1 who=$2 line missing=()
  shift 2
  for line in "Platform: Windows" "OS Name: Windows" "OS Arch: x64" "Logical CPU cores: " "SSE 2: true" "$@"; do
    grep -q "^$line" "$report" 2>/dev/null || missing+=("$line")
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    cp "$report" "$wine_out/systemInfo-$who.txt"
    pass "the $who's machine report has the Windows sections ($(grep -E '^OS (Name|Arch)' "$report" | tr '\n' ' '))"
  else
    fail "the $who's machine report lacks: ${missing[*]}"
  fi
}

# Wine hands the window's icon to X as _NET_WM_ICON; it must be the 32-pixel picture of the .ico
# compiled into the executable.
check_window_icon() {
  xprop -id "$1" -notype 32c _NET_WM_ICON >"$wine_out/icon.xprop" 2>&1 || true
  if /usr/bin/python3 "$root/cmake/windows/compare_icon.py" "$wine_out/icon.xprop" \
    "$root/data/icon/duelfall-32.png" "$wine_out/window-icon.png"; then
    pass "the window carries the executable's icon ($wine_out/window-icon.png)"
  else
    fail "the window's icon is not the game's"
  fi
}

# The executable attaches to the console it was started from, and its manifest declares DPI awareness
# (Wine runs a window program's output to the terminal anyway, so only the import can be checked here).
check_executable() {
  local exe=$wine_out/unpacked/Duelfall/duelfall.exe imports
  [ -f "$exe" ] || exe=$build/duelfall.exe
  # Read whole first: grep -q leaving a pipe early would fail objdump under pipefail.
  imports=$(x86_64-w64-mingw32-objdump -p "$exe")
  if grep -q '\bAttachConsole$' <<<"$imports"; then
    pass "duelfall.exe imports AttachConsole"
  else
    fail "duelfall.exe does not import AttachConsole"
  fi
  if grep -q 'PerMonitorV2' "$exe" && grep -q 'longPathAware' "$exe" && grep -q 'supportedOS' "$exe"; then
    pass "duelfall.exe embeds its manifest (per-monitor DPI awareness, long paths, supported Windows versions)"
  else
    fail "duelfall.exe has no manifest with DPI awareness"
  fi
}

# A missing asset must end the game through the fatal-error path: the message box titled "Error!",
# the error in the log, and after the box is closed exit status 1.
check_fatal_error_box() {
  local dir=$wine_out/no-data
  mkdir -p "$dir"
  cp "$wine_out/unpacked/Duelfall/"*.exe "$wine_out/unpacked/Duelfall/"*.dll "$dir/"
  # A game that finds no data of its own writes nothing beside itself: its log goes under AppData.
  local log="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/duelfall/userData/log.txt"
  rm -f "$log"
  (cd "$dir" && exec timeout -s KILL 120 wine duelfall.exe >game.out 2>&1) &
  local pid=$! wid status=0
  if wid=$(wait_for_window 'Error!' 60); then
    import -window root "$wine_out/error-box.png" || fail "no screenshot of the error box"
    xdotool key --window "$wid" Return || true
    wait "$pid" || status=$?
    if [ "$status" -eq 1 ] && grep -q '|ERROR| .*failed load!' "$log" && [ ! -e "$dir/userData" ]; then
      pass "a missing asset opens the error box and ends with status 1 (screenshot: $wine_out/error-box.png)"
    else
      fail "after the error box: status $status, log: $(cat "$log" 2>/dev/null), beside the game: $(ls "$dir")"
    fi
  else
    fail "no error box for a missing asset"
  fi
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# ---- Direct3D resets its render targets when the window changes size ----------------------------
# The game plays a recorded fight with Direct3D, as on Windows. Paused, its window is made full screen
# and back with F11: the picture after must be the picture before (2 per channel apart at most), and
# after the pause the fight plays on. (The game over is not reached here: through Wine's Direct3D on
# Mesa's software rasteriser the game plays a few frames a second, and the quickest recorded game
# over comes after 2100 frames. test_renderer checks the flattened game-over picture after a reset.)
# Screenshots: $wine_out/resize-*.png.

# The game's window cut out of a screenshot of the whole screen (Wine may have made the window anew).
window_shot() {
  local wid geometry
  wid=$(window_named Duelfall)
  [ -n "$wid" ] || return 1
  geometry=$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h "+" x "+" y}')
  import -window root "$wine_out/screen.png" && convert "$wine_out/screen.png" -crop "$geometry" +repage "$1"
}

# How many pixels of the two pictures lie more than 2 (of 255) apart in a channel; "size" if their sizes differ.
pixels_apart() {
  [ "$(identify -format %wx%h "$1")" = "$(identify -format %wx%h "$2")" ] || { echo size; return; }
  compare -metric AE -fuzz 0.8% "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# F11 makes the window as large as the screen and back, Windows' own way (Wine moves its X window
# itself: no window manager needed); Direct3D resets its device at each change of size.
resize_and_back() {
  local name=$1 apart
  window_shot "$wine_out/resize-$name-before.png" || { fail "$name: no game window"; return 0; }
  xdotool key F11
  sleep 4
  window_shot "$wine_out/resize-$name-fullscreen.png" || true
  xdotool key F11
  sleep 4
  window_shot "$wine_out/resize-$name-after.png" || { fail "$name: the window is gone after full screen"; return 0; }
  apart=$(pixels_apart "$wine_out/resize-$name-before.png" "$wine_out/resize-$name-after.png")
  if [ "$apart" = 0 ]; then
    pass "$name: the picture is the same after a change of size and back ($(grep -c 'Render targets reset' \
      "$wine_out/unpacked/Duelfall/userData/log.txt" 2>/dev/null) target resets logged so far)"
  else
    fail "$name: $apart pixels differ after a change of size and back (see $wine_out/resize-$name-*.png)"
  fi
}

check_resize_resets() {
  local game=$wine_out/unpacked/Duelfall replay=$wine_out/fight.replay
  [ -d "$game" ] || unzip -q "$zip_path" -d "$wine_out/unpacked"
  cp "$build/tools/duelfall-sim.exe" "$game/"
  rm -rf "$game/userData"
  # Recorded by the simulator: ten seconds of the fight, longer than this check needs under Wine.
  (cd "$game" && SDL_RENDER_DRIVER=opengl timeout -s KILL 300 wine duelfall-sim.exe --seed 1 \
    --input "$(winepath -w "$root/tools/sim/scripts/gameover.keys")" --frames 600 \
    --record "$(winepath -w "$replay")" >"$wine_out/resize-sim.out" 2>&1) || true
  if [ ! -s "$replay" ]; then
    fail "no replay to play for the change of size"
    return 0
  fi
  (cd "$game" && SDL_RENDER_DRIVER=direct3d exec timeout -s KILL 400 wine duelfall.exe --replay "$(winepath -w "$replay")" \
    >resize.out 2>&1) &
  local pid=$!
  if ! wait_for_window Duelfall 60 >/dev/null; then
    fail "the game's window did not open for the change of size"
    return 0
  fi
  sleep 6
  xdotool key Escape
  sleep 3
  resize_and_back pause
  xdotool key Escape
  sleep 3
  window_shot "$wine_out/resize-resumed.png" || true
  if [ "$(pixels_apart "$wine_out/resize-pause-after.png" "$wine_out/resize-resumed.png")" != 0 ]; then
    pass "the fight plays on after the pause"
  else
    fail "the picture stayed the same after the pause ended"
  fi
  if grep ' failed: ' "$game/userData/log.txt" 2>/dev/null; then
    fail "drawing calls failed under Direct3D (log above)"
  fi
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true # killed on purpose: its status says nothing
  return 0
}

# The same change of size on the game-over screen, played live: the player stands under the first boss
# firing up until its rockets end the fight (about 2100 frames: several minutes at Wine's Direct3D speed
# here, so not among the default checks).
check_gameover_resize() {
  local game=$wine_out/unpacked/Duelfall replay i frames=""
  [ -d "$game" ] || unzip -q "$zip_path" -d "$wine_out/unpacked"
  rm -rf "$game/userData"
  replay=$game/userData/replays/last.replay
  (cd "$game" && SDL_RENDER_DRIVER=direct3d exec timeout -s KILL 1800 wine duelfall.exe >gameover.out 2>&1) &
  local pid=$!
  if ! wait_for_window Duelfall 60 >/dev/null; then
    fail "the game's window did not open for the game over"
    return 0
  fi
  sleep 6
  xdotool keydown Up Control_L
  # The replay is written at each game over: its end line then gives the player no health.
  for i in $(seq 1500); do
    frames=$({ tr -d '\r' <"$replay" 2>/dev/null || true; } | sed -n 's/^# end \([0-9]*\) [0-9a-f]* player 0 .*/\1/p')
    [ -n "$frames" ] && break
    sleep 1
  done
  xdotool keyup Up Control_L
  if [ -z "$frames" ]; then
    fail "no game over within $i s (see $game/gameover.out)"
  else
    echo "-- game over after $frames frames, $i s"
    sleep 4
    resize_and_back gameover
  fi
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true # killed on purpose: its status says nothing
  return 0
}

# ---- A player whose name Windows' ANSI code page cannot spell -----------------------------------
# A Wine user named "Юрий" (in a prefix of a non-root user's own: root may write anywhere) plays the
# zip unpacked into folders named with Cyrillic letters, a space and an accent: one it cannot write, as
# under Program Files, and one it can. Names read in the ANSI code page come out as "Ð®ÑÐ¸Ð¹".
wine_user=duelfall-wine
cyrillic_user=Юрий

as_wine_user() {
  runuser -u "$wine_user" -- env HOME="$wine_home" WINEPREFIX="$cyrillic_prefix" WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree=;mshtml=" SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=opengl DISPLAY="$DISPLAY" \
    LANG=C.UTF-8 USER="$cyrillic_user" "$@"
}

# Starts the game as the Cyrillic user in $1 with the arguments after it, lets it play a few seconds,
# then closes its window as the close box does (taskkill without /f), so that it ends normally.
play_and_close() {
  local dir=$1
  shift
  (cd "$dir" && as_wine_user timeout -s KILL 120 wine duelfall.exe "$@" >"$wine_out/cyrillic.out" 2>&1) &
  local pid=$! wid i
  # The window exists, hidden, while the game loads; Wine's taskkill closes only shown windows.
  for i in $(seq 90); do
    wid=$(window_named Duelfall)
    [ -n "$wid" ] && xwininfo -id "$wid" 2>/dev/null | grep -q 'IsViewable' && break
    sleep 1
  done
  sleep 3
  for i in $(seq 10); do
    kill -0 "$pid" 2>/dev/null || break
    as_wine_user timeout -s KILL 30 wine taskkill /im duelfall.exe >/dev/null 2>&1 || true
    sleep 3
  done
  wait "$pid" 2>/dev/null || true # killed on purpose: its status says nothing
}

# The log, the machine report and a replay in $1, all written by a run that ended normally.
check_user_data() {
  local dir=$1 where=$2
  if [ -s "$dir/log.txt" ] && grep -q '^OS Name: Windows' "$dir/systemInfo.txt" 2>/dev/null &&
    [ -s "$dir/replays/last.replay" ]; then
    pass "the Cyrillic user's game writes its log, machine report and replay $where"
  else
    fail "the Cyrillic user's game $where: $(ls -R "$dir" 2>&1 | head -n 20 | tr '\n' ' ')"
  fi
}

check_cyrillic_player() {
  if [ "$(id -u)" -ne 0 ]; then
    fail "the Cyrillic user's runs need root (a second user, a folder it cannot write)"
    return 0
  fi
  id -u "$wine_user" >/dev/null 2>&1 || useradd -m "$wine_user"
  wine_home=$(getent passwd "$wine_user" | cut -d: -f6)
  cyrillic_prefix=$wine_home/wine-prefix
  local users=$cyrillic_prefix/drive_c/users
  # Made once and kept in the user's home: about 20 s.
  if [ ! -d "$users/$cyrillic_user" ]; then
    rm -rf "$cyrillic_prefix"
    as_wine_user timeout -s KILL 300 wine wineboot --init >"$wine_out/cyrillic-wineboot.log" 2>&1 || true
    if [ ! -d "$users/$cyrillic_user" ]; then
      fail "no Wine prefix for the user $cyrillic_user: $(ls "$users" 2>&1 | tr '\n' ' ')"
      return 0
    fi
  fi
  # In the user's own home: a clone may lie below a folder no other user can enter (mktemp -d makes them so).
  local games="$wine_home/Игры é" appdata="$users/$cyrillic_user/AppData/Roaming/duelfall"
  rm -rf "$games" "$appdata"
  # What an earlier run left beside the user's own folder (a garbled one among them).
  find "$users" -mindepth 1 -maxdepth 1 ! -name Public ! -name "$cyrillic_user" -exec rm -rf {} +
  mkdir -p "$games/read-only" "$games/writable"
  unzip -q "$zip_path" -d "$games/read-only"
  unzip -q "$zip_path" -d "$games/writable"
  chmod -R a-w,a+rX "$games/read-only"
  chown -R "$wine_user" "$games/writable"
  chown "$wine_user" "$games" # the replay is kept here

  # The folder it cannot write: everything goes under the user's AppData\Roaming.
  play_and_close "$games/read-only/Duelfall"
  check_user_data "$appdata/userData" "under AppData\\Roaming (the game's folder is read-only)"
  # The replay, kept in a folder with Cyrillic letters, a space and an accent, plays from a console
  # path given in Windows' form.
  local replay="$games/копия.replay" status=0
  local windows_replay="Z:${replay//\//\\}"
  if [ -s "$appdata/userData/replays/last.replay" ]; then
    cp "$appdata/userData/replays/last.replay" "$replay"
  else
    # Nothing recorded: the simulator beside the writable copy records one.
    cp "$build/tools/duelfall-sim.exe" "$games/writable/Duelfall/"
    (cd "$games/writable/Duelfall" && as_wine_user timeout -s KILL 120 wine duelfall-sim.exe --frames 240 --seed 3 \
      --autopilot --record "$windows_replay" >"$wine_out/cyrillic-sim.out" 2>&1) || true
  fi
  # A replay that cannot be read is a fatal error, whose box waits: a short limit.
  (cd "$games/read-only/Duelfall" && as_wine_user timeout -s KILL 60 wine duelfall.exe --replay "$windows_replay" \
    >"$wine_out/cyrillic-replay.out" 2>&1) || status=$?
  if [ "$status" -eq 0 ] && grep -q 'Replay played back to frame [0-9]*: no desync' "$appdata/userData/log.txt" 2>/dev/null; then
    pass "--replay plays $windows_replay ($(grep -o 'played back to frame [0-9]*' "$appdata/userData/log.txt" | tail -n 1))"
  else
    fail "--replay with a Cyrillic path: status $status, $(tr '\n' ' ' <"$wine_out/cyrillic-replay.out" | head -c 400)"
  fi

  # The folder it can write: userData beside the game, nothing under AppData.
  rm -rf "$appdata"
  play_and_close "$games/writable/Duelfall"
  check_user_data "$games/writable/Duelfall/userData" "beside the game (its folder is writable)"
  [ -e "$appdata" ] && fail "the game in a writable folder wrote under AppData as well"

  # Text read in the ANSI code page turns Cyrillic into "Ð"/"Ñ" and accents into "Ã" (whole UTF-8
  # sequences, matched as bytes).
  local garbled
  garbled=$(find "$cyrillic_prefix/drive_c" "$games" 2>/dev/null | grep -e 'Ð' -e 'Ñ' -e 'Ã' | head -n 5 || true)
  if [ -z "$garbled" ]; then
    pass "no garbled folder or file under the prefix or the game's folders"
  else
    fail "garbled names: $garbled"
  fi
  return 0
}

# ---- Main ---------------------------------------------------------------------------------------
install_packages
build_dependencies
[ "$mode" = --deps ] && exit 0
build_duelfall
make_zip
[ "$mode" = --test ] || exit 0

# DUELFALL_WINE_CHECKS picks some of the Wine runs while one is being worked on; "gameover" (the change
# of size on the game-over screen, about six minutes) runs only when asked for.
checks=${DUELFALL_WINE_CHECKS:-tests zip executable resize fatal cyrillic}
started=$SECONDS
start_wine
[[ " $checks " == *" tests "* ]] && run_test_programs
[[ " $checks " == *" zip "* ]] && check_unpacked_zip
[[ " $checks " == *" executable "* ]] && check_executable
[[ " $checks " == *" resize "* ]] && check_resize_resets
[[ " $checks " == *" gameover "* ]] && check_gameover_resize
[[ " $checks " == *" fatal "* ]] && check_fatal_error_box
[[ " $checks " == *" cyrillic "* ]] && check_cyrillic_player
echo "-- Wine runs took $((SECONDS - started)) s"
echo "Wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
