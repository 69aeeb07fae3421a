#!/usr/bin/env python3
"""The numpy baseline of bench_components: on the spectra the benchmark
gathered (bench_components --dump=FILE), the SVD of the mean-centred matrix,
the explained-variance shares, the scores of the components that explain 99 %
(at least 2) and a plain k-means loop (K = 5, k-means++ seeding, 5 restarts,
at most 300 rounds). Prints the time of each part (best of three) and the
first explained-variance shares."""
import sys
import time

import numpy as np


def kmeans(x, k, rng, restarts=5, rounds=300):
    best = None
    for _ in range(restarts):
        centres = [x[rng.integers(len(x))]]
        d = ((x - centres[0]) ** 2).sum(1)
        for _ in range(1, k):
            centres.append(x[rng.choice(len(x), p=d / d.sum())])
            d = np.minimum(d, ((x - centres[-1]) ** 2).sum(1))
        c = np.array(centres)
        labels = None
        for _ in range(rounds):
            dist = ((x[:, None, :] - c[None, :, :]) ** 2).sum(2)
            new = dist.argmin(1)
            if labels is not None and (new == labels).all():
                break
            labels = new
            for j in range(k):
                if (labels == j).any():
                    c[j] = x[labels == j].mean(0)
        inertia = ((x - c[labels]) ** 2).sum()
        if best is None or inertia < best[0]:
            best = (inertia, labels)
    return best


def main(path):
    with open(path, "rb") as f:
        rows, cols = np.frombuffer(f.read(8), dtype=np.int32)
        data = np.frombuffer(f.read(8 * rows * cols), dtype=np.float64).reshape(rows, cols)
    times = {"svd": [], "kmeans": []}
    for _ in range(3):
        t0 = time.perf_counter()
        centred = data - data.mean(0)
        _, s, vt = np.linalg.svd(centred, full_matrices=False)
        var = s ** 2
        share = var / var.sum()
        n = max(2, int(np.searchsorted(np.cumsum(share), 0.99) + 1))
        scores = centred @ vt[:n].T
        t1 = time.perf_counter()
        kmeans(scores, 5, np.random.default_rng(1))
        t2 = time.perf_counter()
        times["svd"].append(t1 - t0)
        times["kmeans"].append(t2 - t1)
    print(f"numpy {np.__version__}: {rows} x {cols} spectra, {n} scores")
    print("explained:", " ".join(f"{v:.6g}" for v in share[:4]))
    print(f"svd + scores: {1000 * min(times['svd']):.1f} ms")
    print(f"k-means K=5: {1000 * min(times['kmeans']):.1f} ms")
    print(f"total: {1000 * (min(times['svd']) + min(times['kmeans'])):.1f} ms")


if __name__ == "__main__":
    main(sys.argv[1])
