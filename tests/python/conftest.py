"""Fixtures of the package's tests: a generated stack and the maps the batch
program saved for it, from one run of the program shared by every test."""
import os
import pathlib
import subprocess
import textwrap

import numpy as np
import pytest

import lumacresta


def build_dir():
    """The build tree the package was built in (<build>/python/lumacresta)."""
    env = os.environ.get("LUMACRESTA_BUILD_DIR")
    return pathlib.Path(env) if env else pathlib.Path(lumacresta.__file__).resolve().parents[2]


def tool(relative):
    path = build_dir() / relative
    if not path.exists():
        pytest.skip(f"{relative} is not built in {build_dir()}")
    return path


def close(actual, expected, tol):
    """Every value of `actual` within `tol` of `expected` (the one tolerance
    rule of these tests)."""
    actual, expected = np.asarray(actual, float), np.asarray(expected, float)
    expected = np.broadcast_to(expected, actual.shape) if expected.ndim == 0 else expected
    assert actual.shape == expected.shape
    worst = np.max(np.abs(actual - expected)) if actual.size else 0.0
    assert worst <= tol, f"largest difference {worst} above {tol}"


# The generated stacks: small, so the batch run stays a few seconds.
WIDTH, HEIGHT, ENERGIES = 30, 22, 81
BAND = (2, 1)
REGION = (1, 2, 27, 18)
# Row 1 of the references with a dE, row 0 Victoreen-normalised, as a user
# might set them.
REFS = [("ref_A.dat", 0.0, True), ("ref_B.dat", 0.5, False)]

BATCH = r"""
eng_by_name_i1
eng_by_name_i0
set_i1_energy_pattern "\d\d\d\d\d_\d\d\d\d"
set_i0_energy_pattern "\d\d\d\d\d_\d\d\d\d"
show_latest_i1 0
show_latest_i0 0
set_band_w {bw}
set_band_h {bh}
select_region {rx} {ry} {rw} {rh}
load_I1_files_of_pattern NEW foil/tif I1_*.tif
load_I0_files_of_pattern NEW foil/tif I0_*.tif
Use_I0 1
calib_load_std foil/tif/ref_A.dat
calib_exec
load_I1_files_of_pattern NEW sample/tif I1_*.tif
load_I0_files_of_pattern NEW sample/tif I0_*.tif
analyzer_set_LCF_std 0 1 {d0} sample/tif/{f0} {v0}
analyzer_set_LCF_std 1 1 {d1} sample/tif/{f1} {v1}
analyzer_set_LCF_mode 0
analyzer_exec_LCF
analyzer_target_elements Cu
analyzer_elems_set_deVs 15
analyzer_elems_roi Cu-K 8990 9010
analyzer_exec_elems
analyzer_exec_cluster 3
saveDataCfg_save_as_text
saveDataCfg_text_as_xyz
saveDataCfg_text_as_ssv
analyzer_select_image_type 0 1
save_data out/fraction0.dat
saveDataCfg_save_as_hdf5
save_data out/maps.h5
quit
"""


@pytest.fixture(scope="session")
def generated(tmp_path_factory):
    """The sample and foil stacks (TIFF and HDF5) and the batch program's
    saved maps: dict of paths."""
    stackgen = tool("tools/stackgen/lumacresta-stackgen")
    program = tool("src/lumacresta")
    root = tmp_path_factory.mktemp("generated")
    size = ["--width", str(WIDTH), "--height", str(HEIGHT), "--energies", str(ENERGIES)]
    subprocess.run([stackgen, *size, "--hdf5", "--out", root / "sample"], check=True,
                   capture_output=True)
    subprocess.run([stackgen, *size, "--foil", "--out", root / "foil"], check=True,
                   capture_output=True)
    (root / "out").mkdir()
    (f0, d0, v0), (f1, d1, v1) = REFS
    batch = BATCH.format(bw=BAND[0], bh=BAND[1], rx=REGION[0], ry=REGION[1], rw=REGION[2],
                         rh=REGION[3], f0=f0, d0=d0, v0=int(v0), f1=f1, d1=d1, v1=int(v1))
    (root / "run.bat").write_text(textwrap.dedent(batch))
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    done = subprocess.run([program, "-e", "-b", "run.bat", "-x"], cwd=root, env=env,
                          capture_output=True, text=True, timeout=300)
    assert done.returncode == 0, done.stdout + done.stderr
    return {"root": root, "sample": root / "sample" / "tif", "foil": root / "foil" / "tif",
            "maps": root / "out" / "maps.h5", "log": done.stderr,
            "fraction0": next((root / "out").glob("fraction0-*.dat"))}


@pytest.fixture(scope="session")
def stacks(generated):
    """The two stacks as numpy arrays: dict name -> (i1, i0, energies)."""
    out = {}
    for name in ("sample", "foil"):
        d = generated[name]
        i1, e = lumacresta.read_stack(d / "I1_*.tif")
        i0, e0 = lumacresta.read_stack(d / "I0_*.tif")
        assert np.array_equal(e, e0)
        out[name] = (i1, i0, e)
    return out


def references(generated):
    return [(generated["sample"] / f, de, vic) for f, de, vic in REFS]
