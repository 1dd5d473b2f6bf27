#!/usr/bin/env bash
# Checks the installed game as a user gets it:
#  1. `cmake --install` into a scratch root puts the executable, data/, the desktop entry, the metainfo
#     and the icons where the desktop looks for them, and the entry and metainfo validate;
#  2. the installed game, started from a directory it cannot write (as a user without rights there),
#     finds its data under share/duelfall and writes userData/ under ~/.local/share/duelfall; started
#     from a home that holds a data/ of the player's own (as desktop launchers start it), by a user who
#     could write into the prefix, it still takes its own data and writes nothing into the prefix or
#     the home's top folder;
#  3. `cpack -G DEB` makes a package whose contents match, and lintian finds no error in it.
# With --system the package is then installed on this machine with apt (and left installed).
# Usage: scripts/check-install.sh [--system] [build directory, default build; its build type is kept]
set -euo pipefail
cd "$(dirname "$0")/.."

system=0
if [ "${1:-}" = "--system" ]; then
    system=1
    shift
fi
build=${1:-build}
jobs=${CHECK_INSTALL_JOBS:-$(nproc)}
scratch=$(mktemp -d /tmp/duelfall-install.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}

echo "== Build in $build"
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target duelfall -j "$jobs"

echo "== cmake --install into a scratch root"
root=$scratch/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
app=io.github.duelfall.Duelfall
for file in usr/games/duelfall usr/share/duelfall/data/img/bg.png usr/share/duelfall/data/ttf/tahomabd.ttf \
    usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml \
    usr/share/doc/duelfall/copyright usr/share/doc/duelfall/changelog.gz; do
    [ -e "$root/$file" ] || fail "missing /$file"
done
icons=0
for size in 16 32 48 128 256; do
    if [ -e "$root/usr/share/icons/hicolor/${size}x${size}/apps/duelfall.png" ]; then
        icons=$((icons + 1))
    fi
done
echo "icons installed: $icons of 5"
desktop-file-validate "$root/usr/share/applications/$app.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$app.metainfo.xml" ||
    appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml"

echo "== The installed game from a directory it cannot write"
home=$scratch/home
mkdir -p "$home" "$scratch/readonly"
chmod 755 "$scratch" && chmod -R a+rX,a-w "$root" && chmod 555 "$scratch/readonly"
# Root may write anywhere: the game then runs as nobody, who may write only its home.
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# SDL turns SIGTERM into a quit event: the game ends its frame loop and saves its replay.
set +e
(cd "$scratch/readonly" && timeout -k 10 4 "${as_user[@]}" \
    env -i HOME="$home" PATH=/usr/bin:/bin SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
    "$root/usr/games/duelfall")
status=$?
set -e
chmod -R u+w "$root"
[ "$status" = 0 ] || [ "$status" = 124 ] || fail "the installed game ended with status $status"
user=$home/.local/share/duelfall/userData
[ -s "$user/log.txt" ] || fail "no $user/log.txt"
[ -s "$user/replays/last.replay" ] || fail "no replay under $user/replays"
! grep "|ERROR|" "$user/log.txt" || fail "errors in the log"
[ ! -e "$scratch/readonly/userData" ] || fail "userData written into the working directory"
echo "userData under the preference path: $(ls "$user" | tr '\n' ' ')"

echo "== The installed game from a home holding ~/data/photos, by a user who may write the prefix"
photos_home=$scratch/photos-home
mkdir -p "$photos_home/data/photos"
touch "$scratch/stamp"
sleep 1
set +e
(cd "$photos_home" && timeout -k 10 4 env -i HOME="$photos_home" PATH=/usr/bin:/bin SDL_VIDEODRIVER=offscreen \
    SDL_AUDIODRIVER=dummy "$root/usr/games/duelfall")
status=$?
set -e
[ "$status" = 0 ] || [ "$status" = 124 ] || fail "the installed game ended with status $status in a home with data/"
[ -s "$photos_home/.local/share/duelfall/userData/replays/last.replay" ] || fail "no replay under the home's preference path"
written=$(find "$root" -newer "$scratch/stamp" | head -n 5)
[ -z "$written" ] || fail "written into the prefix: $written"
top=$(ls "$photos_home" | tr '\n' ' ')
[ "$top" = "data " ] || fail "the home's top folder holds more than data/: $top"
echo "prefix untouched, the home's top folder holds only: $top"

echo "== cpack -G DEB and lintian"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/duelfall_*.deb | head -n 1)
dpkg-deb --contents "$deb" >"$scratch/contents.txt"
grep -q "./usr/share/duelfall/data/img/bg.png" "$scratch/contents.txt" || fail "the package lacks the data"
grep -q "./usr/games/duelfall$" "$scratch/contents.txt" || fail "the package lacks the executable"
lintian --tag-display-limit 0 "$deb" | tee "$scratch/lintian.txt"
if grep -q "^E:" "$scratch/lintian.txt"; then
    fail "lintian errors in $deb"
fi
echo "package: $deb ($(du -h "$deb" | cut -f1)), lintian: no errors, $(grep -c '^W:' "$scratch/lintian.txt" || true) warnings"

if [ "$system" = 1 ]; then
    echo "== apt install $deb"
    apt-get install -y "$(realpath "$deb")"
    [ -x /usr/games/duelfall ] || fail "apt did not install /usr/games/duelfall"
fi
echo "check-install: all checks passed"
