#!/usr/bin/env bash
# Installs what building and testing velistra.exe needs on Debian 12, as
# root, and does nothing when all of it is there already:
#   - the host toolchain and GoogleTest, for the logic's unit tests;
#   - mingw-w64 for 32-bit Windows, for velistra.exe itself;
#   - Wine with its 32-bit half, Xvfb and xdotool, for the end-to-end tests.
# Where the kernel cannot run 32-bit x86 programs (some virtual machines
# allow 64-bit code only), 32-bit Wine runs under qemu's user-mode emulator,
# registered here for i386 programs.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libgmock-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 wine64 wine32-preloader:i386 wine64-preloader
  xvfb xdotool
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "setup: installing needs root: run this as root" >&2
    exit 1
  fi
}

updated=no

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

if ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
  echo "setup: adding the i386 architecture"
  as_root dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done

apt_install() {
  if [ "$updated" != yes ]; then
    as_root apt-get update -qq
    updated=yes
  fi
  echo "setup: installing $*"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

[ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"

# 32-bit Wine needs the kernel to run i386 programs, or an emulator for them.
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if ! runs_i386; then
  installed qemu-user-static || apt_install qemu-user-static
  binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if [ ! -e "$binfmt/qemu-i386" ]; then
    echo "setup: running i386 programs under qemu-i386"
    # ELF, 32-bit, little-endian, executable or shared object, machine i386.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      as_root tee "$binfmt/register" >/dev/null
  fi
  runs_i386 || { echo "setup: this machine cannot run 32-bit Wine" >&2; exit 1; }
fi
