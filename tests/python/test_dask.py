"""Dask maps equal the one-process maps for chunkings that cut through the
boxes, on a two-process LocalCluster; stacks read lazily equal the ones read
at once."""
import numpy as np
import pytest

import lumacresta
import lumacresta.dask as ldask
from conftest import BAND, REGION, references

distributed = pytest.importorskip("distributed")


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None, memory_limit="1GiB") as cluster, \
            distributed.Client(cluster) as c:
        yield c


# y and x chunk sizes: none a multiple of a box (3 x 5 pixels), so chunk
# edges cut boxes; (7, 11) leaves a last row of chunks narrower than the
# halo, which joins its neighbour.
@pytest.mark.parametrize("chunks", [(7, 11), (5, 13)])
def test_dask_maps_equal_one_process(generated, stacks, client, chunks):
    i1, i0, e = stacks["sample"]
    dark = np.full(i1.shape[1:], 3.5, dtype=np.float32)
    foil = stacks["foil"]
    shift = lumacresta.shift_map(*foil, standard=generated["foil"] / "ref_A.dat", band=BAND,
                                 region=REGION)
    lazy_shift = ldask.shift_map(*foil, standard=generated["foil"] / "ref_A.dat", band=BAND,
                                 region=REGION, chunks=chunks)
    one = lumacresta.lcf_map(i1, i0, e, references(generated), band=BAND, region=REGION,
                             dark=dark, shift_map=shift, threads=2)
    lazy = ldask.lcf_map(i1, i0, e, references(generated), band=BAND, region=REGION, dark=dark,
                         shift_map=lazy_shift, chunks=chunks)
    assert sorted(lazy) == sorted(one)
    got = client.compute(lazy, sync=True)
    for key in one:
        assert np.array_equal(got[key], one[key]), key
    elems = lumacresta.element_maps(i1, i0, e, "Cu, Zn", band=BAND, region=REGION, dark=dark)
    lazy = ldask.element_maps(i1, i0, e, "Cu, Zn", band=BAND, region=REGION, dark=dark,
                              chunks=chunks)
    got = client.compute(lazy, sync=True)
    for edge in elems:
        for kind in elems[edge]:
            assert np.array_equal(got[edge][kind], elems[edge][kind]), (edge, kind)


def test_lazy_readers_equal_eager(generated, stacks):
    i1, i0, e = stacks["sample"]
    lazy, le = ldask.read_stack(generated["sample"] / "I1_*.tif", chunks=(8, 16))
    assert lazy.chunks[1][0] == 8 and np.array_equal(le, e)
    assert np.array_equal(lazy.compute(), i1)
    h5 = generated["sample"] / "stack.h5"
    eager = lumacresta.read_hdf5(h5)
    lazy = ldask.read_hdf5(h5, chunks=(8, 16))
    assert np.array_equal(lazy["energies"], eager["energies"])
    for key in ("i1", "i0", "dark"):
        assert np.array_equal(lazy[key].compute(), eager[key]), key
    assert np.array_equal(eager["i1"], i1)
