#!/usr/bin/env bash
# Builds the Windows Installer package of a tavrik.scr with wixl, from resources/win32/tavrik.wxs.
# ARCH is x86 for the 32-bit saver that a release ships, or x64 for the 64-bit build that the
# tests install under 64-bit Wine. The same inputs give the same package, byte for byte: every
# code in it is derived from the architecture, the version and the saver's contents, and its
# time stamps come from SOURCE_DATE_EPOCH (else the last commit's time). wixl takes the time of
# day and a random package code of its own, so it runs under faketime and the package code is
# set afterwards.
# Usage: scripts/make-msi.sh SAVER.scr x86|x64 VERSION OUT.msi
set -euo pipefail

[ $# = 4 ] || {
  echo "usage: scripts/make-msi.sh SAVER.scr x86|x64 VERSION OUT.msi" >&2
  exit 2
}
saver=$(realpath "$1") arch=$2 version=$3 out=$(realpath -m "$4")
cd "$(dirname "$0")/.."
# The homepage (About and Help in Add/Remove Programs) is the project's, from CMakeLists.txt.
homepage=$(sed -n 's/^project(tavrik .*HOMEPAGE_URL "\([^"]*\)".*/\1/p' CMakeLists.txt)
case "$arch" in
  x86) system_folder=SystemFolder ;;
  x64) system_folder=System64Folder ;;
  *)
    echo "make-msi.sh: the architecture is x86 or x64, not '$arch'" >&2
    exit 2
    ;;
esac

# A name-based GUID (the form of version 5): the same name always gives the same GUID.
guid() {
  local h
  h=$(printf 'tavrik %s' "$1" | sha1sum)
  printf '%s-%s-5%s-%x%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" $(((0x${h:16:1} & 3) | 8)) \
    "${h:17:3}" "${h:20:12}" | tr a-f A-F
}
saver_sum=$(sha256sum "$saver" | cut -c1-64)

# wixl takes the files by names relative to the folder it runs in.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$saver" "$stage/tavrik.scr"
cp resources/win32/tavrik.ico resources/win32/tavrik.wxs "$stage/"
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
touch --date "@$epoch" "$stage"/*
cd "$stage"
TZ=UTC faketime -f "$(date -u --date "@$epoch" '+%Y-%m-%d %H:%M:%S')" wixl --arch "$arch" --output "$out" \
  -D Version="$version" \
  -D Homepage="$homepage" \
  -D SystemFolder="$system_folder" \
  -D Saver=tavrik.scr \
  -D Icon=tavrik.ico \
  -D UpgradeCode="$(guid "upgrade $arch")" \
  -D ComponentGuid="$(guid "component $arch")" \
  -D ProductCode="$(guid "product $arch $version")" \
  tavrik.wxs
msibuild "$out" -s "TAVRIK screen saver $version" "The TAVRIK developers" "$(msiinfo suminfo "$out" |
  sed -n 's/^Template: //p')" "{$(guid "package $arch $version $saver_sum")}"
