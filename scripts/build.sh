#!/usr/bin/env bash
# Configures and builds one of the two build trees. Usage:
#   scripts/build.sh [TARGET...]        the program, the checker, the tests and
#                                       the benchmarks, with GCC, into build/
#   scripts/build.sh asan [TARGET...]   the same (without benchmarks) and the
#                                       fuzz targets, with clang, AddressSanitizer
#                                       and UndefinedBehaviorSanitizer, into build-asan/
# No TARGET builds everything. With CI=true warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
options=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
[[ "${CI:-}" == true ]] && options+=(-DNASTAVNIK_WERROR=ON)
if [[ "${1:-}" == asan ]]; then
    shift
    dir=build-asan
    # The sanitizer tests and the fuzz targets share this one tree; it needs
    # clang for libFuzzer. A tree configured earlier with another compiler is
    # made anew, since CMake cannot switch compilers in place.
    if [[ -f $dir/CMakeCache.txt ]] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' $dir/CMakeCache.txt; then
        rm -rf "$dir"
    fi
    options+=(-DCMAKE_CXX_COMPILER=clang++ -DNASTAVNIK_SANITIZE=ON -DNASTAVNIK_FUZZ=ON -DNASTAVNIK_BENCH=OFF)
else
    dir=build
fi
cmake -S . -B "$dir" "${options[@]}" >/dev/null
if (($#)); then
    cmake --build "$dir" --parallel "$(nproc)" --target "$@"
else
    cmake --build "$dir" --parallel "$(nproc)"
fi
