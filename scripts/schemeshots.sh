#!/usr/bin/env bash
# The pictures of the colour schemes in docs/: the demo call log on a phone's 360 x 720 screen at
# scale factor 2, light and dark, each chosen as a user chooses it (GNOME's color-scheme setting,
# read through the real settings portal of a session of the tests' launcher).
#   schemeshots.sh BUILD_DIR OUT_DIR
set -euo pipefail
if [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    export RINGLOG_DESKTOP_SCREEN=720x1440x24
    exec bash "$(dirname "$0")/../tests/support/withdesktop.sh" --portal bash "$0" "$@"
fi
bin="$1/bin"
out="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/ringlog-tool" --store "$work/phone.db" demo >/dev/null
export TZ=UTC LC_ALL=C QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 RINGLOG_RUNTIME_DIR="$work"
for scheme in light dark; do
    [ "$scheme" = dark ] && setting=prefer-dark || setting=default
    gsettings set org.gnome.desktop.interface color-scheme "$setting"
    "$bin/ringlog" --store "$work/phone.db" --screenshot "$out/scale2-list-$scheme.png"
done
