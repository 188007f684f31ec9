#!/usr/bin/env bash
# Builds the Debian package with CPack into a scratch folder and checks it: dependencies
# computed from the linked libraries, every file under /usr, the plug-in's registry value
# naming /usr/bin/quillmoor, stripped binaries.
#
#   check-package.sh <build folder> <version>
set -euo pipefail
build=$1 version=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack --config CPackConfig.cmake -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(find "$work" -maxdepth 1 -name "quillmoor_${version}_*.deb")
[ -n "$deb" ] || fail "no package named quillmoor_${version}_*.deb"
dpkg-deb --info "$deb"

depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libturbojpeg0 libjpeg62-turbo \
    libpng16-16 libtiff6 libexiv2-27 libhwy1 liblcms2-2; do
  [[ ", $depends," == *", $library "* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb --field "$deb" Recommends)" = qt6-translations-l10n ] || fail "Recommends"

dpkg-deb --contents "$deb" | awk '{print $6}' >"$work/files"
outside=$(grep -v '^\./usr/' "$work/files" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
for file in ./usr/bin/quillmoor ./usr/share/applications/com.marrowby.Quillmoor.desktop \
    ./usr/share/quillmoor/Languages/English.ini ./usr/etc/xdg/Quillmoor/registry.conf; do
  grep -qxF "$file" "$work/files" || fail "$file is not in the package"
done
grep -q '/quillmoor/plugins/QuillmoorPlugin\.8bf$' "$work/files" || fail "the plug-in is not in the package"

mkdir "$work/root"
dpkg-deb --extract "$deb" "$work/root"
grep -qxF "@=/usr/bin/quillmoor" "$work/root/usr/etc/xdg/Quillmoor/registry.conf" || fail "registry value"
file "$work/root/usr/bin/quillmoor" | grep -q ', stripped' || fail "the program is not stripped"
echo "package check passed"
