#!/usr/bin/env bash
# Builds the benchmarks, makes the benchmark document once (200 questions,
# 20 embedded pictures, about 7 MB of RTF written by LibreOffice; cached in
# the build folder) and times the engine on it, then times the whole
# nastavnik-check process against pandoc and unrtf on the same file.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
data="$build/bench-data"

[[ -f "$build/build.ninja" ]] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target bench_engine nastavnik-check -j2

# pandoc and unrtf are only what the checker is compared with.
missing=()
for tool in pandoc unrtf; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -eq 0 ]]; then
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "missing for the comparison: ${missing[*]}" >&2
    fi
fi

doc="$data/bench.rtf"
if [[ ! -s "$doc" ]]; then
    command -v soffice >/dev/null || { echo "LibreOffice (soffice) is needed to make the document" >&2; exit 1; }
    command -v convert >/dev/null || { echo "ImageMagick (convert) is needed to make the pictures" >&2; exit 1; }
    mkdir -p "$data"
    python3 bench/make-bench-doc.py "$data"
    profile=$(mktemp -d)
    HOME="$profile" soffice --headless -env:UserInstallation=file://"$profile" \
        --convert-to 'rtf:Rich Text Format' --outdir "$data" "$data/bench.html" >/dev/null 2>&1
    rm -rf "$profile"
fi

echo "== engine"
"$build/bench/bench_engine" "$doc" 5

# Whole processes, best of five wall-clock runs each.
best_ms() {
    local best=999999999 start end ms
    for _ in 1 2 3 4 5; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s%N)
        ms=$(((end - start) / 1000000))
        ((ms < best)) && best=$ms
    done
    echo "$best"
}

echo "== whole process on $(du -h "$doc" | cut -f1) of RTF (best of 5)"
check=$(best_ms "$build/bin/nastavnik-check" "$doc")
printf '  %-36s %8d ms\n' "nastavnik-check" "$check"
if command -v pandoc >/dev/null; then
    pandoc_ms=$(best_ms pandoc -f rtf -t plain "$doc" -o /dev/null)
    printf '  %-36s %8d ms   (%s times the checker; goal at least 15)\n' "pandoc -f rtf -t plain" "$pandoc_ms" \
        "$(awk -v a="$pandoc_ms" -v b="$check" 'BEGIN { printf "%.1f", a / (b > 0 ? b : 1) }')"
fi
if command -v unrtf >/dev/null; then
    unrtf_ms=$(best_ms unrtf --text "$doc")
    printf '  %-36s %8d ms   (%s times the checker)\n' "unrtf --text" "$unrtf_ms" \
        "$(awk -v a="$unrtf_ms" -v b="$check" 'BEGIN { printf "%.1f", a / (b > 0 ? b : 1) }')"
fi
