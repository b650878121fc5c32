#!/usr/bin/env bash
# Loading the 1.7 MB system.reg of a fresh 64-bit prefix and writing one
# change through, against cp of the same file; and the memory that takes.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
file="$here/../../tests/data/wine/wine-8.0-win64-fresh-system.reg"
bench="$build/bench/registry/registry_bench"
time_ratio=$("$bench" time "$file" 21)
memory_ratio=$("$bench" memory "$file")
echo "registry_load_and_change: ${time_ratio}x (goal <= 10x)"
echo "registry_peak_memory: ${memory_ratio}x (goal <= 8x)"
