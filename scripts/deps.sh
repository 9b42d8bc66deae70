#!/usr/bin/env bash
# Installs, only when missing, every Debian package the build, the tests and the demo need.
# Safe to run again: it asks apt only for what dpkg does not already report as installed.
set -euo pipefail

packages=(
    # toolchain
    build-essential cmake ninja-build pkg-config
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # window system: display watch, window redraw, clipboard; a virtual display for the tests
    libx11-dev libxrandr-dev xvfb xauth
    # imaging kit
    libopencv-core-dev libopencv-imgproc-dev libopencv-photo-dev libdeflate-dev
    libpng-dev libjpeg62-turbo-dev
    # filter and paint scripts
    liblua5.1-0-dev
)
case "${1:-}" in
    --bench) packages+=(libpixman-1-dev libmypaint-dev) ;;   # peers measured beside the engine
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;         # libFuzzer and the sanitizer runtimes
esac

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "deps: installing ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
