#!/usr/bin/env bash
# bench-components.sh: principal components + k-means (K = 5) of 256 x 256
# points x 100 energies on 1 and 2 threads and, in the same run, the numpy
# baseline (SVD of the centred matrix + a plain k-means loop) on the spectra
# the benchmark gathered. Builds an optimised tree with the benchmarks in
# build-bench. Without numpy in /usr/bin/python3 the baseline is skipped with
# a line saying so.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
"$root/scripts/build.sh" "$root/build-bench" -DCMAKE_BUILD_TYPE=Release \
  -DLUMACRESTA_BUILD_BENCH=ON -DLUMACRESTA_BUILD_TESTS=OFF
cmake --build "$root/build-bench" --target bench_components -j2
bench="$root/build-bench/bench/components/bench_components"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
"$bench" --dump="$out/spectra.bin" --benchmark_counters_tabular=true | tee "$out/engine.txt"
if /usr/bin/python3 -c 'import numpy' 2>/dev/null; then
  /usr/bin/python3 "$root/bench/components/numpy_components.py" "$out/spectra.bin" | tee "$out/numpy.txt"
  python3 - "$out/engine.txt" "$out/numpy.txt" <<'PY'
import re, sys
eng = open(sys.argv[1]).read()
npy = float(re.search(r"total: ([\d.]+) ms", open(sys.argv[2]).read()).group(1))
for m in re.finditer(r"BM_WholeRun/threads:(\d+)\S*\s+([\d.]+) ms", eng):
    t, ms = int(m.group(1)), float(m.group(2))
    print(f"whole run, {t} thread(s): {ms:.0f} ms (numpy, numeric part only: {npy:.0f} ms) = {npy / ms:.2f} x numpy's speed")
PY
else
  echo "numpy baseline skipped: /usr/bin/python3 has no numpy (Debian python3-numpy)"
fi
