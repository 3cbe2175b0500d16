#!/usr/bin/env bash
# The Debian package: made with CPack from the build tree, its control fields and file list read
# with dpkg-deb, then unpacked and run as an installed tree (city database lookup, a picture of the
# screen) with its desktop entry and AppStream metainfo validated.
#   package_test.sh BUILD_DIR
set -euo pipefail

build=$1
work=$(mktemp -d /tmp/ringlog-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    exit 1
}
deb=$(ls "$work"/out/*.deb)
[ "$(basename "$deb")" = "zonrik-ringlog_1.6.0_$(dpkg --print-architecture).deb" ] || fail "package file $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zonrik-ringlog ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.6.0 ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = comm ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libsqlite3-0 libstdc++6 libc6 fonts-dejavu-core fonts-dejavu-extra; do
    echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -Fxq "$needed" || fail "Depends lacks $needed: $depends"
done
# Built on Qt's private interface (the phone's Wayland text input), it holds only for that Qt.
if dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/ringlog | grep -aq libwayland-client; then
    for needed in libwayland-client0 qt6-base-abi; do
        echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -Fxq "$needed" || fail "Depends lacks $needed: $depends"
    done
    echo "$depends" | grep -Eq "qt6-base-abi \(= 6\.[0-9]+\.[0-9]+\)" || fail "qt6-base-abi without its release: $depends"
fi
# The address books are read through a library; the address-book server is never required.
echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -Fxq evolution-data-server && fail "Depends requires the address-book server: $depends"
[ "$(field Suggests)" = evolution-data-server ] || fail "Suggests: $(field Suggests)"

# Exactly these files, nothing else (directories aside).
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/files"
cat >"$work/expected" <<'LIST'
./usr/bin/ringlog
./usr/bin/ringlog-tool
./usr/lib/ringlog/ringlog-addressbooks.so
./usr/share/applications/com.zonrik.Ringlog.desktop
./usr/share/icons/hicolor/128x128/apps/com.zonrik.Ringlog.png
./usr/share/icons/hicolor/48x48/apps/com.zonrik.Ringlog.png
./usr/share/icons/hicolor/64x64/apps/com.zonrik.Ringlog.png
./usr/share/icons/hicolor/scalable/apps/com.zonrik.Ringlog.svg
./usr/share/man/man1/ringlog-tool.1.gz
./usr/share/man/man1/ringlog.1.gz
./usr/share/metainfo/com.zonrik.Ringlog.metainfo.xml
./usr/share/zonrik/Zonrik.dll
LIST
diff -u "$work/expected" "$work/files" >&2 || fail "file list differs"

root="$work/root"
dpkg-deb -x "$deb" "$root"
for size in 48 64 128; do
    file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/com.zonrik.Ringlog.png" | grep -q "$size x $size" ||
        fail "icon of $size pixels is not $size x $size"
done
grep -qx 'X-Purism-FormFactor=Workstation;Mobile;' "$root/usr/share/applications/com.zonrik.Ringlog.desktop" ||
    fail "the desktop entry is not marked for phones"
desktop-file-validate "$root/usr/share/applications/com.zonrik.Ringlog.desktop" >&2 || fail "desktop entry invalid"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.zonrik.Ringlog.metainfo.xml" >&2 ||
    fail "metainfo rejected by appstreamcli"
grep -qx 'StartupWMClass=ringlog' "$root/usr/share/applications/com.zonrik.Ringlog.desktop" ||
    fail "the desktop entry does not name the window's class"
zcat "$root/usr/share/man/man1/ringlog.1.gz" | grep -q 'fullscreen' || fail "ringlog's man page"
zcat "$root/usr/share/man/man1/ringlog-tool.1.gz" | grep -q 'import' || fail "ringlog-tool's man page"
for page in ringlog ringlog-tool; do
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -qF "\"$page (Zonrik Ringlog) 1.6.0\"" ||
        fail "$page's man page does not give what --version prints"
done

# The unpacked programs find their city database from where they lie, as an installed tree does.
place=$("$root/usr/bin/ringlog-tool" lookup 206386) || fail "ringlog-tool lookup failed"
[ "$place" = "Seattle, WA" ] || fail "lookup 206386 gave '$place'"
RINGLOG_RUNTIME_DIR=$work XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/ringlog" --store "$work/phone.db" --screenshot "$work/screen.png" 2>/dev/null ||
    fail "ringlog --screenshot failed"
file -b "$work/screen.png" | grep -q 'PNG image' || fail "no picture of the screen"
[ "$("$root/usr/bin/ringlog" --version)" = "ringlog (Zonrik Ringlog) 1.6.0" ] || fail "ringlog --version"

# The unpacked tool names a caller from a vCard folder through the address-book module beside it.
home="$work/home"
mkdir -p "$home/.local/share/kpeoplevcard"
printf 'BEGIN:VCARD\nVERSION:3.0\nFN:Grace Hopper\nTEL;TYPE=CELL:206-386-1234\nEND:VCARD\n' \
    >"$home/.local/share/kpeoplevcard/grace.vcf"
"$root/usr/bin/ringlog-tool" --store "$work/names.db" add --type incoming --start "2026-12-09 10:00:00" \
    --number 2063861234 >/dev/null || fail "ringlog-tool add failed"
named=$(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent \
    "$root/usr/bin/ringlog-tool" --store "$work/names.db" list) || fail "ringlog-tool list failed"
echo "$named" | grep -q "Grace Hopper" || fail "no name from the vCard folder through the module: $named"

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb") checked"
