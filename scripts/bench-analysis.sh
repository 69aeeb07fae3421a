#!/usr/bin/env bash
# bench-analysis.sh: the LCF run benchmark (parts per point, whole run on 1
# and 2 threads) and, in the same run, the numpy baseline on the same data,
# printed as a ratio. Builds an optimised tree with the benchmarks in
# build-bench. numpy comes from Debian's python3-numpy; without it the
# baseline is skipped with a line saying so.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
"$root/scripts/build.sh" "$root/build-bench" -DCMAKE_BUILD_TYPE=Release \
  -DLUMACRESTA_BUILD_BENCH=ON -DLUMACRESTA_BUILD_TESTS=OFF
cmake --build "$root/build-bench" --target bench_analysisrun -j2
bench="$root/build-bench/bench/analysisrun/bench_analysisrun"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
"$bench" --benchmark_counters_tabular=true | tee "$out/engine.txt"
if ! /usr/bin/python3 -c 'import numpy' 2>/dev/null; then
  [ "$(id -u)" -eq 0 ] && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq python3-numpy >/dev/null 2>&1 || true
fi
if /usr/bin/python3 -c 'import numpy' 2>/dev/null; then
  "$bench" --dump="$out/stack.bin"
  /usr/bin/python3 "$root/bench/analysisrun/numpy_lcf.py" "$out/stack.bin" | tee "$out/numpy.txt"
  python3 - "$out/engine.txt" "$out/numpy.txt" <<'PY'
import re, sys
eng = open(sys.argv[1]).read()
rate = {}
for m in re.finditer(r"BM_WholeRun/threads:(\d+)\S*\s.*?([\d.]+)([kM])/s", eng):
    rate[int(m.group(1))] = float(m.group(2)) * (1e3 if m.group(3) == "k" else 1e6)
npy = float(re.search(r"numpy pipeline: (\d+)", open(sys.argv[2]).read()).group(1))
for t in sorted(rate):
    print(f"engine, {t} thread(s): {rate[t]:.0f} points/s = {rate[t] / npy:.3f} x numpy")
if 1 in rate and 2 in rate:
    print(f"scaling 1 -> 2 threads: {rate[2] / rate[1]:.2f} x")
PY
else
  echo "numpy baseline skipped: python3-numpy is not installed"
fi
