#!/usr/bin/env python3
"""The simplified vectorised LCF pipeline the engine is compared with:
mu = ln((I0 - dark) / (I1 - dark)), straight pre- and post-edge lines fitted by
least squares, double normalisation, two-reference least squares, for every
pixel at once. Reads the dump written by bench_analysisrun --dump=FILE and
prints spectra per second (best of three)."""
import sys
import time

import numpy as np


def main(path):
    with open(path, "rb") as f:
        w, h, n = np.frombuffer(f.read(12), dtype=np.int32)
        e = np.frombuffer(f.read(8 * n), dtype=np.float64)
        i1 = np.frombuffer(f.read(4 * n * h * w), dtype=np.float32).reshape(n, h * w)
        i0 = np.frombuffer(f.read(4 * n * h * w), dtype=np.float32).reshape(n, h * w)
        dark = np.frombuffer(f.read(4 * h * w), dtype=np.float32).reshape(h * w)
        refs = np.frombuffer(f.read(8 * 2 * n), dtype=np.float64).reshape(2, n)

    edge = e[np.argmax(np.diff(refs[0]))]
    pre = e < edge - 10
    post = e > edge + 10
    vp = np.vstack([np.ones(pre.sum()), e[pre]]).T
    vq = np.vstack([np.ones(post.sum()), e[post]]).T
    a = refs.T

    def run():
        mu = np.log((i0 - dark) / (i1 - dark)).astype(np.float64)
        cp = np.linalg.lstsq(vp, mu[pre], rcond=None)[0]
        cq = np.linalg.lstsq(vq, mu[post], rcond=None)[0]
        lp = cp[0] + np.outer(e, cp[1])
        lq = cq[0] + np.outer(e, cq[1])
        dn = (mu - lp) / (lq - lp)
        wts = np.linalg.lstsq(a, dn, rcond=None)[0]
        return wts

    best = 1e9
    for _ in range(3):
        t = time.perf_counter()
        run()
        best = min(best, time.perf_counter() - t)
    print(f"numpy pipeline: {w * h / best:.0f} spectra/s ({w}x{h}x{n}, {best * 1000:.1f} ms)")


if __name__ == "__main__":
    main(sys.argv[1])
