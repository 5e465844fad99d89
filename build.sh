#!/usr/bin/env bash
# One entry for a fresh Debian 12 machine: installs what is missing, builds, and
#   ./build.sh demo    runs the program against its built-in simulated receiver
#   ./build.sh test    runs every test
#   ./build.sh bench   runs the benchmarks
#   ./build.sh build   only builds
set -euo pipefail
cd "$(dirname "$0")"

what=${1:-build}
build_dir=${BUILD_DIR:-build}
jobs=$(nproc)

scripts/install-deps

configure_and_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIZURO_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "$what" in
  build)
    configure_and_build "$build_dir"
    ;;
  demo)
    configure_and_build "$build_dir"
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "No display here: the demo needs a desktop to show its window on."
      echo "On a machine without one, run it under a virtual display:"
      echo "    xvfb-run -a ./build.sh demo"
      exit 1
    fi
    exec "$build_dir/bin/dizuro-link" --demo
    ;;
  test)
    configure_and_build "$build_dir"
    ctest --test-dir "$build_dir" --output-on-failure -j "$jobs" --timeout 300
    ;;
  bench)
    configure_and_build "$build_dir"
    exec bench/run "$build_dir"
    ;;
  *)
    echo "usage: ./build.sh [build|demo|test|bench]" >&2
    exit 2
    ;;
esac
