#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in build-fuzz/
# and runs each one on its seed corpus for the given number of seconds (default 30). Fails if any
# target finds a crash, a leak, undefined behaviour, a time-out or a memory blow-up; the input that did
# it is kept in build-fuzz/fuzz/artifacts/<target>/.
#
#   scripts/fuzz.sh [seconds] [target...]      e.g. scripts/fuzz.sh 600 fuzz_utf
#
# New inputs found during the run go into a temporary directory, never into fuzz/corpus/: the committed
# seeds change only by hand. FUZZ_PARALLEL=N runs up to N targets side by side (default 1); each still
# gets its full time, so on N free cores the whole run takes about 1/N as long.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_animation_xml fuzz_color_text fuzz_geometry_xml fuzz_utf fuzz_game_options fuzz_replay fuzz_settings)
fi
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${FUZZ_BUILD_JOBS:-$(nproc)}
parallel=${FUZZ_PARALLEL:-1}
[[ "$parallel" =~ ^[1-9][0-9]*$ ]] || { echo "FUZZ_PARALLEL must be a positive number" >&2; exit 2; }

CXX=${FUZZ_CXX:-clang++} cmake -S . -B "$build" -DDUELFALL_FUZZ=ON -DDUELFALL_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "$jobs"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Runs one target; its output goes to its log, its exit status to its .status file.
fuzz_one()
{
    local target=$1
    local binary="$build/fuzz/$target"
    local artifacts="$build/fuzz/artifacts/$target"
    mkdir -p "$artifacts" "$scratch/$target"
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                   -artifact_prefix="$artifacts/")
    if [ -f "fuzz/$target.dict" ]; then
        options+=(-dict="fuzz/$target.dict")
    fi
    # The first corpus directory receives the new inputs; the committed seeds are only read.
    local status=0
    "$binary" "${options[@]}" "$scratch/$target" "fuzz/corpus/$target" >"$scratch/$target.log" 2>&1 || status=$?
    echo "$status" >"$scratch/$target.status"
}

running=0
for target in "${targets[@]}"; do
    echo "== $target: $seconds s"
    fuzz_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

failed=()
for target in "${targets[@]}"; do
    if [ "$(cat "$scratch/$target.status" 2>/dev/null)" = 0 ]; then
        echo "== $target:"
        grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|#[0-9]+ +DONE)' \
            "$scratch/$target.log" || true
    else
        tail -n 60 "$scratch/$target.log" 2>/dev/null || true
        echo "== $target FAILED: the input is in $build/fuzz/artifacts/$target/"
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]}"
    exit 1
fi
echo "Fuzzing found nothing in ${#targets[@]} target(s), $seconds s each."
