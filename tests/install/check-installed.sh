#!/usr/bin/env bash
# Installs the built tree into staging folders and checks what a desktop gets from it: every
# file under the prefix and nothing outside it (DESTDIR too), the desktop entry and the
# metainfo validated, the image types offered, the icon at its sizes, the man page, the
# command-line texts without a display, the installed program opening a photo named by a
# file:// address on the offscreen platform, and the installed plug-in finding that program
# through its installation alone.
#
#   check-installed.sh <build folder> <source folder> <version> <plug-in round-trip test> <test program>
set -euo pipefail
build=$1 source=$2 version=$3 roundTrip=$4 testProgram=$5
id=com.marrowby.Quillmoor

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

step "install into a staging prefix"
prefix=$work/prefix/usr
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }
for file in bin/quillmoor etc/xdg/Quillmoor/registry.conf \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/man/man1/quillmoor.1.gz \
    share/icons/hicolor/scalable/apps/$id.svg; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
plugin=$(find "$prefix/lib" -name QuillmoorPlugin.8bf)
[ -n "$plugin" ] || fail "the plug-in is not installed"
for folder in "$source"/data/*/; do
  name=$(basename "$folder")
  [ "$name" = samples ] && continue
  [ -d "$prefix/share/quillmoor/$name" ] || fail "data folder $name is not installed"
  (cd "$folder" && find . -type f ! -name README.md) | while read -r file; do
    cmp -s "$folder/$file" "$prefix/share/quillmoor/$name/$file" || fail "share/quillmoor/$name/$file differs or is missing"
  done
done
[ ! -e "$prefix/share/quillmoor/samples" ] || fail "the sample photos were installed"
demo=$prefix/share/quillmoor/Demo
ls "$demo"/*.dsc >/dev/null 2>&1 || fail "no demonstrations installed"
for script in "$demo"/*.dsc; do
  # the list's picture ("Image=") and the photos the script opens ("ImageOpen <file>, ...")
  sed -nE 's/^\xEF\xBB\xBF//; s/^[[:space:]]*Image[[:space:]]*=[[:space:]]*([^[:space:]]+).*/\1/Ip;
           s/^[[:space:]]*ImageOpen[[:space:]]+"?([^",]+).*/\1/Ip' "$script" | while read -r picture; do
    [ -f "$demo/$picture" ] || fail "$(basename "$script") names $picture, which is not installed beside it"
  done
done
grep -qxF "@=$prefix/bin/quillmoor" "$prefix/etc/xdg/Quillmoor/registry.conf" || fail "registry value"
[ "$(find "$work/prefix" -mindepth 1 -maxdepth 1)" = "$prefix" ] || fail "files outside the prefix"

step "desktop entry, metainfo, icons, man page"
desktop-file-validate "$prefix/share/applications/$id.desktop"
grep -qx 'MimeType=image/jpeg;image/tiff;image/png;image/bmp;' "$prefix/share/applications/$id.desktop" || fail "MimeType"
grep -qE '^Exec=quillmoor %[FU]$' "$prefix/share/applications/$id.desktop" || fail "Exec"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" ||
  { cat "$work/appstream.log"; fail "metainfo"; }
grep -qF "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo release"
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "icon $size"
  # drawn, not empty: the tile's corners are clear, its middle is not
  [ "$(convert "$png" -format '%[fx:p{0,0}.a<0.1 && p{w/2,h/2}.a>0.9]' info:)" = 1 ] || fail "icon $size is not the drawn one"
done
zcat "$prefix/share/man/man1/quillmoor.1.gz" | grep -q "^\.TH QUILLMOOR 1 .*Quillmoor $version" || fail "man page"

step "file managers offer the program for the four image types"
update-desktop-database "$prefix/share/applications"
for type in image/jpeg image/tiff image/png image/bmp; do
  PATH=$prefix/bin:$PATH XDG_DATA_DIRS=$prefix/share XDG_DATA_HOME=$work/data gio mime "$type" >"$work/gio" 2>&1
  grep -q "^Default application for .$type.: $id.desktop" "$work/gio" || { cat "$work/gio"; fail "gio mime $type"; }
done

step "DESTDIR keeps everything inside it"
dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /opt/quillmoor-staging-check >"$work/install-destdir.log"
[ ! -e /opt/quillmoor-staging-check ] || fail "DESTDIR ignored"
[ "$(cd "$dest" && find . -mindepth 1 -maxdepth 1)" = ./opt ] || fail "DESTDIR install wrote outside the prefix"
grep -qxF "@=/opt/quillmoor-staging-check/bin/quillmoor" "$dest/opt/quillmoor-staging-check/etc/xdg/Quillmoor/registry.conf" ||
  fail "registry value under DESTDIR"

step "command line without a display"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run XDG_CONFIG_DIRS=$work/none
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY LANG=C "$prefix/bin/quillmoor" --version)" = "Quillmoor $version" ] || fail "--version"
env -u DISPLAY -u WAYLAND_DISPLAY LANG=de_DE.UTF-8 "$prefix/bin/quillmoor" --help >"$work/help"
grep -q '^Aufruf: quillmoor \[Optionen\]' "$work/help" || { cat "$work/help"; fail "--help in German"; }
grep -q -- '--version' "$work/help" || fail "--help names --version"

step "the installed program opens a photo given as a file:// address"
photo="$work/Fotos ä/photo 1.jpg"
mkdir -p "$(dirname "$photo")"
convert "$source/data/samples/chelsea.png" -quality 90 "$photo"
uri=$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$photo")
case $uri in file://*%20*) ;; *) fail "address $uri is not percent-encoded" ;; esac
LANG=C QT_QPA_PLATFORM=offscreen QUILLMOOR_TEST_STARTUP_REPORT=$work/report \
  timeout 60 "$prefix/bin/quillmoor" "$uri" || fail "the program ended with $?"
cat "$work/report"
languages=$(find "$source/data/Languages" -name '*.ini' | wc -l)
images=$(find "$source/data/icons" -name '[0-9]*-*.svg' | wc -l)
expected="title: Quillmoor
document: $photo
size: 451x300
languages: $languages
images: $images"
[ "$(cat "$work/report")" = "$expected" ] || fail "the report differs from: $expected"
[ -s "$XDG_CONFIG_HOME/Quillmoor/Quillmoor.cfg" ] || fail "no settings written on exit"

step "the shipped program knows none of the test program's hooks"
! grep -q QUILLMOOR_TEST_PLUGIN_EDIT "$prefix/bin/quillmoor" || fail "the installed program honours the image-editing test hook"
! grep -q QUILLMOOR_TEST_QUIT_AFTER_START "$prefix/bin/quillmoor" || fail "the installed program honours a test hook"

step "the installed plug-in starts the installed program"
# The program at the installed place is swapped for the test build, whose hook edits the image
# and confirms as the user would; the plug-in still finds it through the installation alone.
cp "$testProgram" "$prefix/bin/quillmoor"
QM_INSTALLED_PLUGIN=$plugin timeout 120 "$roundTrip" --gtest_brief=1 || fail "round trip through the installed plug-in"
echo "install check passed"
