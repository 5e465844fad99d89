#!/usr/bin/env bash
# One entry for a fresh Debian 12 machine: installs what is missing, builds, and
#   ./build.sh demo    runs the program against its built-in simulated receiver
#   ./build.sh test    runs every test: the suite, the suite again under AddressSanitizer
#                      and UndefinedBehaviorSanitizer, and each fuzz target briefly
#   ./build.sh check   runs the suite once, without sanitizers or fuzzing (quick)
#   ./build.sh bench   runs the benchmarks
#   ./build.sh package builds the Debian package (a Release build of its own, in build-release)
#   ./build.sh build   only builds
set -euo pipefail
cd "$(dirname "$0")"

what=${1:-build}
build_dir=${BUILD_DIR:-build}
jobs=$(nproc)

scripts/install-deps

# ctest keeps a passing test's output to itself: the matrices are shown from their files.
run_suite() {
  local dir=$1; shift
  local matrices="$dir/tests/matrix/fault_matrix.txt $dir/tests/matrix/interference_matrix.txt"
  rm -f $matrices
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@"
  for m in $matrices; do
    if [ -f "$m" ]; then
      cat "$m"
    fi
  done
}

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
  check)
    configure_and_build "$build_dir"
    run_suite "$build_dir" --timeout 300
    ;;
  test)
    echo "== the test suite"
    configure_and_build "$build_dir"
    run_suite "$build_dir" --timeout 300
    echo "== the test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
    # -O1 with line tables: what the sanitizers recommend, and quicker to build than -O2 -g.
    configure_and_build "$build_dir-asan" -DDIZURO_SANITIZE=ON -DDIZURO_BUILD_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1"
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      ctest --test-dir "$build_dir-asan" --output-on-failure -j "$jobs" --timeout 600
    echo "== fuzz targets, ${FUZZ_SECONDS:-12} s each"
    FUZZ_BUILD_DIR="$build_dir-fuzz" fuzz/run "${FUZZ_SECONDS:-12}"
    ;;
  bench)
    configure_and_build "$build_dir"
    exec bench/run "$build_dir"
    ;;
  package)
    # Only what goes into the package is built; the tests need not be. Warnings stay warnings:
    # GCC 12 at -O3 warns falsely about std::string copies (-Wrestrict), and the suite's builds
    # already hold the code to no warnings.
    dir=${PACKAGE_BUILD_DIR:-build-release}
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDIZURO_WERROR=OFF \
      -DDIZURO_BUILD_TESTS=OFF -DDIZURO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && cpack -G DEB)
    echo "Install it with:  sudo apt-get install ./$(ls "$dir"/dizuro-link_*.deb)"
    ;;
  *)
    echo "usage: ./build.sh [build|demo|test|check|bench|package]" >&2
    exit 2
    ;;
esac
