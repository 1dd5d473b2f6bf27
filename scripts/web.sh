#!/usr/bin/env bash
# Builds Duelfall for the browser (WebAssembly through Emscripten) and packs dist/duelfall-web.zip.
#
#   bash scripts/web.sh          install what is missing, build, pack the zip
#   bash scripts/web.sh --test   the same, then play the zip in headless Chromium (scripts/web_check.py)
#   bash scripts/web.sh --deps   only install and build the dependencies
#
# Everything comes from Debian: Emscripten, Chromium, and the SDL family and pugixml built from Debian's
# source packages with emcmake. Built dependencies are kept outside the clone, in
# ${DUELFALL_WEB_CACHE:-~/.cache/duelfall-web}/<versions and flags hash>, so a second run, or a fresh
# clone on the same machine, skips them.
set -euo pipefail
set -o errtrace
trap 'echo "web.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
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
build=$root/build-web
zip_path=$root/dist/duelfall-web.zip
# Debian's Node.js modules (Emscripten's tools need some) are not on this Node's own path.
export NODE_PATH=/usr/share/nodejs
# Flags every library and the game are compiled with: the same exception model throughout (the game
# throws and catches; WebAssembly's own exceptions cost nothing until one is thrown).
web_flags="-O2 -fwasm-exceptions"

# Upstream versions of the dependencies, as Debian 12 ships them (see scripts/windows.sh).
declare -A versions=(
  [libsdl2]=2.26.5 [libsdl2-image]=2.6.3 [libsdl2-mixer]=2.6.2 [libsdl2-ttf]=2.20.1
  [freetype]=2.12.1 [pugixml]=1.13
)

install_packages() {
  install_missing cmake ninja-build dpkg-dev zip unzip emscripten chromium python3 python3-websocket
}

cache_key() {
  local emscripten flags_hash
  emscripten=$(dpkg-query -W -f='${Version}' emscripten | cut -d- -f1 | tr -c 'A-Za-z0-9.\n' _)
  flags_hash=$(echo "$web_flags" | sha256sum | cut -c1-8)
  echo "sdl2-${versions[libsdl2]}_image-${versions[libsdl2-image]}_mixer-${versions[libsdl2-mixer]}_ttf-${versions[libsdl2-ttf]}_freetype-${versions[freetype]}_pugixml-${versions[pugixml]}_emscripten-${emscripten}_flags-$flags_hash"
}

# Configures, builds and installs one CMake project into the prefix with emcmake, once.
build_dependency() {
  local name=$1 source=$2
  shift 2
  [ -f "$prefix/.built-$name" ] && return
  echo "-- building $name for the browser"
  local dir=$cache/build/$name started=$SECONDS
  rm -rf "$dir"
  emcmake cmake -S "$source" -B "$dir" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="$web_flags -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="$web_flags -DNDEBUG" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$cache/build/$name.log" 2>&1 || {
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
  echo "   $name: $((SECONDS - started)) s"
}

build_dependencies() {
  mkdir -p "$cache/build" "$prefix"
  exec 9>"$cache/.lock"
  flock 9
  if [ ! -f "$prefix/.complete" ]; then
    local started=$SECONDS
    echo "== Browser dependencies into $cache"
    build_dependency sdl2 "$(fetch_source libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
      -DSDL_TESTS=OFF
    build_dependency freetype "$(fetch_source freetype)" \
      -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
      -DFT_DISABLE_BROTLI=ON
    build_dependency sdl2-image "$(fetch_source libsdl2-image)" \
      -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF \
      -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF
    build_dependency sdl2-mixer "$(fetch_source libsdl2-mixer)" \
      -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_VORBIS=STB \
      -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
      -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF
    build_dependency sdl2-ttf "$(fetch_source libsdl2-ttf)" \
      -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF
    build_dependency pugixml "$(fetch_source pugixml)" -DPUGIXML_BUILD_TESTS=OFF
    touch "$prefix/.complete"
    echo "-- dependencies built in $((SECONDS - started)) s"
  fi
  # SDL2_image's package file asks for libjpeg and libpng even when it decodes both with its built-in
  # stb_image, and none is built for the browser. Skip those look-ups then.
  sed -i -E 's/^if\(SDL2IMAGE_(JPG|PNG) AND NOT SDL2IMAGE_VENDORED/if(SDL2IMAGE_\1 AND NOT SDL2IMAGE_BACKEND_STB AND NOT SDL2IMAGE_VENDORED/' \
    "$prefix/lib/cmake/SDL2_image/SDL2_imageConfig.cmake"
  flock -u 9
}

install_packages
cache=${DUELFALL_WEB_CACHE:-$HOME/.cache/duelfall-web}/$(cache_key)
prefix=$cache/prefix
build_dependencies
[ "$mode" = --deps ] && exit 0

build_duelfall() {
  echo "== Building Duelfall for the browser"
  mkdir -p "$build"
  emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="$web_flags -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS_RELEASE="$web_flags" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" -DDUELFALL_BENCHMARKS=OFF \
    >"$build/configure.log" 2>&1 || {
    tail -n 40 "$build/configure.log"
    return 1
  }
  cmake --build "$build" -j "$jobs" --target duelfall-web
}

make_zip() {
  echo "== Packing $(basename "$zip_path")"
  local stage=$build/zip/duelfall-web
  rm -rf "$build/zip"
  mkdir -p "$stage/licenses" "$(dirname "$zip_path")"
  cp "$root/game/Web/index.html" "$root/game/Web/page.js" "$build"/duelfall.{js,wasm,data} "$stage/"
  # The licences of everything in the zip: the game's data, and the source packages it was built from
  # (Emscripten's for its C and C++ libraries inside the .wasm and its code inside the .js).
  cp "$root/data/LICENSE.md" "$stage/licenses/data.md"
  cp "$root/data/ttf/LICENSE-DejaVu.txt" "$stage/licenses/font-dejavu.txt"
  local package
  for package in libsdl2 libsdl2-image libsdl2-mixer libsdl2-ttf freetype pugixml; do
    cp "$(fetch_source "$package")/debian/copyright" "$stage/licenses/$package.txt"
  done
  cp /usr/share/doc/emscripten/copyright "$stage/licenses/emscripten.txt"
  local stamp
  stamp=$(git -C "$root" log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || echo 202601010000)
  find "$stage" -exec touch -h -t "$stamp" {} +
  rm -f "$zip_path"
  (cd "$build/zip" && find duelfall-web -print | LC_ALL=C sort | zip -X -q -9 -@ "$zip_path")
  # What a player's browser fetches, as served plainly and as gzip would send it.
  local file
  for file in index.html page.js duelfall.js duelfall.wasm duelfall.data; do
    printf -- '-- %-14s %8d bytes, %8d gzipped\n' "$file" "$(stat -c %s "$stage/$file")" "$(gzip -9c "$stage/$file" | wc -c)"
  done
  echo "-- $zip_path: $(stat -c %s "$zip_path") bytes"
}

# The simulator of a native build, to play the browser's replays back on Linux.
native_sim() {
  local sim=$root/build/tools/duelfall-sim
  if [ ! -x "$sim" ]; then
    bash "$root/scripts/install-deps.sh" >&2
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUELFALL_BENCHMARKS=OFF >/dev/null
    cmake --build "$root/build" -j "$jobs" --target duelfall-sim >&2
  fi
  echo "$sim"
}

build_duelfall
make_zip
[ "$mode" = --test ] || exit 0

echo "== The zip in headless Chromium"
started=$SECONDS
# Debian's python3, which has python3-websocket (a python3 earlier on PATH may not).
/usr/bin/python3 "$root/scripts/web_check.py" "$zip_path" --sim "$(native_sim)" --out "$build/check" \
  ${DUELFALL_WEB_CHECKS:+--checks "$DUELFALL_WEB_CHECKS"}
echo "-- browser checks took $((SECONDS - started)) s"
