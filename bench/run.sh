#!/usr/bin/env bash
# Runs every benchmark of a build folder, one after the other, then prints their rows as one
# table (each benchmark prints its own rows with the same columns). The start rows time the
# program installed into BUILD/bench/installed, as a user runs it (not under the temporary
# folder: the program keeps nothing drawn from images there).
#
#   bench/run.sh [BUILD]      BUILD defaults to build
set -euo pipefail

BUILD=${1:-build}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
prefix=$(cd "$BUILD" && pwd)/bench/installed
rm -rf "$prefix"
cmake --install "$BUILD" --prefix "$prefix" >/dev/null
export TESSARON_BENCH_PROGRAM=$prefix/bin/tessaron
status=0
for b in "$BUILD"/bench/*_bench; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  "$b" 2>&1 | tee -a "$log" || status=1
done
echo
echo "| Measurement | Reference | Measured | Ratio | Goal |"
echo "|---|---|---|---|---|"
grep -E '^\| ' "$log" | grep -v '^| Measurement |' || true
exit $status
