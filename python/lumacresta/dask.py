"""The map functions of `lumacresta` over Dask arrays, for stacks larger than
one machine. Stacks are (energy, y, x) arrays chunked over (y, x) with the
whole energy axis in every chunk. Each chunk is analysed with the halo its
boxes need (twice the band's half widths, from the neighbouring chunks by
`map_overlap`), on the grid of the whole region, so every chunk's maps equal
the same part of the one-process maps, value for value. Any Dask scheduler
runs them: threads, a `dask.distributed.LocalCluster`, or a cluster of a
batch system (dask-jobqueue). Nothing is computed until asked for.
"""
import glob
import os

import dask.array as da
import numpy as np

import lumacresta as _lc
from . import _args, _core

__all__ = ["read_stack", "read_hdf5", "lcf_map", "shift_map", "element_maps"]

DEFAULT_CHUNKS = (256, 256)


# ---- Lazy readers ----------------------------------------------------------

class _Hdf5Source:
    """One dataset of an HDF5 file, opened again for each read so the
    source travels to worker processes (an open h5py dataset does not)."""

    def __init__(self, path, name):
        import h5py
        self.path, self.name = os.fspath(path), name
        with h5py.File(self.path, "r") as f:
            d = f[name]
            self.shape, self.dtype = d.shape, d.dtype
        self.ndim = len(self.shape)

    def __getitem__(self, key):
        import h5py
        with h5py.File(self.path, "r") as f:
            return f[self.name][key]


class _FilesSource:
    """Image files as one (energy, y, x) array; a read of a window reads
    every file but keeps only the window."""

    def __init__(self, files):
        self.files = list(files)
        first = _core.read_frame(self.files[0])
        self.shape = (len(self.files),) + first.shape
        self.dtype = first.dtype
        self.ndim = 3

    def __getitem__(self, key):
        key = key if isinstance(key, tuple) else (key,)
        key = key + (slice(None),) * (3 - len(key))
        picked = range(len(self.files))[key[0]]
        frames = [_core.read_frame(self.files[k])[key[1:]] for k in np.atleast_1d(picked)]
        out = np.stack(frames) if frames else np.empty((0,) + self.shape[1:], self.dtype)
        return out if not isinstance(picked, int) else out[0]


def _chunks3(chunks):
    cy, cx = chunks
    return (-1, cy, cx)


def read_stack(path_or_pattern, chunks=DEFAULT_CHUNKS, energy_pattern=_lc.ENERGY_PATTERN):
    """(frames, energies): a lazy Dask array (energy, y, x) chunked over (y,
    x) by `chunks` of an HDF5 file's I1 data or of the image files a glob
    pattern names, and the energies (numpy), as `lumacresta.read_stack`."""
    path = os.fspath(path_or_pattern)
    if os.path.isfile(path) and not glob.has_magic(path) and _lc._is_hdf5(path):
        d = read_hdf5(path, chunks)
        return d["i1"], d["energies"]
    files = sorted(glob.glob(path))
    if not files:
        raise ValueError(f"no file matches {path!r}")
    energies = np.array([_lc._energy_from_name(f, energy_pattern) for f in files])
    return da.from_array(_FilesSource(files), chunks=_chunks3(chunks), asarray=True), energies


# The names the program looks for, in its order.
_HDF5_NAMES = {
    "i1": ("/exchange/data", "data"),
    "i0": ("/exchange/data_white", "flat"),
    "dark": ("/exchange/data_dark", "dark"),
    "energies": ("/exchange/energy", "energy"),
}


def read_hdf5(path, chunks=DEFAULT_CHUNKS):
    """An HDF5 stack read lazily: dict of i1 and i0 (Dask arrays chunked
    over (y, x); a single flat serves every energy; None without flats),
    dark (the darks' average as float32, or None) and energies (eV, numpy;
    all below 100 read as keV)."""
    import h5py
    path = os.fspath(path)
    found = {}
    with h5py.File(path, "r") as f:
        for key, names in _HDF5_NAMES.items():
            found[key] = next((n for n in names if n in f and isinstance(f[n], h5py.Dataset)),
                              None)
        if found["i1"] is None:
            raise ValueError(f"{path} holds no stack (/exchange/data or data)")
        if found["energies"] is None:
            raise ValueError(f"{path} holds no energies (/exchange/energy or energy)")
        energies = np.asarray(f[found["energies"]][...], dtype=np.float64).ravel()
    if energies.size and np.all(energies < 100):
        energies = energies * 1000.0
    i1 = da.from_array(_Hdf5Source(path, found["i1"]), chunks=_chunks3(chunks), asarray=True)
    if i1.ndim != 3 or i1.shape[0] != energies.size:
        raise ValueError(f"{path}: the stack is not (energy, y, x) with one frame per energy")
    out = {"i1": i1, "i0": None, "dark": None, "energies": energies}
    if found["i0"] is not None:
        src = _Hdf5Source(path, found["i0"])
        i0 = da.from_array(src, chunks=_chunks3(chunks), asarray=True)
        if i0.shape[0] == 1:
            i0 = da.broadcast_to(i0, i1.shape, chunks=i1.chunks)
        out["i0"] = i0
    if found["dark"] is not None:
        d = da.from_array(_Hdf5Source(path, found["dark"]), chunks=_chunks3(chunks), asarray=True)
        out["dark"] = d.mean(axis=0, dtype=np.float64).astype(np.float32) if d.ndim == 3 \
            else d.astype(np.float32)
    return out


# ---- Maps ------------------------------------------------------------------

def _stack3(a, name, chunks):
    """`a` as a Dask array (energy, y, x) with one chunk along energy."""
    if isinstance(a, np.ndarray):
        a = da.from_array(a, chunks=_chunks3(chunks))
    if not isinstance(a, da.Array):
        raise TypeError(f"{name} must be a dask or numpy array, not {type(a).__name__}")
    if a.dtype not in _args.FRAME_DTYPES:
        raise TypeError(f"{name} must be uint16, uint32 or float32, not {a.dtype}")
    if a.ndim != 3:
        raise ValueError(f"{name} must have 3 axes (energy, y, x), not {a.ndim}")
    return a.rechunk({0: -1})


def _plane(a, name, like, dtype=None):
    """A (y, x) array as (1, y, x) chunked as `like`'s frames."""
    if a is None:
        return None
    if not isinstance(a, da.Array):
        a = np.asarray(a, dtype=dtype) if dtype else np.asarray(a)
        a = da.from_array(a, chunks=like.chunks[1:])
    if a.shape != like.shape[1:]:
        raise ValueError(f"{name} must be one (y, x) frame of {like.shape[1:]}, not {a.shape}")
    if dtype:
        a = a.astype(dtype)
    return a.rechunk(like.chunks[1:])[None]


def _local_axis(c0, c1, h0, lo, hi, b, total):
    """Along one axis: the local (start, length) of the area covering the
    grid points whose boxes reach into the core [c0, c1) of a block whose
    halo starts at h0; the grid starts at lo + b and steps 2b+1 below hi.
    None when no point of the grid touches the core."""
    step = 2 * b + 1
    first = lo + b
    k = max(0, -(-(c0 - b - first) // step))
    c = first + k * step
    if c > c1 - 1 + b or (k > 0 and c >= hi) or c >= total:
        return None
    start = c - b
    return start - h0, min(hi, c1 + b) - start


def _run_blocks(kernel, names, i1, extras, energies, band, region, threads):
    """Runs `kernel(i1, extras..., region)` -> (maps, y, x) on every chunk
    of i1 with its halo, and returns one Dask array per name."""
    bw, bh = band
    n_e, height, width = i1.shape
    reg = _args.region_of(region, height, width)
    gx0, gy0, gw, gh = reg
    dy, dx = 2 * bh, 2 * bw
    # A halo comes from the neighbouring chunk alone: a chunk narrower than
    # the halo joins its neighbour.
    i1 = i1.rechunk({1: _merged(i1.chunks[1], dy), 2: _merged(i1.chunks[2], dx)})
    extras = [a.rechunk({1: i1.chunks[1], 2: i1.chunks[2]}) for a in extras]
    yoff = np.concatenate([[0], np.cumsum(i1.chunks[1])])
    xoff = np.concatenate([[0], np.cumsum(i1.chunks[2])])
    ny, nx = len(i1.chunks[1]), len(i1.chunks[2])
    nmaps = len(names)

    def block(b1, *bx, block_id=None):
        iy, ix = block_id[1], block_id[2]
        cy0, cy1 = int(yoff[iy]), int(yoff[iy + 1])
        cx0, cx1 = int(xoff[ix]), int(xoff[ix + 1])
        hy0 = cy0 - (dy if iy > 0 else 0)
        hx0 = cx0 - (dx if ix > 0 else 0)
        out = np.zeros((nmaps, cy1 - cy0, cx1 - cx0))
        ys = _local_axis(cy0, cy1, hy0, gy0, gy0 + gh, bh, height)
        xs = _local_axis(cx0, cx1, hx0, gx0, gx0 + gw, bw, width)
        if ys is None or xs is None:
            return out
        local = (xs[0], ys[0], xs[1], ys[1])
        maps = kernel(b1, *bx, energies, local, threads)
        for k, m in enumerate(maps):
            out[k] = m[cy0 - hy0:cy1 - hy0, cx0 - hx0:cx1 - hx0]
        return out

    depth = {0: 0, 1: dy, 2: dx}
    stacked = da.map_overlap(block, i1, *extras, depth=depth, boundary="none", trim=False,
                             dtype=np.float64, chunks=((nmaps,),) + i1.chunks[1:],
                             align_arrays=False)
    return {name: stacked[k] for k, name in enumerate(names)}


def _merged(chunks, depth):
    """`chunks` with every chunk below `depth` joined to the one before it
    (the first to the one after)."""
    out = []
    for c in chunks:
        if out and (c < depth or out[-1] < depth):
            out[-1] += c
        else:
            out.append(c)
    return tuple(out)


def _split(args):
    """Extras (arrays) and a function to take them back apart, None kept."""
    present = [a is not None for a in args]
    return [a for a in args if a is not None], present


def _unsplit(values, present):
    it = iter(values)
    return [next(it) if p else None for p in present]


def lcf_map(i1, i0, energies, references, band=_args.DEFAULT_BAND, region=None, dark=None,
            fluorescence=False, mlcf=False, fit_range=None, constraint=None, shift_map=None,
            suggested_edge=None, threads=1, chunks=DEFAULT_CHUNKS):
    """`lumacresta.lcf_map` over Dask arrays: a dict of lazy (y, x) maps
    fraction0, ..., amount0, ..., residual. Numpy inputs are chunked by
    `chunks`. `threads` are the core's threads per chunk (1: Dask's workers
    supply the parallelism)."""
    i1 = _stack3(i1, "i1", chunks)
    e = _args.energies_of(energies, i1.shape[0])
    i0 = None if i0 is None else _stack3(i0, "i0", chunks).rechunk(i1.chunks)
    if i0 is not None and i0.shape != i1.shape:
        raise ValueError(f"i0 must have the shape of i1 {i1.shape}, not {i0.shape}")
    if dark is not None and not isinstance(dark, da.Array):
        dark = _args.frames(np.asarray(dark), "dark", rank=2)
    dk = _plane(dark, "dark", i1)
    sm = _plane(shift_map, "shift_map", i1, dtype=np.float64)
    bw, bh = _args.band_of(band)
    refs = _args.references_of(references)
    lo, hi = _args.fit_range_of(fit_range)
    s1, nn = _args.constraint_of(constraint)
    edge = _args.edge_or_none(suggested_edge)
    t = _args.threads_of(threads)
    extras, present = _split([i0, dk, sm])
    names = [f"fraction{k}" for k in range(len(refs))] + \
            [f"amount{k}" for k in range(len(refs))] + ["residual"]

    def kernel(b1, *bx_, energies_, local, threads_):
        b0, bd, bs = _unsplit(bx_, present)
        maps = _core.lcf_map(np.ascontiguousarray(b1), _contig(b0), _contig(bd, 0), energies_,
                             refs, bw, bh, local, bool(fluorescence), bool(mlcf), lo, hi, s1,
                             nn, None if bs is None else bs[0], edge, threads_)
        return [maps[n] for n in names]

    return _run_blocks(_positional(kernel), names, i1, extras, e, (bw, bh), region, t)


def shift_map(i1, i0, energies, standard=None, band=_args.DEFAULT_BAND, region=None, dark=None,
              fluorescence=False, victoreen=False, standard_victoreen=False, edge=None,
              edge_position="grid", suggested_edge=None, threads=1, chunks=DEFAULT_CHUNKS):
    """`lumacresta.shift_map` over Dask arrays: a lazy (y, x) map in eV."""
    i1 = _stack3(i1, "i1", chunks)
    e = _args.energies_of(energies, i1.shape[0])
    i0 = None if i0 is None else _stack3(i0, "i0", chunks).rechunk(i1.chunks)
    if dark is not None and not isinstance(dark, da.Array):
        dark = _args.frames(np.asarray(dark), "dark", rank=2)
    dk = _plane(dark, "dark", i1)
    bw, bh = _args.band_of(band)
    if standard is not None and not isinstance(standard, (str, os.PathLike)):
        standard = tuple(np.asarray(v, dtype=np.float64) for v in standard)
    elif standard is not None:
        standard = os.fspath(standard)
    if standard is None and not (edge is not None and edge > 0):
        raise ValueError("shift_map needs a standard spectrum or a standard edge energy above 0")
    pos = _args.edge_position_of(edge_position)
    sugg = _args.edge_or_none(suggested_edge)
    std_edge = -1.0 if edge is None else float(edge)
    t = _args.threads_of(threads)
    extras, present = _split([i0, dk])

    def kernel(b1, *bx_, energies_, local, threads_):
        b0, bd = _unsplit(bx_, present)
        return [_core.shift_map(np.ascontiguousarray(b1), _contig(b0), _contig(bd, 0), energies_,
                                standard, bw, bh, local, bool(fluorescence), bool(victoreen),
                                bool(standard_victoreen), std_edge, pos, sugg, threads_)]

    return _run_blocks(_positional(kernel), ["shift"], i1, extras, e, (bw, bh), region,
                       t)["shift"]


def element_maps(i1, i0, energies, elements, band=_args.DEFAULT_BAND, region=None, dark=None,
                 fluorescence=False, target=0, dE=20.0, rows=None,
                 background=_args.DEFAULT_ELEM_BACKGROUND, shift_map=None, edge_position="grid",
                 suggested_edge=None, threads=1, chunks=DEFAULT_CHUNKS):
    """`lumacresta.element_maps` over Dask arrays: {edge: {kind: lazy map}}."""
    i1 = _stack3(i1, "i1", chunks)
    e = _args.energies_of(energies, i1.shape[0])
    i0 = None if i0 is None else _stack3(i0, "i0", chunks).rechunk(i1.chunks)
    if dark is not None and not isinstance(dark, da.Array):
        dark = _args.frames(np.asarray(dark), "dark", rank=2)
    dk = _plane(dark, "dark", i1)
    sm = _plane(shift_map, "shift_map", i1, dtype=np.float64)
    bw, bh = _args.band_of(band)
    names, tgt = _args.elements_of(elements, target)
    rows = dict(rows or {})
    bg = [float(v) for v in background]
    pos = _args.edge_position_of(edge_position)
    sugg = _args.edge_or_none(suggested_edge)
    t = _args.threads_of(threads)
    # The edges and their order, from the core, on a one-pixel stack.
    probe = _core.element_maps(np.ones((e.size, 1, 1), np.float32), None, None, e, names, 0, 0,
                               None, False, tgt, float(dE), rows, bg, None, pos, sugg, 1)
    keys = [(edge, kind) for edge in probe for kind in probe[edge]]
    extras, present = _split([i0, dk, sm])

    def kernel(b1, *bx_, energies_, local, threads_):
        b0, bd, bs = _unsplit(bx_, present)
        maps = _core.element_maps(np.ascontiguousarray(b1), _contig(b0), _contig(bd, 0), energies_,
                                  names, bw, bh, local, bool(fluorescence), tgt, float(dE), rows,
                                  bg, None if bs is None else bs[0], pos, sugg, threads_)
        return [maps[edge][kind] for edge, kind in keys]

    flat = _run_blocks(_positional(kernel), [f"{a}/{b}" for a, b in keys], i1, extras, e,
                       (bw, bh), region, t)
    out = {}
    for edge, kind in keys:
        out.setdefault(edge, {})[kind] = flat[f"{edge}/{kind}"]
    return out


def _contig(a, index=None):
    if a is None:
        return None
    return np.ascontiguousarray(a if index is None else a[index])


def _positional(kernel):
    """kernel(b1, *extras, energies, local, threads) from one taking the
    last three by keyword."""
    def call(b1, *rest):
        *bx_, energies_, local, threads_ = rest
        return kernel(b1, *bx_, energies_=energies_, local=local, threads_=threads_)
    return call
