"""Checks and completes the arguments the map functions share, so that the
one-process and the Dask functions take them alike. Every default is the
program's at a fresh start."""
import os

import numpy as np

# The main window's box half widths ("W." and "H." fields).
DEFAULT_BAND = (10, 10)
# The Analyzer's LCF range fields.
DEFAULT_FIT_RANGE = (0.0, 30000.0)
# "Analyze Elems Conditions": dmut, dE, ROI, NROI written where a jump is
# not measured.
DEFAULT_ELEM_BACKGROUND = (-1.0, 0.0, 0.0, 0.0)
EDGE_POSITIONS = {"grid": 0, "interpolated": 1, "derivative": 2}
CONSTRAINTS = {None: (False, False), "sum_to_one": (True, False),
               "non_negative": (True, True)}
FRAME_DTYPES = (np.uint16, np.uint32, np.float32)


def frames(a, name, rank=3):
    """`a` as an array the core reads in place: uint16, uint32 or float32
    with contiguous rows (a copy only when the rows are not contiguous)."""
    if not isinstance(a, np.ndarray):
        raise TypeError(f"{name} must be a numpy array, not {type(a).__name__}")
    if a.dtype.byteorder == ">" and a.dtype.newbyteorder("=") in FRAME_DTYPES:
        # Big-endian samples (some HDF5 files): the core reads native ones.
        a = a.astype(a.dtype.newbyteorder("="))
    if a.dtype not in FRAME_DTYPES:
        raise TypeError(f"{name} must be uint16, uint32 or float32, not {a.dtype}")
    if a.ndim != rank:
        axes = "(energy, y, x)" if rank == 3 else "(y, x)"
        raise ValueError(f"{name} must have {rank} axes {axes}, not {a.ndim}")
    if 0 in a.shape[-2:]:
        raise ValueError(f"{name} has empty frames (shape {a.shape})")
    if a.strides[-1] != a.itemsize or any(s < 0 for s in a.strides):
        a = np.ascontiguousarray(a)
    return a


def energies_of(energies, count):
    e = np.asarray(energies, dtype=np.float64)
    if e.ndim != 1 or e.shape[0] != count:
        raise ValueError(f"energies must be a 1-D array of {count} values (one per frame), "
                         f"not of shape {e.shape}")
    if not np.all(np.isfinite(e)):
        raise ValueError("energies must be finite")
    if count > 1 and not np.all(np.diff(e) > 0):
        raise ValueError("energies must be strictly increasing")
    return np.ascontiguousarray(e)


def stack(i1, i0, energies, dark):
    i1 = frames(i1, "i1")
    if i0 is not None:
        i0 = frames(i0, "i0")
        if i0.shape != i1.shape:
            raise ValueError(f"i0 must have the shape of i1 {i1.shape}, not {i0.shape}")
    if dark is not None:
        dark = frames(dark, "dark", rank=2)
        if dark.shape != i1.shape[1:]:
            raise ValueError(f"dark must be one frame of {i1.shape[1:]}, not {dark.shape}")
    return i1, i0, energies_of(energies, i1.shape[0]), dark


def band_of(band):
    try:
        bw, bh = (int(v) for v in band)
    except (TypeError, ValueError):
        raise TypeError("band must be two integers (w, h): the box half widths") from None
    if bw < 0 or bh < 0:
        raise ValueError("band half widths must not be negative")
    return bw, bh


def region_of(region, height, width):
    """(x, y, w, h) as the program's area; None is the whole frame."""
    if region is None:
        return (0, 0, width, height)
    try:
        x, y, w, h = (int(v) for v in region)
    except (TypeError, ValueError):
        raise TypeError("region must be four integers (x, y, width, height)") from None
    if w <= 0 or h <= 0:
        raise ValueError("region must have a positive width and height")
    if x < 0 or y < 0 or x >= width or y >= height:
        raise ValueError(f"region ({x}, {y}, {w}, {h}) starts outside the frames "
                         f"({width} x {height} pixels)")
    # Cut to the frames, as a selection dragged past an edge is.
    return (x, y, min(w, width - x), min(h, height - y))


def references_of(references):
    """Each reference as (source, dE, victoreen): a path or an (energies,
    mu) pair, optionally followed by dE and the Victoreen flag, or a dict
    with the keys source, dE and victoreen."""
    out = []
    for k, r in enumerate(references):
        if isinstance(r, dict):
            src, de, vic = r.get("source"), r.get("dE", 0.0), r.get("victoreen", False)
        elif isinstance(r, (str, os.PathLike)):
            src, de, vic = r, 0.0, False
        elif isinstance(r, (tuple, list)) and len(r) in (2, 3, 4) and \
                not isinstance(r[0], (str, os.PathLike)):
            src = (r[0], r[1])
            de = r[2] if len(r) > 2 else 0.0
            vic = r[3] if len(r) > 3 else False
        elif isinstance(r, (tuple, list)) and 1 <= len(r) <= 3:
            src = r[0]
            de = r[1] if len(r) > 1 else 0.0
            vic = r[2] if len(r) > 2 else False
        else:
            raise TypeError(f"reference {k} must be a path, an (energies, mu) pair, "
                            "or either with dE and the Victoreen flag")
        if isinstance(src, (str, os.PathLike)):
            src = os.fspath(src)
        else:
            e, mu = (np.asarray(v, dtype=np.float64) for v in src)
            src = (e, mu)
        out.append((src, float(de), bool(vic)))
    if len(out) < 2:
        raise ValueError("a fit needs at least two references")
    return out


def fit_range_of(fit_range):
    lo, hi = DEFAULT_FIT_RANGE if fit_range is None else (float(v) for v in fit_range)
    if not hi > lo:
        raise ValueError("fit_range must be (low, high) with high above low")
    return lo, hi


def constraint_of(constraint):
    if constraint not in CONSTRAINTS:
        raise ValueError(f"constraint must be one of {sorted(CONSTRAINTS, key=str)}")
    return CONSTRAINTS[constraint]


def edge_position_of(name):
    if name not in EDGE_POSITIONS:
        raise ValueError(f"edge_position must be one of {sorted(EDGE_POSITIONS)}")
    return EDGE_POSITIONS[name]


def threads_of(threads):
    if threads is None:
        return 0
    t = int(threads)
    if t < 1:
        raise ValueError("threads must be at least 1")
    return t


def edge_or_none(v):
    return -1.0 if v is None else float(v)


def elements_of(elements, target):
    """The element names as the program's "Target Element Names" text, and
    the target edge's index (a name is found among the edges as written)."""
    if isinstance(elements, str):
        items = [t.strip() for t in elements.split(",") if t.strip()]
    else:
        items = [str(t).strip() for t in elements]
    if not items:
        raise ValueError("no element names")
    if isinstance(target, str):
        full = [t if "-" in t else t + "-K" for t in items]
        want = target if "-" in target else target + "-K"
        if want not in full:
            raise ValueError(f"target {target!r} is not one of the edges {full}")
        target = full.index(want)
    return ", ".join(items), int(target)
