#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each one
# for a bounded time over its seed corpus. Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-45}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNASTAVNIK_FUZZ=ON -DNASTAVNIK_BENCH=OFF >/dev/null
targets=$(cmake --build build-fuzz --target help | sed -n 's/^\(fuzz_[a-z_]*\):.*/\1/p' | grep -v '_autogen' | sort -u)
if [[ -z "$targets" ]]; then
    echo "No fuzz targets."
    exit 0
fi
cmake --build build-fuzz --parallel "$(nproc)" --target $targets
# Inputs that crash a target are kept here, out of the source tree.
artifacts=build-fuzz/artifacts
mkdir -p "$artifacts"
for t in $targets; do
    corpus=$(mktemp -d)
    seeds=fuzz/corpus/${t#fuzz_}
    [[ -d $seeds ]] && cp -r "$seeds"/. "$corpus"/
    echo "== $t for ${seconds}s"
    # A fixed seed makes the run repeatable: a failure here can be replayed,
    # and a longer run with the same seed covers a shorter one.
    log=$(mktemp)
    if ! build-fuzz/bin/"$t" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$t-" "$corpus" >"$log" 2>&1; then
        grep -v -E '^#[0-9]+' "$log" | tail -n 60
        echo "$t failed; the input is kept in $artifacts" >&2
        exit 1
    fi
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    rm -f "$log"
    rm -rf "$corpus"
done
echo "fuzzing: $(wc -w <<<"$targets") targets passed"
