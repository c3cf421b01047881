#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, when it is missing.
#
#   scripts/install-deps.sh run     # enough to build and start the controller
#   scripts/install-deps.sh test    # everything: tests, fuzzing, benchmarks, installer
set -euo pipefail
# The Windows build configures its test programs, the command line and the installers too,
# so GoogleTest's sources, CLI11, the JSON library, NSIS and wixl are needed even just to
# run the controller.
packages=(cmake ninja-build g++ mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb imagemagick
          fonts-dejavu-core googletest libcli11-dev nlohmann-json3-dev nsis wixl msitools)
if [ "${1:-test}" = test ]; then
  packages+=(libbenchmark-dev clang libclang-rt-14-dev libssl-dev help2man lintian dpkg-dev file)
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
