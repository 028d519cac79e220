#!/usr/bin/env bash
# Checks the artifacts of a release (scripts/release.sh runs it on each one it builds): all five
# and their checksums; the one version V everywhere it shows (the package, tavrik --version,
# the manual pages, the changelog, the Windows version resource and manifest, the dialog's
# banner, the installer, the file names); the Linux package's files; and the shipped
# tavrik.scr: a stripped 32-bit GUI program with its resources, the Windows that README.txt
# names in its header, and exactly the imports listed in tavrik-scr-imports.txt.
# Usage: tests/package/release_check.sh DIST VERSION
set -euo pipefail

dist=$(realpath "${1:?usage: release_check.sh DIST VERSION}")
version=${2:?usage: release_check.sh DIST VERSION}
here=$(cd "$(dirname "$0")" && pwd)
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

deb=tavrik_${version}_amd64.deb
zip=tavrik-$version-windows.zip
msi=tavrik-$version.msi
tarball=tavrik-$version.tar.gz
expected=$(printf '%s\n' SHA256SUMS "$deb" "$msi" "$tarball" "$zip" | LC_ALL=C sort)
[ "$(ls "$dist" | LC_ALL=C sort)" = "$expected" ] ||
  fail "the release holds $(ls "$dist" | tr '\n' ' '), not $(tr '\n' ' ' <<<"$expected")"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"

# The Linux package.
"$here/deb_check.sh" "$dist/$deb" >/dev/null
[ "$(dpkg-deb -f "$dist/$deb" Version)" = "$version" ] || fail "the package's version is not $version"
dpkg-deb -x "$dist/$deb" linux
said=$(linux/usr/libexec/xscreensaver/tavrik --version)
[ "${said%%$'\n'*}" = "tavrik $version" ] || fail "tavrik --version says '$said'"
for page in tavrik tavrik-settings; do
  grep -q "^\.TH .*\"tavrik $version\"" <<<"$(zcat "linux/usr/share/man/man6/$page.6.gz")" ||
    fail "the manual page $page(6) does not name version $version"
done
grep -q "^tavrik ($version) " <<<"$(zcat linux/usr/share/doc/tavrik/changelog.gz | head -n 1)" ||
  fail "the changelog's first entry is not version $version"
grep -q '^License: MIT$' linux/usr/share/doc/tavrik/copyright || fail "the copyright is not MIT"

# The Windows archive.
unzip -q "$dist/$zip" -d windows
[ "$(ls windows | tr '\n' ' ')" = "LICENSE.txt README.txt tavrik.scr " ] ||
  fail "the archive holds $(ls windows | tr '\n' ' ')"
for text in README.txt LICENSE.txt; do
  [ -z "$(grep -v $'\r$' "windows/$text")" ] || fail "$text has lines without CRLF"
done
grep -q "MIT License" windows/LICENSE.txt || fail "LICENSE.txt is not the MIT licence"
grep -q "TAVRIK screen saver $version" windows/README.txt || fail "README.txt does not name $version"
grep -q "Windows XP SP3" windows/README.txt || fail "README.txt does not name Windows XP SP3"
grep -q "SSE2" windows/README.txt || fail "README.txt does not name the processor it needs"

scr=windows/tavrik.scr
objdump=i686-w64-mingw32-objdump
grep -q "file format pei-i386" <<<"$($objdump -f "$scr")" || fail "tavrik.scr is not a 32-bit program"
header=$($objdump -p "$scr")
field() {
  awk -v name="$1" '$1 == name {print $2}' <<<"$header"
}
[ "$(field Subsystem)" = 00000002 ] || fail "tavrik.scr is not a GUI program"
# Windows XP is version 5.1.
[ "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)" = 5.1 ] ||
  fail "the subsystem version is not 5.1 (Windows XP)"
[ "$(field MajorOSystemVersion).$(field MinorOSystemVersion)" = 5.1 ] ||
  fail "the operating system version is not 5.1 (Windows XP)"
! grep -q '\.debug' <<<"$($objdump -h "$scr")" || fail "tavrik.scr is not stripped"
# The imports as DLL!function, DLL names in lower case.
awk '/DLL Name:/ {dll = tolower($3)} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ && dll {print dll "!" $3}' \
  <<<"$header" | LC_ALL=C sort >imports.txt
diff -u "$here/tavrik-scr-imports.txt" imports.txt ||
  fail "tavrik.scr's imports differ from tests/package/tavrik-scr-imports.txt"

i686-w64-mingw32-windres -i "$scr" -O rc -o resources.rc
grep -q '^102 DIALOGEX' resources.rc || fail "no dialog 102"
grep -q '^103 2 /\* RT_BITMAP \*/' resources.rc || fail "no logo bitmap 103"
grep -q '^"IDI_ICON" 14 /\* RT_GROUP_ICON \*/' resources.rc || fail "no icon IDI_ICON"
grep -q '/\* RT_MANIFEST \*/' resources.rc || fail "no manifest"
IFS=. read -r major minor patch <<<"$version"
grep -q "FILEVERSION $major, $minor, $patch, 0" resources.rc || fail "FILEVERSION is not $version"
for name in FileVersion ProductVersion; do
  grep -q "VALUE \"$name\", \"$version\"" resources.rc || fail "$name is not $version"
done
grep -q 'VALUE "LegalCopyright", ".*The TAVRIK developers.*MIT' resources.rc ||
  fail "no MIT LegalCopyright"
grep -aq "version=\"$version.0\"" "$scr" || fail "the manifest's version is not $version.0"
grep -aq "TAVRIK version $version" "$scr" || fail "the dialog's banner does not say $version"

# The installer: the same saver, into the system folder, with the version and an icon.
msiinfo export "$dist/$msi" Property | tr -d '\r' >property.idt
grep -q "^ProductVersion	$version$" property.idt || fail "the installer's version is not $version"
grep -q "^Manufacturer	The TAVRIK developers$" property.idt || fail "the installer names no publisher"
grep -q "^ARPPRODUCTICON	" property.idt || fail "the installer has no icon"
grep -q '^SystemFolder' <<<"$(msiinfo export "$dist/$msi" Directory)" ||
  fail "the installer does not install into the system folder"
msiextract -C msi "$dist/$msi" >/dev/null
cmp -s "$(find msi -name tavrik.scr)" "$scr" || fail "the installer's tavrik.scr is not the archive's"

# The sources.
tar -xzf "$dist/$tarball"
[ -f "tavrik-$version/LICENSE" ] ||
  fail "the source archive has no tavrik-$version/LICENSE"
grep -q "^project(tavrik VERSION $version " "tavrik-$version/CMakeLists.txt" ||
  fail "the source archive is not version $version"
echo "release $version: ok"
