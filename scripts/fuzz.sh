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
    build-fuzz/bin/"$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$t-" "$corpus" 2>&1 | tail -n 4
    rm -rf "$corpus"
done
echo "fuzzing: $(wc -w <<<"$targets") targets passed"
