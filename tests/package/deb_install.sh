#!/usr/bin/env bash
# Installs a release's Debian package with apt, as a user would, and removes it again: each
# program is installed once and on PATH through its link, tavrik --version names the version,
# and removing the package leaves none of its files behind. It changes the machine's installed
# packages, so it runs only as root and only where tavrik is not installed already.
# Usage: tests/package/deb_install.sh PACKAGE.deb
set -euo pipefail

deb=$(realpath "${1:?usage: deb_install.sh PACKAGE.deb}")
version=$(dpkg-deb -f "$deb" Version)
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
installed() {
  dpkg-query -W -f='${Status}' tavrik 2>/dev/null | grep -q "install ok installed"
}
if [ "$(id -u)" != 0 ] || installed; then
  echo "deb install: skipped (needs root, and tavrik not installed already)"
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >/dev/null
trap 'installed && apt-get remove -y -qq tavrik >/dev/null' EXIT
files=$(dpkg -L tavrik)
said=$(tavrik --version)
[ "${said%%$'\n'*}" = "tavrik $version" ] || fail "tavrik --version says '$said'"
[ "$(readlink -f "$(command -v tavrik)")" = /usr/libexec/xscreensaver/tavrik ] ||
  fail "tavrik on PATH is not the hack in /usr/libexec/xscreensaver"
[ "$(readlink -f "$(command -v tavrik-settings)")" = /usr/libexec/tavrik/tavrik-settings ] ||
  fail "tavrik-settings on PATH is not /usr/libexec/tavrik/tavrik-settings"

apt-get remove -y -qq tavrik >/dev/null
! installed || fail "apt-get remove left the package installed"
[ -z "$(dpkg-query -W -f='${Status}' tavrik 2>/dev/null | grep config-files)" ] ||
  fail "apt-get remove left the package's configuration"
left=""
while read -r path; do
  # Folders are shared with other packages; every file and link must be gone.
  if [ -e "$path" ] || [ -L "$path" ]; then
    [ -d "$path" ] && [ ! -L "$path" ] || left+=" $path"
  fi
done <<<"$files"
for folder in /usr/libexec/tavrik /usr/share/doc/tavrik; do
  [ ! -e "$folder" ] || left+=" $folder"
done
[ -z "$left" ] || fail "apt-get remove left:$left"
echo "deb install: ok"
