#!/usr/bin/env bash
# Builds the Debian packages sonorel (the desktop program) and sonorel-cli
# (the command-line tool) into build-package/, configured as a Debian build
# configures: build type None and the distribution's compiler and linker
# flags (hardening included). Only the two programs are built, no tests and
# no benchmarks. Extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

dir=build-package
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS
# CMAKE_SKIP_INSTALL_ALL_DEPENDENCY: packing builds the two programs' own
# targets, not everything.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DSONOREL_BUILD_TESTS=OFF -DSONOREL_BUILD_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@"
cmake --build "$dir" --target sonorel sonorel-cli
(cd "$dir" && cpack -G DEB)
ls -1 "$PWD/$dir"/sonorel_*.deb "$PWD/$dir"/sonorel-cli_*.deb
