#!/usr/bin/env bash
# The pictures of Find and This Number in docs/: the Find dialog, the list under a search and the
# list of one number's calls, on a small sample log, at 240 x 320 and on a phone's 360 x 720 screen
# at scale factor 2.
#   featureshots.sh BUILD_DIR OUT_DIR
set -euo pipefail
bin="$1/bin"
out="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
store="$work/phone.db"
add() { "$bin/ringlog-tool" --store "$store" add "$@" >/dev/null; }
# One number in three written forms, among calls from elsewhere and one more from Seattle.
add --type incoming --start "2026-12-09 14:50:00Z" --number "(206) 386-1234" --name "Anna Müller"
add --type missed --start "2026-12-09 13:20:00Z" --number 4258826683
add --type outgoing --start "2026-12-08 18:05:00Z" --number "+12063861234" --name "Anna Müller"
add --type incoming --start "2026-12-08 09:41:00Z" --number 2063860000 --name "Grace Hopper"
add --type outgoing --start "2026-12-07 16:12:00Z" --number 2125550100 --name "Zoë O'Brien"
add --type missed --start "2026-12-06 11:30:00Z" --number "tel:+1-206-386-1234" --name "Anna Müller"
add --type incoming --start "2026-12-05 08:02:00Z" --number 3125550199
export TZ=UTC LC_ALL=C
# The drawn phone at 240 x 320 off screen; the phone's screen at scale 2 on a display of its size in
# device pixels, as the other scaled pictures are taken.
"$bin/dialogshots" --find "$store" 240x320 "$out/small"
RINGLOG_DESKTOP_SCREEN=720x1440x24 QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 \
    bash "$(dirname "$0")/../tests/support/withdesktop.sh" --display-only \
    "$bin/dialogshots" --find "$store" 360x720 "$out/scale2"
