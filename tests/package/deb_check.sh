#!/usr/bin/env bash
# Checks a built Debian package of TAVRIK: exactly the files an install must hold, a desktop
# entry that runs the installed hack, dependencies found by dpkg-shlibdeps, and no lintian
# finding at all.
# Usage: tests/package/deb_check.sh build/package/tavrik_VERSION_ARCH.deb
set -euo pipefail

deb=${1:?usage: deb_check.sh PACKAGE.deb}
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

expected="./usr/libexec/tavrik/tavrik-settings
./usr/libexec/xscreensaver/tavrik
./usr/share/applications/screensavers/tavrik.desktop
./usr/share/applications/tavrik-settings.desktop
./usr/share/doc/tavrik/changelog.gz
./usr/share/doc/tavrik/copyright
./usr/share/man/man6/tavrik-settings.6.gz
./usr/share/man/man6/tavrik.6.gz
./usr/share/xscreensaver/config/tavrik.xml"
# Regular files only: the folders follow from them.
files=$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ {print $6}' | LC_ALL=C sort)
[ "$files" = "$expected" ] ||
  fail "the package's files differ: $(diff <(echo "$expected") <(echo "$files") || true)"
[ -z "$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')" ] || fail "files not owned by root"
# Each program once, on PATH through a relative link.
links=$(dpkg-deb -c "$deb" | awk '$1 ~ /^l/ {print $6, $7, $8}' | LC_ALL=C sort)
[ "$links" = "./usr/bin/tavrik -> ../libexec/xscreensaver/tavrik
./usr/bin/tavrik-settings -> ../libexec/tavrik/tavrik-settings" ] || fail "the links in bin are: $links"

entry=$(dpkg-deb --fsys-tarfile "$deb" |
  tar -xOf - ./usr/share/applications/screensavers/tavrik.desktop)
grep -qx 'Exec=/usr/libexec/xscreensaver/tavrik --root' <<<"$entry" ||
  fail "the desktop entry does not run the installed hack: $entry"
[ -n "$(dpkg-deb -f "$deb" Homepage)" ] || fail "the package names no homepage"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2 libx11 libpng libgtk-3; do
  grep -q "$library" <<<"$depends" || fail "no dependency on $library: $depends"
done

# Lintian warns that running as root is not recommended; that is no finding about the package.
# Every finding fails, down to the pedantic ones.
status=0
lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$deb" 2>&1 |
  grep -v 'running with root privileges' || status=${PIPESTATUS[0]}
[ "$status" = 0 ] || fail "lintian has findings about $deb"
echo "package: ok"
