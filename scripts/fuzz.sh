#!/usr/bin/env bash
# Builds the libFuzzer targets in the sanitizer tree (build-asan/, clang,
# ASan + UBSan, shared with scripts/sanitize.sh) and runs each one over its
# seed corpus. Usage: scripts/fuzz.sh [SECONDS]
#   SECONDS > 0   fuzz each target for that long (45 by default)
#   SECONDS = 0   run each target once over every seed file, no fuzzing: a
#                 quick check that the targets build and the seeds still pass
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-45}
if ! [[ $seconds =~ ^[0-9]+$ ]]; then
    echo "usage: scripts/fuzz.sh [SECONDS]" >&2
    exit 2
fi
# Every fuzz/fuzz_*.cpp is a target of the same name.
targets=$(find fuzz -maxdepth 1 -name 'fuzz_*.cpp' -printf '%f\n' | sed 's/\.cpp$//' | sort)
if [[ -z "$targets" ]]; then
    echo "No fuzz targets."
    exit 0
fi
# shellcheck disable=SC2086
scripts/build.sh asan $targets
# Inputs that crash a target are kept here, out of the source tree.
artifacts=build-asan/fuzz-artifacts
mkdir -p "$artifacts"
for t in $targets; do
    seeds=fuzz/corpus/${t#fuzz_}
    log=$(mktemp)
    if ((seconds == 0)); then
        mapfile -t files < <(find "$seeds" -type f 2>/dev/null | sort)
        echo "== $t over ${#files[@]} seed files"
        ((${#files[@]})) || continue
        run=(build-asan/bin/"$t" -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$artifacts/$t-" "${files[@]}")
    else
        corpus=$(mktemp -d)
        [[ -d $seeds ]] && cp -r "$seeds"/. "$corpus"/
        echo "== $t for ${seconds}s"
        # A fixed seed makes the run repeatable: a failure here can be
        # replayed, and a longer run with the same seed covers a shorter one.
        run=(build-asan/bin/"$t" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10
             -print_final_stats=1 -artifact_prefix="$artifacts/$t-" "$corpus")
    fi
    if ! "${run[@]}" >"$log" 2>&1; then
        grep -v -E '^#[0-9]+' "$log" | tail -n 60
        echo "$t failed; the input is kept in $artifacts" >&2
        exit 1
    fi
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    rm -f "$log"
    [[ -n ${corpus:-} ]] && rm -rf "$corpus"
    corpus=
done
echo "fuzzing: $(wc -w <<<"$targets") targets passed"
