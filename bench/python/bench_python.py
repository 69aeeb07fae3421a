#!/usr/bin/env python3
"""The Python package's speed and memory, for the closing numbers of
scripts/bench-python.sh:

1. lcf_map from Python on the 256 x 256 x 100 stack of bench_analysisrun
   (its --dump file: float32 frames, read in place), box 1 x 1, on 1 and 2
   threads, in points/s, against the engine's whole run of the same stack
   (BM_WholeRun, the rate the batch program's run has) and the numpy
   pipeline of bench/analysisrun/numpy_lcf.py;
2. the same map through lumacresta.dask on a LocalCluster of 2 processes
   with one thread each, the stack read lazily from an HDF5 file, against
   one process with 2 threads;
3. the peak memory of each worker when the stack on disk is four times the
   worker's memory limit.

On a shared machine the load changes from second to second: the engine's
run (the bench binary, started anew; the mean of its three iterations) and
the Python run (the mean of three) take turns, three rounds, and each keeps
its best round.

Usage: bench_python.py DUMP BENCH_BINARY NUMPY_OUTPUT [--big-mib N]"""
import argparse
import os
import re
import resource
import subprocess
import sys
import tempfile
import time

import h5py
import numpy as np

import lumacresta
import lumacresta.dask as ldask


def read_dump(path):
    with open(path, "rb") as f:
        w, h, n = np.frombuffer(f.read(12), dtype=np.int32)
        e = np.frombuffer(f.read(8 * n), dtype=np.float64).copy()
        i1 = np.frombuffer(f.read(4 * n * h * w), dtype=np.float32).reshape(n, h, w)
        i0 = np.frombuffer(f.read(4 * n * h * w), dtype=np.float32).reshape(n, h, w)
        dark = np.frombuffer(f.read(4 * h * w), dtype=np.float32).reshape(h, w)
        refs = np.frombuffer(f.read(8 * 2 * n), dtype=np.float64).reshape(2, n)
    # The engine's stack is read from 16-bit TIFF files: the same samples as
    # uint16 frames, so both runs sum the same type.
    as16 = [a.astype(np.uint16) if np.array_equal(a, np.round(a)) and a.min() >= 0
            and a.max() <= 65535 else a for a in (i1, i0, dark)]
    return (*as16, e, [(e, refs[0], 0.0, True), (e, refs[1], 0.0, True)])


def mean_of(n, run):
    """Mean time of n runs, as the engine's benchmark reports its three
    iterations."""
    t = time.perf_counter()
    for _ in range(n):
        run()
    return (time.perf_counter() - t) / n


def best_of(n, run):
    best = 1e9
    for _ in range(n):
        t = time.perf_counter()
        run()
        best = min(best, time.perf_counter() - t)
    return best


def engine_rates(text):
    rate = {}
    for m in re.finditer(r"BM_WholeRun/threads:(\d+)\S*\s.*?([\d.]+)([kM])/s", text):
        rate[int(m.group(1))] = float(m.group(2)) * (1e3 if m.group(3) == "k" else 1e6)
    return rate


def worker_peak_mib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0


def worker_rss_mib():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") / 2**20


class RssSampler:
    """The largest current RSS of every worker, sampled every 0.2 s."""

    def __init__(self, client):
        import threading
        self.client, self.peak, self.stop = client, {}, threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)

    def run(self):
        while not self.stop.is_set():
            try:
                for w, v in self.client.run(worker_rss_mib).items():
                    self.peak[w] = max(self.peak.get(w, 0.0), v)
            except Exception:
                pass
            self.stop.wait(0.2)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stop.set()
        self.thread.join()


def write_big_stack(path, mib, refs_e):
    """An HDF5 stack of about `mib` MiB of uint16 I1 frames (one flat),
    two components mixed from left to right."""
    n = refs_e.size
    side = int(np.sqrt(mib * 2**20 / (2 * n)))
    x = np.linspace(0, 1, side)[None, :].repeat(side, 0)
    step_a = 0.3 + np.arctan((refs_e - 8980.0) / 2.0) / np.pi + 0.5
    step_b = 0.3 + np.arctan((refs_e - 8986.0) / 2.0) / np.pi + 0.5
    with h5py.File(path, "w") as f:
        d = f.create_dataset("/exchange/data", (n, side, side), dtype=np.uint16,
                             chunks=(n, min(side, 128), min(side, 128)))
        for k in range(n):
            mu = x * step_a[k] + (1 - x) * step_b[k]
            d[k] = (30000.0 * np.exp(-mu)).astype(np.uint16)
        f["/exchange/data_white"] = np.full((1, side, side), 30000, np.uint16)
        f["/exchange/energy"] = refs_e
    return side, [(refs_e, step_a), (refs_e, step_b)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("dump")
    ap.add_argument("bench")
    ap.add_argument("numpy")
    ap.add_argument("--big-mib", type=float, default=1024.0)
    args = ap.parse_args()
    from dask.distributed import Client, LocalCluster

    i1, i0, dark, e, refs = read_dump(args.dump)
    points = i1.shape[1] * i1.shape[2]

    def engine_run(threads):
        out = subprocess.run([args.bench, f"--benchmark_filter=BM_WholeRun/threads:{threads}/"],
                             capture_output=True, text=True, check=True).stdout
        return engine_rates(out)[threads]
    npy = float(re.search(r"numpy pipeline: (\d+)", open(args.numpy).read()).group(1))

    def py_run(threads):
        return lumacresta.lcf_map(i1, i0, e, refs, band=(0, 0), dark=dark, threads=threads)

    for t in (1, 2):
        eng, rate = 0.0, 0.0
        for _ in range(3):
            eng = max(eng, engine_run(t))
            rate = max(rate, points / mean_of(3, lambda: py_run(t)))
        print(f"python lcf_map, {t} thread(s): {rate:.0f} points/s = {rate / eng:.3f} x the "
              f"engine's whole run ({eng:.0f} points/s) = {rate / npy:.2f} x numpy "
              f"({npy:.0f} spectra/s)")

    with tempfile.TemporaryDirectory() as tmp:
        h5 = os.path.join(tmp, "stack.h5")
        with h5py.File(h5, "w") as f:
            f["/exchange/data"] = i1
            f["/exchange/data_white"] = i0
            f["/exchange/energy"] = e
        one = lumacresta.lcf_map(i1, i0, e, refs, band=(0, 0), threads=2)
        with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                          dashboard_address=None) as cluster, Client(cluster) as client:
            s = ldask.read_hdf5(h5, chunks=(64, 256))
            maps = ldask.lcf_map(s["i1"], s["i0"], s["energies"], refs, band=(0, 0))
            got = client.compute(maps, sync=True)  # warm: imports, first reads
            assert all(np.array_equal(got[k], one[k]) for k in one)
            t_dask = best_of(3, lambda: client.compute(maps, sync=True))
        t_one = best_of(3, lambda: lumacresta.lcf_map(
            *[a for a in (i1, i0, e)], refs, band=(0, 0), threads=2))
        print(f"dask, 2 processes x 1 thread (HDF5 read lazily): {points / t_dask:.0f} points/s; "
              f"one process, 2 threads (arrays in memory): {points / t_one:.0f} points/s; "
              f"ratio {t_one / t_dask:.2f}")

        big = os.path.join(tmp, "big.h5")
        side, big_refs = write_big_stack(big, args.big_mib, e)
        size = os.path.getsize(big) / 2**20
        limit = size / 4
        with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                          dashboard_address=None, memory_limit=f"{limit:.0f}MiB") as cluster, \
                Client(cluster) as client:
            base = client.run(worker_rss_mib)
            s = ldask.read_hdf5(big, chunks=(128, 128))
            maps = ldask.lcf_map(s["i1"], s["i0"], s["energies"], big_refs, band=(1, 1))
            t = time.perf_counter()
            with RssSampler(client) as sampler:
                fraction = maps["fraction0"].compute()
            elapsed = time.perf_counter() - t
            hwm = client.run(worker_peak_mib)
            peak = sampler.peak
        print(f"stack {size:.0f} MiB on disk ({side} x {side} x {e.size} uint16), worker memory "
              f"limit {limit:.0f} MiB: peak RSS per worker (sampled) "
              + ", ".join(f"{v:.0f} MiB" for v in peak.values())
              + ", high-water mark " + ", ".join(f"{v:.0f}" for v in hwm.values())
              + " MiB (" + ", ".join(f"{v:.0f}" for v in base.values()) + " MiB before the run)"
              + f"; fraction map ({fraction.shape[0]} x {fraction.shape[1]}) in {elapsed:.1f} s")


if __name__ == "__main__":
    sys.exit(main())
