#!/usr/bin/env bash
# bench-analysis.sh: the LCF run benchmark (parts per point, whole run on 1
# and 2 threads) and, in the same run, the numpy baseline on the same data,
# printed as a ratio. Builds the benchmark alone in an optimised tree,
# build-bench. numpy comes from Debian's python3-numpy; without it the
# baseline is skipped with a line saying so. On a shared machine the real
# time depends on the other load: the load average is printed, and the
# rate the run's CPU time gives (what the threads would do on cores of
# their own).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
if [ ! -f "$root/build-bench/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DLUMACRESTA_BUILD_BENCH=ON -DLUMACRESTA_BUILD_TESTS=OFF
fi
cmake --build "$root/build-bench" --target bench_analysisrun -j2
bench="$root/build-bench/bench/analysisrun/bench_analysisrun"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bench" --benchmark_counters_tabular=true | tee "$out/engine.txt"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
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
# Real and CPU milliseconds of one run of 256 x 256 points.
times = {int(m.group(1)): (float(m.group(2)), float(m.group(3)))
         for m in re.finditer(r"BM_WholeRun/threads:(\d+)\S*\s+([\d.]+) ms\s+([\d.]+) ms", eng)}
for t in sorted(rate):
    print(f"engine, {t} thread(s): {rate[t]:.0f} points/s = {rate[t] / npy:.3f} x numpy")
    if t in times:
        cpu = times[t][1] * 1e-3 / 65536
        print(f"  CPU {cpu * 1e6:.2f} us/point over all threads; on {t} free core(s): {t / cpu:.0f} points/s")
if 1 in rate and 2 in rate:
    print(f"scaling 1 -> 2 threads: {rate[2] / rate[1]:.2f} x")
PY
else
  echo "numpy baseline skipped: python3-numpy is not installed"
fi
