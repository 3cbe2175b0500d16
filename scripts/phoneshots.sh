#!/usr/bin/env bash
# The pictures of the program on a phone in docs/: the demo call log in the phone's own compositor
# (720 x 1440 at scale 2) with its on-screen keyboard, in one session of the tests' launcher. The
# list, the soft-key menu open, and the reverse lookup with the keyboard up, each in the light and
# the dark scheme, chosen as a user chooses it (GNOME's color-scheme setting, read through the real
# settings portal) while the program runs.
#   phoneshots.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
if [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    export RINGLOG_PHONE_SEAT="${RINGLOG_PHONE_SEAT:-$build/bin/phoneseat}"
    exec bash "$(dirname "$0")/../tests/support/withdesktop.sh" --phone --keyboard --portal bash "$0" "$@"
fi
bin="$build/bin"
out="$2"
output=HEADLESS-1
width=720
work=$(mktemp -d)
helpers=()
finish() {
    local pid
    for pid in "${helpers[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap finish EXIT

# Waits until the command succeeds, ten seconds at most.
wait_for() {
    local what=$1
    shift
    local deadline=$((SECONDS + 10))
    until "$@"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "phoneshots: $what did not happen within 10 s" >&2
            return 1
        fi
        sleep 0.1
    done
}

# The output as raw pixels: a binary PPM, three lines of header and then rows of RGB bytes.
shoot() {
    grim -t ppm -o "$output" "$1"
}

# The picture's rows from the given one down.
rows_from() {
    local header
    header=$(head -n 3 "$1" | wc -c)
    tail -c +$((header + $2 * width * 3 + 1)) "$1"
}

# The red, green and blue of one pixel of the picture.
pixel() {
    local header
    header=$(head -n 3 "$1" | wc -c)
    od -An -tu1 -j $((header + ($3 * width + $2) * 3)) -N3 "$1"
}

# Whether every channel of the pixel is above (light) or below (dark) the bound.
pixel_is() {
    local shade=$1 r g b
    read -r r g b < <(pixel "$2" "$3" "$4")
    if [ "$shade" = light ]; then
        [ "$r" -gt 230 ] && [ "$g" -gt 230 ] && [ "$b" -gt 230 ]
    else
        [ "$r" -lt 60 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]
    fi
}

# Whether the pixel is the navigation bar's blue.
is_blue() {
    local r g b
    read -r r g b < <(pixel "$1" "$2" "$3")
    [ "$b" -gt 100 ] && [ "$b" -gt $((r + 40)) ]
}

# Whether the list is drawn in the scheme: the navigation bar's blue at the top, the blue column
# of the icons on the left, and the blank part of a row low on the screen white or dark.
list_shows() {
    shoot "$work/probe.ppm" || return 1
    is_blue "$work/probe.ppm" 4 4 && is_blue "$work/probe.ppm" 4 700 && pixel_is "$1" "$work/probe.ppm" 400 1060
}

# Whether a dialog covers the list: the screen's background where the icons' column was.
dialog_shows() {
    shoot "$work/probe.ppm" || return 1
    is_blue "$work/probe.ppm" 4 4 && pixel_is "$1" "$work/probe.ppm" 4 700
}

# Whether the screen differs from the picture.
screen_differs_from() {
    shoot "$work/probe.ppm" || return 1
    ! cmp -s "$work/probe.ppm" "$1"
}

# Keeps the output as the named picture once three pictures in a row, 0.3 s apart, agree from the
# given pixel row down (above it a text cursor may blink); its pixels stay in kept.ppm.
keep_settled() {
    local name=$1 from=${2:-0} deadline=$((SECONDS + 10)) same=0
    shoot "$work/before.ppm"
    while [ "$same" -lt 2 ]; do
        sleep 0.3
        shoot "$work/after.ppm"
        if cmp -s <(rows_from "$work/before.ppm" "$from") <(rows_from "$work/after.ppm" "$from"); then
            same=$((same + 1))
        else
            same=0
        fi
        if [ "$same" -lt 2 ] && [ "$SECONDS" -ge "$deadline" ]; then
            echo "phoneshots: the screen for $name did not settle within 10 s" >&2
            return 1
        fi
        mv "$work/after.ppm" "$work/before.ppm"
    done
    mv "$work/before.ppm" "$work/kept.ppm"
    grim -o "$output" "$out/$name"
}

has_keyboard_focus() {
    grep -Eq 'wl_keyboard@[0-9]+\.enter\(' "$work/wayland.log"
}

# The popups the program has open: made less destroyed, from its Wayland log.
popups_open() {
    local made gone
    made=$(grep -c 'get_popup(' "$work/wayland.log" || true)
    gone=$(grep -Ec -- '-> xdg_popup@[0-9]+\.destroy\(' "$work/wayland.log" || true)
    [ $((made - gone)) -eq "$1" ]
}

keyboard_visible() {
    [ "$(busctl --user get-property sm.puri.OSK0 /sm/puri/OSK0 sm.puri.OSK0 Visible 2>/dev/null)" = "b $1" ]
}

"$bin/ringlog-tool" --store "$work/phone.db" demo >/dev/null
# A full-screen window goes to the output by direct scan-out, which a headless picture reads as
# black: upside down the compositor has to compose the screen, and grim turns the picture back.
# Turned once, before the program starts: turning it closes any open popup.
wlr-randr --output "$output" --transform 180
gsettings set org.gnome.desktop.interface color-scheme default
# The virtual keyboard of wtype lives only while it runs: one runs for the whole session, and each
# key sequence goes with another.
wtype -s 600000 &
helpers+=($!)
TZ=UTC LC_ALL=C RINGLOG_RUNTIME_DIR="$work" WAYLAND_DEBUG=client \
    "$bin/ringlog" --store "$work/phone.db" 2>"$work/wayland.log" &
helpers+=($!)
wait_for "the program's keyboard focus" has_keyboard_focus

# The list and the menu in each scheme, switched while the program runs.
for scheme in light dark; do
    [ "$scheme" = dark ] && setting=prefer-dark || setting=default
    gsettings set org.gnome.desktop.interface color-scheme "$setting"
    wait_for "the $scheme list" list_shows "$scheme"
    keep_settled "phone-list-$scheme.png"
    mv "$work/kept.ppm" "$work/list.ppm"

    wtype -k F2
    wait_for "the soft-key menu" popups_open 1
    wait_for "the menu's drawing" screen_differs_from "$work/list.ppm"
    keep_settled "phone-menu-$scheme.png"
    wtype -k Escape
    wait_for "the menu's closing" popups_open 0
    wait_for "the list again" list_shows "$scheme"
done

# The reverse lookup, dark, then light: the dialog follows the switch with the keyboard up. It stays
# open, so that no tap brings the pointer's arrow onto the screen.
wtype -k F2
wait_for "the soft-key menu" popups_open 1
# From the menu's first item up past Quit, About and Export Calls.
wtype -k Up -k Up -k Up -k Up -k Return
wait_for "the reverse lookup" dialog_shows dark
wait_for "the on-screen keyboard" keyboard_visible true
wait_for "the keyboard's number layout" grep -q 'layout Resource: number/' "$XDG_RUNTIME_DIR/keyboard.log"
# Below the lookup's field, whose cursor blinks.
keep_settled phone-lookup-dark.png 260
gsettings set org.gnome.desktop.interface color-scheme default
wait_for "the light reverse lookup" dialog_shows light
wait_for "the keyboard to stay up" keyboard_visible true
keep_settled phone-lookup-light.png 260
