#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan+UBSan) and runs each on its seed corpus.
#
#   fuzz/run.sh                      every target for 12 s
#   fuzz/run.sh 60                   every target for 60 s
#   FUZZ_RUNS=1000000 fuzz/run.sh    every target for one million executions
#   FUZZ_TARGETS="fuzz_macro_text" fuzz/run.sh 30
#
# New inputs go to <build>/corpus/<target>, so later runs start where earlier ones ended; the
# committed seeds in fuzz/corpus are only read; fuzz/<target>.dict, where present, is the target's
# dictionary. A crash, a hang (10 s per input), a leak or a broken check stops with the failing
# input saved in <build>/artifacts and exit status 1.
set -euo pipefail

SECONDS_EACH=${1:-12}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SOURCE=$(dirname "$HERE")
BUILD=${FUZZ_BUILD:-$SOURCE/build-fuzz}
CXX_FUZZ=${FUZZ_CXX:-$(command -v clang++-14 || command -v clang++ || true)}

if [[ -z "$CXX_FUZZ" ]]; then
  echo "fuzz: clang++ is needed (Debian: clang-14 libclang-rt-14-dev)" >&2
  exit 1
fi

if [[ ! -f "$BUILD/build.ninja" ]]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="$CXX_FUZZ" -DTESSARON_FUZZ=ON -DTESSARON_GUI=OFF \
    -DTESSARON_TESTS=OFF -DTESSARON_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$BUILD" --target tessaron_fuzzers -- -j2 >/dev/null

# Largest input worth trying per target: the whole file for the file readers.
max_len() {
  case "$1" in
    fuzz_keymap_file) echo 206916 ;;
    fuzz_macro_file) echo 169860 ;;
    fuzz_profile_file) echo 24000 ;;
    fuzz_keyboard_state) echo 10080 ;;
    fuzz_device_replies) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

targets=${FUZZ_TARGETS:-$(cd "$HERE/corpus" && ls)}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$BUILD/artifacts"
failed=0
printf '%-24s %12s %8s %10s  %s\n' target executions seconds coverage result
for t in $targets; do
  work="$BUILD/corpus/$t"
  mkdir -p "$work"
  log="$BUILD/artifacts/$t.log"
  limit=(-max_total_time="$SECONDS_EACH")
  [[ -n "${FUZZ_RUNS:-}" ]] && limit=(-runs="$FUZZ_RUNS")
  # Words of a text format, where the target has them, help the mutator past its keywords.
  [[ -f "$HERE/$t.dict" ]] && limit+=(-dict="$HERE/$t.dict")
  start=$(date +%s)
  if "$BUILD/fuzz/$t" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -max_len="$(max_len "$t")" \
      -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/$t-" "$work" "$HERE/corpus/$t" \
      >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log)"
    failed=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  printf '%-24s %12s %8s %10s  %s\n' "$t" "${runs:-?}" "$(( $(date +%s) - start ))" "${cov:-?}" \
    "$result"
done
exit $failed
