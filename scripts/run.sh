#!/usr/bin/env bash
# Builds (if needed) and starts Lumacresta with the arguments given.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
# Compiler cache shared between checkouts of the project (paths made relative).
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release -DLUMACRESTA_BUILD_TESTS=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
fi
exec "$root/build/src/lumacresta" "$@"
