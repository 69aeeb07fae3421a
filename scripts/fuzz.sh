#!/usr/bin/env bash
# fuzz.sh [target|all] [seconds] [-- libFuzzer options...]
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs
# one target, or all of them one after the other, for the given time
# (default 60 s each). Each run starts from the committed seed corpus
# (tests/fuzz/corpus/<target>) and keeps what it learns in
# build-fuzz/corpus/<target>; crashes land in build-fuzz/crashes/<target>.
# Prints per target the executions, coverage features and every reproducer.
# Exits non-zero when a target crashed, leaked, hung (one input over
# LUMACRESTA_FUZZ_TIMEOUT seconds, default 1) or allocated over 256 MB.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:-all}"
seconds="${2:-60}"
shift $(( $# > 2 ? 2 : $# ))
[ "${1:-}" = "--" ] && shift
extra=("$@")

"$root/scripts/bootstrap.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
build="$root/build-fuzz"
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMACRESTA_FUZZ=ON -DLUMACRESTA_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target fuzz_all

all=(fuzz_tiff fuzz_img fuzz_vrsk fuzz_spectrum fuzz_energyref fuzz_config fuzz_batch fuzz_emp)
if [ "$target" = all ]; then targets=("${all[@]}"); else targets=("fuzz_${target#fuzz_}"); fi

# Longest input per target: the text formats whose faults need long inputs
# (batch text, VRSK, spectra) get more room than their seeds.
max_len() {
  case "$1" in
    fuzz_batch|fuzz_vrsk|fuzz_spectrum) echo 262144 ;;
    fuzz_energyref|fuzz_config) echo 65536 ;;
    *) echo 32768 ;;
  esac
}

failed=0
for t in "${targets[@]}"; do
  seeds="$root/tests/fuzz/corpus/$t"
  work="$build/corpus/$t"
  crashes="$build/crashes/$t"
  mkdir -p "$work" "$crashes"
  dict=()
  [ -f "$root/tests/fuzz/dict/$t.dict" ] && dict=(-dict="$root/tests/fuzz/dict/$t.dict")
  log="$build/$t.log"
  set +e
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/$t" "$work" "$seeds" "${dict[@]}" \
    -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout="${LUMACRESTA_FUZZ_TIMEOUT:-1}" \
    -rss_limit_mb=2048 \
    -malloc_limit_mb=256 -artifact_prefix="$crashes/" -print_final_stats=1 "${extra[@]}" \
    >"$log" 2>&1
  rc=$?
  set -e
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  ft=$(grep -oE '(ft|features): *[0-9]+' "$log" | tail -1 | grep -oE '[0-9]+$' || true)
  cov=$(grep -oE 'cov: *[0-9]+' "$log" | tail -1 | grep -oE '[0-9]+$' || true)
  files=$(find "$work" -type f | wc -l)
  echo "$t: executions ${execs:-?}, coverage ${cov:-?} edges, ${ft:-?} features, corpus $files files (log $log)"
  if [ $rc -ne 0 ]; then
    failed=1
    echo "$t: FAILED (exit $rc)"
    grep -E 'ERROR: |SUMMARY: |Test unit written to' "$log" | sed "s/^/  /" || true
  fi
done
exit $failed
