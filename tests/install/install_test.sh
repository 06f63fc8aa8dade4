#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs what was installed: the command-line
# program, the object library where the editor looks, the desktop entry (checked by
# desktop-file-validate when it is installed), the icon and the file types (compiled by
# update-mime-database when it is installed).
# Usage: install_test.sh CMAKE BUILD_DIR
set -euo pipefail
cmake_program=$1
build=$2

prefix=$(mktemp -d /tmp/fw-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

"$cmake_program" --install "$build" --prefix "$prefix" >/dev/null

for f in bin/ferrowrit bin/ferrowrit-cli; do
  [ -x "$prefix/$f" ] || fail "$f is not installed as a program"
done
for f in share/applications/ferrowrit.desktop share/icons/hicolor/scalable/apps/ferrowrit.svg \
  share/mime/packages/ferrowrit.xml; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done
[ ! -e "$prefix/bin/objects" ] || fail "the object library belongs in share, not bin"

"$prefix/bin/ferrowrit-cli" --help | grep -q '^Usage: ferrowrit-cli' || fail "--help"

objects=("$prefix"/share/ferrowrit/objects/*.kvo)
[ -f "${objects[0]}" ] || fail "no object files in share/ferrowrit/objects"
info=$("$prefix/bin/ferrowrit-cli" info "${objects[0]}") || fail "info ${objects[0]}"
echo "$info" | grep -qi 'pins' || fail "info says nothing about pins: $info"

desktop="$prefix/share/applications/ferrowrit.desktop"
grep -qx 'Exec=ferrowrit %f' "$desktop" || fail "Exec line"
grep -qx 'MimeType=application/x-ferrowrit-project;' "$desktop" || fail "MimeType line"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate is not installed: the desktop entry was not validated"
fi

if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
  grep -q 'application/x-ferrowrit-project:\*\.kvd' "$prefix/share/mime/globs" || fail "kvd glob"
  grep -q 'application/x-ferrowrit-object:\*\.kvo' "$prefix/share/mime/globs" || fail "kvo glob"
else
  echo "update-mime-database is not installed: the file types were not compiled"
fi
echo "installed and ran from $prefix"
