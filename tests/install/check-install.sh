#!/bin/sh
# Installs the build into a temporary prefix, moves the installed tree to
# another place (it must not depend on where it was installed, nor on the
# build tree), and checks that everything a desktop needs is there and that
# both programs start and find the plug-ins installed with them.
# Usage: check-install.sh BUILD_DIR SAMPLE_ARCHIVE
set -eu
build=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install tree: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/first" >/dev/null
mv "$work/first" "$work/moved"
prefix=$work/moved

for file in bin/mireva bin/mireva-cli lib/mireva/libspimem.so \
            lib/mireva/mvjpeg.spi lib/mireva/mvpng.spi lib/mireva/mvgif.spi lib/mireva/mvwebp.spi \
            lib/mireva/mvtiff.spi lib/mireva/mvavif.spi lib/mireva/mvarchive.spi \
            share/applications/org.mireva.Mireva.desktop share/metainfo/org.mireva.Mireva.metainfo.xml \
            share/icons/hicolor/scalable/apps/org.mireva.Mireva.svg \
            share/man/man1/mireva.1.gz share/man/man1/mireva-cli.1.gz share/doc/mireva/copyright; do
  [ -f "$prefix/$file" ] || fail "$file is missing"
done
desktop-file-validate "$prefix/share/applications/org.mireva.Mireva.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$prefix/share/metainfo/org.mireva.Mireva.metainfo.xml" >/dev/null ||
  fail "the metainfo is not valid"
for binary in "$prefix"/bin/* "$prefix"/lib/mireva/*; do
  if readelf -d "$binary" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
    fail "$binary looks for libraries in the build tree"
  fi
done

# Nothing of the user's may be read or written: a data folder of its own,
# and no other plug-in folder.
export MIREVA_HOME="$work/home" SUSIE_PLUGIN_PATH="$work/none" XDG_DATA_HOME="$work/data"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR=
[ "$("$prefix/bin/mireva-cli" --version)" = "$("$prefix/bin/mireva-cli" version)" ] || fail "mireva-cli --version differs"
"$prefix/bin/mireva-cli" --version | grep -qE '^mireva-cli [0-9]+\.[0-9]+\.[0-9]+$' || fail "mireva-cli --version"
"$prefix/bin/mireva" --version | grep -qE '^mireva [0-9]+\.[0-9]+\.[0-9]+$' || fail "mireva --version"

plugins=$("$prefix/bin/mireva-cli" plugins)
for name in mvjpeg mvpng mvgif mvwebp mvtiff mvavif mvarchive; do
  echo "$plugins" | grep -q "^$name\.spi	.*	enabled	" || fail "$name.spi was not found: $plugins"
done

# A page of the sample book read through the installed archive plug-in,
# written as PNG and read back through the installed PNG plug-in.
member=$("$prefix/bin/mireva-cli" archive list "$sample" | cut -f1 | grep -iE '\.(bmp|png|jpe?g)$' | head -n 1)
[ -n "$member" ] || fail "the sample book lists no pages"
"$prefix/bin/mireva-cli" archive extract "$sample" "$member" "$work/page" >/dev/null
"$prefix/bin/mireva-cli" load "$work/page" "$work/page.png" >/dev/null
"$prefix/bin/mireva-cli" detect "$work/page.png" | grep -q '^Loader=mvpng\.spi$' || fail "the PNG plug-in does not read"

"$prefix/bin/mireva" --snapshot "$work/shot.png" --no-save "$sample" >/dev/null || fail "the viewer did not start"
[ -s "$work/shot.png" ] || fail "the viewer's snapshot is empty"

# The viewer's data folder is the configuration folder, not its own
# (writable) folder, once it is installed.
unset MIREVA_HOME
"$prefix/bin/mireva-cli" settings dump >/dev/null
[ ! -e "$prefix/lib/mireva/Mireva.ini" ] && [ ! -e "$prefix/bin/Mireva.ini" ] || fail "settings were written into the program's folder"
[ -d "$work/config/Mireva" ] || fail "the configuration folder was not used"
echo "install tree complete: $prefix"
