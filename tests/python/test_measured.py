"""Measured reference spectra (../shared/data): a stack mixed from two of
them is fitted back, and the program's spectrum files normalise."""
import pathlib

import numpy as np
import pytest

import lumacresta
from conftest import close

DATA = pathlib.Path(__file__).resolve().parents[3] / "shared" / "data"


def shared(name):
    path = DATA / name
    if not path.exists():
        pytest.skip(f"{path} is absent (the measured spectra are not in the project)")
    return path


def test_a_mixture_of_measured_references_fits_back():
    a, b = shared("fe2o3_rt1.xmu"), shared("feo_rt1.xdi")
    (ea, mua), (eb, mub) = lumacresta.load_spectrum(a), lumacresta.load_spectrum(b)
    e = np.arange(7060.0, 7250.0, 1.0)
    share = np.linspace(0.0, 1.0, 16)[None, :].repeat(6, 0)  # of Fe2O3, left to right
    mu = share * np.interp(e, ea, mua)[:, None, None] + \
        (1 - share) * np.interp(e, eb, mub)[:, None, None]
    i0 = np.full(mu.shape, 50000.0, np.float32)
    i1 = (i0 * np.exp(-mu)).astype(np.float32)
    maps = lumacresta.lcf_map(i1, i0, e, [a, b], band=(0, 0))
    # LCF weighs the normalised curves: a compound's fraction counts its
    # share of the edge jump.
    ja = lumacresta.normalize(ea, mua)["jump"]
    jb = lumacresta.normalize(eb, mub)["jump"]
    expected = share * ja / (share * ja + (1 - share) * jb)
    # Not exact: each mixture's edge windows are its own.
    close(maps["fraction0"], expected, 0.05)
    close(maps["fraction0"] + maps["fraction1"], 1.0, 0.03)


def test_measured_files_normalise_at_their_edges():
    for name, edge in (("PFBL12C_2005.dat", 12284.0), ("fe3c_rt.xdi", 7112.0)):
        e, mu = lumacresta.load_spectrum(shared(name))
        rec = lumacresta.normalize(e, mu)
        assert abs(rec["edge"] - edge) < 15, name
    # A fluorescence scan with repeated energies, read as I1/I0 (its
    # header says "Fluorescence"): the edge is where the Fe K edge is.
    e, mu = lumacresta.load_spectrum(shared("PF9A_2022.dat"))
    assert np.any(np.diff(e) == 0)
    rec = lumacresta.normalize(e, mu)
    assert np.isfinite(rec["jump"]) and rec["jump"] > 0
    assert abs(rec["edge"] - 7117.0) < 10
