#!/usr/bin/env bash
# Installs everything Sonorel needs to build, test and run, from Debian
# packages; with --fuzz, also what the fuzz target needs.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    libgtest-dev libgmock-dev libbenchmark-dev
    libsndfile1-dev portaudio19-dev libasound2-plugins
    libfftw3-dev
    nlohmann-json3-dev libcairo2-dev libpng-dev fonts-dejavu-core
    ffmpeg parallel
    python3-numpy
    libwxgtk3.2-dev libgtk-3-dev libx11-dev
    xvfb xauth
    librsvg2-bin appstream desktop-file-utils xdotool
    clang-format clang-tidy
)
# The fuzz target (fuzz/README.md) needs clang and its libFuzzer runtime;
# only with --fuzz, since neither the build nor CI uses them.
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-dev)
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
