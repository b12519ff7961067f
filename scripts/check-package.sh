#!/usr/bin/env bash
# Builds the Debian package from a Release build and checks it the way a user's machine sees it:
# its name and files, the menu entry (desktop-file-validate), the AppStream metadata
# (appstreamcli), lintian, and the program installed into a scratch root (dpkg -x) and started
# offscreen through the command on the PATH until it has shown the connection dialog, found its
# keyword files beside itself and coloured a keyword with them. Exits non-zero on any fault.
# Usage: scripts/check-package.sh [build folder]   (default: build-package)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-package}"
app_id=org.tessory.Tessory

fail() {
    echo "check-package: $*" >&2
    exit 1
}

# Debian's own compiler and linker flags (hardening included), as a Debian build would use.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
"$root/scripts/build.sh" "$build" Release -DTESSORY_BUILD_TESTS=OFF -DTESSORY_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" --target tessory_installed_probe
rm -f "$build"/tessory_*.deb
(cd "$build" && cpack -G DEB)

version="$(sed -n 's/^project(Tessory VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
deb="$build/tessory_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || fail "no package $deb"
echo "== $deb"
dpkg-deb --info "$deb"
echo "== files"
dpkg-deb --contents "$deb"
[[ "$(dpkg-deb --field "$deb" Version)" == "$version" ]] || fail "package version differs"
[[ "$(dpkg-deb --field "$deb" Recommends)" == *"odbc-mariadb"* ]] || fail "Recommends lost"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
installed="$scratch/root/usr"
for file in bin/tessory lib/tessory/tessory lib/tessory/KEYWORD_COLOR.CSV \
    lib/tessory/KEYWORD_ARRANGE.CSV "share/applications/$app_id.desktop" \
    "share/metainfo/$app_id.metainfo.xml" "share/icons/hicolor/scalable/apps/$app_id.svg" \
    "share/icons/hicolor/48x48/apps/$app_id.png" "share/icons/hicolor/256x256/apps/$app_id.png" \
    share/doc/tessory/README.md share/doc/tessory/LICENSE share/doc/tessory/copyright \
    share/doc/tessory/changelog.gz share/man/man1/tessory.1.gz; do
    [[ -e "$installed/$file" ]] || fail "the package lacks /usr/$file"
done
[[ "$(readlink "$installed/bin/tessory")" == ../lib/tessory/tessory ]] ||
    fail "/usr/bin/tessory is not the relative link ../lib/tessory/tessory"
for size in 48 256; do
    kind="$(file "$installed/share/icons/hicolor/${size}x${size}/apps/$app_id.png")"
    [[ "$kind" == *"PNG image data, $size x $size"* ]] || fail "the $size px icon is not $size px"
done

echo "== desktop-file-validate"
desktop-file-validate "$installed/share/applications/$app_id.desktop"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$installed/share/metainfo/$app_id.metainfo.xml"
echo "== lintian"
lintian --fail-on error --suppress-tags executable-in-usr-lib "$deb"

echo "== the installed program, offscreen"
mkdir -p "$scratch/home" "$scratch/odbc" "$scratch/runtime"
chmod 700 "$scratch/runtime"
touch "$scratch/odbc/odbc.ini" "$scratch/odbc/odbcinst.ini"
HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_RUNTIME_DIR="$scratch/runtime" \
    ODBCSYSINI="$scratch/odbc" ODBCINI="$scratch/odbc/odbc.ini" QT_QPA_PLATFORM=offscreen \
    LD_PRELOAD="$build/packaging/libtessory_installed_probe.so" \
    timeout 120 "$installed/bin/tessory" || fail "the installed program did not pass (see above)"
echo "check-package: $deb is sound"
