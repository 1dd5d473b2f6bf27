#!/usr/bin/env bash
# Soak run: the autopilot plays FRAMES frames headless (it restarts by itself after a game over and
# plays on after a victory) while the simulator's resident memory (VmRSS) is sampled every few seconds.
# Nothing leaves the victory screen, so a long run is told to lose fights first (SOAK_LOSE): it then
# plays the whole game again and again, through game over and restart, before it wins.
# The run fails if the RSS at the end is more than 1 MiB above the RSS after the first minute of game
# time (frame 3600, or the frame after the first game over if that comes later), if the simulator stops
# early or exits non-zero, or if it overruns its time limit.
#
#   scripts/soak.sh FRAMES [SEED]            216000 frames are one hour of game time
#   scripts/soak.sh --leaks FRAMES [SEED]    LeakSanitizer run instead, in its own build (build-lsan)
#
# Environment:
#   DUELFALL_SIM      the simulator (default build/tools/duelfall-sim, built if missing)
#   SOAK_LSAN_BUILD   the sanitizer build directory (default build-lsan)
#   SOAK_INTERVAL     seconds between samples (default 2)
#   SOAK_TIMEOUT      seconds before the run is killed (default 300 + FRAMES / 8)
#   SOAK_SAMPLES      a file that receives every sample as "seconds frame rss anon file", sizes in KiB
#   SOAK_ALLOWED_KIB  the growth allowed (default 1024)
#   SOAK_LOSE         fights the autopilot loses on purpose before it plays to win (default 0)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY
# Mesa's software rasteriser (llvmpipe) draws on the main thread. With its worker threads, a simulator
# that runs frames unpaced outruns them, and the driver's own queues grow by about 1.3 KiB a frame on a
# quiet machine (inside SDL_RenderPresent; flat when paced at 60 fps or rasterised inline): that is the
# driver's memory, not the game's. A caller may still set LP_NUM_THREADS.
export LP_NUM_THREADS=${LP_NUM_THREADS:-0}

# The first minute of game time is start-up and warm-up; growth is measured from here.
readonly baseline_frame=3600
readonly allowed_growth_kib=${SOAK_ALLOWED_KIB:-1024}

fail()
{
    echo "SOAK FAILED: $*" >&2
    exit 1
}

usage()
{
    echo "usage: scripts/soak.sh [--leaks] FRAMES [SEED]" >&2
    exit 2
}

leaks=0
if [ "${1:-}" = "--leaks" ]; then
    leaks=1
    shift
fi
[ $# -ge 1 ] && [ $# -le 2 ] || usage
frames=$1
seed=${2:-1}
lose=${SOAK_LOSE:-0}
[[ "$frames" =~ ^[0-9]+$ ]] && [[ "$seed" =~ ^[0-9]+$ ]] && [[ "$lose" =~ ^[0-9]+$ ]] || usage

# A scratch working directory: the game reads data/ and writes userData/ relative to it.
work=$(mktemp -d /tmp/duelfall-soak.XXXXXX)
trap 'rm -rf "$work"' EXIT
ln -s "$root/data" "$work/data"

# ---------------------------------------------------------------------------------------------------
# LeakSanitizer: an AddressSanitizer build of the simulator plays FRAMES frames and exits normally;
# leaks are checked at exit. SDL unloads the OpenGL driver at shutdown, and a leak inside a library that
# is gone can be neither named nor suppressed ("<unknown module>"), so in this run dlclose is made a
# no-op (a small preloaded shim) and every library stays loaded until the check. Suppressions
# (tests/lsan.supp) name third-party libraries only, so any leak reported is one of ours.
if [ "$leaks" = 1 ]; then
    build=${SOAK_LSAN_BUILD:-$root/build-lsan}
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DDUELFALL_SANITIZE=ON -DDUELFALL_BENCHMARKS=OFF > /dev/null
    cmake --build "$build" --target duelfall-sim -j "$(nproc)" > "$work/build.log" 2>&1 ||
        { cat "$work/build.log" >&2; fail "the sanitizer build of duelfall-sim does not build"; }
    sim="$build/tools/duelfall-sim"
    printf 'int dlclose(void* handle) { (void)handle; return 0; }\n' > "$work/keep_loaded.c"
    cc -shared -fPIC -o "$work/keep_loaded.so" "$work/keep_loaded.c" || fail "cannot build the dlclose shim"
    # A shared sanitizer runtime (gcc's) must come first among the preloaded libraries.
    runtime=$(ldd "$sim" | awk '/libasan/ { print $3 }')
    preload="${runtime:+$runtime }$work/keep_loaded.so"
    echo "LeakSanitizer run: $frames frames, seed $seed, fights to lose first: $lose"
    status=0
    (cd "$work" &&
        LD_PRELOAD="$preload" \
        ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:exitcode=23" \
        LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=1:report_objects=0" \
        "$sim" --autopilot --lose "$lose" --seed "$seed" --frames "$frames") > "$work/out.txt" 2>&1 ||
        status=$?
    tail -n 1 "$work/out.txt" | grep '^{' || true
    grep -A3 'Suppressions used' "$work/out.txt" > /dev/null &&
        sed -n '/Suppressions used/,/^$/p' "$work/out.txt" | sed 's/^/  /'
    if [ "$status" -ne 0 ] || grep -q 'ERROR: \(LeakSanitizer\|AddressSanitizer\)' "$work/out.txt"; then
        grep -v '^{' "$work/out.txt" | head -n 200 >&2
        fail "the sanitizer run exited with status $status (23: leaks found)"
    fi
    echo "LeakSanitizer: no leaks outside the suppressed third-party libraries"
    exit 0
fi

# ---------------------------------------------------------------------------------------------------
[ "$frames" -gt "$baseline_frame" ] || fail "FRAMES must exceed $baseline_frame, the first minute of game time"
sim=${DUELFALL_SIM:-$root/build/tools/duelfall-sim}
if [ ! -x "$sim" ]; then
    echo "building $sim"
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
    cmake --build "$root/build" --target duelfall-sim -j "$(nproc)" > /dev/null
fi
sim=$(realpath "$sim") # the run starts in the scratch directory
interval=${SOAK_INTERVAL:-2}
limit=${SOAK_TIMEOUT:-$((300 + frames / 8))}
samples=${SOAK_SAMPLES:-$work/samples.txt}
: > "$samples"

echo "soak: $frames frames, seed $seed, fights to lose first: $lose, RSS sampled every ${interval} s, time limit ${limit} s"
# The trace (one line per frame) tells which frame each sample belongs to.
(cd "$work" && exec "$sim" --autopilot --lose "$lose" --seed "$seed" --frames "$frames" --trace "$work/trace.jsonl") \
    > "$work/summary.txt" 2> "$work/stderr.txt" &
pid=$!
start=$SECONDS

# The frame of the last whole line of the trace (the file is written in blocks, so its very last line
# may be cut short); 0 before the first line.
current_frame()
{
    tail -c 2048 "$work/trace.jsonl" 2> /dev/null | sed -n 's/^{"frame":\([0-9]*\),.*}$/\1/p' | tail -n 1 |
        grep . || echo 0
}

while kill -0 "$pid" 2> /dev/null; do
    # Resident memory in KiB: all of it, its anonymous part and its file-backed part (library pages).
    rss=""
    read -r rss anon file < <(awk '/^VmRSS:/ { r = $2 } /^RssAnon:/ { a = $2 } /^RssFile:/ { f = $2 }
        END { if (r != "") print r, a, f }' "/proc/$pid/status" 2> /dev/null) || true
    [ -n "${rss:-}" ] || break
    frame=$(current_frame)
    elapsed=$((SECONDS - start))
    echo "$elapsed $frame $rss $anon $file" >> "$samples"
    # A progress line every five minutes, for the long runs.
    if [ $((elapsed / 300)) -gt "${reported:-0}" ]; then
        reported=$((elapsed / 300))
        echo "  ${elapsed} s: frame $frame, rss $rss KiB"
    fi
    if [ "$elapsed" -gt "$limit" ]; then
        kill -KILL "$pid" 2> /dev/null || true
        fail "still running after ${limit} s, at frame $frame of $frames"
    fi
    sleep "$interval"
done
status=0
wait "$pid" || status=$?
elapsed=$((SECONDS - start))

[ "$status" -eq 0 ] || { cat "$work/stderr.txt" >&2; fail "duelfall-sim exited with status $status"; }
summary=$(tail -n 1 "$work/summary.txt")
echo "summary: $summary"
played=$(sed -n 's/^{"frames":\([0-9]*\),.*/\1/p' <<< "$summary")
[ "$played" = "$frames" ] || fail "the simulator stopped after ${played:-?} of $frames frames"

# What the autopilot went through: game overs (each followed by a restart through Enter), the first
# victory, and how often the player still ran after it (the game must not freeze on the victory screen).
awk -F'[:,}]' '
    {
        for (i = 1; i < NF; i += 2) v[$i] = $(i + 1)
        state = v["\"state\""]; frame = v["{\"frame\""]
        if (state == "\"gameover\"" && last != "\"gameover\"") gameovers++
        if (state == "\"victory\"" && !victory) victory = frame
        if (victory && frame > victory) { after++; if (v["\"x\""] != px) moved++ }
        px = v["\"x\""]
        if (v["\"bullets\""] > bullets) bullets = v["\"bullets\""]
        if (v["\"lasers\""] > lasers) lasers = v["\"lasers\""]
        if (v["\"fireballs\""] > fireballs) fireballs = v["\"fireballs\""]
        last = state
    }
    END {
        printf "game: %d game overs, first victory at frame %s", gameovers, victory ? victory : "never"
        if (victory) printf ", the player ran in %d of the %d frames after it", moved, after
        printf "; most in play at once: %d bullets, %d lasers, %d fireballs\n", bullets, lasers, fireballs
    }' "$work/trace.jsonl"

# Baseline: the first sample at or after frame 3600. The first game over makes the picture its overlay
# keeps (a whole screen's texture, made once): when it comes later, the baseline is the frame after it.
# End: the last sample taken while frames were still being played (the world is torn down after the
# last frame).
baseline=$baseline_frame
first_gameover=$({ grep -m 1 '"state":"gameover"' "$work/trace.jsonl" || true; } | sed -n 's/^{"frame":\([0-9]*\),.*/\1/p')
if [ -n "$first_gameover" ] && [ "$first_gameover" -ge "$baseline" ]; then
    baseline=$((first_gameover + 1))
fi
read -r base_time base_frame base_rss base_anon base_file < <(awk -v b="$baseline" '$2 >= b { print; exit }' "$samples") || true
read -r end_time end_frame end_rss end_anon end_file < <(awk -v f="$frames" '$2 > 0 && $2 < f { line = $0 } END { print line }' "$samples") || true
peak_rss=$(awk -v b="$baseline" '$2 >= b && $3 > m { m = $3 } END { print m + 0 }' "$samples")
first_rss=$(awk '{ print $3; exit }' "$samples")
count=$(wc -l < "$samples")
[ -n "${base_rss:-}" ] && [ -n "${end_rss:-}" ] && [ "$end_frame" -gt "$base_frame" ] ||
    fail "too few samples ($count) to compare frame $baseline with the end; lower SOAK_INTERVAL"

growth=$((end_rss - base_rss))
echo "time: ${elapsed} s for $frames frames ($(awk -v s="$elapsed" -v f="$frames" 'BEGIN { printf "%.1f", 1000 * s / f }') ms a frame), $count samples"
echo "rss: first sample ${first_rss} KiB; at frame $base_frame: ${base_rss} KiB; at frame $end_frame: ${end_rss} KiB; peak after frame $baseline: ${peak_rss} KiB"
echo "rss growth from frame $base_frame to frame $end_frame: ${growth} KiB (allowed ${allowed_growth_kib} KiB):" \
    "anonymous $((end_anon - base_anon)) KiB, file-backed $((end_file - base_file)) KiB"
[ "$growth" -le "$allowed_growth_kib" ] || fail "resident memory grew by ${growth} KiB"
echo "soak passed"
