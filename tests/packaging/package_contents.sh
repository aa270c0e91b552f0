#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks what an installed
# system gets: the programs beside their files, launchers that reach them,
# the menu entry with its icons and metadata, and the declared dependencies.
#   package_contents.sh BUILD_DIR PREFIX DESKTOP_DATADIR
set -euo pipefail
build=$1 prefix=$2 share=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no .deb"
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

dpkg -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' >"$work/list"
app=example.calora.Calora
programs="$prefix/lib/calora"
for path in \
    "$programs/calora" "$programs/calora-cli" "$programs/calora-sim" \
    "$programs/English.ini" "$programs/SimpleChinese.ini" "$programs/qxrfw.dat" "$programs/vrn.dak" \
    "$prefix/bin/calora" "$prefix/bin/calora-cli" "$prefix/bin/calora-sim" \
    "$prefix/share/doc/calora/examples/70-calora-hart-modem.rules" \
    "$share/applications/$app.desktop" "$share/metainfo/$app.metainfo.xml"; do
    grep -qxF "$path" "$work/list" || fail "the package lacks $path"
done
for size in 16 24 32 48 64 128 256; do
    grep -qxF "$share/icons/hicolor/${size}x${size}/apps/$app.png" "$work/list" ||
        fail "the package lacks the ${size}-pixel icon"
done

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-wqy-zenhei; do
    grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

# Unpacked as dpkg would, the launchers must reach programs that find their
# language file beside them: a port that cannot be opened gets the English
# file's words, not an empty message.
root="$work/root"
dpkg-deb -x "$deb" "$root"
for program in calora calora-cli calora-sim; do
    [ -L "$root$prefix/bin/$program" ] || fail "$prefix/bin/$program is not a launcher link"
    [ "$(readlink -f "$root$prefix/bin/$program")" = "$(readlink -f "$root$programs/$program")" ] ||
        fail "$prefix/bin/$program does not reach $programs/$program"
done
mkdir -p "$work/ports"
message=$(CALORA_PORTS_DIR="$work/ports" "$root$prefix/bin/calora-cli" --port COM16 get 2>&1 || true)
grep -q "The serial port cannot be opened" <<<"$message" ||
    fail "the installed calora-cli did not find its language file: $message"

desktop="$root$share/applications/$app.desktop"
grep -qxF "Exec=$prefix/bin/calora" "$desktop" || fail "the menu entry does not start $prefix/bin/calora"
grep -qxF "Icon=$app" "$desktop" || fail "the menu entry names another icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root$share/metainfo/$app.metainfo.xml" ||
        fail "appstreamcli rejects the metadata"
fi
echo "package contents, launchers, menu entry and dependencies are as they must be"
