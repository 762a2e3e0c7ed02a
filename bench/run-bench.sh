#!/usr/bin/env bash
# Builds the benchmarks, makes the benchmark document once (200 questions,
# 20 embedded pictures, about 7 MB of RTF written by LibreOffice; cached in
# the build folder) and times the engine on it, then times the whole
# nastavnik-check process against pandoc and unrtf on the same file, and
# last the program's start-up and idle memory.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
data="$build/bench-data"

[[ -f "$build/build.ninja" ]] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target bench_engine bench_startup nastavnik-check -j2

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
    python3 bench/make-bench-doc.py "$doc"
fi

doc=$(realpath "$doc")

echo "== engine"
"$build/bench/bench_engine" "$doc" 5

# Whole processes, best of five runs each: wall clock and processor time
# (user + system), the latter unaffected by other programs on a busy machine.
best_ms() {
    local best_wall=999999999 best_cpu=999999999 wall cpu
    for _ in 1 2 3 4 5; do
        read -r wall cpu < <(/usr/bin/time -f '%e %U %S' "$@" 2>&1 >/dev/null | tail -n 1 |
                             awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }')
        ((wall < best_wall)) && best_wall=$wall
        ((cpu < best_cpu)) && best_cpu=$cpu
    done
    echo "$best_wall $best_cpu"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / (b > 0 ? b : 1) }'; }

echo "== whole process on $(du -h "$doc" | cut -f1) of RTF (best of 5; wall / processor ms)"
read -r check_wall check_cpu < <(best_ms "$build/bin/nastavnik-check" "$doc")
printf '  %-28s %7d %7d\n' "nastavnik-check" "$check_wall" "$check_cpu"
if command -v pandoc >/dev/null; then
    read -r w c < <(best_ms pandoc -f rtf -t plain "$doc" -o /dev/null)
    printf '  %-28s %7d %7d   pandoc takes %s times as long (processor %s); goal at least 15\n' \
        "pandoc -f rtf -t plain" "$w" "$c" "$(ratio "$w" "$check_wall")" "$(ratio "$c" "$check_cpu")"
fi
if command -v unrtf >/dev/null; then
    # unrtf writes the document's pictures into the current folder.
    scratch=$(mktemp -d)
    read -r w c < <(cd "$scratch" && best_ms unrtf --text "$doc")
    rm -rf "$scratch"
    printf '  %-28s %7d %7d   unrtf takes %s times as long (processor %s)\n' \
        "unrtf --text" "$w" "$c" "$(ratio "$w" "$check_wall")" "$(ratio "$c" "$check_cpu")"
fi

# On an X server when there is one; otherwise under Xvfb, as the program
# would be shown; offscreen when neither is at hand.
echo "== start-up (10 runs)"
if [[ -n ${DISPLAY:-} ]]; then
    "$build/bin/bench_startup" 10 2>/dev/null
elif command -v xvfb-run >/dev/null; then
    xvfb-run -a "$build/bin/bench_startup" 10 2>/dev/null
else
    QT_QPA_PLATFORM=offscreen "$build/bin/bench_startup" 10 2>/dev/null
fi
