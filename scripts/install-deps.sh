#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Harvestline need.
# Only missing packages are installed; a machine that has them all is left untouched.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev zlib1g-dev libpcre2-dev libssl-dev libssl3
    libgtest-dev libgmock-dev
    # peers the interoperability tests start on loopback
    nginx-light tinyproxy microsocks python3 python3-pyftpdlib openssl curl
    # offscreen and screenshot runs of the window; real key presses and clicks under Xvfb
    xvfb xauth xdotool
    # installed files: man page from --help, icon PNGs, and the checks of the installed copy
    help2man librsvg2-bin desktop-file-utils appstream bash-completion man-db
)
if [ "${1:-}" = "--bench" ]; then packages+=(wget aria2 hyperfine valgrind); fi
if [ "${1:-}" = "--fuzz" ]; then packages+=(clang libclang-rt-14-dev); fi
if [ "${1:-}" = "--package" ]; then packages+=(dpkg-dev file lintian); fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# nginx and tinyproxy start system-wide services on install; the tests run their own copies on
# loopback, so keep the packaged services from starting (and from listening on every interface).
policy=/usr/sbin/policy-rc.d
added_policy=0
if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
    $sudo chmod +x "$policy"
    added_policy=1
fi
trap '[ $added_policy -eq 1 ] && $sudo rm -f "$policy"' EXIT

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
