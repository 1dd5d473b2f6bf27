#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and playing need.
# Packages already present are left alone; apt runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-ttf-dev
  libpugixml-dev libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  # asset generation (drawing, sound synthesis, MP3 encoding, the font)
  python3 python3-pil python3-numpy lame fonts-dejavu-core
  # the install and package check (scripts/check-install.sh)
  lintian desktop-file-utils appstream
  # the X core fonts that SDL's message boxes draw with; without them no fatal-error box shows
  xfonts-base
  # steps the wall clock under a test of the frame limiter
  libfaketime
  # the real-window replay test (a virtual X display, key events, screenshots)
  xvfb xdotool imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
