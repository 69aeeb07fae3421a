"""The maps of the package equal what the batch program saved for the same
run, and the fractions recover the generator's truth."""
import h5py
import numpy as np
import pytest

import lumacresta
from conftest import BAND, REGION, close, references


@pytest.fixture(scope="module")
def program_maps(generated):
    """Every map of the program's HDF5 save (the reference rows' maps share
    their names, so a list)."""
    with h5py.File(generated["maps"], "r") as f:
        return [f["maps"][k][...] for k in sorted(f["maps"])]


def python_maps(generated, stacks, threads):
    foil = stacks["foil"]
    shift = lumacresta.shift_map(*foil, standard=generated["foil"] / "ref_A.dat", band=BAND,
                                 region=REGION, threads=threads)
    lcf = lumacresta.lcf_map(*stacks["sample"], references(generated), band=BAND,
                             region=REGION, shift_map=shift, threads=threads)
    elems = lumacresta.element_maps(*stacks["sample"], "Cu", band=BAND, region=REGION,
                                    dE=15, rows={"Cu-K": {"roi": (8990, 9010)}},
                                    shift_map=shift, threads=threads)
    clusters = lumacresta.cluster_map(*stacks["sample"], 3, band=BAND, region=REGION,
                                      shift_map=shift, threads=threads)
    return shift, lcf, elems, clusters


@pytest.mark.parametrize("threads", [1, 3])
def test_maps_equal_the_batch_programs(generated, stacks, program_maps, threads):
    shift, lcf, elems, clusters = python_maps(generated, stacks, threads)
    expected = {"shift": shift, "fraction0": lcf["fraction0"], "fraction1": lcf["fraction1"],
                "amount0": lcf["amount0"], "amount1": lcf["amount1"],
                "residual": lcf["residual"]}
    expected.update({"Cu-K " + k: m for k, m in elems["Cu-K"].items()})
    expected.update({f"score{k}": m for k, m in enumerate(clusters["scores"])},
                    clusters=clusters["clusters"])
    assert set(np.unique(clusters["clusters"])) == {0, 1, 2, 3}
    # Each of our maps is, bit for bit, one the program saved.
    for key, ours in expected.items():
        assert any(np.array_equal(ours, m) for m in program_maps), key

    # The text map's digits at every grid point.
    ys, xs = lumacresta.grid_points(stacks["sample"][0].shape, BAND, REGION)
    lines = [l.split() for l in generated["fraction0"].read_text().splitlines() if l.strip()]
    assert len(lines) == len(ys) * len(xs)
    for x, y, text in lines:
        assert "%g" % lcf["fraction0"][int(y), int(x)] == text


def test_lcf_recovers_the_generators_fractions(generated, stacks):
    maps = lumacresta.lcf_map(*stacks["sample"], references(generated), band=BAND)
    truth = np.loadtxt(generated["sample"] / "truth_fraction_A.txt")
    ys, xs = lumacresta.grid_points(truth.shape, BAND)
    found = maps["fraction0"][np.ix_(ys, xs)]
    # Box averages of the truth: what a point stands for.
    k = np.ones((2 * BAND[1] + 1, 2 * BAND[0] + 1)) / ((2 * BAND[1] + 1) * (2 * BAND[0] + 1))
    padded = np.pad(truth, ((BAND[1],) * 2, (BAND[0],) * 2), mode="edge")
    boxes = np.array([[np.sum(padded[y:y + k.shape[0], x:x + k.shape[1]] * k) for x in xs]
                      for y in ys])
    assert np.mean(np.abs(found - boxes)) < 0.08


def test_spectrum_is_the_box_absorption(stacks):
    i1, i0, e = stacks["sample"]
    energies, mu = lumacresta.spectrum(i1, i0, e, y=7, x=9, band=(1, 2))
    box = (slice(None), slice(5, 10), slice(8, 11))
    expected = np.log(i0[box].sum(axis=(1, 2), dtype=float) / i1[box].sum(axis=(1, 2), dtype=float))
    close(energies, e, 0.0)
    close(mu, expected, 1e-12)
    rec = lumacresta.normalize(energies, mu)
    # The generator's edges sit near 8979-8990 eV; a jump of the right sign.
    assert 8970 < rec["edge"] < 9000 and rec["jump"] > 0
    close(rec["normalized"][e < 8950], 0.0, 0.15)
