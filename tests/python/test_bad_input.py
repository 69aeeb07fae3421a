"""Bad input raises TypeError or ValueError with the reason; nothing
crashes."""
import numpy as np
import pytest

import lumacresta
import lumacresta.dask as ldask

E = np.linspace(8940.0, 9060.0, 12)
I1 = np.full((12, 6, 8), 1000, dtype=np.uint16)
I0 = np.full((12, 6, 8), 3000, dtype=np.uint16)
REFS = [(E, np.linspace(0, 1, 12)), (E, np.linspace(1, 0, 12) ** 2)]


def lcf(**kw):
    args = dict(i1=I1, i0=I0, energies=E, references=REFS, band=(1, 1))
    args.update(kw)
    return lumacresta.lcf_map(**args)


@pytest.mark.parametrize("call, error, reason", [
    (lambda: lcf(i1=I1.astype(np.float64)), TypeError, "uint16, uint32 or float32"),
    (lambda: lcf(i1=I1[0]), ValueError, "3 axes"),
    (lambda: lcf(i1=[[[1]]]), TypeError, "numpy array"),
    (lambda: lcf(i0=I0[:, :3]), ValueError, "shape of i1"),
    (lambda: lcf(energies=E[:-1]), ValueError, "12 values"),
    (lambda: lcf(energies=E[::-1]), ValueError, "increasing"),
    (lambda: lcf(energies=np.where(E > 9000, np.nan, E)), ValueError, "finite"),
    (lambda: lcf(references=[(E + 5000, REFS[0][1]), REFS[1]]), ValueError, "miss"),
    (lambda: lcf(references=REFS[:1]), ValueError, "two references"),
    (lambda: lcf(references=["/nonexistent/ref.dat", "/nonexistent/b.dat"]), ValueError,
     "cannot read"),
    (lambda: lcf(references=[(E, REFS[0][1][:5]), REFS[1]]), ValueError, "length"),
    (lambda: lcf(region=(8, 0, 4, 4)), ValueError, "outside the frames"),
    (lambda: lcf(region=(0, -1, 4, 4)), ValueError, "outside the frames"),
    (lambda: lcf(band=(-1, 0)), ValueError, "negative"),
    (lambda: lcf(dark=np.zeros((6, 7), np.float32)), ValueError, "dark"),
    (lambda: lcf(shift_map=np.zeros((2, 2))), ValueError, "shift_map"),
    (lambda: lcf(constraint="positive"), ValueError, "constraint"),
    (lambda: lcf(fit_range=(9000, 8000)), ValueError, "fit_range"),
    (lambda: lumacresta.shift_map(I1, I0, E), ValueError, "standard"),
    (lambda: lumacresta.spectrum(I1, I0, E, y=6, x=0), ValueError, "outside"),
    (lambda: lumacresta.element_maps(I1, I0, E, "Xx"), ValueError, "no known edge"),
    (lambda: lumacresta.cluster_map(I1, I0, E, 40, band=(1, 1)), ValueError, "only 6 points"),
    (lambda: lumacresta.element_maps(I1, I0, E, "Cu", target="Fe"), ValueError, "target"),
    (lambda: lumacresta.element_maps(I1, I0, E, "Cu", rows={"Cu-K": {"roi": 1}}), TypeError,
     "roi"),
    (lambda: lumacresta.normalize(E, E[:3]), ValueError, "length"),
    (lambda: lumacresta.read_stack("/nonexistent/I1_*.tif"), ValueError, "no file"),
    (lambda: lumacresta.read_hdf5(__file__), ValueError, "HDF5"),
    (lambda: lumacresta.read_hdf5("/nonexistent/stack.h5"), ValueError, "Can not open HDF5 file"),
    (lambda: lumacresta.load_spectrum("/nonexistent/ref.dat"), ValueError,
     "Can't open spectrum file"),
    (lambda: lumacresta.load_spectrum("/dev/zero"), ValueError, "No spectrum in file"),
    (lambda: lcf(i1=np.zeros((12, 0, 0), np.uint16), i0=None), ValueError, "empty frames"),
    (lambda: ldask.lcf_map(I1, I0, E, REFS, band=(1, 1), energies=None), TypeError, ""),
    (lambda: ldask.lcf_map(I1.astype(np.int32), I0, E, REFS), TypeError, "uint16"),
    (lambda: ldask.lcf_map(I1, I0, E[:3], REFS), ValueError, "12 values"),
])
def test_bad_input_raises_with_the_reason(call, error, reason):
    with pytest.raises(error, match=reason):
        call()


def test_frames_of_any_equivalent_dtype_are_read():
    # A dtype object of its own (astype) or big-endian samples are still
    # uint16 / float32 frames.
    base = lumacresta.spectrum(I1, I0, E, y=1, x=1, band=(1, 1))[1]
    for i1 in (I1.astype(np.float32).astype(np.uint16), I1.astype(">u2")):
        assert np.array_equal(lumacresta.spectrum(i1, I0, E, y=1, x=1, band=(1, 1))[1], base)
    dark = np.zeros((6, 8), np.float64).astype(np.float32)
    lumacresta._core.spectrum(I1, I0, dark, E, 1, 1, 1, 1, False)


def test_points_not_fitted_are_nan_with_a_warning():
    step = I1.copy()
    step[6:] = 500  # one jump between two points: the fit finds no edge in it
    with pytest.warns(RuntimeWarning, match="not fitted.*: 48 "):
        maps = lcf(i1=step, band=(0, 0))
    assert np.all(np.isnan(maps["fraction0"]))


def test_core_checks_arguments_itself():
    # The extension is reachable without the Python checks: it must refuse
    # too, not read past an array.
    core = lumacresta._core
    with pytest.raises(ValueError, match="frames"):
        core.lcf_map(I1, I0, None, E[:5], [(REFS[0], 0.0, False), (REFS[1], 0.0, False)], 1, 1,
                     None, False, False, 0.0, 3e4, False, False, None, -1.0, 1)
    with pytest.raises(ValueError, match="contiguous rows"):
        core.spectrum(I1[:, :, ::2], None, None, E, 0, 0, 1, 1, False)
    with pytest.raises(ValueError, match="empty frames"):
        core.lcf_map(np.zeros((5, 0, 0), np.uint16), None, None, E[:5],
                     [(REFS[0], 0.0, False), (REFS[1], 0.0, False)], 1, 1, None, False, False,
                     0.0, 3e4, False, False, None, -1.0, 1)
