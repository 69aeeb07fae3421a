#!/usr/bin/env bash
# Builds and runs the whole test suite twice: an optimised build (then the
# Python package's tests), and a build under AddressSanitizer +
# UndefinedBehaviorSanitizer (leak checking on). In between, every fuzz
# target runs briefly on its seed corpus (LUMACRESTA_FUZZ_SECONDS each,
# default 20), so a reader change that crashes on the corpus fails here. Ends with CTest's summary line of the
# sanitizer run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
# Compiler cache shared between checkouts of the project (paths made relative).
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
export QT_QPA_PLATFORM=offscreen

"$root/scripts/build.sh" "$root/build-tests" -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd "$root/build-tests" && ctest --output-on-failure -j2)

# The Python package, built in the same tree, and its tests (they compare
# with the batch program's maps and run Dask on a two-process cluster).
"$root/scripts/python.sh" "$root/build-tests"
"$root/.venv/bin/python" -m pytest -q -p no:cacheprovider "$root/tests/python"

# A loaded CI machine may be slow: a hang there means 5 s, not the 1 s of
# the offline runs.
LUMACRESTA_FUZZ_TIMEOUT="${LUMACRESTA_FUZZ_TIMEOUT:-5}" \
  "$root/scripts/fuzz.sh" all "${LUMACRESTA_FUZZ_SECONDS:-20}"

"$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DLUMACRESTA_SANITIZE=ON
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2)
