#!/usr/bin/env bash
# Sets up a Debian 12 machine for Zonrik Ringlog, builds it, then runs the tests or the program.
#   scripts/setup.sh test          install what is missing, build, run every test with CTest; then the
#                                  same under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer
#   scripts/setup.sh run [ARGS]    install what is missing, build, start ringlog on a demo call log
#   scripts/setup.sh fuzz [SECONDS] install clang as well, build the fuzz targets, run each (fuzz/README.md)
#   scripts/setup.sh tsan          install what is missing, build under ThreadSanitizer only the tests
#                                  that start the address books' reading thread, run them
set -euo pipefail

cd "$(dirname "$0")/.."
mode=${1:-}
[ $# -gt 0 ] && shift

# What building and running needs (the build configures the tests as well; libebook gives the names
# from the address books, and without it the program builds and shows numbers only), then what only
# running the tests needs (the address-book service among it, and a phone's Wayland session: its
# compositor, its on-screen keyboard, screenshots and keys). Qt's private headers and the Wayland
# protocols give the phone's text input to a Qt that lacks it.
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libsqlite3-dev llvm googletest libgtest-dev libgmock-dev
          libbenchmark-dev libx11-dev libebook1.2-dev libebook-contacts1.2-dev fonts-dejavu-core fonts-dejavu-extra
          qt6-base-private-dev libwayland-dev wayland-protocols)
test_packages=(xvfb xauth xdotool x11-utils
               dbus-daemon at-spi2-core python3-pyatspi bc dpkg-dev appstream desktop-file-utils file clang-format-14
               evolution-data-server xdg-desktop-portal xdg-desktop-portal-gtk gsettings-desktop-schemas libglib2.0-bin
               qt6-wayland phoc squeekboard grim wtype wlr-randr)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    # Quiet when it works; everything apt said when it does not.
    local log
    log=$(mktemp)
    if ! { $sudo apt-get update -qq &&
           $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"; } \
           >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "setup.sh: apt-get could not install: ${missing[*]}" >&2
        return 1
    fi
    rm -f "$log"
}

# configure PRESET DIR: configures DIR when it has no cache yet, and again whenever the presets or
# the top CMakeLists.txt changed since it was last configured (an edited preset is not ignored).
configure() {
    local stamp="$2/.setup-configured"
    local sum
    sum=$(cat CMakePresets.json CMakeLists.txt | sha256sum | cut -d' ' -f1)
    if [ ! -f "$2/CMakeCache.txt" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$sum" ]; then
        cmake --preset "$1" >/dev/null
        echo "$sum" >"$stamp"
    fi
}

# build [TARGET...]: everything, or only the targets named.
build() {
    configure default build
    cmake --build --preset default ${1:+--target "$@"} -- -j"$(nproc)"
}

# The sanitizer build: every test again, halting at the first finding.
test_sanitized() {
    configure asan build-asan
    cmake --build --preset asan -- -j"$(nproc)"
    ctest --preset asan -j"$(nproc)"
}

case "$mode" in
    test)
        packages+=("${test_packages[@]}")
        install_missing
        build
        ctest --preset default -j"$(nproc)"
        test_sanitized
        ;;
    fuzz)
        # libFuzzer comes with clang; only this mode needs it.
        packages+=("${test_packages[@]}" clang libclang-rt-14-dev)
        install_missing
        configure fuzz build-fuzz
        cmake --build --preset fuzz --target fuzz_citydb fuzz_resources fuzz_csv fuzz_callentry fuzz_vcard -- -j"$(nproc)"
        exec bash fuzz/run.sh "$@"
        ;;
    tsan)
        # A build of its own: a third instrumented build of everything does not fit the test run's time.
        packages+=("${test_packages[@]}")
        install_missing
        configure tsan build-tsan
        nice -n 10 cmake --build --preset tsan -- -j"$(nproc)"
        ctest --preset tsan
        ;;
    run)
        install_missing
        # Only what runs: the two programs and the city database, not the tests and benchmarks.
        build ringlog ringlog-tool citydb_data
        exec scripts/run-demo.sh "$@"
        ;;
    *)
        echo "usage: scripts/setup.sh test | run [ARGS] | fuzz [SECONDS] | tsan" >&2
        exit 2
        ;;
esac
