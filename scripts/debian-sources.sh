# Shared by the cross-builds (scripts/windows.sh, scripts/web.sh): Debian's packages installed when
# missing, and Debian's source packages unpacked into a cache. Sourced, not run. fetch_source reads the
# caller's `versions` (package -> upstream version) and `cache`.

# Installs the packages given that are not installed yet; apt runs only when one is missing.
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ "${#missing[@]}" -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  local sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  # Other installs may hold dpkg's lock for a while; wait for it instead of failing.
  $sudo_cmd apt-get -o DPkg::Lock::Timeout=600 update -qq
  $sudo_cmd apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
}

# apt-get source needs deb-src entries; a stock Debian 12 has only binary ones. Add source entries
# for the same archives the machine already uses.
enable_source_packages() {
  if grep -rqsE '^(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  local sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  local tmp
  tmp=$(mktemp)
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$tmp"
    $sudo_cmd install -m 644 "$tmp" /etc/apt/sources.list.d/duelfall-deb-src.sources
  else
    grep -hE '^deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -E 's/^deb /deb-src /' >"$tmp"
    $sudo_cmd install -m 644 "$tmp" /etc/apt/sources.list.d/duelfall-deb-src.list
  fi
  rm -f "$tmp"
  echo "Added deb-src entries; updating the package lists"
  $sudo_cmd apt-get -o DPkg::Lock::Timeout=600 update -qq
}

# Unpacks Debian's source package $1 into $cache/src and prints its directory.
fetch_source() {
  local package=$1 version=${versions[$1]}
  mkdir -p "$cache/src"
  local dir
  dir=$(find "$cache/src" -maxdepth 1 -type d -name "$package-$version*" | head -n 1)
  if [ -z "$dir" ]; then
    enable_source_packages >&2
    (cd "$cache/src" && apt-get source -qq "$package" >"$package.log" 2>&1) || {
      cat "$cache/src/$package.log" >&2
      echo "apt-get source $package failed" >&2
      return 1
    }
    dir=$(find "$cache/src" -maxdepth 1 -type d -name "$package-$version*" | head -n 1)
    if [ -z "$dir" ]; then
      echo "Debian's $package is no longer version $version: update the versions in $0" >&2
      return 1
    fi
  fi
  echo "$dir"
}
