#!/usr/bin/env bash
# bench-python.sh: the Python package against the engine's run and the numpy
# pipeline on the same 256 x 256 x 100 stack, Dask on a two-process
# LocalCluster against one process, and the workers' peak memory on a stack
# four times their memory limit (bench/python/bench_python.py; its
# --big-mib, default 1024, is the large stack's size). Builds an optimised
# tree with the benchmarks and the extension in build-bench.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh" python3-dev pybind11-dev python3-numpy python3-h5py python3-dask \
  python3-distributed
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
"$root/scripts/build.sh" "$root/build-bench" -DCMAKE_BUILD_TYPE=Release \
  -DLUMACRESTA_BUILD_BENCH=ON -DLUMACRESTA_BUILD_TESTS=OFF
cmake -S "$root" -B "$root/build-bench" -DLUMACRESTA_PYTHON=ON \
  -DPYTHON_EXECUTABLE=/usr/bin/python3 >/dev/null
cmake --build "$root/build-bench" --target bench_analysisrun lumacresta_python -j2
bench="$root/build-bench/bench/analysisrun/bench_analysisrun"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
"$bench" --dump="$out/stack.bin" >/dev/null
/usr/bin/python3 "$root/bench/analysisrun/numpy_lcf.py" "$out/stack.bin" | tee "$out/numpy.txt"
PYTHONPATH="$root/build-bench/python" /usr/bin/python3 "$root/bench/python/bench_python.py" \
  "$out/stack.bin" "$bench" "$out/numpy.txt" "$@"
