#!/usr/bin/env bash
# python.sh [build-dir]: the Python package lumacresta. Installs the Debian
# packages it needs (only those missing), builds the extension with
# -DLUMACRESTA_PYTHON=ON in build-dir (default build-python, optimised; an
# existing build tree keeps its type and gets the option), and makes the
# virtual environment .venv (with Debian's numpy, h5py, dask, distributed,
# pytest and matplotlib) in which `import lumacresta` works:
#
#     bash scripts/python.sh && .venv/bin/python -c 'import lumacresta'
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(realpath -m "${1:-$root/build-python}")"
"$root/scripts/bootstrap.sh" python3 python3-venv python3-dev pybind11-dev python3-numpy \
  python3-h5py python3-dask python3-distributed python3-pytest python3-matplotlib
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
# Debian's interpreter, whatever else is first on the PATH: its packages are
# the ones the environment sees.
py=/usr/bin/python3
options=(-DLUMACRESTA_PYTHON=ON -DPYTHON_EXECUTABLE="$py")
if [ ! -f "$dir/CMakeCache.txt" ]; then
  options+=(-DCMAKE_BUILD_TYPE=Release -DLUMACRESTA_BUILD_TESTS=OFF)
fi
cmake -S "$root" -B "$dir" -G Ninja "${options[@]}" >/dev/null
# The program and the stack generator too: the package's tests compare with
# the batch program's maps.
cmake --build "$dir" -j2 --target lumacresta_python lumacresta lumacresta-stackgen

venv="$root/.venv"
if [ ! -x "$venv/bin/python" ]; then
  "$py" -m venv --system-site-packages "$venv"
fi
site="$("$venv/bin/python" -c 'import sysconfig; print(sysconfig.get_paths()["purelib"])')"
echo "$dir/python" >"$site/lumacresta.pth"
"$venv/bin/python" -c 'import lumacresta' 
echo "lumacresta from $dir/python in $venv (activate: source .venv/bin/activate)"
