#!/usr/bin/env bash
# Shows every window on a virtual display in three set-ups and saves what it
# looks like: each window alone (NAME.png) and the whole screen with it
# (NAME-screen.png), as SETUP-NAME*.png in the folder given (build/screenshots
# by default). The same run fails where a control is clipped, overlaps
# another, or lies off the screen.
#
#   default  the platform's own font and colours, on a 1280x1024 screen
#   dark-12  qt6ct's "darker" colours, Fusion and 12-point fonts, 1280x1024
#   scale-2  QT_SCALE_FACTOR=2 on a 1600x900 screen
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${SCREENSHOT_PACKAGES[@]}"

out=$(realpath -m "${1:-build/screenshots}")
mkdir -p "$out"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/test --target tst_windows

# A settings folder of its own, so that neither the user's qt6ct settings nor
# any other are read.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/qt6ct"
cat >"$config/qt6ct/qt6ct.conf" <<CONF
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
icon_theme=
standard_dialogs=default
style=Fusion

[Fonts]
fixed="DejaVu Sans Mono,12,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
general="DejaVu Sans,12,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
CONF

# shoot SETUP SCREEN [VARIABLE=value...]
shoot() {
    local setup=$1 screen=$2
    shift 2
    echo "== $setup"
    env -u QT_QPA_PLATFORM -u QT_QPA_PLATFORMTHEME -u QT_SCALE_FACTOR XDG_CONFIG_HOME="$config" \
        LEXIGLOW_SCREENSHOTS="$out" LEXIGLOW_SCREENSHOT_TAG="$setup" "$@" \
        xvfb-run -a -s "-screen 0 ${screen}x24" build/test/tests/tst_windows screenshots
}

shoot default 1280x1024
shoot dark-12 1280x1024 QT_QPA_PLATFORMTHEME=qt6ct
shoot scale-2 1600x900 QT_SCALE_FACTOR=2
echo "Screenshots in $out"
