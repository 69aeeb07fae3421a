"""Lumacresta's engine for Python: read imaging-XAFS stacks, build and
normalise spectra, and run the program's point-by-point analyses over numpy
arrays (LCF fractions, energy-shift maps).

Frames are (energy, y, x) arrays of uint16, uint32 or float32 samples; the
core reads them in place (no copy) when their rows are contiguous. Maps come
back as (y, x) float64 arrays of the frames' size, holding what the program's
map of the same run holds: each point's value over its box of
(2w+1) x (2h+1) pixels, 0 where no point was analysed. Runs release the GIL
and use `threads` cores (default: all). Every default is the program's at a
fresh start. `lumacresta.dask` runs the same maps over Dask arrays.
"""
import glob
import os
import re

import numpy as np

from . import _args
from . import _core

__all__ = ["read_stack", "read_frame", "load_spectrum", "spectrum", "normalize",
           "lcf_map", "shift_map", "element_maps", "cluster_map", "grid_points"]

# The first pattern the program offers for an energy in a file name:
# "I1_08979_5000.tif" is 8979.5 eV.
ENERGY_PATTERN = r"(\d|)\d\d\d\d_\d\d\d\d"

read_frame = _core.read_frame
load_spectrum = _core.load_spectrum


def _energy_from_name(name, pattern):
    m = re.search(pattern, os.path.basename(name))
    if not m:
        raise ValueError(f"no energy in the file name {name!r} (pattern {pattern!r}); "
                         "give the energies yourself")
    return float(m.group(0).replace("_", "."))


def read_stack(path_or_pattern, energy_pattern=ENERGY_PATTERN):
    """(frames, energies) of an HDF5 stack file (its I1 data) or of the image
    files a glob pattern names (sorted by name, energies read from the names
    as the program's first energy-from-name pattern reads them). For an HDF5
    file's flats and dark use `read_hdf5`."""
    path = os.fspath(path_or_pattern)
    if os.path.isfile(path) and not glob.has_magic(path) and _is_hdf5(path):
        d = _core.read_hdf5(path)
        return d["i1"], d["energies"]
    files = sorted(glob.glob(path))
    if not files:
        raise ValueError(f"no file matches {path!r}")
    energies = np.array([_energy_from_name(f, energy_pattern) for f in files])
    first = _core.read_frame(files[0])
    frames = np.empty((len(files),) + first.shape, dtype=first.dtype)
    frames[0] = first
    for k, f in enumerate(files[1:], start=1):
        a = _core.read_frame(f)
        if a.shape != first.shape or a.dtype != first.dtype:
            raise ValueError(f"{f} differs from {files[0]} in size or sample type")
        frames[k] = a
    return frames, energies


def read_hdf5(path):
    """An HDF5 stack as the program reads it: dict of i1 (energy, y, x), i0
    (flats, or None), dark (or None) and energies (eV)."""
    return _core.read_hdf5(os.fspath(path))


def _is_hdf5(path):
    with open(path, "rb") as f:
        return f.read(8) == b"\x89HDF\r\n\x1a\n"


def spectrum(i1, i0, energies, y, x, band=_args.DEFAULT_BAND, dark=None, fluorescence=False):
    """(energies, mu) of the box centred on pixel (x, y): ln(I0/I1) in
    transmission (I1/I0 in fluorescence), dark subtracted, I0 None meaning
    no I0 division."""
    i1, i0, e, dark = _args.stack(i1, i0, energies, dark)
    bw, bh = _args.band_of(band)
    return _core.spectrum(i1, i0, dark, e, int(x), int(y), bw, bh, bool(fluorescence))


def normalize(energies, mu, pre_edge_end=-20.0, post_edge_start=20.0, victoreen=False,
              suggested_edge=None):
    """The program's normalisation of one spectrum: a dict with energies,
    mu, normalized (double-normalised curve), flattened, pre_edge and
    post_edge (the fitted lines at each energy), edge (eV) and jump. The edge
    windows count from a suggested edge; without one the program's fixed
    -10/+10 eV windows apply, as in its windows."""
    return _core.normalize(energies, mu, float(pre_edge_end), float(post_edge_start),
                           bool(victoreen), _args.edge_or_none(suggested_edge))


def lcf_map(i1, i0, energies, references, band=_args.DEFAULT_BAND, region=None, dark=None,
            fluorescence=False, mlcf=False, fit_range=None, constraint=None, shift_map=None,
            suggested_edge=None, threads=None):
    """Fits every point of `region` (x, y, width, height; None: the whole
    frame) with the references (LCF, or MLCF with mlcf=True). References are
    paths or (energies, mu) pairs, each optionally with dE (eV) and the
    Victoreen flag: ("ref.dat", 0.5, True). constraint: None, "sum_to_one"
    or "non_negative". shift_map: an energy-shift map (y, x) of the frames'
    size, as shift_map() makes it. Returns a dict of (y, x) maps:
    fraction0, fraction1, ..., amount0, ..., residual."""
    i1, i0, e, dark = _args.stack(i1, i0, energies, dark)
    bw, bh = _args.band_of(band)
    reg = _args.region_of(region, i1.shape[1], i1.shape[2])
    lo, hi = _args.fit_range_of(fit_range)
    s1, nn = _args.constraint_of(constraint)
    return _core.lcf_map(i1, i0, dark, e, _args.references_of(references), bw, bh, reg,
                         bool(fluorescence), bool(mlcf), lo, hi, s1, nn,
                         None if shift_map is None else np.asarray(shift_map, dtype=np.float64),
                         _args.edge_or_none(suggested_edge), _args.threads_of(threads))


def shift_map(i1, i0, energies, standard=None, band=_args.DEFAULT_BAND, region=None, dark=None,
              fluorescence=False, victoreen=False, standard_victoreen=False, edge=None,
              edge_position="grid", suggested_edge=None, threads=None):
    """The energy-shift map of a calibration foil stack: at every point the
    edge of its spectrum less the standard's edge (`standard`: a path or an
    (energies, mu) pair; or `edge` in eV without one). edge_position: "grid",
    "interpolated" or "derivative". Returns a (y, x) map in eV."""
    i1, i0, e, dark = _args.stack(i1, i0, energies, dark)
    bw, bh = _args.band_of(band)
    reg = _args.region_of(region, i1.shape[1], i1.shape[2])
    if standard is not None and not isinstance(standard, (str, os.PathLike)):
        standard = tuple(np.asarray(v, dtype=np.float64) for v in standard)
    elif standard is not None:
        standard = os.fspath(standard)
    return _core.shift_map(i1, i0, dark, e, standard, bw, bh, reg, bool(fluorescence),
                           bool(victoreen), bool(standard_victoreen),
                           -1.0 if edge is None else float(edge),
                           _args.edge_position_of(edge_position),
                           _args.edge_or_none(suggested_edge), _args.threads_of(threads))


def element_maps(i1, i0, energies, elements, band=_args.DEFAULT_BAND, region=None, dark=None,
                 fluorescence=False, target=0, dE=20.0, rows=None,
                 background=_args.DEFAULT_ELEM_BACKGROUND, shift_map=None, edge_position="grid",
                 suggested_edge=None, threads=None):
    """The element analysis at every point: for each edge of `elements`
    ("Fe-K, Ni" or a list; "Cu" means Cu-K) its jump between E0 - dE and
    E0 + dE on the raw absorption, the ratio to the `target` edge's jump
    (index or name), mu at E0 + dE and E0 - dE, the edge position less E0,
    the ROI and NROI values. `rows` sets an edge's own values: {"Fe-K":
    {"roi": (7100, 7120), "th_dmut": 0.05, "no_neg": True, "dE": 10}};
    `background` the values (dmut, dE, roi, nroi) written where a jump is not
    above its threshold. Returns {edge: {"dmut", "ratio", "mu_plus",
    "mu_minus", "shift", "roi", "nroi": (y, x) map}}."""
    i1, i0, e, dark = _args.stack(i1, i0, energies, dark)
    bw, bh = _args.band_of(band)
    reg = _args.region_of(region, i1.shape[1], i1.shape[2])
    names, tgt = _args.elements_of(elements, target)
    return _core.element_maps(i1, i0, dark, e, names, bw, bh, reg, bool(fluorescence), tgt,
                              float(dE), dict(rows or {}), [float(v) for v in background],
                              None if shift_map is None else np.asarray(shift_map, np.float64),
                              _args.edge_position_of(edge_position),
                              _args.edge_or_none(suggested_edge), _args.threads_of(threads))


def cluster_map(i1, i0, energies, clusters, scores=None, band=_args.DEFAULT_BAND, region=None,
                dark=None, fluorescence=False, fit_range=None, shift_map=None,
                suggested_edge=None, threads=None):
    """k-means clusters of the points' normalised spectra (within fit_range)
    on their first `scores` principal-component scores (None: the components
    above the noise floor of the singular values, at least 2), as the program's cluster
    run: clusters numbered 1..K by the edge of their mean spectrum, 0 where
    no point was analysed. Returns a dict: clusters (a (y, x) map), scores
    (the score maps used), explained (the variance share per component) and
    means ((energies, mu, points) per cluster). There is no Dask version: a
    clustering needs every spectrum at once."""
    i1, i0, e, dark = _args.stack(i1, i0, energies, dark)
    bw, bh = _args.band_of(band)
    reg = _args.region_of(region, i1.shape[1], i1.shape[2])
    lo, hi = _args.fit_range_of(fit_range)
    if int(clusters) < 2:
        raise ValueError("clusters must be at least 2")
    if scores is not None and int(scores) < 1:
        raise ValueError("scores must be at least 1 (or None)")
    return _core.cluster_map(i1, i0, dark, e, int(clusters), 0 if scores is None else int(scores),
                             bw, bh, reg, bool(fluorescence), lo, hi,
                             None if shift_map is None else np.asarray(shift_map, np.float64),
                             _args.edge_or_none(suggested_edge), _args.threads_of(threads))


def grid_points(shape, band=_args.DEFAULT_BAND, region=None):
    """(ys, xs): the block centres of a run over `region` of frames of
    `shape` (y, x), the points the program's text maps list, row by row."""
    h, w = shape[-2:]
    bw, bh = _args.band_of(band)
    x, y, rw, rh = _args.region_of(region, h, w)
    xs = np.arange(x + bw, max(x + rw, x + bw + 1), 2 * bw + 1)
    ys = np.arange(y + bh, max(y + rh, y + bh + 1), 2 * bh + 1)
    return ys[ys < h], xs[xs < w]
